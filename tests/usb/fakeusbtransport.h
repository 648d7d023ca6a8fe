// A scriptable board behind the transfer layer: attach, unplug, refuse, stall, answer short or long.
#pragma once

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <vector>

#include "link/usbtransport.h"

struct CFakeCall {
    char kind;  // 'i' control-IN, 'o' control-OUT, 'w' bulk OUT, 'r' bulk IN
    uint8_t nCode;  // request code or endpoint
    uint16_t nValue;
    std::vector<uint8_t> data;
    int len;
    unsigned timeoutMs;
};

// What the next transfer answers instead of the board's normal behaviour.
struct CFakeOutcome {
    CUsbResult result;
    std::vector<uint8_t> data;  // bytes placed in a bulk-IN buffer (as many as fit)
};

struct CFakeBoard {
    bool bAttached = true;
    EUsbStatus openStatus = EUsbStatus::Ok;  // when attached
    EUsbStatus claimStatus = EUsbStatus::Ok;
    uint8_t nStatus = 0x21;
    std::deque<CFakeOutcome> script;
    std::deque<std::vector<uint8_t>> replies;  // bulk-IN answers in order; none: time-out
    std::function<void()> onBulkOut;           // runs inside a bulk OUT (to hold it open from a test)
    std::function<void()> onOpen;              // runs at each open attempt (to plug the board in)
    std::vector<CFakeCall> calls;
    std::vector<uint8_t> received[16];  // bytes of the accepted bulk OUT writes, by endpoint number
    std::vector<int> claims;
    std::vector<uint8_t> halts;
    int nOpenAttempts = 0;
    int nOpens = 0;  // successful ones
    int nCloses = 0;
};

class CFakeUsbTransport : public CUsbTransport {
public:
    explicit CFakeUsbTransport(CFakeBoard& board) : m_board(board) {}

    EUsbStatus Open(uint16_t nVendorId, uint16_t nProductId) override
    {
        m_nVendorId = nVendorId;
        m_nProductId = nProductId;
        ++m_board.nOpenAttempts;
        if (m_board.onOpen)
            m_board.onOpen();
        if (!m_board.bAttached)
            return EUsbStatus::NotFound;
        if (m_board.openStatus != EUsbStatus::Ok)
            return m_board.openStatus;
        ++m_board.nOpens;
        m_bOpen = true;
        return EUsbStatus::Ok;
    }
    EUsbStatus ClaimInterface(int nInterface) override
    {
        m_board.claims.push_back(nInterface);
        return m_board.claimStatus;
    }
    void Close() override
    {
        if (m_bOpen)
            ++m_board.nCloses;
        m_bOpen = false;
    }
    CUsbResult ControlIn(uint8_t nRequest, uint16_t nValue, uint16_t, uint8_t* pBuf, uint16_t len,
                         unsigned timeoutMs) override
    {
        m_board.calls.push_back({'i', nRequest, nValue, {}, len, timeoutMs});
        if (CUsbResult r; Forced(r, pBuf, len))
            return r;
        pBuf[0] = m_board.nStatus;
        return {EUsbStatus::Ok, 1};
    }
    CUsbResult ControlOut(uint8_t nRequest, uint16_t nValue, uint16_t, const uint8_t* pBuf, uint16_t len,
                          unsigned timeoutMs) override
    {
        m_board.calls.push_back({'o', nRequest, nValue, {pBuf, pBuf + len}, len, timeoutMs});
        if (CUsbResult r; Forced(r, nullptr, 0))
            return r;
        return {EUsbStatus::Ok, len};
    }
    CUsbResult BulkOut(uint8_t nEndpoint, const uint8_t* pBuf, int len, unsigned timeoutMs) override
    {
        m_board.calls.push_back({'w', nEndpoint, 0, {pBuf, pBuf + len}, len, timeoutMs});
        if (m_board.onBulkOut)
            m_board.onBulkOut();
        if (CUsbResult r; Forced(r, nullptr, 0))
            return r;
        m_board.received[nEndpoint & 0x0F].insert(m_board.received[nEndpoint & 0x0F].end(), pBuf, pBuf + len);
        return {EUsbStatus::Ok, len};
    }
    CUsbResult BulkIn(uint8_t nEndpoint, uint8_t* pBuf, int len, unsigned timeoutMs) override
    {
        m_board.calls.push_back({'r', nEndpoint, 0, {}, len, timeoutMs});
        if (CUsbResult r; Forced(r, pBuf, len))
            return r;
        if (m_board.replies.empty())
            return {EUsbStatus::Timeout, 0};
        std::vector<uint8_t> reply = std::move(m_board.replies.front());
        m_board.replies.pop_front();
        int n = std::min(len, static_cast<int>(reply.size()));
        std::memcpy(pBuf, reply.data(), static_cast<size_t>(n));
        return {EUsbStatus::Ok, n};
    }
    EUsbStatus ClearHalt(uint8_t nEndpoint) override
    {
        m_board.halts.push_back(nEndpoint);
        return EUsbStatus::Ok;
    }

    uint16_t m_nVendorId = 0;
    uint16_t m_nProductId = 0;

private:
    // An unplugged board or a scripted outcome replaces the normal answer.
    bool Forced(CUsbResult& r, uint8_t* pBuf, int len)
    {
        if (!m_bOpen || !m_board.bAttached) {
            r = {EUsbStatus::NoDevice, 0};
            return true;
        }
        if (m_board.script.empty())
            return false;
        CFakeOutcome outcome = std::move(m_board.script.front());
        m_board.script.pop_front();
        if (pBuf && !outcome.data.empty())
            std::memcpy(pBuf, outcome.data.data(), std::min(outcome.data.size(), static_cast<size_t>(len)));
        r = outcome.result;
        return true;
    }

    CFakeBoard& m_board;
    bool m_bOpen = false;
};
