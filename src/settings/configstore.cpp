// config.ini load and save: the key table, the read rules and the fixed write order.
#include "settings/configstore.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/floatindex.h"
#include "platform/privateprofile.h"
#include "settings/userdefine.h"

namespace {

// Text read the way a 100-byte buffer holds it: at most 99 characters.
std::string ReadText(const CPrivateProfile& ini, const char* section, const char* key, const char* def)
{
    return ini.GetString(section, key, def, 100);
}

int ReadTextInt(const CPrivateProfile& ini, const char* section, const char* key, const char* def)
{
    return ProfileAtoi(ReadText(ini, section, key, def));
}

float ReadTextFloat(const CPrivateProfile& ini, const char* section, const char* key, const char* def)
{
    return ProfileAtof(ReadText(ini, section, key, def));
}

// A zero measured length would divide by zero; it means "not calibrated", as in the Settings dialog.
// So does a length too small for the four decimals the file keeps: saved, it would come back as zero.
float ReadScaleLength(const CPrivateProfile& ini, const char* key)
{
    float v = ReadTextFloat(ini, "CTRPARAM", key, "1");
    return ProfileAtof(ProfileFormatFixed(v, 4)) == 0.0f ? 1.0f : v;
}

void LoadScales(CUserDefine& ud, const CPrivateProfile& ini)
{
    ud.XSCALE_T = ReadTextFloat(ini, "CTRPARAM", "XSCALE_T", "1");
    ud.YSCALE_T = ReadTextFloat(ini, "CTRPARAM", "YSCALE_T", "1");
    ud.XSCALE_R = ReadScaleLength(ini, "XSCALE_R");
    ud.YSCALE_R = ReadScaleLength(ini, "YSCALE_R");
    ud.UpdateRatios();
    // A measured length so small that the ratio overflows is no calibration either.
    if (!std::isfinite(ud.m_fRatioX))
        ud.XSCALE_R = 1.0f;
    if (!std::isfinite(ud.m_fRatioY))
        ud.YSCALE_R = 1.0f;
    ud.UpdateRatios();
}

void LoadHeads(CUserDefine& ud, const CPrivateProfile& ini)
{
    ud.JetPrintHead = static_cast<uint8_t>(ini.GetInt("CTRPARAM", "JetPrintHead", 1));
    if (ud.JetPrintHead < 1 || ud.JetPrintHead > 4)
        ud.JetPrintHead = 1;
    ud.CrcAddorSub = static_cast<uint8_t>(ini.GetInt("CTRPARAM", "CrcAddorSub", 1));
    ud.Print_Line = CUserDefine::HeadModelCode(ReadText(ini, "CTRPARAM", "Print_Line", "HP45JetPrintHead"));
    ud.UpdateHeadTotals();
}

// The band one head prints must be at least one plotter unit high, and its height in units must
// stay an int for four heads.
float ReadLineSection(const CPrivateProfile& ini)
{
    float v = ReadTextFloat(ini, "CTRPARAM", "EdLineSection", "17.45");
    return v >= 0.025f && v <= 1000000.0f ? v : 17.45f;
}

void LoadHeadColumns(CUserDefine& ud, const CPrivateProfile& ini)
{
    char key[48];
    for (int i = 0; i < 8; ++i) {
        std::snprintf(key, sizeof key, "JetPrintHeadOpenStatus%d", i);
        ud.JetPrintHeadOpenStatus[i] = ini.GetInt("JetPrintHeadOpenStatus", key, 0);
        std::snprintf(key, sizeof key, "JetPrintHeadValueX%d", i);
        ud.JetPrintHeadValueX[i] = ini.GetInt("JetPrintHeadValueX", key, 0);
        std::snprintf(key, sizeof key, "JetPrintHeadValueY%d", i);
        ud.JetPrintHeadValueY[i] = ini.GetInt("JetPrintHeadValueY", key, 0);
    }
}

void LoadAutoWash(CUserDefine& ud, const CPrivateProfile& ini)
{
    ud.FlashJetPOS = ini.GetInt("AutoWash", "FlashJetPOS", 0);
    ud.FlashJetTime = ini.GetInt("AutoWash", "FlashJetTime", 0);
    ud.WashBegin = ini.GetInt("AutoWash", "WashBegin", 0);
    ud.WashEnd = ini.GetInt("AutoWash", "WashEnd", 0);
    ud.WashCnt = ini.GetInt("AutoWash", "WashCnt", 0);
    ud.WashFreq = ini.GetInt("AutoWash", "WashFreq", 0);
    ud.WashPass = ini.GetInt("AutoWash", "WashPass", 0);
    ud.WashEnable = ini.GetInt("AutoWash", "WashEnable", 0);
    ud.WaitPos = ini.GetInt("AutoWash", "WaitPos", 0);
}

// Board numbers as lsusb shows them: hexadecimal with 0x, or decimal. Anything else, or a value
// beyond max, keeps the default.
int32_t ReadLinkNumber(const CPrivateProfile& ini, const char* key, int32_t def, long max)
{
    const std::string* pText = ini.Find("LINK", key);
    if (!pText || pText->empty())
        return def;
    const char* pStart = pText->c_str();
    bool bHex = pStart[0] == '0' && (pStart[1] == 'x' || pStart[1] == 'X');
    char* pEnd = nullptr;
    long v = std::strtol(pStart, &pEnd, bHex ? 16 : 10);
    return *pEnd == '\0' && v >= 0 && v <= max ? static_cast<int32_t>(v) : def;
}

// Tessaline's own section: one line per key. Paths get a buffer of their own size, not 100 bytes.
void LoadLink(CLinkSettings& link, const CPrivateProfile& ini)
{
    link.DEVICE = ini.GetString("LINK", "DEVICE", "USB", 1024);
    link.PAGEDIR = ini.GetString("LINK", "PAGEDIR", "", 1024);
    link.USBVENDORID = ReadLinkNumber(ini, "USBVENDORID", link.USBVENDORID, 0xFFFF);
    link.USBPRODUCTID = ReadLinkNumber(ini, "USBPRODUCTID", link.USBPRODUCTID, 0xFFFF);
    link.USBINTERFACE = ReadLinkNumber(ini, "USBINTERFACE", link.USBINTERFACE, 0xFF);
    link.USBSTATUSREQUEST = ReadLinkNumber(ini, "USBSTATUSREQUEST", link.USBSTATUSREQUEST, 0xFF);
    link.USBSCANPRINTREQUEST = ReadLinkNumber(ini, "USBSCANPRINTREQUEST", link.USBSCANPRINTREQUEST, 0xFF);
    link.USBPIPE0 = ReadLinkNumber(ini, "USBPIPE0", link.USBPIPE0, 0xFF);
    link.USBPIPE1 = ReadLinkNumber(ini, "USBPIPE1", link.USBPIPE1, 0xFF);
    link.USBPIPE3 = ReadLinkNumber(ini, "USBPIPE3", link.USBPIPE3, 0xFF);
}

void LoadUi(CUiSettings& ui, const CPrivateProfile& ini)
{
    ui.LANGUAGE = ini.GetString("UI", "LANGUAGE", "", 64);
}

// One write per key, formatted as the file keeps it. The order of the calls matters: a first save
// into a missing file lays out its sections by it.
class CWriter {
public:
    explicit CWriter(CPrivateProfile& ini) : m_ini(ini) {}
    void Text(const char* section, const char* key, const std::string& text) { m_ini.WriteString(section, key, text); }
    void Int(const char* section, const char* key, long v) { Text(section, key, std::to_string(v)); }
    // As "%0.*f" with the given decimals: 4 for scales and line section, 6 for the margin, 1 for widths.
    void Fixed(const char* section, const char* key, int decimals, float v)
    {
        Text(section, key, ProfileFormatFixed(v, decimals));
    }

private:
    CPrivateProfile& m_ini;
};

void SaveControl(const CUserDefine& ud, CWriter& w)
{
    w.Fixed("CTRPARAM", "XSCALE_T", 4, ud.XSCALE_T);
    w.Fixed("CTRPARAM", "YSCALE_T", 4, ud.YSCALE_T);
    w.Fixed("CTRPARAM", "XSCALE_R", 4, ud.XSCALE_R);
    w.Fixed("CTRPARAM", "YSCALE_R", 4, ud.YSCALE_R);
    w.Int("CTRPARAM", "DPINumPerM", ud.DPINumPerM);
    w.Int("CTRPARAM", "SpeedL", ud.SpeedL);
    w.Int("CTRPARAM", "SpeedM", ud.SpeedM);
    w.Int("CTRPARAM", "SpeedH", ud.SpeedH);
    w.Int("CTRPARAM", "JetPrintHead", ud.JetPrintHead);
    w.Int("CTRPARAM", "CrcAddorSub", ud.CrcAddorSub);
    w.Text("CTRPARAM", "Print_Line", CUserDefine::HeadModelText(ud.Print_Line));
    w.Int("CTRPARAM", "EdStepB", ud.EdStepB);
    w.Int("CTRPARAM", "EdLRCrcValue", ud.EdLRCrcValue);
    w.Fixed("CTRPARAM", "EdLeftValue", 6, ud.EdLeftValue);
    w.Int("CTRPARAM", "EdJumpValue", ud.EdJumpValue);
    w.Fixed("CTRPARAM", "EdLineSection", 4, ud.EdLineSection);
    w.Int("CTRPARAM", "ELineWidth", ud.ELineWidth);
}

void SaveHeadColumns(const CUserDefine& ud, CWriter& w)
{
    char key[48];
    for (int i = 0; i < 8; ++i) {
        std::snprintf(key, sizeof key, "JetPrintHeadOpenStatus%d", i);
        w.Int("JetPrintHeadOpenStatus", key, ud.JetPrintHeadOpenStatus[i]);
        std::snprintf(key, sizeof key, "JetPrintHeadValueX%d", i);
        w.Int("JetPrintHeadValueX", key, ud.JetPrintHeadValueX[i]);
        std::snprintf(key, sizeof key, "JetPrintHeadValueY%d", i);
        w.Int("JetPrintHeadValueY", key, ud.JetPrintHeadValueY[i]);
    }
}

void SaveAutoWash(const CUserDefine& ud, CWriter& w)
{
    w.Int("AutoWash", "FlashJetPOS", ud.FlashJetPOS);
    w.Int("AutoWash", "FlashJetTime", ud.FlashJetTime);
    w.Int("AutoWash", "WashBegin", ud.WashBegin);
    w.Int("AutoWash", "WashEnd", ud.WashEnd);
    w.Int("AutoWash", "WashCnt", ud.WashCnt);
    w.Int("AutoWash", "WashFreq", ud.WashFreq);
    w.Int("AutoWash", "WashEnable", ud.WashEnable);
    w.Int("AutoWash", "WashPass", ud.WashPass);
    w.Int("AutoWash", "WaitPos", ud.WaitPos);
}

} // namespace

