// The plot reader: framing, tokens, pairs, dashes, page offset, scaling points, extent and flip.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "plttestutil.h"

namespace {

using namespace std::string_literals;

struct Case {
    const char* what;
    std::string input;
    std::vector<PltLine> expected;
};

class ReaderTest : public PlotFileTest {
protected:
    void ExpectRecords(const std::vector<Case>& cases)
    {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            CPltFileData plt;
            ASSERT_TRUE(LoadText(plt, c.input));
            EXPECT_EQ(Records(plt), c.expected);
        }
    }
};

TEST_F(ReaderTest, PenStatesAndPolylines)
{
    ExpectRecords({
        {"one segment", "PU0,0;PD10,20;", {{0, 0, 10, 20}}},
        {"polyline from a pen-down point", "PU0,0;PD0,0,100,0,100,100;",
         {{0, 0, 0, 0}, {0, 0, 100, 0}, {100, 0, 100, 100}}},
        {"PD; only lowers the pen", "PU0,0;PD;PA10,0;", {{0, 0, 10, 0}}},
        {"PD5; only lowers the pen", "PU0,0;PD5;PA10,0;", {{0, 0, 10, 0}}},
        {"PA with the pen up moves", "PU0,0;PA10,0;PD20,0;", {{10, 0, 20, 0}}},
        {"PU; raises the pen", "PU0,0;PD;PU;PA10,0;", {}},
        {"lower case is ignored", "PU0,0;pd10,20;", {}},
        {"unknown mnemonics are ignored", "IN;SP1;PU0,0;PR5,5;CI10;DF;PD10,0;", {{0, 0, 10, 0}}},
        {"unpaired last value dropped", "PU0,0;PD10,20,30;", {{0, 0, 10, 20}}},
        {"negative coordinates kept", "PU0,0;PD10,-5;", {{0, 0, 10, -5}}},
    });
}

TEST_F(ReaderTest, FramingAndEndOfFile)
{
    ExpectRecords({
        {"last instruction ends at end of file", "PU5,5;PD0,0", {{5, 5, 0, 0}}},
        {"last instruction followed by CR LF loses its last byte", "PU5,5;PD0,0\r\n", {}},
        {"ETX terminates", "PU0,0\x03PD10,20\x03", {{0, 0, 10, 20}}},
        {"CR and LF inside instructions are dropped", "PU0,0;\r\nPD1\r0,2\n0;\n\r", {{0, 0, 10, 20}}},
        {"CR-only line ends", "PU0,0;\rPD10,20;\r", {{0, 0, 10, 20}}},
        {"instruction of two bytes ignored", "PU0,0;PD;AB;PA1,1;", {{0, 0, 1, 1}}},
    });
}

TEST_F(ReaderTest, Tokens)
{
    ExpectRecords({
        {"spaces around separators", "PU0,0;PD 10 , 20 ;", {{0, 0, 10, 20}}},
        {"space as separator", "PU0,0;PD10 20;", {{0, 0, 10, 20}}},
        {"letters inside tokens dropped", "PU0,0;PDx1y,z2;", {{0, 0, 1, 2}}},
        {"decimal prefix only", "PU0,0;PD1.2.3,4-5;", {{0, 0, 1.2f, 4}}},
        {"no valid prefix reads 0", "PU3,3;PD-,.;", {{3, 3, 0, 0}}},
        {"no tokens: pen change only", "PU0,0;PDab,cd;PA3,4;", {{0, 0, 3, 4}}},
        {"overflowing number reads 0", "PU0,0;PD1" + std::string(50, '0') + ",5;", {{0, 0, 0, 5}}},
        {"beyond float range reads 0", "PU0,0;PD4" + std::string(38, '0') + ",5;", {{0, 0, 0, 5}}},
        {"decimals round like strtod", "PU0,0;PD0.1,123456.789,-.5,7.;",
         {{0, 0, 0.1f, 123456.789f}, {0.1f, 123456.789f, -0.5f, 7}}},
        {"long tokens round like strtod", "PU0,0;PD1234567890123456789,0.30000000000000000000001;",
         {{0, 0, static_cast<float>(std::strtod("1234567890123456789", nullptr)), 0.3f}}},
    });
}

