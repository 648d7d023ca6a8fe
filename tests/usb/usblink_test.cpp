// The command channel on the real-board adapter: link check, exchanges, and a board that comes and goes.
#include <gtest/gtest.h>

#include "fakeusbtransport.h"
#include "link/libusbadapter.h"
#include "link/printerstatus.h"
#include "link/usbbulk.h"
#include "link/usbcommand.h"
#include "link/workerflags.h"
#include "platform/clock.h"
#include "support/processstate.h"

namespace {

class UsbLinkOnBoard : public ProcessStateTest {
protected:
    void SetUp() override
    {
        ProcessStateTest::SetUp();
        SetClock(&m_clock);
        auto pTransport = std::make_unique<CFakeUsbTransport>(m_board);
        m_pAdapter = std::make_unique<CLibUsbAdapter>(std::move(pTransport), CLinkSettings{});
        SetUsbAdapter(m_pAdapter.get());
    }
    void TearDown() override
    {
        EndProcessState();
        m_pAdapter.reset();
    }
    bool Probe()
    {
        gProbeRequest = true;
        return UsbProbe();
    }
    int Writes() const
    {
        return static_cast<int>(std::count_if(m_board.calls.begin(), m_board.calls.end(),
                                              [](const CFakeCall& c) { return c.kind == 'w'; }));
    }

    CVirtualClock m_clock;
    CFakeBoard m_board;
    std::unique_ptr<CLibUsbAdapter> m_pAdapter;
};

std::vector<uint8_t> Reply(uint8_t code)
{
    std::vector<uint8_t> reply(16, 0);
    reply[0] = code;
    return reply;
}

}  // namespace

TEST_F(UsbLinkOnBoard, CheckReportsOfflineWhileAbsentAndOnlineAtTheNextCheckAfterItArrives)
{
    m_board.bAttached = false;
    EXPECT_FALSE(Probe());
    EXPECT_FALSE(UsbMCUCmdR(3, 30) == 1);
    m_board.bAttached = true;
    EXPECT_TRUE(Probe());

    m_board.bAttached = false;  // unplugged: the next transfer finds it gone
    EXPECT_FALSE(Probe());
    m_board.bAttached = true;
    EXPECT_TRUE(Probe());
    EXPECT_EQ(m_board.nOpens, 2);
}

TEST_F(UsbLinkOnBoard, ExchangeReadsTheReplyAndAnEmptyPipeGivesNoReply)
{
    ASSERT_TRUE(Probe());
    m_board.replies.push_back(Reply(0x0D));
    EXPECT_EQ(UsbMCUCmdWR(0x45), 1);
    EXPECT_TRUE(ReplyIs(0x0D));
    EXPECT_EQ(UsbMCUCmdWR(0x45), -4);  // nothing to read: three time-outs
    EXPECT_EQ(gPrinterStatus.m_RecvBuf[0], 0xFF);
}

TEST_F(UsbLinkOnBoard, CommandWriteDuringAnUnplugWaitsForTheBoardAndThenGoesThrough)
{
    ASSERT_TRUE(Probe());
    m_board.bAttached = false;
    m_board.onOpen = [this] {
        if (m_board.nOpenAttempts == 4)
            m_board.bAttached = true;
    };
    int64_t start = m_clock.Now();
    EXPECT_EQ(UsbMCUCmdW(0x45), 1);
    EXPECT_GE(m_clock.Now() - start, 2000);  // three failed reopen attempts, a second apart
    // The announce found the board gone, so only the repeated frame reached it.
    ASSERT_EQ(Writes(), 1);
    EXPECT_EQ(m_board.calls.back().kind, 'w');
    EXPECT_EQ(m_board.calls.back().len, 10);  // the repeat form of the frame
    EXPECT_EQ(m_board.nOpens, 2);
}

TEST_F(UsbLinkOnBoard, CommandWriteToAnAbsentBoardEndsWhenTheProgramCloses)
{
    m_board.bAttached = false;
    m_board.onOpen = [] { gExitWorker = true; };
    EXPECT_EQ(UsbMCUCmdW(0x45), 0);
}

TEST_F(UsbLinkOnBoard, SegmentSurvivesAStallAndAnUnplugWithEveryByteDeliveredInOrder)
{
    std::vector<uint8_t> segment(3 * 4096 + 100);
    for (size_t i = 0; i < segment.size(); ++i)
        segment[i] = static_cast<uint8_t>(i * 7);
    ASSERT_TRUE(Probe());
    int nDataWrites = 0;
    m_board.onBulkOut = [&] {
        if (++nDataWrites == 2)
            m_board.script.push_back({{EUsbStatus::Stall, 0}, {}});
        if (nDataWrites == 4)
            m_board.bAttached = false;
    };
    m_board.onOpen = [this] {
        if (m_board.nOpenAttempts == 5)
            m_board.bAttached = true;
    };
    EXPECT_TRUE(OutDMADataToUsb(segment.data(), segment.size(), 4096, 25));
    EXPECT_EQ(m_board.received[2], segment);
    EXPECT_EQ(m_board.halts, std::vector<uint8_t>{0x02});
    EXPECT_EQ(m_board.nOpens, 2);
}
