// Packets on the data pipe, the checksum question and the advance of the job after a verified segment.
#include "link/usbbulk.h"

#include <bit>
#include <string>

#include "document/marquelldoc.h"
#include "link/linkwatch.h"
#include "link/printerstatus.h"
#include "link/usbcommand.h"
#include "link/workerflags.h"
#include "platform/clock.h"
#include "platform/gbk.h"
#include "platform/logwriter.h"
#include "platform/usbadapter.h"
#include "platform/windowbridge.h"

// Segments are sent in memory order, each 16-bit word low byte first.
static_assert(std::endian::native == std::endian::little, "segment words are sent in host byte order");

namespace {

constexpr int kDataPipe = 3;
constexpr int kDataTimeoutMs = 1000;
constexpr int kFillerBytes = 64512;
const uint8_t kFiller[kFillerBytes] = {};
SegmentProducer gProduceSegment;

// One data write announced with its byte count, with an optional pause between the two; false when the
// adapter rejected it.
bool WriteData(const uint8_t* p, int n, bool pauseAfterAnnounce = false, int pauseMs = 0)
{
    CUsbAdapter* pUsb = GetUsbAdapter();
    if (pUsb)
        pUsb->Ex_Vender_ScanOrPrint(0, static_cast<uint32_t>(n));
    if (pauseAfterAnnounce)
        SleepMs(pauseMs);
    // A packet taken is the plotter's answer during a transfer, which has no replies to read.
    const bool accepted = pUsb && pUsb->Ex_WriteData(kDataPipe, p, n, kDataTimeoutMs) >= 0;
    if (accepted)
        gLinkWatch.Answered();
    else
        gLinkWatch.Unanswered();
    return accepted;
}

// Writes one packet until the adapter accepts it, pausing after the write and before each repeat. The
// remainder of a segment is also paused between its announcement and its first write. Returns the number
// of repeats, or -1 when the waits had to stop first (StopWaiting).
int WriteUntilAccepted(const uint8_t* p, int n, int pauseMs, bool isRemainder)
{
    bool accepted = WriteData(p, n, isRemainder, pauseMs);
    SleepMs(pauseMs);
    int repeats = 0;
    while (!accepted) {
        if (StopWaiting())
            return -1;
        ++repeats;
        SleepMs(pauseMs);
        accepted = WriteData(p, n);
    }
    return repeats;
}

// Asks until the reply comes: 100 ms after the first request, 50 ms after each repeat; false when the waits
// had to stop.
bool RequestUntil(uint8_t code, uint8_t reply)
{
    UsbMCUCmdWR(code);
    SleepMs(100);
    while (!ReplyIs(reply)) {
        if (StopWaiting())
            return false;
        UsbMCUCmdWR(code);
        SleepMs(50);
    }
    return true;
}

bool SendJunctionCorrection(const CUserDefine& ud)
{
    GBK_LOG(kLine, "调整了来回校验值!\r\n");
    WriteLog(kLine);
    while (!(UsbMCUCmdWR(kCmdSetJunction, ud.EdLRCrcValue, ud.CrcAddorSub, 0, 0, 30) == 1 &&
             ReplyIs(kRplJunctionSet))) {
        if (StopWaiting())
            return false;
    }
    gPrinterStatus.m_EventCotrol.Bits.SetCrcVerify = 0;
    return true;
}

void ShowProgress(const CJobLayout& layout)
{
    int percent = ProgressPercent(layout.m_nSectionCursor, layout.m_nPassesPerSegment, layout.m_nSectionCount);
    gStatusText.SetText(PanePercent, std::to_string(percent) + "%");
    GetWindowBridge().RedrawStatusBar();
    GetWindowBridge().RefreshProgress();
}

bool Verified(CJobLayout& layout)
{
    CPrinterStatus& st = gPrinterStatus;
    const int passes = layout.m_nPassesPerSegment;
    GBK_LOG(kDone, "打印完毕第%d段数据,共%d段！\r\n");
    st.m_nChecksumRetries = 0;
    st.m_nLastCmd = kCmdTransferComplete;
    WriteLogF(kDone.c_str(), layout.m_nSectionCursor / passes + 1, layout.m_nSectionCount / passes);
    if (gColorBarPending) {
        gColorBarPending = false;
    } else {
        // Only this job's own advance past its last section makes it a printed copy; a cursor put at
        // the end by an abort or a No does not.
        const int before = layout.m_nSectionCursor.fetch_add(passes);
        if (before < layout.m_nSectionCount && before + passes >= layout.m_nSectionCount)
            RecordJobOutcome(EJobOutcome::PrintedWhole);
    }
    SleepMs(10);
    if (layout.m_nSectionCursor >= layout.m_nSectionCount)
        gEndOfJob = true;
    return true;
}

bool Mismatch(CJobLayout& layout)
{
    CPrinterStatus& st = gPrinterStatus;
    GBK_LOG(kGiveUp, "退出错误！\r\n");
    GBK_LOG(kRetry, "继续重试！\r\n");
    GBK_LOG(kBad, "当前打印第%d段数据出现错误！\r\n");

    if (++st.m_nChecksumRetries >= 5) {
        int answer = GetWindowBridge().MessageBox("通信不可靠，请检查USB线路! 需要继续重试，请选择YES",
                                                  kDefaultCaption, MB_YESNO, MB_ICONNONE);
        if (answer != IDYES) {
            RecordJobOutcome(EJobOutcome::RefusedAtChecksum);
            layout.m_nSectionCursor = layout.m_nSectionCount.load();
            gEndOfJob = true;
            WriteLog(kGiveUp);
            return false;
        }
        WriteLog(kRetry);
        st.m_nChecksumRetries = 1;
    }
    WriteData(kFiller, kFillerBytes);
    SleepMs(2);
    if (!RequestUntil(kCmdBadTransfer, kRplBadTransferAcked))
        return false;
    ClearCommandMode(CmdMode::BadTransfer);
    WriteLogF(kBad.c_str(), layout.m_nSectionCursor / layout.m_nPassesPerSegment + 1);
    SleepMs(10);
    return true;
}

}  // namespace

