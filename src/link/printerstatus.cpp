// The shared printer status record.
#include "link/printerstatus.h"

#include <cstring>

#include "link/linkwatch.h"
#include "link/protocol.h"
#include "link/workerflags.h"

CPrinterStatus gPrinterStatus;

void CPrinterStatus::Reset()
{
    m_bPrintTask = false;
    m_bPaused = false;
    m_bSendData = false;
    m_bConnected = false;
    m_bPrinting = false;
    ClearBuffers(true, true);
    m_nReqKind = 0;
    m_nReqSegment = 0;
    m_dwDmaChecksum = 0;
    m_dwDramChecksum = 0;
    m_nChecksumRetries = 0;
    m_nMissedKey = 0;
    m_EventCotrol.SetValue(0);
}

void CPrinterStatus::ClearBuffers(bool send, bool recv)
{
    if (send) {
        std::memset(m_SendBuf, 0, sizeof(m_SendBuf));
        m_nLastCmd = kCmdNone;
    }
    if (recv) {
        std::memset(m_RecvBuf, 0, sizeof(m_RecvBuf));
        m_nRecvCmd = kRplNone;
    }
}

// The new job's end state is reset here, before the task is raised, and not when the worker takes the job
// up: an abort made in between must survive until the worker sees it.
void CPrinterStatus::RequestPrint()
{
    gEndOfJob = false;
    gJobOutcome = EJobOutcome::None;
    gLinkWatch.NewJob();
    m_EventCotrol.RequestParameters();
    m_bPrintTask = true;
}

namespace {
uint32_t ReadLe32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
}  // namespace

void CPrinterStatus::ParseReply()
{
    const uint8_t code = m_RecvBuf[0];
    switch (code) {
    case kRplDataRequest:
        m_nReqSegment = m_RecvBuf[2] + 256 * m_RecvBuf[3];
        m_nReqKind = m_RecvBuf[4];
        break;
    case kRplChecksums:
        m_dwDmaChecksum = ReadLe32(m_RecvBuf + 2);
        m_dwDramChecksum = ReadLe32(m_RecvBuf + 6);
        break;
    default:
        break;
    }
    // Published last: a thread that sees the code also sees the values it carries.
    m_nRecvCmd = code;
}

bool CPrinterStatus::IsKeyRequest(uint8_t reply)
{
    return reply == kRplPauseRequest || reply == kRplContinueRequest || reply == kRplStopRequest;
}

void CPrinterStatus::RememberKey(uint8_t key)
{
    uint8_t kept = m_nMissedKey;
    while (kept != kRplStopRequest && !m_nMissedKey.compare_exchange_weak(kept, key)) {
    }
}
