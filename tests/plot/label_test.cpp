// Labels become the outline strokes of their characters: positions, spacing, closing records, bad text.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "platform/outlinefont.h"
#include "platform/windowbridge.h"
#include "plot/pltfiledata.h"
#include "plot/plttestutil.h"

namespace {

constexpr int kX = 1000;
constexpr int kY = 5000;

struct Box {
    float minX = 1e30f, minY = 1e30f, maxX = -1e30f, maxY = -1e30f;
    float Width() const { return maxX - minX; }
    float Height() const { return maxY - minY; }
};

Box BoundingBox(const std::vector<PltLine>& lines)
{
    Box b;
    for (const PltLine& l : lines) {
        b.minX = std::min({b.minX, l.x1, l.x2});
        b.maxX = std::max({b.maxX, l.x1, l.x2});
        b.minY = std::min({b.minY, l.y1, l.y2});
        b.maxY = std::max({b.maxY, l.y1, l.y2});
    }
    return b;
}

struct LabelCase {
    std::string text;
    int x = kX;
    int y = kY;
    float angle = 0.0f;
    int height = 144;
    std::string face = "宋体";
};

std::vector<PltLine> Label(const LabelCase& c)
{
    CPltFileData model;
    model.SetCharSize(c.height);
    model.AddLabel(c.face, c.height, c.x, c.y, c.text, c.angle);
    return Records(model);
}

std::vector<PltLine> Concat(std::vector<PltLine> a, const std::vector<PltLine>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

GlyphOutline Glyph(unsigned code, int height = 144, int escapement = 0)
{
    COutlineFont font;
    GlyphOutline glyph;
    EXPECT_TRUE(font.Open("宋体", height, escapement));
    EXPECT_TRUE(font.GetGlyphOutline(code, glyph));
    return glyph;
}

class CRecordingBridge : public CWindowBridge {
public:
    CRecordingBridge() { SetWindowBridge(this); }
    ~CRecordingBridge() override { SetWindowBridge(nullptr); }
    int MessageBox(const std::string& text, const std::string&, int, int) override
    {
        m_messages.push_back(text);
        return IDOK;
    }
    void RefreshProgress() override {}
    void RedrawStatusBar() override {}
    void RepaintPreview() override {}

    std::vector<std::string> m_messages;
};

}  // namespace

TEST(Label, CharactersFollowEachOtherByAdvancePlusThree)
{
    int advA = Glyph('A').m_nCellIncX;
    int advSpace = Glyph(' ').m_nCellIncX;
    ASSERT_GT(advA, 0);
    ASSERT_GT(advSpace, 0);

    std::vector<PltLine> a = Label({"A"});
    ASSERT_FALSE(a.empty());
    EXPECT_EQ(Label({"AB"}), Concat(a, Label({"B", kX + advA + 3})));
    // A space draws nothing but still takes its advance.
    EXPECT_TRUE(Label({" "}).empty());
    EXPECT_EQ(Label({" A"}), Label({"A", kX + advSpace + 3}));
}

TEST(Label, LabelAtTheEndOfTheIntRangeRunsOnInsteadOfWrapping)
{
    Box right = BoundingBox(Label({"AB", INT_MAX - 10}));
    EXPECT_GT(right.minX, 2.0e9f);
    Box down = BoundingBox(Label({"AB", kX, INT_MIN + 10, 270.0f}));
    EXPECT_LT(down.maxY, -2.0e9f);
}

TEST(Label, CellTopLiesAtThePenPointAndHeightIsTheEmSquare)
{
    for (int height : {144, 160, 400}) {
        SCOPED_TRACE(height);
        // The outline's own box, truncated to whole units, moved so that the em's top is the pen point.
        Box outline;
        GlyphOutline glyph = Glyph('E', height);
        auto extend = [&](const FixedPoint& p) {
            outline.minX = std::min(outline.minX, float(p.x / 65536));
            outline.maxX = std::max(outline.maxX, float(p.x / 65536));
            outline.minY = std::min(outline.minY, float(p.y / 65536));
            outline.maxY = std::max(outline.maxY, float(p.y / 65536));
        };
        for (const GlyphContour& contour : glyph.contours) {
            extend(contour.start);
            for (const GlyphCurve& curve : contour.curves) {
                for (const FixedPoint& p : curve.points)
                    extend(p);
            }
        }
        Box box = BoundingBox(Label({"E", kX, kY, 0.0f, height}));
        EXPECT_EQ(box.minX, kX + outline.minX);
        EXPECT_EQ(box.maxX, kX + outline.maxX);
        EXPECT_EQ(box.minY, kY - height + outline.minY);
        EXPECT_EQ(box.maxY, kY - height + outline.maxY);
        EXPECT_LT(box.maxY, kY);
        EXPECT_GT(box.Height(), height * 0.55);
        EXPECT_LT(box.Height(), height * 0.85);
    }
}

TEST(Label, ContoursAreClosedEvenWithZeroLengthRecords)
{
    // Each contour's records form one chain from its start back to it; 'O' ends its contours on
    // spline points that coincide with the start, so its closing records have zero length.
    GlyphOutline glyph = Glyph('O');
    std::vector<PltLine> lines = Label({"O"});
    size_t i = 0;
    int zeroLength = 0;
    for (const GlyphContour& contour : glyph.contours) {
        size_t count = 1;
        for (const GlyphCurve& curve : contour.curves)
            count += curve.points.size();
        ASSERT_LE(i + count, lines.size());
        const PltLine& first = lines[i];
        const PltLine& last = lines[i + count - 1];
        for (size_t k = i + 1; k < i + count; ++k) {
            EXPECT_EQ(lines[k].x1, lines[k - 1].x2);
            EXPECT_EQ(lines[k].y1, lines[k - 1].y2);
        }
        EXPECT_EQ(last.x2, first.x1);
        EXPECT_EQ(last.y2, first.y1);
        if (last.x1 == last.x2 && last.y1 == last.y2)
            ++zeroLength;
        i += count;
    }
    EXPECT_EQ(i, lines.size());
    EXPECT_GT(zeroLength, 0);
}

TEST(Label, GbkPairIsOneFullWidthGlyph)
{
    GlyphOutline zhong = Glyph(0xD6D0);  // 中
    EXPECT_EQ(zhong.m_nCellIncX, 144);
    std::vector<PltLine> zh = Label({"\xD6\xD0"});
    ASSERT_FALSE(zh.empty());
    EXPECT_GT(BoundingBox(zh).Width(), 100);
    EXPECT_EQ(Label({"\xD6\xD0" "A"}), Concat(zh, Label({"A", kX + 144 + 3})));
}

TEST(Label, DirectionTurnsGlyphsAndAdvanceUpwards)
{
    int advA = Glyph('A').m_nCellIncX;
    Box upright = BoundingBox(Label({"A"}));
    std::vector<PltLine> a = Label({"A", kX, kY, 90.0f});
    Box turned = BoundingBox(a);
    EXPECT_NEAR(turned.Width(), upright.Height(), 1.0f);
    EXPECT_NEAR(turned.Height(), upright.Width(), 1.0f);
    // The next character stands above the first, 3 units to the right.
    EXPECT_EQ(Label({"AB", kX, kY, 90.0f}), Concat(a, Label({"B", kX + 3, kY + advA, 90.0f})));
}

TEST(Label, ExtentCoversEveryRecord)
{
    CPltFileData model;
    model.SetCharSize(144);
    model.AddLabel("宋体", 144, kX, kY, "Wg", 0.0f);
    Box box = BoundingBox(Records(model));
    EXPECT_EQ(model.m_fMaxX, box.maxX);
    EXPECT_EQ(model.m_fMaxY, box.maxY);
}

TEST(Label, GlyphCurvePointsAreTruncatedTowardZero)
{
    constexpr int32_t kHalf = 0x8000;
    const FixedPoint points[] = {{10 * 65536 + kHalf, 20 * 65536 + kHalf}, {-(3 * 65536 + kHalf), -(65536 + kHalf)}};
    for (int type : {kCurvePolyline, kCurveQSpline}) {
        SCOPED_TRACE(type);
        CPltFileData model;
        float curX = 7.0f;
        float curY = 8.0f;
        model.AddGlyphCurve(type, points, 2, 100, 1000, curX, curY, 144);
        std::vector<PltLine> expected = {{7, 8, 110, 876}, {110, 876, 97, 855}};
        EXPECT_EQ(Records(model), expected);
        EXPECT_EQ(curX, 97.0f);
        EXPECT_EQ(curY, 855.0f);
        EXPECT_EQ(model.m_fMaxX, 110.0f);
        EXPECT_EQ(model.m_fMaxY, 876.0f);
    }
}

TEST(Label, CubicRecordsAreRefusedOneMessageEach)
{
    CRecordingBridge bridge;
    const FixedPoint points[] = {{65536, 65536}, {2 * 65536, 65536}, {3 * 65536, 0}};
    CPltFileData model;
    float curX = 5.0f;
    float curY = 6.0f;
    model.AddGlyphCurve(kCurveCubic, points, 3, 0, 0, curX, curY, 144);
    EXPECT_EQ(model.m_nLineCount, 0u);
    EXPECT_EQ(curX, 5.0f);
    EXPECT_EQ(curY, 6.0f);
    EXPECT_EQ(bridge.m_messages, std::vector<std::string>{"字体不支持"});
}

TEST(Label, PostScriptFaceKeepsOnlyTheClosingRecords)
{
    COutlineFont font;
    if (!font.Open("Cantarell", 144, 0) || font.FamilyName() != "Cantarell")
        GTEST_SKIP() << "no PostScript-flavoured face installed";
    GlyphOutline glyph;
    ASSERT_TRUE(font.GetGlyphOutline('O', glyph));
    size_t cubicRecords = 0;
    for (const GlyphContour& contour : glyph.contours)
        cubicRecords += contour.curves.size();

    CRecordingBridge bridge;
    std::vector<PltLine> lines = Label({"O", kX, kY, 0.0f, 144, "Cantarell"});
    EXPECT_EQ(bridge.m_messages, std::vector<std::string>(cubicRecords, "字体不支持"));
    ASSERT_EQ(lines.size(), glyph.contours.size());
    for (const PltLine& l : lines) {
        EXPECT_EQ(l.x1, l.x2);
        EXPECT_EQ(l.y1, l.y2);
    }
}

TEST(Label, BadTextNeverBreaksTheModel)
{
    CRecordingBridge bridge;
    size_t perBox = Label({"\x81\x20"}).size();  // no such GBK character: the missing-glyph outline
    struct Case {
        const char* name;
        LabelCase label;
        std::vector<PltLine> expected;
    };
    std::vector<Case> cases = {
        {"empty", {""}, {}},
        {"lone lead byte at the end", {std::string("A\xD6")}, Label({"A"})},
        {"cell height zero", {"AB", kX, kY, 0.0f, 0}, {}},
        {"negative cell height", {"AB", kX, kY, 0.0f, -144}, {}},
        {"huge cell height", {"AB", kX, kY, 0.0f, 400000000}, {}},
        {"undefined direction", {"AB", kX, kY, std::nanf("")}, Label({"AB"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Label(c.label), c.expected);
    }

    // Invalid pairs and control bytes draw at most the missing glyph, one per character.
    EXPECT_LE(Label({"\x81\x20\xFF\xFF"}).size(), 2 * perBox);
    EXPECT_LE(Label({std::string("\x01\x02\x1B\x7F", 4)}).size(), 4 * perBox);
    EXPECT_TRUE(bridge.m_messages.empty());
}

TEST(Label, TenThousandCharactersGrowTheArray)
{
    size_t perChar = Label({"W"}).size();
    CPltFileData model;
    model.SetCharSize(144);
    model.AddLabel("宋体", 144, 0, 200, std::string(10000, 'W'), 0.0f);
    EXPECT_EQ(model.m_nLineCount, 10000 * perChar);
    EXPECT_EQ(model.m_pLines[model.m_nLineCount - 1].x2 - model.m_pLines[perChar - 1].x2,
              9999.0f * (Glyph('W').m_nCellIncX + 3));
}

// The reader hands every LB to the label code with the pen point, the SI height and the DI angle.
class LabelInFile : public PlotFileTest {
protected:
    std::vector<PltLine> LoadRecords(std::string_view content)
    {
        CPltFileData model;
        model.SetCharSize(144);
        EXPECT_TRUE(LoadText(model, content));
        return Records(model);
    }
};

TEST_F(LabelInFile, TextHeightDirectionAndPositionComeFromTheFile)
{
    struct Case {
        const char* name;
        std::string file;
        std::vector<PltLine> expected;
    };
    const std::vector<Case> cases = {
        {"ETX ends the text", "PU1000,5000;LBAB\x03", Label({"AB"})},
        {"';' loses the last character", "PU1000,5000;LBAB;", Label({"A"})},
        {"a GBK character", "PU1000,5000;LB\xD6\xD0\x03", Label({"\xD6\xD0"})},
        {"pen point truncated", "PU1000.9,5000.7;LBA\x03", Label({"A"})},
        {"SI sets the height", "SI0.3,0.4;PU1000,5000;LBE\x03", Label({"E", kX, kY, 0.0f, 160})},
        {"DI0,1 turns the text upwards", "DI0,1;PU1000,5000;LBAB\x03", Label({"AB", kX, kY, 90.0f})},
        {"short labels are ignored", "PU1000,5000;LB;LB\x03", {}},
        {"a huge SI draws nothing", "SI0,100000;PU1000,5000;LBA\x03", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(LoadRecords(c.file), c.expected);
    }
}

TEST_F(LabelInFile, LabelDoesNotMoveThePen)
{
    std::vector<PltLine> expected = Label({"A"});
    expected.push_back({1000, 5000, 2000, 5000});
    EXPECT_EQ(LoadRecords("PU1000,5000;LBA\x03PD2000,5000;"), expected);
}

TEST_F(LabelInFile, CorpusLabelsInFourDirections)
{
    const std::filesystem::path path = std::filesystem::path(TESSALINE_CORPUS_DIR) / "test_di_labels.hp";
    if (!std::filesystem::exists(path))
        GTEST_SKIP() << "corpus not available";
    CRecordingBridge bridge;
    CPltFileData model;
    model.SetCharSize(144);
    model.SetScale(1.0f, 1.0f);
    model.SetFlipY(0);
    ASSERT_TRUE(model.Load(path.string().c_str()));
    // SI.3,.5 and four DI quadrants at PA3000,3000; the angles reach the font truncated to tenths
    // (DI1,-1 gives 314.9999 degrees, escapement 3149).
    std::vector<PltLine> expected;
    for (float angle : {45.0f, 314.95f, 225.0f, 134.95f})
        expected = Concat(expected, Label({"  DIRECTION", 3000, 3000, angle, 200}));
    EXPECT_EQ(Records(model), expected);
    EXPECT_TRUE(bridge.m_messages.empty());
}
