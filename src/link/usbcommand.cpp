// Command frames, reply reads, the link check and the clearing of command modes.
#include "link/usbcommand.h"

#include <algorithm>
#include <string>

#include "link/linkwatch.h"
#include "link/printerstatus.h"
#include "link/workerflags.h"
#include "platform/clock.h"
#include "platform/gbk.h"
#include "platform/logwriter.h"
#include "platform/usbadapter.h"

namespace {

constexpr int kCommandPipe = 1;
constexpr int kReplyPipe = 0;
constexpr int kFrameBytes = 9;
constexpr int kRepeatFrameBytes = 10;
constexpr int kRepeatTimeoutMs = 30;
constexpr int kReplyBytes = 16;
constexpr uint32_t kAnnounceCommand = 7;
constexpr uint8_t kFrameTail[2] = {0x5A, 0xA5};

// Stands in when no adapter is installed: no link, every write rejected, nothing to read.
class CNoAdapter : public CUsbAdapter {
public:
    int Ex_Vender_Read(uint8_t* pStatus) override
    {
        *pStatus = 0;
        return -1;
    }
    int Ex_Vender_ScanOrPrint(int, uint32_t) override { return 0; }
    int Ex_WriteData(int, const uint8_t*, int, int) override { return -1; }
    int Ex_ReadData(int, uint8_t* pBuf, int len, int) override
    {
        if (len > 0)
            pBuf[0] = kRplNone;
        return 0;
    }
};

CUsbAdapter& Adapter()
{
    static CNoAdapter noAdapter;
    CUsbAdapter* pAdapter = GetUsbAdapter();
    return pAdapter ? *pAdapter : noAdapter;
}

bool Uses16BitValue(uint8_t code)
{
    return code == kCmdSetXMin || code == kCmdSetXMax || code == kCmdSetYStep || code == kCmdSetResolution;
}

}  // namespace

void BuildCommandFrame(uint8_t frame[9], uint8_t code, int a, int b, int c, int d)
{
    frame[0] = 0x00;
    frame[1] = 0x00;
    frame[2] = code;
    frame[3] = static_cast<uint8_t>(a & 0xFF);
    frame[4] = static_cast<uint8_t>(Uses16BitValue(code) ? (a >> 8) & 0xFF : b & 0xFF);
    frame[5] = static_cast<uint8_t>(c & 0xFF);
    frame[6] = static_cast<uint8_t>(d & 0xFF);
    frame[7] = kFrameTail[0];
    frame[8] = kFrameTail[1];
}

int CommandWriteTimeout(int timeoutMs)
{
    return std::clamp(timeoutMs, 10, 3000);
}

int ReplyReadTimeout(int timeoutMs)
{
    return timeoutMs > 30 ? 50 : 30;
}

ReplyRead ClassifyReplyRead(int bytesRead, uint8_t firstByte)
{
    if (bytesRead <= 0)
        return ReplyRead::ReadAgain;
    if (firstByte != kRplNone)
        return ReplyRead::Reply;
    return bytesRead >= kReplyBytes ? ReplyRead::NoReply : ReplyRead::ReadAgain;
}

int UsbMCUCmdW(uint8_t code, int a, int b, int c, int d, int timeoutMs)
{
    CPrinterStatus& st = gPrinterStatus;
    st.ClearBuffers(true, true);
    const int timeout = CommandWriteTimeout(timeoutMs);
    BuildCommandFrame(st.m_SendBuf, code, a, b, c, d);
    st.m_nLastCmd = code;
    // A worker that is closing, or has given up on the plotter, leaves the exchange it broke off as it is: a
    // further command would reach the controller while the command mode of that exchange is still in force.
    if (StopWaiting())
        return 0;

    CUsbAdapter& usb = Adapter();
    usb.Ex_Vender_ScanOrPrint(0, kAnnounceCommand);
    int result = usb.Ex_WriteData(kCommandPipe, st.m_SendBuf, kFrameBytes, timeout);
    while (result < 0) {
        gLinkWatch.Unanswered();
        if (StopWaiting())
            return 0;
        usb.Ex_Vender_ScanOrPrint(0, kAnnounceCommand);
        result = usb.Ex_WriteData(kCommandPipe, st.m_SendBuf, kRepeatFrameBytes, kRepeatTimeoutMs);
    }
    return 1;
}

