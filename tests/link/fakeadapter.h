// A scriptable controller for link and worker tests: scripted replies per command, rejected writes,
// missing replies, a link that goes and comes back, and a record of every call.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <initializer_list>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/workerflags.h"
#include "platform/clock.h"
#include "platform/gbk.h"
#include "platform/logwriter.h"
#include "platform/usbadapter.h"

using Reply = std::array<uint8_t, 16>;

inline Reply MakeReply(uint8_t code, std::initializer_list<uint8_t> params = {})
{
    Reply r{};
    r[0] = code;
    size_t i = 2;
    for (uint8_t p : params)
        r[i++] = p;
    return r;
}
inline Reply NoReply()
{
    Reply r;
    r.fill(0xFF);
    return r;
}
inline Reply DataRequest(uint8_t kind, int segment)
{
    return MakeReply(0x0D, {uint8_t(segment & 0xFF), uint8_t(segment >> 8), kind});
}
inline Reply ChecksumReply(uint32_t dma, uint32_t dram)
{
    Reply r = MakeReply(0x1A);
    for (int i = 0; i < 4; ++i) {
        r[2 + i] = uint8_t(dma >> (8 * i));
        r[6 + i] = uint8_t(dram >> (8 * i));
    }
    return r;
}

// One call of the adapter, as the tests look at it.
struct UsbCall {
    char kind;  // 'R' link check, 'S' announce, 'W' write, 'D' read
    int pipe = 0;
    int len = 0;  // bytes written or asked for; the announced value for 'S'
    int timeout = 0;
    int result = 0;
    std::vector<uint8_t> bytes;  // frame or packet written
};

class CFakeAdapter : public CUsbAdapter {
public:
    // The reply each command gets when nothing is scripted for it; 0x19 gets the checksums of the data
    // received since the last 0x11 or 0x19 (DMA and DRAM alike).
    static uint8_t DefaultReply(uint8_t code)
    {
        switch (code) {
        case 0x01: return 0x02;
        case 0x03: return 0x04;
        case 0x05: return 0x06;
        case 0x07: return 0x08;
        case 0x09: return 0x0A;
        case 0x0B: return 0x0C;
        case 0x11: return 0x12;
        case 0x13: return 0x14;
        case 0x17: return 0x18;
        case 0x19: return 0x1A;
        case 0x1B: return 0x1C;
        case 0x21: return 0x22;
        case 0x45: return 0x46;  // nothing to report
        case 0xAC: return 0xAD;
        case 0xB4: return 0xB5;
        default: return code;  // 0x0E, 0x16, 0x1E, 0x20, 0x24 are echoed
        }
    }

