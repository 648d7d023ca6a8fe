// Hostile and damaged plot files: the reader must neither crash, write outside a buffer, nor hang.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "plttestutil.h"

namespace {

namespace fs = std::filesystem;

const fs::path kFixtures = fs::path(TESSALINE_SOURCE_DIR) / "tests/fixtures/plt";

// Every record finite, the count within the array, the extent covering every record.
void ExpectSaneModel(const CPltFileData& plt)
{
    ASSERT_LE(plt.m_nLineCount, plt.m_nCapacity);
    ASSERT_TRUE(std::isfinite(plt.m_fMaxX) && std::isfinite(plt.m_fMaxY));
    for (uint32_t i = 0; i < plt.m_nLineCount; ++i) {
        const PltLine& l = plt.m_pLines[i];
        ASSERT_TRUE(std::isfinite(l.x1) && std::isfinite(l.y1) && std::isfinite(l.x2) && std::isfinite(l.y2))
            << "record " << i;
        ASSERT_LE(std::max(l.x1, l.x2), plt.m_fMaxX) << "record " << i;
        ASSERT_LE(std::max(l.y1, l.y2), plt.m_fMaxY) << "record " << i;
    }
}

class BadInputTest : public PlotFileTest {};

TEST_F(BadInputTest, Fixtures)
{
    const struct {
        const char* file;
        std::vector<PltLine> expected;  // checked when not empty
        ELoadError error = ELoadError::None;
    } cases[] = {
        {"empty.plt", {}, ELoadError::Empty},
        {"truncated.plt", {{0, 0, 100, 0}, {100, 0, 100, 100}, {100, 100, 0, 10}}},
        {"lineends.plt", {{0, 0, 10, 0}, {10, 0, 10, 10}, {20, 0, 30, 0}}},
        {"nonnumeric.plt", {}},
        {"garbage.bin", {}, ELoadError::NotPlotFile},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        CPltFileData plt;
        plt.SetScale(1.0f, 1.0f);
        plt.SetFlipY(0);
        ASSERT_EQ(plt.Load((kFixtures / c.file).c_str()), c.error == ELoadError::None);
        EXPECT_EQ(plt.LastError(), c.error);
        ExpectSaneModel(plt);
        if (!c.expected.empty()) {
            EXPECT_EQ(Records(plt), c.expected);
        }
    }
}

TEST_F(BadInputTest, NonNumericValuesReadAsZero)
{
    CPltFileData plt;
    plt.SetScale(1.0f, 1.0f);
    plt.SetFlipY(0);
    ASSERT_TRUE(plt.Load((kFixtures / "nonnumeric.plt").c_str()));
    // PD--,.. draws to (0,0); PD1e5,2E3 reads the digits 15 and 23; PU+5,+6 moves to (5,6);
    // PD.,- draws back to (0,0); the rest holds no pairs; PU1,1;PD2,2 after all that still draws.
    EXPECT_EQ(Records(plt), (std::vector<PltLine>{{0, 0, 0, 0}, {0, 0, 15, 23}, {5, 6, 0, 0}, {1, 1, 2, 2}}));
}

TEST_F(BadInputTest, OverlongInstructionsWrapWithoutOverflow)
{
    const struct {
        const char* what;
        std::string body;
    } cases[] = {
        {"a megabyte without a separator", "PD" + std::string(1 << 20, '7')},
        {"a million values", [] {
             std::string s = "PU0,0;PD";
             s.reserve(4'100'000);
             for (int i = 0; i < 500'000; ++i)
                 s += "123,456,";
             return s;
         }()},
        {"exactly one buffer", "PD" + std::string(CPltFileData::kInstructionSize - 2, ',')},
        {"one buffer and an ETX", "PD" + std::string(CPltFileData::kInstructionSize - 3, ',') + "\x03"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CPltFileData plt;
        ASSERT_TRUE(LoadText(plt, c.body + ";PU0,0;PD7,8;"));
        ExpectSaneModel(plt);
        ASSERT_GE(plt.m_nLineCount, 1u);
        EXPECT_EQ(plt.m_pLines[plt.m_nLineCount - 1], (PltLine{0, 0, 7, 8})) << "reading resumes after it";
    }
}

TEST_F(BadInputTest, AbsurdNumbersStayFinite)
{
    CPltFileData plt;
    plt.SetScale(1e30f, 1e30f);
    plt.SetFlipY(1);
    ASSERT_TRUE(plt.Load(WriteFile("IP0,0,1,1;SC0,0.001,0,0.001;PU0,0;PD3" + std::string(37, '0') +
                                   ",-3" + std::string(37, '0') + ";LT2,0.5;PD0,0;SI1" +
                                   std::string(30, '0') + ",1" + std::string(30, '0') +
                                   ";VS5;PG1" + std::string(30, '0') + ";DI0,0;LB" + "\x03")
                          .c_str()));
    ExpectSaneModel(plt);
}

// Damaged copies of the sample marker: bytes replaced by framing and number characters or by
// anything at all, runs deleted or duplicated, the file cut short.
TEST_F(BadInputTest, DamagedMarkersLoadCleanly)
{
    std::ifstream in(fs::path(TESSALINE_SOURCE_DIR) / "samples/marker.plt", std::ios::binary);
    const std::string marker((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(marker.empty());
    const char kInteresting[] = ";\x03\r\n,- .0123456789PDULTSIGBV5";
    uint64_t state = 88172645463325252ull;
    auto next = [&state](uint64_t bound) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return static_cast<size_t>(state % bound);
    };
    for (int round = 0; round < 150; ++round) {
        std::string text = marker;
        for (int edits = 1 + static_cast<int>(next(8)); edits > 0 && !text.empty(); --edits) {
            size_t at = next(text.size());
            switch (next(4)) {
            case 0: text[at] = kInteresting[next(sizeof kInteresting - 1)]; break;
            case 1: text[at] = static_cast<char>(next(256)); break;
            case 2: text.erase(at, next(200)); break;
            default: text.insert(at, text.substr(next(text.size()), next(400))); break;
            }
        }
        if (round % 10 == 0)
            text.resize(next(text.size() + 1));
        SCOPED_TRACE(round);
        CPltFileData plt;
        plt.SetScale(1.0f, 1.0f);
        plt.SetCharSize(144);
        ASSERT_TRUE(LoadText(plt, text, true));
        ExpectSaneModel(plt);
    }
}

TEST_F(BadInputTest, CorpusLoadsCleanly)
{
    const fs::path corpus = TESSALINE_CORPUS_DIR;
    if (!fs::is_directory(corpus))
        GTEST_SKIP() << "no corpus at " << corpus;
    int files = 0;
    for (const auto& entry : fs::directory_iterator(corpus)) {
        if (!entry.is_regular_file())
            continue;
        SCOPED_TRACE(entry.path().string());
        CPltFileData plt;
        plt.SetScale(1.0f, 1.0f);
        plt.SetCharSize(144);
        EXPECT_TRUE(plt.Load(entry.path().c_str()));
        ExpectSaneModel(plt);
        ++files;
    }
    EXPECT_GT(files, 0);
}

}  // namespace
