// tessaline-cli print, run as a separate process against the virtual plotter on virtual time.
#include <gtest/gtest.h>

#include <png.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "cliprocess.h"
#include "testtmp.h"

namespace {

namespace fs = std::filesystem;

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

const char* const kOneHead = "[JetPrintHeadOpenStatus]\nJetPrintHeadOpenStatus0=1\n";

class CliPrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = TestTempDir("cli_print");
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        m_plot = std::string(TESSALINE_SOURCE_DIR) + "/tests/fixtures/sim/small.plt";
        m_ini = Write("config.ini", kOneHead);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string Write(const char* name, const std::string& content)
    {
        std::string path = (m_dir / name).string();
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    // Starts "tessaline-cli print ARGS" with stdout and stderr in files of the test folder.
    std::unique_ptr<CCliProcess> Start(const std::vector<std::string>& args)
    {
        auto cli = std::make_unique<CCliProcess>(CCliProcess::BuiltCli(), m_dir);
        std::vector<std::string> argv = {"print"};
        argv.insert(argv.end(), args.begin(), args.end());
        EXPECT_TRUE(cli->Start(argv));
        return cli;
    }

    // Waits for the process, bounded: a hanging one is killed and reported as status -1.
    static CliRun Finish(CCliProcess& cli)
    {
        CliRun run;
        run.status = cli.Finish();
        run.out = cli.Out();
        run.err = cli.Err();
        return run;
    }

    CliRun Print(const std::vector<std::string>& args) { return Finish(*Start(args)); }

    // The common arguments of a job on the virtual plotter.
    std::vector<std::string> Job(std::vector<std::string> more = {})
    {
        std::vector<std::string> args = {m_plot, "--config", m_ini, "--virtual", "--fast", "--log",
                                         (m_dir / "log.txt").string()};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }

    fs::path m_dir;
    std::string m_plot;
    std::string m_ini;
};

TEST_F(CliPrintTest, HelpDocumentsTheFaults)
{
    CliRun run = Print({"--help"});
    ASSERT_EQ(run.status, 0);
    for (const char* text : {"--fault FAULT", "reject-cmd", "reject-data", "no-reply", "bad-dram", "link-lost",
                             "out-of-order", "no-print-end", "pause@S", "continue@S", "stop@S", "--answer yes|no"})
        EXPECT_NE(run.out.find(text), std::string::npos) << text;
    EXPECT_FALSE(std::regex_search(run.out, std::regex("\\bspec(ification)?s?\\b", std::regex::icase)));
}

TEST_F(CliPrintTest, BadInputExitsWithStatus2)
{
    const std::string usbIni = Write("usb.ini", std::string(kOneHead) + "[LINK]\nDEVICE=USB\n");
    const std::vector<std::vector<std::string>> cases = {
        {},
        {m_plot, m_plot, "--virtual"},
        {(m_dir / "missing.plt").string(), "--config", m_ini, "--virtual", "--fast"},
        {m_plot, "--config", (m_dir / "missing.ini").string(), "--virtual"},
        {m_plot, "--config", m_ini, "--virtual", "--fault", "stop"},
        {m_plot, "--config", m_ini, "--virtual", "--fault", "melt@3"},
        {m_plot, "--config", m_ini, "--virtual", "--answer", "maybe"},
        {m_plot, "--config", m_ini, "--virtual", "--page", (m_dir / "no/such/dir/page.png").string()},
        {m_plot, "--config", usbIni, "--fault", "stop@1"},
        {m_plot, "--config", usbIni, "--page", (m_dir / "page.png").string()},
        {m_plot, "--bogus"},
    };
    for (const auto& args : cases) {
        std::string joined;
        for (const std::string& a : args)
            joined += a + " ";
        SCOPED_TRACE(joined);
        CliRun run = Print(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("tessaline-cli: "), std::string::npos) << run.err;
    }
}

// A failed CAD export must not look printed: nothing is sent, the exit status says so, the file stays.
TEST_F(CliPrintTest, AFileWithNothingToPrintIsNotSent)
{
    const struct {
        const char* what;
        const char* content;
        std::string said;
    } cases[] = {
        {"empty", "", "the file is empty: it holds no drawing"},
        {"pen-up moves only", "IN;SP1;PU0,0;PU4000,2000;PU100,4000;", "the file holds no drawing; nothing was sent"},
        {"text of another kind", "Cutting list for order 17\r\n", "not a plot file: it holds no drawing"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string plot = Write("nothing.plt", c.content);
        const std::string page = (m_dir / "page.png").string();
        CliRun run = Print({plot, "--config", m_ini, "--virtual", "--fast", "--page", page});
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("tessaline-cli: '" + plot + "': " + c.said + "\n"), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find("printed"), std::string::npos) << run.err;
        EXPECT_FALSE(fs::exists(page));
        EXPECT_TRUE(fs::exists(plot));
    }
}

TEST_F(CliPrintTest, AJobTooWideForTheControllerIsRefusedWithItsReason)
{
    // 22.5 m across even after the fold: more dots than the controller's 16-bit X maximum holds.
    const std::string wide = Write("wide.plt", "IN;PU0,0;PD0,900000;PD40,900000;");
    const std::string page = (m_dir / "page.png").string();
    CliRun run = Print({wide, "--config", m_ini, "--virtual", "--fast", "--page", page});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("打印数据尺寸超出范围，无法打印！"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(page));
}

TEST_F(CliPrintTest, PrintsAJobAndWritesPageAndLog)
{
    const std::string page = (m_dir / "page.png").string();
    CliRun run = Print(Job({"--page", page}));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("plotting 100%"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("job finished, 5 segment(s) verified"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("virtual plotter:"), std::string::npos) << run.err;  // no problems noted

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, page.c_str()));
    EXPECT_EQ(image.height, 20u * 150u);  // every section of the job, one row per nozzle
    EXPECT_GT(image.width, 0u);
    png_image_free(&image);

