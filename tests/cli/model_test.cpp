// tessaline-cli model, run as a separate process next to this test program.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace std::string_literals;

namespace fs = std::filesystem;

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

class CliModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() /
                ("tessaline_cli_" + std::to_string(::getpid()) + "_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string Write(const char* name, const std::string& content)
    {
        std::string path = (m_dir / name).string();
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    CliRun Model(const std::string& arguments)
    {
        const fs::path cli = fs::read_symlink("/proc/self/exe").parent_path() / "tessaline-cli";
        const std::string errPath = (m_dir / "stderr.txt").string();
        const std::string command = cli.string() + " model " + arguments + " 2>" + errPath;
        CliRun run;
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe)
            return run;
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0)
            run.out.append(buf, n);
        int status = pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::ifstream err(errPath);
        run.err.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
        return run;
    }

    fs::path m_dir;
};

TEST_F(CliModelTest, PrintsTheModelAndItsRecords)
{
    std::string plot = Write("job.plt", "IN;SP1;PU0,0;PD100,0,100,50;PU0,0;PD0.1,0;");
    std::string ini = Write("config.ini", "[PRINT]\nPRINTAUTO=1\n");
    CliRun run = Model(plot + " --config " + ini + " --records --fast");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("{\"lines\":3,\"maxX\":50,\"maxY\":100,\"widthM\":0.00124999997,"
                            "\"lengthM\":0.00249999994,\"fold\":false",
                            0),
              0u)
        << run.out;
    // Floats print so that they read back as the same 32-bit float (0.1f here).
    EXPECT_NE(run.out.find("\"records\":[[0,0,0,100],[0,100,50,100],[0,0,0,0.100000001]]}\n"), std::string::npos)
        << run.out;
    EXPECT_EQ(run.err, "");
}

TEST_F(CliModelTest, SettingsAndSlotDecideTheFold)
{
    std::string plot = Write("job.plt", "PU0,0;PD4000,4000;");
    std::string ini = Write("narrow.ini", "[PRINT]\nMAXWIDTH=5.0\n");
    CliRun print = Model(plot + " --config " + ini + " --fast");
    ASSERT_EQ(print.status, 0) << print.err;
    EXPECT_NE(print.out.find("\"maxX\":2500,\"maxY\":15000,"), std::string::npos) << print.out;
    EXPECT_NE(print.out.find("\"fold\":true"), std::string::npos) << print.out;

    CliRun preview = Model(plot + " --config " + ini + " --slot preview --fast");
    ASSERT_EQ(preview.status, 0) << preview.err;
    EXPECT_NE(preview.out.find("\"maxX\":4000,\"maxY\":4000,"), std::string::npos) << preview.out;
    EXPECT_NE(preview.out.find("\"fold\":false"), std::string::npos) << preview.out;
}

TEST_F(CliModelTest, FailuresExitWithStatus2)
{
    std::string plot = Write("job.plt", "PU0,0;PD1,1;");
    const struct {
        std::string arguments;
    } cases[] = {
        {(m_dir / "missing.plt").string() + " --fast"},
        {plot + " --config " + (m_dir / "missing.ini").string() + " --fast"},
        {plot + " --slot sideways --fast"},
        {plot + " --records --bogus"},
        {""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        CliRun run = Model(c.arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_FALSE(run.err.empty());
    }
    CliRun unreadable = Model((m_dir / "missing.plt").string() + " --fast");
    EXPECT_EQ(std::count(unreadable.err.begin(), unreadable.err.end(), '\n'), 1) << unreadable.err;
}

// The reason is the one the task list gives: a file over the size limit is not called unreadable.
TEST_F(CliModelTest, AFileThatCannotBeReadIsRefusedWithItsReason)
{
    const struct {
        const char* what;
        std::string path;
        std::string reason;
    } cases[] = {
        {"missing", (m_dir / "missing.plt").string(), "the file was not found"},
        {"empty", Write("empty.plt", ""), "the file is empty: it holds no drawing"},
        {"binary", Write("data.plt", "\x7f" "ELF\x02\0\0;"s), "not a plot file: it holds no drawing"},
        {"too large", Write("huge.plt", "IN;PU0,0;PD10,10;" + std::string(8 << 20, '\n')), "the file is too large to plot"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CliRun run = Model(c.path + " --fast");
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, "tessaline-cli: '" + c.path + "': " + c.reason + "\n");
    }
}

}  // namespace
