// Placeholder until the head layout lands.
#include "printdata/joblayout.h"

void CJobLayout::Reset()
{
    m_nBandHeight = 0;
    m_nSectionCount = 0;
    m_nLineCount = 0;
    m_fMaxX = m_fMaxY = m_fWidthM = m_fLengthM = 0.0f;
    m_nWidthDots = m_nLengthDots = 0;
    m_nRowBytes = 0;
    m_nSlotsPerHead = 0;
    m_nColumns = 0;
    m_nSegmentWords = 0;
    m_nSectionCursor = 0;
    m_nLeftDots = m_nRightDots = 400;
    m_nStepTotal = 1;
}

void CJobLayout::Setup(CUserDefine* pSettings, PltInfo&)
{
    m_pSettings = pSettings;
}

void CJobLayout::Finalize() {}

bool CJobLayout::ActiveHeads(HeadPos heads[4], int) const
{
    for (int h = 0; h < 4; ++h)
        heads[h] = HeadPos{};
    return false;
}
