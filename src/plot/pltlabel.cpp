// Text labels of the plot reader: each character's outline is added as straight records.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/outlinefont.h"
#include "platform/windowbridge.h"
#include "plot/pltfiledata.h"

namespace {

// Character codes of the label's double-byte text; a lead byte without its trail byte ends the text.
class CCharCodes {
public:
    explicit CCharCodes(std::string_view text) : m_text(text) {}

    bool Next(unsigned& nCode)
    {
        if (m_nPos >= m_text.size())
            return false;
        unsigned lead = static_cast<unsigned char>(m_text[m_nPos]);
        if (lead < 0x80) {
            nCode = lead;
            ++m_nPos;
            return true;
        }
        if (m_nPos + 1 >= m_text.size())
            return false;
        nCode = lead << 8 | static_cast<unsigned char>(m_text[m_nPos + 1]);
        m_nPos += 2;
        return true;
    }

private:
    std::string_view m_text;
    size_t m_nPos = 0;
};

// The cell top of a glyph lies at the label position, so a point fy above the baseline lands at
// y - (height - fy); the fixed-point coordinates are truncated toward zero first.
float LabelX(int64_t x, const FixedPoint& p)
{
    return static_cast<float>(x + p.x / 65536);
}

float LabelY(int64_t y, int height, const FixedPoint& p)
{
    return static_cast<float>(y - (static_cast<int64_t>(height) - p.y / 65536));
}

// Escapement in tenths of a degree. DI0,0 leaves the angle undefined (0/0): such text stays horizontal.
int Escapement(float angle)
{
    float fTenths = angle * 10.0f;
    if (!(std::fabs(fTenths) < 2.0e9f))
        return 0;
    return static_cast<int>(fTenths);
}

void AddStroke(PltInfo& model, float& fCurX, float& fCurY, float x, float y)
{
    model.AppendLine(fCurX, fCurY, x, y);
    fCurX = x;
    fCurY = y;
    model.m_fMaxX = std::max(model.m_fMaxX, fCurX);
    model.m_fMaxY = std::max(model.m_fMaxY, fCurY);
}

}  // namespace

void CPltFileData::AddLabel(const std::string& face, int height, int x, int y, std::string_view text, float angle)
{
    if (text.empty())
        return;
    ++m_Notes.m_nLabels;
    const uint32_t missingBefore = m_Notes.m_nMissingChars;
    COutlineFont font;
    if (!font.Open(face, m_nCharSize, Escapement(angle))) {
        CCharCodes codes(text);
        for (unsigned nCode = 0; codes.Next(nCode);)
            m_Notes.CharMissing(nCode);
        m_Notes.m_nLabelsMissing += m_Notes.m_nMissingChars != missingBefore;
        return;
    }

    // The position moves on in 64 bits: a label that starts near the end of the int range (a pen
    // point far out in the file) must not wrap around to the other side.
    int64_t nX = x;
    int64_t nY = y;
    CCharCodes codes(text);
    unsigned nCode = 0;
    while (!m_bLinesExhausted && codes.Next(nCode)) {
        GlyphOutline glyph;
        const bool drawn = font.GetGlyphOutline(nCode, glyph);
        if (!drawn || glyph.m_bMissing)
            m_Notes.CharMissing(nCode);
        if (!drawn)
            continue;
        for (const GlyphContour& contour : glyph.contours) {
            float fStartX = LabelX(nX, contour.start);
            float fStartY = LabelY(nY, height, contour.start);
            float fCurX = fStartX;
            float fCurY = fStartY;
            for (const GlyphCurve& curve : contour.curves)
                AddGlyphCurve(curve.nType, curve.points.data(), curve.points.size(), nX, nY, fCurX, fCurY, height);
            AddStroke(*this, fCurX, fCurY, fStartX, fStartY);
        }
        nX += int64_t{glyph.m_nCellIncX} + 3;
        nY -= glyph.m_nCellIncY;
    }
    m_Notes.m_nLabelsMissing += m_Notes.m_nMissingChars != missingBefore;
}

void CPltFileData::AddGlyphCurve(int nType, const FixedPoint* pPoints, size_t nCount, int64_t x, int64_t y,
                                 float& fCurX, float& fCurY, int height)
{
    if (nType != kCurvePolyline && nType != kCurveQSpline) {
        ShowMessage("字体不支持");
        return;
    }
    for (size_t i = 0; i < nCount; ++i)
        AddStroke(*this, fCurX, fCurY, LabelX(x, pPoints[i]), LabelY(y, height, pPoints[i]));
}
