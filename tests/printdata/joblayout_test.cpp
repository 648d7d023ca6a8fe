// Head layout: band height, section count, pass mode, pair selection, print geometry, active heads.
#include <gtest/gtest.h>

#include "plot/pltfiledata.h"
#include "printdata/joblayout.h"
#include "printtestsupport.h"

namespace {

PltInfo Extent(float maxX, float maxY)
{
    PltInfo info;
    info.m_fMaxX = maxX;
    info.m_fMaxY = maxY;
    return info;
}

}  // namespace

TEST(JobLayout, WorkedExampleWithDefaults)
{
    CUserDefine ud = MakeSettings();
    ud.JetPrintHeadOpenStatus[2] = 1;  // a closed position's offset must not count, an open one must
    ud.JetPrintHeadValueX[2] = 40;
    ud.JetPrintHeadValueX[5] = 900;
    PltInfo info = Extent(40000.0f, 1000.0f);
    CJobLayout layout;
    layout.Reset();
    layout.Setup(&ud, info);
    EXPECT_EQ(layout.m_nBandHeight, 698);
    EXPECT_EQ(layout.m_nWidthDots, 6653);
    EXPECT_EQ(layout.m_nSectionCount, 12);
    EXPECT_EQ(layout.m_nPassesPerSegment, 4);
    EXPECT_TRUE(ud.m_bFourPass);
    EXPECT_EQ(ud.m_nHeadPairCode, 1);

    ASSERT_TRUE(layout.Finalize());
    EXPECT_EQ(layout.m_nRowBytes, 832);
    EXPECT_EQ(layout.m_nLeftDots, 1995);
    EXPECT_EQ(layout.m_nColumns, 6656 + 40);
    EXPECT_EQ(layout.m_nRightDots, 1995 + 6656 + 40);
    EXPECT_EQ(layout.m_nSegmentWords, (6756 + 40) * 154);
    EXPECT_EQ(layout.m_nStepTotal, 1096);
    EXPECT_EQ(layout.m_nSlotsPerHead, 154);
}

TEST(JobLayout, SectionCountIsAMultipleOfFourWithEightSpareBands)
{
    CUserDefine ud = MakeSettings();
    struct Case {
        float maxY;
        int sections;
    } cases[] = {
        {0.0f, 8},             // no records: n = 0
        {3 * 698.0f, 12},      // n = 3
        {4 * 698.0f, 12},      // n = 4
        {4 * 698.0f + 1, 16},  // n = 5
        {9 * 698.0f, 20},      // n = 9
        {-5000.0f, 8},         // a plot below zero touches no band
    };
    for (const Case& c : cases) {
        PltInfo info = Extent(100.0f, c.maxY);
        CJobLayout layout;
        layout.Setup(&ud, info);
        EXPECT_EQ(layout.m_nSectionCount, c.sections) << "maxY " << c.maxY;
    }
}

TEST(JobLayout, PairSelectionAndPassMode)
{
    struct Case {
        int heads;
        std::vector<int> open;
        bool fourPass;
        int pair;
        bool message;
    } cases[] = {
        {1, {0}, true, 1, false},     {1, {1}, true, 1, false},    {1, {2}, true, 3, false},
        {1, {3}, true, 3, false},     {1, {}, true, 0, true},      {2, {0, 1}, true, 1, false},
        {2, {1, 2}, true, 2, false},  {2, {2, 3}, true, 3, false}, {2, {0, 2}, true, 0, true},
        {3, {0, 1, 2}, false, 0, false}, {4, {0, 1, 2, 3}, false, 0, false},
    };
    for (const Case& c : cases) {
        CRecordingBridge bridge;
        CUserDefine ud = MakeSettings(c.heads, c.open);
        ud.m_nHeadPairCode = 7;
        PltInfo info = Extent(100.0f, 100.0f);
        CJobLayout layout;
        layout.Setup(&ud, info);
        SCOPED_TRACE(::testing::Message() << c.heads << " heads, case pair " << c.pair);
        EXPECT_EQ(ud.m_bFourPass, c.fourPass);
        EXPECT_EQ(layout.m_nPassesPerSegment, c.fourPass ? 4 : 2);
        EXPECT_EQ(ud.m_nHeadPairCode, c.pair);
        EXPECT_EQ(bridge.m_Messages, c.message ? std::vector<std::string>{"喷头配置有误，请检查！"}
                                               : std::vector<std::string>{});
    }
}

