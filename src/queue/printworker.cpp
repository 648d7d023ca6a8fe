// The worker cycle, the print loop with its handlers, and the worker thread.
#include "queue/printworker.h"

#include <atomic>
#include <thread>

#include "document/marquelldoc.h"
#include "link/linkwatch.h"
#include "link/paramdownload.h"
#include "link/printerstatus.h"
#include "link/usbbulk.h"
#include "link/usbcommand.h"
#include "link/workerflags.h"
#include "platform/clock.h"
#include "platform/gbk.h"
#include "platform/logwriter.h"
#include "platform/windowbridge.h"
#include "queue/colorbardata.h"

namespace {

std::atomic<CJobFinishedSink*> gpJobFinishedSink{nullptr};
std::thread gWorkerThread;
CColorBarData gColorBar;
// A job was given up in the middle of an exchange: the controller may still be in that exchange's command
// mode when the link returns. Worker thread only, once it runs; set for every new worker (see StartPrintWorker).
bool gClearModeOnReturn = false;

CJobLayout& PrintLayout()
{
    return gpDoc->m_Layout[SlotPrint];
}

// Waits for the link. With sleepAlways the wait pauses 10 ms after every test of the probe request,
// otherwise only when no probe is due. False when the waits have to stop.
bool WaitForLink(bool sleepAlways)
{
    CPrinterStatus& st = gPrinterStatus;
    while (!st.m_bConnected) {
        if (StopWaiting())
            return false;
        const bool probeDue = gProbeRequest;
        if (probeDue) {
            st.m_bConnected = UsbConnect();
            gProbeRequest = false;
        }
        if (sleepAlways || !probeDue)
            SleepMs(10);
    }
    return !StopWaiting();
}

bool WaitForJob()
{
    while (!gPrinterStatus.HasPrintTask() || !gpDoc) {
        if (StopWaiting())
            return false;
        SleepMs(50);
        UsbMCUCmdWR(kCmdPoll);
        if (!WaitForLink(true))
            return false;
    }
    return !StopWaiting();
}

// Repeats a command until its reply comes, pausing pauseMs after each unanswered one.
bool RepeatUntil(uint8_t code, uint8_t reply, int pauseMs)
{
    for (;;) {
        UsbMCUCmdWR(code);
        if (ReplyIs(reply))
            return true;
        if (StopWaiting())
            return false;
        if (pauseMs > 0)
            SleepMs(pauseMs);
    }
}

// Once the link is back after a job was given up: the controller may still be in the command mode of the
// exchange that was broken off, which nothing else would clear.
bool ClearLeftOverMode()
{
    if (!RepeatUntil(kCmdClearMode, kRplModeCleared, 0))
        return false;
    gPrinterStatus.m_nRecvCmd = kRplActedOn;
    gClearModeOnReturn = false;
    return true;
}

// The job back to the task list with its outcome, sent or not.
void ReturnJob()
{
    CPrinterStatus& st = gPrinterStatus;
    st.m_bSendData = false;
    st.m_bPrintTask = false;
    // The task list updates the job's row before m_bPrinting clears: a job start that sees the flag
    // clear finds the row already finished and may raise the next print task without it being lost.
    if (CJobFinishedSink* pSink = gpJobFinishedSink.load())
        pSink->JobFinished(gJobOutcome.load());
    st.m_bPrinting = false;
}

// The end of every job that reached the plotter, on the workstation's side: the texts of a finished job,
// and the job back to the task list.
void HandBackJob()
{
    gStatusText.SetText(PanePercent, "0%");
    gStatusText.SetText(PaneTask, "Finished");
    gPrinterStatus.m_nLastCmd = kCmdPoll;
    ReturnJob();
}

// Ends the job in hand without the print end when its plotter could not be reached after an abort (the link
// watch gave up on it).
void EndUnreachableJob()
{
    CPrinterStatus& st = gPrinterStatus;
    gLinkWatch.JobHandedBack();
    gClearModeOnReturn = true;
    if (!st.HasPrintTask())
        return;
    // The abort could not reach the plotter, so it did not end the print there: the job is not retired like
    // an abort but held with its file. A copy already printed whole stays printed.
    EJobOutcome aborted = EJobOutcome::Aborted;
    gJobOutcome.compare_exchange_strong(aborted, EJobOutcome::LinkLost);
    RecordJobOutcome(EJobOutcome::LinkLost);
    WriteLog("Link: the plotter cannot be reached; the job ends without its print end\r\n");
    st.m_bPaused = false;
    gJobActive = false;
    CWindowBridge& bridge = GetWindowBridge();
    bridge.RepaintPreview();
    bridge.RedrawStatusBar();
    HandBackJob();
}

// After a wait that had to stop: true when the program is closing (the job stays queued) or the job in hand
// was given up on, which is then ended.
bool LeftTheJob()
{
    if (gExitWorker)
        return true;
    if (!gLinkWatch.GivenUp())
        return false;
    EndUnreachableJob();
    return true;
}

bool StartHandshake()
{
    GBK_LOG(kStarted, "向下位机发送开始打印命令!\r\n");
    const int pairCode = gpDoc->m_UserDefine.m_nHeadPairCode;
    UsbMCUCmdWR(kCmdStartPrint, 0, pairCode, 0, 0, 1000);
    SleepMs(2);
    while (!ReplyIs(kRplPrintStarted)) {
        if (StopWaiting())
            return false;
        SleepMs(10);
        WriteLog("Inf: WaitPrint\r\n");
        UsbMCUCmdWR(kCmdStartPrint, 0, pairCode, 0, 0, 2000);
    }
    WriteLog(kStarted);
    ClearCommandMode(CmdMode::PrintStart);
    return !StopWaiting();
}

struct LoopState {
    bool bLoop = true;
    bool bStarted = false;
    bool bReqValid = false;
    bool bStartData = true;
    int nReqSeg = 0;
};

// The colour bar starts the job over at section 0, unless the job is already at its end (an abort or a No
// made meanwhile): winding it back would lose that end, and the finish handshake with it.
void RewindForColorBar(CJobLayout& layout)
{
    int cursor = layout.m_nSectionCursor;
    while (cursor < layout.m_nSectionCount && !layout.m_nSectionCursor.compare_exchange_weak(cursor, 0)) {
    }
}

// Step 3 of an iteration: the controller asked for data.
void ServeDataRequest(LoopState& s)
{
    GBK_LOG(kWantsColorBar, "下位机请求色条数据-- %d --\r\n");
    GBK_LOG(kWantsSegment, "下位机请求数据段数-- %d --\r\n");
    GBK_LOG(kValid, "收到下位机有效请求数据命令!\r\n");
    GBK_LOG(kCounts, "上位机处理好段数:%08X,下位机请求段数:%08X！！\r\n");
    GBK_LOG(kInvalid, "收到下位机无效数据请求命令!不予处理\r\n");
    GBK_LOG(kColorBar, "处理下位机打印色带!\r\n");
    GBK_LOG(kSegment, "处理下位机请求数据命令!\r\n");
    GBK_LOG(kBegin, "向下位机下发数据开始命令\r\n");

    CPrinterStatus& st = gPrinterStatus;
    CJobLayout& layout = PrintLayout();
    const uint8_t kind = st.m_nReqKind;
    const int requested = st.m_nReqSegment;
    if (kind == kReqColorBar)
        WriteLogF(kWantsColorBar.c_str(), kind);
    else if (kind == kReqSegment)
        WriteLogF(kWantsSegment.c_str(), requested);

    if (!RepeatUntil(kCmdAckDataRequest, kRplDataRequestAcked, 0))
        return;
    ClearCommandMode(CmdMode::DataRequest);

    if (!s.bReqValid) {
        WriteLog(kValid);
        s.bReqValid = true;
        s.nReqSeg = layout.m_nSectionCursor / layout.m_nPassesPerSegment;
        WriteLogF(kCounts.c_str(), s.nReqSeg, requested);
    } else {
        WriteLog(kInvalid);
    }

    if (s.bReqValid && kind == kReqColorBar && requested == 0) {
        WriteLog(kColorBar);
        s.nReqSeg = 0;
        s.bReqValid = false;
        if (!RepeatUntil(kCmdTransferBegin, kRplTransferBegun, 2))
            return;
        ClearCommandMode(CmdMode::ColorBarBegin);
        WriteLog(kBegin);
        s.bStartData = true;
        RewindForColorBar(layout);
    }
    if (s.bReqValid && kind == kReqSegment && s.nReqSeg == requested) {
        s.bReqValid = false;
        WriteLog(kSegment);
        if (!RepeatUntil(kCmdTransferBegin, kRplTransferBegun, 2))
            return;
        ClearCommandMode(CmdMode::SegmentBegin);
        WriteLog(kBegin);
        s.bStartData = true;
    }

    if (s.bStartData) {
        s.bStartData = false;
        ProcDataSendStart();
    }
    if (st.m_bSendData)
        s.bLoop = OutDataToUsb();
}

// A key the controller announced as the reply to another command than the poll, which the wait for that
// command's own reply read over (see RememberKey). A controller that announces its keys again has done so at
// this poll, and the poll's reply is acted on as usual; otherwise the kept key is acted on in this step,
// after whatever the poll brought. Zero when there is nothing to act on.
uint8_t MissedKeyForThisStep()
{
    CPrinterStatus& st = gPrinterStatus;
    const uint8_t missed = st.TakeMissedKey();
    if (!missed || ReplyIs(missed))
        return 0;
    if (CPrinterStatus::IsKeyRequest(st.m_nRecvCmd)) {
        st.RememberKey(missed);  // another key at this poll: the kept one waits for the next step
        return 0;
    }
    return missed;
}

// Whether the reply in hand is a key or a stop acknowledgement, which the rest of the step acts on itself.
bool RepliedWithKeyOrStop()
{
    const uint8_t reply = gPrinterStatus.m_nRecvCmd;
    return CPrinterStatus::IsKeyRequest(reply) || reply == kRplStopAcked;
}

void PrintLoopIteration(LoopState& s)
{
    GBK_LOG(kPauseReq, "收到下位机暂停请求命令!\r\n");
    GBK_LOG(kContinueReq, "收到下位机继续打印命令!\r\n");
    GBK_LOG(kStopReq, "收到下位机请求停机!\r\n");
    GBK_LOG(kLeave, "退出打印循环!!!!\r\n");
    GBK_LOG(kHalt, "停机!\r\n");

    CPrinterStatus& st = gPrinterStatus;
    if (!s.bStarted) {
        if (!StartHandshake())
            return;
        s.bStarted = true;
    }

    UsbMCUCmdWR(kCmdPoll);
    SleepMs(100);
    st.m_bSendData = false;
    const uint8_t missedKey = MissedKeyForThisStep();

    if (ReplyIs(kRplDataRequest))
        ServeDataRequest(s);
    if (StopWaiting())
        return;
    if (st.m_nLastCmd == kCmdTransferComplete) {
        ProcDataSendEnd();
        st.m_bSendData = false;
    }
    if (StopWaiting())
        return;
    if (missedKey && !RepliedWithKeyOrStop())
        st.m_nRecvCmd = missedKey;
    if (ReplyIs(kRplPauseRequest)) {
        WriteLog(kPauseReq);
        ProcMCUPause();
    }
    if (ReplyIs(kRplContinueRequest)) {
        WriteLog(kContinueReq);
        ProcMCUContinue();
    }
    bool stopAcknowledged = false;
    if (ReplyIs(kRplStopRequest)) {
        UsbMCUCmdWR(kCmdAckStop);
        stopAcknowledged = true;
        RecordJobOutcome(EJobOutcome::StoppedAtPlotter);
        gEndOfJob = true;
        gStopRequest = true;
        WriteLog(kStopReq);
    }
    // The controller is in the stop mode once it has the acknowledgement, whether or not its reply was read: a lost
    // reply must not leave the mode in force for the print end and the next job.
    if (ReplyIs(kRplStopAcked) || stopAcknowledged)
        ClearCommandMode(CmdMode::Stop);
    if (gEndOfJob && !StopWaiting()) {
        WriteLog(kLeave);
        WriteLog(kHalt);
        ProcFilePrintEnd();
        s.bLoop = false;
        gJobActive = false;
    }
}

}  // namespace

