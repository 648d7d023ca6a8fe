// The virtual plotter driven by scripted frames: replies, command modes, the request sequence, checksums,
// printing, and every injected fault.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/clock.h"
#include "scriptedhost.h"
#include "segmentfixture.h"
#include "settings/userdefine.h"
#include "sim/receivebuffer.h"
#include "sim/virtualplotter.h"
#include "testtmp.h"

namespace {

constexpr int kXMin = 100;
constexpr int kColumns = 20;
constexpr int kBar = CFaultSchedule::kColorBar;

CUserDefine OneHead()
{
    CUserDefine s;
    s.JetPrintHeadOpenStatus[0] = 1;
    return s;
}

// A segment whose only dot is dot x of nozzle 0 in pass 0 (forward, zero offsets and skew).
std::vector<uint8_t> SegmentWithDot(int x)
{
    auto words = BlankSegment(kColumns);
    words[9 + static_cast<size_t>(x) * 154] = 0x0001;
    return SegmentBytes(words);
}

class VirtualPlotterTest : public ::testing::Test {
protected:
    void SetUp() override { SetClock(&m_Clock); }
    void TearDown() override { SetClock(nullptr); }

    void Make(std::initializer_list<const char*> faults = {})
    {
        CFaultSchedule schedule;
        for (const char* f : faults)
            ASSERT_TRUE(schedule.Add(f)) << f;
        m_pPlotter = std::make_unique<CVirtualPlotter>(OneHead(), schedule);
        m_pHost = std::make_unique<CScriptedHost>(*m_pPlotter);
    }

    int Send(uint8_t code, int a = 0, int b = 0) { return m_pHost->Send(code, a, b); }

    // Parameters and the start handshake.
    void StartJob()
    {
        ASSERT_EQ(Send(0x01, kXMin), 0x02);
        ASSERT_EQ(Send(0x03, kXMin + kColumns), 0x04);
        ASSERT_EQ(Send(0x0B, 0, 1), 0x0C);
        ASSERT_EQ(Send(0x24), 0x24);
    }

    // Polls and expects a data request for the segment (kBar: the colour bar), then acknowledges it.
    void ExpectRequest(int segment)
    {
        ASSERT_EQ(Send(0x45), 0x0D);
        EXPECT_EQ(m_pHost->ReplyU16(2), segment == kBar ? 0 : segment);
        EXPECT_EQ(m_pHost->Reply()[4], segment == kBar ? 0x00 : 0xFF);
        ASSERT_EQ(Send(0x0E), 0x0E);
        ASSERT_EQ(Send(0x24), 0x24);
    }

    // Transfer and checksum report; returns the reported DRAM checksum.
    uint32_t Transfer(const std::vector<uint8_t>& data)
    {
        EXPECT_EQ(Send(0x11), 0x12);
        EXPECT_EQ(Send(0x24), 0x24);
        m_pHost->SendData(data);
        EXPECT_EQ(Send(0x19), 0x1A);
        const uint32_t dram = m_pHost->ReplyU32(6);
        EXPECT_EQ(m_pHost->ReplyU32(2), CReceiveBuffer::Checksum(data.data(), data.size()));
        EXPECT_EQ(Send(0x24), 0x24);
        return dram;
    }

    void Confirm()
    {
        ASSERT_EQ(Send(0x13), 0x14);
        ASSERT_EQ(Send(0x24), 0x24);
    }

    void Reject()
    {
        std::vector<uint8_t> filler(64512, 0);
        m_pHost->SendData(filler);
        ASSERT_EQ(Send(0x1B), 0x1C);
        ASSERT_EQ(Send(0x24), 0x24);
    }

    // A whole verified transfer of a segment carrying one dot at x.
    void Serve(int segment, int x = 1)
    {
        ExpectRequest(segment);
        auto data = SegmentWithDot(x);
        EXPECT_EQ(Transfer(data), CReceiveBuffer::Checksum(data.data(), data.size()));
        Confirm();
    }

    void ExpectNoProblems()
    {
        auto problems = m_pPlotter->Problems();
        EXPECT_TRUE(problems.empty()) << problems.front();
    }

