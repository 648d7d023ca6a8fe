// The task list and the real print worker together against the virtual plotter: operator actions that
// meet the worker at awkward moments, and prints that end early.
#include <gtest/gtest.h>

#include <fstream>

#include "link/fakeadapter.h"
#include "link/linkpane.h"
#include "queue/taskqueue.h"
#include "sim/jobharness.h"
#include "soak/lockstepclock.h"

namespace fs = std::filesystem;

namespace {

// Hands each finished job to the task queue and notes the worker's clock when it did.
class CTimedSink : public CJobFinishedSink {
public:
    void JobFinished(EJobOutcome outcome) override
    {
        m_nAt = GetClock().Now();
        if (m_pQueue)
            m_pQueue->JobFinished(outcome);
    }
    CTaskQueue* m_pQueue = nullptr;
    std::atomic<int64_t> m_nAt{-1};
};

class QueueWithWorker : public JobHarness {
protected:
    void TearDown() override
    {
        EndProcessState();
        m_pQueue.reset();
        JobHarness::TearDown();
    }

    // Automatic printing on; the plotter with these faults.
    void Begin(std::initializer_list<const char*> faults = {})
    {
        Configure("[JetPrintHeadOpenStatus]\nJetPrintHeadOpenStatus0=1\n[PRINT]\nPRINTAUTO=1\n");
        CFaultSchedule schedule;
        for (const char* f : faults)
            ASSERT_TRUE(schedule.Add(f)) << f;
        NewPlotter(schedule);
        m_pQueue = std::make_unique<CTaskQueue>(*m_pDoc);
        m_Sink.m_pQueue = m_pQueue.get();
        m_Sink.m_nAt = -1;
        SetJobFinishedSink(&m_Sink);
    }
    std::string Task(const std::string& name)
    {
        const std::string path = m_pQueue->TaskFolder() + name;
        fs::create_directories(m_pQueue->TaskFolder());
        fs::copy_file(Fixture("small.plt"), path, fs::copy_options::overwrite_existing);
        return path;
    }
    void StartWorker()
    {
        gProbeRequest = true;
        ASSERT_TRUE(StartPrintWorker());
    }
    // The window side's timers: a link check every second, a scan every 3 seconds, until cond holds.
    bool RunWindowUntil(const std::function<bool()>& cond, int64_t virtualMs = 3600 * 1000)
    {
        const auto fuse = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        const int64_t limit = m_Clock.Now() + virtualMs;
        int64_t nextProbe = m_Clock.Now(), nextScan = m_Clock.Now();
        while (!cond()) {
            if (m_Clock.Now() > limit || std::chrono::steady_clock::now() > fuse)
                return cond();
            if (m_Clock.Now() >= nextProbe) {
                gProbeRequest = true;
                nextProbe = m_Clock.Now() + 1000;
            }
            if (m_Clock.Now() >= nextScan) {
                m_pQueue->RefreshList();
                nextScan = m_Clock.Now() + 3000;
            }
            std::this_thread::yield();
        }
        return true;
    }
    const CTaskRow* Row(const std::vector<CTaskRow>& rows, const std::string& path)
    {
        for (const CTaskRow& row : rows)
            if (row.m_strPath == path)
                return &row;
        return nullptr;
    }
    bool Idle() const { return !gPrinterStatus.m_bPrinting && !gPrinterStatus.HasPrintTask(); }

    std::unique_ptr<CTaskQueue> m_pQueue;
    CTimedSink m_Sink;
};

// The window side in lockstep with the worker: the worker runs until the clock reaches the window side's
// next step and waits there while the test looks and acts, so every run takes the same course. The link check
// is requested every second and the folder scanned every 3 seconds, as the window's timers do.
class LockstepQueue : public QueueWithWorker {
protected:
    static constexpr int64_t kStepMs = 100;

