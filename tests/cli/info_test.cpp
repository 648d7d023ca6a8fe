// tessaline-cli info, run as a separate process: what a plot file holds before it prints.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "cliprocess.h"
#include "testtmp.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

const char* const kOneHead = "[JetPrintHeadOpenStatus]\nJetPrintHeadOpenStatus0=1\n";

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

// The object of one finding in the output ("" when there is none of that kind).
std::string Finding(const std::string& json, const std::string& kind)
{
    const size_t start = json.find("{\"kind\":\"" + kind + "\"");
    if (start == std::string::npos)
        return std::string();
    int depth = 0;
    for (size_t i = start; i < json.size(); ++i) {
        depth += json[i] == '{';
        depth -= json[i] == '}';
        if (depth == 0)
            return json.substr(start, i + 1 - start);
    }
    return std::string();
}

// A number field of the object; NaN when it is not there (or null).
double Number(const std::string& json, const std::string& key)
{
    std::smatch m;
    if (!std::regex_search(json, m, std::regex("\"" + key + "\":(-?[0-9.e+-]+)")))
        return std::nan("");
    return std::stod(m[1]);
}

class CliInfoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_Dir = TestTempDir("cli_info");
        fs::remove_all(m_Dir);
        fs::create_directories(m_Dir);
        m_strIni = Write("config.ini", kOneHead);
    }
    void TearDown() override { fs::remove_all(m_Dir); }

    std::string Write(const std::string& name, const std::string& content)
    {
        const std::string path = (m_Dir / name).string();
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    CliRun Info(std::vector<std::string> args)
    {
        args.insert(args.begin(), "info");
        const fs::path out = m_Dir / "out";
        fs::create_directories(out);
        CCliProcess cli(CCliProcess::BuiltCli(), out);
        CliRun run;
        if (!cli.Start(args))
            return run;
        run.status = cli.Finish();
        run.out = cli.Out();
        run.err = cli.Err();
        return run;
    }
    CliRun Info(const std::string& file) { return Info({file, "--config", m_strIni}); }

    static fs::path Corpus() { return fs::path(TESSALINE_CORPUS_DIR); }

    fs::path m_Dir;
    std::string m_strIni;
};