void SetJobFinishedSink(CJobFinishedSink* pSink)
{
    gpJobFinishedSink = pSink;
}

void WirePoll(CMarquellDoc& doc)
{
    doc.m_fnPoll = [] { UsbMCUCmdWR(kCmdPoll, 0, 0, 0, 0, 30); };
}

void MakeColorBarData()
{
    CMarquellDoc& doc = *gpDoc;
    gColorBar.Build(doc.m_PrintData[SlotPrint], doc.m_Layout[SlotPrint], doc.m_UserDefine.m_nHeadPairCode);
}

const std::vector<uint16_t>& ColorBarWords()
{
    return gColorBar.Words();
}

bool IsJobDone()
{
    const bool done = gpDoc->IsJobDone() || gStopRequest;
    if (done)
        gStopRequest = false;
    return done;
}

bool PrepareNextSegment()
{
    SleepMs(20);
    CMarquellDoc& doc = *gpDoc;
    if (IsJobDone()) {
        gPrinterStatus.m_EventCotrol.Bits.PrintEnd = 1;
        return false;
    }
    doc.MakeSegment(doc.m_Layout[SlotPrint].m_nSectionCursor, gColorBarPending);
    doc.CompressAndChecksum();
    return true;
}

void ProcDataSendStart()
{
    GBK_LOG(kLine, "处理数据下发开始\r\n");
    gPrinterStatus.m_bSendData = true;
    WriteLog(kLine);
}