TEST_F(ReaderTest, TokensBeyond4096AreIgnored)
{
    std::string pd = "PU0,0;PD";
    for (int i = 1; i <= 3000; ++i)
        pd += std::to_string(i % 10) + ",0,";
    pd += "0;";
    ASSERT_LT(pd.size(), 16384u);
    CPltFileData plt;
    ASSERT_TRUE(LoadText(plt, pd));
    ASSERT_EQ(plt.m_nLineCount, 2048u);
    EXPECT_EQ(plt.m_pLines[2047], (PltLine{7, 0, 8, 0}));
}

TEST_F(ReaderTest, LineTypes)
{
    ExpectRecords({
        {"dashes with a zero-length tail", "PU0,0;LT2,10;PD200,0;",
         {{0, 0, 50, 0}, {100, 0, 150, 0}, {200, 0, 200, 0}}},
        {"shorter than one period: solid", "PU0,0;LT2,10;PD50,0;", {{0, 0, 50, 0}}},
        {"diagonal dash", "PU0,0;LT4,5;PD30,40;", {{0, 0, 24, 32}, {30, 40, 30, 40}}},
        {"patterns 0 and 1 draw dots", "PU0,0;LT0,10;PD160,0;", {{0, 0, 0, 0}, {80, 0, 80, 0}, {160, 0, 160, 0}}},
        {"zero length: invisible", "PU0,0;LT3,0;PD100,0;PU0,0;", {}},
        {"LT; back to solid", "PU0,0;LT2,10;LT;PD200,0;", {{0, 0, 200, 0}}},
        {"LT with one value ignored", "PU0,0;LT2;PD200,0;", {{0, 0, 200, 0}}},
        {"pattern outside the table: solid", "PU0,0;LT9,10;PD200,0;", {{0, 0, 200, 0}}},
        {"negative pattern: solid", "PU0,0;LT-2,10;PD200,0;", {{0, 0, 200, 0}}},
    });
}

TEST_F(ReaderTest, PageOffset)
{
    ExpectRecords({
        {"offset added to x", "VS5;PG1000;PU0,0;PD10,10;", {{1000, 0, 1010, 10}}},
        {"PG without VS5 changes nothing", "PG1000;PU0,0;PD10,10;", {{0, 0, 10, 10}}},
        {"each sum truncated", "VS5;PG0.6;PG0.6;PU0,0;PD1,0;", {{0, 0, 1, 0}}},
        {"PG argument cut to 40 bytes", "VS5;PG" + std::string(39, '0') + "12;PU0,0;PD1,0;", {{1, 0, 2, 0}}},
        {"offset reaches the LT pattern", "VS5;PG5;PU0,0;LT-3,10;PD200,0;",
         {{5, 0, 55, 0}, {105, 0, 155, 0}, {205, 0, 205, 0}}},
    });
}

TEST_F(ReaderTest, ScalingPoints)
{
    ExpectRecords({
        {"SC after two-pair IP scales by 40", "IP0,0,4000,4000;SC0,100,0,100;PU0,0;PD1,1;", {{0, 0, 40, 40}}},
        {"SC without IP changes nothing", "SC0,100,0,100;PU0,0;PD1,1;", {{0, 0, 1, 1}}},
        {"SC compounds", "IP0,0,4000,4000;SC0,100,0,100;SC0,100,0,100;PU0,0;PD1,1;", {{0, 0, 1600, 1600}}},
        {"one-pair IP keeps P2", "IP0,0,4000,4000;IP10,10;SC0,100,0,100;PU0,0;PD1,1;", {{0, 0, 40, 40}}},
        {"first SC pair becomes the current point", "IP0,0,4000,4000;SC0,100,0,100;PD1,1;", {{0, 100, 40, 40}}},
    });
    // The document's scale multiplies every coordinate; SC multiplies it further.
    CPltFileData plt;
    plt.SetFlipY(0);
    plt.SetScale(2.0f, 0.5f);
    ASSERT_TRUE(plt.Load(WriteFile("IP0,0,4000,4000;SC0,100,0,200;PU0,0;PD1,1;").c_str()));
    EXPECT_EQ(Records(plt), (std::vector<PltLine>{{0, 0, 80, 10}}));
    EXPECT_EQ(plt.m_fScaleX, 80.0f);
    EXPECT_EQ(plt.m_fScaleY, 10.0f);
}

