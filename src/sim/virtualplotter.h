// The virtual plotter: a controller that speaks the plotter protocol behind the USB adapter interface,
// prints what it is sent onto a page image, and injects faults on a schedule.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/usbadapter.h"
#include "sim/carriage.h"
#include "sim/faultschedule.h"
#include "sim/pageimage.h"
#include "sim/receivebuffer.h"
#include "sim/segmentdecoder.h"

class CUserDefine;

// One transfer as the plotter saw it, from the checksum report to the workstation's verdict.
struct PlotterTransfer {
    int segment = 0;          // CFaultSchedule::kColorBar for the colour bar
    size_t bytes = 0;         // received on the data pipe
    uint32_t dma = 0;         // reported DMA checksum
    uint32_t dram = 0;        // reported DRAM checksum
    bool dramFaulted = false; // the DRAM checksum was falsified on purpose
    int verdict = 0;          // 0 pending, 1 confirmed (0x13), -1 reported bad (0x1B)
};

// The values of the parameter commands and the start command, as last received.
struct PlotterParameters {
    int xMin = 0, xMax = 0, yStep = 0, dotsPerM = 0, crc = 0, crcDirection = 0, speed = 0, pairCode = 0;
};

class CVirtualPlotter : public CUsbAdapter {
public:
    // The carriage is built from the settings (head type, count, positions, offsets, skew); the
    // settings' DATACOMPRESS tells whether segments arrive run-length coded.
    explicit CVirtualPlotter(const CUserDefine& settings, const CFaultSchedule& faults = CFaultSchedule());
    CVirtualPlotter(const CVirtualPlotter&) = delete;
    CVirtualPlotter& operator=(const CVirtualPlotter&) = delete;

    // The adapter calls. Any thread; each call is handled whole under one lock. A failed write and a read
    // that finds nothing wait out their time-out on the clock, as a board does.
    int Ex_Vender_Read(uint8_t* pStatus) override;
    int Ex_Vender_ScanOrPrint(int zero, uint32_t value) override;
    int Ex_WriteData(int pipe, const uint8_t* pBuf, int len, int timeoutMs) override;
    int Ex_ReadData(int pipe, uint8_t* pBuf, int len, int timeoutMs) override;

    // Where each finished job's page is written ("job-0001.png", ...); empty: nowhere.
    void SetPageDir(const std::string& dir);
    // Decode without keeping the page rows (long jobs where only the counts matter).
    void SetKeepPage(bool keep);
    // Verifies every transfer by its checksums but keeps and prints nothing: a dry run of a job, for the
    // time it takes.
    void SetDryRun(bool dry);
    // Replaces the fault schedule: the new faults count from now on, and a link-lost at 'start' drops
    // the link at the next call (a soak gives each job faults of its own).
    void ScheduleFaults(const CFaultSchedule& faults);
    // The schedule with what each fault has seen and injected so far.
    CFaultSchedule FaultRecord() const;

    // Inspection. The page references stay valid while no job starts; read them when the worker is idle.
    const CPageImage& Page() const { return m_Page; }
    const CPageImage& ColorBar() const { return m_ColorBar; }
    bool WritePage(const std::string& path, std::string* pError = nullptr) const;
    std::vector<PlotterTransfer> Transfers() const;
    // Command frames received (accepted writes) of one code.
    int CommandCount(int code) const;
    // Commands the plotter did not expect where they came, bad frames, decoding errors.
    std::vector<std::string> Problems() const;
    PlotterParameters Parameters() const;
    // Firing bits that printed nothing: no nozzle behind the slot, no head at the position, off the page.
    int64_t StrayBits() const;
    // Segments confirmed so far in the current (or last) job, the colour bar not counted.
    int SegmentsPrinted() const;
    bool InJob() const;
    bool Paused() const;
    bool LinkUp() const;
    // CPU time spent inside the adapter calls (the plotter's own work, not the workstation's).
    int64_t CpuNanoseconds() const { return m_nCpuNs.load(); }

private:
    enum class Request { None, Announced, Acked, Receiving, Checked };
    // What reading the reply sets off: a data request or a key counts as announced only once it was read. A
    // key from the queue is the queue's first; a key pressed during a transfer is m_Announcing.
    enum class OnRead { Nothing, RequestAnnounced, KeyAnnounced, DuringKeyAnnounced };