namespace {

// Why a config.ini read gives only defaults, or empty.
std::string LoadProblem(const CPrivateProfile& ini)
{
    if (!ini.Error().empty())
        return ini.Error();
    if (!ini.Exists())
        return std::string();
    for (const char* section : {"PRINT", "PATH", "CTRPARAM", "JetPrintHeadOpenStatus", "LINK", "UI"})
        if (ini.HasSection(section))
            return std::string();
    return "it holds none of the settings";
}

}  // namespace

bool CConfigStore::Load(CUserDefine& ud, const std::string& iniPath, const std::string& defaultTaskFolder,
                        std::string* pProblem)
{
    const CPrivateProfile ini(iniPath);
    const std::string problem = LoadProblem(ini);
    if (pProblem)
        *pProblem = problem;

    ud.PRINTAUTO = ini.GetInt("PRINT", "PRINTAUTO", 0) != 0;
    ud.PRINTMIRROR = ini.GetInt("PRINT", "PRINTMIRROR", 0) != 0;
    ud.PRINTROTATION90 = ini.GetInt("PRINT", "PRINTROTATION90", 0) != 0;
    ud.PRINTROTATION90_CLOCKWISE = ini.GetInt("PRINT", "PRINTROTATION90_CLOCKWISE", 1) != 0;
    ud.PRINTROTATION90_UNCLOCKWISE = ini.GetInt("PRINT", "PRINTROTATION90_UNCLOCKWISE", 0) != 0;

    // "C:\" names no folder here: the task folder defaults to the layout's (else "tasks" beside
    // config.ini). An empty value would make the task list scan (and delete printed files from) the
    // file system root. The whole path: one cut to a fixed buffer would send printing to another folder.
    ud.WORKPATH = ini.GetString("PATH", "WORKPATH", "", kMaxWorkPath + 1);
    if (ud.WORKPATH.empty())
        ud.WORKPATH = !defaultTaskFolder.empty()
                          ? defaultTaskFolder
                          : (std::filesystem::path(iniPath).parent_path() / "tasks").generic_string();

    LoadScales(ud, ini);

    ud.DPINumPerM = ini.GetInt("CTRPARAM", "DPINumPerM", 6653);
    if (ud.DPINumPerM <= 1005)
        ud.DPINumPerM = 6653;
    ud.UpdateDotsPerUnitX();

    LoadHeads(ud, ini);

    ud.EdStepB = ReadTextInt(ini, "CTRPARAM", "EdStepB", "1096");
    ud.UpdateStepTotal();
    ud.EdLRCrcValue = ReadTextInt(ini, "CTRPARAM", "EdLRCrcValue", "0");

    // The dots come from the whole millimetres of the margin as read, not from the digits before the
    // point: "1e3" or "99999E99" would otherwise send a margin the record does not hold, and a Save
    // would change it.
    ud.EdLeftValue = ReadTextFloat(ini, "CTRPARAM", "EdLeftValue", "300");
    ud.UpdateLeftDots(TruncToInt(ud.EdLeftValue));

    ud.EdJumpValue = ReadTextInt(ini, "CTRPARAM", "EdJumpValue", "0");
    ud.EdLineSection = ReadLineSection(ini);
    ud.ELineWidth = ReadTextInt(ini, "CTRPARAM", "ELineWidth", "2");
    ud.SpeedL = ini.GetInt("CTRPARAM", "SpeedL", 0);
    ud.SpeedM = ini.GetInt("CTRPARAM", "SpeedM", 0);
    ud.SpeedH = ini.GetInt("CTRPARAM", "SpeedH", 0);
    ud.UpdateRowsPerUnitY();

    LoadHeadColumns(ud, ini);
    LoadAutoWash(ud, ini);

    ud.MAXWIDTH = ReadTextFloat(ini, "PRINT", "MAXWIDTH", "180.0");
    ud.USBPACKAGESIZE = ReadTextInt(ini, "PRINT", "USBPACKAGESIZE", "64512");
    ud.USBTIMEOUT = ReadTextInt(ini, "PRINT", "USBTIMEOUT", "25");
    ud.JETPRINTHEADWIDTH = ReadTextInt(ini, "PRINT", "JETPRINTHEADWIDTH", "29");
    ud.DATACOMPRESS = false;  // compression is never switched on from the file
    ud.PLTFONTSIZE = ReadTextInt(ini, "PRINT", "PLTFONTSIZE", "144");
    ud.UCSPEED = ini.GetInt("PRINT", "UCSPEED", 0);
    ud.ENSPEED = ini.GetInt("PRINT", "ENSPEED", 0) == 1;

    LoadLink(ud.m_Link, ini);
    LoadUi(ud.m_Ui, ini);
    return problem.empty();
}

