// The print worker: handlers, the print loop on scripted controllers, the worker thread and its end.
#include <gtest/gtest.h>

#include "link/usbcommand.h"
#include "queue/colorbardata.h"
#include "queue/workerfixture.h"

namespace {

using Codes = std::vector<uint8_t>;
using Lines = std::vector<std::string>;

using Handlers = WorkerTest;

TEST_F(Handlers, PauseIsAcknowledgedOnceAndSetsTheFlag)
{
    m_Usb.Script(0x1E, {MakeReply(0x46), NoReply()});
    ProcMCUPause();
    EXPECT_TRUE(gPrinterStatus.m_bPaused);
    EXPECT_EQ(m_Usb.Codes(), (Codes{0x1E, 0x1E, 0x1E, 0x24}));
    EXPECT_EQ(m_Log.Lines(), (Lines{"清除下位机暂停命令模式成功OK!!!!\r\n", "处理完毕下位机暂停请求!\r\n"}));

    // Already paused: one write, and no clearing unless it was acknowledged.
    m_Usb.ClearRecord();
    m_Usb.Script(0x1E, {MakeReply(0x46)});
    ProcMCUPause();
    EXPECT_EQ(m_Usb.Codes(), (Codes{0x1E}));
}

TEST_F(Handlers, ContinueIsAcknowledgedOnlyWhilePaused)
{
    gPrinterStatus.m_nRecvCmd = 0x1F;
    ProcMCUContinue();
    EXPECT_TRUE(m_Usb.Calls().empty()) << "not paused: nothing written";
    EXPECT_EQ(m_Log.Lines(), (Lines{"处理完毕打印继续\r\n"}));

    gPrinterStatus.m_bPaused = true;
    m_Usb.Script(0x20, {MakeReply(0x46)});
    ProcMCUContinue();
    EXPECT_FALSE(gPrinterStatus.m_bPaused);
    EXPECT_EQ(m_Usb.Codes(), (Codes{0x20, 0x20, 0x24}));
}

TEST_F(Handlers, DataSendEndReportsTheTransferUntilAcknowledged)
{
    UnfinishedJob(8);
    Layout().m_nSectionCursor = 4;
    m_Usb.Script(0x13, {MakeReply(0x46)});
    int64_t t0 = m_Clock.Now();
    ProcDataSendEnd();
    EXPECT_EQ(m_Usb.Codes(), (Codes{0x13, 0x13, 0x24}));
    for (const UsbCall& c : m_Usb.Calls()) {
        if (c.kind == 'W' && c.bytes[2] == 0x13) {
            EXPECT_EQ(c.timeout, 300);
        }
    }
    // Two tries of 20 + 50 ms, the clearing after its 10 ms pause.
    EXPECT_EQ(m_Clock.Now() - t0, 2 * 70 + 60);
    EXPECT_EQ(m_Log.Lines(), (Lines{"清除下位机数据发送完毕命令模式成功OK!!!!\r\n", "处理完毕下发数据\r\n"}));

    CLogCapture log;
    Layout().m_nSectionCursor = 8;
    ProcDataSendEnd();
    EXPECT_EQ(log.Lines(), (Lines{"清除下位机数据发送完毕命令模式成功OK!!!!\r\n"})) << "nothing left to send";
}

TEST_F(Handlers, DataSendEndAfterAStopAcknowledgementEndsTheJob)
{
    UnfinishedJob(8);
    gPrinterStatus.m_nRecvCmd = 0x16;
    ProcDataSendEnd();
    EXPECT_TRUE(m_Usb.Calls().empty());
    EXPECT_TRUE(gEndOfJob);
    EXPECT_EQ(gJobOutcome, EJobOutcome::StoppedAtPlotter);
    EXPECT_EQ(Layout().m_nSectionCursor, 8);
    EXPECT_EQ(m_Log.Lines(), (Lines{"处理下位机停止打印命令!\r\n"}));
}

TEST_F(Handlers, PrintEndIsTriedThreeTimesAndTheJobIsHandedBackEitherWay)
{
    for (bool answered : {true, false}) {
        SCOPED_TRACE(answered ? "answered" : "never answered");
        m_Usb.ClearRecord();
        m_Finished.m_nCalls = 0;
        StartJob();
        gPrinterStatus.m_bSendData = true;
        gPrinterStatus.m_EventCotrol.Bits.PrintEnd = 1;
        m_Usb.Script(0x17, {MakeReply(0x46), answered ? MakeReply(0x18) : NoReply(), NoReply()});

        SendPrintEnd();

        EXPECT_EQ(m_Usb.Codes(), (answered ? Codes{0x17, 0x17} : Codes{0x17, 0x17, 0x17}));
        EXPECT_EQ(bool(gPrinterStatus.m_EventCotrol.Bits.PrintEnd), !answered);
        EXPECT_EQ(m_Finished.m_nCalls, 1);
        EXPECT_TRUE(m_Finished.m_bPrintingWhenCalled) << "the row is finished before a new job may start";
        EXPECT_FALSE(gPrinterStatus.m_bPrinting);
        EXPECT_FALSE(gPrinterStatus.m_bPrintTask);
        EXPECT_FALSE(gPrinterStatus.m_bSendData);
        EXPECT_EQ(gPrinterStatus.m_nLastCmd, 0x45);
        EXPECT_EQ(gStatusText.GetText(2), "0%");
        EXPECT_EQ(gStatusText.GetText(4), "Finished");
        EXPECT_EQ(m_Log.Lines().back(), "向下位机发送打印结束命令!\r\n");
    }
    EXPECT_EQ(m_Bridge.m_nPreview, 2);
    EXPECT_EQ(m_Bridge.m_nStatusBar, 2);
}

TEST_F(Handlers, FilePrintEndWithoutAFinishedJobSendsNoPrintEnd)
{
    UnfinishedJob(8);
    StartJob();
    gPrinterStatus.m_bPaused = true;
    ProcFilePrintEnd();
    EXPECT_TRUE(m_Usb.Calls().empty());
    EXPECT_EQ(m_Finished.m_nCalls, 0);
    EXPECT_FALSE(gPrinterStatus.m_bPaused);
    EXPECT_FALSE(gPrinterStatus.m_bPrinting);
    EXPECT_EQ(m_Log.Lines(), (Lines{"处理完毕文件打印完毕\r\n"}));
}

TEST_F(Handlers, PrepareNextSegmentOnAFinishedJobRaisesPrintEnd)
{
    EXPECT_FALSE(PrepareNextSegment());
    EXPECT_TRUE(gPrinterStatus.m_EventCotrol.Bits.PrintEnd);
    UnfinishedJob(8);
    gStopRequest = true;
    gPrinterStatus.m_EventCotrol.Bits.PrintEnd = 0;
    EXPECT_FALSE(PrepareNextSegment()) << "a stop request makes the job done";
    EXPECT_FALSE(gStopRequest);
}

TEST(ColorBar, TwelveGroupsOfFiveLinesSpanningTheBandOfEachPass)
{
    CColorBarData bar;
    bar.MakeLines(698);
    for (int p = 0; p < CColorBarData::kPasses; ++p) {
        const LineSection& s = bar.Pass(p);
        ASSERT_EQ(s.count, 60u);
        for (uint32_t n = 0; n < s.count; ++n) {
            const PltLine& l = s.lines[n];
            const float x = float(300 + 240 * (n / 5) + n % 5);
            EXPECT_EQ(l.x1, x);
            EXPECT_EQ(l.x2, x);
            EXPECT_EQ(l.y1, float(p * 698));
            EXPECT_EQ(l.y2, float((p + 1) * 698 - 1));
        }
    }
    EXPECT_EQ(bar.Pass(3).lines[59].x1, 300.0f + 240 * 11 + 4);
}

using PrintLoop = WorkerTest;

// The task list and the command line never hand over a job with nothing to print; one that comes all the
// same does not start the plotter for a blank page and goes back unprinted, its file kept.
TEST_F(PrintLoop, AJobWithNothingToPrintIsHandedBackWithoutStartingThePlotter)
{
    StartJob();
    gJobActive = true;

    CheckPrintTaskAndProc();

    EXPECT_TRUE(m_Usb.Calls().empty());
    EXPECT_EQ(m_Log.Lines(), (Lines{"Nothing to print: the job is not sent\r\n"}));
    EXPECT_EQ(m_Finished.m_nCalls, 1);
    EXPECT_EQ(m_Finished.m_eOutcome, EJobOutcome::NoDrawing);
    EXPECT_FALSE(gJobActive);
    EXPECT_FALSE(gPrinterStatus.m_bPrinting);
    EXPECT_FALSE(gPrinterStatus.HasPrintTask());
}

TEST_F(PrintLoop, TheStartCommandCarriesTheHeadPairCode)
{
    Settings().m_nHeadPairCode = 2;
    m_Usb.Script(0x45, {MakeReply(0x15)});
    UnfinishedJob(8);
    StartJob();
    CheckPrintTaskAndProc();
    const UsbCall start = m_Usb.Calls()[1];
    EXPECT_TRUE(BytesEqual({0, 0, 0x0B, 0, 2, 0, 0, 0x5A, 0xA5}, start.bytes));
    EXPECT_EQ(start.timeout, 1000);
}

TEST_F(PrintLoop, AStopRequestWritesSixteenOnceAndStillSendsThePrintEnd)
{
    UnfinishedJob(8);
    StartJob();
    m_Usb.Script(0x45, {MakeReply(0x46), MakeReply(0x15)});

    CheckPrintTaskAndProc();

    EXPECT_EQ(m_Usb.Codes(), (Codes{0x0B, 0x24, 0x45, 0x45, 0x16, 0x24, 0x17}));
    EXPECT_EQ(m_Log.Count("收到下位机请求停机!\r\n"), 1);
    EXPECT_EQ(m_Log.Count("清除下位机停止命令模式成功OK!!!!\r\n"), 1);
    EXPECT_FALSE(gStopRequest) << "consumed by the job-done test";
    EXPECT_EQ(m_Finished.m_nCalls, 1);
}

TEST_F(PrintLoop, PauseAndContinueAreFlagsTheLoopKeepsPolling)
{
    UnfinishedJob(8);
    StartJob();
    m_Usb.Script(0x45, {MakeReply(0x1D), MakeReply(0x46), MakeReply(0x1F), MakeReply(0x1F), MakeReply(0x15)});

    CheckPrintTaskAndProc();

    EXPECT_EQ(m_Usb.Codes(), (Codes{0x0B, 0x24,               // start
                                    0x45, 0x1E, 0x24,         // pause
                                    0x45,                     // still polling while paused
                                    0x45, 0x20, 0x24,         // continue
                                    0x45,                     // continue while not paused: nothing written
                                    0x45, 0x16, 0x24, 0x17}));
    EXPECT_EQ(m_Log.Count("收到下位机暂停请求命令!\r\n"), 1);
    EXPECT_EQ(m_Log.Count("收到下位机继续打印命令!\r\n"), 2);
    EXPECT_EQ(m_Log.Count("处理完毕打印继续\r\n"), 2);
    EXPECT_FALSE(gPrinterStatus.m_bPaused);
}

// A key the controller announces as the reply to another command than the poll is read over by the wait for
// that command's own reply. It is kept and acted on at the next step of the loop, once: not again when the
// controller announces it again at that poll. A kept stop is not replaced by a later key.
TEST_F(PrintLoop, AKeyReadAsTheReplyToAnotherCommandIsActedOnAtTheNextStepOnce)
{
    struct Case {
        const char* what;
        std::vector<Reply> startReplies;  // the key comes as the reply to the start command
        Reply poll;
        Codes codes;
    } cases[] = {
        {"not announced again", {MakeReply(0x1D)}, MakeReply(0x46),
         {0x0B, 0x0B, 0x24, 0x45, 0x1E, 0x24, 0x45, 0x16, 0x24, 0x17}},
        {"announced again at the poll", {MakeReply(0x1D)}, MakeReply(0x1D),
         {0x0B, 0x0B, 0x24, 0x45, 0x1E, 0x24, 0x45, 0x16, 0x24, 0x17}},
        {"stop, then pause", {MakeReply(0x15), MakeReply(0x1D)}, MakeReply(0x46),
         {0x0B, 0x0B, 0x0B, 0x24, 0x45, 0x16, 0x24, 0x17}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResetPrintPathState();
        gPrinterStatus.m_bConnected = true;
        m_Usb.ClearRecord();
        CLogCapture log;
        UnfinishedJob(8);
        StartJob();
        for (const Reply& r : c.startReplies)
            m_Usb.Script(0x0B, {r});
        // After the key's step the plotter stops the job.
        m_Usb.Script(0x45, {c.poll, MakeReply(0x15)});

        CheckPrintTaskAndProc();

        EXPECT_EQ(m_Usb.Codes(), c.codes);
        EXPECT_EQ(log.Count("收到下位机暂停请求命令!\r\n"), c.codes[4] == 0x1E ? 1 : 0);
        EXPECT_EQ(log.Count("收到下位机请求停机!\r\n"), 1);
        EXPECT_EQ(gPrinterStatus.TakeMissedKey(), 0) << "nothing kept past the job";
    }
}

TEST_F(PrintLoop, ALinkDownAtTheStartWaitsUntilItComesBack)
{
    UnfinishedJob(8);
    StartJob();
    m_Usb.SetLink(false);
    m_Usb.Script(0x45, {MakeReply(0x15)});
    // The link returns after 30 s of virtual time.
    std::thread link([&] {
        WaitUntil([&] { return m_Clock.Now() > 30000; });
        m_Usb.SetLink(true);
    });
    CheckPrintTaskAndProc();
    link.join();
    EXPECT_GE(m_Clock.Now(), 30000);
    EXPECT_EQ(m_Usb.CountCode(0x17), 1);
    EXPECT_EQ(m_Finished.m_nCalls, 1);
}

using WorkerThread = WorkerTest;

TEST_F(WorkerThread, ACycleWaitsForTheLinkAndAJobDownloadsItsParametersAndPrintsIt)
{
    gProbeRequest = true;
    ASSERT_TRUE(StartPrintWorker());
    EXPECT_FALSE(StartPrintWorker()) << "one worker";
    ASSERT_TRUE(WaitUntil([&] { return m_Usb.CountCode(0x45) >= 3; }));
    EXPECT_EQ(m_Finished.m_nCalls, 0);

    gColorBarPending = false;
    // Once printing starts the controller asks for the colour bar.
    m_Usb.OnCommand([&](uint8_t code) {
        if (code == 0x0B)
            m_Usb.Script(0x45, {DataRequest(kReqColorBar, 0)});
    });
    // A job already at its end: the colour bar is asked for and the job ends before any segment.
    UnfinishedJob(8);
    Layout().m_nSectionCursor = 8;
    StartJob();
    ASSERT_TRUE(WaitUntil([&] { return m_Finished.m_nCalls == 1; }));
    ASSERT_TRUE(WaitUntil([&] { return m_Log.Count("CheckPrintTaskAndProc\r\n") == 1; }));
    StopPrintWorker();
    EXPECT_FALSE(IsPrintWorkerRunning());

    Codes codes = m_Usb.Codes({0x24});
    Codes head(codes.begin(), codes.begin() + 3);
    EXPECT_EQ(head, (Codes{0x21, 0x21, 0x21}));
    // From the job on: one poll, 0xAC three times, the parameters, the print loop.
    auto at = std::find(codes.begin(), codes.end(), 0xAC);
    ASSERT_NE(at, codes.end());
    EXPECT_EQ(*(at - 1), 0x45);
    // The worker goes on cycling until it is stopped: look at this job only.
    auto end = std::find(at, codes.end(), 0x17);
    ASSERT_NE(end, codes.end());
    EXPECT_EQ(Codes(at, end + 1),
              (Codes{0xAC, 0xAC, 0xAC, 0x01, 0x03, 0x07, 0x05, 0x09, 0x0B, 0x45, 0x0E, 0x11, 0x17}));
    EXPECT_TRUE(gColorBarPending) << "set again by the parameter download";
    EXPECT_FALSE(gJobActive);
    EXPECT_EQ(m_Log.Count("发送打印参数设置信息!\r\n"), 1);
    EXPECT_EQ(m_Log.Count("CheckEventCotrolAndProc\r\n"), 1);
    EXPECT_EQ(m_Log.Count("开始打印(CheckPrintTaskAndProc())!\r\n"), 1);
}

TEST_F(WorkerThread, ClosingWhileTheLinkIsDownEndsTheWorker)
{
    m_Usb.SetLink(false);
    gPrinterStatus.m_bConnected = false;
    gProbeRequest = true;
    ASSERT_TRUE(StartPrintWorker());
    ASSERT_TRUE(WaitUntil([&] { return m_Clock.Now() > 10000; }));
    StopPrintWorker();
    EXPECT_FALSE(IsPrintWorkerRunning());
    EXPECT_GE(m_Log.Count("Error:UsbConnect Fail . . . . . . . .\r\n"), 1);
}

TEST_F(WorkerThread, ClosingInTheMiddleOfAJobLeavesItQueued)
{
    UnfinishedJob(8);
    gProbeRequest = true;
    m_Usb.Script(0x0B, MakeReply(0x46), 100000);  // the controller never starts printing
    StartJob();
    ASSERT_TRUE(StartPrintWorker());
    ASSERT_TRUE(WaitUntil([&] { return m_Usb.CountCode(0x0B) >= 5; }));
    EXPECT_TRUE(gJobActive);
    StopPrintWorker();
    EXPECT_EQ(m_Finished.m_nCalls, 0);
    EXPECT_FALSE(gJobActive);
    EXPECT_TRUE(gPrinterStatus.m_bPrintTask);
    EXPECT_EQ(m_Usb.CountCode(0x17), 0);
}

}  // namespace