    // --- the script ---
    void Script(uint8_t code, std::initializer_list<Reply> replies)
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        for (const Reply& r : replies)
            m_Script[code].push_back(r);
    }
    void Script(uint8_t code, const Reply& r, int times)
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        for (int i = 0; i < times; ++i)
            m_Script[code].push_back(r);
    }
    // The next n writes on the pipe are rejected.
    void RejectWrites(int pipe, int n) { m_nReject[pipe] = n; }
    // The same, after the next `accepted` writes on the pipe went through.
    void RejectWritesAfter(int pipe, int accepted, int n)
    {
        m_nAcceptFirst[pipe] = accepted;
        m_nReject[pipe] = n;
    }
    // The next n checksum replies carry a DRAM checksum one off.
    void CorruptDram(int n) { m_nCorruptDram = n; }
    // The status byte of the link check (0x21: present and ready) and its result.
    void SetLink(bool up) { m_bLinkUp = up; }
    // After this many calls the adapter sets gExitWorker, so a wait that never ends fails instead of hanging.
    void SetCallBudget(long n) { m_nBudget = n; }
    // Consulted first for the reply to each accepted command: a controller with its own state.
    void Respond(std::function<std::optional<Reply>(uint8_t code)> fn)
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        m_fnRespond = std::move(fn);
    }
    // Called with the code of every command write accepted (for scenario steps); may script replies.
    void OnCommand(std::function<void(uint8_t code)> fn)
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        m_fnOnCommand = std::move(fn);
    }

    // --- the record ---
    std::vector<UsbCall> Calls() const
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        return m_Calls;
    }
    // Codes of the accepted command frames, without the ones listed.
    std::vector<uint8_t> Codes(std::initializer_list<uint8_t> skip = {}) const
    {
        std::vector<uint8_t> codes;
        for (const UsbCall& c : Calls()) {
            if (c.kind != 'W' || c.pipe != 1 || c.result < 0)
                continue;
            bool skipped = false;
            for (uint8_t s : skip)
                skipped |= (c.bytes[2] == s);
            if (!skipped)
                codes.push_back(c.bytes[2]);
        }
        return codes;
    }
    int CountCode(uint8_t code) const
    {
        int n = 0;
        for (uint8_t c : Codes())
            n += (c == code);
        return n;
    }
    // The accepted writes on the data pipe, in order.
    std::vector<std::vector<uint8_t>> DataWrites() const
    {
        std::vector<std::vector<uint8_t>> writes;
        for (const UsbCall& c : Calls())
            if (c.kind == 'W' && c.pipe == 3 && c.result >= 0)
                writes.push_back(c.bytes);
        return writes;
    }
    void ClearRecord()
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        m_Calls.clear();
    }

    // --- CUsbAdapter ---
    int Ex_Vender_Read(uint8_t* pStatus) override
    {
        Spend();
        *pStatus = m_bLinkUp ? 0x21 : 0x00;
        Record({'R', 0, 0, 0, 0, {}});
        return 0;
    }
    int Ex_Vender_ScanOrPrint(int, uint32_t value) override
    {
        Spend();
        Record({'S', 0, int(value), 0, 0, {}});
        return 0;
    }
    int Ex_WriteData(int pipe, const uint8_t* pBuf, int len, int timeoutMs) override
    {
        Spend();
        std::lock_guard<std::mutex> lock(m_Lock);
        UsbCall call{'W', pipe, len, timeoutMs, len, {}};
        call.bytes.assign(pBuf, pBuf + len);
        if (m_nAcceptFirst[pipe] > 0) {
            --m_nAcceptFirst[pipe];
        } else if (!m_bLinkUp || m_nReject[pipe] > 0) {
            if (m_nReject[pipe] > 0)
                --m_nReject[pipe];
            call.result = -1;
            m_Calls.push_back(call);
            // A real adapter gives up after its time-out.
            SleepMs(timeoutMs);
            return -1;
        }
        m_Calls.push_back(call);
        if (pipe == 3)
            m_Received.insert(m_Received.end(), pBuf, pBuf + len);
        if (pipe == 1)
            Answer(pBuf[2]);
        return len;
    }
    int Ex_ReadData(int pipe, uint8_t* pBuf, int len, int timeoutMs) override
    {
        Spend();
        std::lock_guard<std::mutex> lock(m_Lock);
        UsbCall call{'D', pipe, len, timeoutMs, 0, {}};
        if (!m_bLinkUp || !m_bPending) {
            pBuf[0] = 0xFF;
            m_Calls.push_back(call);
            return 0;
        }
        m_bPending = false;
        int n = std::min<int>(len, m_nPendingLen);
        std::copy(m_Pending.begin(), m_Pending.begin() + n, pBuf);
        call.result = n;
        m_Calls.push_back(call);
        return n;
    }

    // The length of the next reply read (a short read).
    void ShortReadOnce(int len) { m_nShortLen = len; }