    CVirtualClock m_Clock;
    std::unique_ptr<CVirtualPlotter> m_pPlotter;
    std::unique_ptr<CScriptedHost> m_pHost;
};

}  // namespace

TEST_F(VirtualPlotterTest, ReportsTheLinkAndAnswersEveryIdleCommand)
{
    Make();
    uint8_t status = 0;
    EXPECT_EQ(m_pPlotter->Ex_Vender_Read(&status), 0);
    EXPECT_EQ(status, 0x21);

    const std::pair<int, int> replies[] = {{0x21, 0x22}, {0xAC, 0xAD}, {0x45, 0x45}, {0x01, 0x02}, {0x03, 0x04},
                                           {0x07, 0x08}, {0x05, 0x06}, {0x09, 0x0A}, {0xB4, 0xB5}, {0x24, 0x24}};
    for (auto [command, reply] : replies)
        EXPECT_EQ(Send(static_cast<uint8_t>(command), 0x1234, 1), reply) << std::hex << command;

    PlotterParameters p = m_pPlotter->Parameters();
    EXPECT_EQ(p.xMin, 0x1234);
    EXPECT_EQ(p.dotsPerM, 0x1234);
    EXPECT_EQ(p.crc, 0x34);  // low byte only
    EXPECT_EQ(p.crcDirection, 1);
    EXPECT_EQ(p.speed, 0x34);

    // A reply is read once; then there is nothing to read.
    uint8_t buf[16];
    EXPECT_EQ(m_pPlotter->Ex_ReadData(0, buf, 16, 30), 0);
    EXPECT_EQ(buf[0], 0xFF);
    ExpectNoProblems();
}

TEST_F(VirtualPlotterTest, NormalJobPrintsEveryConfirmedSegment)
{
    const std::string dir = TestTempDir("sim_pages").string();
    std::filesystem::remove_all(dir);
    Make();
    m_pPlotter->SetPageDir(dir);
    StartJob();
    Serve(kBar, 3);
    Serve(0, 4);
    Serve(1, 5);
    EXPECT_EQ(Send(0x17), 0x18);
    ExpectNoProblems();

    EXPECT_FALSE(m_pPlotter->InJob());
    EXPECT_EQ(m_pPlotter->SegmentsPrinted(), 2);
    const CPageImage& page = m_pPlotter->Page();
    EXPECT_EQ(page.Width(), kColumns);
    EXPECT_EQ(page.Height(), 2 * 4 * 150);
    EXPECT_EQ(page.DotCount(), 2);
    EXPECT_TRUE(page.Get(4, 0));
    EXPECT_TRUE(page.Get(5, 4 * 150));  // segment 1 starts with pass 4
    EXPECT_EQ(m_pPlotter->ColorBar().DotCount(), 1);
    EXPECT_TRUE(m_pPlotter->ColorBar().Get(3, 0));
    EXPECT_TRUE(std::filesystem::exists(dir + "/job-0001.png"));
    std::filesystem::remove_all(dir);
}

TEST_F(VirtualPlotterTest, CommandModeRepeatsItsReplyUntilCleared)
{
    Make();
    StartJob();
    ExpectRequest(kBar);
    auto data = SegmentWithDot(2);
    Transfer(data);
    // The workstation missed 0x14 and asks again: same reply, printed once.
    EXPECT_EQ(Send(0x13), 0x14);
    EXPECT_EQ(Send(0x13), 0x14);
    EXPECT_EQ(Send(0x24), 0x24);
    EXPECT_EQ(Send(0x24), 0x24);
    ExpectRequest(0);
    ExpectNoProblems();

    // Anything else while a mode is in force is noted.
    EXPECT_EQ(Send(0x11), 0x12);
    EXPECT_EQ(Send(0x45), 0x45);
    ASSERT_EQ(m_pPlotter->Problems().size(), 1u);
    EXPECT_NE(m_pPlotter->Problems()[0].find("0x45 while command mode 0x12"), std::string::npos);
}

