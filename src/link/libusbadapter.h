// The USB adapter for the real controller board, on a transfer layer (libusb on a real system).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "link/usbtransport.h"
#include "platform/usbadapter.h"
#include "settings/userdefine.h"

// What a failed transfer means for the link.
enum class EUsbErrorClass {
    None,        // no error
    BusyRetry,   // the device is there: fail this call, the caller repeats it
    GoneReopen,  // the device went away: drop it, open it again when it is back
    Fatal,       // retrying cannot help: fail the call and log it
};
EUsbErrorClass ClassifyUsbStatus(EUsbStatus status);

// Negative results of the four calls (the link only tests the sign).
constexpr int kUsbBusy = -1;   // time-out, stall, short write: the device is still open
constexpr int kUsbGone = -2;   // no device open (not attached, unplugged, no permission)
constexpr int kUsbFatal = -3;  // bad argument or an error retrying cannot cure

// Opens the board named by the [LINK] keys by itself on first use and again after it was lost; there is no open or close call.
// Thread use: every call from the print worker; Ex_Vender_Read also from the window thread, where it never
// waits for a transfer in progress (it answers with the last status read instead).
// A write or read that fails (no board, stall, refused) returns only once its time-out has passed on the
// clock, so the link's retry loops do not spin; reopening is tried at most once a second except by the
// link check, which always tries.
class CLibUsbAdapter : public CUsbAdapter {
public:
    // Endpoint addresses get their direction from their pipe, whatever the settings wrote.
    CLibUsbAdapter(std::unique_ptr<CUsbTransport> pTransport, const CLinkSettings& settings);
    ~CLibUsbAdapter() override;
    CLibUsbAdapter(const CLibUsbAdapter&) = delete;
    CLibUsbAdapter& operator=(const CLibUsbAdapter&) = delete;

    // Vendor control-IN: 0 and *pStatus set when one byte came back; negative otherwise.
    int Ex_Vender_Read(uint8_t* pStatus) override;
    // Vendor control-OUT with value as 4 bytes little-endian (wValue = zero): 0 or negative.
    int Ex_Vender_ScanOrPrint(int zero, uint32_t value) override;
    // Bulk OUT on pipe 1 or 3: len when all was sent, negative on failure or time-out.
    int Ex_WriteData(int pipe, const uint8_t* pBuf, int len, int timeoutMs) override;
    // Bulk IN on pipe 0: the bytes read (at most len; a longer answer is cut); 0 with pBuf[0] = 0xFF when none.
    int Ex_ReadData(int pipe, uint8_t* pBuf, int len, int timeoutMs) override;

    bool IsOpen() const { return m_bOpen; }

private:
    bool EnsureOpen(bool bAlwaysTry);
    EUsbStatus OpenAndClaim();
    void LogOpenOutcome(EUsbStatus status);
    int Fail(EUsbStatus status, uint8_t nEndpoint);
    void Drop(EUsbStatus status);
    int StatusRead(uint8_t* pStatus);
    int Write(uint8_t nEndpoint, const uint8_t* pBuf, int len, unsigned timeout);
    int Read(uint8_t nEndpoint, uint8_t* pBuf, int len, unsigned timeout);
    static void SpendTimeOut(int64_t start, unsigned timeout);
    uint8_t EndpointOfPipe(int pipe) const;

    struct CBoard {
        uint16_t nVendorId;
        uint16_t nProductId;
        int nInterface;
        uint8_t nStatusRequest;
        uint8_t nScanOrPrintRequest;
        uint8_t nReplyEndpoint;
        uint8_t nCommandEndpoint;
        uint8_t nDataEndpoint;
    };
    static CBoard BoardOf(const CLinkSettings& settings);

    std::unique_ptr<CUsbTransport> m_pTransport;
    CBoard m_board;
    std::mutex m_mutex;  // one transfer at a time; guards everything below except the atomics
    std::atomic<bool> m_bOpen{false};
    int64_t m_nNextOpenMs = 0;
    bool m_bOpenTried = false;
    EUsbStatus m_eLastOpen = EUsbStatus::Ok;
    EUsbStatus m_eLastFatal = EUsbStatus::Ok;
    std::vector<uint8_t> m_readBuf;
    std::atomic<int> m_nLastReadResult{kUsbGone};
    std::atomic<uint8_t> m_nLastStatus{0};
};

// The adapter on libusb-1.0 for the board of the [LINK] keys.
std::unique_ptr<CUsbAdapter> CreateLibUsbAdapter(const CLinkSettings& settings);
