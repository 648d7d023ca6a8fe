// Head layout of one job slot: band height, section count, pass mode, print geometry, active heads.
#include "printdata/joblayout.h"

#include <algorithm>
#include <cstdint>

#include "platform/floatindex.h"
#include "platform/windowbridge.h"
#include "plot/pltfiledata.h"
#include "settings/userdefine.h"

const char* const kHeadConfigMessage = "喷头配置有误，请检查！";
const char* const kPrintSizeMessage = "打印数据尺寸超出范围，无法打印！";

namespace {

bool Open(const CUserDefine& ud, int i)
{
    return ud.JetPrintHeadOpenStatus[i] == 1;
}

// Smallest multiple of 4 not below bands + 8, in the controller's own steps.
int64_t SectionsFor(int64_t bands)
{
    int64_t n = bands + (bands % 2 == 0 ? 8 : 9);
    if (n % 4 != 0)
        n += 2;
    return n;
}

}  // namespace

void CJobLayout::Reset()
{
    m_nBandHeight = 0;
    m_nSectionCount = 0;
    m_nLineCount = 0;
    m_fMaxX = m_fMaxY = m_fWidthM = m_fLengthM = 0.0f;
    m_nWidthDots = m_nLengthDots = 0;
    m_nAskedRightDots = 0;
    m_nRowBytes = 0;
    m_nSlotsPerHead = 0;
    m_nColumns = 0;
    m_nSegmentWords = 0;
    m_nSectionCursor = 0;
    m_nLeftDots = m_nRightDots = 400;
    m_nStepTotal = 1;
}

void CJobLayout::Setup(CUserDefine* pSettings, PltInfo& info)
{
    CUserDefine& ud = *pSettings;
    m_pSettings = pSettings;
    m_nNozzlesPerHead = ud.m_nNozzlesPerHead;

    m_nLineCount = static_cast<int>(std::min<uint32_t>(info.m_nLineCount, INT_MAX));
    m_fMaxX = info.m_fMaxX;
    m_fMaxY = info.m_fMaxY;
    m_fWidthM = info.m_fWidthM;
    m_fLengthM = info.m_fLengthM;

    m_nWidthDots = TruncToInt(m_fMaxX * ud.m_fMmPerUnit * ud.DPINumPerM / 1000);
    m_nLengthDots = TruncToInt(m_fMaxY * ud.m_fMmPerUnit * ud.DPINumPerM / 1000);

    m_nBandHeight = TruncToInt(ud.m_nUnitsPerMm * ud.EdLineSection * ud.JetPrintHead);

    // A zero band height is reported by the sections; here it only must not divide.
    int64_t bands = 0;
    if (m_nBandHeight > 0) {
        float top = m_nBandHeight + m_fMaxY - 1;
        bands = std::clamp<int64_t>(TruncToInt64(top) / m_nBandHeight, 0, INT_MAX);
    }
    // A count beyond the int range saturates; Finalize refuses it with the other oversized counts.
    m_nSectionCount = static_cast<int>(std::min<int64_t>(SectionsFor(bands), INT_MAX - 3));

    ud.m_bFourPass = ud.JetPrintHead < 3;
    m_nPassesPerSegment = ud.m_bFourPass ? 4 : 2;

    ud.m_nHeadPairCode = 0;
    if (ud.m_bFourPass) {
        ud.m_nHeadPairCode = PairCode();
        if (ud.m_nHeadPairCode == 0)
            ShowMessage(kHeadConfigMessage);
    }
}

int CJobLayout::SegmentCount() const
{
    return m_nPassesPerSegment > 0 ? (m_nSectionCount + m_nPassesPerSegment - 1) / m_nPassesPerSegment : 0;
}