TEST_F(ReaderTest, CharacterHeightAndDirection)
{
    CPltFileData plt;
    plt.SetCharSize(144);
    ASSERT_TRUE(LoadText(plt, "PU0,0;SI0.19,0.27;PD5,5;"));
    EXPECT_EQ(plt.m_nCharSize, 108);
    EXPECT_EQ(Records(plt), (std::vector<PltLine>{{0, 0, 5, 5}}));

    const struct {
        const char* di;
        float angle;
    } directions[] = {{"DI1,0;", 0},     {"DI0,1;", 90},      {"DI-1,1;", 135}, {"DI-1,0;", 180},
                      {"DI-1,-1;", 225}, {"DI1,-1;", 315},    {"DI0,0;", 0},    {"DI1,1;DI;", 45},
                      {"PU;", 0}};
    for (const auto& d : directions) {
        SCOPED_TRACE(d.di);
        ASSERT_TRUE(LoadText(plt, d.di));
        EXPECT_NEAR(plt.m_fLabelAngle, d.angle, 1e-3);
    }
}

TEST_F(ReaderTest, ExtentCountsPenUpMovesAndFlipUsesIt)
{
    CPltFileData plt;
    ASSERT_TRUE(LoadText(plt, "PU500,700;PU0,0;PD10,20;"));
    EXPECT_EQ(plt.m_fMaxX, 500.0f);
    EXPECT_EQ(plt.m_fMaxY, 700.0f);

    ASSERT_TRUE(LoadText(plt, "PU500,700;PU0,0;PD10,20;", true));
    EXPECT_EQ(Records(plt), (std::vector<PltLine>{{0, 700, 10, 680}}));
    EXPECT_EQ(plt.m_fMaxY, 700.0f);

    ASSERT_TRUE(LoadText(plt, "PU0,0;PD0,100;", true));
    EXPECT_EQ(Records(plt), (std::vector<PltLine>{{0, 100, 0, 0}}));
    EXPECT_EQ(plt.m_fMaxY, 100.0f);
    EXPECT_EQ(plt.m_bLoaded, 1);
}

// A plot file without a drawing still loads (the job start decides what to do with it); a file with
// nothing in it, or with nothing a plot file holds, fails and says which.
TEST_F(ReaderTest, WhatIsNotADrawingFailsWithItsReason)
{
    const struct {
        const char* what;
        std::string text;
        ELoadError error;
    } cases[] = {
        {"no drawing instruction", "IN;SP1;PU;", ELoadError::None},
        {"pen-up moves only", "IN;PU0,0;PU4000,2000;", ELoadError::None},
        {"nothing at all", "", ELoadError::Empty},
        {"line ends and blanks", "\r\n \t\r\n", ELoadError::Empty},
        {"text of another kind", "Cutting list for order 17\r\n", ELoadError::NotPlotFile},
        {"binary data", "PU;\0\x01\x02\xff;PD\x05;"s, ELoadError::NotPlotFile},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CPltFileData plt;
        EXPECT_EQ(LoadText(plt, c.text, true), c.error == ELoadError::None);
        EXPECT_EQ(plt.LastError(), c.error);
        EXPECT_EQ(plt.m_nLineCount, 0u);
        EXPECT_EQ(plt.m_nDrawnLines, 0u);
        if (c.error != ELoadError::None) {
            EXPECT_EQ(plt.m_fMaxX, 0.0f);
            EXPECT_EQ(plt.m_fMaxY, 0.0f);
            EXPECT_NE(plt.LastErrorText().find("it holds no drawing"), std::string::npos);
        }
    }
    // A control byte does not disqualify a file that draws.
    CPltFileData plt;
    ASSERT_TRUE(LoadText(plt, "PU0,0;PD10,0;\0;"s));
    EXPECT_EQ(plt.m_nDrawnLines, 1u);
}

