// Size in metres and the fold of plots wider than the plotter.
#include "plot/jobgeometry.h"

#include <utility>

#include "plot/pltfiledata.h"

namespace {

// Millimetres per plotter unit, the settings record's constant.
constexpr float kMmPerUnit = 0.025f;

// Splits every record at x = mid: the left half moves 500 up, the right half is stacked after it.
void SplitRecords(PltInfo& info, float mid, float h)
{
    const uint32_t n = info.m_nLineCount;
    for (uint32_t i = 0; i < n; ++i) {
        PltLine l = info.m_pLines[i];
        if (l.x1 > l.x2)
            l = PltLine{l.x2, l.y2, l.x1, l.y1};
        if (l.x1 <= mid && l.x2 <= mid) {
            info.m_pLines[i] = PltLine{l.x1, l.y1 + 500, l.x2, l.y2 + 500};
        } else if (l.x1 < mid && mid < l.x2) {
            float ymid = l.y1 + (l.y2 - l.y1) * (mid - l.x1) / (l.x2 - l.x1);
            info.m_pLines[i] = PltLine{l.x1, l.y1 + 500, mid, ymid + 500};
            info.AppendLine(500, ymid + h + 2500, l.x2 - mid + 500, l.y2 + h + 2500);
        } else {
            info.m_pLines[i] = PltLine{l.x1 - mid + 500, l.y1 + h + 2500, l.x2 - mid + 500, l.y2 + h + 2500};
        }
    }
}

void AddCutMarks(PltInfo& info, float mid, float h)
{
    // An exhausted model (AppendLine false) ends the marks early instead of looping on.
    for (int64_t l = 0; (l + 1) * 200 < h; l += 2) {
        const float y = static_cast<float>(200 * l);
        if (!info.AppendLine(mid, static_cast<float>(200 * l + 500), mid, static_cast<float>(200 * l + 700)) ||
            !info.AppendLine(500, y + h + 2500, 500, y + h + 2700))
            return;
    }
    for (int64_t l = 0; (l + 1) * 6000 < h; ++l) {
        const float y = static_cast<float>(6000 * l);
        const float y1000 = static_cast<float>(6000 * l + 1000);
        if (!info.AppendLine(mid - 500, y, mid + 500, y1000) || !info.AppendLine(mid - 500, y1000, mid + 500, y) ||
            !info.AppendLine(0, y + h + 2000, 1000, y + h + 3000) ||
            !info.AppendLine(0, y + h + 3000, 1000, y + h + 2000))
            return;
    }
    const float h2 = 2 * h;
    info.AppendLine(mid - 500, h, mid + 500, h + 1000);
    info.AppendLine(mid - 500, h + 1000, mid + 500, h);
    info.AppendLine(0, h2 + 2000, 1000, h2 + 3000);
    info.AppendLine(0, h2 + 3000, 1000, h2 + 2000);
}

}  // namespace

void CJobGeometry::ComputeSize(PltInfo& info, bool previewSlot, float maxWidthCm, uint8_t& foldFlag)
{
    info.m_fWidthM = info.m_fMaxX * kMmPerUnit / 1000;
    info.m_fLengthM = info.m_fMaxY * kMmPerUnit / 1000;
    if (previewSlot)
        return;
    if (info.m_fWidthM * 100 > maxWidthCm) {
        foldFlag = 1;
        info.m_fWidthM = static_cast<float>(info.m_fWidthM / 2 + 0.0125);
        info.m_fLengthM = static_cast<float>(info.m_fLengthM * 2 + 0.175);
    } else {
        foldFlag = 0;
    }
}

void CJobGeometry::FoldWideJob(PltInfo& info)
{
    const float mid = info.m_fMaxX / 2;
    const float h = info.m_fMaxY;
    SplitRecords(info, mid, h);
    AddCutMarks(info, mid, h);
    info.m_fMaxX = mid + 500;
    info.m_fMaxY = 2 * h + 7000;
}