TEST_F(CliInfoTest, AMarkerGivesItsSizeCountsAndEstimate)
{
    // 1 m along the paper, 0.5 m across, drawn with instructions the reader passes over.
    const CliRun run = Info(Write("job.plt", "IN;SP1;PU0,0;PD40000,0,40000,20000,0,20000,0,0;CI200;CI300;PU;SP0;"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("\"widthM\":0.5,\"lengthM\":1,\"fold\":false,\"records\":4,\"drawnRecords\":4,"
                           "\"sections\":68,\"segments\":17,"),
              std::string::npos)
        << run.out;
    EXPECT_GT(Number(run.out, "protocolS"), 20.0) << "17 segments of about 1.4 s, and the colour bar";
    EXPECT_EQ(Number(run.out, "estimateS"), Number(run.out, "protocolS")) << "no job was timed yet";
    EXPECT_NE(run.out.find("\"printable\":true"), std::string::npos);
    EXPECT_EQ(Finding(run.out, "unhandled-instructions"),
              "{\"kind\":\"unhandled-instructions\",\"stops\":false,\"instructions\":{\"CI\":2,\"IN\":1,\"SP\":2}}");
    EXPECT_EQ(run.out.back(), '\n');

    // The ratio of the jobs printed from the task folder scales the estimate.
    fs::create_directories(m_Dir / "tasks");
    std::ofstream(m_Dir / "tasks" / ".tessaline-pace") << "tessaline-pace 1\njob\t15000\t10\t10000\n";
    const CliRun timed = Info(m_Dir / "job.plt");
    ASSERT_EQ(timed.status, 0) << timed.err;
    EXPECT_EQ(Number(timed.out, "ratio"), 1.5);
    EXPECT_NEAR(Number(timed.out, "estimateS"), 1.5 * Number(timed.out, "protocolS"), 0.01);
}

// Each finding once, from the corpus where it has an example and from a small file of our own where not.
TEST_F(CliInfoTest, FindingsSayWhatWouldGoWrongAndWhetherItStopsPrinting)
{
    const std::string narrow = Write("narrow.ini", "[PRINT]\nMAXWIDTH=5.0\n"s + kOneHead);
    const std::string twoHeads = Write("twoheads.ini", "[CTRPARAM]\nJetPrintHead=2\n"s + kOneHead);
    const struct {
        const char* what;
        std::string file;
        std::string ini;
        const char* kind;
        std::string detail;  // a part of the finding's object
        bool printable;
    } cases[] = {
        {"backspaces in labels", (Corpus() / "instr_spectrum_fm.hpgl").string(), "", "missing-glyphs",
         "\"stops\":false,\"labels\":15,\"characters\":15,\"codes\":[\"0x08\"]", true},
        {"circles and polygons", (Corpus() / "cad_kicad_pcb.plt").string(), "", "unhandled-instructions",
         "\"CI\":529,", true},
        {"negative coordinates", (Corpus() / "art_large_composition.hpgl").string(), "", "outside-width",
         "\"right\":0,\"left\":0,\"beforeStart\":", true},
        {"a drawing 22 m across", (Corpus() / "art_tektronix_logo.hpgl").string(), "", "right-edge",
         "{\"kind\":\"right-edge\",\"stops\":true,\"rightDots\":151779,\"maxRightDots\":65535}", false},
        {"instructions run together", (Corpus() / "test_no_separators.hp").string(), "", "no-drawing",
         "{\"kind\":\"no-drawing\",\"stops\":true}", false},
        {"wider than twice MAXWIDTH", Write("wide.plt", "PU0,0;PD4000,5000;"), narrow, "outside-width",
         "{\"kind\":\"outside-width\",\"stops\":false,\"maxWidthM\":0.0500000007,\"right\":14,\"left\":0,", true},
        {"an empty file", Write("empty.plt", "\r\n  \r\n"), "", "empty", "\"stops\":true", false},
        {"binary data", Write("data.plt", "\x7f" "ELF\x02\0\0;"s), "", "not-plot-file", "\"stops\":true", false},
        {"only pen moves", Write("moves.plt", "IN;PU0,0;PU100,100;"), "", "no-drawing", "\"stops\":true", false},
        {"more records than a job may hold", Write("huge.plt", "IN;PU0,0;PD10,10;" + std::string(8 << 20, '\n')), "",
         "too-large", "\"stops\":true", false},
        {"two heads, one open", Write("job.plt", "PU0,0;PD4000,4000;"), twoHeads, "message",
         "\"stops\":false,\"text\":\"喷头配置有误，请检查！\"", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.file.rfind(Corpus().string(), 0) == 0 && !fs::exists(c.file)) {
            std::printf("skipped (no corpus): %s\n", c.what);
            continue;
        }
        const CliRun run = Info({c.file, "--config", c.ini.empty() ? m_strIni : c.ini});
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string finding = Finding(run.out, c.kind);
        EXPECT_NE(finding.find(c.detail), std::string::npos) << run.out;
        EXPECT_NE(run.out.find(c.printable ? "\"printable\":true" : "\"printable\":false"), std::string::npos);
        EXPECT_EQ(std::isnan(Number(run.out, "estimateS")), !c.printable) << "only a job that prints is timed";
    }
}

TEST_F(CliInfoTest, EveryCorpusFileGivesAResult)
{
    if (!fs::is_directory(Corpus()))
        GTEST_SKIP() << "no corpus at " << Corpus();
    int files = 0;
    for (const auto& entry : fs::directory_iterator(Corpus())) {
        if (entry.path().extension() == ".md")
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        const CliRun run = Info(entry.path().string());
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find("\"findings\":["), std::string::npos);
        ++files;
    }
    EXPECT_GT(files, 20);
}

TEST_F(CliInfoTest, AFileThatCannotBeReadGivesOneLineAndStatus2)
{
    const std::string missing = (m_Dir / "missing.plt").string();
    const CliRun run = Info(missing);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "tessaline-cli: '" + missing + "': the file was not found\n");

    for (const std::vector<std::string>& args : {std::vector<std::string>{}, {missing, "--bogus"},
                                                 {missing, "--config", (m_Dir / "none.ini").string()}}) {
        const CliRun bad = Info(args);
        EXPECT_EQ(bad.status, 2);
        EXPECT_EQ(bad.out, "");
        EXPECT_FALSE(bad.err.empty());
    }
}

}  // namespace
