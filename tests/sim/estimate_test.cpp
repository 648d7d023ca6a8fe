// The estimate's dry run against a real print of the same job through the print worker on the virtual
// plotter: both on virtual time, which the virtual plotter keeps at the real plotter's pace.
#include "app/dryrun.h"
#include "jobharness.h"

namespace {

// Records the virtual time at which the worker hands the job back.
class CEndTime : public CJobFinishedSink {
public:
    void JobFinished(EJobOutcome outcome) override
    {
        m_nMs = GetClock().Now();
        m_eOutcome = outcome;
        m_bDone = true;
    }
    std::atomic<bool> m_bDone{false};
    std::atomic<int64_t> m_nMs{0};
    std::atomic<EJobOutcome> m_eOutcome{EJobOutcome::None};
};

struct Marker {
    const char* name;
    std::string plot;  // empty: the small fixture
    const char* ini;
};

void PrintTo(const Marker& m, std::ostream* os)
{
    *os << m.name;
}

// 2 m along the paper, 1.6 m across: 31 segments of 3.3 MB, a frame and one diagonal (the time does not
// depend on the dots).
std::string WideMarker()
{
    return "IN;SP1;PU0,0;PD80000,0,80000,64000,0,64000,0,0,80000,64000;PU;";
}

const Marker kMarkers[] = {
    {"small marker, one head", "", "[JetPrintHeadOpenStatus]\nJetPrintHeadOpenStatus0=1\n"},
    {"2 m x 1.6 m marker, two heads",
     WideMarker(),
     "[CTRPARAM]\nJetPrintHead=2\n"
     "[JetPrintHeadOpenStatus]\nJetPrintHeadOpenStatus0=1\nJetPrintHeadOpenStatus2=1\n"
     "[JetPrintHeadValueX]\nJetPrintHeadValueX2=30\nJetPrintHeadValueX3=31\n"},
};

}  // namespace

class DryRunEstimate : public JobHarness, public ::testing::WithParamInterface<Marker> {};

TEST_P(DryRunEstimate, MatchesTheVirtualTimeOfARealPrint)
{
    Configure(GetParam().ini);
    std::string plot = Fixture("small.plt");
    if (!GetParam().plot.empty()) {
        plot = (m_Dir / "marker.plt").string();
        std::ofstream(plot, std::ios::binary) << GetParam().plot;
    }
    m_pDoc->m_strSlotPath[SlotPrint] = plot;
    ASSERT_TRUE(m_pDoc->PrepareJob(SlotPrint));
    ASSERT_TRUE(m_pDoc->AllocPrintBuffers());
    const CJobLayout& layout = Layout();
    const int segments = layout.m_nSectionCount / layout.m_nPassesPerSegment;

    const DryRunResult dry = CDryRun::Run(*m_pDoc);
    ASSERT_TRUE(dry.m_bFinished);
    EXPECT_EQ(dry.m_nSegments, segments);
    EXPECT_EQ(&GetClock(), &m_Clock) << "the test's clock is back";
    EXPECT_FALSE(m_pDoc->m_bDryRun);

    // The same job printed whole, every dot decoded.
    CEndTime end;
    SetJobFinishedSink(&end);
    NewPlotter(CFaultSchedule());
    m_pPlotter->SetKeepPage(false);
    m_pDoc->m_Layout[SlotPrint].m_nSectionCursor = 0;
    const int64_t start = m_Clock.Now();
    gPrinterStatus.m_bPrinting = true;
    gPrinterStatus.RequestPrint();
    gProbeRequest = true;
    ASSERT_TRUE(StartPrintWorker());
    ASSERT_TRUE(RunUntil([&] { return end.m_bDone.load(); }));
    WithinRealTime(std::chrono::seconds(20), "StopPrintWorker", [] { StopPrintWorker(); });
    ASSERT_EQ(end.m_eOutcome.load(), EJobOutcome::PrintedWhole);
    EXPECT_EQ(m_pPlotter->SegmentsPrinted(), segments);

    const int64_t real = end.m_nMs - start;
    EXPECT_NEAR(double(dry.m_nMs), double(real), 0.05 * double(real)) << "dry run " << dry.m_nMs << " ms";
}

INSTANTIATE_TEST_SUITE_P(Markers, DryRunEstimate, ::testing::ValuesIn(kMarkers));

// A dry run leaves nothing behind in the print path: the next job starts from the start-up state.
TEST_F(JobHarness, ADryRunLeavesThePrintPathAsItFoundIt)
{
    Configure("[JetPrintHeadOpenStatus]\nJetPrintHeadOpenStatus0=1\n");
    m_pDoc->m_strSlotPath[SlotPrint] = Fixture("small.plt");
    ASSERT_TRUE(m_pDoc->PrepareJob(SlotPrint));
    ASSERT_TRUE(m_pDoc->AllocPrintBuffers());
    const DryRunResult first = CDryRun::Run(*m_pDoc);
    const DryRunResult second = CDryRun::Run(*m_pDoc);
    EXPECT_TRUE(first.m_bFinished && second.m_bFinished);
    EXPECT_EQ(first.m_nMs, second.m_nMs);
    EXPECT_FALSE(IsPrintWorkerRunning());
    EXPECT_FALSE(gPrinterStatus.m_bPrinting);
    EXPECT_FALSE(gPrinterStatus.HasPrintTask());
    EXPECT_TRUE(gColorBarPending);
    EXPECT_EQ(GetUsbAdapter(), nullptr);
    EXPECT_EQ(&GetWindowBridge(), static_cast<CWindowBridge*>(&m_Bridge));

    // And the real job that follows prints whole.
    SetJobFinishedSink(&m_Finished);
    PrintJob(Fixture("small.plt"));
    ExpectPageIsUnionOfSections();
}
