// Whole print loops over a prepared job, with a controller that asks for the colour bar and then segment
// after segment: normal course, re-served segments, out-of-order requests, the operator's No.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "link/usbcommand.h"
#include "queue/workerfixture.h"

namespace {

class PrintJob : public WorkerTest {
protected:
    void SetUp() override
    {
        WorkerTest::SetUp();
        // Cartridge 1 with both nozzle columns, everything else as the program's defaults.
        m_Dir = std::filesystem::path(testing::TempDir()) / ("tessaline-worker-job-" + std::to_string(getpid()));
        std::filesystem::create_directories(m_Dir);
        std::ofstream(m_Dir / "config.ini") << "[JetPrintHeadOpenStatus]\r\nJetPrintHeadOpenStatus0=1\r\n"
                                               "JetPrintHeadOpenStatus1=1\r\n";
        m_pDoc = std::make_unique<CMarquellDoc>(m_Dir.string());
        gpDoc = m_pDoc.get();
        // 200 mm x 100 mm with a diagonal, so that no two segments are alike.
        const auto path = m_Dir / "job.plt";
        std::ofstream(path) << "IN;SP1;PU0,0;PD8000,4000;PD0,4000;PD0,0;PU;\n";
        m_pDoc->m_strSlotPath[SlotPrint] = path.string();
        ASSERT_TRUE(m_pDoc->PrepareJob(SlotPrint));
        ASSERT_TRUE(m_pDoc->AllocPrintBuffers());
        ASSERT_FALSE(m_pDoc->IsJobDone());
        m_nSegments = Layout().m_nSectionCount / Layout().m_nPassesPerSegment;
        ASSERT_GE(m_nSegments, 2);
        WirePoll(*m_pDoc);
        StartJob();
        m_Usb.Respond([this](uint8_t code) { return Controller(code); });
    }
    void TearDown() override
    {
        if (m_pDoc)
            m_pDoc->m_fnPoll = nullptr;
        WorkerTest::TearDown();
        std::filesystem::remove_all(m_Dir);
    }

    // The controller asks, at every poll, for the colour bar and then for the segment after the last one
    // completed (0x13), the same one again after a bad transfer (0x1B), and nothing while data flows.
    // m_Requests overrides the numbers asked for, one per poll.
    std::optional<Reply> Controller(uint8_t code)
    {
        switch (code) {
        case 0x0B: m_bWanting = true; break;
        case 0x11: m_bWanting = false; break;
        case 0x1B: m_bWanting = true; break;
        case 0x13:
            ++m_nWant;
            m_bWanting = m_nWant < m_nSegments;
            break;
        case 0x45:
            if (m_bWanting) {
                int segment = m_nWant;
                if (!m_Requests.empty()) {
                    segment = m_Requests.front();
                    m_Requests.erase(m_Requests.begin());
                }
                return segment < 0 ? DataRequest(kReqColorBar, 0) : DataRequest(kReqSegment, segment);
            }
            break;
        }
        return std::nullopt;
    }
    // The data of each transfer (between 0x11 and the checksum request 0x19; the filler comes after).
    std::vector<std::vector<uint8_t>> Transfers()
    {
        std::vector<std::vector<uint8_t>> transfers;
        bool open = false;
        for (const UsbCall& c : m_Usb.Calls()) {
            if (c.kind != 'W' || c.result < 0)
                continue;
            if (c.pipe == 1 && c.bytes[2] == 0x11) {
                transfers.emplace_back();
                open = true;
            } else if (c.pipe == 1 && c.bytes[2] == 0x19) {
                open = false;
            } else if (c.pipe == 3 && open) {
                transfers.back().insert(transfers.back().end(), c.bytes.begin(), c.bytes.end());
            }
        }
        return transfers;
    }

