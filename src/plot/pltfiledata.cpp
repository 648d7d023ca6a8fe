// Placeholder until the plot reader lands.
#include "plot/pltfiledata.h"

#include <cstdlib>

bool PltInfo::AppendLine(float x1, float y1, float x2, float y2)
{
    if (m_nLineCount >= m_nCapacity) {
        uint32_t cap = m_nCapacity ? m_nCapacity * 2 : 1024;
        void* p = std::realloc(m_pLines, sizeof(PltLine) * cap);
        if (!p)
            return false;
        m_pLines = static_cast<PltLine*>(p);
        m_nCapacity = cap;
    }
    m_pLines[m_nLineCount++] = PltLine{x1, y1, x2, y2};
    return true;
}

CPltFileData::CPltFileData() = default;

CPltFileData::~CPltFileData()
{
    if (m_file)
        std::fclose(m_file);
    FreeLines();
}

bool CPltFileData::Load(const char*)
{
    return false;
}

void CPltFileData::FreeLines()
{
    std::free(m_pLines);
    m_pLines = nullptr;
    m_nCapacity = 0;
    m_nLineCount = 0;
}

void CPltFileData::Mirror() {}

void CPltFileData::Rotate90() {}
