// Line lists and four-pass packing of the colour bar.
#include "queue/colorbardata.h"

#include "printdata/joblayout.h"
#include "printdata/plts4c4printdata.h"

namespace {
constexpr int kGroups = 12;
constexpr int kLinesPerGroup = 5;
constexpr int kFirstX = 300;
constexpr int kGroupPitch = 240;
constexpr int kHeaderWords = 9;
}  // namespace

CColorBarData::CColorBarData()
{
    for (auto& lines : m_Lines)
        lines.reserve(kMaxLines);
}

void CColorBarData::MakeLines(int bandHeight)
{
    for (int p = 0; p < kPasses; ++p) {
        std::vector<PltLine>& lines = m_Lines[p];
        lines.clear();
        const float y1 = static_cast<float>(p * bandHeight);
        const float y2 = static_cast<float>((p + 1) * bandHeight - 1);
        for (int k = 0; k < kGroups && lines.size() < kMaxLines; ++k) {
            for (int i = 0; i < kLinesPerGroup; ++i) {
                const float x = static_cast<float>(kFirstX + kGroupPitch * k + i);
                lines.push_back(PltLine{x, y1, x, y2});
            }
        }
        m_Sections[p].capacity = static_cast<int>(lines.capacity());
        m_Sections[p].count = static_cast<uint32_t>(lines.size());
        m_Sections[p].lines = lines.data();
    }
}

void CColorBarData::Build(CPltS4C4PrintData& data, CJobLayout& layout, int headPairCode)
{
    MakeLines(layout.m_nBandHeight);
    m_Words.clear();
    if (!data.m_pRows || !data.m_pWords || layout.m_nSegmentWords <= kHeaderWords)
        return;

    const size_t n = static_cast<size_t>(layout.m_nSegmentWords - kHeaderWords);
    m_Words.assign(n, 0);
    // Pair selection 0 selects no carriage position: the passes are still rasterised, the words stay 0.
    const int shift = headPairCode - 1;
    const bool selected = shift >= 0 && shift < 8;
    const uint16_t mask = selected ? static_cast<uint16_t>(0x33u << shift) : 0;
    static const int kPassShift[kPasses] = {0, 2, 8, 10};
    for (int p = 0; p < kPasses; ++p) {
        layout.m_bReversePass = static_cast<uint8_t>(p % 2);
        data.RasterizeSection(&m_Sections[p], p);
        data.BuildFiringWords();
        if (!selected)
            continue;
        for (size_t i = 0; i < n; ++i) {
            const uint16_t v = static_cast<uint16_t>((data.m_pWords[i] & mask) >> shift);
            m_Words[i] |= static_cast<uint16_t>(v << kPassShift[p]);
        }
    }
}