void ProcDataSendEnd()
{
    GBK_LOG(kStopped, "处理下位机停止打印命令!\r\n");
    GBK_LOG(kDone, "处理完毕下发数据\r\n");
    CJobLayout& layout = PrintLayout();
    if (ReplyIs(kRplStopAcked)) {
        WriteLog(kStopped);
        RecordJobOutcome(EJobOutcome::StoppedAtPlotter);
        gEndOfJob = true;
        layout.m_nSectionCursor = layout.m_nSectionCount.load();
        return;
    }
    do {
        if (StopWaiting())
            return;
        SleepMs(20);
        UsbMCUCmdWR(kCmdTransferComplete, 0, 0, 0, 0, 300);
    } while (!ReplyIs(kRplTransferCompleted));
    ClearCommandMode(CmdMode::TransferEnd);
    if (layout.m_nSectionCursor < layout.m_nSectionCount)
        WriteLog(kDone);
}

void ProcMCUPause()
{
    GBK_LOG(kLine, "处理完毕下位机暂停请求!\r\n");
    CPrinterStatus& st = gPrinterStatus;
    do {
        UsbMCUCmdWR(kCmdAckPause);
        if (ReplyIs(kRplPauseAcked)) {
            st.m_bPaused = true;
            SleepMs(2);
            break;
        }
        if (StopWaiting())
            return;
    } while (!st.m_bPaused);
    if (ReplyIs(kRplPauseAcked))
        ClearCommandMode(CmdMode::Pause);
    WriteLog(kLine);
}

