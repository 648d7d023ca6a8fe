// Head raster data: slot tables, spans, scan conversion and firing words.
#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "plot/pltfiledata.h"
#include "printdata/joblayout.h"
#include "printdata/pltlinesects4data.h"
#include "printdata/plts4c4printdata.h"
#include "printtestsupport.h"

using Dot = std::pair<int, int>;  // (row, dot)

namespace {

// One HP45 head at the given position, a plot 1000 units wide: 21 bytes (168 dots) per row,
// 150 rows. unitScale makes one plotter unit one dot and one row, so lines read in dots.
class RasterTest : public ::testing::Test {
protected:
    void Build(int position = 0, bool unitScale = true)
    {
        m_Settings = MakeSettings(1, {position});
        if (unitScale)
            m_Settings.m_fDotsPerUnitX = m_Settings.m_fRowsPerUnitY = 1.0f;
        Configure();
    }
    void Configure()
    {
        m_Info.m_fMaxX = 1000.0f;
        m_Info.m_fMaxY = 1000.0f;
        m_Layout.Setup(&m_Settings, m_Info);
        ASSERT_TRUE(m_Layout.Finalize());
        m_Data.m_pLayout = &m_Layout;
        ASSERT_TRUE(m_Data.AllocBuffers());
    }
    void SetUp() override { Build(); }

    std::set<Dot> Dots() const
    {
        std::set<Dot> out;
        for (int r = 0; r < m_Data.RowCount(); ++r)
            for (int b = 0; b < m_Layout.m_nRowBytes; ++b)
                for (int bit = 0; bit < 8; ++bit)
                    if (m_Data.m_pRows[r][b] & (1 << bit))
                        out.insert({r, 8 * b + bit});
        return out;
    }
    static std::set<Dot> Run(int row, int from, int to)
    {
        std::set<Dot> out;
        for (int d = from; d <= to; ++d)
            out.insert({row, d});
        return out;
    }
    std::vector<std::pair<int, uint16_t>> NonZeroWords() const
    {
        std::vector<std::pair<int, uint16_t>> out;
        for (int i = 0; i < m_Layout.m_nSegmentWords; ++i)
            if (m_Data.m_pWords[i])
                out.push_back({i, m_Data.m_pWords[i]});
        return out;
    }

    CUserDefine m_Settings;
    PltInfo m_Info;
    CJobLayout m_Layout;
    CPltS4C4PrintData m_Data;
};

}  // namespace

TEST(SlotTables, ValuesAndInverses)
{
    const int slot1[] = {0, 105, 56, 7, 112, 63, 14, 119};
    const int slot2[] = {56, 7, 112, 63, 14, 119, 70, 21};
    for (int n = 0; n < 8; ++n) {
        EXPECT_EQ(CPltS4C4PrintData::NozzleToSlot1(n), slot1[n]) << n;
        EXPECT_EQ(CPltS4C4PrintData::NozzleToSlot2(n), slot2[n]) << n;
    }
    EXPECT_EQ(CPltS4C4PrintData::NozzleToSlot1(21), 50);
    EXPECT_EQ(CPltS4C4PrintData::NozzleToSlot1(20), 99);
    EXPECT_EQ(CPltS4C4PrintData::SlotToNozzle1(48), 4999);

    std::vector<int> empty1, empty2;
    for (int s = 0; s < 154; ++s) {
        if (CPltS4C4PrintData::SlotToNozzle1(s) == CPltS4C4PrintData::kEmptySlot)
            empty1.push_back(s);
        if (CPltS4C4PrintData::SlotToNozzle2(s) == CPltS4C4PrintData::kEmptySlot)
            empty2.push_back(s);
    }
    EXPECT_EQ(empty1, (std::vector<int>{48, 49, 98, 153}));
    EXPECT_EQ(empty2, (std::vector<int>{0, 55, 104, 105}));
    for (int n = 0; n < 150; ++n) {
        EXPECT_EQ(CPltS4C4PrintData::SlotToNozzle1(CPltS4C4PrintData::NozzleToSlot1(n)), n);
        EXPECT_EQ(CPltS4C4PrintData::SlotToNozzle2(CPltS4C4PrintData::NozzleToSlot2(n)), n);
    }
    for (int out : {-1, 150, 154, 1000}) {
        EXPECT_EQ(CPltS4C4PrintData::NozzleToSlot1(out), out < 150 && out >= 0 ? 50 : 0);
        EXPECT_EQ(CPltS4C4PrintData::NozzleToSlot2(out), 0);
    }
    EXPECT_EQ(CPltS4C4PrintData::SlotToNozzle1(154), 0);
    EXPECT_EQ(CPltS4C4PrintData::SlotToNozzle2(-1), 0);
}

