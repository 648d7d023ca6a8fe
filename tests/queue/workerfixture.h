// Worker tests: the link fixture with a document, a job-finished recorder and bounded waits for the worker thread.
#pragma once

#include <chrono>
#include <thread>

#include "link/jobfixture.h"
#include "queue/printworker.h"

class CFinishedRecorder : public CJobFinishedSink {
public:
    void JobFinished(EJobOutcome outcome) override
    {
        m_bPrintingWhenCalled = gPrinterStatus.m_bPrinting.load();
        m_eOutcome = outcome;
        ++m_nCalls;
    }
    std::atomic<int> m_nCalls{0};
    std::atomic<EJobOutcome> m_eOutcome{EJobOutcome::None};
    std::atomic<bool> m_bPrintingWhenCalled{false};
};

class WorkerTest : public JobTest {
protected:
    void SetUp() override
    {
        JobTest::SetUp();
        SetJobFinishedSink(&m_Finished);
    }
    void TearDown() override
    {
        StopPrintWorker();
        SetJobFinishedSink(nullptr);
        JobTest::TearDown();
    }

    // A job the document does not find done, for scenarios that end before any segment is built.
    void UnfinishedJob(int sections, int passes = 4)
    {
        Layout().m_nLengthDots = 100;
        Layout().m_nWidthDots = 100;
        Layout().m_nSectionCount = sections;
        Layout().m_nPassesPerSegment = passes;
    }
    // What the task list does when it starts a job.
    void StartJob()
    {
        gPrinterStatus.m_bPrinting = true;
        gPrinterStatus.RequestPrint();
    }
    // Waits for the worker thread, bounded by virtual time and, as a fuse against a blocked worker,
    // by real time; the result is the condition.
    template <class Cond>
    bool WaitUntil(Cond cond, int64_t virtualMs = 3600 * 1000)
    {
        const auto fuse = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        const int64_t limit = m_Clock.Now() + virtualMs;
        while (!cond()) {
            if (m_Clock.Now() > limit || std::chrono::steady_clock::now() > fuse)
                return cond();
            std::this_thread::yield();
        }
        return true;
    }

    CFinishedRecorder m_Finished;
};
