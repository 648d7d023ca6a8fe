// Line sections: counting and cutting records into head-height bands.
#include <gtest/gtest.h>

#include <vector>

#include "plot/pltfiledata.h"
#include "printdata/joblayout.h"
#include "printdata/pltlinesects4data.h"
#include "printtestsupport.h"

namespace {

struct Frag {
    unsigned section;
    PltLine line;
};

// Default settings (B = 698), the extent taken from the records as the reader would.
class SectionsTest : public ::testing::Test {
protected:
    void Cut(const std::vector<PltLine>& records, float maxY = -1.0f)
    {
        float extent = 0.0f;
        for (const PltLine& r : records) {
            m_Info.AppendLine(r.x1, r.y1, r.x2, r.y2);
            extent = std::max({extent, r.y1, r.y2});
        }
        m_Info.m_fMaxX = 1000.0f;
        m_Info.m_fMaxY = maxY >= 0 ? maxY : extent;
        m_Layout.Setup(&m_Settings, m_Info);
        m_Sections.m_pLayout = &m_Layout;
        ASSERT_TRUE(m_Sections.CountFragments(m_Info));
        m_bFilled = m_Sections.FillFragments(m_Info);
    }

    std::vector<Frag> All() const
    {
        std::vector<Frag> out;
        for (unsigned j = 0; j < m_Sections.m_nSectionCount; ++j) {
            const LineSection& s = m_Sections.m_pSections[j];
            EXPECT_LE(s.count, static_cast<unsigned>(s.capacity)) << "section " << j;
            for (unsigned k = 0; k < s.count; ++k)
                out.push_back(Frag{j, s.lines[k]});
        }
        return out;
    }

    void ExpectFragments(const std::vector<Frag>& expected) const
    {
        std::vector<Frag> got = All();
        ASSERT_EQ(got.size(), expected.size());
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].section, expected[i].section) << "fragment " << i;
            EXPECT_EQ(got[i].line, expected[i].line) << "fragment " << i;
        }
    }

    CUserDefine m_Settings = MakeSettings();
    CPltFileData m_Info;
    CJobLayout m_Layout;
    CPltLineSectS4Data m_Sections;
    bool m_bFilled = false;
};

}  // namespace

TEST_F(SectionsTest, VerticalRecordIsCutAtEveryBandEdge)
{
    Cut({{10, 100, 10, 1500}});
    EXPECT_TRUE(m_bFilled);
    ExpectFragments({{0, {10, 100, 10, 698}}, {1, {10, 698, 10, 1396}}, {2, {10, 1396, 10, 1500}}});
}

TEST_F(SectionsTest, DiagonalEndingOnAnEdgeLeavesAZeroLengthFragment)
{
    Cut({{0, 0, 698, 698}});
    ExpectFragments({{0, {0, 0, 698, 698}}, {1, {698, 698, 698, 698}}});
}

TEST_F(SectionsTest, DiagonalCutsInterpolateFromTheFirstEndpoint)
{
    Cut({{0, 100, 1000, 1600}});
    float k = 1000.0f / 1500.0f;
    ExpectFragments({{0, {0, 100, k * 598.0f, 698}},
                     {1, {k * 598.0f, 698, k * 1296.0f, 1396}},
                     {2, {k * 1296.0f, 1396, 1000, 1600}}});
}

TEST_F(SectionsTest, DownwardRecordIsStoredUpwards)
{
    Cut({{5, 900, 5, 100}});
    ExpectFragments({{0, {5, 100, 5, 698}}, {1, {5, 698, 5, 900}}});
}

TEST_F(SectionsTest, HorizontalOnAnEdgeAndPointsLandInOneSection)
{
    Cut({{0, 698, 500, 698}, {30, 40, 30, 40}});
    ExpectFragments({{0, {30, 40, 30, 40}}, {1, {0, 698, 500, 698}}});
}

TEST_F(SectionsTest, NegativeYIsRaisedToZeroKeepingX)
{
    Cut({{20, -300, 20, 200}, {-40, -10, 60, -5}});
    ExpectFragments({{0, {20, 0, 20, 200}}, {0, {-40, 0, 60, 0}}});
}

TEST_F(SectionsTest, EmptyBandsFollowTheContent)
{
    Cut({{0, 0, 0, 1000}});
    ASSERT_EQ(m_Sections.m_nSectionCount, 12u);
    for (unsigned j = 2; j < 12; ++j) {
        EXPECT_EQ(m_Sections.m_pSections[j].count, 0u);
        EXPECT_EQ(m_Sections.m_pSections[j].lines, nullptr);
    }
}

TEST_F(SectionsTest, RecordsBeyondTheLastSectionAreDropped)
{
    // An extent that understates the records (or a corrupt record) must not write past the table.
    Cut({{0, 100, 0, 100000}, {5, 50000, 6, 60000}, {1, 1e30f, 2, 1e30f}}, 0.0f);
    ASSERT_EQ(m_Sections.m_nSectionCount, 8u);
    std::vector<Frag> got = All();
    ASSERT_EQ(got.size(), 8u);
    EXPECT_EQ(got.back().line, (PltLine{0, 7 * 698, 0, 8 * 698}));
}

TEST_F(SectionsTest, ZeroBandHeightIsReportedByTheCuttingPass)
{
    CRecordingBridge bridge;
    m_Settings.EdLineSection = 0.0f;
    Cut({{0, 0, 10, 10}});
    EXPECT_FALSE(m_bFilled);
    EXPECT_EQ(bridge.m_Messages, std::vector<std::string>{"数据段宽度有误！"});
}

TEST_F(SectionsTest, SectionCountOutsideTheTableIsRefused)
{
    Cut({{0, 0, 0, 5000}});
    for (int count : {0, kMaxSectionCount + 1}) {
        m_Layout.m_nSectionCount = count;
        EXPECT_FALSE(m_Sections.CountFragments(m_Info)) << count;
        EXPECT_EQ(m_Sections.m_pSections, nullptr);
        EXPECT_EQ(m_Sections.m_nSectionCount, 0u);
        EXPECT_FALSE(m_Sections.FillFragments(m_Info));
    }
}
