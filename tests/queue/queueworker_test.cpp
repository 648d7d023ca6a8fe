// The task list and the real print worker together against the virtual plotter: operator actions that
// meet the worker at awkward moments, and prints that end early.
#include <gtest/gtest.h>

#include <fstream>

#include "queue/taskqueue.h"
#include "sim/jobharness.h"

namespace fs = std::filesystem;

namespace {

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
        SetJobFinishedSink(m_pQueue.get());
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
};

// An abort made once the job is handed over but before the worker has begun it must end the job as
// surely as one made while it prints: nothing printed, row and file gone.
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
        if (!c.fault)
            StartWorker();

        EXPECT_TRUE(RunWindowUntil([&] { return m_pQueue->Rows().empty() && Idle(); }));
        EXPECT_EQ(m_pPlotter->SegmentsPrinted(), 0);
        EXPECT_FALSE(fs::exists(a));
        EXPECT_FALSE(m_pPlotter->InJob()) << "the print end was sent";
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
