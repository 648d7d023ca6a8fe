// Head raster data: scan conversion of a section into the nozzle bitmap and the firing words of a pass.
#include "printdata/plts4c4printdata.h"

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "platform/floatindex.h"
#include "printdata/joblayout.h"
#include "printdata/pltlinesects4data.h"
#include "settings/userdefine.h"

namespace {

constexpr int kNozzles = 150;
constexpr int kSlots = 154;

constexpr std::array<int16_t, kNozzles> MakeNozzleToSlot()
{
    std::array<int16_t, kNozzles> t{};
    for (int n = 0; n < kNozzles; ++n) {
        int a = (15 * (n % 22)) % 22;
        int q = n / 22;
        t[n] = static_cast<int16_t>(7 * a + q + ((a == 7 || a == 14) ? 1 : 0));
    }
    return t;
}

constexpr std::array<int16_t, kSlots> MakeSlotToNozzle()
{
    std::array<int16_t, kSlots> t{};
    for (int s = 0; s < kSlots; ++s) {
        int a = s / 7;
        int q = s % 7 - ((a == 7 || a == 14) ? 1 : 0);
        int nozzle = (3 * a) % 22 + 22 * q;
        t[s] = static_cast<int16_t>((q < 0 || nozzle > kNozzles - 1) ? CPltS4C4PrintData::kEmptySlot : nozzle);
    }
    return t;
}

constexpr auto kNozzleToSlot = MakeNozzleToSlot();
constexpr auto kSlotToNozzle = MakeSlotToNozzle();

// Span lengths stay far enough inside the int range for x + len.
int ClampLen(int64_t len)
{
    return static_cast<int>(std::clamp<int64_t>(len, INT_MIN / 2, INT_MAX / 2));
}

}  // namespace

int CPltS4C4PrintData::NozzleToSlot1(int n)
{
    return (n < 0 || n >= kNozzles) ? 0 : kNozzleToSlot[n];
}

int CPltS4C4PrintData::NozzleToSlot2(int n)
{
    return (n < 0 || n >= kNozzles) ? 0 : (kNozzleToSlot[n] + 56) % kSlots;
}

int CPltS4C4PrintData::SlotToNozzle1(int s)
{
    return (s < 0 || s >= kSlots) ? 0 : kSlotToNozzle[s];
}

int CPltS4C4PrintData::SlotToNozzle2(int s)
{
    return (s < 0 || s >= kSlots) ? 0 : kSlotToNozzle[(s + 98) % kSlots];
}

CPltS4C4PrintData::~CPltS4C4PrintData()
{
    FreeBuffers();
}

bool CPltS4C4PrintData::AllocBuffers()
{
    FreeBuffers();
    const CJobLayout& layout = *m_pLayout;
    int rows = layout.m_pSettings->m_nTotalNozzles;
    int words = layout.m_nSegmentWords;
    if (rows < 0 || words <= 9)
        return false;
    size_t rowBytes = static_cast<size_t>(std::max(layout.m_nRowBytes, 1));

    m_pRows = new (std::nothrow) uint8_t*[static_cast<size_t>(rows)]();
    if (!m_pRows)
        return false;
    m_nRows = rows;
    for (int i = 0; i < rows; ++i) {
        m_pRows[i] = static_cast<uint8_t*>(std::calloc(rowBytes, 1));
        if (!m_pRows[i]) {
            FreeBuffers();
            return false;
        }
    }
    size_t n = static_cast<size_t>(words);
    m_pWords = static_cast<uint16_t*>(std::calloc(n, sizeof(uint16_t)));
    m_pSegment = static_cast<uint16_t*>(std::calloc(n, sizeof(uint16_t)));
    m_pBackup = static_cast<uint16_t*>(std::calloc(n, sizeof(uint16_t)));
    if (!m_pWords || !m_pSegment || !m_pBackup) {
        FreeBuffers();
        return false;
    }
    m_nWordCount = m_nSegmentCapacity = words;
    m_UsedWords.clear();
    return true;
}

void CPltS4C4PrintData::FreeBuffers()
{
    if (m_pRows) {
        for (int i = 0; i < m_nRows; ++i)
            std::free(m_pRows[i]);
        delete[] m_pRows;
    }
    m_pRows = nullptr;
    m_nRows = 0;
    std::free(m_pWords);
    std::free(m_pSegment);
    std::free(m_pBackup);
    m_pWords = m_pSegment = m_pBackup = nullptr;
    m_nWordCount = m_nSegmentCapacity = 0;
    m_UsedWords.clear();
}