bool CConfigStore::Save(const CUserDefine& ud, const std::string& iniPath, std::string* pProblem)
{
    CPrivateProfile ini(iniPath);
    CWriter w(ini);

    w.Int("PRINT", "PRINTAUTO", ud.PRINTAUTO);
    w.Int("PRINT", "PRINTMIRROR", ud.PRINTMIRROR);
    w.Int("PRINT", "PRINTROTATION90", ud.PRINTROTATION90);
    w.Int("PRINT", "PRINTROTATION90_CLOCKWISE", ud.PRINTROTATION90_CLOCKWISE);
    w.Int("PRINT", "PRINTROTATION90_UNCLOCKWISE", ud.PRINTROTATION90_UNCLOCKWISE);
    w.Text("PATH", "WORKPATH", ProfileQuote(ud.WORKPATH));
    SaveControl(ud, w);
    SaveHeadColumns(ud, w);
    SaveAutoWash(ud, w);
    w.Fixed("PRINT", "MAXWIDTH", 1, ud.MAXWIDTH);
    w.Int("PRINT", "USBPACKAGESIZE", ud.USBPACKAGESIZE);
    w.Int("PRINT", "USBTIMEOUT", ud.USBTIMEOUT);
    w.Int("PRINT", "JETPRINTHEADWIDTH", ud.JETPRINTHEADWIDTH);
    w.Int("PRINT", "DATACOMPRESS", ud.DATACOMPRESS);
    w.Int("PRINT", "PLTFONTSIZE", ud.PLTFONTSIZE);
    w.Int("PRINT", "UCSPEED", ud.UCSPEED);
    w.Int("PRINT", "ENSPEED", ud.ENSPEED);

    const bool written = ini.Flush();
    if (pProblem)
        *pProblem = written ? std::string() : ini.Error();
    return written;
}
