// The outline font service: face mapping, em-square scaling, escapement, native records, bad codes.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/outlinefont.h"

namespace {

GlyphOutline Glyph(const char* face, int height, int escapement, unsigned code)
{
    COutlineFont font;
    GlyphOutline glyph;
    EXPECT_TRUE(font.Open(face, height, escapement));
    EXPECT_TRUE(font.GetGlyphOutline(code, glyph));
    return glyph;
}

template <typename F>
void ForEachPoint(const GlyphOutline& glyph, F f)
{
    for (const GlyphContour& contour : glyph.contours) {
        f(contour.start);
        for (const GlyphCurve& curve : contour.curves) {
            for (const FixedPoint& p : curve.points)
                f(p);
        }
    }
}

std::vector<FixedPoint> Points(const GlyphOutline& glyph)
{
    std::vector<FixedPoint> points;
    ForEachPoint(glyph, [&](const FixedPoint& p) { points.push_back(p); });
    return points;
}

bool SameShape(const GlyphOutline& a, const GlyphOutline& b)
{
    if (a.contours.size() != b.contours.size())
        return false;
    for (size_t c = 0; c < a.contours.size(); ++c) {
        if (a.contours[c].curves.size() != b.contours[c].curves.size())
            return false;
        for (size_t k = 0; k < a.contours[c].curves.size(); ++k) {
            const GlyphCurve& ca = a.contours[c].curves[k];
            const GlyphCurve& cb = b.contours[c].curves[k];
            if (ca.nType != cb.nType || ca.points.size() != cb.points.size())
                return false;
        }
    }
    return true;
}

}  // namespace

TEST(OutlineFont, SongTiMapsToAnInstalledMingFace)
{
    COutlineFont font;
    ASSERT_TRUE(font.Open("宋体", 144, 0));
    std::string family = font.FamilyName();
    EXPECT_TRUE(family == "SimSun" || family == "宋体" || family == "AR PL UMing CN") << family;

    // A face that is not installed still draws Chinese text.
    COutlineFont other;
    ASSERT_TRUE(other.Open("No Such Face 42", 144, 0));
    GlyphOutline zhong;
    GlyphOutline missing;
    ASSERT_TRUE(other.GetGlyphOutline(0xD6D0, zhong));
    ASSERT_TRUE(other.GetGlyphOutline(0x8120, missing));
    EXPECT_FALSE(SameShape(zhong, missing));
}

TEST(OutlineFont, HeightOutsideTheCoordinateRangeIsRefused)
{
    COutlineFont font;
    for (int height : {0, -144, COutlineFont::kMaxHeight + 1, 1 << 30}) {
        EXPECT_FALSE(font.Open("宋体", height, 0)) << height;
        EXPECT_FALSE(font.IsOpen());
    }
    for (int height : {1, COutlineFont::kMaxHeight})
        EXPECT_TRUE(font.Open("宋体", height, 0)) << height;
}

TEST(OutlineFont, EmSquareIsTheHeight)
{
    GlyphOutline small = Glyph("宋体", 1000, 0, 0xD6D0);
    GlyphOutline large = Glyph("宋体", 2000, 0, 0xD6D0);
    EXPECT_EQ(small.m_nCellIncX, 1000);
    EXPECT_EQ(small.m_nCellIncY, 0);
    EXPECT_EQ(large.m_nCellIncX, 2000);
    ASSERT_TRUE(SameShape(small, large));
    std::vector<FixedPoint> a = Points(small);
    std::vector<FixedPoint> b = Points(large);
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_NEAR(b[i].x, 2.0 * a[i].x, 2.0);
        EXPECT_NEAR(b[i].y, 2.0 * a[i].y, 2.0);
        // 中 fills its em square.
        EXPECT_GE(a[i].x, 0);
        EXPECT_LE(a[i].x, 1000 * 65536);
        EXPECT_GE(a[i].y, -200 * 65536);
        EXPECT_LE(a[i].y, 1000 * 65536);
    }
}