bool CPltS4C4PrintData::ReserveSegment(int words)
{
    if (words <= m_nSegmentCapacity)
        return true;
    void* p = std::realloc(m_pSegment, static_cast<size_t>(words) * sizeof(uint16_t));
    if (!p)
        return false;
    m_pSegment = static_cast<uint16_t*>(p);
    m_nSegmentCapacity = words;
    return true;
}

void CPltS4C4PrintData::ClearRows()
{
    if (!m_pRows || m_pLayout->m_nRowBytes < 1)
        return;
    for (int i = 0; i < m_nRows; ++i)
        std::memset(m_pRows[i], 0, static_cast<size_t>(m_pLayout->m_nRowBytes));
}

void CPltS4C4PrintData::ClearWords()
{
    if (m_pWords)
        std::memset(m_pWords, 0, static_cast<size_t>(m_nWordCount) * sizeof(uint16_t));
    m_UsedWords.clear();
}

void CPltS4C4PrintData::ClearUsedWords()
{
    for (int w : m_UsedWords)
        m_pWords[w] = 0;
    m_UsedWords.clear();
}

void CPltS4C4PrintData::FillSpan(int x, int row, int len)
{
    const int rowBytes = m_pLayout ? m_pLayout->m_nRowBytes : 0;
    if (!m_pRows || m_nRows < 1 || rowBytes < 1 || len < 1 || row < 0)
        return;
    if (row >= m_nRows)
        row = m_nRows - 1;
    int64_t end = int64_t{x} + len;  // one past the last dot
    if (end <= 0)
        return;
    int64_t from = std::max(x, 0);
    uint8_t* p = m_pRows[row];
    auto setDot = [&](int64_t d) {
        int64_t b = std::min<int64_t>(d >> 3, rowBytes - 1);
        p[b] |= m_BitMask[d & 7];
    };

    int64_t firstWhole = (from + 7) & ~int64_t{7};
    if (firstWhole >= end) {
        for (int64_t d = from; d < end; ++d)
            setDot(d);
        return;
    }
    for (int64_t d = from; d < firstWhole; ++d)
        setDot(d);
    int64_t wholeFrom = firstWhole >> 3;
    int64_t wholeTo = std::min<int64_t>(end >> 3, rowBytes);
    if (wholeTo > wholeFrom)
        std::memset(p + wholeFrom, 0xFF, static_cast<size_t>(wholeTo - wholeFrom));
    for (int64_t d = (end >> 3) << 3; d < end; ++d)
        setDot(d);
}

void CPltS4C4PrintData::DrawLine(float x1, float y1, float x2, float y2)
{
    const CUserDefine& ud = *m_pLayout->m_pSettings;
    const int W = ud.ELineWidth;
    const int R = m_nRows;
    x1 = x1 * ud.m_fDotsPerUnitX;
    x2 = x2 * ud.m_fDotsPerUnitX;
    y1 = y1 * ud.m_fRowsPerUnitY;
    y2 = y2 * ud.m_fRowsPerUnitY;
    if (y1 > y2) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }

    if (x1 == x2) {
        // The counter is an integer and each row is computed afresh, so rows below the bitmap
        // can be skipped and the scan can stop at the first row drawn on the last one.
        float h = y2 - y1;
        int x = TruncIndex(x1);
        double skip = std::floor(-1.0 - static_cast<double>(y1)) - 2.0;
        if (skip > 2147483647.0)
            return;
        for (int64_t i = skip > 0 ? static_cast<int64_t>(skip) : 0; static_cast<float>(i) < h; ++i) {
            int row = TruncIndex(y1 + static_cast<float>(i));
            FillSpan(x, row, W);
            if (row >= R)
                break;
        }
        return;
    }

    if (y1 == y2) {
        float left = std::min(x1, x2);
        if (left >= 1.0)
            left = left - 1;
        int start = TruncIndex(left);
        int len = ClampLen(int64_t{TruncIndex(std::fabs(x2 - x1) + 1)} + W);
        for (int i = 0; i < W; ++i) {
            int row = TruncIndex(y1 + static_cast<float>(i));
            FillSpan(start, row, len);
            if (row >= R)
                break;
        }
        return;
    }

    float dx = x2 - x1;
    float dy = y2 - y1;
    if (TruncToInt(std::fabs(dx)) >= TruncToInt(std::fabs(dy))) {
        // Dots past one byte beyond the row only repeat the last byte; dots left of the stroke
        // width are dropped. A drawing far outside the bitmap is skipped instead of scanned.
        const float lowest = static_cast<float>(-W - 8);
        const float highest = static_cast<float>(8 * int64_t{m_pLayout->m_nRowBytes} + 8);
        float X = std::min(x1, x2);
        float Xmax = std::max(x1, x2);
        if (X < lowest - 64)
            X = X + static_cast<float>(std::floor(static_cast<double>(lowest) - X));
        for (; X <= Xmax && X < highest; X = X + 1.0f) {
            float Y = (dy * X + y1 * x2 - y2 * x1) / dx;
            int xi = TruncIndex(X);
            for (int i = 0; i < W; ++i) {
                int row = TruncIndex(Y + static_cast<float>(i));
                FillSpan(xi, row, W);
                if (row >= R)
                    break;
            }
            if (X + 1.0f == X)
                break;
        }
    } else {
        float Y = y1;
        if (Y < -72.0f)
            Y = Y + static_cast<float>(std::floor(-8.0 - static_cast<double>(Y)));
        for (; Y <= y2; Y = Y + 1.0f) {
            float X = (dx * Y + y2 * x1 - y1 * x2) / dy;
            int row = TruncIndex(Y);
            FillSpan(TruncIndex(X), row, W);
            if (row >= R || Y + 1.0f == Y)
                break;
        }
    }
}

