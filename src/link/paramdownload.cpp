// The job parameters sent to the controller before each job, each with its acknowledgement.
#include "link/paramdownload.h"

#include "document/marquelldoc.h"
#include "link/linkwatch.h"
#include "link/printerstatus.h"
#include "link/usbcommand.h"
#include "link/workerflags.h"
#include "platform/logwriter.h"

namespace {

// Repeats the command until it returns 1 with the awaited reply; false when the waits had to stop.
bool Acknowledged(uint8_t code, int a, int b, uint8_t reply)
{
    while (!(UsbMCUCmdWR(code, a, b, 0, 0, 30) == 1 && ReplyIs(reply))) {
        if (StopWaiting())
            return false;
    }
    return true;
}

template <int N>
bool Download(CEventControl::CBit<N>& bit, const char* logLine, uint8_t code, int a, int b, uint8_t reply)
{
    if (!bit)
        return true;
    WriteLog(logLine);
    if (!Acknowledged(code, a, b, reply))
        return false;
    bit = 0;
    return true;
}

}  // namespace

void CheckEventCotrolAndProc()
{
    CEventControl::CBits& bits = gPrinterStatus.m_EventCotrol.Bits;
    const CJobLayout& layout = gpDoc->m_Layout[SlotPrint];
    const CUserDefine& ud = gpDoc->m_UserDefine;

    if (!Download(bits.SetXMin, "gPrinterStatus.m_EventCotrol.Bits.SetXMin==1\r\n", kCmdSetXMin, layout.m_nLeftDots,
                  0, kRplXMinSet) ||
        !Download(bits.SetXMax, "gPrinterStatus.m_EventCotrol.Bits.SetXMax==1\r\n", kCmdSetXMax, layout.m_nRightDots,
                  0, kRplXMaxSet) ||
        !Download(bits.SetYStepLen, "gPrinterStatus.m_EventCotrol.Bits.SetYStepLen==1\r\n", kCmdSetYStep,
                  layout.m_nStepTotal, 0, kRplYStepSet) ||
        !Download(bits.SetCrcVerify, "gPrinterStatus.m_EventCotrol.Bits.SetCrcVerify==1\r\n", kCmdSetJunction,
                  ud.EdLRCrcValue, ud.CrcAddorSub, kRplJunctionSet) ||
        !Download(bits.SetMMPer1000Dpi, "gPrinterStatus.m_EventCotrol.Bits.SetMMPer1000Dpi==1\r\n", kCmdSetResolution,
                  ud.DPINumPerM, 0, kRplResolutionSet))
        return;

    gColorBarPending = true;

    if (ud.ENSPEED)
        Download(bits.SetSpeed, "gPrinterStatus.m_EventCotrol.Bits.SetSpeed==1\r\n", kCmdSetSpeed, ud.UCSPEED, 0,
                 kRplSpeedSet);
}
