// Whole jobs for tests: a plot file prepared as a job start does, printed by the real print worker on the
// virtual plotter, on virtual time, with the window side answering from a script.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <algorithm>
#include <bit>
#include <future>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "document/marquelldoc.h"
#include "link/printerstatus.h"
#include "link/statustext.h"
#include "link/workerflags.h"
#include "platform/clock.h"
#include "platform/gbk.h"
#include "platform/logwriter.h"
#include "platform/usbadapter.h"
#include "platform/windowbridge.h"
#include "queue/printworker.h"
#include "sim/virtualplotter.h"
#include "support/processstate.h"
#include "testtmp.h"

// Records the window side's calls and answers questions from a list (No when it runs out).
class CScriptedBridge : public CWindowBridge {
public:
    int MessageBox(const std::string& text, const std::string&, int buttons, int) override
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        m_Messages.push_back(text);
        if (buttons != MB_YESNO)
            return IDOK;
        bool yes = !m_Answers.empty() && m_Answers.front();
        if (!m_Answers.empty())
            m_Answers.erase(m_Answers.begin());
        return yes ? IDYES : IDNO;
    }
    void RefreshProgress() override {}
    void RedrawStatusBar() override {}
    void RepaintPreview() override {}

    std::vector<std::string> Messages()
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        return m_Messages;
    }

    std::vector<bool> m_Answers;

private:
    std::mutex m_Lock;
    std::vector<std::string> m_Messages;
};

class CFinishCounter : public CJobFinishedSink {
public:
    void JobFinished(EJobOutcome) override { ++m_nCalls; }
    std::atomic<int> m_nCalls{0};
};

class JobHarness : public ProcessStateTest {
protected:
    void SetUp() override
    {
        ProcessStateTest::SetUp();
        m_Dir = TestTempDir("job");
        std::filesystem::remove_all(m_Dir);
        std::filesystem::create_directories(m_Dir);
        SetClock(&m_Clock);
        SetWindowBridge(&m_Bridge);
        SetJobFinishedSink(&m_Finished);
    }

    void TearDown() override
    {
        EndProcessState();
        m_pPlotter.reset();
        m_pDoc.reset();
        std::filesystem::remove_all(m_Dir);
    }

    static std::string Fixture(const char* name)
    {
        return std::string(TESSALINE_SOURCE_DIR) + "/tests/fixtures/sim/" + name;
    }

    // The document with these config.ini lines (settings not named keep their defaults).
    void Configure(const std::string& ini)
    {
        std::ofstream(m_Dir / "config.ini", std::ios::binary) << ini;
        m_pDoc = std::make_unique<CMarquellDoc>(m_Dir.string());
        gpDoc = m_pDoc.get();
    }

    // Prepares the plot file as a job start does and starts the worker; the plotter is built from the
    // document's settings with these faults.
    void StartJob(const std::string& plt, const std::vector<const char*>& faults = {})
    {
        if (!m_pDoc)
            Configure("[JetPrintHeadOpenStatus]\nJetPrintHeadOpenStatus0=1\n");
        CFaultSchedule schedule;
        for (const char* f : faults)
            ASSERT_TRUE(schedule.Add(f)) << f;
        NewPlotter(schedule);
        ASSERT_TRUE(OpenLogFile((m_Dir / "logfile.txt").string()));
        m_pDoc->m_strSlotPath[SlotPrint] = plt;
        ASSERT_TRUE(m_pDoc->PrepareJob(SlotPrint));
        ASSERT_TRUE(m_pDoc->AllocPrintBuffers());
        gPrinterStatus.m_bPrinting = true;
        gPrinterStatus.RequestPrint();
        gProbeRequest = true;
        ASSERT_TRUE(StartPrintWorker());
    }

    // Lets the job run until cond holds, serving the link check requests of the window thread's
    // 1-second timer; false when the bound (virtual and real) runs out first.
    bool RunUntil(const std::function<bool()>& cond, int64_t virtualMs = 24 * 3600 * 1000)
    {
        const auto fuse = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        const int64_t limit = m_Clock.Now() + virtualMs;
        int64_t nextProbe = m_Clock.Now() + 1000;
        while (!cond()) {
            if (m_Clock.Now() > limit || std::chrono::steady_clock::now() > fuse)
                return cond();
            if (m_Clock.Now() >= nextProbe) {
                gProbeRequest = true;
                nextProbe = m_Clock.Now() + 1000;
            }
            std::this_thread::yield();
        }
        return true;
    }