    void SetUp() override
    {
        QueueWithWorker::SetUp();
        SetClock(&m_Lockstep);
    }
    void TearDown() override
    {
        m_Lockstep.SetFree(true);
        QueueWithWorker::TearDown();
    }
    // A fresh program for the next case of a table, on the same clock.
    void NextCase()
    {
        m_Lockstep.SetFree(true);
        EndProcessState();
        m_Lockstep.SetFree(false);
        SetClock(&m_Lockstep);
        SetWindowBridge(&m_Bridge);
        m_pQueue.reset();
        // Each case starts from an empty task folder: the last case's held row would come back from the
        // queue's state file.
        fs::remove_all(m_Dir / "tasks");
        m_nNextProbe = m_nNextScan = m_Lockstep.Now();
    }
    // Runs the worker step by step until cond holds at a step, or virtualMs have passed.
    bool RunUntil(const std::function<bool()>& cond, int64_t virtualMs = 3600 * 1000)
    {
        const int64_t limit = m_Lockstep.Now() + virtualMs;
        for (;;) {
            if (!m_Lockstep.WaitParked(std::chrono::seconds(30))) {
                ADD_FAILURE() << "the worker did not come back to the clock";
                return false;
            }
            const int64_t now = m_Lockstep.Now();
            if (now >= m_nNextProbe) {
                gProbeRequest = true;
                m_nNextProbe = now + 1000;
                if (m_fnEverySecond)
                    m_fnEverySecond();
            }
            if (now >= m_nNextScan) {
                m_pQueue->RefreshList();
                m_nNextScan = now + 3000;
            }
            if (cond())
                return true;
            if (now > limit)
                return false;
            m_Lockstep.Resume(std::min({m_nNextProbe, m_nNextScan, now + kStepMs}));
        }
    }

