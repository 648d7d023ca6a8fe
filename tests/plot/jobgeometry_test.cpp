// Job geometry: mirror, quarter turns, size in metres, the fold, and their order in PrepareJob.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "document/marquelldoc.h"
#include "plot/jobgeometry.h"
#include "plttestutil.h"

namespace {

// A bare info block owns its array only here, in the tests.
struct OwnedInfo : PltInfo {
    ~OwnedInfo() { std::free(m_pLines); }
};

void SetModel(PltInfo& info, const std::vector<PltLine>& lines, float maxX, float maxY)
{
    std::free(info.m_pLines);
    info.m_pLines = static_cast<PltLine*>(std::malloc(sizeof(PltLine) * (lines.size() + 1)));
    std::memcpy(info.m_pLines, lines.data(), sizeof(PltLine) * lines.size());
    info.m_nCapacity = static_cast<uint32_t>(lines.size() + 1);
    info.m_nLineCount = static_cast<uint32_t>(lines.size());
    info.m_fMaxX = maxX;
    info.m_fMaxY = maxY;
}

TEST(Geometry, MirrorAndQuarterTurns)
{
    CPltFileData plt;
    SetModel(plt, {{10, 20, 30, 5}}, 40, 50);
    plt.Mirror();
    EXPECT_EQ(Records(plt), (std::vector<PltLine>{{10, 20, 30, 5}})) << "mirror flag clear";

    plt.SetMirror(1);
    plt.Mirror();
    EXPECT_EQ(Records(plt), (std::vector<PltLine>{{30, 20, 10, 5}}));
    EXPECT_EQ(plt.m_fMaxX, 30.0f) << "largest new x";

    // Mirrored turn: (x, y) -> (y, W - x) with W the width before the turn.
    plt.SetRotate(1);
    plt.Rotate90();
    EXPECT_EQ(Records(plt), (std::vector<PltLine>{{20, 0, 5, 20}}));
    EXPECT_EQ(plt.m_fMaxX, 50.0f);
    EXPECT_EQ(plt.m_fMaxY, 30.0f);

    // Plain turn: (x, y) -> (H - y, x).
    plt.SetMirror(0);
    SetModel(plt, {{10, 20, 30, 5}}, 40, 50);
    plt.Rotate90();
    EXPECT_EQ(Records(plt), (std::vector<PltLine>{{30, 10, 45, 30}}));
    EXPECT_EQ(plt.m_fMaxX, 50.0f);
    EXPECT_EQ(plt.m_fMaxY, 40.0f);

    // Without the flag only the extent is raised to the records.
    plt.SetRotate(0);
    SetModel(plt, {{10, 20, 60, 5}}, 40, 15);
    plt.Rotate90();
    EXPECT_EQ(Records(plt), (std::vector<PltLine>{{10, 20, 60, 5}}));
    EXPECT_EQ(plt.m_fMaxX, 60.0f);
    EXPECT_EQ(plt.m_fMaxY, 20.0f);
}

TEST(Geometry, FourPlainTurnsRestoreTheModel)
{
    CPltFileData plt;
    plt.SetRotate(1);
    SetModel(plt, {{0, 0, 100, 0}, {100, 0, 100, 50}}, 100, 50);
    for (int i = 0; i < 4; ++i)
        plt.Rotate90();
    EXPECT_EQ(Records(plt), (std::vector<PltLine>{{0, 0, 100, 0}, {100, 0, 100, 50}}));
}

TEST(Geometry, ComputeSizeFoldsOnlyWiderThanMaxWidth)
{
    const struct {
        float maxX;
        bool preview;
        uint8_t foldBefore;
        uint8_t fold;
        float widthM;
    } cases[] = {
        {72000, false, 1, 0, 1.8f},                            // exactly 180 cm: not folded
        {72001, false, 0, 1, static_cast<float>(72001 * 0.025f / 1000 / 2 + 0.0125)},
        {144000, true, 0, 0, 3.6f},                            // the preview never folds...
        {100, true, 1, 1, 0.0025f},                            // ...and leaves the flag alone
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.maxX);
        PltInfo info;
        info.m_fMaxX = c.maxX;
        info.m_fMaxY = 40000;
        uint8_t fold = c.foldBefore;
        CJobGeometry::ComputeSize(info, c.preview, 180.0f, fold);
        EXPECT_EQ(fold, c.fold);
        EXPECT_EQ(info.m_fWidthM, c.widthM);
        EXPECT_EQ(info.m_fLengthM, c.fold && !c.preview ? static_cast<float>(1.0f * 2 + 0.175) : 1.0f);
    }
}

