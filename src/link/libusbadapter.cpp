// The USB adapter for the real controller board: the four calls mapped to vendor and bulk transfers.
#include "link/libusbadapter.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "link/libusbtransport.h"
#include "platform/clock.h"
#include "platform/logwriter.h"

namespace {

constexpr int64_t kReopenIntervalMs = 1000;
constexpr unsigned kControlTimeoutMs = 100;
// Bulk IN is read in whole high-speed packets so that an answer longer than asked never overflows.
constexpr int kMaxPacket = 512;

// libusb waits forever on a time-out of 0; the link never means that.
unsigned TransferTimeout(int timeoutMs)
{
    return static_cast<unsigned>(std::max(timeoutMs, 1));
}

std::string BoardName(uint16_t nVendorId, uint16_t nProductId)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04X:%04X", nVendorId, nProductId);
    return text;
}

}  // namespace

EUsbErrorClass ClassifyUsbStatus(EUsbStatus status)
{
    switch (status) {
    case EUsbStatus::Ok:
        return EUsbErrorClass::None;
    case EUsbStatus::Timeout:
    case EUsbStatus::Stall:
    case EUsbStatus::Overflow:
    case EUsbStatus::Busy:
    case EUsbStatus::Interrupted:
        return EUsbErrorClass::BusyRetry;
    case EUsbStatus::NoDevice:
    case EUsbStatus::NotFound:
    case EUsbStatus::Io:
        return EUsbErrorClass::GoneReopen;
    case EUsbStatus::Access:
    case EUsbStatus::NoMemory:
    case EUsbStatus::Invalid:
    case EUsbStatus::NotSupported:
    case EUsbStatus::Other:
        break;
    }
    return EUsbErrorClass::Fatal;
}

CLibUsbAdapter::CLibUsbAdapter(std::unique_ptr<CUsbTransport> pTransport, const CLinkSettings& settings)
    : m_pTransport(std::move(pTransport)), m_board(BoardOf(settings))
{
}

CLibUsbAdapter::CBoard CLibUsbAdapter::BoardOf(const CLinkSettings& settings)
{
    return {static_cast<uint16_t>(settings.USBVENDORID),
            static_cast<uint16_t>(settings.USBPRODUCTID),
            settings.USBINTERFACE,
            static_cast<uint8_t>(settings.USBSTATUSREQUEST),
            static_cast<uint8_t>(settings.USBSCANPRINTREQUEST),
            static_cast<uint8_t>(settings.USBPIPE0 | 0x80),
            static_cast<uint8_t>(settings.USBPIPE1 & 0x7F),
            static_cast<uint8_t>(settings.USBPIPE3 & 0x7F)};
}

CLibUsbAdapter::~CLibUsbAdapter()
{
    std::lock_guard lock(m_mutex);
    if (m_bOpen)
        m_pTransport->Close();
}

int CLibUsbAdapter::Ex_Vender_Read(uint8_t* pStatus)
{
    if (!pStatus)
        return kUsbFatal;
    std::unique_lock lock(m_mutex, std::try_to_lock);
    if (!lock.owns_lock()) {
        // A transfer is under way, so the board answered a moment ago: report what it said then.
        int result = m_nLastReadResult;
        if (result == 0)
            *pStatus = m_nLastStatus;
        return result;
    }
    int result = StatusRead(pStatus);
    m_nLastReadResult = result;
    if (result == 0)
        m_nLastStatus = *pStatus;
    return result;
}

int CLibUsbAdapter::StatusRead(uint8_t* pStatus)
{
    if (!EnsureOpen(true))
        return kUsbGone;
    uint8_t status = 0;
    CUsbResult r = m_pTransport->ControlIn(m_board.nStatusRequest, 0, 0, &status, 1, kControlTimeoutMs);
    if (r.status != EUsbStatus::Ok)
        return Fail(r.status, 0);
    if (r.nTransferred != 1)
        return kUsbBusy;
    *pStatus = status;
    return 0;
}

