// Whole jobs through the print worker against the virtual plotter: what it prints, what the log says,
// and how each fault ends.
#include "jobharness.h"

namespace {

struct Carriage {
    const char* name;
    const char* ini;
};

// Offsets at least as large as the (negative) skews, so that no dot falls off the firing columns.
const Carriage kCarriages[] = {
    {"one head, defaults", "[JetPrintHeadOpenStatus]\nJetPrintHeadOpenStatus0=1\n"},
    {"one head at position 1, offsets and skew",
     "[JetPrintHeadOpenStatus]\nJetPrintHeadOpenStatus2=1\n"
     "[JetPrintHeadValueX]\nJetPrintHeadValueX2=60\nJetPrintHeadValueX3=63\n"
     "[JetPrintHeadValueY]\nJetPrintHeadValueY2=-60\n"},
    {"two heads at positions 1 and 2",
     "[CTRPARAM]\nJetPrintHead=2\n"
     "[JetPrintHeadOpenStatus]\nJetPrintHeadOpenStatus2=1\nJetPrintHeadOpenStatus4=1\n"
     "[JetPrintHeadValueX]\nJetPrintHeadValueX2=30\nJetPrintHeadValueX3=31\nJetPrintHeadValueX4=52\n"
     "JetPrintHeadValueX5=50\n"
     "[JetPrintHeadValueY]\nJetPrintHeadValueY2=-30\nJetPrintHeadValueY4=-45\n"},
    {"three heads, two passes per segment",
     "[CTRPARAM]\nJetPrintHead=3\n"
     "[JetPrintHeadOpenStatus]\nJetPrintHeadOpenStatus0=1\nJetPrintHeadOpenStatus2=1\nJetPrintHeadOpenStatus4=1\n"
     "[JetPrintHeadValueX]\nJetPrintHeadValueX0=20\nJetPrintHeadValueX1=22\nJetPrintHeadValueX2=40\n"
     "JetPrintHeadValueX3=41\nJetPrintHeadValueX4=60\nJetPrintHeadValueX5=63\n"
     "[JetPrintHeadValueY]\nJetPrintHeadValueY0=-15\nJetPrintHeadValueY4=-20\n"},
    {"four heads",
     "[CTRPARAM]\nJetPrintHead=4\n"
     "[JetPrintHeadOpenStatus]\nJetPrintHeadOpenStatus0=1\nJetPrintHeadOpenStatus2=1\nJetPrintHeadOpenStatus4=1\n"
     "JetPrintHeadOpenStatus6=1\n"
     "[JetPrintHeadValueX]\nJetPrintHeadValueX0=5\nJetPrintHeadValueX1=9\nJetPrintHeadValueX2=33\n"
     "JetPrintHeadValueX3=35\nJetPrintHeadValueX4=61\nJetPrintHeadValueX5=64\nJetPrintHeadValueX6=90\n"
     "JetPrintHeadValueX7=88\n"
     "[JetPrintHeadValueY]\nJetPrintHeadValueY6=-80\n"},
};

void PrintTo(const Carriage& c, std::ostream* os)
{
    *os << c.name;
}

const char* const kQuestion = "通信不可靠，请检查USB线路! 需要继续重试，请选择YES";

}  // namespace

class PrintedPage : public JobHarness, public ::testing::WithParamInterface<Carriage> {};

// The operator previews other files while a job prints: the preview must not touch what the worker reads
// (under ThreadSanitizer any shared write shows as a race), and the page must come out as a clean print.
TEST_F(JobHarness, PreviewsWhileAJobPrintsLeaveThePrintUntouched)
{
    Configure(kCarriages[2].ini);
    m_pDoc->m_strSlotPath[SlotPreview] = Fixture("small.plt");
    m_pDoc->m_strSlotPath[SlotPrintPreview] = Fixture("small.plt");
    StartJob(Fixture("small.plt"));
    ASSERT_FALSE(HasFatalFailure());
    int previews = 0;
    EXPECT_TRUE(RunUntil([&] {
        EXPECT_TRUE(m_pDoc->PrepareJob(previews % 2 ? SlotPreview : SlotPrintPreview));
        ++previews;
        return m_Finished.m_nCalls > 0;
    }));
    WithinRealTime(std::chrono::seconds(20), "StopPrintWorker", [] { StopPrintWorker(); });
    // How many previews overlap the print depends on the two threads' real pace; any that do must not
    // change what is printed.
    EXPECT_GT(previews, 0);
    ExpectPageIsUnionOfSections();
}

