// Process-wide window bridge.
#include "platform/windowbridge.h"

#include <atomic>

const char* const kDefaultCaption = "Informação";

namespace {
CHeadlessBridge gHeadlessBridge;
std::atomic<CWindowBridge*> gpBridge{&gHeadlessBridge};
}

CWindowBridge& GetWindowBridge()
{
    return *gpBridge.load();
}

void SetWindowBridge(CWindowBridge* pBridge)
{
    gpBridge = pBridge ? pBridge : &gHeadlessBridge;
}
