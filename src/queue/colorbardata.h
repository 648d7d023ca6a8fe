// The colour bar: the fixed test pattern the controller asks for before a job's data.
#pragma once

#include <cstdint>
#include <vector>

#include "plot/pltfiledata.h"
#include "printdata/pltlinesects4data.h"

class CJobLayout;
class CPltS4C4PrintData;

// Twelve groups of five adjacent vertical lines, 240 units apart from x = 300, each spanning the whole
// band of its pass; four passes packed like a four-pass segment, without the segment header.
class CColorBarData {
public:
    static constexpr int kPasses = 4;
    static constexpr int kMaxLines = 4096;

    CColorBarData();
    CColorBarData(const CColorBarData&) = delete;
    CColorBarData& operator=(const CColorBarData&) = delete;

    // The line lists of the four passes for a band height (pass p covers rows p*B .. (p+1)*B-1).
    void MakeLines(int bandHeight);
    // Rasterises the passes with the print slot's raster data and packs their firing words. Without
    // allocated print buffers only the line lists are made.
    void Build(CPltS4C4PrintData& data, CJobLayout& layout, int headPairCode);

    const LineSection& Pass(int p) const { return m_Sections[p]; }
    // Data words of the packed passes (segment words minus the header).
    const std::vector<uint16_t>& Words() const { return m_Words; }

private:
    std::vector<PltLine> m_Lines[kPasses];
    LineSection m_Sections[kPasses];
    std::vector<uint16_t> m_Words;
};