TEST_F(VirtualPlotterTest, BadTransferIsRequestedAgainAndPrintedOnce)
{
    Make();
    StartJob();
    Serve(kBar);
    ExpectRequest(0);
    Transfer(SegmentWithDot(6));
    Reject();
    Serve(0, 7);
    ExpectNoProblems();
    auto t = m_pPlotter->Transfers();
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[1].segment, 0);
    EXPECT_EQ(t[1].verdict, -1);
    EXPECT_EQ(t[2].verdict, 1);
    EXPECT_EQ(m_pPlotter->Page().DotCount(), 1);
    EXPECT_TRUE(m_pPlotter->Page().Get(7, 0));
}

TEST_F(VirtualPlotterTest, RejectedWritesAndLostRepliesAreRepeatedHarmlessly)
{
    Make({"reject-cmd@2x3/0x45", "no-reply@1/0x0E", "reject-data@2"});
    StartJob();
    EXPECT_EQ(Send(0x45), 0x0D);
    EXPECT_EQ(m_pHost->Rejected(), 0);
    EXPECT_EQ(Send(0x45), 0x0D);  // the request stands until acknowledged
    EXPECT_EQ(m_pHost->Rejected(), 3);
    EXPECT_EQ(Send(0x0E), -1);    // reply lost
    EXPECT_EQ(Send(0x0E), 0x0E);  // asked again within the mode
    EXPECT_EQ(Send(0x24), 0x24);
    EXPECT_EQ(Send(0x11), 0x12);
    EXPECT_EQ(Send(0x24), 0x24);
    std::vector<uint8_t> data = SegmentWithDot(1);
    EXPECT_EQ(m_pHost->SendData(data, 10000), 1);
    EXPECT_EQ(Send(0x19), 0x1A);
    EXPECT_EQ(m_pHost->ReplyU32(6), CReceiveBuffer::Checksum(data.data(), data.size()));
    ExpectNoProblems();
}

TEST_F(VirtualPlotterTest, WrongDramChecksumsForTheScheduledTransfers)
{
    Make({"bad-dram@0x2"});
    StartJob();
    Serve(kBar);
    auto data = SegmentWithDot(1);
    const uint32_t sum = CReceiveBuffer::Checksum(data.data(), data.size());
    for (int attempt = 0; attempt < 2; ++attempt) {
        ExpectRequest(0);
        EXPECT_NE(Transfer(data), sum);
        Reject();
    }
    ExpectRequest(0);
    EXPECT_EQ(Transfer(data), sum);
    Confirm();
    ExpectNoProblems();
}

TEST_F(VirtualPlotterTest, LostLinkRefusesEverythingUntilItReturns)
{
    Make({"link-lost@0+5000"});
    StartJob();
    Serve(kBar);
    ExpectRequest(0);
    EXPECT_EQ(Send(0x11), 0x12);
    EXPECT_EQ(Send(0x24), 0x24);
    auto data = SegmentWithDot(1);
    const int64_t lost = m_Clock.Now();
    m_pPlotter->Ex_Vender_ScanOrPrint(0, static_cast<uint32_t>(data.size()));
    EXPECT_LT(m_pPlotter->Ex_WriteData(3, data.data(), static_cast<int>(data.size()), 1000), 0);
    EXPECT_EQ(m_Clock.Now() - lost, 1000);  // a failed write takes its time-out
    uint8_t status = 0x21;
    EXPECT_NE(m_pPlotter->Ex_Vender_Read(&status), 0);
    EXPECT_NE(status, 0x21);
    m_pPlotter->Ex_Vender_ScanOrPrint(0, 7);
    const uint8_t poll[9] = {0, 0, 0x45, 0, 0, 0, 0, 0x5A, 0xA5};
    EXPECT_LT(m_pPlotter->Ex_WriteData(1, poll, 9, 30), 0);
    uint8_t reply[16];
    EXPECT_EQ(m_pPlotter->Ex_ReadData(0, reply, 16, 30), 0);
    EXPECT_EQ(reply[0], 0xFF);

    m_Clock.Advance(lost + 4999 - m_Clock.Now());
    EXPECT_FALSE(m_pPlotter->LinkUp());
    m_Clock.Advance(1);
    EXPECT_EQ(m_pPlotter->Ex_Vender_Read(&status), 0);
    EXPECT_EQ(m_pHost->SendData(data), 0);
    EXPECT_EQ(Send(0x19), 0x1A);
    EXPECT_EQ(m_pHost->ReplyU32(6), CReceiveBuffer::Checksum(data.data(), data.size()));
    ExpectNoProblems();
}

