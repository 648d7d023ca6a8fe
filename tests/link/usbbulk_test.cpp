// Bulk transfer: packets, checksum comparison, advance of the job, bad transfers and the operator's question.
#include <gtest/gtest.h>

#include "link/jobfixture.h"
#include "link/usbbulk.h"
#include "link/usbcommand.h"

namespace {

TEST(ProgressPercent, SegmentsDoneOverSegmentsOfTheJob)
{
    const int cases[][4] = {
        // cursor, passes, sections, percent
        {0, 4, 8, 50}, {4, 4, 8, 100}, {0, 4, 40, 10}, {0, 2, 6, 33}, {0, 4, 5, 50},
        {0, 4, 0, 100},  // a job without sections
    };
    for (auto& c : cases)
        EXPECT_EQ(ProgressPercent(c[0], c[1], c[2]), c[3]) << c[0] << " " << c[1] << " " << c[2];
}

using BulkTransfer = JobTest;

TEST_F(BulkTransfer, PacketsThenRemainderEachAnnouncedWithItsSize)
{
    struct Case {
        size_t bytes;
        int packet;
        std::vector<int> writes;
        int pausesOf25;
    };
    const Case cases[] = {
        {2 * 64512, 64512, {64512, 64512}, 2},  // exactly two packets, no remainder
        {100, 64512, {100}, 2},                 // remainder only: a pause before and after its write
        {130, 64, {64, 64, 2}, 4},
        {100, 0, {}, 0},                        // no packet size, nothing sent
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bytes << " bytes in packets of " << c.packet);
        m_Usb.ClearRecord();
        std::vector<uint8_t> data(c.bytes);
        for (size_t i = 0; i < data.size(); ++i)
            data[i] = uint8_t(i * 7);
        int64_t t0 = m_Clock.Now();
        EXPECT_TRUE(OutDMADataToUsb(data.data(), data.size(), c.packet, 25));
        std::vector<int> writes;
        std::vector<uint8_t> sent;
        int announced = -1;
        for (const UsbCall& call : m_Usb.Calls()) {
            if (call.kind == 'S')
                announced = call.len;
            if (call.kind != 'W')
                continue;
            EXPECT_EQ(call.pipe, 3);
            EXPECT_EQ(call.timeout, 1000);
            EXPECT_EQ(announced, call.len);
            writes.push_back(call.len);
            sent.insert(sent.end(), call.bytes.begin(), call.bytes.end());
        }
        EXPECT_EQ(writes, c.writes);
        if (c.packet > 0) {
            EXPECT_TRUE(BytesEqual(data, sent));
        }
        EXPECT_EQ(m_Clock.Now() - t0, 25 * c.pausesOf25);
    }
}

TEST_F(BulkTransfer, RepeatsOfAPacketAreLoggedWithItsNumberThoseOfTheRemainderAreNot)
{
    std::vector<uint8_t> data(3 * 64 + 10);
    m_Usb.RejectWritesAfter(3, 1, 2);  // packet 1 is rejected twice
    EXPECT_TRUE(OutDMADataToUsb(data.data(), data.size(), 64, 25));
    EXPECT_EQ(m_Log.Lines(), std::vector<std::string>{"Error: OutDMADataToUsbAgin=2,PackegMun=1\r\n"});

    CLogCapture log;
    m_Usb.RejectWritesAfter(3, 3, 3);  // the remainder
    EXPECT_TRUE(OutDMADataToUsb(data.data(), data.size(), 64, 25));
    EXPECT_TRUE(log.Lines().empty());
    EXPECT_EQ(m_Usb.DataWrites().size(), 4u + 4u);
}

TEST_F(BulkTransfer, RejectedPacketsEndWhenTheProgramCloses)
{
    std::vector<uint8_t> data(100);
    m_Usb.SetLink(false);
    m_Usb.SetCallBudget(300);
    EXPECT_FALSE(OutDMADataToUsb(data.data(), data.size(), 64, 25));
}