TEST_F(RasterTest, FillSpanRunsAndClamping)
{
    struct Case {
        const char* what;
        int x, row, len;
        std::set<Dot> dots;
    } cases[] = {
        {"inside one byte", 5, 3, 2, Run(3, 5, 6)},
        {"bits, whole byte, bits", 6, 0, 12, Run(0, 6, 17)},
        {"whole bytes only", 0, 0, 16, Run(0, 0, 15)},
        {"single dots past the end land in the last byte", 170, 0, 2, Run(0, 162, 163)},
        {"whole run stops at the last byte", 160, 0, 20, Run(0, 160, 167)},
        {"whole run starting beyond the row sets nothing", 165, 0, 20, {{0, 160}, {0, 165}, {0, 166}, {0, 167}}},
        {"rows past the last are drawn on the last", 0, 150, 3, Run(149, 0, 2)},
        {"dots below zero are dropped", -3, 2, 5, Run(2, 0, 1)},
        {"a span wholly below zero sets nothing", -10, 2, 5, {}},
        {"a row below zero sets nothing", 0, -1, 4, {}},
        {"an empty span sets nothing", 4, 1, 0, {}},
    };
    for (const Case& c : cases) {
        m_Data.ClearRows();
        m_Data.FillSpan(c.x, c.row, c.len);
        EXPECT_EQ(Dots(), c.dots) << c.what;
    }
}

TEST_F(RasterTest, DotsAndHorizontalLines)
{
    m_Data.DrawLine(10, 20, 10, 20);
    EXPECT_TRUE(Dots().empty()) << "a zero-length line marks nothing";

    // W = 2: dots 9..12 (2 + W dots from one left of the start) on rows 20 and 21.
    std::set<Dot> expected = Run(20, 9, 12);
    expected.merge(Run(21, 9, 12));
    m_Data.DrawLine(10, 20, 11, 20);
    EXPECT_EQ(Dots(), expected);
    m_Data.ClearRows();
    m_Data.DrawLine(11, 20, 10, 20);
    EXPECT_EQ(Dots(), expected) << "drawn right to left";

    m_Data.ClearRows();
    m_Data.DrawLine(0.5f, 7, 3, 7);
    EXPECT_EQ(Dots(), [] {
        std::set<Dot> s = Run(7, 0, 4);
        s.merge(Run(8, 0, 4));
        return s;
    }()) << "a start below one dot is not moved left";
}

TEST_F(RasterTest, VerticalLineCoversItsRows)
{
    m_Data.DrawLine(40, 10, 40, 14);
    std::set<Dot> expected;
    for (int r = 10; r < 14; ++r)
        expected.merge(Run(r, 40, 41));
    EXPECT_EQ(Dots(), expected);
}

TEST_F(RasterTest, LongXMajorLineIsTwoRowsThickAndThreeDotsWide)
{
    m_Data.DrawLine(0, 10, 100, 30);
    std::set<Dot> dots = Dots();
    for (int x = 0; x <= 100; ++x) {
        int y = static_cast<int>((20.0f * x + 10.0f * 100 - 30.0f * 0) / 100.0f);
        for (int r = y; r <= y + 1; ++r)
            for (int d = x; d <= x + 1; ++d)
                EXPECT_TRUE(dots.count({r, d})) << "row " << r << " dot " << d;
    }
    for (const Dot& d : dots) {
        EXPECT_GE(d.first, 10);
        EXPECT_LE(d.first, 31);
        EXPECT_LE(d.second, 101);
    }
    // Along each row the stroke is a few dots wide between steps, never a gap.
    for (int r = 11; r < 30; ++r) {
        int lo = 1000, hi = -1, n = 0;
        for (const Dot& d : dots)
            if (d.first == r) {
                lo = std::min(lo, d.second);
                hi = std::max(hi, d.second);
                ++n;
            }
        EXPECT_EQ(n, hi - lo + 1) << "row " << r;
        EXPECT_GE(n, 3) << "row " << r;
    }
}

