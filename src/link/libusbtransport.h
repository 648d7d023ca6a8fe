// The transfer layer on libusb-1.0; the only place that knows libusb.
#pragma once

#include <memory>

#include "link/usbtransport.h"

class CLibUsbTransport : public CUsbTransport {
public:
    CLibUsbTransport();
    ~CLibUsbTransport() override;
    CLibUsbTransport(const CLibUsbTransport&) = delete;
    CLibUsbTransport& operator=(const CLibUsbTransport&) = delete;

    EUsbStatus Open(uint16_t nVendorId, uint16_t nProductId) override;
    EUsbStatus ClaimInterface(int nInterface) override;
    void Close() override;
    CUsbResult ControlIn(uint8_t nRequest, uint16_t nValue, uint16_t nIndex, uint8_t* pBuf, uint16_t len,
                         unsigned timeoutMs) override;
    CUsbResult ControlOut(uint8_t nRequest, uint16_t nValue, uint16_t nIndex, const uint8_t* pBuf, uint16_t len,
                          unsigned timeoutMs) override;
    CUsbResult BulkOut(uint8_t nEndpoint, const uint8_t* pBuf, int len, unsigned timeoutMs) override;
    CUsbResult BulkIn(uint8_t nEndpoint, uint8_t* pBuf, int len, unsigned timeoutMs) override;
    EUsbStatus ClearHalt(uint8_t nEndpoint) override;

private:
    struct CImpl;  // holds the libusb context and handle
    std::unique_ptr<CImpl> m_pImpl;
};