TEST_F(VirtualPlotterTest, LinkCanBeDownFromTheStart)
{
    Make({"link-lost@start+500"});
    uint8_t status = 0;
    EXPECT_NE(m_pPlotter->Ex_Vender_Read(&status), 0);
    m_Clock.Advance(500);
    EXPECT_EQ(m_pPlotter->Ex_Vender_Read(&status), 0);
    EXPECT_EQ(status, 0x21);
}

TEST_F(VirtualPlotterTest, OutOfOrderRequestIsFollowedByTheRightOne)
{
    Make({"out-of-order@1"});
    StartJob();
    Serve(kBar);
    Serve(0);
    ExpectRequest(2);  // acknowledged, not served
    ExpectRequest(1);
    auto data = SegmentWithDot(9);
    Transfer(data);
    Confirm();
    ExpectNoProblems();
    EXPECT_TRUE(m_pPlotter->Page().Get(9, 4 * 150));
}

TEST_F(VirtualPlotterTest, UnansweredPrintEndLeavesTheJobOpen)
{
    Make({"no-print-end"});
    StartJob();
    Serve(kBar);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Send(0x17), -1);
    EXPECT_TRUE(m_pPlotter->InJob());
    // The next job's start command begins afresh.
    StartJob();
    ExpectRequest(kBar);
}

TEST_F(VirtualPlotterTest, OperatorKeysPauseContinueAndStop)
{
    Make({"pause@0+300", "continue@1", "stop@2"});
    StartJob();
    Serve(kBar);
    EXPECT_EQ(Send(0x45), 0x1D);
    EXPECT_EQ(Send(0x1E), 0x1E);
    EXPECT_EQ(Send(0x24), 0x24);
    EXPECT_TRUE(m_pPlotter->Paused());
    EXPECT_EQ(Send(0x45), 0x45);
    m_Clock.Advance(300);
    EXPECT_EQ(Send(0x45), 0x1F);
    EXPECT_EQ(Send(0x20), 0x20);
    EXPECT_EQ(Send(0x24), 0x24);
    Serve(0);
    // Continue while not paused: the workstation only notes it.
    EXPECT_EQ(Send(0x45), 0x1F);
    Serve(1);
    EXPECT_EQ(Send(0x45), 0x15);
    EXPECT_EQ(Send(0x16), 0x16);
    EXPECT_EQ(Send(0x24), 0x24);
    EXPECT_EQ(Send(0x45), 0x45);  // stopped: no more requests
    EXPECT_EQ(Send(0x17), 0x18);
    ExpectNoProblems();
    EXPECT_EQ(m_pPlotter->SegmentsPrinted(), 2);
}

TEST_F(VirtualPlotterTest, NotesFramesAndAcknowledgementsOutOfProtocol)
{
    Make();
    const uint8_t badTrailer[9] = {0, 0, 0x45, 0, 0, 0, 0, 0x5A, 0xA6};
    m_pPlotter->Ex_Vender_ScanOrPrint(0, 7);
    m_pPlotter->Ex_WriteData(1, badTrailer, 9, 30);
    const uint8_t unannounced[9] = {0, 0, 0x45, 0, 0, 0, 0, 0x5A, 0xA5};
    m_pPlotter->Ex_WriteData(1, unannounced, 9, 30);
    EXPECT_EQ(Send(0x1E), 0x1E);  // pause acknowledged, but none was requested
    EXPECT_EQ(Send(0x24), 0x24);
    EXPECT_EQ(Send(0x77), -1);
    auto problems = m_pPlotter->Problems();
    ASSERT_EQ(problems.size(), 4u);
    EXPECT_NE(problems[0].find("bad command frame"), std::string::npos);
    EXPECT_NE(problems[1].find("announced as -1"), std::string::npos);
    EXPECT_NE(problems[2].find("pause acknowledged"), std::string::npos);
    EXPECT_NE(problems[3].find("unknown command 0x77"), std::string::npos);
}