TEST_F(RasterTest, LinesOutsideTheBitmapAreClippedAndTerminate)
{
    m_Data.DrawLine(-50, -50, -10, -20);
    m_Data.DrawLine(-5000, 3, -10, 3);
    EXPECT_TRUE(Dots().empty());

    m_Data.DrawLine(-60, 0, 40, 100);  // crosses into the bitmap from the left
    std::set<Dot> dots = Dots();
    EXPECT_TRUE(dots.count({100, 40}));
    EXPECT_TRUE(dots.count({60, 0}));
    for (const Dot& d : dots)
        EXPECT_GE(d.first, 59);

    // Corrupt coordinates: every call must return and stay inside the rows.
    m_Data.DrawLine(-1e30f, 5, 1e30f, 6);
    m_Data.DrawLine(3, -1e30f, 4, 1e30f);
    m_Data.DrawLine(3, -1e30f, 3, 1e30f);
    m_Data.DrawLine(-1e30f, 7, 1e30f, 7);
    m_Data.DrawLine(1e9f, 1e9f, -1e9f, 1e9f + 70000);
    EXPECT_FALSE(Dots().empty());
}

TEST_F(RasterTest, SectionsPastTheLastOneStayEmpty)
{
    PltLine line{0, 698 + 10, 100, 698 + 10};
    LineSection section{1, 1, &line};
    m_Data.RasterizeSection(&section, 1);
    EXPECT_EQ(Dots().begin()->first, 10) << "drawn relative to the band top";
    m_Data.RasterizeSection(&section, m_Layout.m_nSectionCount);
    EXPECT_TRUE(Dots().empty());
}

TEST_F(RasterTest, FiringWordsOfTheFirstDot)
{
    m_Data.FillSpan(0, 0, 1);
    m_Layout.m_bReversePass = 0;
    m_Data.BuildFiringWords();
    EXPECT_EQ(NonZeroWords(), (std::vector<std::pair<int, uint16_t>>{{0, 0x01}, {56, 0x10}}));

    const int C = m_Layout.m_nColumns;
    m_Layout.m_bReversePass = 1;
    m_Data.BuildFiringWords();
    EXPECT_EQ(NonZeroWords(), (std::vector<std::pair<int, uint16_t>>{{C * 154, 0x01}, {C * 154 + 56, 0x10}}));
}

TEST_F(RasterTest, FiringWordsFollowPositionOffsetsAndSkew)
{
    Build(1);
    m_Settings.JetPrintHeadValueX[2] = 5;
    m_Settings.JetPrintHeadValueX[3] = 34;
    m_Settings.JetPrintHeadValueY[2] = 7;  // nozzle 22 is displaced by one dot
    Configure();
    const int C = m_Layout.m_nColumns;
    const int s1 = CPltS4C4PrintData::NozzleToSlot1(22);
    const int s2 = CPltS4C4PrintData::NozzleToSlot2(22);

    m_Data.FillSpan(3, 22, 1);
    m_Layout.m_bReversePass = 0;
    m_Data.BuildFiringWords();
    EXPECT_EQ(m_Data.m_nHeadSlot[0], 1);
    EXPECT_EQ(NonZeroWords(),
              (std::vector<std::pair<int, uint16_t>>{{154 * (5 + 3 + 1) + s1, 0x02}, {154 * (34 + 3 + 1) + s2, 0x20}}));

    m_Layout.m_bReversePass = 1;
    m_Data.BuildFiringWords();
    EXPECT_EQ(NonZeroWords(), (std::vector<std::pair<int, uint16_t>>{{154 * (C - 34 - 3 - 1) + s2, 0x20},
                                                                      {154 * (C - 5 - 3 - 1) + s1, 0x02}}));
}

TEST_F(RasterTest, WordsOutsideTheSegmentAreDropped)
{
    Build(0);
    m_Settings.JetPrintHeadValueX[0] = -1000;
    m_Settings.JetPrintHeadValueX[1] = 0;
    Configure();
    m_Data.FillSpan(2, 0, 1);
    m_Layout.m_bReversePass = 0;
    m_Data.BuildFiringWords();
    EXPECT_EQ(NonZeroWords(), (std::vector<std::pair<int, uint16_t>>{{154 * 2 + 56, 0x10}}));
}

TEST_F(RasterTest, UnmatchedHeadsFireAtPositionZeroAfterTheMessage)
{
    CRecordingBridge bridge;
    Build(0);
    m_Settings.JetPrintHeadOpenStatus[0] = 0;
    m_Settings.JetPrintHeadValueX[0] = 9;  // offsets of position 0 are not used either
    m_Data.FillSpan(0, 0, 1);
    m_Data.BuildFiringWords();
    EXPECT_EQ(bridge.m_Messages, std::vector<std::string>{"喷头配置有误，请检查！"});
    EXPECT_EQ(NonZeroWords(), (std::vector<std::pair<int, uint16_t>>{{0, 0x01}, {56, 0x10}}));
}
