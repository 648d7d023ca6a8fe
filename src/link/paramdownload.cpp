// The parameter commands 0x01, 0x03, 0x07, 0x05, 0x09 and 0xB4 with their acknowledgements.
#include "link/paramdownload.h"

#include "document/marquelldoc.h"
#include "link/printerstatus.h"
#include "link/usbcommand.h"
#include "platform/logwriter.h"
#include "link/workerflags.h"

namespace {

// Repeats the command until it returns 1 with the awaited reply; false when the program is closing.
bool Acknowledged(uint8_t code, int a, int b, uint8_t reply)
{
    while (!(UsbMCUCmdWR(code, a, b, 0, 0, 30) == 1 && ReplyIs(reply))) {
        if (gExitWorker)
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

    if (!Download(bits.SetXMin, "gPrinterStatus.m_EventCotrol.Bits.SetXMin==1\r\n", 0x01, layout.m_nLeftDots, 0,
                  0x02) ||
        !Download(bits.SetXMax, "gPrinterStatus.m_EventCotrol.Bits.SetXMax==1\r\n", 0x03, layout.m_nRightDots, 0,
                  0x04) ||
        !Download(bits.SetYStepLen, "gPrinterStatus.m_EventCotrol.Bits.SetYStepLen==1\r\n", 0x07,
                  layout.m_nStepTotal, 0, 0x08) ||
        !Download(bits.SetCrcVerify, "gPrinterStatus.m_EventCotrol.Bits.SetCrcVerify==1\r\n", 0x05,
                  ud.EdLRCrcValue, ud.CrcAddorSub, 0x06) ||
        !Download(bits.SetMMPer1000Dpi, "gPrinterStatus.m_EventCotrol.Bits.SetMMPer1000Dpi==1\r\n", 0x09,
                  ud.DPINumPerM, 0, 0x0A))
        return;

    gColorBarPending = true;

    if (ud.ENSPEED)
        Download(bits.SetSpeed, "gPrinterStatus.m_EventCotrol.Bits.SetSpeed==1\r\n", 0xB4, ud.UCSPEED, 0, 0xB5);
}