int CLibUsbAdapter::Ex_Vender_ScanOrPrint(int zero, uint32_t value)
{
    const uint8_t data[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                             static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    std::lock_guard lock(m_mutex);
    if (!EnsureOpen(false))
        return kUsbGone;
    CUsbResult r = m_pTransport->ControlOut(m_board.nScanOrPrintRequest, static_cast<uint16_t>(zero), 0, data,
                                            sizeof data, kControlTimeoutMs);
    if (r.status != EUsbStatus::Ok)
        return Fail(r.status, 0);
    return r.nTransferred == static_cast<int>(sizeof data) ? 0 : kUsbBusy;
}

int CLibUsbAdapter::Ex_WriteData(int pipe, const uint8_t* pBuf, int len, int timeoutMs)
{
    unsigned timeout = TransferTimeout(timeoutMs);
    int64_t start = GetClock().Now();
    int result = kUsbFatal;
    if (pBuf && len >= 0 && (pipe == 1 || pipe == 3)) {
        std::lock_guard lock(m_mutex);
        result = EnsureOpen(false) ? Write(EndpointOfPipe(pipe), pBuf, len, timeout) : kUsbGone;
    }
    if (result < 0)
        SpendTimeOut(start, timeout);
    return result;
}

int CLibUsbAdapter::Write(uint8_t nEndpoint, const uint8_t* pBuf, int len, unsigned timeout)
{
    if (len == 0)
        return 0;
    CUsbResult r = m_pTransport->BulkOut(nEndpoint, pBuf, len, timeout);
    if (r.status == EUsbStatus::Ok && r.nTransferred == len)
        return len;
    // A short write leaves the controller with part of a frame; the caller sends it all again. libusb
    // reports a write that stalled before the rest of its transfer was queued as complete but short, so
    // the endpoint is cleared as after a stall: otherwise every repeat stalls too.
    return Fail(r.status == EUsbStatus::Ok ? EUsbStatus::Stall : r.status, nEndpoint);
}

int CLibUsbAdapter::Ex_ReadData(int pipe, uint8_t* pBuf, int len, int timeoutMs)
{
    if (!pBuf || len <= 0)
        return 0;
    pBuf[0] = 0xFF;
    unsigned timeout = TransferTimeout(timeoutMs);
    int64_t start = GetClock().Now();
    int result = 0;
    if (pipe == 0) {
        std::lock_guard lock(m_mutex);
        result = EnsureOpen(false) ? Read(EndpointOfPipe(pipe), pBuf, len, timeout) : 0;
    }
    if (result == 0)
        SpendTimeOut(start, timeout);
    return result;
}

int CLibUsbAdapter::Read(uint8_t nEndpoint, uint8_t* pBuf, int len, unsigned timeout)
{
    int nSize = len <= INT_MAX - kMaxPacket ? (len + kMaxPacket - 1) / kMaxPacket * kMaxPacket : len;
    m_readBuf.resize(static_cast<size_t>(nSize));
    CUsbResult r = m_pTransport->BulkIn(nEndpoint, m_readBuf.data(), nSize, timeout);
    int nGot = std::clamp(r.nTransferred, 0, std::min(len, nSize));
    // A time-out after part of a frame still hands over what came; the caller judges it.
    if (nGot > 0 && (r.status == EUsbStatus::Ok || r.status == EUsbStatus::Timeout)) {
        std::memcpy(pBuf, m_readBuf.data(), static_cast<size_t>(nGot));
        return nGot;
    }
    if (r.status != EUsbStatus::Ok)
        Fail(r.status, nEndpoint);
    return 0;
}

// A call that fails faster than its time-out (no board, a stall, a refused endpoint) waits out the rest
// outside the lock: the link repeats failed writes at once and must not spin.
void CLibUsbAdapter::SpendTimeOut(int64_t start, unsigned timeout)
{
    int64_t left = static_cast<int64_t>(timeout) - (GetClock().Now() - start);
    if (left > 0)
        SleepMs(static_cast<int>(left));
}

uint8_t CLibUsbAdapter::EndpointOfPipe(int pipe) const
{
    switch (pipe) {
    case 0: return m_board.nReplyEndpoint;
    case 1: return m_board.nCommandEndpoint;
    default: return m_board.nDataEndpoint;
    }
}

bool CLibUsbAdapter::EnsureOpen(bool bAlwaysTry)
{
    if (m_bOpen)
        return true;
    int64_t now = GetClock().Now();
    if (!bAlwaysTry && m_bOpenTried && now < m_nNextOpenMs)
        return false;
    m_bOpenTried = true;
    m_nNextOpenMs = now + kReopenIntervalMs;
    EUsbStatus status = OpenAndClaim();
    LogOpenOutcome(status);
    m_bOpen = status == EUsbStatus::Ok;
    return m_bOpen;
}

EUsbStatus CLibUsbAdapter::OpenAndClaim()
{
    EUsbStatus status = m_pTransport->Open(m_board.nVendorId, m_board.nProductId);
    if (status != EUsbStatus::Ok)
        return status;
    status = m_pTransport->ClaimInterface(m_board.nInterface);
    if (status != EUsbStatus::Ok)
        m_pTransport->Close();
    return status;
}

// One line per change of outcome, so a board that stays away does not fill the log.
void CLibUsbAdapter::LogOpenOutcome(EUsbStatus status)
{
    if (status == m_eLastOpen && status != EUsbStatus::Ok)
        return;
    m_eLastOpen = status;
    std::string board = "USB plotter " + BoardName(m_board.nVendorId, m_board.nProductId);
    std::string iface = std::to_string(m_board.nInterface);
    switch (status) {
    case EUsbStatus::Ok:
        WriteLog(board + " opened, interface " + iface + "\r\n");
        m_eLastFatal = EUsbStatus::Ok;
        break;
    case EUsbStatus::NotFound:
        WriteLog(board + " not attached\r\n");
        break;
    case EUsbStatus::Access:
        WriteLog("Error: " + board + " is attached but may not be opened (permission denied); "
                 "install the udev rule with scripts/install-udev.sh and plug the plotter in again\r\n");
        break;
    case EUsbStatus::Busy:
        WriteLog("Error: " + board + " interface " + iface + " is held by another program\r\n");
        break;
    default:
        WriteLog("Error: " + board + " cannot be opened (" + UsbStatusName(status) + ")\r\n");
        break;
    }
}

int CLibUsbAdapter::Fail(EUsbStatus status, uint8_t nEndpoint)
{
    switch (ClassifyUsbStatus(status)) {
    case EUsbErrorClass::None:
        return 0;
    case EUsbErrorClass::BusyRetry:
        if (status == EUsbStatus::Stall && nEndpoint != 0)
            m_pTransport->ClearHalt(nEndpoint);
        return kUsbBusy;
    case EUsbErrorClass::GoneReopen:
        Drop(status);
        return kUsbGone;
    case EUsbErrorClass::Fatal:
        break;
    }
    if (status != m_eLastFatal) {
        m_eLastFatal = status;
        WriteLog(std::string("Error: USB transfer failed (") + UsbStatusName(status) + ")\r\n");
    }
    return kUsbFatal;
}

void CLibUsbAdapter::Drop(EUsbStatus status)
{
    m_pTransport->Close();
    m_bOpen = false;
    m_eLastOpen = EUsbStatus::Ok;
    // The first attempt to reopen may come at once: a short glitch costs no more than a failed open.
    m_nNextOpenMs = GetClock().Now();
    WriteLog("Error: USB plotter " + BoardName(m_board.nVendorId, m_board.nProductId) + " lost (" + UsbStatusName(status) +
             "); it is opened again when it answers\r\n");
}

std::unique_ptr<CUsbAdapter> CreateLibUsbAdapter(const CLinkSettings& settings)
{
    return std::make_unique<CLibUsbAdapter>(std::make_unique<CLibUsbTransport>(), settings);
}
