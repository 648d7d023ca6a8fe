// An installed tessaline-cli (no config.ini beside it) keeps its files in the per-user layout of a
// scratch HOME: the first start writes config.ini, the log goes to the state folder, the task folder and
// the pages to ~/Tessaline.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "cliprocess.h"
#include "testtmp.h"

namespace fs = std::filesystem;

namespace {

class CliLayoutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_Dir = TestTempDir("cli_layout");
        fs::remove_all(m_Dir);
        fs::create_directories(m_Dir / "usr/bin");
        fs::create_directories(m_Dir / "home");
        // A copy, so that a demo config.ini beside the built program cannot make it portable.
        fs::copy_file(CCliProcess::BuiltCli(), m_Dir / "usr/bin/tessaline-cli");
        m_Plot = std::string(TESSALINE_SOURCE_DIR) + "/tests/fixtures/sim/small.plt";
    }
    void TearDown() override { fs::remove_all(m_Dir); }

    int Run(const std::vector<std::string>& args, std::string* pErr = nullptr)
    {
        CCliProcess cli(m_Dir / "usr/bin/tessaline-cli", m_Dir);
        cli.SetEnv("HOME", (m_Dir / "home").string());
        for (const char* name : {"TESSALINE_CONFIG", "XDG_CONFIG_HOME", "XDG_STATE_HOME"})
            cli.SetEnv(name, "");
        if (!cli.Start(args))
            return -2;
        const int status = cli.Finish();
        if (pErr)
            *pErr = cli.Err();
        return status;
    }

    fs::path m_Dir;
    std::string m_Plot;
};

TEST_F(CliLayoutTest, AFirstStartSetsUpTheUsersFoldersAndTheNextReadsItsSettings)
{
    std::string err;
    ASSERT_EQ(Run({"print", m_Plot, "--virtual", "--fast"}, &err), 0) << err;
    const fs::path home = m_Dir / "home";
    const fs::path config = home / ".config/tessaline/config.ini";
    const fs::path log = home / ".local/state/tessaline/logfile.txt";
    EXPECT_NE(err.find("first start"), std::string::npos) << err;
    const std::string ini = CCliProcess::Read(config);
    EXPECT_NE(ini.find("WORKPATH=" + (home / "Tessaline/tasks").string()), std::string::npos) << ini;
    EXPECT_TRUE(fs::is_directory(home / "Tessaline/tasks"));
    EXPECT_TRUE(fs::is_regular_file(home / "Tessaline/pages/job-0001.png"));
    const std::string firstLog = CCliProcess::Read(log);
    EXPECT_NE(firstLog.find("per-user layout, first start"), std::string::npos) << firstLog;
    EXPECT_NE(firstLog.find("config.ini: " + config.string()), std::string::npos) << firstLog;

    // The user's own choice of plotter, read from the user's config.ini.
    std::ofstream(config, std::ios::app) << "[LINK]\nDEVICE=VIRTUAL\n";
    ASSERT_EQ(Run({"print", m_Plot, "--fast"}, &err), 0) << err;
    EXPECT_EQ(err.find("first start"), std::string::npos) << err;
    EXPECT_TRUE(fs::is_regular_file(home / "Tessaline/pages/job-0002.png"));
    EXPECT_EQ(CCliProcess::Read(log).find("first start"), std::string::npos);
    // Nothing beside the program.
    EXPECT_EQ(std::distance(fs::directory_iterator(m_Dir / "usr/bin"), fs::directory_iterator()), 1);
}

}  // namespace
