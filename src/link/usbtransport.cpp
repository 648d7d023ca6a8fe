// Names of the transport outcomes for the log.
#include "link/usbtransport.h"

const char* UsbStatusName(EUsbStatus status)
{
    switch (status) {
    case EUsbStatus::Ok: return "ok";
    case EUsbStatus::Timeout: return "timeout";
    case EUsbStatus::Stall: return "stall";
    case EUsbStatus::Overflow: return "overflow";
    case EUsbStatus::Busy: return "busy";
    case EUsbStatus::Interrupted: return "interrupted";
    case EUsbStatus::NoDevice: return "no device";
    case EUsbStatus::NotFound: return "not found";
    case EUsbStatus::Io: return "i/o error";
    case EUsbStatus::Access: return "access denied";
    case EUsbStatus::NoMemory: return "out of memory";
    case EUsbStatus::Invalid: return "invalid argument";
    case EUsbStatus::NotSupported: return "not supported";
    case EUsbStatus::Other: break;
    }
    return "other error";
}
