// The process-wide USB adapter.
#include "platform/usbadapter.h"

#include <atomic>

namespace {
std::atomic<CUsbAdapter*> gpAdapter{nullptr};
}

CUsbAdapter* GetUsbAdapter()
{
    return gpAdapter.load();
}

void SetUsbAdapter(CUsbAdapter* pAdapter)
{
    gpAdapter = pAdapter;
}