private:
    void Record(UsbCall call)
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        m_Calls.push_back(std::move(call));
    }
    void Spend()
    {
        if (m_nBudget > 0 && --m_nBudget == 0)
            gExitWorker = true;
    }
    static uint32_t Checksum(const std::vector<uint8_t>& bytes)
    {
        uint32_t sum = 0;
        for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
            uint32_t word = bytes[i] | (bytes[i + 1] << 8);
            sum += (word << 16) + uint32_t((i / 2) & 0xFFFF);
        }
        return sum;
    }
    void Answer(uint8_t code)
    {
        if (code == 0x11)
            m_Received.clear();
        Reply r = MakeReply(DefaultReply(code));
        auto it = m_Script.find(code);
        std::optional<Reply> own = m_fnRespond ? m_fnRespond(code) : std::nullopt;
        if (own) {
            r = *own;
        } else if (it != m_Script.end() && !it->second.empty()) {
            r = it->second.front();
            it->second.pop_front();
        } else if (code == 0x19) {
            uint32_t sum = Checksum(m_Received);
            uint32_t dram = sum;
            if (m_nCorruptDram > 0) {
                --m_nCorruptDram;
                dram = sum + 1;
            }
            r = ChecksumReply(sum, dram);
        }
        if (code == 0x19)
            m_Received.clear();
        m_Pending = r;
        m_bPending = true;
        m_nPendingLen = m_nShortLen > 0 ? m_nShortLen : 16;
        m_nShortLen = 0;
        if (m_fnOnCommand) {
            // The scenario may script further replies; it runs without the record lock.
            std::function<void(uint8_t)> fn = m_fnOnCommand;
            m_Lock.unlock();
            fn(code);
            m_Lock.lock();
        }
    }

    std::function<void(uint8_t code)> m_fnOnCommand;
    std::function<std::optional<Reply>(uint8_t code)> m_fnRespond;
    mutable std::mutex m_Lock;
    std::map<uint8_t, std::deque<Reply>> m_Script;
    std::vector<UsbCall> m_Calls;
    std::vector<uint8_t> m_Received;
    Reply m_Pending{};
    bool m_bPending = false;
    int m_nPendingLen = 16;
    int m_nShortLen = 0;
    std::atomic<bool> m_bLinkUp{true};
    std::atomic<int> m_nReject[4] = {0, 0, 0, 0};
    std::atomic<int> m_nAcceptFirst[4] = {0, 0, 0, 0};
    std::atomic<int> m_nCorruptDram{0};
    std::atomic<long> m_nBudget{0};
};

// Compares two byte sequences whole and shows the first differing offset with both sides in hex.
inline ::testing::AssertionResult BytesEqual(const std::vector<uint8_t>& expected, const std::vector<uint8_t>& actual)
{
    size_t n = std::min(expected.size(), actual.size());
    size_t at = 0;
    while (at < n && expected[at] == actual[at])
        ++at;
    if (at == n && expected.size() == actual.size())
        return ::testing::AssertionSuccess();
    auto hex = [](const std::vector<uint8_t>& v) {
        std::string s;
        char b[4];
        for (uint8_t x : v) {
            std::snprintf(b, sizeof(b), "%02X ", x);
            s += b;
        }
        return s;
    };
    return ::testing::AssertionFailure() << "first difference at offset " << at << " (sizes " << expected.size()
                                         << " and " << actual.size() << ")\n  expected: " << hex(expected)
                                         << "\n  actual:   " << hex(actual);
}

// Collects the log entries of a test, converted back to UTF-8, one string per entry.
class CLogCapture {
public:
    CLogCapture()
    {
        Entries().clear();
        SetTraceSink(&CLogCapture::Sink);
    }
    ~CLogCapture() { SetTraceSink(nullptr); }
    static std::vector<std::string>& Entries()
    {
        static std::vector<std::string> entries;
        return entries;
    }
    static std::string Raw()
    {
        std::lock_guard<std::mutex> lock(Lock());
        std::string all;
        for (const std::string& e : RawEntries())
            all += e;
        return all;
    }
    std::vector<std::string> Lines() const
    {
        std::lock_guard<std::mutex> lock(Lock());
        std::vector<std::string> out;
        for (const std::string& e : RawEntries())
            out.push_back(GbkToUtf8(e));
        return out;
    }
    int Count(const std::string& utf8Line) const
    {
        int n = 0;
        for (const std::string& l : Lines())
            n += (l == utf8Line);
        return n;
    }

private:
    static std::mutex& Lock()
    {
        static std::mutex m;
        return m;
    }
    static std::vector<std::string>& RawEntries() { return Entries(); }
    static void Sink(std::string_view text)
    {
        std::lock_guard<std::mutex> lock(Lock());
        RawEntries().emplace_back(text);
    }
};