    int Write(int pipe, const uint8_t* pBuf, int len);
    int Read(int pipe, uint8_t* pBuf, int len);
    void UpdateLink();
    void DropLink(int64_t ms);
    void HandleFrame(const uint8_t* frame, int len);
    void HandleCommand(uint8_t code, const uint8_t* frame);
    void Reply(uint8_t code, OnRead onRead = OnRead::Nothing);
    void EnterMode(uint8_t command);
    void Poll();
    void FireSegmentEvents();
    void AnnounceDuringKey(const CFaultSchedule::Fault& fault);
    void Acknowledged(uint8_t key);
    void StartJob(int pairCode);
    void ReportChecksums();
    void ConfirmTransfer();
    void Print(bool bar);
    void RejectTransfer();
    void EndJob();
    void Delivered();
    void SavePage();
    void Problem(const std::string& text);
    uint8_t StatusByte() const;

    struct Key {
        uint8_t code;            // 0x1D pause, 0x1F continue, 0x15 stop
        int64_t ms = 0;          // pause: time from its acknowledgement to the continue key
        bool repeat = false;     // announced at every poll until acknowledged
        bool announced = false;  // read by the workstation at least once (its effect has begun)
    };
    void KeyTakesEffect(const Key& key);

    mutable std::mutex m_Lock;
    const bool m_bCompressed;
    CCarriage m_Carriage;
    CSegmentDecoder m_Decoder;
    CFaultSchedule m_Faults;
    CReceiveBuffer m_Buffer;
    CPageImage m_Page;
    CPageImage m_ColorBar;
    bool m_bKeepPage = true;
    bool m_bDryRun = false;
    std::string m_strPageDir;
    int m_nPagesWritten = 0;

    // Link.
    bool m_bLinkUp = true;
    bool m_bStarted = false;    // first call seen
    int64_t m_nLinkBackAt = -1; // clock time when a lost link returns; -1 never

    // Framing and replies.
    int64_t m_nAnnounced = -1;  // last Ex_Vender_ScanOrPrint value, consumed by the next write
    uint8_t m_Reply[16] = {};
    bool m_bReplyReady = false;
    OnRead m_OnRead = OnRead::Nothing;
    uint8_t m_nMode = 0;        // reply of the command mode in force, 0 for none
    uint8_t m_nModeCmd = 0;     // the command that entered it
    uint8_t m_ModeReply[16] = {};  // its reply, given again when that command is repeated

    PlotterParameters m_Params;

    // The job.
    bool m_bInJob = false;
    int m_nWantSeg = CFaultSchedule::kColorBar;
    int m_nEventsFiredFor = -100;
    bool m_bOutOfOrder = false;
    Request m_Request = Request::None;
    std::deque<Key> m_Keys;         // operator keys waiting to be announced, or repeated until acknowledged
    Key m_Announcing{0};            // the key pressed during a transfer that the ready reply announces
    bool m_bPauseRepeat = false;    // the pause (and so its continue) is repeated until acknowledged
    bool m_bPausing = false;        // pause announced, not yet acknowledged
    bool m_bPaused = false;
    bool m_bContinueAnnounced = false;
    bool m_bStopAnnounced = false;
    bool m_bStopped = false;
    int64_t m_nPauseMs = CFaultSchedule::kNever;
    int64_t m_nContinueAt = -1;
    int m_nPrinted = 0;

    // Records.
    std::vector<PlotterTransfer> m_Transfers;
    int m_nCommandCount[256] = {};
    std::vector<std::string> m_Problems;
    size_t m_nProblemsDropped = 0;
    int64_t m_nStrayBits = 0;
    std::atomic<int64_t> m_nCpuNs{0};
};