int UsbMCUCmdR(int tries, int timeoutMs)
{
    CPrinterStatus& st = gPrinterStatus;
    if (!st.m_bConnected) {
        gLinkWatch.Unanswered();
        return 0;
    }
    tries = std::clamp(tries, 1, 5);
    const int timeout = ReplyReadTimeout(timeoutMs);

    CUsbAdapter& usb = Adapter();
    ReplyRead outcome = ReplyRead::ReadAgain;
    for (int i = 0; i < tries && outcome == ReplyRead::ReadAgain; ++i) {
        if (i > 0)
            SleepMs(2);
        int n = usb.Ex_ReadData(kReplyPipe, st.m_RecvBuf, kReplyBytes, timeout);
        outcome = ClassifyReplyRead(n, st.m_RecvBuf[0]);
    }
    if (outcome != ReplyRead::Reply) {
        st.m_RecvBuf[0] = kRplNone;
        gLinkWatch.Unanswered();
        return -4;
    }
    gLinkWatch.Answered();
    st.ParseReply();
    if (CPrinterStatus::IsKeyRequest(st.m_RecvBuf[0]) && st.m_nLastCmd != kCmdPoll)
        st.RememberKey(st.m_RecvBuf[0]);
    return 1;
}

int UsbMCUCmdWR(uint8_t code, int a, int b, int c, int d, int timeoutMs)
{
    if (!UsbMCUCmdW(code, a, b, c, d, timeoutMs))
        return 0;
    SleepMs(50);
    return UsbMCUCmdR(3, timeoutMs);
}

bool UsbProbe()
{
    CPrinterStatus& st = gPrinterStatus;
    if (!gProbeRequest.exchange(false))
        return st.m_bConnected;
    uint8_t status = 0;
    int result = Adapter().Ex_Vender_Read(&status);
    st.m_bConnected = (result == 0 && status == kLinkReady);
    if (st.m_bConnected)
        gLinkWatch.Answered();
    else
        gLinkWatch.Unanswered();
    return st.m_bConnected;
}

bool UsbConnect()
{
    int attempts = 0;
    while (!StopWaiting()) {
        if (UsbProbe())
            return true;
        ++attempts;
        SleepMs(50);
        if (attempts == 20 || attempts == 50 || attempts == 100)
            WriteLog("Error:UsbConnect Fail . . . . . . . .\r\n");
        if (attempts == 100)
            attempts = 0;
    }
    return false;
}

bool ReplyIs(uint8_t code)
{
    return gPrinterStatus.m_nRecvCmd == code;
}

namespace {

struct ModeClearing {
    int pauseMs;
    const std::string& logLine;
};

ModeClearing Clearing(CmdMode mode)
{
    GBK_LOG(kPrintStart, "清除下位机打印命令模式成功OK!!!!\r\n");
    GBK_LOG(kDataRequest, "清除下位机数据请求命令模式成功OK!!!!\r\n");
    GBK_LOG(kColorBarBegin, "清除下位机色条开始传送命令模式成功OK!!!!\r\n");
    GBK_LOG(kSegmentBegin, "清除下位机发送数据开始命令模式成功OK!!!!\r\n");
    GBK_LOG(kTransferEnd, "清除下位机数据发送完毕命令模式成功OK!!!!\r\n");
    GBK_LOG(kStop, "清除下位机停止命令模式成功OK!!!!\r\n");
    GBK_LOG(kChecksum, "清除下位机校验和命令模式成功OK!!!!\r\n");
    GBK_LOG(kBadTransfer, "清除下位机数据错误命令模式成功OK!!!!\r\n");
    GBK_LOG(kPause, "清除下位机暂停命令模式成功OK!!!!\r\n");
    GBK_LOG(kContinue, "清除下位机继续命令模式成功OK!!!!\r\n");
    switch (mode) {
    case CmdMode::PrintStart: return {0, kPrintStart};
    case CmdMode::DataRequest: return {0, kDataRequest};
    case CmdMode::ColorBarBegin: return {10, kColorBarBegin};
    case CmdMode::SegmentBegin: return {0, kSegmentBegin};
    case CmdMode::TransferEnd: return {10, kTransferEnd};
    case CmdMode::Stop: return {0, kStop};
    case CmdMode::Checksum: return {10, kChecksum};
    case CmdMode::BadTransfer: return {10, kBadTransfer};
    case CmdMode::Pause: return {10, kPause};
    case CmdMode::Continue: return {0, kContinue};
    }
    return {0, kPrintStart};
}

}  // namespace

void ClearCommandMode(CmdMode mode)
{
    const ModeClearing clearing = Clearing(mode);
    do {
        if (StopWaiting())
            return;
        if (clearing.pauseMs > 0)
            SleepMs(clearing.pauseMs);
        UsbMCUCmdWR(kCmdClearMode);
    } while (!ReplyIs(kRplModeCleared));
    gPrinterStatus.m_nRecvCmd = kRplActedOn;
    WriteLog(clearing.logLine);
}