TEST_P(PrintedPage, IsTheUnionOfTheSections)
{
    Configure(GetParam().ini);
    PrintJob(Fixture("small.plt"));
    ExpectPageIsUnionOfSections();
    EXPECT_EQ(m_pPlotter->SegmentsPrinted(), Layout().m_nSectionCount / Layout().m_nPassesPerSegment);
    // The colour bar is printed, but not on the page.
    EXPECT_GT(m_pPlotter->ColorBar().DotCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Carriages, PrintedPage, ::testing::ValuesIn(kCarriages),
                         [](const auto& info) { return "c" + std::to_string(info.index); });

TEST_F(JobHarness, LogOfASmallJobMatchesTheTranscript)
{
    PrintJob(Fixture("small.plt"));
    std::ifstream in(Fixture("small_job.log"));
    std::vector<std::string> golden;
    for (std::string line; std::getline(in, line);)
        golden.push_back(line);
    std::vector<std::string> log = LogLines();
    for (size_t i = 0; i < std::max(golden.size(), log.size()); ++i) {
        std::string want = i < golden.size() ? golden[i] : "<end of transcript>";
        std::string got = i < log.size() ? log[i] : "<end of log>";
        ASSERT_EQ(got, want) << "first difference at line " << i + 1;
    }
}

TEST_F(JobHarness, MismatchServesTheSameSegmentAgain)
{
    PrintJob(Fixture("small.plt"), {"bad-dram@1"});
    ExpectPageIsUnionOfSections();
    std::vector<int> verdicts;
    for (const PlotterTransfer& t : m_pPlotter->Transfers())
        if (t.segment == 1)
            verdicts.push_back(t.verdict);
    EXPECT_EQ(verdicts, (std::vector<int>{-1, 1}));
    EXPECT_EQ(CountLog("当前打印第2段数据出现错误！"), 1);
    EXPECT_TRUE(m_Bridge.Messages().empty());
}

TEST_F(JobHarness, NoAtTheFifthMismatchEndsTheJob)
{
    m_Bridge.m_Answers = {false};
    PrintJob(Fixture("small.plt"), {"bad-dram@1x5"});
    EXPECT_EQ(m_Bridge.Messages(), std::vector<std::string>{kQuestion});
    EXPECT_EQ(Layout().m_nSectionCursor, Layout().m_nSectionCount);
    EXPECT_EQ(CountLog("退出错误！"), 1);
    EXPECT_EQ(CountLog("当前打印第2段数据出现错误！"), 4);
    EXPECT_EQ(m_Finished.m_nCalls, 1);
    EXPECT_FALSE(m_pPlotter->InJob());  // the print end was sent and answered
    EXPECT_EQ(m_pPlotter->SegmentsPrinted(), 1);
    ExpectPageIsUnionOfSections(Layout().m_nPassesPerSegment);
}

TEST_F(JobHarness, YesAtTheFifthMismatchRetries)
{
    m_Bridge.m_Answers = {true};
    PrintJob(Fixture("small.plt"), {"bad-dram@1x5"});
    EXPECT_EQ(m_Bridge.Messages(), std::vector<std::string>{kQuestion});
    EXPECT_EQ(CountLog("继续重试！"), 1);
    EXPECT_EQ(CountLog("当前打印第2段数据出现错误！"), 5);
    ExpectPageIsUnionOfSections();
}

TEST_F(JobHarness, StopRequestIsAcknowledgedOnceAndTheJobStillEnds)
{
    PrintJob(Fixture("small.plt"), {"stop@1"});
    EXPECT_EQ(m_pPlotter->CommandCount(0x16), 1);
    EXPECT_EQ(m_pPlotter->CommandCount(0x17), 1);
    EXPECT_FALSE(m_pPlotter->InJob());
    EXPECT_EQ(m_Finished.m_nCalls, 1);
    EXPECT_EQ(CountLog("收到下位机请求停机!"), 1);
    EXPECT_LT(Layout().m_nSectionCursor, Layout().m_nSectionCount);
    ExpectPageIsUnionOfSections(Layout().m_nPassesPerSegment);
}

TEST_F(JobHarness, LostLinkWaitsAndResumes)
{
    PrintJob(Fixture("small.plt"), {"link-lost@start+3000", "link-lost@1+5000"});
    ExpectPageIsUnionOfSections();
    EXPECT_GE(CountLog("Error:UsbConnect Fail . . . . . . . ."), 1);
    int repeats = 0;
    for (const std::string& line : LogLines())
        repeats += line.rfind("Error: OutDMADataToUsbAgin=", 0) == 0 && line.find(",PackegMun=0") != std::string::npos;
    EXPECT_EQ(repeats, 1);
}

TEST_F(JobHarness, UnansweredPrintEndStillFinishesTheJob)
{
    PrintJob(Fixture("small.plt"), {"no-print-end"});
    EXPECT_EQ(m_pPlotter->CommandCount(0x17), 3);
    EXPECT_EQ(m_Finished.m_nCalls, 1);
    EXPECT_TRUE(gPrinterStatus.m_EventCotrol.Bits.PrintEnd);
    EXPECT_FALSE(gPrinterStatus.m_bPrinting);
    EXPECT_EQ(gStatusText.GetText(4), "Finished");
    ExpectPageIsUnionOfSections();
}

TEST_F(JobHarness, OperatorKeysPauseAndContinue)
{
    PrintJob(Fixture("small.plt"), {"pause@1+2000", "continue@2"});
    ExpectPageIsUnionOfSections();
    EXPECT_EQ(CountLog("收到下位机暂停请求命令!"), 1);
    EXPECT_EQ(CountLog("收到下位机继续打印命令!"), 2);
    EXPECT_EQ(CountLog("处理完毕打印继续"), 2);
    // Only the continue that follows a pause is acknowledged.
    EXPECT_EQ(m_pPlotter->CommandCount(0x1E), 1);
    EXPECT_EQ(m_pPlotter->CommandCount(0x20), 1);
    EXPECT_FALSE(gPrinterStatus.m_bPaused);
}

TEST_F(JobHarness, TransportFaultsAreRidden)
{
    PrintJob(Fixture("small.plt"),
             {"reject-cmd@40x3", "reject-cmd@2/0x13", "no-reply@30x2", "no-reply@1/0x1A", "reject-data@2",
              "out-of-order@1"});
    ExpectPageIsUnionOfSections();
    EXPECT_EQ(CountLog("收到下位机无效数据请求命令!不予处理"), 1);
}

TEST_F(JobHarness, ExitDuringAJobEndsTheWorkerPromptly)
{
    // Each fault holds the job in a different endless wait: the print loop polling a paused plotter,
    // a data packet repeated on a dead link, a transfer-complete report that is never answered.
    struct Hang {
        const char* fault;
        std::function<bool(const CVirtualPlotter&)> reached;
    };
    const Hang hangs[] = {
        {"pause@1+never", [](const CVirtualPlotter& p) { return p.Paused(); }},
        {"link-lost@1+never", [](const CVirtualPlotter& p) { return !p.LinkUp(); }},
        {"no-reply@2x1000000/0x13", [](const CVirtualPlotter& p) { return p.CommandCount(0x13) > 5; }},
    };
    for (const Hang& hang : hangs) {
        SCOPED_TRACE(hang.fault);
        EndProcessState();
        SetClock(&m_Clock);
        SetWindowBridge(&m_Bridge);
        SetJobFinishedSink(&m_Finished);
        m_pDoc.reset();
        StartJob(Fixture("small.plt"), {hang.fault});
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_TRUE(RunUntil([&] { return hang.reached(*m_pPlotter); }));
        WithinRealTime(std::chrono::seconds(20), "StopPrintWorker", [] { StopPrintWorker(); });
        EXPECT_FALSE(IsPrintWorkerRunning());
        EXPECT_EQ(m_Finished.m_nCalls, 0);
    }
}

// A key pressed while a segment is transferred comes as the reply to a command other than the poll, and the
// wait for that command's own reply reads over it. Whether the plotter announces it once or again at every
// poll until it is acknowledged, the key does what it asks, once, and the job never hangs.
TEST_F(JobHarness, KeysPressedDuringATransferAreNotLost)
{
    struct Case {
        const char* what;
        std::vector<const char*> faults;
        int pauseAcks, continueAcks, stopAcks;
        int pauseLines, continueLines, stopLines;
    };
    const Case cases[] = {
        {"pause once", {"pause@1+2000/during"}, 1, 1, 0, 1, 1, 0},
        {"pause until acknowledged", {"pause@1+2000/during+repeat"}, 1, 1, 0, 1, 1, 0},
        {"stop once", {"stop@1/during"}, 0, 0, 1, 0, 0, 1},
        {"stop until acknowledged", {"stop@1/during+repeat"}, 0, 0, 1, 0, 0, 1},
        // Continue pressed just after pause, in the same transfer: the pause is withdrawn, nothing to resume.
        {"pause and continue once", {"pause@2/during", "continue@2/during"}, 0, 0, 0, 0, 1, 0},
        {"pause and continue until acknowledged", {"pause@2/during+repeat", "continue@2/during+repeat"}, 0, 0, 0,
         0, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EndProcessState();
        SetClock(&m_Clock);
        SetWindowBridge(&m_Bridge);
        m_Finished.m_nCalls = 0;
        SetJobFinishedSink(&m_Finished);
        m_pDoc.reset();
        PrintJob(Fixture("small.plt"), c.faults);
        ASSERT_FALSE(HasFatalFailure());
        const CFaultSchedule record = m_pPlotter->FaultRecord();
        for (const CFaultSchedule::Fault& f : record.Faults())
            EXPECT_EQ(f.hits, 1) << "the key was pressed";

        EXPECT_EQ(m_Finished.m_nCalls, 1);
        EXPECT_EQ(m_pPlotter->CommandCount(0x1E), c.pauseAcks);
        EXPECT_EQ(m_pPlotter->CommandCount(0x20), c.continueAcks);
        EXPECT_EQ(m_pPlotter->CommandCount(0x16), c.stopAcks);
        EXPECT_EQ(CountLog("收到下位机暂停请求命令!"), c.pauseLines);
        EXPECT_EQ(CountLog("收到下位机继续打印命令!"), c.continueLines);
        EXPECT_EQ(CountLog("收到下位机请求停机!"), c.stopLines);
        EXPECT_EQ(m_pPlotter->CommandCount(0x17), 1);
        EXPECT_FALSE(m_pPlotter->InJob()) << "the print end was answered";
        EXPECT_FALSE(gPrinterStatus.m_bPaused);
        if (c.stopAcks) {
            // The transfer the key came in is finished and verified; nothing after it is printed.
            EXPECT_EQ(gJobOutcome, EJobOutcome::StoppedAtPlotter);
            EXPECT_EQ(m_pPlotter->SegmentsPrinted(), 2);
            ExpectPageIsUnionOfSections(2 * Layout().m_nPassesPerSegment);
        } else {
            EXPECT_EQ(gJobOutcome, EJobOutcome::PrintedWhole);
            ExpectPageIsUnionOfSections();
        }
    }
}