// A key pressed during a transfer answers the next command but the poll in place of its reply; the command is
// carried out all the same, so its repeat gets the proper reply. Announced once, the key is not heard of
// again; with +repeat every poll announces it until it is acknowledged.
TEST_F(VirtualPlotterTest, KeysPressedDuringATransferAnswerTheNextCommand)
{
    for (bool repeat : {false, true}) {
        SCOPED_TRACE(repeat ? "until acknowledged" : "once");
        Make({repeat ? "stop@0/during+repeat" : "stop@0/during"});
        StartJob();
        Serve(kBar);
        ExpectRequest(0);
        EXPECT_EQ(Send(0x11), 0x12);
        EXPECT_EQ(Send(0x24), 0x24) << "no data yet: not during the transfer";
        auto data = SegmentWithDot(3);
        m_pHost->SendData(data);
        EXPECT_EQ(Send(0x19), 0x15);
        EXPECT_EQ(Send(0x19), 0x1A);
        EXPECT_EQ(m_pHost->ReplyU32(6), CReceiveBuffer::Checksum(data.data(), data.size()));
        EXPECT_EQ(Send(0x24), 0x24);
        Confirm();
        EXPECT_EQ(Send(0x45), repeat ? 0x15 : 0x45);
        EXPECT_EQ(Send(0x45), repeat ? 0x15 : 0x45) << "stopping: no more requests";
        EXPECT_EQ(Send(0x16), 0x16);
        EXPECT_EQ(Send(0x24), 0x24);
        EXPECT_EQ(Send(0x45), 0x45);
        EXPECT_EQ(Send(0x17), 0x18);
        ExpectNoProblems();
        EXPECT_EQ(m_pPlotter->SegmentsPrinted(), 1);
    }
}

TEST_F(VirtualPlotterTest, RepeatedPauseIsWithdrawnByAContinueThatNeedsNoAcknowledgement)
{
    Make({"pause@0/during+repeat", "continue@0/during+repeat"});
    StartJob();
    Serve(kBar);
    ExpectRequest(0);
    EXPECT_EQ(Send(0x11), 0x12);
    EXPECT_EQ(Send(0x24), 0x24);
    m_pHost->SendData(SegmentWithDot(3));
    EXPECT_EQ(Send(0x19), 0x1D);
    EXPECT_EQ(Send(0x19), 0x1F);
    EXPECT_EQ(Send(0x19), 0x1A);
    EXPECT_EQ(Send(0x24), 0x24);
    Confirm();
    Serve(1);  // printing goes on: nothing is announced again
    ExpectNoProblems();
}

// The link drops just after the chosen command was taken: its reply is lost, and nothing gets through until
// the link returns. The command was carried out, so the controller stays in its mode.
TEST_F(VirtualPlotterTest, UnplugDropsTheLinkAfterTheCommandWasTaken)
{
    Make({"unplug@1+1000/0x0E"});
    StartJob();
    EXPECT_EQ(Send(0x45), 0x0D);
    EXPECT_EQ(Send(0x0E), -1);
    EXPECT_EQ(m_pHost->Rejected(), 0) << "taken";
    EXPECT_FALSE(m_pPlotter->LinkUp());
    const uint8_t clear[9] = {0, 0, 0x24, 0, 0, 0, 0, 0x5A, 0xA5};
    m_pPlotter->Ex_Vender_ScanOrPrint(0, 7);
    EXPECT_LT(m_pPlotter->Ex_WriteData(1, clear, 9, 30), 0);
    m_Clock.Advance(1000);
    EXPECT_EQ(Send(0x0E), 0x0E) << "carried out: its repeat gets the reply of its mode";
    EXPECT_EQ(Send(0x24), 0x24);
    EXPECT_EQ(Send(0x11), 0x12);
    ExpectNoProblems();
}
