// The preview's private copy of a slot's model, turned three quarter turns, kept until the slot changes.
#include "preview/previewmodel.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// A content hash of the line records: the view learns of a changed slot without any help from
// the code that loads it. Four independent lanes keep a million records near a millisecond.
uint64_t HashBytes(const unsigned char* p, size_t n)
{
    const uint64_t k = 0x9E3779B97F4A7C15ull;
    uint64_t h[4] = {0x243F6A8885A308D3ull, 0x13198A2E03707344ull, 0xA4093822299F31D0ull, 0x082EFA98EC4E6C89ull};
    size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        for (int lane = 0; lane < 4; ++lane) {
            uint64_t w;
            std::memcpy(&w, p + i + 8 * lane, 8);
            h[lane] = (h[lane] ^ w) * k;
            h[lane] ^= h[lane] >> 29;
        }
    }
    for (int lane = 0; i < n; ++i, lane = (lane + 1) & 3)
        h[lane] = (h[lane] ^ p[i]) * k;
    uint64_t r = n;
    for (uint64_t v : h) {
        r = (r ^ v) * k;
        r ^= r >> 31;
    }
    return r;
}

}  // namespace

CPreviewModel::Stamp CPreviewModel::StampOf(const PltInfo& info)
{
    Stamp s;
    s.m_nCount = info.m_pLines ? info.m_nLineCount : 0;
    s.m_fMaxX = info.m_fMaxX;
    s.m_fMaxY = info.m_fMaxY;
    s.m_nHash = HashBytes(reinterpret_cast<const unsigned char*>(info.m_pLines), s.m_nCount * sizeof(PltLine));
    return s;
}

bool CPreviewModel::Sync(const PltInfo& slot)
{
    const Stamp stamp = StampOf(slot);
    if (m_bValid && stamp == m_Stamp)
        return false;
    Rebuild(slot);
    m_Stamp = stamp;
    return true;
}

void CPreviewModel::Rebuild(const PltInfo& slot)
{
    m_Turned.FreeLines();
    m_Turned.SetMirror(0);
    m_bMappedValid = false;
    uint32_t n = slot.m_pLines ? slot.m_nLineCount : 0;
    // Without memory for the copy the preview stays empty, as for an empty slot.
    void* p = n > 0 ? std::malloc(sizeof(PltLine) * n) : nullptr;
    if (p) {
        std::memcpy(p, slot.m_pLines, sizeof(PltLine) * n);
        m_Turned.m_pLines = static_cast<PltLine*>(p);
        m_Turned.m_nCapacity = n;
    } else {
        n = 0;
    }
    m_Turned.m_nLineCount = n;
    m_Turned.m_fMaxX = slot.m_fMaxX;
    m_Turned.m_fMaxY = slot.m_fMaxY;

    m_Turned.SetRotate(1);
    m_Turned.Rotate90();
    m_Turned.Rotate90();
    m_Turned.Rotate90();
    m_Turned.SetRotate(0);
    m_bValid = true;
}

const std::vector<QLine>& CPreviewModel::MappedLines(const CPreviewFit& fit)
{
    if (m_bMappedValid && fit.m_fScale == m_fMappedScale && fit.m_nZoom == m_nMappedZoom)
        return m_Mapped;
    // Every coordinate first, in a pass without branches the compiler can vectorise; then the lines.
    const uint32_t n = m_Turned.m_nLineCount;
    const PltLine* lines = m_Turned.m_pLines;
    m_Coords.resize(size_t{n} * 4);
    int* mapped = m_Coords.data();
    for (uint32_t i = 0; i < n; ++i) {
        mapped[4 * size_t{i}] = fit.Map(lines[i].x1);
        mapped[4 * size_t{i} + 1] = fit.Map(lines[i].y1);
        mapped[4 * size_t{i} + 2] = fit.Map(lines[i].x2);
        mapped[4 * size_t{i} + 3] = fit.Map(lines[i].y2);
    }

    m_Mapped.clear();
    m_Mapped.reserve(n);
    int left = CPreviewFit::kCoordLimit, top = CPreviewFit::kCoordLimit;
    int right = -CPreviewFit::kCoordLimit, bottom = -CPreviewFit::kCoordLimit;
    for (uint32_t i = 0; i < n; ++i) {
        const int* c = mapped + size_t{i} * 4;
        if (c[0] == c[2] && c[1] == c[3])
            continue;
        m_Mapped.emplace_back(c[0], c[1], c[2], c[3]);
        left = std::min({left, c[0], c[2]});
        right = std::max({right, c[0], c[2]});
        top = std::min({top, c[1], c[3]});
        bottom = std::max({bottom, c[1], c[3]});
    }
    m_MappedBounds = m_Mapped.empty() ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
    m_fMappedScale = fit.m_fScale;
    m_nMappedZoom = fit.m_nZoom;
    m_bMappedValid = true;
    return m_Mapped;
}

void CPreviewModel::Release()
{
    m_Turned.FreeLines();
    m_Mapped = std::vector<QLine>();
    m_Coords = std::vector<int>();
    m_bValid = false;
    m_bMappedValid = false;
}