    CLockstepClock m_Lockstep;
    int64_t m_nNextProbe = 0;
    int64_t m_nNextScan = 0;
    std::function<void()> m_fnEverySecond;  // the window side's once-a-second work besides the probe
};

// An abort made once the job is handed over but before the worker has begun it must end the job as
// surely as one made while it prints. With the plotter there, nothing is printed and row and file go. While
// the worker still waits for a link that does not come, the abort cannot reach the plotter: the job ends at
// once, without the print end, and is held with its file.
TEST_F(QueueWithWorker, AnAbortBeforeTheWorkerBeginsTheJobIsNotLost)
{
    struct Case {
        const char* moment;
        const char* fault;
    } cases[] = {
        {"before the worker runs", nullptr},
        {"while the worker waits for the link", "link-lost@start+600000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.moment);
        EndProcessState();
        SetClock(&m_Clock);
        SetWindowBridge(&m_Bridge);
        m_pQueue.reset();
        Begin(c.fault ? std::initializer_list<const char*>{c.fault} : std::initializer_list<const char*>{});
        ASSERT_FALSE(HasFatalFailure());
        const std::string a = Task("a.plt");
        m_pQueue->RefreshList();  // listed
        m_pQueue->RefreshList();  // unchanged since: started
        ASSERT_EQ(m_pQueue->StatusOf(a), ETaskStatus::Plotting);
        if (c.fault) {
            const int64_t start = m_Clock.Now();
            StartWorker();
            ASSERT_TRUE(RunWindowUntil([&] { return m_Clock.Now() >= start + 2000; }));
            ASSERT_FALSE(m_pPlotter->LinkUp());
        }
        m_pQueue->Abort();
        const int64_t abortAt = m_Clock.Now();
        if (!c.fault)
            StartWorker();

        if (c.fault) {
            EXPECT_TRUE(RunWindowUntil([&] { return m_pQueue->StatusOf(a) == ETaskStatus::NotPlot && Idle(); }));
            EXPECT_LE(m_Sink.m_nAt - abortAt, 1200) << "handed back within about a second of the abort";
            EXPECT_EQ(Row(m_pQueue->Rows(), a)->m_strDetails, kDetailsIncomplete);
            EXPECT_TRUE(fs::exists(a));
        } else {
            EXPECT_TRUE(RunWindowUntil([&] { return m_pQueue->Rows().empty() && Idle(); }));
            EXPECT_FALSE(fs::exists(a));
            EXPECT_FALSE(m_pPlotter->InJob()) << "the print end was sent";
        }
        EXPECT_EQ(m_pPlotter->SegmentsPrinted(), 0);
    }
}

// The plotter switched off or its cable pulled in the middle of an exchange: every wait waits for the link,
// until the operator aborts. Then the wait ends within about a second, the job ends without the print end
// and is held with its file (unless its last segment was verified already: then that copy is printed), no
// other job starts while the plotter is away, and once it is back the next job prints whole.
TEST_F(LockstepQueue, AnAbortEndsAnyWaitForAPlotterThatCannotBeReached)
{
    struct Case {
        const char* wait;
        std::vector<const char*> faults;
        bool printedWhole;  // the link went in the print end, after the last verified segment
    } cases[] = {
        {"command writes at the cycle start", {"unplug@1+30000/0x21"}, false},
        {"the job announcement", {"unplug@2+30000/0xAC"}, false},
        {"the parameter download", {"unplug@1+30000/0x03"}, false},
        {"the start handshake", {"unplug@1+30000/0x0B"}, false},
        {"clearing a command mode", {"unplug@1+30000/0x24"}, false},
        {"the data request acknowledgement", {"unplug@2+30000/0x0E"}, false},
        {"the transfer begin", {"unplug@2+30000/0x11"}, false},
        {"packet repeats", {"link-lost@1+30000"}, false},
        {"the checksum request", {"unplug@2+30000/0x19"}, false},
        {"the transfer complete report", {"unplug@2+30000/0x13"}, false},
        {"the pause acknowledgement", {"pause@1+never", "unplug@1+30000/0x1E"}, false},
        {"the continue acknowledgement", {"pause@1+500", "unplug@1+30000/0x20"}, false},
        {"the poll while paused", {"pause@1+never", "unplug@40+30000/0x45"}, false},
        {"the stop acknowledgement", {"stop@1", "unplug@1+30000/0x16"}, false},
        {"the print end", {"unplug@1+30000/0x17"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.wait);
        NextCase();
        CLogCapture log;
        Configure("[JetPrintHeadOpenStatus]\nJetPrintHeadOpenStatus0=1\n[PRINT]\nPRINTAUTO=1\n");
        CFaultSchedule schedule;
        for (const char* f : c.faults)
            ASSERT_TRUE(schedule.Add(f)) << f;
        NewPlotter(schedule);
        m_pQueue = std::make_unique<CTaskQueue>(*m_pDoc);
        SetJobFinishedSink(m_pQueue.get());
        const std::string a = Task("a.plt");
        m_pQueue->RefreshList();  // listed
        m_pQueue->RefreshList();  // unchanged since: started
        StartWorker();

        // The worker waits for the link, and keeps waiting.
        ASSERT_TRUE(RunUntil([&] { return !m_pPlotter->LinkUp(); }));
        const int64_t lostAt = m_Lockstep.Now();
        const std::string b = Task("b.plt");
        ASSERT_TRUE(RunUntil([&] { return m_Lockstep.Now() >= lostAt + 3000; }));
        ASSERT_EQ(m_pQueue->StatusOf(a), ETaskStatus::Plotting);
        EXPECT_TRUE(gPrinterStatus.m_bPrinting);

        m_pQueue->Abort();
        const int64_t abortAt = m_Lockstep.Now();
        EXPECT_TRUE(RunUntil([&] { return m_pQueue->StatusOf(a) != ETaskStatus::Plotting && Idle(); }));
        EXPECT_LE(m_Lockstep.Now() - abortAt, 1200) << "the abort ends the wait within about a second";
        EXPECT_EQ(log.Count("Link: the plotter cannot be reached; the job ends without its print end\r\n"), 1);
        if (c.printedWhole) {
            EXPECT_FALSE(Row(m_pQueue->Rows(), a));
            EXPECT_FALSE(fs::exists(a));
        } else {
            ASSERT_TRUE(Row(m_pQueue->Rows(), a));
            EXPECT_EQ(m_pQueue->StatusOf(a), ETaskStatus::NotPlot);
            EXPECT_EQ(Row(m_pQueue->Rows(), a)->m_strDetails, kDetailsIncomplete);
            EXPECT_TRUE(fs::exists(a));
        }

        // Nothing starts while the plotter is away.
        ASSERT_TRUE(RunUntil([&] { return m_Lockstep.Now() >= lostAt + 25000; }));
        EXPECT_FALSE(m_pPlotter->LinkUp());
        EXPECT_EQ(m_pQueue->StatusOf(b), ETaskStatus::New);
        EXPECT_FALSE(gPrinterStatus.m_bPrinting);

        // Once it is back, the next job prints whole; the held one waits for the operator.
        EXPECT_TRUE(RunUntil([&] { return !Row(m_pQueue->Rows(), b) && Idle(); }));
        EXPECT_FALSE(fs::exists(b));
        EXPECT_EQ(m_pPlotter->SegmentsPrinted(), Layout().m_nSectionCount / Layout().m_nPassesPerSegment);
        EXPECT_EQ(m_pQueue->Rows().size(), c.printedWhole ? 0u : 1u);
    }
}

// A print that ends early without an abort (the operator's No at the checksum question, the plotter's
// stop key) finishes the job on the workstation's side, but the job is not printed: it stays in the
// list on hold with its file and its copies, and the next job starts.
TEST_F(QueueWithWorker, AnIncompletePrintIsHeldAndTheNextJobStarts)
{
    struct Case {
        const char* how;
        const char* fault;
    } cases[] = {
        {"No at the checksum question", "bad-dram@0x5"},
        {"the plotter's stop key", "stop@1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        EndProcessState();
        SetClock(&m_Clock);
        SetWindowBridge(&m_Bridge);
        m_pQueue.reset();
        m_Bridge.m_Answers = {false};
        Begin({c.fault});
        ASSERT_FALSE(HasFatalFailure());
        const std::string a = Task("a.plt");
        const std::string b = Task("b.plt");
        m_pQueue->RefreshList();
        m_pQueue->AddCopy(b);
        m_pQueue->AddCopy(b);
        StartWorker();

        // a ends early; b prints its three copies.
        EXPECT_TRUE(RunWindowUntil([&] { return !Row(m_pQueue->Rows(), b) && Idle(); }));
        const std::vector<CTaskRow> rows = m_pQueue->Rows();
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0].m_strPath, a);
        EXPECT_EQ(rows[0].m_eStatus, ETaskStatus::NotPlot);
        EXPECT_EQ(rows[0].m_nCopies, 1);
        EXPECT_TRUE(fs::exists(a));
        EXPECT_FALSE(fs::exists(b));
        EXPECT_EQ(m_pPlotter->SegmentsPrinted(), Layout().m_nSectionCount / Layout().m_nPassesPerSegment);

        // Held, it waits for the operator; Plot queues it again and it prints.
        m_pQueue->Plot(a);
        EXPECT_TRUE(RunWindowUntil([&] { return m_pQueue->Rows().empty() && Idle(); }));
        EXPECT_FALSE(fs::exists(a));
    }
}

// The stop acknowledgement (0x16) is written once and its reply not waited for; when that reply is lost,
// the controller is in the stop mode all the same, and the print end must not be written into it.
TEST_F(QueueWithWorker, AStopWhoseAcknowledgementReplyIsLostStillClearsTheStopMode)
{
    Begin({"stop@1", "no-reply@1x3/0x16"});
    ASSERT_FALSE(HasFatalFailure());
    const std::string a = Task("a.plt");
    StartWorker();
    EXPECT_TRUE(RunWindowUntil([&] { return m_pQueue->StatusOf(a) == ETaskStatus::NotPlot && Idle(); }));
    EXPECT_EQ(m_pPlotter->CommandCount(0x16), 1);
    EXPECT_FALSE(m_pPlotter->InJob()) << "the print end was answered";
}

// A CAD system re-exports the marker under the same name while the old version prints: the new version
// is not deleted unprinted at the job's end but printed as a job of its own, then removed.
TEST_F(QueueWithWorker, AFileReplacedWhileItPrintsIsKeptAndPrintedAsANewJob)
{
    Begin();
    ASSERT_FALSE(HasFatalFailure());
    const std::string a = Task("a.plt");
    m_pQueue->RefreshList();
    m_pQueue->RefreshList();
    ASSERT_EQ(m_pQueue->StatusOf(a), ETaskStatus::Plotting) << "read, handed to the worker";
    std::ofstream(a + ".part", std::ios::binary) << "IN;PU0,0;PD2000,0,2000,2000;PU;";
    fs::rename(a + ".part", a);
    ASSERT_TRUE(OpenLogFile((m_Dir / "logfile.txt").string()));
    StartWorker();

    EXPECT_TRUE(RunWindowUntil([&] { return m_pQueue->Rows().empty() && Idle(); }));
    EXPECT_EQ(m_pPlotter->CommandCount(0x17), 2) << "two jobs, each ended with its print end";
    CloseLogFile();
    EXPECT_EQ(CountLog("Kept " + a + ": " + kDetailsReplaced + "; queued as a new job"), 1);
    EXPECT_FALSE(fs::exists(a));
}

}  // namespace

namespace {

// The plotter stops answering in the middle of a job and comes back 20 s later: the link pane, decided once a
// second, says "Offline" within a few seconds and "Online" again once it answers, and the log has one line
// for each; the job waits and then prints whole.
TEST_F(LockstepQueue, TheLinkPaneFollowsAPlotterThatStopsAnsweringDuringAJob)
{
    CLogCapture log;
    CLinkPane pane;
    std::vector<std::pair<int64_t, std::string>> shown;  // each change of the pane, with its time
    m_fnEverySecond = [&] {
        pane.Update();
        const std::string text = gStatusText.GetText(PaneLink);
        if (shown.empty() || shown.back().second != text)
            shown.emplace_back(m_Lockstep.Now(), text);
    };
    Begin({"link-lost@2+20000"});
    const std::string a = Task("a.plt");
    StartWorker();

    ASSERT_TRUE(RunUntil([&] { return !m_pPlotter->LinkUp(); }));
    const int64_t lostAt = m_Lockstep.Now();
    ASSERT_TRUE(RunUntil([&] { return m_pPlotter->LinkUp(); }));
    const int64_t backAt = m_Lockstep.Now();
    ASSERT_TRUE(RunUntil([&] { return m_pQueue->Rows().empty() && Idle(); }));
    EXPECT_EQ(m_pPlotter->SegmentsPrinted(), Layout().m_nSectionCount / Layout().m_nPassesPerSegment);

    ASSERT_EQ(shown.size(), 4u) << "Offline at start, Online, Offline, Online";
    EXPECT_EQ(shown[2].second, "Offline");
    EXPECT_GT(shown[2].first, lostAt);
    EXPECT_LE(shown[2].first, lostAt + 4000) << "within a few seconds";
    EXPECT_EQ(shown[3].second, "Online");
    EXPECT_GE(shown[3].first, backAt);
    EXPECT_LE(shown[3].first, backAt + 2000);
    const std::vector<std::string> lines = log.Lines();
    const auto count = [&](const char* prefix) {
        return std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
    };
    EXPECT_EQ(count("Link: Offline at "), 1);
    EXPECT_EQ(count("Link: Online at "), 1);
}

}  // namespace