TEST_F(BulkTransfer, AVerifiedSegmentIsSentByteForByteAndAdvancesTheJob)
{
    gColorBarPending = false;
    HoldSegment(Pattern(1000), 12);
    Layout().m_nSectionCursor = 4;
    Settings().USBPACKAGESIZE = 512;
    gPrinterStatus.m_nChecksumRetries = 3;

    EXPECT_TRUE(TransferSegment());

    std::vector<uint8_t> sent;
    for (const auto& w : m_Usb.DataWrites())
        sent.insert(sent.end(), w.begin(), w.end());
    EXPECT_TRUE(BytesEqual(AsBytes(m_Segment), sent));
    EXPECT_EQ(m_Usb.Codes(), (std::vector<uint8_t>{0x19, 0x24}));
    EXPECT_EQ(Layout().m_nSectionCursor, 8);
    EXPECT_EQ(gPrinterStatus.m_nLastCmd, 0x13) << "tells the loop to report the completed transfer";
    EXPECT_EQ(gPrinterStatus.m_nChecksumRetries, 0);
    EXPECT_TRUE(gPrinterStatus.m_bSendData);
    EXPECT_EQ(gStatusText.GetText(4), "Plotting");
    EXPECT_FALSE(gEndOfJob);

    char sums[200];
    std::snprintf(sums, sizeof(sums), "PC自己计算的校验和:%08X,收到的DMA校验和:%08X, DRAM校验和:%08X！！\r\n",
                  Checksum(m_Segment),
                  Checksum(m_Segment),
                  Checksum(m_Segment));
    EXPECT_EQ(m_Log.Lines(), (std::vector<std::string>{
                                  "向逻辑发送DMA数据!!!!\r\n",
                                  "执行OutDataToUsb()!!!!\r\n",
                                  "OutDataToUsb()--End 2 Of 3--\r\n",
                                  "清除下位机校验和命令模式成功OK!!!!\r\n",
                                  sums,
                                  "打印完毕第2段数据,共3段！\r\n",
                              }));
}

TEST_F(BulkTransfer, VerifiedTransfersAdvanceTheCursorOrClearTheColourBar)
{
    struct Case {
        bool colorBar;
        int cursor, sections;
        int cursorAfter;
        bool endOfJob;
    };
    const Case cases[] = {
        {true, 0, 8, 0, false},   // the colour bar leaves the cursor at 0
        {false, 0, 8, 4, false},
        {false, 4, 8, 8, true},   // the last segment ends the job
        {true, 0, 0, 0, true},    // a colour bar for a job without sections
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "colour bar " << c.colorBar << ", cursor " << c.cursor);
        gEndOfJob = false;
        gColorBarPending = c.colorBar;
        HoldSegment(Pattern(20), c.sections);
        Layout().m_nSectionCursor = c.cursor;
        EXPECT_TRUE(TransferSegment());
        EXPECT_EQ(Layout().m_nSectionCursor, c.cursorAfter);
        EXPECT_FALSE(gColorBarPending);
        EXPECT_EQ(bool(gEndOfJob), c.endOfJob);
    }
}

TEST_F(BulkTransfer, OnlyTheDramChecksumCounts)
{
    HoldSegment(Pattern(30), 8);
    gColorBarPending = false;
    const uint32_t mine = Checksum(m_Segment);
    m_Usb.Script(0x19, {ChecksumReply(mine ^ 0xFFFF, mine)});
    EXPECT_TRUE(TransferSegment());
    EXPECT_EQ(Layout().m_nSectionCursor, 4);

    m_Usb.Script(0x19, {ChecksumReply(mine, mine + 1)});
    EXPECT_TRUE(TransferSegment());
    EXPECT_EQ(Layout().m_nSectionCursor, 4) << "a DRAM mismatch keeps the segment";
}

TEST_F(BulkTransfer, AMismatchReportsTheBadTransferAndKeepsTheSegment)
{
    HoldSegment(Pattern(30), 8);
    gColorBarPending = false;
    Layout().m_nSectionCursor = 4;
    m_Usb.CorruptDram(1);
    // The controller takes a while to report the checksums and to acknowledge the bad transfer.
    m_Usb.Script(0x19, {MakeReply(0x46), NoReply()});
    m_Usb.Script(0x1B, {MakeReply(0x46)});

    EXPECT_TRUE(TransferSegment());

    EXPECT_EQ(m_Usb.Codes(), (std::vector<uint8_t>{0x19, 0x19, 0x19, 0x24, 0x1B, 0x1B, 0x24}));
    auto writes = m_Usb.DataWrites();
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_TRUE(BytesEqual(std::vector<uint8_t>(64512, 0), writes[1])) << "the filler block";
    EXPECT_EQ(Layout().m_nSectionCursor, 4);
    EXPECT_EQ(gPrinterStatus.m_nChecksumRetries, 1);
    EXPECT_NE(gPrinterStatus.m_nLastCmd, 0x13);
    EXPECT_FALSE(gEndOfJob);
    EXPECT_TRUE(m_Bridge.Boxes().empty());
    auto lines = m_Log.Lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "清除下位机数据错误命令模式成功OK!!!!\r\n");
    EXPECT_EQ(lines.back(), "当前打印第2段数据出现错误！\r\n");
}

