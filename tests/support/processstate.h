// One fixture for the process-wide state of the print path: every test starts from the program's start-up
// state and leaves it so, and a virtual plotter the test watches must end without a protocol breach.
#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <string>

#include <gtest/gtest.h>

#include "document/marquelldoc.h"
#include "link/linkwatch.h"
#include "link/printerstatus.h"
#include "link/statustext.h"
#include "link/usbbulk.h"
#include "link/workerflags.h"
#include "platform/clock.h"
#include "platform/logwriter.h"
#include "platform/usbadapter.h"
#include "platform/windowbridge.h"
#include "queue/printworker.h"
#include "sim/virtualplotter.h"

// Runs fn on its own thread and aborts the test program when it does not return within the bound:
// a hang becomes a failure, never a stuck test run.
inline void WithinRealTime(std::chrono::seconds bound, const char* what, const std::function<void()>& fn)
{
    auto done = std::async(std::launch::async, fn);
    if (done.wait_for(bound) != std::future_status::ready) {
        std::fprintf(stderr, "%s did not end within %lld s\n", what, static_cast<long long>(bound.count()));
        std::abort();
    }
    done.get();
}

// The shared records of the print path as a fresh process has them: worker flags, printer status, status texts,
// link watch.
inline void ResetPrintPathState()
{
    ResetPrintPath();
}

// Every process-wide object of the print path back to its start-up state; nothing installed.
inline void ResetProcessState()
{
    ResetPrintPathState();
    SetJobFinishedSink(nullptr);
    SetSegmentProducer(nullptr);
    SetUsbAdapter(nullptr);
    SetWindowBridge(nullptr);
    SetClock(nullptr);
    gpDoc = nullptr;
}

class ProcessStateTest : public ::testing::Test {
protected:
    void SetUp() override { ResetProcessState(); }
    void TearDown() override { EndProcessState(); }

    // Stops the worker, checks the watched plotter and resets the process-wide state. A fixture that owns
    // what the process-wide pointers name calls it first in its TearDown, then releases those objects.
    void EndProcessState()
    {
        WithinRealTime(std::chrono::seconds(20), "StopPrintWorker", [] { StopPrintWorker(); });
        WatchPlotter(nullptr);
        CloseLogFile();
        ResetProcessState();
    }

    // The plotter whose problem list must be empty when the test ends or another is watched; the one
    // watched so far is checked now, so call this before it is destroyed.
    void WatchPlotter(const CVirtualPlotter* pPlotter)
    {
        if (m_pWatched) {
            const std::vector<std::string> problems = m_pWatched->Problems();
            EXPECT_TRUE(problems.empty()) << problems.size() << " plotter problem(s), first: " << problems.front();
            EXPECT_EQ(m_pWatched->StrayBits(), 0) << "firing bits that printed nothing";
        }
        m_pWatched = pPlotter;
    }

private:
    const CVirtualPlotter* m_pWatched = nullptr;
};
