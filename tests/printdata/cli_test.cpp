// tessaline-cli segments and the layout fields of tessaline-cli model, run as separate processes.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "printdata/segmentpacker.h"
#include "segmentdecoder.h"

namespace {

namespace fs = std::filesystem;

struct CliRun {
    int status = -1;
    std::string out;
};

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<uint16_t> ReadWords(const fs::path& path)
{
    std::string bytes = ReadFile(path);
    std::vector<uint16_t> words(bytes.size() / 2);
    for (size_t i = 0; i < words.size(); ++i)
        words[i] = static_cast<uint16_t>(static_cast<uint8_t>(bytes[2 * i]) | static_cast<uint8_t>(bytes[2 * i + 1]) << 8);
    return words;
}

class CliSegmentsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_Dir = fs::temp_directory_path() / ("tessaline_segments_" + std::to_string(::getpid()) + "_" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_Dir);
        fs::create_directories(m_Dir);
        // One head at position 0 (pair selection 1), defaults otherwise.
        m_Ini = Write("config.ini", "[JetPrintHeadOpenStatus]\nJetPrintHeadOpenStatus0=1\nJetPrintHeadOpenStatus1=1\n");
        // 2000 x 1500 units after the base turn: a frame and a diagonal.
        m_Plot = Write("job.plt", "IN;PU0,0;PD1500,0,1500,2000,0,2000,0,0;PU100,100;PD1400,1900;");
    }
    void TearDown() override { fs::remove_all(m_Dir); }

    std::string Write(const char* name, const std::string& content)
    {
        fs::path path = m_Dir / name;
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
    }
    CliRun Run(const std::string& arguments)
    {
        const fs::path cli = fs::read_symlink("/proc/self/exe").parent_path() / "tessaline-cli";
        std::string command = cli.string() + " " + arguments + " 2>/dev/null";
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
        return run;
    }

    fs::path m_Dir;
    std::string m_Ini;
    std::string m_Plot;
};

struct Entry {
    std::string file;
    int sentWords;
    uint32_t checksum;
};

std::vector<Entry> Entries(const std::string& manifest)
{
    std::vector<Entry> out;
    std::regex entry(R"re(\{"file":"([^"]+)","sentWords":(\d+),"checksum":"([0-9A-F]{8})"\})re");
    for (std::sregex_iterator it(manifest.begin(), manifest.end(), entry), end; it != end; ++it)
        out.push_back(Entry{(*it)[1], std::stoi((*it)[2]), static_cast<uint32_t>(std::stoul((*it)[3], nullptr, 16))});
    return out;
}

}  // namespace

TEST_F(CliSegmentsTest, WritesEverySegmentAsSent)
{
    fs::path out = m_Dir / "out";
    CliRun run = Run("segments " + m_Plot + " --config " + m_Ini + " --out " + out.string() + " --fast");
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    std::string manifest = ReadFile(out / "manifest.json");
    const int S = (8 * ((332 + 2 + 7) / 8) + 100) * 154;
    EXPECT_EQ(manifest.rfind("{\"passes\":4,\"sectionCount\":12,\"segmentWords\":" + std::to_string(S) +
                                 ",\"segments\":[{\"file\":\"colorbar.bin\",",
                             0),
              0u)
        << manifest;
    std::vector<Entry> entries = Entries(manifest);
    ASSERT_EQ(entries.size(), 4u);
    for (size_t k = 1; k < entries.size(); ++k) {
        char name[48];
        std::snprintf(name, sizeof name, "segment-%04zu.bin", k - 1);
        EXPECT_EQ(entries[k].file, name);
    }
    for (const Entry& e : entries) {
        std::vector<uint16_t> words = ReadWords(out / e.file);
        ASSERT_EQ(words.size(), static_cast<size_t>(e.sentWords)) << e.file;
        EXPECT_EQ(e.sentWords, S);
        EXPECT_EQ(CSegmentPacker::Checksum(words.data(), e.sentWords), e.checksum) << e.file;
        EXPECT_EQ(words[0], 0x7573) << "least significant byte first";
    }
    EXPECT_NE(ReadWords(out / "segment-0000.bin"), ReadWords(out / "segment-0002.bin"));

    CliRun toStdout = Run("segments " + m_Plot + " --config " + m_Ini + " --out - --fast");
    EXPECT_EQ(toStdout.status, 0);
    EXPECT_EQ(toStdout.out, manifest);

    fs::path packed = m_Dir / "packed";
    ASSERT_EQ(Run("segments " + m_Plot + " --config " + m_Ini + " --out " + packed.string() + " --compress --fast").status, 0);
    std::vector<Entry> compressed = Entries(ReadFile(packed / "manifest.json"));
    ASSERT_EQ(compressed.size(), entries.size());
    for (const Entry& e : compressed) {
        std::vector<uint16_t> words = ReadWords(packed / e.file);
        EXPECT_LT(e.sentWords, S);
        EXPECT_EQ(CSegmentPacker::Checksum(words.data(), e.sentWords), e.checksum) << e.file;
        EXPECT_EQ(DecodeRuns(words.data(), words.size()), ReadWords(out / e.file)) << e.file;
    }
}

TEST_F(CliSegmentsTest, EmptyJobAndUsageErrors)
{
    std::string empty = Write("empty.plt", "IN;PU0,0;");
    CliRun run = Run("segments " + empty + " --config " + m_Ini + " --out - --fast");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("\"segments\":[]}"), std::string::npos) << run.out;

    EXPECT_EQ(Run("segments " + m_Plot + " --fast").status, 2) << "--out is required";
    EXPECT_EQ(Run("segments " + (m_Dir / "missing.plt").string() + " --out - --fast").status, 2);
}

TEST_F(CliSegmentsTest, ModelShowsTheLayout)
{
    CliRun run = Run("model " + m_Plot + " --config " + m_Ini + " --fast");
    ASSERT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("\"bandHeight\":698,\"sectionCount\":12,\"widthDots\":332,\"lengthDots\":249,"
                           "\"rowBytes\":42,\"columns\":336,\"segmentWords\":67144,\"leftDots\":1995,"
                           "\"rightDots\":2331,\"stepTotal\":1096,\"passesPerSegment\":4,\"headPairCode\":1}"),
              std::string::npos)
        << run.out;

    run = Run("model " + m_Plot + " --config " + m_Ini + " --slot preview --fast");
    ASSERT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("\"rowBytes\":0,\"columns\":0,\"segmentWords\":0"), std::string::npos)
        << "no print geometry outside the print slot: " << run.out;
}