    // The adapter the worker talks to: the plotter itself, unless a test puts a link in between.
    virtual CUsbAdapter* LinkTo(CVirtualPlotter& plotter) { return &plotter; }

    // The whole job: start, run to its end, stop the worker, close the log.
    void PrintJob(const std::string& plt, const std::vector<const char*>& faults = {})
    {
        StartJob(plt, faults);
        if (HasFatalFailure())
            return;
        EXPECT_TRUE(RunUntil([&] { return m_Finished.m_nCalls > 0; })) << "the job did not finish";
        WithinRealTime(std::chrono::seconds(20), "StopPrintWorker", [] { StopPrintWorker(); });
        CloseLogFile();
    }

    // The log as UTF-8 lines (without CR LF).
    std::vector<std::string> LogLines() const
    {
        std::ifstream in(m_Dir / "logfile.txt", std::ios::binary);
        std::string gbk((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<std::string> lines;
        std::istringstream text(GbkToUtf8(gbk));
        for (std::string line; std::getline(text, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines.push_back(line);
        }
        return lines;
    }

    int CountLog(const std::string& line) const
    {
        int n = 0;
        for (const std::string& l : LogLines())
            n += l == line;
        return n;
    }

    CJobLayout& Layout() { return m_pDoc->m_Layout[SlotPrint]; }

    // A new virtual plotter from the document's settings, installed and watched; the one before is checked.
    void NewPlotter(const CFaultSchedule& schedule)
    {
        WatchPlotter(nullptr);
        SetUsbAdapter(nullptr);
        m_pPlotter = std::make_unique<CVirtualPlotter>(m_pDoc->m_UserDefine, schedule);
        SetUsbAdapter(LinkTo(*m_pPlotter));
        WatchPlotter(m_pPlotter.get());
    }

    // The printed page against the job's own section bitmaps: sections [0, sections) must match row for
    // row, everything else must be blank paper.
    void ExpectPageIsUnionOfSections(int sections = -1)
    {
        CJobLayout& layout = Layout();
        CPltS4C4PrintData& data = m_pDoc->m_PrintData[SlotPrint];
        const CPltLineSectS4Data& cut = m_pDoc->m_Sections[SlotPrint];
        const CPageImage& page = m_pPlotter->Page();
        const int rows = m_pDoc->m_UserDefine.m_nTotalNozzles;
        if (sections < 0)
            sections = layout.m_nSectionCount;
        ASSERT_EQ(page.Width(), layout.m_nColumns);
        ASSERT_GE(page.Height(), sections * rows);
        int64_t expectedDots = 0, wrongRows = 0;
        std::string first;
        for (int j = 0; j < sections; ++j) {
            data.RasterizeSection(&cut.m_pSections[j], j);
            for (int i = 0; i < rows; ++i) {
                const uint8_t* want = data.m_pRows[i];
                const uint8_t* got = page.Row(j * rows + i);
                ASSERT_NE(got, nullptr);
                bool same = std::equal(want, want + layout.m_nRowBytes, got) &&
                            std::all_of(got + layout.m_nRowBytes, got + page.RowBytes(), [](uint8_t b) { return b == 0; });
                for (int b = 0; b < layout.m_nRowBytes; ++b)
                    expectedDots += std::popcount(static_cast<unsigned>(want[b]));
                if (!same && wrongRows++ == 0)
                    first = "section " + std::to_string(j) + " row " + std::to_string(i);
            }
        }
        EXPECT_EQ(wrongRows, 0) << "first differing row: " << first;
        EXPECT_EQ(page.DotCount(), expectedDots);
        EXPECT_GT(expectedDots, 0);
    }

    std::filesystem::path m_Dir;
    CVirtualClock m_Clock;
    CScriptedBridge m_Bridge;
    CFinishCounter m_Finished;
    std::unique_ptr<CMarquellDoc> m_pDoc;
    std::unique_ptr<CVirtualPlotter> m_pPlotter;
};
