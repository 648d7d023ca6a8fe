// tessaline-cli queue as a separate process on the virtual plotter: it prints what arrives in a scratch
// task folder, keeps a second queue off the folder, and ends cleanly on SIGTERM.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "cliprocess.h"
#include "testtmp.h"

namespace fs = std::filesystem;

namespace {

const char* const kConfig =
    "[LINK]\nDEVICE=VIRTUAL\n[PRINT]\nPRINTAUTO=1\n[JetPrintHeadOpenStatus]\nJetPrintHeadOpenStatus0=1\n";

class CliQueueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_Dir = TestTempDir("cli_queue");
        fs::remove_all(m_Dir);
        fs::create_directories(m_Dir / "tasks");
        std::ofstream(m_Dir / "config.ini") << kConfig;
    }
    void TearDown() override { fs::remove_all(m_Dir); }

    std::string Task(const char* name)
    {
        const fs::path path = m_Dir / "tasks" / name;
        fs::copy_file(std::string(TESSALINE_SOURCE_DIR) + "/tests/fixtures/sim/small.plt", path);
        return path.string();
    }
    std::vector<std::string> PlotFiles() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_Dir / "tasks"))
            if (entry.path().extension() == ".plt")
                names.push_back(entry.path().filename().string());
        return names;
    }
    std::unique_ptr<CCliProcess> StartQueue(const fs::path& config, std::vector<std::string> more = {})
    {
        // stdout and stderr of each process in a folder of its own.
        const fs::path out = m_Dir / ("run" + std::to_string(++m_nRuns));
        fs::create_directories(out);
        auto cli = std::make_unique<CCliProcess>(CCliProcess::BuiltCli(), out);
        std::vector<std::string> args = {"queue", "--config", config.string(), "--fast"};
        args.insert(args.end(), more.begin(), more.end());
        EXPECT_TRUE(cli->Start(args));
        return cli;
    }
    static bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

    fs::path m_Dir;
    int m_nRuns = 0;
};

TEST_F(CliQueueTest, PrintsTheFolderKeepsASecondQueueOffAndEndsOnSigterm)
{
    const std::string a = Task("a.plt");
    const std::string b = Task("b.plt");
    auto queue = StartQueue(m_Dir / "config.ini");
    ASSERT_TRUE(queue->WaitFor([&] {
        const std::string out = queue->Out();
        return Has(out, "finished " + a) && Has(out, "finished " + b);
    })) << queue->Out() << queue->Err();

    // Another set of settings naming the same folder: that queue ends and says who serves it.
    fs::create_directories(m_Dir / "other");
    std::ofstream(m_Dir / "other/config.ini") << kConfig << "[PATH]\nWORKPATH=../tasks\n";
    auto second = StartQueue(m_Dir / "other/config.ini");
    EXPECT_EQ(second->Finish(), 1);
    EXPECT_TRUE(Has(second->Err(), "is served by tessaline-cli (process " + std::to_string(queue->Pid()) + ")"))
        << second->Err();
    // The same settings: the same log, which the second program must not touch.
    auto third = StartQueue(m_Dir / "config.ini");
    EXPECT_EQ(third->Finish(), 1);
    EXPECT_TRUE(Has(third->Err(), "writes the log " + (m_Dir / "logfile.txt").string())) << third->Err();

    queue->Signal(SIGTERM);
    EXPECT_EQ(queue->Finish(), 0) << queue->Err();
    const std::string out = queue->Out();
    EXPECT_TRUE(Has(out, "serving " + (m_Dir / "tasks").string() + "/\n")) << out;
    for (const std::string& file : {a, b})
        for (const char* event : {"queued ", "started ", "finished "})
            EXPECT_TRUE(Has(out, event + file + "\n")) << event << file << "\n" << out;
    EXPECT_TRUE(Has(out, "printing " + a + " 100%\n")) << out;
    EXPECT_TRUE(Has(out, "stopping on SIGTERM\nstopped\n")) << out;
    EXPECT_TRUE(PlotFiles().empty());
    EXPECT_TRUE(fs::exists(m_Dir / "pages/job-0001.png"));
    EXPECT_TRUE(fs::exists(m_Dir / "pages/job-0002.png"));
    EXPECT_TRUE(Has(CCliProcess::Read(m_Dir / "logfile.txt"), "CheckPrintTaskAndProc\r\n"));
}

TEST_F(CliQueueTest, AJobInProgressIsAbortedOnSigtermAndItsFileStays)
{
    const std::string a = Task("a.plt");
    // The operator's pause key at the second segment, and nobody to continue.
    auto queue = StartQueue(m_Dir / "config.ini", {"--fault", "pause@2+never"});
    ASSERT_TRUE(queue->WaitFor([&] { return Has(queue->Out(), "paused at the plotter\n"); }))
        << queue->Out() << queue->Err();
    queue->Signal(SIGTERM);
    EXPECT_EQ(queue->Finish(), 0) << queue->Err();
    const std::string out = queue->Out();
    EXPECT_FALSE(Has(out, "finished ")) << out;
    EXPECT_TRUE(Has(out, "stopping on SIGTERM\nstopped\n")) << out;
    EXPECT_EQ(PlotFiles(), std::vector<std::string>{"a.plt"});
}

TEST_F(CliQueueTest, APlotterGoneMidJobIsSaidOfflineAndASignalStillEndsTheQueue)
{
    const std::string a = Task("a.plt");
    // The cable pulled as segment 2 goes out, and never put back.
    auto queue = StartQueue(m_Dir / "config.ini", {"--fault", "link-lost@2+never"});
    ASSERT_TRUE(queue->WaitFor([&] {
        const std::string out = queue->Out();
        const size_t started = out.find("started " + a);
        return started != std::string::npos && out.find("plotter offline\n", started) != std::string::npos;
    })) << queue->Out() << queue->Err();
    queue->Signal(SIGTERM);
    EXPECT_EQ(queue->Finish(), 0) << queue->Err();
    EXPECT_FALSE(Has(queue->Out(), "finished ")) << queue->Out();
    EXPECT_EQ(PlotFiles(), std::vector<std::string>{"a.plt"});
    EXPECT_TRUE(Has(CCliProcess::Read(m_Dir / "logfile.txt"), "Link: Offline at ")) << "the loss is logged";
}

TEST_F(CliQueueTest, WithoutAutomaticPrintingNewFilesAreHeld)
{
    std::ofstream(m_Dir / "config.ini") << "[LINK]\nDEVICE=VIRTUAL\n";
    const std::string a = Task("a.plt");
    auto queue = StartQueue(m_Dir / "config.ini");
    ASSERT_TRUE(queue->WaitFor([&] { return Has(queue->Out(), "held " + a + "\n"); })) << queue->Out();
    queue->Signal(SIGINT);
    EXPECT_EQ(queue->Finish(), 0);
    EXPECT_TRUE(Has(queue->Out(), "(automatic printing is off: new files are held)")) << queue->Out();
    EXPECT_TRUE(Has(queue->Out(), "stopping on SIGINT\n"));
    EXPECT_EQ(PlotFiles(), std::vector<std::string>{"a.plt"});
}

}  // namespace
