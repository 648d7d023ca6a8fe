// Draws the firing data of the last packed segment as nozzle dashes, one band per pass and head.
#include "preview/firingdatapainter.h"

#include <QPainter>
#include <QPen>
#include <QPoint>
#include <algorithm>
#include <cstdint>
#include <vector>

#include "document/marquelldoc.h"
#include "preview/previewfit.h"

namespace {

// Bit of the packed word that fires column `second` (0 or 1) of head j at carriage position c in pass p.
int FiringBit(bool fourPass, int pass, int second, int j, int c)
{
    if (fourPass) {
        static const int kBase[2][4] = {{0, 2, 8, 10}, {4, 6, 12, 14}};
        return kBase[second][pass] + j;
    }
    return c + 4 * second + 8 * pass;
}

struct Sweep {
    const uint16_t* words;
    int64_t wordCount;
    int columns;
    int second;  // 0: first nozzle column, 1: second
};

// The dashes of one head in one pass: a pixel at (x - X, y0 + n) for every fired slot whose nozzle exists.
void CollectDashes(const Sweep& s, int pass, int bit, int columnX, int y0, std::vector<QPoint>& out)
{
    const int start = std::max(columnX, 0);
    for (int x = start; x < s.columns; ++x) {
        const int64_t base = int64_t{pass % 2 == 0 ? x : s.columns - x} * CFiringDataPainter::kSlots;
        for (int r = 0; r < CFiringDataPainter::kSlots; ++r) {
            const int64_t index = base + r;
            if (index < 0 || index >= s.wordCount)
                break;
            const uint16_t w = s.words[index];
            if (w == 0 || ((w >> bit) & 1) == 0)
                continue;
            const int n = s.second ? CPltS4C4PrintData::SlotToNozzle2(r) : CPltS4C4PrintData::SlotToNozzle1(r);
            if (n <= 150)
                out.emplace_back(static_cast<int>(std::min<int64_t>(int64_t{x} - columnX, CPreviewFit::kCoordLimit)),
                                 y0 + n);
        }
    }
}

}  // namespace

bool CFiringDataPainter::Extent(const CMarquellDoc& doc, QSize& size)
{
    if (!doc.m_PrintData[SlotPrint].m_pBackup)
        return false;
    const int64_t cx = int64_t{doc.m_Layout[SlotPrint].m_nColumns} + 20;
    const int64_t cy = int64_t{doc.m_UserDefine.m_nTotalNozzles} * 8;
    const int64_t limit = CPreviewFit::kCoordLimit;
    size = QSize(static_cast<int>(std::clamp<int64_t>(cx, 0, limit)), static_cast<int>(std::clamp<int64_t>(cy, 0, limit)));
    return true;
}

void CFiringDataPainter::Draw(QPainter& p, const CMarquellDoc& doc)
{
    const CPltS4C4PrintData& data = doc.m_PrintData[SlotPrint];
    if (!data.m_pBackup)
        return;
    const CJobLayout& layout = doc.m_Layout[SlotPrint];
    const CUserDefine& ud = doc.m_UserDefine;
    const bool fourPass = ud.m_bFourPass;
    const int passes = fourPass ? 4 : 2;
    const int heads = std::min<int>(data.m_nActiveHeads, 4);
    const int columns = layout.m_nColumns;

    // A line drawn to a point leaves that point out, as the framework's line drawing does.
    QPen border(Qt::blue, 0, Qt::CustomDashLine, Qt::FlatCap);
    border.setDashPattern({3, 3});
    const QPen columnPens[2] = {QPen(Qt::black, 0, Qt::SolidLine, Qt::FlatCap), QPen(Qt::red, 0, Qt::SolidLine, Qt::FlatCap)};

    const QPen previous = p.pen();
    std::vector<QPoint> dashes;
    int y0 = 0;
    for (int second = 0; second < 2; ++second) {
        const Sweep sweep{data.m_pBackup, layout.m_nSegmentWords, columns, second};
        y0 = 0;
        for (int pass = 0; pass < passes; ++pass) {
            for (int j = 0; j < heads; ++j) {
                const int c = data.m_nHeadSlot[j];
                dashes.clear();
                if (c < 4)
                    CollectDashes(sweep, pass, FiringBit(fourPass, pass, second, j, c),
                                  ud.JetPrintHeadValueX[2 * c + second], y0, dashes);
                p.setPen(columnPens[second]);
                p.drawPoints(dashes.data(), static_cast<int>(dashes.size()));
                p.setPen(border);
                p.drawLine(0, y0, columns, y0);
                y0 += kBandHeight;
            }
        }
    }
    p.setPen(border);
    p.drawLine(0, y0, columns, y0);
    p.setPen(previous);
}