void CPltS4C4PrintData::RasterizeSection(const LineSection* pSection, int index)
{
    ClearRows();
    if (!pSection || index < 0 || index >= m_pLayout->m_nSectionCount)
        return;
    float top = static_cast<float>(int64_t{index} * m_pLayout->m_nBandHeight);
    for (uint32_t k = 0; k < pSection->count; ++k) {
        const PltLine& f = pSection->lines[k];
        DrawLine(f.x1, f.y1 - top, f.x2, f.y2 - top);
    }
}

void CPltS4C4PrintData::BuildFiringWords()
{
    ClearUsedWords();
    const CJobLayout& layout = *m_pLayout;
    const CUserDefine& ud = *layout.m_pSettings;
    const int N = ud.m_nNozzlesPerHead;
    const int64_t K = ud.m_nSlotsPerHead;
    m_nActiveHeads = static_cast<uint8_t>(N > 0 ? m_nRows / N : 0);

    HeadPos heads[4];
    layout.ActiveHeads(heads, m_nActiveHeads);
    for (int h = 0; h < 4; ++h)
        m_nHeadSlot[h] = static_cast<uint8_t>(heads[h].pos);
    if (!m_pRows || !m_pWords || N <= 0)
        return;

    const int64_t S = std::min(layout.m_nSegmentWords, m_nWordCount);
    const int64_t columns = layout.m_nColumns;
    const bool reverse = layout.m_bReversePass != 0;
    const int rowBytes = layout.m_nRowBytes;
    auto fire = [&](int64_t w, uint16_t bits) {
        if (w < 0 || w >= S)
            return;
        if (!m_pWords[w])
            m_UsedWords.push_back(static_cast<int>(w));
        m_pWords[w] |= bits;
    };

    for (int i = 0; i < m_nRows; ++i) {
        const int h = i / N;
        const int n = i % N;
        const HeadPos hp = h < 4 ? heads[h] : HeadPos{};
        const int64_t sk = ud.m_SkewTable[2 * hp.pos][n];
        const uint16_t low = static_cast<uint16_t>(1u << hp.pos);
        const uint16_t high = static_cast<uint16_t>(0x10u << hp.pos);
        // Word of dot X: base + step * X, for the first and the second column.
        int64_t base1;
        int64_t base2;
        int64_t step;
        if (!reverse) {
            base1 = K * (hp.off1 + sk) + NozzleToSlot1(n);
            base2 = K * (hp.off2 + sk) + NozzleToSlot2(n);
            step = K;
        } else {
            base1 = K * (columns - hp.off1 - sk) + NozzleToSlot1(n);
            base2 = K * (columns - hp.off2 - sk) + NozzleToSlot2(n);
            step = -K;
        }
        const uint8_t* row = m_pRows[i];
        for (int b = 0; b < rowBytes; ++b) {
            // Most of a row is blank: skip it eight bytes at a time.
            if ((b & 7) == 0 && b + 8 <= rowBytes) {
                uint64_t eight;
                std::memcpy(&eight, row + b, sizeof eight);
                if (!eight) {
                    b += 7;
                    continue;
                }
            }
            unsigned bits = row[b];
            while (bits) {
                int bit = std::countr_zero(bits);
                bits &= bits - 1;
                int64_t X = 8 * int64_t{b} + bit;
                fire(base1 + step * X, low);
                fire(base2 + step * X, high);
            }
        }
    }
}
