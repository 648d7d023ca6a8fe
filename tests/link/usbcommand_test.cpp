// The command channel: frames, writes and repeats, reply reads, link check, clearing of command modes.
#include <gtest/gtest.h>

#include "link/linkfixture.h"
#include "link/usbcommand.h"

namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> v)
{
    return std::vector<uint8_t>(v.begin(), v.end());
}

TEST(CommandFrame, BytesForEachParameterForm)
{
    struct Case {
        uint8_t code;
        int a, b, c, d;
        std::vector<uint8_t> frame;
    };
    const Case cases[] = {
        {0x01, 0x1234, 0, 0, 0, Bytes({0, 0, 0x01, 0x34, 0x12, 0, 0, 0x5A, 0xA5})},
        {0x03, 70000, 9, 0, 0, Bytes({0, 0, 0x03, 0x70, 0x11, 0, 0, 0x5A, 0xA5})},  // 16 bits only, b unused
        {0x07, 1096, 0, 0, 0, Bytes({0, 0, 0x07, 0x48, 0x04, 0, 0, 0x5A, 0xA5})},
        {0x09, 6653, 0, 0, 0, Bytes({0, 0, 0x09, 0xFD, 0x19, 0, 0, 0x5A, 0xA5})},
        {0x05, 300, 1, 0, 0, Bytes({0, 0, 0x05, 0x2C, 0x01, 0, 0, 0x5A, 0xA5})},    // low byte of a only
        {0x0B, 0, 3, 0, 0, Bytes({0, 0, 0x0B, 0x00, 0x03, 0, 0, 0x5A, 0xA5})},
        {0xB4, 0x1FF, 0, 0x102, 0x304, Bytes({0, 0, 0xB4, 0xFF, 0x00, 0x02, 0x04, 0x5A, 0xA5})},
        {0x01, -1, 0, 0, 0, Bytes({0, 0, 0x01, 0xFF, 0xFF, 0, 0, 0x5A, 0xA5})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "code " << int(c.code) << " a " << c.a);
        uint8_t frame[9];
        BuildCommandFrame(frame, c.code, c.a, c.b, c.c, c.d);
        EXPECT_TRUE(BytesEqual(c.frame, std::vector<uint8_t>(frame, frame + 9)));
    }
}

TEST(CommandFrame, TimeOutsOfWriteAndRead)
{
    const int write[][2] = {{5, 10}, {10, 10}, {30, 30}, {1000, 1000}, {3000, 3000}, {5000, 3000}, {-1, 10}};
    for (auto [in, out] : write)
        EXPECT_EQ(CommandWriteTimeout(in), out) << in;
    const int read[][2] = {{5, 30}, {30, 30}, {31, 50}, {300, 50}, {2000, 50}};
    for (auto [in, out] : read)
        EXPECT_EQ(ReplyReadTimeout(in), out) << in;
}

TEST(CommandFrame, ClassificationOfReplyReads)
{
    struct Case {
        int n;
        uint8_t first;
        ReplyRead expected;
    };
    const Case cases[] = {
        {16, 0x0D, ReplyRead::Reply},    {5, 0x0D, ReplyRead::Reply},       // a short reply is still a reply
        {16, 0xFF, ReplyRead::NoReply},  {5, 0xFF, ReplyRead::ReadAgain},   {0, 0xFF, ReplyRead::ReadAgain},
        {-1, 0x0D, ReplyRead::ReadAgain}, {0, 0x00, ReplyRead::ReadAgain},  // a failed read is never a reply
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassifyReplyRead(c.n, c.first), c.expected) << c.n << " " << int(c.first);
}

using CommandChannel = LinkTest;

TEST_F(CommandChannel, WriteAnnouncesSevenAndSendsNineBytes)
{
    EXPECT_EQ(UsbMCUCmdW(0x01, 0x1234, 0, 0, 0, 5), 1);
    auto calls = m_Usb.Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].kind, 'S');
    EXPECT_EQ(calls[0].len, 7);
    EXPECT_EQ(calls[1].pipe, 1);
    EXPECT_EQ(calls[1].timeout, 10);
    EXPECT_TRUE(BytesEqual(Bytes({0, 0, 0x01, 0x34, 0x12, 0, 0, 0x5A, 0xA5}), calls[1].bytes));
    EXPECT_EQ(gPrinterStatus.m_nLastCmd, 0x01);
    EXPECT_EQ(gPrinterStatus.m_nRecvCmd, 0xFF) << "no reply read yet";
}

