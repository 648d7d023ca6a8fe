// Fresh shared state for each link or worker test: virtual clock, fake adapter, recording bridge, log capture.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/fakeadapter.h"
#include "link/printerstatus.h"
#include "link/workerflags.h"
#include "platform/clock.h"
#include "platform/windowbridge.h"
#include "support/processstate.h"

// Records what the worker asks of the window side and answers questions from a script (No when empty).
class CRecordingBridge : public CWindowBridge {
public:
    int MessageBox(const std::string& text, const std::string& caption, int buttons, int) override
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        m_Boxes.push_back({text, caption, buttons});
        if (m_Answers.empty())
            return buttons == MB_YESNO ? IDNO : IDOK;
        int a = m_Answers.front();
        m_Answers.pop_front();
        return a;
    }
    void RefreshProgress() override { ++m_nProgress; }
    void RedrawStatusBar() override { ++m_nStatusBar; }
    void RepaintPreview() override { ++m_nPreview; }

    struct Box {
        std::string text, caption;
        int buttons;
    };
    void Answer(std::initializer_list<int> answers) { m_Answers.insert(m_Answers.end(), answers); }
    std::vector<Box> Boxes()
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        return m_Boxes;
    }
    std::atomic<int> m_nProgress{0}, m_nStatusBar{0}, m_nPreview{0};

private:
    std::mutex m_Lock;
    std::vector<Box> m_Boxes;
    std::deque<int> m_Answers;
};

// A virtual clock with a ceiling: a wait that runs past it makes the program close (gExitWorker), and one
// that still runs long after fails the test instead of hanging it.
class CBoundedClock : public CVirtualClock {
public:
    void Sleep(int ms) override
    {
        CVirtualClock::Sleep(ms);
        if (Now() > m_nLimitMs)
            gExitWorker = true;
        if (Now() > m_nLimitMs + 3600 * 1000) {
            std::fprintf(stderr, "a wait ignored gExitWorker for an hour of virtual time\n");
            std::abort();
        }
    }
    void SetLimit(int64_t ms) { m_nLimitMs = ms; }

private:
    std::atomic<int64_t> m_nLimitMs{24LL * 3600 * 1000};
};

class LinkTest : public ProcessStateTest {
protected:
    void SetUp() override
    {
        ProcessStateTest::SetUp();
        gPrinterStatus.m_bConnected = true;
        SetClock(&m_Clock);
        SetUsbAdapter(&m_Usb);
        SetWindowBridge(&m_Bridge);
        m_Usb.SetCallBudget(1000000);
    }
    CBoundedClock m_Clock;
    CFakeAdapter m_Usb;
    CRecordingBridge m_Bridge;
    CLogCapture m_Log;
};
