// Print segments: header, pass packing, colour bar, exchange step, run-length form and checksum.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

#include "plot/pltfiledata.h"
#include "printdata/joblayout.h"
#include "printdata/pltlinesects4data.h"
#include "printdata/plts4c4printdata.h"
#include "printdata/segmentpacker.h"
#include "printtestsupport.h"
#include "segmentdecoder.h"

namespace {

const std::vector<uint16_t> kHeaderWords(CSegmentPacker::kHeader, CSegmentPacker::kHeader + 9);

std::vector<uint16_t> WithHeader(std::vector<uint16_t> data)
{
    data.insert(data.begin(), kHeaderWords.begin(), kHeaderWords.end());
    return data;
}

std::vector<uint16_t> Encoded(const std::vector<uint16_t>& in)
{
    std::vector<uint16_t> out(2 * in.size());
    out.resize(static_cast<size_t>(CSegmentPacker::Encode(in.data(), static_cast<int>(in.size()), out.data())));
    return out;
}

// A job of the given heads on a small drawing, ready for segments.
class SegmentTest : public ::testing::Test {
protected:
    void Prepare(int heads, std::vector<int> positions, const std::vector<PltLine>& lines)
    {
        m_Settings = MakeSettings(heads, positions);
        for (const PltLine& l : lines)
            m_Model.AppendLine(l.x1, l.y1, l.x2, l.y2);
        m_Model.m_fMaxX = 4000.0f;
        m_Model.m_fMaxY = 5000.0f;
        m_Layout.Setup(&m_Settings, m_Model);
        m_Sections.m_pLayout = &m_Layout;
        ASSERT_TRUE(m_Sections.CountFragments(m_Model));
        ASSERT_TRUE(m_Sections.FillFragments(m_Model));
        ASSERT_TRUE(m_Layout.Finalize());
        m_Data.m_pLayout = &m_Layout;
        ASSERT_TRUE(m_Data.AllocBuffers());
    }
    bool Make(int cursor, bool colorBar = false)
    {
        return CSegmentPacker::MakeSegment(m_Data, m_Layout, m_Sections, m_Settings, cursor, colorBar,
                                           [this] { ++m_nPolls; });
    }
    bool Finish(bool compress = false)
    {
        return CSegmentPacker::CompressAndChecksum(m_Data, m_Layout, compress, [this] { ++m_nPolls; });
    }
    std::vector<uint16_t> Sent() const
    {
        return std::vector<uint16_t>(m_Data.m_pSegment, m_Data.m_pSegment + m_Layout.m_nSentWords);
    }
    std::set<std::pair<int, int>> Raster(int index)
    {
        const LineSection* s = index < m_Layout.m_nSectionCount ? &m_Sections.m_pSections[index] : nullptr;
        m_Data.RasterizeSection(s, index);
        std::set<std::pair<int, int>> dots;
        for (int r = 0; r < m_Data.RowCount(); ++r)
            for (int x = 0; x < 8 * m_Layout.m_nRowBytes; ++x)
                if (m_Data.m_pRows[r][x / 8] >> (x % 8) & 1)
                    dots.insert({r, x});
        return dots;
    }

    CUserDefine m_Settings;
    CPltFileData m_Model;
    CJobLayout m_Layout;
    CPltLineSectS4Data m_Sections;
    CPltS4C4PrintData m_Data;
    int m_nPolls = 0;
};

}  // namespace

TEST(SegmentFormat, ChecksumReferences)
{
    EXPECT_EQ(CSegmentPacker::Checksum(CSegmentPacker::kHeader, 9), 0x1E320024u);
    const uint16_t two[] = {0x0001, 0x0002};
    EXPECT_EQ(CSegmentPacker::Checksum(two, 2), 0x00030001u);
    std::vector<uint16_t> zeros(65538, 0);  // the index term restarts at 65536
    EXPECT_EQ(CSegmentPacker::Checksum(zeros.data(), 65538), 65535u * 65536u / 2u + 1u);
}