TEST_F(CommandChannel, RejectedWriteIsRepeatedWithTenBytesAndThirtyMs)
{
    m_Usb.RejectWrites(1, 3);
    EXPECT_EQ(UsbMCUCmdW(0x45, 0, 0, 0, 0, 2000), 1);
    std::vector<int> lens, timeouts, announced;
    for (const UsbCall& c : m_Usb.Calls()) {
        if (c.kind == 'W') {
            lens.push_back(c.len);
            timeouts.push_back(c.timeout);
        } else if (c.kind == 'S') {
            announced.push_back(c.len);
        }
    }
    EXPECT_EQ(lens, (std::vector<int>{9, 10, 10, 10}));
    EXPECT_EQ(timeouts, (std::vector<int>{2000, 30, 30, 30}));
    EXPECT_EQ(announced, (std::vector<int>{7, 7, 7, 7}));
    EXPECT_TRUE(BytesEqual(Bytes({0, 0, 0x45, 0, 0, 0, 0, 0x5A, 0xA5, 0}), m_Usb.Calls().back().bytes));
}

TEST_F(CommandChannel, RejectedWritesEndWhenTheProgramCloses)
{
    m_Usb.SetLink(false);
    m_Usb.SetCallBudget(500);
    EXPECT_EQ(UsbMCUCmdWR(0x45), 0);
    EXPECT_TRUE(gExitWorker);

    // Closing, the worker's next exchange writes nothing: the controller may still be in the command
    // mode of the exchange broken off.
    m_Usb.SetLink(true);
    const size_t calls = m_Usb.Calls().size();
    EXPECT_EQ(UsbMCUCmdWR(0x11), 0);
    EXPECT_EQ(m_Usb.Calls().size(), calls);
    EXPECT_EQ(gPrinterStatus.m_nRecvCmd, 0xFF);
}

TEST_F(CommandChannel, ExchangeReadsTheReplyFiftyMsAfterTheWrite)
{
    m_Usb.Script(0x45, {DataRequest(0xFF, 0x0203)});
    int64_t t0 = m_Clock.Now();
    EXPECT_EQ(UsbMCUCmdWR(0x45), 1);
    EXPECT_EQ(m_Clock.Now() - t0, 50);
    EXPECT_EQ(gPrinterStatus.m_nRecvCmd, 0x0D);
    EXPECT_EQ(gPrinterStatus.m_nReqSegment, 0x0203);
    EXPECT_EQ(gPrinterStatus.m_nReqKind, 0xFF);
    const UsbCall read = m_Usb.Calls().back();
    EXPECT_EQ(read.kind, 'D');
    EXPECT_EQ(read.pipe, 0);
    EXPECT_EQ(read.len, 16);
    EXPECT_EQ(read.timeout, 30);
}

TEST_F(CommandChannel, ReadTriesAreClampedAndTheTimeOutIsThirtyOrFifty)
{
    struct Case {
        int tries, timeout, reads, readTimeout;
    };
    const Case cases[] = {{0, 5, 1, 30}, {3, 30, 3, 30}, {3, 31, 3, 50}, {9, 300, 5, 50}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.tries << " tries, " << c.timeout << " ms");
        m_Usb.ClearRecord();
        gPrinterStatus.m_dwDramChecksum = 77;
        EXPECT_EQ(UsbMCUCmdR(c.tries, c.timeout), -4);
        int reads = 0;
        for (const UsbCall& call : m_Usb.Calls()) {
            reads += (call.kind == 'D');
            EXPECT_EQ(call.timeout, c.readTimeout);
        }
        EXPECT_EQ(reads, c.reads);
        EXPECT_EQ(gPrinterStatus.m_nRecvCmd, 0xFF);
        EXPECT_EQ(gPrinterStatus.m_dwDramChecksum, 77u) << "decoded fields untouched";
    }
}

TEST_F(CommandChannel, AShortReplyIsAcceptedAndAWholeFrameOfFFIsNoReply)
{
    m_Usb.Script(0x45, {MakeReply(0x1D)});
    m_Usb.ShortReadOnce(4);
    EXPECT_EQ(UsbMCUCmdWR(0x45), 1);
    EXPECT_EQ(gPrinterStatus.m_nRecvCmd, 0x1D);

    m_Usb.Script(0x45, {NoReply()});
    m_Usb.ClearRecord();
    EXPECT_EQ(UsbMCUCmdWR(0x45), -4);
    int reads = 0;
    for (const UsbCall& c : m_Usb.Calls())
        reads += (c.kind == 'D');
    EXPECT_EQ(reads, 1) << "a whole frame of 0xFF ends the read at once";
    EXPECT_EQ(gPrinterStatus.m_nRecvCmd, 0xFF);
}

TEST_F(CommandChannel, WithoutALinkNothingIsReadAndTheOldReplyIsGone)
{
    EXPECT_EQ(UsbMCUCmdWR(0x13), 1);
    EXPECT_EQ(gPrinterStatus.m_nRecvCmd, 0x14);
    gPrinterStatus.m_bConnected = false;
    m_Usb.ClearRecord();
    EXPECT_EQ(UsbMCUCmdWR(0x13), 0);
    for (const UsbCall& c : m_Usb.Calls())
        EXPECT_NE(c.kind, 'D');
    EXPECT_EQ(gPrinterStatus.m_nRecvCmd, 0xFF);
}