TEST_F(BulkTransfer, TheFifthMismatchAsksTheOperator)
{
    for (int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer == IDYES ? "Yes" : "No");
        CLogCapture log;
        m_Usb.ClearRecord();
        gEndOfJob = false;
        gColorBarPending = false;
        HoldSegment(Pattern(30), 8);
        Layout().m_nSectionCursor = 0;
        gPrinterStatus.m_nChecksumRetries = 0;
        m_Bridge.Answer({answer});
        m_Usb.CorruptDram(5);
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(TransferSegment());
        EXPECT_EQ(m_Bridge.Boxes().size(), size_t(answer == IDYES));

        const bool more = TransferSegment();
        auto boxes = m_Bridge.Boxes();
        ASSERT_FALSE(boxes.empty());
        EXPECT_EQ(boxes.back().text, "通信不可靠，请检查USB线路! 需要继续重试，请选择YES");
        EXPECT_EQ(boxes.back().caption, "Informação");
        EXPECT_EQ(boxes.back().buttons, MB_YESNO);
        if (answer == IDNO) {
            EXPECT_FALSE(more);
            EXPECT_EQ(Layout().m_nSectionCursor, 8);
            EXPECT_TRUE(gEndOfJob);
            EXPECT_EQ(log.Lines().back(), "退出错误！\r\n");
            EXPECT_EQ(m_Usb.DataWrites().size(), 5u + 4u) << "no filler after No";
        } else {
            EXPECT_TRUE(more);
            EXPECT_EQ(Layout().m_nSectionCursor, 0);
            EXPECT_EQ(gPrinterStatus.m_nChecksumRetries, 1);
            EXPECT_EQ(log.Count("继续重试！\r\n"), 1);
            EXPECT_EQ(m_Usb.DataWrites().size(), 5u + 5u);
        }
    }
}

TEST_F(BulkTransfer, AfterYesTheQuestionComesBackEveryFourMismatches)
{
    HoldSegment(Pattern(10), 8);
    gColorBarPending = false;
    m_Bridge.Answer({IDYES, IDYES, IDYES});
    m_Usb.CorruptDram(13);
    for (int i = 0; i < 13; ++i)
        TransferSegment();
    EXPECT_EQ(m_Bridge.Boxes().size(), 3u);  // at mismatches 5, 9 and 13
}

TEST_F(BulkTransfer, AJunctionCorrectionStillPendingGoesFirst)
{
    HoldSegment(Pattern(10), 8);
    Settings().EdLRCrcValue = 300;
    Settings().CrcAddorSub = 0;
    gPrinterStatus.m_EventCotrol.Bits.SetCrcVerify = 1;
    m_Usb.Script(0x05, {MakeReply(0x46), NoReply()});
    EXPECT_TRUE(TransferSegment());
    EXPECT_FALSE(gPrinterStatus.m_EventCotrol.Bits.SetCrcVerify);
    auto calls = m_Usb.Calls();
    std::vector<std::vector<uint8_t>> frames;
    for (const UsbCall& c : calls)
        if (c.kind == 'W' && c.pipe == 1 && c.bytes[2] == 0x05)
            frames.push_back(c.bytes);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_TRUE(BytesEqual({0, 0, 0x05, 0x2C, 0x00, 0, 0, 0x5A, 0xA5}, frames[0]));
    EXPECT_EQ(m_Usb.Codes()[3], 0x19) << "the data follows the correction";
    EXPECT_EQ(m_Log.Lines().front(), "调整了来回校验值!\r\n");
}

TEST_F(BulkTransfer, AJobFoundDoneSendsNothingAndEndsTheJob)
{
    HoldSegment(Pattern(10), 0);
    int produced = 0;
    SetSegmentProducer([&] {
        ++produced;
        return false;
    });
    EXPECT_TRUE(OutDataToUsb());
    SetSegmentProducer(nullptr);
    EXPECT_EQ(produced, 1);
    EXPECT_TRUE(m_Usb.Calls().empty());
    EXPECT_TRUE(gEndOfJob);
    EXPECT_EQ(gStatusText.GetText(2), "100%");
    EXPECT_EQ(m_Bridge.m_nProgress, 1);
    EXPECT_EQ(m_Bridge.m_nStatusBar, 1);
    EXPECT_TRUE(m_Log.Lines().empty());
}

TEST_F(BulkTransfer, ClosingWhileTheChecksumsAreAwaitedEndsTheTransfer)
{
    HoldSegment(Pattern(10), 8);
    m_Usb.Script(0x19, MakeReply(0x46), 5000);
    m_Usb.SetCallBudget(2000);
    EXPECT_FALSE(TransferSegment());
    EXPECT_TRUE(gExitWorker);
    EXPECT_EQ(Layout().m_nSectionCursor, 0);
}

}  // namespace
