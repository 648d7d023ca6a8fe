// The transfer layer on libusb-1.0 (a stub answering NotSupported when the build has no libusb).
#include "link/libusbtransport.h"

#ifdef TESSALINE_HAVE_LIBUSB

#include <libusb.h>

namespace {

constexpr uint8_t kVendorToDevice = int{LIBUSB_REQUEST_TYPE_VENDOR} | int{LIBUSB_RECIPIENT_DEVICE};
constexpr uint8_t kVendorIn = kVendorToDevice | int{LIBUSB_ENDPOINT_IN};
constexpr uint8_t kVendorOut = kVendorToDevice | int{LIBUSB_ENDPOINT_OUT};

EUsbStatus FromLibUsb(int rc)
{
    switch (rc) {
    case LIBUSB_SUCCESS: return EUsbStatus::Ok;
    case LIBUSB_ERROR_TIMEOUT: return EUsbStatus::Timeout;
    case LIBUSB_ERROR_PIPE: return EUsbStatus::Stall;
    case LIBUSB_ERROR_OVERFLOW: return EUsbStatus::Overflow;
    case LIBUSB_ERROR_BUSY: return EUsbStatus::Busy;
    case LIBUSB_ERROR_INTERRUPTED: return EUsbStatus::Interrupted;
    case LIBUSB_ERROR_NO_DEVICE: return EUsbStatus::NoDevice;
    case LIBUSB_ERROR_NOT_FOUND: return EUsbStatus::NotFound;
    case LIBUSB_ERROR_IO: return EUsbStatus::Io;
    case LIBUSB_ERROR_ACCESS: return EUsbStatus::Access;
    case LIBUSB_ERROR_NO_MEM: return EUsbStatus::NoMemory;
    case LIBUSB_ERROR_INVALID_PARAM: return EUsbStatus::Invalid;
    case LIBUSB_ERROR_NOT_SUPPORTED: return EUsbStatus::NotSupported;
    default: return EUsbStatus::Other;
    }
}

// A control transfer returns the byte count or an error; a bulk transfer an error and the count.
CUsbResult FromControl(int rc)
{
    if (rc >= 0)
        return {EUsbStatus::Ok, rc};
    return {FromLibUsb(rc), 0};
}

}  // namespace

struct CLibUsbTransport::CImpl {
    libusb_context* pContext = nullptr;
    libusb_device_handle* pHandle = nullptr;
    int nClaimed = -1;

    ~CImpl()
    {
        CloseHandle();
        if (pContext)
            libusb_exit(pContext);
    }

    bool EnsureContext()
    {
        return pContext || libusb_init(&pContext) == LIBUSB_SUCCESS;
    }

    void CloseHandle()
    {
        if (!pHandle)
            return;
        if (nClaimed >= 0)
            libusb_release_interface(pHandle, nClaimed);
        libusb_close(pHandle);
        pHandle = nullptr;
        nClaimed = -1;
    }

    EUsbStatus OpenFirst(uint16_t nVendorId, uint16_t nProductId)
    {
        libusb_device** ppList = nullptr;
        ssize_t count = libusb_get_device_list(pContext, &ppList);
        if (count < 0)
            return FromLibUsb(static_cast<int>(count));
        EUsbStatus status = EUsbStatus::NotFound;
        for (ssize_t i = 0; i < count && status != EUsbStatus::Ok; ++i) {
            libusb_device_descriptor desc{};
            if (libusb_get_device_descriptor(ppList[i], &desc) != LIBUSB_SUCCESS)
                continue;
            if (desc.idVendor != nVendorId || desc.idProduct != nProductId)
                continue;
            status = FromLibUsb(libusb_open(ppList[i], &pHandle));
        }
        libusb_free_device_list(ppList, 1);
        return status;
    }

    CUsbResult Bulk(uint8_t nEndpoint, uint8_t* pBuf, int len, unsigned timeoutMs)
    {
        if (!pHandle)
            return {EUsbStatus::NoDevice, 0};
        int nDone = 0;
        int rc = libusb_bulk_transfer(pHandle, nEndpoint, pBuf, len, &nDone, timeoutMs);
        return {FromLibUsb(rc), nDone};
    }
};

CLibUsbTransport::CLibUsbTransport() : m_pImpl(std::make_unique<CImpl>()) {}

CLibUsbTransport::~CLibUsbTransport() = default;

