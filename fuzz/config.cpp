// Fuzz target: config.ini as the bytes give it is loaded, saved over itself and loaded again. The
// second record must be the first as the file keeps it, and a second save must change nothing.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "fuzzsupport.h"
#include "platform/privateprofile.h"
#include "settings/configstore.h"
#include "settings/userdefine.h"

namespace {

// How a field compares: exactly, or by the text Save writes for it (decimals).
class CRecordCompare {
public:
    explicit CRecordCompare(bool bExact) : m_bExact(bExact) {}

    template <typename T>
    void Same(const char* name, const T& a, const T& b)
    {
        if (!(a == b))
            Fail(name);
    }
    void Floats(const char* name, float a, float b)
    {
        if (std::memcmp(&a, &b, sizeof a) != 0)
            Fail(name);
    }
    // A value the file holds with `decimals` decimals.
    void Written(const char* name, float a, float b, int decimals)
    {
        if (m_bExact)
            Floats(name, a, b);
        else if (ProfileFormatFixed(a, decimals) != ProfileFormatFixed(b, decimals))
            Fail(name);
    }
    // A value derived from written ones: comparable once they came through unchanged.
    void Derived(const char* name, float a, float b, bool bInputsSame)
    {
        if (m_bExact || bInputsSame)
            Floats(name, a, b);
    }

private:
    [[noreturn]] void Fail(const char* name)
    {
        std::fprintf(stderr, "config: %s differs after %s\n", name, m_bExact ? "the second save" : "save and load");
        std::abort();
    }
    bool m_bExact;
};

bool SameBits(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void CompareRecords(const CUserDefine& a, const CUserDefine& b, bool bExact)
{
    CRecordCompare c(bExact);
    c.Same("Print_Line", a.Print_Line, b.Print_Line);
    c.Same("JetPrintHead", a.JetPrintHead, b.JetPrintHead);
    c.Same("CrcAddorSub", a.CrcAddorSub, b.CrcAddorSub);
    c.Same("m_nNozzlesPerHead", a.m_nNozzlesPerHead, b.m_nNozzlesPerHead);
    c.Same("m_nTotalNozzles", a.m_nTotalNozzles, b.m_nTotalNozzles);
    c.Same("m_nSlotsPerHead", a.m_nSlotsPerHead, b.m_nSlotsPerHead);
    c.Same("m_nTotalSlots", a.m_nTotalSlots, b.m_nTotalSlots);
    for (int i = 0; i < 8; ++i) {
        c.Same("JetPrintHeadOpenStatus", a.JetPrintHeadOpenStatus[i], b.JetPrintHeadOpenStatus[i]);
        c.Same("JetPrintHeadValueX", a.JetPrintHeadValueX[i], b.JetPrintHeadValueX[i]);
        c.Same("JetPrintHeadValueY", a.JetPrintHeadValueY[i], b.JetPrintHeadValueY[i]);
    }
    c.Same("SpeedH", a.SpeedH, b.SpeedH);
    c.Same("SpeedM", a.SpeedM, b.SpeedM);
    c.Same("SpeedL", a.SpeedL, b.SpeedL);
    c.Written("XSCALE_T", a.XSCALE_T, b.XSCALE_T, 4);
    c.Written("YSCALE_T", a.YSCALE_T, b.YSCALE_T, 4);
    c.Written("XSCALE_R", a.XSCALE_R, b.XSCALE_R, 4);
    c.Written("YSCALE_R", a.YSCALE_R, b.YSCALE_R, 4);
    c.Derived("m_fRatioX", a.m_fRatioX, b.m_fRatioX,
              SameBits(a.XSCALE_T, b.XSCALE_T) && SameBits(a.XSCALE_R, b.XSCALE_R));
    c.Derived("m_fRatioY", a.m_fRatioY, b.m_fRatioY,
              SameBits(a.YSCALE_T, b.YSCALE_T) && SameBits(a.YSCALE_R, b.YSCALE_R));
    c.Same("WORKPATH", a.WORKPATH, b.WORKPATH);
    c.Same("DPINumPerM", a.DPINumPerM, b.DPINumPerM);
    c.Floats("m_fDotsPerUnitX", a.m_fDotsPerUnitX, b.m_fDotsPerUnitX);
    c.Derived("m_fRowsPerUnitY", a.m_fRowsPerUnitY, b.m_fRowsPerUnitY, SameBits(a.EdLineSection, b.EdLineSection));
    c.Same("EdStepB", a.EdStepB, b.EdStepB);
    c.Same("m_nStepTotal", a.m_nStepTotal, b.m_nStepTotal);
    c.Same("EdLRCrcValue", a.EdLRCrcValue, b.EdLRCrcValue);
    c.Same("m_nLeftDots", a.m_nLeftDots, b.m_nLeftDots);
    c.Written("EdLeftValue", a.EdLeftValue, b.EdLeftValue, 6);
    c.Same("EdJumpValue", a.EdJumpValue, b.EdJumpValue);
    c.Written("EdLineSection", a.EdLineSection, b.EdLineSection, 4);
    c.Same("ELineWidth", a.ELineWidth, b.ELineWidth);
    c.Same("PRINTROTATION90", a.PRINTROTATION90, b.PRINTROTATION90);
    c.Same("PRINTMIRROR", a.PRINTMIRROR, b.PRINTMIRROR);
    c.Same("PRINTAUTO", a.PRINTAUTO, b.PRINTAUTO);
    c.Same("PRINTROTATION90_CLOCKWISE", a.PRINTROTATION90_CLOCKWISE, b.PRINTROTATION90_CLOCKWISE);
    c.Same("PRINTROTATION90_UNCLOCKWISE", a.PRINTROTATION90_UNCLOCKWISE, b.PRINTROTATION90_UNCLOCKWISE);
    c.Same("WashBegin", a.WashBegin, b.WashBegin);
    c.Same("WashEnd", a.WashEnd, b.WashEnd);
    c.Same("WashCnt", a.WashCnt, b.WashCnt);
    c.Same("WashFreq", a.WashFreq, b.WashFreq);
    c.Same("FlashJetPOS", a.FlashJetPOS, b.FlashJetPOS);
    c.Same("FlashJetTime", a.FlashJetTime, b.FlashJetTime);
    c.Same("WashPass", a.WashPass, b.WashPass);
    c.Same("WaitPos", a.WaitPos, b.WaitPos);
    c.Same("WashEnable", a.WashEnable, b.WashEnable);
    c.Written("MAXWIDTH", a.MAXWIDTH, b.MAXWIDTH, 1);
    c.Same("USBPACKAGESIZE", a.USBPACKAGESIZE, b.USBPACKAGESIZE);
    c.Same("USBTIMEOUT", a.USBTIMEOUT, b.USBTIMEOUT);
    c.Same("JETPRINTHEADWIDTH", a.JETPRINTHEADWIDTH, b.JETPRINTHEADWIDTH);
    c.Same("DATACOMPRESS", a.DATACOMPRESS, b.DATACOMPRESS);
    c.Same("PLTFONTSIZE", a.PLTFONTSIZE, b.PLTFONTSIZE);
    c.Same("UCSPEED", a.UCSPEED, b.UCSPEED);
    c.Same("ENSPEED", a.ENSPEED, b.ENSPEED);
    // [LINK] is never written, so it must read as before.
    const CLinkSettings& la = a.m_Link;
    const CLinkSettings& lb = b.m_Link;
    c.Same("DEVICE", la.DEVICE, lb.DEVICE);
    c.Same("PAGEDIR", la.PAGEDIR, lb.PAGEDIR);
    c.Same("USBVENDORID", la.USBVENDORID, lb.USBVENDORID);
    c.Same("USBPRODUCTID", la.USBPRODUCTID, lb.USBPRODUCTID);
    c.Same("USBINTERFACE", la.USBINTERFACE, lb.USBINTERFACE);
    c.Same("USBSTATUSREQUEST", la.USBSTATUSREQUEST, lb.USBSTATUSREQUEST);
    c.Same("USBSCANPRINTREQUEST", la.USBSCANPRINTREQUEST, lb.USBSCANPRINTREQUEST);
    c.Same("USBPIPE0", la.USBPIPE0, lb.USBPIPE0);
    c.Same("USBPIPE1", la.USBPIPE1, lb.USBPIPE1);
    c.Same("USBPIPE3", la.USBPIPE3, lb.USBPIPE3);
}

std::string ReadWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = (FuzzScratchDir() / "config.ini").string();
    WriteFuzzFile(path, data, size);

    CUserDefine first;
    CConfigStore::Load(first, path);
    CConfigStore::Save(first, path);
    CUserDefine second;
    CConfigStore::Load(second, path);
    CompareRecords(first, second, false);

    // What the second load found is exactly what the file holds: saving it again is no change.
    const std::string saved = ReadWhole(path);
    CConfigStore::Save(second, path);
    FUZZ_CHECK(ReadWhole(path) == saved);
    CUserDefine third;
    CConfigStore::Load(third, path);
    CompareRecords(second, third, true);
    return 0;
}