TEST_F(ReaderTest, LoadFailures)
{
    const std::string locked = WriteFile("PU0,0;PD1,1;", "locked.plt");
    const struct {
        const char* what;
        std::string path;  // empty: no path at all
        ELoadError error;
        const char* text;
    } cases[] = {
        {"no path", "", ELoadError::Missing, "the file was not found"},
        {"a path too short", "a.p", ELoadError::Missing, "the file was not found"},
        {"no such file", (m_dir / "missing.plt").string(), ELoadError::Missing, "the file was not found"},
        {"a folder", m_dir.string(), ELoadError::Unreadable, "the file cannot be read (Is a directory)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CPltFileData plt;
        EXPECT_FALSE(plt.Load(c.path.empty() ? nullptr : c.path.c_str()));
        EXPECT_EQ(plt.LastError(), c.error);
        EXPECT_EQ(plt.LastErrorText(), c.text);
        EXPECT_EQ(plt.m_bLoaded, 0);
        EXPECT_EQ(plt.m_file, nullptr);
    }
    // Permission bits do not stop root; the reason is checked only where they do.
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    CPltFileData plt;
    if (!plt.Load(locked.c_str())) {
        EXPECT_EQ(plt.LastError(), ELoadError::Unreadable);
        EXPECT_EQ(plt.LastErrorText(), "the file cannot be read (Permission denied)");
    }
    ASSERT_TRUE(LoadText(plt, "PU0,0;PD1,1;"));
    EXPECT_EQ(plt.LastError(), ELoadError::None) << "a load that succeeds clears the reason";
}

TEST_F(ReaderTest, ReloadReplacesTheModel)
{
    CPltFileData plt;
    ASSERT_TRUE(LoadText(plt, "PU0,0;PD10,0,10,10;"));
    ASSERT_TRUE(LoadText(plt, "PU0,0;PD3,4;"));
    EXPECT_EQ(Records(plt), (std::vector<PltLine>{{0, 0, 3, 4}}));
    EXPECT_EQ(plt.m_fMaxX, 3.0f);
}

// Sleeps on virtual time, appending to the file at the first sleep as a copy still in progress would.
class GrowingFileClock : public CVirtualClock {
public:
    explicit GrowingFileClock(std::string path) : m_strPath(std::move(path)) {}
    void Sleep(int ms) override
    {
        if (m_nSleeps++ == 0)
            std::ofstream(m_strPath, std::ios::app) << "PD10,0;";
        CVirtualClock::Sleep(ms);
    }
    int m_nSleeps = 0;
    std::string m_strPath;
};

TEST_F(ReaderTest, WaitsUntilTheFileStopsGrowing)
{
    CPltFileData plt;
    ASSERT_TRUE(LoadText(plt, "PU0,0;"));
    EXPECT_EQ(m_clock.SleptTotal(), 300);

    std::string path = WriteFile("PU0,0;");
    GrowingFileClock growing(path);
    SetClock(&growing);
    plt.SetFlipY(0);
    ASSERT_TRUE(plt.Load(path.c_str()));
    EXPECT_EQ(growing.SleptTotal(), 600);
    EXPECT_EQ(Records(plt), (std::vector<PltLine>{{0, 0, 10, 0}}));
}

TEST_F(ReaderTest, CapacityRule)
{
    // separators + 400000 records must not exceed 8388607
    const size_t limit = CPltFileData::kMaxAllocLines - CPltFileData::kSpareLines;
    CPltFileData plt;
    ASSERT_TRUE(LoadText(plt, "PU;" + std::string(limit - 1, ';')));
    EXPECT_EQ(plt.m_nCapacity, CPltFileData::kMaxAllocLines);
    // Readable, only beyond the limit: said as such, not as unreadable.
    EXPECT_FALSE(LoadText(plt, "PU;" + std::string(limit, '\n')));
    EXPECT_EQ(plt.LastError(), ELoadError::TooLarge);
    EXPECT_EQ(plt.LastErrorText(), "the file is too large to plot");
}

TEST_F(ReaderTest, RecordArrayGrowsPastTheSpareRecords)
{
    CPltFileData plt;
    ASSERT_TRUE(LoadText(plt, "PU0,0;LT2,0.125;PD1000000,0;"));
    ASSERT_EQ(plt.m_nLineCount, 1000001u);
    EXPECT_GE(plt.m_nCapacity, plt.m_nLineCount);
    EXPECT_EQ(plt.m_pLines[999999], (PltLine{999999, 0, 999999.5f, 0}));
    EXPECT_EQ(plt.m_pLines[1000000], (PltLine{1000000, 0, 1000000, 0}));
}

TEST_F(ReaderTest, ModelBeyondItsLimitFailsToLoad)
{
    CPltFileData plt;
    plt.m_nMaxLines = 1000;
    EXPECT_FALSE(LoadText(plt, "PU0,0;LT2,0.125;PD5000,0;"));
    EXPECT_EQ(plt.LastError(), ELoadError::TooLarge);
    EXPECT_EQ(plt.m_nLineCount, 0u);
    EXPECT_EQ(plt.m_pLines, nullptr);
    EXPECT_TRUE(LoadText(plt, "PU0,0;LT2,0.125;PD500,0;"));

    // Billions of dashes from a few bytes end at once rather than filling memory.
    CPltFileData tiny;
    EXPECT_FALSE(LoadText(tiny, "PU0,0;LT2,0.000001;PD1000000,0;PD0,1000000;"));
}

}  // namespace
