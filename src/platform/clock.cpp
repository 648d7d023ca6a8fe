// Real and virtual clocks.
#include "platform/clock.h"

#include <chrono>
#include <thread>

void CRealClock::Sleep(int ms)
{
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    else
        std::this_thread::yield();
}

int64_t CRealClock::Now() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void CVirtualClock::Sleep(int ms)
{
    if (ms > 0) {
        m_nNow += ms;
        m_nSlept += ms;
    }
    // Let the other threads of a test make progress while this one "sleeps".
    std::this_thread::yield();
}

int64_t CVirtualClock::Now() const
{
    return m_nNow;
}

namespace {
CRealClock gRealClock;
std::atomic<CClock*> gpClock{&gRealClock};
}

CClock& GetClock()
{
    return *gpClock.load();
}

void SetClock(CClock* pClock)
{
    gpClock = pClock ? pClock : &gRealClock;
}
