// The log file: header, byte-for-byte entries, truncation at start, entries while closed, two writers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <unistd.h>
#include <vector>

#include "platform/gbk.h"
#include "platform/logwriter.h"
#include "platform/windowbridge.h"

namespace {

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class LogWriter : public ::testing::Test {
protected:
    void SetUp() override
    {
        // ctest runs the cases as parallel processes: one folder each.
        m_Dir = std::filesystem::path(testing::TempDir()) /
                ("tessaline-log-" + std::to_string(getpid()) + "-" +
                 testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_Dir);
        m_strPath = (m_Dir / "logfile.txt").string();
    }
    void TearDown() override
    {
        CloseLogFile();
        std::filesystem::remove_all(m_Dir);
    }
    std::filesystem::path m_Dir;
    std::string m_strPath;
};

TEST_F(LogWriter, StartTimeInEnglishWhateverTheLocale)
{
    std::tm t{};
    t.tm_year = 2010 - 1900;
    t.tm_mon = 8;
    t.tm_mday = 9;
    t.tm_hour = 14;
    t.tm_min = 3;
    t.tm_sec = 27;
    EXPECT_EQ(FormatStartTime(t), "2010, September 09, 14:03:27");
    t.tm_mon = 0;
    t.tm_mday = 31;
    t.tm_hour = 0;
    EXPECT_EQ(FormatStartTime(t), "2010, January 31, 00:03:27");
}

TEST_F(LogWriter, ANewRunErasesTheOldLogAndStartsWithTheHeader)
{
    ASSERT_TRUE(OpenLogFile(m_strPath));
    WriteLog("old run\r\n");
    CloseLogFile();

    ASSERT_TRUE(OpenLogFile(m_strPath));
    std::tm t{};
    t.tm_year = 110;
    t.tm_mon = 8;
    t.tm_mday = 9;
    t.tm_hour = 14;
    t.tm_min = 3;
    t.tm_sec = 27;
    WriteLogHeader(t);
    WriteLog("Inf: ");
    WriteLog("WaitPrint\r\n");
    CloseLogFile();

    const std::string expected = "\r\n" + Utf8ToGbk("Kestrova打印控制中心日志!\r\n") + Utf8ToGbk("记录开始时间: ") +
                                 "2010, September 09, 14:03:27\r\n" + "Inf: WaitPrint\r\n";
    EXPECT_EQ(ReadAll(m_strPath), expected);
    EXPECT_EQ(expected.substr(2, 8), "Kestrova");
    EXPECT_EQ(uint8_t(expected[10]), 0xB4) << "GBK, not UTF-8";
}

// A crash or a power cut must not take the lines that explain it: each entry is in the file at once, and
// the next start keeps the previous run's log before it begins a new one.
TEST_F(LogWriter, EntriesReachTheFileAtOnceAndTheNextStartKeepsThePreviousLog)
{
    ASSERT_TRUE(StartLogFile(m_strPath));
    WriteLog("first run\r\n");
    EXPECT_NE(ReadAll(m_strPath).find("first run\r\n"), std::string::npos) << "before the log is closed";
    const std::string firstRun = ReadAll(m_strPath);
    CloseLogFile();

    ASSERT_TRUE(StartLogFile(m_strPath));
    WriteLog("second run\r\n");
    const std::string previous = (m_Dir / "logfile.1.txt").string();
    EXPECT_EQ(PreviousLogPath(m_strPath), previous);
    EXPECT_EQ(ReadAll(previous), firstRun);
    EXPECT_EQ(ReadAll(m_strPath).find("first run"), std::string::npos);
    CloseLogFile();

    ASSERT_TRUE(StartLogFile(m_strPath));
    EXPECT_NE(ReadAll(previous).find("second run\r\n"), std::string::npos) << "only the last run is kept";
}

TEST_F(LogWriter, EntriesWhileTheLogIsClosedReachOnlyTheTraceSink)
{
    static std::string traced;
    traced.clear();
    SetTraceSink([](std::string_view s) { traced += s; });
    WriteLog("before\r\n");
    ASSERT_TRUE(OpenLogFile(m_strPath));
    WriteLog("after\r\n");
    CloseLogFile();
    SetTraceSink(nullptr);
    EXPECT_EQ(ReadAll(m_strPath), "after\r\n");
    EXPECT_EQ(traced, "before\r\nafter\r\n");
}

TEST_F(LogWriter, FormattedEntriesOfAnyLength)
{
    ASSERT_TRUE(OpenLogFile(m_strPath));
    const std::string gbk = Utf8ToGbk("打印完毕第%d段数据,共%d段！\r\n");
    WriteLogF(gbk.c_str(), 3, 10);
    const std::string longText(1500, 'x');
    WriteLogF("%s|%d\r\n", longText.c_str(), 7);
    CloseLogFile();
    EXPECT_EQ(ReadAll(m_strPath), Utf8ToGbk("打印完毕第3段数据,共10段！\r\n") + longText + "|7\r\n");
}

TEST_F(LogWriter, EntriesOfTwoThreadsNeverInterleave)
{
    ASSERT_TRUE(OpenLogFile(m_strPath));
    const std::string a = std::string(300, 'a') + "\r\n";
    const std::string b = std::string(300, 'b') + "\r\n";
    std::thread other([&] {
        for (int i = 0; i < 2000; ++i)
            WriteLog(b);
    });
    for (int i = 0; i < 2000; ++i)
        WriteLog(a);
    other.join();
    CloseLogFile();
    const std::string all = ReadAll(m_strPath);
    ASSERT_EQ(all.size(), 4000 * a.size());
    for (size_t at = 0; at < all.size(); at += a.size()) {
        const std::string entry = all.substr(at, a.size());
        ASSERT_TRUE(entry == a || entry == b) << "torn entry at " << at;
    }
}

class CBoxRecorder : public CWindowBridge {
public:
    int MessageBox(const std::string& text, const std::string& caption, int, int) override
    {
        m_Texts.push_back(text);
        m_Captions.push_back(caption);
        return IDOK;
    }
    void RefreshProgress() override {}
    void RedrawStatusBar() override {}
    void RepaintPreview() override {}
    std::vector<std::string> m_Texts, m_Captions;
};

TEST_F(LogWriter, AnUnwritableLogShowsItsPathThenTheFailureAndTheProgramGoesOn)
{
    CBoxRecorder boxes;
    SetWindowBridge(&boxes);
    const std::string path = (m_Dir / "no-such-dir" / "logfile.txt").string();
    EXPECT_FALSE(StartLogFile(path));
    SetWindowBridge(nullptr);
    EXPECT_EQ(boxes.m_Texts, (std::vector<std::string>{path, "创建日志文件失败！"}));
    EXPECT_EQ(boxes.m_Captions, (std::vector<std::string>{"Informação", "Informação"}));
    WriteLog("still fine\r\n");
    EXPECT_FALSE(std::filesystem::exists(path));

    EXPECT_TRUE(StartLogFile(m_strPath));
    CloseLogFile();
    const std::string log = ReadAll(m_strPath);
    EXPECT_EQ(log.rfind("\r\n" + Utf8ToGbk("Kestrova打印控制中心日志!\r\n记录开始时间: "), 0), 0u);
}

}  // namespace