    const std::string log = CCliProcess::Read(m_dir / "log.txt");
    EXPECT_EQ(log.rfind("\r\n", 0), 0u);
    EXPECT_NE(log.find("CheckPrintTaskAndProc\r\n"), std::string::npos);
}

TEST_F(CliPrintTest, ExitStatusTellsHowTheJobEnded)
{
    struct Case {
        std::vector<std::string> more;
        int status;
        const char* says;
    };
    const Case cases[] = {
        {{"--fault", "stop@1"}, 1, "job stopped at the plotter"},
        {{"--fault", "bad-dram@1x5", "--answer", "no"}, 1, "job ended after failed checksums"},
        {{"--fault", "bad-dram@1x5", "--answer", "yes"}, 0, "job finished"},
        {{"--fault", "bad-dram@1x5"}, 1, "answered no"},  // no terminal: the question is answered no
        {{"--fault", "pause@1+500", "--fault", "link-lost@2+3000", "--fault", "no-print-end"}, 0, "job finished"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.more.back());
        CliRun run = Print(Job(c.more));
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    }
}

TEST_F(CliPrintTest, InterruptEndsTheJobAndTheWorker)
{
    auto cli = Start(Job({"--fault", "pause@1+never"}));
    cli->WaitFor([&] { return cli->Err().find("paused at the plotter") != std::string::npos; });
    cli->Signal(SIGINT);
    CliRun run = Finish(*cli);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find("interrupted"), std::string::npos) << run.err;
}

}  // namespace

namespace {

// Ctrl+C or the end of the session while the plotter is gone in the middle of a job: the program says so, and
// the signal still ends it.
TEST_F(CliPrintTest, InterruptAndTerminateEndAJobWhosePlotterIsGone)
{
    for (int sig : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(sig == SIGINT ? "SIGINT" : "SIGTERM");
        auto cli = Start(Job({"--fault", "link-lost@1+never"}));
        cli->WaitFor([&] {
            const std::string err = cli->Err();
            const size_t at = err.find("plotting 40%");
            return at != std::string::npos && err.find("tessaline-cli: Offline", at) != std::string::npos;
        });
        cli->Signal(sig);
        CliRun run = Finish(*cli);
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_NE(run.err.find("interrupted"), std::string::npos) << run.err;
    }
}

}  // namespace
