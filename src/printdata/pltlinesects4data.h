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

class CPltLineSectS4Data {
public:
    CPltLineSectS4Data() = default;
    ~CPltLineSectS4Data();
    CPltLineSectS4Data(const CPltLineSectS4Data&) = delete;
    CPltLineSectS4Data& operator=(const CPltLineSectS4Data&) = delete;

    bool CountFragments(PltInfo& info);
    bool FillFragments(PltInfo& info);
    void FreeSections();

    CJobLayout* m_pLayout = nullptr;
    uint32_t m_nSectionCount = 0;
    LineSection* m_pSections = nullptr;
};