void SetSegmentProducer(SegmentProducer producer)
{
    gProduceSegment = std::move(producer);
}

int ProgressPercent(int sectionCursor, int passesPerSegment, int sectionCount)
{
    if (passesPerSegment <= 0)
        return 100;
    int segments = (sectionCount + passesPerSegment - 1) / passesPerSegment;
    if (segments <= 0)
        return 100;
    return (sectionCursor / passesPerSegment + 1) * 100 / segments;
}

bool OutDMADataToUsb(const uint8_t* pData, size_t nBytes, int packetSize, int pauseMs)
{
    if (packetSize <= 0 || nBytes == 0)
        return true;
    const size_t packet = static_cast<size_t>(packetSize);
    const size_t full = nBytes / packet;
    const size_t rest = nBytes % packet;
    for (size_t k = 0; k < full; ++k) {
        const int repeats = WriteUntilAccepted(pData + k * packet, packetSize, pauseMs, false);
        if (repeats < 0)
            return false;
        if (repeats > 0)
            WriteLogF("Error: OutDMADataToUsbAgin=%d,PackegMun=%d\r\n", repeats, static_cast<int>(k));
    }
    // Repeats of the remainder are not logged.
    return rest == 0 || WriteUntilAccepted(pData + full * packet, static_cast<int>(rest), pauseMs, true) >= 0;
}

bool OutDataToUsb()
{
    ShowProgress(gpDoc->m_Layout[SlotPrint]);
    // A job found done here (nothing to print, or the sections already used up) sends nothing: the
    // buffer still holds the previous segment, which the controller must not print twice.
    if (!gProduceSegment || !gProduceSegment())
        gEndOfJob = true;
    return TransferSegment();
}

bool TransferSegment()
{
    if (gEndOfJob)
        return true;
    CPrinterStatus& st = gPrinterStatus;
    CMarquellDoc& doc = *gpDoc;
    CJobLayout& layout = doc.m_Layout[SlotPrint];
    const CUserDefine& ud = doc.m_UserDefine;

    if (st.m_EventCotrol.Bits.SetCrcVerify && !SendJunctionCorrection(ud))
        return false;

    GBK_LOG(kToLogic, "向逻辑发送DMA数据!!!!\r\n");
    GBK_LOG(kRun, "执行OutDataToUsb()!!!!\r\n");
    GBK_LOG(kSums, "PC自己计算的校验和:%08X,收到的DMA校验和:%08X, DRAM校验和:%08X！！\r\n");
    WriteLog(kToLogic);
    st.m_bSendData = true;
    gStatusText.SetText(PaneTask, "Plotting");
    WriteLog(kRun);

    const CPltS4C4PrintData& data = doc.m_PrintData[SlotPrint];
    const size_t words = data.m_pSegment && layout.m_nSentWords > 0 ? static_cast<size_t>(layout.m_nSentWords) : 0;
    if (!OutDMADataToUsb(reinterpret_cast<const uint8_t*>(data.m_pSegment), 2 * words, ud.USBPACKAGESIZE,
                         ud.USBTIMEOUT))
        return false;

    const int passes = layout.m_nPassesPerSegment;
    WriteLogF("OutDataToUsb()--End %d Of %d--\r\n", layout.m_nSectionCursor / passes + 1,
              layout.m_nSectionCount / passes);
    if (!RequestUntil(kCmdReportChecksums, kRplChecksums))
        return false;
    ClearCommandMode(CmdMode::Checksum);
    if (StopWaiting())
        return false;

    const uint32_t mine = data.m_nChecksum;
    const uint32_t dram = st.m_dwDramChecksum;
    WriteLogF(kSums.c_str(), mine, st.m_dwDmaChecksum.load(), dram);
    return dram == mine ? Verified(layout) : Mismatch(layout);
}