TEST(JobLayout, ActiveHeadsTakePositionsAndColumnOffsets)
{
    struct Case {
        int heads;
        std::vector<int> open;
        std::vector<int> positions;  // empty: no rule matches
    } cases[] = {
        {1, {1}, {1}},          {1, {2, 3}, {2}},       {2, {2, 3}, {2, 3}}, {2, {0, 2}, {}},
        {3, {1, 2, 3}, {1, 2, 3}}, {3, {0, 1, 3}, {}},  {4, {0, 1, 2, 3}, {0, 1, 2, 3}}, {4, {0, 1, 2}, {}},
    };
    for (const Case& c : cases) {
        CRecordingBridge bridge;
        CUserDefine ud = MakeSettings(c.heads, c.open);
        for (int i = 0; i < 8; ++i)
            ud.JetPrintHeadValueX[i] = 100 + i;
        CJobLayout layout;
        layout.m_pSettings = &ud;
        HeadPos heads[4];
        bool matched = layout.ActiveHeads(heads, c.heads);
        SCOPED_TRACE(::testing::Message() << c.heads << " heads, first open " << (c.open.empty() ? -1 : c.open[0]));
        EXPECT_EQ(matched, !c.positions.empty());
        EXPECT_EQ(bridge.m_Messages.size(), c.positions.empty() ? 1u : 0u);
        for (int h = 0; h < c.heads; ++h) {
            int pos = c.positions.empty() ? 0 : c.positions[h];
            int off1 = c.positions.empty() ? 0 : 100 + 2 * pos;
            EXPECT_EQ(heads[h].pos, pos);
            EXPECT_EQ(heads[h].off1, off1);
            EXPECT_EQ(heads[h].off2, c.positions.empty() ? 0 : off1 + 1);
        }
    }
}

TEST(JobLayout, SkewTableTruncatesTowardZero)
{
    CUserDefine ud = MakeSettings();
    ud.JetPrintHeadValueY[0] = 7;
    ud.JetPrintHeadValueY[3] = -7;
    PltInfo info = Extent(1000.0f, 1000.0f);
    CJobLayout layout;
    layout.Setup(&ud, info);
    ASSERT_TRUE(layout.Finalize());
    EXPECT_EQ(ud.m_SkewTable[0][0], 0);
    EXPECT_EQ(ud.m_SkewTable[0][21], 0);
    EXPECT_EQ(ud.m_SkewTable[0][22], 1);
    EXPECT_EQ(ud.m_SkewTable[0][149], 6);
    EXPECT_EQ(ud.m_SkewTable[3][149], -6);
    EXPECT_EQ(ud.m_SkewTable[5][149], 0);
}

TEST(JobLayout, OversizedGeometryIsRefusedNotWrapped)
{
    struct Case {
        const char* what;
        float maxX;
        float maxY;
        int lineWidth;
    } cases[] = {
        {"width beyond the int range", 1e30f, 1000.0f, 2},
        {"segment words beyond the limit", 8e7f, 1000.0f, 2},
        {"sections beyond the section table", 1000.0f, 1e13f, 2},
        {"section count beyond the int range", 1000.0f, 1e30f, 2},
        {"stroke width overflowing the row bytes", 1000.0f, 1000.0f, 2147483647},
    };
    for (const Case& c : cases) {
        CUserDefine ud = MakeSettings();
        ud.ELineWidth = c.lineWidth;
        PltInfo info = Extent(c.maxX, c.maxY);
        CJobLayout layout;
        layout.Setup(&ud, info);
        EXPECT_GT(layout.m_nSectionCount, 0) << c.what;
        EXPECT_FALSE(layout.Finalize()) << c.what;
        EXPECT_EQ(layout.m_nSegmentWords, 0) << c.what;
        EXPECT_EQ(layout.m_nRowBytes, 0) << c.what;
    }
}

TEST(JobLayout, RightEdgeMustFitTheControllersSixteenBitXMaximum)
{
    // SetXMax travels as 16 bits: a wider job would reach the controller with a wrapped edge and fail
    // every segment's DRAM checksum, so it is refused before anything is sent.
    CUserDefine ud = MakeSettings();
    PltInfo info = Extent(40000.0f, 1000.0f);
    CJobLayout layout;
    layout.Setup(&ud, info);
    ASSERT_TRUE(layout.Finalize());
    const int columns = layout.m_nColumns;

    ud.m_nLeftDots = 65535 - columns;
    layout.Setup(&ud, info);
    ASSERT_TRUE(layout.Finalize());
    EXPECT_EQ(layout.m_nRightDots, 65535);

    ud.m_nLeftDots = 65536 - columns;
    layout.Setup(&ud, info);
    EXPECT_FALSE(layout.Finalize());
    EXPECT_EQ(layout.m_nSegmentWords, 0);
}

TEST(JobLayout, ZeroBandHeightDoesNotDivide)
{
    CUserDefine ud = MakeSettings();
    ud.EdLineSection = 0.0f;
    PltInfo info = Extent(1000.0f, 5000.0f);
    CJobLayout layout;
    layout.Setup(&ud, info);
    EXPECT_EQ(layout.m_nBandHeight, 0);
    EXPECT_EQ(layout.m_nSectionCount, 8);
}