TEST(Geometry, FoldSplitsAtHalfWidthAndAddsMarks)
{
    OwnedInfo info;
    SetModel(info,
             {{1000, 0, 1000, 10000},   // on the cut: stays left
              {1500, 100, 500, 200},    // crosses the cut, drawn right to left
              {1200, 300, 1800, 400},   // right half
              {0, 0, 400, 800}},        // left half
             2000, 10000);
    CJobGeometry::FoldWideJob(info);

    std::vector<PltLine> expected = {
        {1000, 500, 1000, 10500},
        {500, 700, 1000, 650},
        {700, 12800, 1300, 12900},
        {0, 500, 400, 1300},
        {500, 12650, 1000, 12600},  // the right part of the crossing record
    };
    for (int l = 0; l <= 48; l += 2) {
        expected.push_back({1000, 200.0f * l + 500, 1000, 200.0f * l + 700});
        expected.push_back({500, 200.0f * l + 12500, 500, 200.0f * l + 12700});
    }
    expected.push_back({500, 0, 1500, 1000});
    expected.push_back({500, 1000, 1500, 0});
    expected.push_back({0, 12000, 1000, 13000});
    expected.push_back({0, 13000, 1000, 12000});
    expected.push_back({500, 10000, 1500, 11000});
    expected.push_back({500, 11000, 1500, 10000});
    expected.push_back({0, 22000, 1000, 23000});
    expected.push_back({0, 23000, 1000, 22000});
    EXPECT_EQ(Records(info), expected);
    EXPECT_EQ(info.m_fMaxX, 1500.0f);
    EXPECT_EQ(info.m_fMaxY, 27000.0f);
    EXPECT_GE(info.m_nCapacity, info.m_nLineCount) << "the array grew for the marks";
}

TEST(Geometry, FoldOfAHugePlotStopsAtTheRecordLimit)
{
    OwnedInfo info;
    info.m_nMaxLines = 5000;
    SetModel(info, {{0, 0, 2000, 1e30f}}, 2000, 1e30f);
    CJobGeometry::FoldWideJob(info);
    EXPECT_EQ(info.m_nLineCount, 5000u);
    EXPECT_TRUE(info.m_bLinesExhausted);
}

class PrepareJobTest : public PlotFileTest {
protected:
    // A document without config.ini: every setting at its default.
    std::vector<PltLine> Prepare(CMarquellDoc& doc, std::string_view plot, JobSlot slot = SlotPrint)
    {
        doc.m_strSlotPath[slot] = WriteFile(plot);
        EXPECT_TRUE(doc.PrepareJob(slot));
        return Records(doc.m_PltData[slot]);
    }
};

TEST_F(PrepareJobTest, OrderOfTurnsAndMirror)
{
    // Extent (100, 50); a record along the bottom edge.
    const char* plot = "PU0,50;PU0,0;PD100,0;";
    const struct {
        const char* what;
        bool rotate, unclockwise, mirror;
        PltLine record;
        float maxX, maxY;
    } cases[] = {
        {"base turn only", false, false, false, {0, 0, 0, 100}, 50, 100},
        {"two turns", true, false, false, {100, 0, 0, 0}, 100, 50},
        {"four turns: flipped file orientation", true, true, false, {0, 50, 100, 50}, 100, 50},
        {"mirror: the opposite turn", false, false, true, {50, 0, 50, 100}, 50, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CMarquellDoc doc(m_dir.string());
        doc.m_UserDefine.PRINTROTATION90 = c.rotate;
        doc.m_UserDefine.PRINTROTATION90_UNCLOCKWISE = c.unclockwise;
        doc.m_UserDefine.PRINTMIRROR = c.mirror;
        EXPECT_EQ(Prepare(doc, plot), (std::vector<PltLine>{c.record}));
        EXPECT_EQ(doc.m_PltData[SlotPrint].m_fMaxX, c.maxX);
        EXPECT_EQ(doc.m_PltData[SlotPrint].m_fMaxY, c.maxY);
    }
}

TEST_F(PrepareJobTest, WidePlotIsFoldedExceptInThePreview)
{
    // 2 m across the feed after the base turn: file Y extent 80000 units.
    const char* plot = "PU0,0;PD4000,80000;";
    CMarquellDoc doc(m_dir.string());
    Prepare(doc, plot, SlotPreview);
    EXPECT_EQ(doc.m_bFoldJob, 0);
    EXPECT_EQ(doc.m_PltData[SlotPreview].m_nLineCount, 1u);

    Prepare(doc, plot, SlotPrintPreview);
    EXPECT_EQ(doc.m_bFoldJob, 1);
    const CPltFileData& plt = doc.m_PltData[SlotPrintPreview];
    EXPECT_EQ(plt.m_fMaxX, 40500.0f);
    EXPECT_EQ(plt.m_fMaxY, 2 * 4000.0f + 7000);
    EXPECT_EQ(plt.m_fWidthM, static_cast<float>(2.0f / 2 + 0.0125));

    Prepare(doc, plot, SlotPreview);
    EXPECT_EQ(doc.m_bFoldJob, 1) << "the preview leaves the flag as it was";
}

TEST_F(PrepareJobTest, UnreadableFileFails)
{
    CMarquellDoc doc(m_dir.string());
    doc.m_strSlotPath[SlotPrint] = (m_dir / "missing.plt").string();
    EXPECT_FALSE(doc.PrepareJob(SlotPrint));
}

}  // namespace
