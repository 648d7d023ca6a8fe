// Line sections: the model cut into head-height bands along Y.
#pragma once

#include <cstdint>

#include "plot/pltfiledata.h"

class CJobLayout;

struct LineSection {
    int capacity = 0;
    uint32_t count = 0;
    PltLine* lines = nullptr;
};

// "数据段宽度有误！": FillFragments with a zero band height.
extern const char* const kBandHeightMessage;

class CPltLineSectS4Data {
public:
    CPltLineSectS4Data() = default;
    ~CPltLineSectS4Data();
    CPltLineSectS4Data(const CPltLineSectS4Data&) = delete;
    CPltLineSectS4Data& operator=(const CPltLineSectS4Data&) = delete;

    // The sections may hold this many fragments for each record the model may hold.
    static constexpr uint64_t kMaxFragmentsPerLine = 2;

    // Releases the old sections, allocates the layout's section count and sizes every section
    // exactly. False (no message) for a section count of 0 or above the limit, for more fragments
    // than the limit above, or out of memory.
    bool CountFragments(PltInfo& info);
    // Cuts every record into its sections. False after the message when the band height is 0 (or negative).
    // Fragments of sections past the last one are dropped (the layout always leaves room for a
    // plot within its extent).
    bool FillFragments(PltInfo& info);
    void FreeSections();

    CJobLayout* m_pLayout = nullptr;
    uint32_t m_nSectionCount = 0;
    LineSection* m_pSections = nullptr;

private:
    // Section of y in a band of height fB: truncated toward zero, m_nSectionCount when beyond.
    uint32_t SectionOf(float y, float fB) const;
    // First and last section a record falls into (j1 > j2 when it lies beyond the last section).
    void SectionsOf(const PltLine& line, float fB, uint32_t& j1, uint32_t& j2) const;
    uint64_t FragmentTotal(const PltInfo& info, float fB) const;
    void Append(uint32_t j, float x1, float y1, float x2, float y2);
};