TEST_F(CommandChannel, ProbeChecksTheLinkOnlyWhenDue)
{
    gPrinterStatus.m_bConnected = false;
    EXPECT_FALSE(UsbProbe());
    EXPECT_TRUE(m_Usb.Calls().empty()) << "no probe due: no library call";

    gProbeRequest = true;
    EXPECT_TRUE(UsbProbe());
    EXPECT_FALSE(gProbeRequest);
    EXPECT_EQ(m_Usb.Calls().size(), 1u);

    m_Usb.SetLink(false);
    EXPECT_TRUE(UsbProbe()) << "the previous state until the next probe";
    gProbeRequest = true;
    EXPECT_FALSE(UsbProbe());
    EXPECT_FALSE(gPrinterStatus.m_bConnected);
}

TEST_F(CommandChannel, ConnectLogsAtTwentyFiftyAndHundredOfEachHundredAttempts)
{
    gPrinterStatus.m_bConnected = false;
    m_Usb.SetLink(false);
    int attempts = 0;
    // The window thread's timer: a probe is due at every attempt; the link returns at the 230th.
    class CTimerClock : public CVirtualClock {
    public:
        CFakeAdapter* pUsb = nullptr;
        int* pAttempts = nullptr;
        void Sleep(int ms) override
        {
            CVirtualClock::Sleep(ms);
            if (++*pAttempts == 230)
                pUsb->SetLink(true);
            gProbeRequest = true;
        }
    } clock;
    clock.pUsb = &m_Usb;
    clock.pAttempts = &attempts;
    SetClock(&clock);
    gProbeRequest = true;
    EXPECT_TRUE(UsbConnect());
    EXPECT_TRUE(gPrinterStatus.m_bConnected);
    EXPECT_EQ(attempts, 230);
    // 20, 50, 100, then 120, 150, 200, then 220
    EXPECT_EQ(m_Log.Count("Error:UsbConnect Fail . . . . . . . .\r\n"), 7);
    EXPECT_EQ(clock.Now(), 230 * 50);
}

TEST_F(CommandChannel, ConnectEndsWhenTheProgramCloses)
{
    gPrinterStatus.m_bConnected = false;
    m_Usb.SetLink(false);
    m_Usb.SetCallBudget(0);
    class CClosingClock : public CVirtualClock {
        void Sleep(int ms) override
        {
            CVirtualClock::Sleep(ms);
            if (Now() >= 60000)
                gExitWorker = true;
        }
    } clock;
    SetClock(&clock);
    EXPECT_FALSE(UsbConnect());
}

TEST_F(CommandChannel, ClearingACommandModeRepeatsTwentyFourWithItsPauseAndLogsOnce)
{
    struct Case {
        CmdMode mode;
        int pause;
        const char* line;
    };
    const Case cases[] = {
        {CmdMode::PrintStart, 0, "清除下位机打印命令模式成功OK!!!!\r\n"},
        {CmdMode::DataRequest, 0, "清除下位机数据请求命令模式成功OK!!!!\r\n"},
        {CmdMode::ColorBarBegin, 10, "清除下位机色条开始传送命令模式成功OK!!!!\r\n"},
        {CmdMode::SegmentBegin, 0, "清除下位机发送数据开始命令模式成功OK!!!!\r\n"},
        {CmdMode::TransferEnd, 10, "清除下位机数据发送完毕命令模式成功OK!!!!\r\n"},
        {CmdMode::Stop, 0, "清除下位机停止命令模式成功OK!!!!\r\n"},
        {CmdMode::Checksum, 10, "清除下位机校验和命令模式成功OK!!!!\r\n"},
        {CmdMode::BadTransfer, 10, "清除下位机数据错误命令模式成功OK!!!!\r\n"},
        {CmdMode::Pause, 10, "清除下位机暂停命令模式成功OK!!!!\r\n"},
        {CmdMode::Continue, 0, "清除下位机继续命令模式成功OK!!!!\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        CLogCapture log;
        m_Usb.ClearRecord();
        // Two answers that are not 0x24, then the acknowledgement.
        m_Usb.Script(0x24, {MakeReply(0x46), NoReply()});
        int64_t t0 = m_Clock.Now();
        ClearCommandMode(c.mode);
        EXPECT_EQ(m_Usb.Codes(), (std::vector<uint8_t>{0x24, 0x24, 0x24}));
        EXPECT_EQ(gPrinterStatus.m_nRecvCmd, 0x45);
        EXPECT_EQ(log.Lines(), std::vector<std::string>{c.line});
        // Three exchanges of 50 ms, each after the mode's pause.
        EXPECT_EQ(m_Clock.Now() - t0, 3 * 50 + 3 * c.pause);
    }
}

TEST_F(CommandChannel, LogLinesAreWrittenInGbk)
{
    ClearCommandMode(CmdMode::Stop);
    EXPECT_EQ(CLogCapture::Raw(), Utf8ToGbk("清除下位机停止命令模式成功OK!!!!\r\n"));
    EXPECT_NE(CLogCapture::Raw(), "清除下位机停止命令模式成功OK!!!!\r\n");
}

}  // namespace
