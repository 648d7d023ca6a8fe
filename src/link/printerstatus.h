// Link state shared by the window thread and the print worker: flags, command and reply frames,
// decoded reply values and the event-control word.
#pragma once

#include <atomic>
#include <cstdint>

#include "link/protocol.h"
#include "link/statustext.h"

// The event-control word. It is read whole or bit by bit through Bits, e.g.
//   gPrinterStatus.m_EventCotrol.Bits.SetXMin = 1;
//   if (gPrinterStatus.m_EventCotrol.Bits.PrintEnd) ...
// Every access is a single atomic operation on the word, so the window thread's RequestPrint and the
// worker's clearing of single bits never lose each other's updates.
class CEventControl {
public:
    template <int N>
    class CBit {
    public:
        explicit CBit(std::atomic<uint16_t>& word) : m_rWord(word) {}
        CBit(const CBit&) = delete;
        CBit& operator=(const CBit&) = delete;

        operator bool() const { return (m_rWord.load() >> N) & 1u; }
        CBit& operator=(bool set)
        {
            if (set)
                m_rWord.fetch_or(kMask);
            else
                m_rWord.fetch_and(static_cast<uint16_t>(~kMask));
            return *this;
        }

    private:
        static constexpr uint16_t kMask = static_cast<uint16_t>(1u << N);
        std::atomic<uint16_t>& m_rWord;
    };

    struct CBits {
        explicit CBits(std::atomic<uint16_t>& w)
            : SetXMin(w), SetXMax(w), SetYStepLen(w), SetCrcVerify(w), SetMMPer1000Dpi(w), PrintEnd(w), SetSpeed(w)
        {
        }
        CBit<0> SetXMin;
        CBit<1> SetXMax;
        CBit<2> SetYStepLen;
        CBit<3> SetCrcVerify;
        CBit<4> SetMMPer1000Dpi;
        CBit<6> PrintEnd;
        CBit<10> SetSpeed;
    };

    CEventControl() = default;
    CEventControl(const CEventControl&) = delete;
    CEventControl& operator=(const CEventControl&) = delete;

    uint16_t Value() const { return m_wValue.load(); }
    void SetValue(uint16_t value) { m_wValue.store(value); }
    // The six parameter bits that every job downloads (Bits 0-4 and SetSpeed).
    static constexpr uint16_t kJobParameters = 0x041F;
    // Clears the whole word and sets the six parameter bits in one step.
    void RequestParameters() { m_wValue.store(kJobParameters); }
    // Sets the six parameter bits, keeping the others.
    void SetParameters() { m_wValue.fetch_or(kJobParameters); }

private:
    std::atomic<uint16_t> m_wValue{0};

public:
    CBits Bits{m_wValue};
};

class CPrinterStatus {
public:
    CPrinterStatus() { Reset(); }
    CPrinterStatus(const CPrinterStatus&) = delete;
    CPrinterStatus& operator=(const CPrinterStatus&) = delete;

    // Back to the start-up values (tests start from a fresh state).
    void Reset();

    // Zeroes the send buffer (m_nLastCmd = 0xFF) and/or the receive buffer (m_nRecvCmd = 0xFF).
    void ClearBuffers(bool send, bool recv);
    // Window thread, job start: raise the task and the six parameter bits (every other bit cleared), after
    // clearing the end of the last job (gEndOfJob, gJobOutcome, an abort noted by the link watch). The job's
    // preparation has put its section cursor at 0.
    void RequestPrint();
    bool HasPrintTask() const { return m_bPrintTask.load(); }
    // Decodes m_RecvBuf: the reply code, a data request's segment and kind, the two checksums.
    void ParseReply();
    // The operator's keys on the plotter (pause, continue, stop), which the controller announces as the reply
    // to whatever was written. One read as the reply to another command than the poll would be read over by
    // the wait for that command's own reply: it is kept here for the print loop's next step. A stop is never
    // replaced by a later key; otherwise the latest key stands.
    static bool IsKeyRequest(uint8_t reply);
    void RememberKey(uint8_t key);
    // The kept key, 0 for none; it is forgotten.
    uint8_t TakeMissedKey() { return m_nMissedKey.exchange(0); }

    std::atomic<bool> m_bPrintTask{false};
    std::atomic<bool> m_bPaused{false};
    std::atomic<bool> m_bSendData{false};
    std::atomic<bool> m_bConnected{false};
    std::atomic<bool> m_bPrinting{false};
    // Frames are touched by the worker thread only.
    uint8_t m_SendBuf[64];
    uint8_t m_RecvBuf[64];
    std::atomic<uint8_t> m_nLastCmd{kCmdNone};
    std::atomic<uint8_t> m_nRecvCmd{kRplNone};
    std::atomic<uint8_t> m_nReqKind{0};
    std::atomic<int32_t> m_nReqSegment{0};
    std::atomic<uint32_t> m_dwDmaChecksum{0};
    std::atomic<uint32_t> m_dwDramChecksum{0};
    std::atomic<int32_t> m_nChecksumRetries{0};
    std::atomic<uint8_t> m_nMissedKey{0};
    CEventControl m_EventCotrol;
};

extern CPrinterStatus gPrinterStatus;