void ProcMCUContinue()
{
    GBK_LOG(kLine, "处理完毕打印继续\r\n");
    CPrinterStatus& st = gPrinterStatus;
    while (st.m_bPaused) {
        UsbMCUCmdWR(kCmdAckContinue);
        if (ReplyIs(kRplContinueAcked)) {
            st.m_bPaused = false;
            break;
        }
        if (StopWaiting())
            return;
    }
    if (ReplyIs(kRplContinueAcked))
        ClearCommandMode(CmdMode::Continue);
    WriteLog(kLine);
}

void ProcFilePrintEnd()
{
    GBK_LOG(kLine, "处理完毕文件打印完毕\r\n");
    CPrinterStatus& st = gPrinterStatus;
    CEventControl::CBits& bits = st.m_EventCotrol.Bits;
    if (IsJobDone())
        bits.PrintEnd = 1;
    if (bits.PrintEnd)
        SendPrintEnd();
    else
        st.m_bPrinting = false;
    st.m_bPaused = false;
    WriteLog(kLine);
}

void SendPrintEnd()
{
    GBK_LOG(kLine, "向下位机发送打印结束命令!\r\n");
    CPrinterStatus& st = gPrinterStatus;
    CWindowBridge& bridge = GetWindowBridge();
    bridge.RepaintPreview();
    bridge.RedrawStatusBar();
    for (int i = 0; i < 3; ++i) {
        UsbMCUCmdWR(kCmdPrintEnd);
        if (ReplyIs(kRplPrintEnded)) {
            st.m_EventCotrol.Bits.PrintEnd = 0;
            break;
        }
    }
    if (gLinkWatch.GivenUp()) {
        EndUnreachableJob();
        return;
    }
    WriteLog(kLine);
    HandBackJob();
}

