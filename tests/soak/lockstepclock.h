// Virtual time in lockstep with the test thread: the print worker's sleeps advance the clock, and once the
// clock reaches the moment the window side is next due, the worker waits in its sleep until the test thread
// has done its part. Both sides never run at once, so a seed replays the same course on every run.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "platform/clock.h"

class CLockstepClock : public CClock {
public:
    CLockstepClock() : m_WindowThread(std::this_thread::get_id()) {}
    CLockstepClock(const CLockstepClock&) = delete;
    CLockstepClock& operator=(const CLockstepClock&) = delete;

    void Sleep(int ms) override
    {
        std::unique_lock<std::mutex> lock(m_Lock);
        m_nNow += ms;
        if (std::this_thread::get_id() == m_WindowThread || m_bFree || m_nNow < m_nWake)
            return;
        m_bParked = true;
        m_Changed.notify_all();
        m_Changed.wait(lock, [this] { return !m_bParked || m_bFree; });
    }
    int64_t Now() const override { return m_nNow.load(); }

    // Window side: waits until the worker parks; false when it does not within the real-time bound
    // (a loop that never sleeps, or a thread blocked outside the clock).
    bool WaitParked(std::chrono::milliseconds bound)
    {
        std::unique_lock<std::mutex> lock(m_Lock);
        return m_Changed.wait_for(lock, bound, [this] { return m_bParked; });
    }
    // Lets the worker run until the clock reaches wake.
    void Resume(int64_t wake)
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        m_nWake = wake;
        m_bParked = false;
        m_Changed.notify_all();
    }
    // While the worker is being stopped it must not park: the window side is waiting for it.
    void SetFree(bool free)
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        m_bFree = free;
        m_bParked = false;
        m_nWake = m_nNow.load();
        m_Changed.notify_all();
    }

private:
    const std::thread::id m_WindowThread;
    std::mutex m_Lock;
    std::condition_variable m_Changed;
    std::atomic<int64_t> m_nNow{0};
    int64_t m_nWake = 0;
    bool m_bParked = false;
    bool m_bFree = false;
};
