// Time source for every wait of the protocol, the worker and the reader, so tests run on virtual time.
#pragma once

#include <atomic>
#include <cstdint>

class CClock {
public:
    virtual ~CClock() = default;
    // Blocks the calling thread for ms milliseconds (the virtual clock only advances its time).
    virtual void Sleep(int ms) = 0;
    // Monotonic milliseconds since an arbitrary origin.
    virtual int64_t Now() const = 0;
};

class CRealClock : public CClock {
public:
    void Sleep(int ms) override;
    int64_t Now() const override;
};

// Advances instantly: a Sleep adds its duration to the shared time and returns at once.
class CVirtualClock : public CClock {
public:
    void Sleep(int ms) override;
    int64_t Now() const override;
    void Advance(int64_t ms) { m_nNow += ms; }
    int64_t SleptTotal() const { return m_nSlept; }

private:
    std::atomic<int64_t> m_nNow{0};
    std::atomic<int64_t> m_nSlept{0};
};

// The process-wide clock; the real clock unless a test or --fast installs another.
CClock& GetClock();
// Installs a clock (nullptr restores the real clock). The caller keeps ownership.
void SetClock(CClock* pClock);

inline void SleepMs(int ms) { GetClock().Sleep(ms); }