TEST(OutlineFont, EscapementTurnsOutlineAndAdvance)
{
    GlyphOutline upright = Glyph("宋体", 144, 0, 'A');
    struct Case {
        int escapement;
        int cos, sin;  // exact for quarter turns
    };
    for (Case c : {Case{900, 0, 1}, Case{1800, -1, 0}, Case{2700, 0, -1}}) {
        SCOPED_TRACE(c.escapement);
        GlyphOutline turned = Glyph("宋体", 144, c.escapement, 'A');
        ASSERT_TRUE(SameShape(upright, turned));
        std::vector<FixedPoint> a = Points(upright);
        std::vector<FixedPoint> b = Points(turned);
        for (size_t i = 0; i < a.size(); ++i) {
            EXPECT_NEAR(b[i].x, 1.0 * a[i].x * c.cos - 1.0 * a[i].y * c.sin, 1.0);
            EXPECT_NEAR(b[i].y, 1.0 * a[i].x * c.sin + 1.0 * a[i].y * c.cos, 1.0);
        }
        // The cell increment grows downwards, as on a display device.
        EXPECT_EQ(turned.m_nCellIncX, upright.m_nCellIncX * c.cos);
        EXPECT_EQ(turned.m_nCellIncY, -upright.m_nCellIncX * c.sin);
    }
    GlyphOutline diagonal = Glyph("宋体", 144, 450, 0xD6D0);
    EXPECT_EQ(diagonal.m_nCellIncX, 102);
    EXPECT_EQ(diagonal.m_nCellIncY, -102);
}

TEST(OutlineFont, TrueTypeRecordsArePolylinesAndQuadraticSplines)
{
    for (unsigned code : {unsigned('O'), unsigned('B'), 0xD6D0u}) {
        SCOPED_TRACE(code);
        GlyphOutline glyph = Glyph("宋体", 144, 0, code);
        ASSERT_FALSE(glyph.contours.empty());
        bool spline = false;
        for (const GlyphContour& contour : glyph.contours) {
            for (const GlyphCurve& curve : contour.curves) {
                EXPECT_TRUE(curve.nType == kCurvePolyline || curve.nType == kCurveQSpline);
                EXPECT_FALSE(curve.points.empty());
                spline |= curve.nType == kCurveQSpline;
            }
        }
        if (code == 'O') {
            EXPECT_TRUE(spline);
        }
    }
}

TEST(OutlineFont, PostScriptFaceGivesCubicRecordsThatClose)
{
    COutlineFont font;
    if (!font.Open("Cantarell", 1000, 0) || font.FamilyName() != "Cantarell")
        GTEST_SKIP() << "no PostScript-flavoured face installed";
    GlyphOutline glyph;
    ASSERT_TRUE(font.GetGlyphOutline('O', glyph));
    ASSERT_EQ(glyph.contours.size(), 2u);
    for (const GlyphContour& contour : glyph.contours) {
        ASSERT_FALSE(contour.curves.empty());
        for (const GlyphCurve& curve : contour.curves) {
            if (curve.nType == kCurveCubic) {
                EXPECT_EQ(curve.points.size() % 3, 0u);
            }
        }
        const FixedPoint& end = contour.curves.back().points.back();
        EXPECT_EQ(end.x, contour.start.x);
        EXPECT_EQ(end.y, contour.start.y);
    }
}

TEST(OutlineFont, UnknownCodesGiveTheMissingGlyph)
{
    GlyphOutline missing = Glyph("宋体", 144, 0, 0x8120);  // trail byte below the GBK range
    for (unsigned code : {0xFFFFu, 0x81u, 0x01u, 0x7Fu}) {
        SCOPED_TRACE(code);
        GlyphOutline glyph = Glyph("宋体", 144, 0, code);
        EXPECT_TRUE(SameShape(glyph, missing));
    }
}
