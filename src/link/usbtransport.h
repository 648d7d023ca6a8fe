// The transfer layer under the real-board adapter: open a board by its ids, control and bulk transfers.
#pragma once

#include <cstdint>

// Outcome of one transport call, independent of the USB library underneath.
enum class EUsbStatus {
    Ok,
    Timeout,       // nothing (or not everything) moved within the time-out
    Stall,         // the endpoint answered STALL; ClearHalt before it is used again
    Overflow,      // the device sent more than was asked for
    Busy,          // interface or device held by someone else
    Interrupted,
    NoDevice,      // the device went away while open
    NotFound,      // no device with the ids is attached
    Io,            // transfer error on the wire (often the first sign of an unplug)
    Access,        // attached but the process may not open it
    NoMemory,
    Invalid,       // bad argument
    NotSupported,  // no USB support in this build or on this system
    Other,
};

struct CUsbResult {
    EUsbStatus status = EUsbStatus::Ok;
    int nTransferred = 0;  // bytes moved, also on Timeout (a partial transfer)
};

// Short lowercase name for log lines ("timeout", "no device", ...).
const char* UsbStatusName(EUsbStatus status);

// One board at a time. Every call blocks at most its time-out. Not thread-safe: the adapter above
// serialises its calls. Transfers on a transport that is not open give NoDevice.
class CUsbTransport {
public:
    virtual ~CUsbTransport() = default;

    // Opens the first attached device with these ids (closing any earlier one).
    // Ok, NotFound, Access (present but not permitted) or another failure.
    virtual EUsbStatus Open(uint16_t nVendorId, uint16_t nProductId) = 0;
    // Claims the interface of the open device, detaching a kernel driver when one holds it.
    virtual EUsbStatus ClaimInterface(int nInterface) = 0;
    // Releases the interface and the device; harmless when nothing is open.
    virtual void Close() = 0;

    // Vendor requests to the device: the data stage moves len bytes from or to pBuf.
    virtual CUsbResult ControlIn(uint8_t nRequest, uint16_t nValue, uint16_t nIndex, uint8_t* pBuf, uint16_t len,
                                 unsigned timeoutMs) = 0;
    virtual CUsbResult ControlOut(uint8_t nRequest, uint16_t nValue, uint16_t nIndex, const uint8_t* pBuf,
                                  uint16_t len, unsigned timeoutMs) = 0;
    // Bulk transfers on an endpoint address (bit 7 set for IN). BulkIn writes at most len bytes.
    virtual CUsbResult BulkOut(uint8_t nEndpoint, const uint8_t* pBuf, int len, unsigned timeoutMs) = 0;
    virtual CUsbResult BulkIn(uint8_t nEndpoint, uint8_t* pBuf, int len, unsigned timeoutMs) = 0;
    // Clears a stalled endpoint.
    virtual EUsbStatus ClearHalt(uint8_t nEndpoint) = 0;
};
