// Line sections: two passes over the model, counting then cutting, with no reallocation.
#include "printdata/pltlinesects4data.h"

#include <cmath>
#include <cstdlib>
#include <utility>

#include "platform/windowbridge.h"
#include "printdata/joblayout.h"

const char* const kBandHeightMessage = "数据段宽度有误！";

namespace {

// Upward, never below zero: the orientation every fragment is stored in.
PltLine Normalised(const PltLine& in)
{
    PltLine r = in;
    if (r.y1 > r.y2) {
        std::swap(r.x1, r.x2);
        std::swap(r.y1, r.y2);
    }
    if (r.y1 < 0)
        r.y1 = 0;
    if (r.y2 < 0)
        r.y2 = 0;
    return r;
}

}  // namespace

CPltLineSectS4Data::~CPltLineSectS4Data()
{
    FreeSections();
}

void CPltLineSectS4Data::FreeSections()
{
    if (m_pSections) {
        for (uint32_t j = 0; j < m_nSectionCount; ++j)
            std::free(m_pSections[j].lines);
        delete[] m_pSections;
    }
    m_pSections = nullptr;
    m_nSectionCount = 0;
}

uint32_t CPltLineSectS4Data::SectionOf(float y, float fB) const
{
    float q = y / fB;
    if (!(q < static_cast<float>(m_nSectionCount)))  // beyond, infinite or NaN
        return m_nSectionCount;
    return static_cast<uint32_t>(q);
}

void CPltLineSectS4Data::SectionsOf(const PltLine& line, float fB, uint32_t& j1, uint32_t& j2) const
{
    PltLine r = Normalised(line);
    j1 = SectionOf(r.y1, fB);
    j2 = r.y1 == r.y2 ? j1 : SectionOf(r.y2, fB);
    if (j2 >= m_nSectionCount)
        j2 = m_nSectionCount - 1;
}

uint64_t CPltLineSectS4Data::FragmentTotal(const PltInfo& info, float fB) const
{
    uint64_t total = 0;
    for (uint32_t n = 0; n < info.m_nLineCount; ++n) {
        uint32_t j1, j2;
        SectionsOf(info.m_pLines[n], fB, j1, j2);
        if (j1 <= j2)
            total += j2 - j1 + 1;
    }
    return total;
}

bool CPltLineSectS4Data::CountFragments(PltInfo& info)
{
    FreeSections();
    int count = m_pLayout->m_nSectionCount;
    if (count <= 0 || count > kMaxSectionCount)
        return false;
    m_nSectionCount = static_cast<uint32_t>(count);

    // Long records of a huge drawing each cross millions of bands: counted one by one, the
    // fragments alone would take hours and more memory than there is. Such a job is refused
    // before anything is allocated, as if memory had run out.
    int band = m_pLayout->m_nBandHeight;
    const float fB = static_cast<float>(band);
    if (band > 0 && FragmentTotal(info, fB) > kMaxFragmentsPerLine * uint64_t{info.m_nMaxLines}) {
        m_nSectionCount = 0;
        return false;
    }
    m_pSections = new (std::nothrow) LineSection[count];
    if (!m_pSections) {
        m_nSectionCount = 0;
        return false;
    }

    if (band > 0) {
        for (uint32_t n = 0; n < info.m_nLineCount; ++n) {
            uint32_t j1, j2;
            SectionsOf(info.m_pLines[n], fB, j1, j2);
            for (uint32_t j = j1; j <= j2; ++j)
                ++m_pSections[j].capacity;
        }
    }
    for (uint32_t j = 0; j < m_nSectionCount; ++j) {
        LineSection& s = m_pSections[j];
        if (s.capacity == 0)
            continue;
        s.lines = static_cast<PltLine*>(std::calloc(static_cast<size_t>(s.capacity), sizeof(PltLine)));
        if (!s.lines) {
            FreeSections();
            return false;
        }
    }
    return true;
}

void CPltLineSectS4Data::Append(uint32_t j, float x1, float y1, float x2, float y2)
{
    if (j >= m_nSectionCount)
        return;
    LineSection& s = m_pSections[j];
    if (s.count < static_cast<uint32_t>(s.capacity))
        s.lines[s.count++] = PltLine{x1, y1, x2, y2};
}

bool CPltLineSectS4Data::FillFragments(PltInfo& info)
{
    if (!m_pSections)
        return false;
    int band = m_pLayout->m_nBandHeight;
    float fB = static_cast<float>(band);
    for (uint32_t n = 0; n < info.m_nLineCount; ++n) {
        if (band <= 0) {
            ShowMessage(kBandHeightMessage);
            return false;
        }
        PltLine r = Normalised(info.m_pLines[n]);
        uint32_t j1 = SectionOf(r.y1, fB);
        uint32_t j2 = SectionOf(r.y2, fB);
        uint32_t last = j2 < m_nSectionCount ? j2 : m_nSectionCount;  // edges cut before the final piece
        if (std::fabs(r.x1 - r.x2) < 0.00001) {
            float yc = r.y1;
            for (uint32_t j = j1; j < last; ++j) {
                float yb = fB * static_cast<float>(j + 1);
                Append(j, r.x1, yc, r.x1, yb);
                yc = yb;
            }
            Append(j2, r.x1, yc, r.x2, r.y2);
        } else if (std::fabs(r.y1 - r.y2) < 0.00001) {
            Append(j1, r.x1, r.y1, r.x2, r.y2);
        } else {
            float k = (r.x2 - r.x1) / (r.y2 - r.y1);
            float xc = r.x1;
            float yc = r.y1;
            for (uint32_t j = j1; j < last; ++j) {
                float yb = fB * static_cast<float>(j + 1);
                float xb = r.x1 + k * (yb - r.y1);
                Append(j, xc, yc, xb, yb);
                xc = xb;
                yc = yb;
            }
            Append(j2, xc, yc, r.x2, r.y2);
        }
    }
    return true;
}