    std::filesystem::path m_Dir;
    int m_nSegments = 0;
    int m_nWant = -1;  // -1: the colour bar
    bool m_bWanting = false;
    std::vector<int> m_Requests;
};

TEST_F(PrintJob, EverySegmentIsSentOnceVerifiedAndReported)
{
    CheckPrintTaskAndProc();

    EXPECT_EQ(Layout().m_nSectionCursor, Layout().m_nSectionCount);
    EXPECT_EQ(m_Usb.CountCode(0x11), 1 + m_nSegments);
    EXPECT_EQ(m_Usb.CountCode(0x13), 1 + m_nSegments);
    EXPECT_EQ(m_Usb.CountCode(0x1B), 0);
    EXPECT_EQ(m_Usb.CountCode(0x17), 1);
    auto transfers = Transfers();
    ASSERT_EQ(int(transfers.size()), 1 + m_nSegments);
    for (const auto& t : transfers)
        EXPECT_EQ(t.size(), 2u * size_t(Layout().m_nSentWords));
    EXPECT_EQ(m_Finished.m_nCalls, 1);
    EXPECT_TRUE(m_Bridge.Boxes().empty());
    EXPECT_FALSE(gColorBarPending);
    EXPECT_FALSE(gPrinterStatus.m_EventCotrol.Bits.PrintEnd);
    std::vector<std::string> done;
    for (const std::string& l : m_Log.Lines())
        if (l.rfind("打印完毕第", 0) == 0)
            done.push_back(l);
    const std::string total = std::to_string(m_nSegments);
    ASSERT_EQ(int(done.size()), 1 + m_nSegments);
    EXPECT_EQ(done[0], "打印完毕第1段数据,共" + total + "段！\r\n") << "the colour bar";
    EXPECT_EQ(done.back(), "打印完毕第" + total + "段数据,共" + total + "段！\r\n");
    EXPECT_EQ(m_Log.Count("处理完毕下发数据\r\n"), m_nSegments) << "not after the last segment";
}

TEST_F(PrintJob, AMismatchServesTheSameSegmentAgainFromAFreshBuffer)
{
    // The colour bar and segment 0 pass; segment 1 fails once.
    int transfers = 0;
    m_Usb.OnCommand([&](uint8_t code) {
        if (code == 0x11 && ++transfers == 3)
            m_Usb.CorruptDram(1);
    });
    CheckPrintTaskAndProc();

    EXPECT_EQ(m_Usb.CountCode(0x1B), 1);
    auto sent = Transfers();
    ASSERT_EQ(int(sent.size()), 2 + m_nSegments);
    EXPECT_TRUE(BytesEqual(sent[2], sent[3])) << "segment 1 sent twice, identical";
    EXPECT_NE(sent[1], sent[2]) << "segment 0 differs from segment 1";
    EXPECT_EQ(Layout().m_nSectionCursor, Layout().m_nSectionCount);
    EXPECT_EQ(m_Log.Count("当前打印第2段数据出现错误！\r\n"), 1);
    EXPECT_EQ(m_Finished.m_nCalls, 1);
}

TEST_F(PrintJob, ARequestForALaterSegmentIsAcknowledgedButNotServed)
{
    m_Requests = {-1, 1};  // the colour bar, then segment 1 while segment 0 is due
    CheckPrintTaskAndProc();

    EXPECT_EQ(m_Log.Count("上位机处理好段数:00000000,下位机请求段数:00000001！！\r\n"), 1);
    // The request for 1 stays valid: the next request, for 0, is served without being valid again.
    EXPECT_EQ(m_Log.Count("收到下位机无效数据请求命令!不予处理\r\n"), 1);
    EXPECT_EQ(m_Log.Count("收到下位机有效请求数据命令!\r\n"), 1 + m_nSegments);
    EXPECT_EQ(m_Usb.CountCode(0x11), 1 + m_nSegments) << "every segment served once";
    EXPECT_EQ(m_Usb.CountCode(0x0E), 2 + m_nSegments) << "every request acknowledged";
    EXPECT_EQ(Layout().m_nSectionCursor, Layout().m_nSectionCount);
}

TEST_F(PrintJob, TheFirstRequestArmsATransferEvenWhenItMatchesNothing)
{
    m_Requests = {3};  // a segment request before the colour bar
    CheckPrintTaskAndProc();
    // The colour bar still goes first, on that request, without a transfer-begins command.
    EXPECT_EQ(m_Usb.CountCode(0x11), m_nSegments);
    EXPECT_EQ(m_Usb.CountCode(0x13), 1 + m_nSegments);
    EXPECT_EQ(Layout().m_nSectionCursor, Layout().m_nSectionCount);
}

TEST_F(PrintJob, NoAtTheFifthMismatchEndsTheJobWithTheCursorAtTheSectionCount)
{
    m_Usb.OnCommand([&](uint8_t code) {
        if (code == 0x11 && m_nWant >= 0)
            m_Usb.CorruptDram(1);
    });
    m_Bridge.Answer({IDNO});
    CheckPrintTaskAndProc();

    EXPECT_EQ(m_Bridge.Boxes().size(), 1u);
    EXPECT_EQ(m_Usb.CountCode(0x1B), 4);
    EXPECT_EQ(Layout().m_nSectionCursor, Layout().m_nSectionCount);
    EXPECT_EQ(m_Log.Count("退出错误！\r\n"), 1);
    EXPECT_EQ(m_Usb.CountCode(0x17), 1);
    EXPECT_EQ(m_Finished.m_nCalls, 1);
}

TEST_F(PrintJob, TheWorkersColourBarIsTheDocumentsColourBarSegment)
{
    ASSERT_TRUE(Layout().m_nPassesPerSegment == 4);
    MakeColorBarData();
    const std::vector<uint16_t> bar = ColorBarWords();
    ASSERT_TRUE(m_pDoc->MakeSegment(0, true));
    ASSERT_TRUE(m_pDoc->CompressAndChecksum());
    // The document keeps the packed data words, before its exchange step, in the backup buffer.
    const uint16_t* backup = m_pDoc->m_PrintData[SlotPrint].m_pBackup;
    ASSERT_EQ(int(bar.size()), Layout().m_nSegmentWords - 9);
    EXPECT_TRUE(std::equal(bar.begin(), bar.end(), backup));
    EXPECT_NE(std::count(bar.begin(), bar.end(), 0), std::ptrdiff_t(bar.size())) << "the bars fire nozzles";
}

TEST_F(PrintJob, TheSegmentBuilderPollsThroughTheCommandChannel)
{
    CheckPrintTaskAndProc();
    // The loop polls once per iteration; the document adds its polls between the passes it builds.
    const int loopIterations = 2 + 2 * m_nSegments;
    EXPECT_GT(m_Usb.CountCode(0x45), loopIterations + 4 * m_nSegments);
}

}  // namespace
