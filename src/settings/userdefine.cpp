// Settings record: construction values and the formulas of the derived fields.
#include "settings/userdefine.h"

#include <climits>

namespace {

const char kXaarText[] = "XAAR128PlusJetPrintHead";
const char kHp45Text[] = "HP45JetPrintHead";
const char kNoHeadText[] = "JetPrintHeadNull";

// Products of settings are formed in 64 bits so that no file value can overflow them.
int32_t ClampToInt(int64_t v)
{
    return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int32_t>(v);
}

} // namespace

CUserDefine::CUserDefine() = default;

uint8_t CUserDefine::HeadModelCode(const std::string& text)
{
    if (text == kXaarText)
        return 1;
    if (text == kHp45Text)
        return 2;
    return 0;
}

const char* CUserDefine::HeadModelText(uint8_t code)
{
    return code == 1 ? kXaarText : code == 2 ? kHp45Text : kNoHeadText;
}

void CUserDefine::UpdateRatios()
{
    m_fRatioX = XSCALE_T / XSCALE_R;
    m_fRatioY = YSCALE_T / YSCALE_R;
}

void CUserDefine::UpdateDotsPerUnitX()
{
    m_fDotsPerUnitX = DPINumPerM * m_fMmPerUnit / 1000;
}

void CUserDefine::UpdateHeadTotals()
{
    m_nNozzlesPerHead = Print_Line == 2 ? 150 : 128;
    m_nSlotsPerHead = Print_Line == 2 ? 154 : 128;
    m_nTotalNozzles = JetPrintHead * m_nNozzlesPerHead;
    m_nTotalSlots = JetPrintHead * m_nSlotsPerHead;
}

void CUserDefine::UpdateStepTotal()
{
    m_nStepTotal = ClampToInt(int64_t{JetPrintHead} * EdStepB);
}

void CUserDefine::UpdateRowsPerUnitY()
{
    m_fRowsPerUnitY = m_nTotalNozzles / (m_nUnitsPerMm * EdLineSection * JetPrintHead);
}

void CUserDefine::UpdateLeftDots(int32_t wholeMm)
{
    m_nLeftDots = ClampToInt(int64_t{wholeMm} * DPINumPerM / 1000);
}