EUsbStatus CLibUsbTransport::Open(uint16_t nVendorId, uint16_t nProductId)
{
    m_pImpl->CloseHandle();
    if (!m_pImpl->EnsureContext())
        return EUsbStatus::NotSupported;
    return m_pImpl->OpenFirst(nVendorId, nProductId);
}

EUsbStatus CLibUsbTransport::ClaimInterface(int nInterface)
{
    if (!m_pImpl->pHandle)
        return EUsbStatus::NoDevice;
    // Not every platform can detach kernel drivers; claiming tells whether it mattered.
    libusb_set_auto_detach_kernel_driver(m_pImpl->pHandle, 1);
    EUsbStatus status = FromLibUsb(libusb_claim_interface(m_pImpl->pHandle, nInterface));
    if (status == EUsbStatus::Ok)
        m_pImpl->nClaimed = nInterface;
    return status;
}

void CLibUsbTransport::Close()
{
    m_pImpl->CloseHandle();
}

CUsbResult CLibUsbTransport::ControlIn(uint8_t nRequest, uint16_t nValue, uint16_t nIndex, uint8_t* pBuf,
                                       uint16_t len, unsigned timeoutMs)
{
    if (!m_pImpl->pHandle)
        return {EUsbStatus::NoDevice, 0};
    return FromControl(libusb_control_transfer(m_pImpl->pHandle, kVendorIn, nRequest, nValue, nIndex, pBuf, len,
                                               timeoutMs));
}

CUsbResult CLibUsbTransport::ControlOut(uint8_t nRequest, uint16_t nValue, uint16_t nIndex, const uint8_t* pBuf,
                                        uint16_t len, unsigned timeoutMs)
{
    if (!m_pImpl->pHandle)
        return {EUsbStatus::NoDevice, 0};
    // libusb takes a non-const buffer for both directions; an OUT transfer only reads it.
    return FromControl(libusb_control_transfer(m_pImpl->pHandle, kVendorOut, nRequest, nValue, nIndex,
                                               const_cast<uint8_t*>(pBuf), len, timeoutMs));
}

CUsbResult CLibUsbTransport::BulkOut(uint8_t nEndpoint, const uint8_t* pBuf, int len, unsigned timeoutMs)
{
    return m_pImpl->Bulk(nEndpoint & 0x7F, const_cast<uint8_t*>(pBuf), len, timeoutMs);
}

CUsbResult CLibUsbTransport::BulkIn(uint8_t nEndpoint, uint8_t* pBuf, int len, unsigned timeoutMs)
{
    return m_pImpl->Bulk(nEndpoint | LIBUSB_ENDPOINT_IN, pBuf, len, timeoutMs);
}

EUsbStatus CLibUsbTransport::ClearHalt(uint8_t nEndpoint)
{
    if (!m_pImpl->pHandle)
        return EUsbStatus::NoDevice;
    return FromLibUsb(libusb_clear_halt(m_pImpl->pHandle, nEndpoint));
}

#else  // no libusb in this build: the board is never found

struct CLibUsbTransport::CImpl {};

CLibUsbTransport::CLibUsbTransport() = default;
CLibUsbTransport::~CLibUsbTransport() = default;

EUsbStatus CLibUsbTransport::Open(uint16_t, uint16_t)
{
    return EUsbStatus::NotSupported;
}

EUsbStatus CLibUsbTransport::ClaimInterface(int)
{
    return EUsbStatus::NotSupported;
}

void CLibUsbTransport::Close() {}

CUsbResult CLibUsbTransport::ControlIn(uint8_t, uint16_t, uint16_t, uint8_t*, uint16_t, unsigned)
{
    return {EUsbStatus::NoDevice, 0};
}

CUsbResult CLibUsbTransport::ControlOut(uint8_t, uint16_t, uint16_t, const uint8_t*, uint16_t, unsigned)
{
    return {EUsbStatus::NoDevice, 0};
}

CUsbResult CLibUsbTransport::BulkOut(uint8_t, const uint8_t*, int, unsigned)
{
    return {EUsbStatus::NoDevice, 0};
}

CUsbResult CLibUsbTransport::BulkIn(uint8_t, uint8_t*, int, unsigned)
{
    return {EUsbStatus::NoDevice, 0};
}

EUsbStatus CLibUsbTransport::ClearHalt(uint8_t)
{
    return EUsbStatus::NoDevice;
}

#endif
