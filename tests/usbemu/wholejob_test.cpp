// Whole jobs by the print worker through libusb to the emulated board, the virtual plotter its brain: the
// same page and log as on the virtual adapter, and the faults of a real cable and board on the way.
#include "emulatedboard.h"
#include "link/libusbadapter.h"
#include "sim/jobharness.h"

namespace {

const char* const kLost = "Error: USB plotter 04CC:1B49 lost (no device); it is opened again when it answers";
const char* const kOpened = "USB plotter 04CC:1B49 opened, interface 0";

// Each transfer of the small job (the colour bar, then every segment) is a packet of 64512 bytes and a
// remainder of 50064, which libusb sends as 4 + 4 URBs: URBs 17 to 24 carry the second segment.
constexpr int kSecondSegmentSecondUrb = 18;
constexpr int kSecondSegmentRemainderSecondUrb = 22;

class JobThroughLibUsb : public JobHarness {
protected:
    void SetUp() override
    {
        JobHarness::SetUp();
        m_pBoard = std::make_unique<CEmulatedBoard>(CLinkSettings{});
        m_pBoard->Plug();
    }
    void TearDown() override
    {
        EndProcessState();
        m_pAdapter.reset();
        m_pBoard.reset();
        JobHarness::TearDown();
    }
    CUsbAdapter* LinkTo(CVirtualPlotter& plotter) override
    {
        if (m_bDirect)
            return &plotter;
        m_pBoard->SetBrain(&plotter);
        m_pAdapter = CreateLibUsbAdapter(m_pDoc->m_UserDefine.m_Link);
        return m_pAdapter.get();
    }
    // Runs until the job has finished, then stops the worker and closes the log.
    void FinishJob()
    {
        EXPECT_TRUE(RunUntil([&] { return m_Finished.m_nCalls > 0; })) << "the job did not finish";
        WithinRealTime(std::chrono::seconds(20), "StopPrintWorker", [] { StopPrintWorker(); });
        CloseLogFile();
    }
    std::unique_ptr<CEmulatedBoard> m_pBoard;
    std::unique_ptr<CUsbAdapter> m_pAdapter;
    bool m_bDirect = false;
};

bool SamePage(const CPageImage& a, const CPageImage& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        if (!std::equal(a.Row(y), a.Row(y) + a.RowBytes(), b.Row(y)))
            return false;
    return true;
}

}  // namespace

TEST_F(JobThroughLibUsb, PrintsThePageAndLogOfTheVirtualAdapter)
{
    PrintJob(Fixture("small.plt"));
    ExpectPageIsUnionOfSections();
    const CPageImage page = m_pPlotter->Page();
    std::vector<std::string> log = LogLines();
    CBoardStats stats = m_pBoard->Stats();
    ASSERT_EQ(stats.dataUrbLengths.size(), 6u * 8u);
    EXPECT_EQ(std::vector<int>(stats.dataUrbLengths.begin() + 16, stats.dataUrbLengths.begin() + 24),
              (std::vector<int>{16384, 16384, 16384, 15360, 16384, 16384, 16384, 912}));

    // The same job with the virtual plotter as the adapter.
    m_bDirect = true;
    ResetPrintPathState();
    m_Finished.m_nCalls = 0;
    m_pDoc.reset();
    PrintJob(Fixture("small.plt"));
    EXPECT_TRUE(SamePage(page, m_pPlotter->Page()));

    // The back-end adds the one line of opening the board.
    auto opened = std::find(log.begin(), log.end(), kOpened);
    ASSERT_NE(opened, log.end());
    log.erase(opened);
    const std::vector<std::string> direct = LogLines();
    for (size_t i = 0; i < std::max(direct.size(), log.size()); ++i) {
        std::string want = i < direct.size() ? direct[i] : "<end of log>";
        std::string got = i < log.size() ? log[i] : "<end of log>";
        ASSERT_EQ(got, want) << "first difference at line " << i + 1;
    }
    EXPECT_EQ(stats.nConnections, 1);
    EXPECT_EQ(stats.nStalls, 0);
    EXPECT_EQ(stats.nDiscarded, 0);
}

TEST_F(JobThroughLibUsb, BoardUnpluggedInTheMiddleOfASegmentIsOpenedAgainAndTheJobCompletes)
{
    // The first packet of the segment is in, the remainder is on the wire.
    m_pBoard->UnplugAtDataUrb(kSecondSegmentRemainderSecondUrb);
    StartJob(Fixture("small.plt"));
    ASSERT_TRUE(RunUntil([&] { return !m_pBoard->Plugged(); }));
    // Out for five seconds of the worker's time, then plugged in again (at a new address).
    ASSERT_TRUE(RunUntil([&] { return m_Clock.Now() - m_pBoard->UnpluggedAt() >= 5000; }));
    m_pBoard->Plug();
    FinishJob();
    ExpectPageIsUnionOfSections();
    EXPECT_EQ(CountLog(kLost), 1);
    EXPECT_EQ(CountLog("USB plotter 04CC:1B49 not attached"), 1);
    EXPECT_EQ(CountLog(kOpened), 2);
    // The segment was completed with its remainder sent again: every checksum matched at once.
    for (const PlotterTransfer& t : m_pPlotter->Transfers())
        EXPECT_EQ(t.verdict, 1) << "segment " << t.segment;
    EXPECT_EQ(m_pPlotter->Transfers().size(), 6u);
}

TEST_F(JobThroughLibUsb, StalledDataEndpointIsClearedAndThePacketRepeated)
{
    m_pBoard->StallAtDataUrb(kSecondSegmentSecondUrb);
    PrintJob(Fixture("small.plt"));
    ExpectPageIsUnionOfSections();
    EXPECT_EQ(CountLog("Error: OutDMADataToUsbAgin=1,PackegMun=0"), 1);
    EXPECT_EQ(m_pBoard->Stats().clearedHalts, std::vector<uint8_t>{0x02});
    EXPECT_EQ(m_pBoard->Stats().nConnections, 1);
}

TEST_F(JobThroughLibUsb, RepliesThatNeverComeEndInLibusbsTimeOutAndTheJobGoesOn)
{
    // The plotter keeps quiet after some commands: the board NAKs the reply pipe until libusb gives up.
    PrintJob(Fixture("small.plt"), {"no-reply@30x2", "no-reply@1/0x1A"});
    ExpectPageIsUnionOfSections();
    EXPECT_GE(m_pBoard->Stats().nDiscarded, 3);
    EXPECT_EQ(m_pBoard->Stats().nConnections, 1);
    EXPECT_EQ(CountLog(kOpened), 1);
}