TEST(SegmentFormat, ExchangeSwapsTheMiddleNibbles)
{
    EXPECT_EQ(CSegmentPacker::Exchange(0x0F0F), 0x00FF);
    EXPECT_EQ(CSegmentPacker::Exchange(0x1234), 0x1324);
    EXPECT_EQ(CSegmentPacker::Exchange(0xF00F), 0xF00F);
}

TEST(SegmentFormat, RunLengthCases)
{
    struct Case {
        const char* what;
        std::vector<uint16_t> data;
        std::vector<uint16_t> encoded;
    } cases[] = {
        {"isolated zero", {0x0012, 0x0000, 0x0034}, {0x0012, 0x0000, 1, 0x0034}},
        {"70000 zeros", std::vector<uint16_t>(70000, 0), {0x0000, 65535, 0x0000, 4465}},
        {"exactly one full run and one more", std::vector<uint16_t>(65536, 0), {0x0000, 65535, 0x0000, 1}},
        {"run of 0xFFFF", {0xFFFF, 0xFFFF, 0xFFFF, 0x0001}, {0xFFFF, 3, 0x0001}},
        {"single 0xFFFF", {0x0005, 0xFFFF, 0x0006}, {0x0005, 0xFFFF, 1, 0x0006}},
        {"zero then 0xFFFF", {0x0000, 0xFFFF}, {0x0000, 1, 0xFFFF, 1}},
        {"other words copied", {0x0001, 0xFFFE, 0x8000}, {0x0001, 0xFFFE, 0x8000}},
        {"header only", {}, {}},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(WordsEqual(WithHeader(c.encoded), Encoded(WithHeader(c.data)).data(),
                               Encoded(WithHeader(c.data)).size()))
            << c.what;

    std::vector<uint16_t> zeroHeader(9, 0);
    EXPECT_EQ(Encoded(zeroHeader), zeroHeader) << "the header is never encoded";
}

TEST(SegmentFormat, RunLengthRoundTrip)
{
    std::mt19937 rng(7);
    for (int trial = 0; trial < 50; ++trial) {
        std::vector<uint16_t> data = kHeaderWords;
        while (data.size() < 20000) {
            uint16_t w = static_cast<uint16_t>(rng() % 4 == 0 ? rng() : (rng() % 2 ? 0x0000 : 0xFFFF));
            data.insert(data.end(), rng() % 3 == 0 ? 1 + rng() % 70000 : 1, w);
        }
        std::vector<uint16_t> enc = Encoded(data);
        EXPECT_LE(enc.size(), 2 * data.size() - 9);
        EXPECT_TRUE(WordsEqual(data, DecodeRuns(enc.data(), enc.size()).data(),
                               DecodeRuns(enc.data(), enc.size()).size()))
            << "trial " << trial;
    }
}

TEST_F(SegmentTest, FourPassPackingPutsEachPassOnItsBits)
{
    // One dot-sized mark per section of the first segment: a point at X = 60 units, nozzle rows vary.
    std::vector<PltLine> lines;
    for (int r = 0; r < 4; ++r) {
        float y = 698.0f * r + 100.0f;
        lines.push_back({60, y, 61, y});
    }
    struct Case {
        int position;
        int pair;
        int bitOffset;
    } cases[] = {{0, 1, 0}, {1, 1, 1}, {2, 3, 0}, {3, 3, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "head at position " << c.position);
        m_Model.FreeLines();
        Prepare(1, {c.position}, lines);
        ASSERT_EQ(m_Settings.m_nHeadPairCode, c.pair);
        const int K = 154;
        const int C = m_Layout.m_nColumns;
        std::vector<uint16_t> expected = kHeaderWords;
        expected.resize(static_cast<size_t>(m_Layout.m_nSegmentWords), 0);
        for (int r = 0; r < 4; ++r) {
            std::set<std::pair<int, int>> dots = Raster(r);
            ASSERT_FALSE(dots.empty());
            for (const auto& [row, x] : dots) {
                int n = row % 150;
                int c1 = r % 2 ? C - x : x;
                expected[9 + K * c1 + CPltS4C4PrintData::NozzleToSlot1(n)] |= 1 << (2 * r + c.bitOffset);
                expected[9 + K * c1 + CPltS4C4PrintData::NozzleToSlot2(n)] |= 1 << (8 + 2 * r + c.bitOffset);
            }
        }
        ASSERT_TRUE(Make(0));
        ASSERT_TRUE(Finish());
        EXPECT_EQ(m_Layout.m_nSentWords, m_Layout.m_nSegmentWords);
        EXPECT_TRUE(WordsEqual(expected, m_Data.m_pSegment, static_cast<size_t>(m_Layout.m_nSentWords)));
        EXPECT_EQ(m_Data.m_nChecksum, CSegmentPacker::Checksum(expected.data(), static_cast<int>(expected.size())));
    }
}

TEST_F(SegmentTest, TwoPassPackingCarriesEveryHead)
{
    Prepare(3, {0, 1, 2}, {{100, 50, 400, 3000}, {30, 2500, 900, 2500}});
    ASSERT_FALSE(m_Settings.m_bFourPass);
    ASSERT_TRUE(Make(0));
    EXPECT_EQ(m_nPolls, 4);
    ASSERT_TRUE(Finish());
    for (int r = 0; r < 2; ++r)
        for (int column = 0; column < 2; ++column) {
            std::set<std::pair<int, int>> dots = Raster(r);
            ASSERT_FALSE(dots.empty());
            EXPECT_EQ(DecodePass(m_Data.m_pSegment, m_Layout, m_Settings, r, column), dots)
                << "pass " << r << " column " << column;
        }
}

TEST_F(SegmentTest, CursorBoundsAndPolls)
{
    Prepare(1, {0}, {{0, 0, 100, 100}});
    const int count = m_Layout.m_nSectionCount;
    EXPECT_TRUE(Make(count - 4));
    EXPECT_EQ(m_nPolls, 8);
    EXPECT_FALSE(Make(count));
    EXPECT_FALSE(Make(-4));
    EXPECT_TRUE(WordsEqual(kHeaderWords, m_Data.m_pSegment, 9));
    m_Layout.m_nLengthDots = 0;
    EXPECT_FALSE(Make(0));
}

TEST_F(SegmentTest, NoPairSelectedLeavesTheDataEmpty)
{
    CRecordingBridge bridge;
    Prepare(2, {0, 2}, {{0, 0, 1000, 3000}});
    ASSERT_EQ(m_Settings.m_nHeadPairCode, 0);
    ASSERT_TRUE(Make(0));
    EXPECT_EQ(bridge.m_Messages.size(), 1u + 4u) << "at set-up and at every pass";
    std::vector<uint16_t> expected = kHeaderWords;
    expected.resize(static_cast<size_t>(m_Layout.m_nSegmentWords), 0);
    ASSERT_TRUE(Finish(true));
    std::vector<uint16_t> runs = WithHeader({});
    for (int left = m_Layout.m_nSegmentWords - 9; left > 0; left -= 65535)
        runs.insert(runs.end(), {0x0000, static_cast<uint16_t>(std::min(left, 65535))});
    EXPECT_TRUE(WordsEqual(runs, m_Data.m_pSegment, static_cast<size_t>(m_Layout.m_nSentWords)));
}

TEST_F(SegmentTest, ColourBarIgnoresCursorAndDrawing)
{
    Prepare(1, {0}, {{0, 0, 1900, 4900}, {5, 5, 5, 4000}});
    ASSERT_TRUE(Make(0, true));
    EXPECT_EQ(m_nPolls, 4);
    ASSERT_TRUE(Finish());
    std::vector<uint16_t> bar = Sent();

    // Twelve bars of five units widened by the stroke, over every nozzle, in every pass.
    std::set<std::pair<int, int>> expected;
    for (int k = 0; k < 12; ++k)
        for (int j = 0; j < 5; ++j) {
            int x = static_cast<int>((300.0f + 240 * k + j) * m_Settings.m_fDotsPerUnitX);
            for (int row = 0; row < 150; ++row)
                expected.insert({{row, x}, {row, x + 1}});
        }
    for (int r = 0; r < 4; ++r)
        EXPECT_EQ(DecodePass(bar.data(), m_Layout, m_Settings, r, 1), expected) << "pass " << r;

    ASSERT_TRUE(Make(8, true));
    ASSERT_TRUE(Finish());
    EXPECT_TRUE(WordsEqual(bar, m_Data.m_pSegment, static_cast<size_t>(m_Layout.m_nSentWords)));
}

TEST_F(SegmentTest, TwoPassColourBarPollsAfterEachPacking)
{
    Prepare(4, {0, 1, 2, 3}, {});
    ASSERT_TRUE(Make(0, true));
    EXPECT_EQ(m_nPolls, 4);
}

TEST_F(SegmentTest, FinishingKeepsABackupAndExchanges)
{
    Prepare(1, {0}, {{0, 0, 1500, 2000}});
    ASSERT_TRUE(Make(0));
    std::vector<uint16_t> packed(m_Data.m_pSegment, m_Data.m_pSegment + m_Layout.m_nSegmentWords);
    m_nPolls = 0;
    ASSERT_TRUE(Finish());
    EXPECT_EQ(m_nPolls, 1);
    std::vector<uint16_t> backup(m_Data.m_pBackup, m_Data.m_pBackup + m_Layout.m_nSegmentWords - 9);
    EXPECT_TRUE(WordsEqual(std::vector<uint16_t>(packed.begin() + 9, packed.end()), backup.data(), backup.size()));
    std::vector<uint16_t> exchanged = packed;
    for (size_t i = 9; i < exchanged.size(); ++i)
        exchanged[i] = CSegmentPacker::Exchange(exchanged[i]);
    EXPECT_TRUE(WordsEqual(exchanged, m_Data.m_pSegment, static_cast<size_t>(m_Layout.m_nSentWords)));

    ASSERT_TRUE(Make(0));
    ASSERT_TRUE(Finish(true));
    EXPECT_LT(m_Layout.m_nSentWords, m_Layout.m_nSegmentWords);
    std::vector<uint16_t> decoded = DecodeRuns(m_Data.m_pSegment, static_cast<size_t>(m_Layout.m_nSentWords));
    EXPECT_TRUE(WordsEqual(exchanged, decoded.data(), decoded.size()));
    for (int i = m_Layout.m_nSentWords; i < m_Layout.m_nSegmentWords; ++i)
        ASSERT_EQ(m_Data.m_pSegment[i], 0) << "word " << i;
    EXPECT_EQ(m_Data.m_nChecksum, CSegmentPacker::Checksum(m_Data.m_pSegment, m_Layout.m_nSentWords));
}

TEST_F(SegmentTest, LongEncodingIsSentWhole)
{
    Prepare(1, {0}, {});
    const int S = m_Layout.m_nSegmentWords;
    std::copy(kHeaderWords.begin(), kHeaderWords.end(), m_Data.m_pSegment);
    for (int i = 9; i < S; ++i)  // alternating run words: every one starts a run of one
        m_Data.m_pSegment[i] = i % 2 ? 0x0000 : 0xFFFF;
    std::vector<uint16_t> original(m_Data.m_pSegment, m_Data.m_pSegment + S);
    ASSERT_TRUE(Finish(true));
    EXPECT_EQ(m_Layout.m_nSentWords, 9 + 2 * (S - 9));
    std::vector<uint16_t> decoded = DecodeRuns(m_Data.m_pSegment, static_cast<size_t>(m_Layout.m_nSentWords));
    EXPECT_TRUE(WordsEqual(original, decoded.data(), decoded.size()));
    EXPECT_EQ(m_Data.m_nChecksum, CSegmentPacker::Checksum(m_Data.m_pSegment, m_Layout.m_nSentWords));

    // The grown buffer serves the next segment as usual.
    ASSERT_TRUE(Make(0));
    ASSERT_TRUE(Finish(true));
    EXPECT_EQ(m_Layout.m_nSentWords, 9 + 2 * ((S - 9 + 65534) / 65535));
}