namespace {

// Ends a job that never reached the plotter (no start command was sent, so no finish handshake).
void HandBackUnsent()
{
    WriteLog("Nothing to print: the job is not sent\r\n");
    RecordJobOutcome(EJobOutcome::NoDrawing);
    gJobActive = false;
    ReturnJob();
}

}  // namespace

void CheckPrintTaskAndProc()
{
    GBK_LOG(kColorBar, "生成色带数据!!!\r\n");
    CPrinterStatus& st = gPrinterStatus;
    if (gProbeRequest) {
        st.m_bConnected = UsbConnect();
        gProbeRequest = false;
    }
    SetSegmentProducer(PrepareNextSegment);
    // The task list and the command line never hand over such a job; should one come all the same, the
    // plotter is not started for a blank page, and the job goes back unprinted.
    if (gpDoc->HasNothingToPrint()) {
        HandBackUnsent();
        return;
    }
    gStatusText.SetText(PaneMachine, "Plot");
    WriteLog(kColorBar);
    MakeColorBarData();

    LoopState s;
    gStopRequest = false;
    st.TakeMissedKey();  // a key announced before this job's print loop belongs to no step of it
    while (s.bLoop && !StopWaiting())
        PrintLoopIteration(s);
    // Closing in the middle of a job leaves the job queued: it is not handed back as finished. A job given up
    // on its plotter is handed back, to be held.
    LeftTheJob();
    gJobActive = false;
}

int PrintThreadProc()
{
    GBK_LOG(kParams, "发送打印参数设置信息!\r\n");
    GBK_LOG(kStart, "开始打印(CheckPrintTaskAndProc())!\r\n");
    CPrinterStatus& st = gPrinterStatus;
    while (!gExitWorker) {
        SleepMs(50);
        if (!WaitForLink(false) || (gClearModeOnReturn && !ClearLeftOverMode())) {
            LeftTheJob();
            continue;
        }
        SleepMs(100);
        for (int i = 0; i < 3; ++i) {
            UsbMCUCmdWR(kCmdCycleStart);
            SleepMs(100);
        }
        if (!WaitForJob()) {
            LeftTheJob();
            continue;
        }
        UsbMCUCmdWR(kCmdPoll);
        for (int i = 0; i < 3; ++i)
            UsbMCUCmdWR(kCmdJobAnnounce);
        SleepMs(50);

        st.m_EventCotrol.SetParameters();
        WriteLog(kParams);
        CheckEventCotrolAndProc();
        WriteLog("CheckEventCotrolAndProc\r\n");
        if (LeftTheJob())
            continue;

        gJobActive = true;
        WriteLog(kStart);
        CheckPrintTaskAndProc();
        WriteLog("CheckPrintTaskAndProc\r\n");
    }
    return 0;
}

bool StartPrintWorker()
{
    if (gWorkerThread.joinable())
        return false;
    if (gpDoc)
        WirePoll(*gpDoc);
    // The program before this one may have ended in the middle of an exchange (closed after an abort its
    // unplugged plotter never heard, or killed), leaving the controller in that exchange's command mode,
    // where it stays until cleared: the first link clears it.
    gClearModeOnReturn = true;
    gWorkerThread = std::thread(PrintThreadProc);
    return true;
}

void StopPrintWorker()
{
    gExitWorker = true;
    if (gWorkerThread.joinable())
        gWorkerThread.join();
}

bool IsPrintWorkerRunning()
{
    return gWorkerThread.joinable();
}