int CJobLayout::PairCode() const
{
    const CUserDefine& ud = *m_pSettings;
    int heads = ud.m_nNozzlesPerHead > 0 ? ud.JetPrintHead * ud.m_nSlotsPerHead / ud.m_nNozzlesPerHead : 0;
    if (heads == 1) {
        if (Open(ud, 0) || Open(ud, 2))
            return 1;
        if (Open(ud, 4) || Open(ud, 6))
            return 3;
    } else if (heads == 2) {
        if (Open(ud, 0) && Open(ud, 2))
            return 1;
        if (Open(ud, 2) && Open(ud, 4))
            return 2;
        if (Open(ud, 4) && Open(ud, 6))
            return 3;
    }
    return 0;
}

bool CJobLayout::Finalize()
{
    CUserDefine& ud = *m_pSettings;
    int maxHeadX = 0;
    for (int i = 0; i < 8; ++i)
        if (Open(ud, i))
            maxHeadX = std::max(maxHeadX, ud.JetPrintHeadValueX[i]);

    m_nStepTotal = ud.m_nStepTotal;
    m_nSectionCursor = 0;
    m_nLeftDots = ud.m_nLeftDots;
    m_nSlotsPerHead = ud.m_nSlotsPerHead;

    // Worked in 64 bits so that absurd settings or drawings are refused instead of wrapping.
    // A drawing lying wholly left of zero has nothing to print; its rows stay empty.
    int64_t rowBytes = std::max<int64_t>(0, (int64_t{m_nWidthDots} + ud.ELineWidth + 7) / 8);
    int64_t columns = 8 * rowBytes + maxHeadX;
    int64_t rightDots = int64_t{m_nLeftDots} + columns;
    int64_t segmentWords = (columns + 100) * m_nSlotsPerHead;
    m_nAskedRightDots = rightDots;

    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 150; ++j)
            ud.m_SkewTable[i][j] = static_cast<int32_t>(int64_t{ud.JetPrintHeadValueY[i]} * j / 150);

    // The controller is told the right edge in 16 bits (SetXMax); beyond that it would store a wrapped
    // width and reject every segment, which the operator would be asked to blame on the cable.
    bool fits = rowBytes <= INT_MAX / 8 && rightDots <= kMaxRightDots && rightDots >= INT_MIN &&
                segmentWords > 9 && segmentWords <= kMaxSegmentWords && m_nSectionCount <= kMaxSectionCount;
    if (!fits) {
        m_nRowBytes = m_nColumns = m_nSegmentWords = 0;
        m_nRightDots = m_nLeftDots;
        return false;
    }
    m_nRowBytes = static_cast<int>(rowBytes);
    m_nRightDots = static_cast<int>(rightDots);
    m_nColumns = static_cast<int>(columns);
    m_nSegmentWords = static_cast<int>(segmentWords);
    return true;
}

bool CJobLayout::ActiveHeads(HeadPos heads[4], int headCount) const
{
    const CUserDefine& ud = *m_pSettings;
    int first = -1;
    switch (headCount) {
    case 1:
        for (int k = 0; k < 4 && first < 0; ++k)
            if (Open(ud, 2 * k))
                first = k;
        break;
    case 2:
        if (Open(ud, 0) && Open(ud, 2))
            first = 0;
        else if (Open(ud, 2) && Open(ud, 4))
            first = 1;
        else if (Open(ud, 4) && Open(ud, 6))
            first = 2;
        break;
    case 3:
        if (Open(ud, 0) && Open(ud, 2) && Open(ud, 4))
            first = 0;
        else if (Open(ud, 2) && Open(ud, 4) && Open(ud, 6))
            first = 1;
        break;
    case 4:
        if (Open(ud, 0) && Open(ud, 2) && Open(ud, 4) && Open(ud, 6))
            first = 0;
        break;
    default:
        break;
    }
    for (int h = 0; h < 4; ++h)
        heads[h] = HeadPos{};
    if (first < 0) {
        ShowMessage(kHeadConfigMessage);
        return false;
    }
    for (int h = 0; h < headCount; ++h) {
        int pos = first + h;
        heads[h] = HeadPos{pos, ud.JetPrintHeadValueX[2 * pos], ud.JetPrintHeadValueX[2 * pos + 1]};
    }
    return true;
}
