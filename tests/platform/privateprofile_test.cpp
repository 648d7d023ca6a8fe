// The INI layer: Windows read rules, line-preserving writes, and no harm from any file.
#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "platform/privateprofile.h"

namespace fs = std::filesystem;

namespace {

class PrivateProfile : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() /
                ("tessaline_pp_" + std::to_string(getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        m_path = (m_dir / "config.ini").string();
    }
    void TearDown() override { fs::remove_all(m_dir); }

    void Put(const std::string& text)
    {
        std::ofstream(m_path, std::ios::binary) << text;
    }
    std::string Get() const
    {
        std::ifstream in(m_path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    fs::path m_dir;
    std::string m_path;
};

TEST_F(PrivateProfile, ReadsWithWindowsRules)
{
    Put("top=before any section\n"
        "[ Print ]\n"
        "  Alpha  =  12  \n"
        "quoted=\"  spaced text \"\n"
        "single='x'\n"
        "halfquote=\"open\n"
        "empty=\n"
        "word=abc\n"
        "prefix=12abc\n"
        "neg=-7\n"
        "plus=+5\n"
        "huge=99999999999999999999\n"
        "tiny=-99999999999999999999\n"
        "; Commented=1\n"
        "dup=first\n"
        "dup=second\n"
        "[PRINT]\n"
        "alpha=99\n"
        "late=1\n");
    CPrivateProfile ini(m_path);

    struct Case {
        const char* key;
        int asInt;
        const char* asText;
    } cases[] = {
        {"ALPHA", 12, "12"},
        {"quoted", 0, "  spaced text "},
        {"single", 0, "x"},
        {"halfquote", 0, "\"open"},
        {"empty", 0, ""},
        {"word", 0, "abc"},
        {"prefix", 12, "12abc"},
        {"neg", -7, "-7"},
        {"plus", 5, "+5"},
        {"huge", 2147483647, "99999999999999999999"},
        {"tiny", -2147483647 - 1, "-99999999999999999999"},
        {"dup", 0, "first"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(ini.GetInt("print", c.key, 42), c.asInt);
        EXPECT_EQ(ini.GetString("PRINT", c.key, "def"), c.asText);
    }

    // Absent keys, keys outside any section, comments and duplicate sections give the default.
    for (const char* absent : {"missing", "top", "; Commented", "late"}) {
        SCOPED_TRACE(absent);
        EXPECT_EQ(ini.GetInt("PRINT", absent, 42), 42);
        EXPECT_EQ(ini.GetString("PRINT", absent, "def"), "def");
        EXPECT_EQ(ini.Find("PRINT", absent), nullptr);
    }
    EXPECT_EQ(ini.GetInt("NoSuchSection", "Alpha", -3), -3);
}

TEST_F(PrivateProfile, TextReadsFitTheBuffer)
{
    Put("[S]\nlong=" + std::string(150, 'a') + "\n");
    CPrivateProfile ini(m_path);
    EXPECT_EQ(ini.GetString("S", "long", ""), std::string(99, 'a'));
    EXPECT_EQ(ini.GetString("S", "absent", std::string(150, 'd')), std::string(99, 'd'));
    EXPECT_EQ(ini.GetString("S", "long", "", 1024), std::string(150, 'a'));
    EXPECT_EQ(ini.GetString("S", "long", "", 1), "");
}

TEST_F(PrivateProfile, MissingFileIsCreatedByTheFirstWrite)
{
    CPrivateProfile ini(m_path);
    EXPECT_EQ(ini.GetInt("A", "k", 3), 3);
    ini.WriteString("A", "k", "1");
    ini.WriteString("B", "k", "2");
    ini.WriteString("A", "j", "3");
    ASSERT_TRUE(ini.Flush());
    EXPECT_EQ(Get(), "[A]\nk=1\nj=3\n\n[B]\nk=2\n");
    EXPECT_FALSE(fs::exists(m_path + ".tmp"));
}

TEST_F(PrivateProfile, WritesTouchOnlyTheirLines)
{
    Put("; settings\r\n"
        "[Print]\r\n"
        "Mode = \"old\"   \r\n"
        "Other=keep me\r\n"
        "# note\r\n"
        "\r\n"
        "[Path]\r\n"
        "Dir=x");
    CPrivateProfile ini(m_path);
    ini.WriteString("PRINT", "MODE", "new");
    ini.WriteString("print", "Added", "7");
    ini.WriteString("Fresh", "key", "v\nInjected=1");
    ASSERT_TRUE(ini.Flush());
    EXPECT_EQ(Get(), "; settings\r\n"
                     "[Print]\r\n"
                     "Mode=new\r\n"
                     "Other=keep me\r\n"
                     "# note\r\n"
                     "Added=7\r\n"
                     "\r\n"
                     "[Path]\r\n"
                     "Dir=x\r\n"
                     "\r\n"
                     "[Fresh]\r\n"
                     "key=v\r\n");
    CPrivateProfile again(m_path);
    EXPECT_EQ(again.GetString("print", "mode", ""), "new");
    EXPECT_EQ(again.GetString("fresh", "key", ""), "v");
    EXPECT_EQ(again.Find("fresh", "Injected"), nullptr);
}

TEST_F(PrivateProfile, ReadsAfterWritesSeeTheNewValues)
{
    CPrivateProfile ini(m_path);
    ini.WriteString("S", "k", " \"quoted\" ");
    EXPECT_EQ(ini.GetString("s", "K", ""), "quoted");
    ini.WriteString("S", "k", "9");
    EXPECT_EQ(ini.GetInt("S", "k", 0), 9);
}

TEST_F(PrivateProfile, UntouchedFileIsNotRewritten)
{
    Put("[S]\r\nk = 1\r\n\x01\x02 junk");
    CPrivateProfile ini(m_path);
    ASSERT_TRUE(ini.Flush());
    EXPECT_EQ(Get(), "[S]\r\nk = 1\r\n\x01\x02 junk");
}

TEST_F(PrivateProfile, ByteOrderMarkAndLoneCarriageReturns)
{
    Put("\xEF\xBB\xBF[S]\rk=1\rj=2");
    CPrivateProfile ini(m_path);
    EXPECT_EQ(ini.GetInt("S", "k", 0), 1);
    EXPECT_EQ(ini.GetInt("S", "j", 0), 2);
    ini.WriteString("S", "k", "3");
    ASSERT_TRUE(ini.Flush());
    EXPECT_EQ(Get(), "\xEF\xBB\xBF[S]\nk=3\nj=2\n");
}

TEST_F(PrivateProfile, SurvivesHostileFiles)
{
    std::string garbage;
    uint32_t x = 12345;
    for (int i = 0; i < 200000; ++i) {
        x = x * 1103515245u + 12345u;
        garbage += static_cast<char>(x >> 24);
    }
    const std::string files[] = {
        "",
        "[",
        "]=[",
        "=value\n[S\nk=1",
        std::string("[S]\nk=") + std::string(1 << 20, '7') + "\n",
        std::string(1 << 20, 'x'),
        std::string("[S]\0k=1\n", 8),
        garbage,
    };
    for (const std::string& text : files) {
        Put(text);
        CPrivateProfile ini(m_path);
        (void)ini.GetInt("S", "k", 0);
        (void)ini.GetString("S", "k", "");
        ini.WriteString("S", "written", "5");
        ASSERT_TRUE(ini.Flush());
        EXPECT_EQ(CPrivateProfile(m_path).GetInt("S", "written", 0), 5);
    }
    Put("[S\nk=1");  // a header without its bracket still opens the section
    EXPECT_EQ(CPrivateProfile(m_path).GetInt("S", "k", 0), 1);
}

TEST_F(PrivateProfile, UnwritableLocationReportsFailure)
{
    CPrivateProfile ini((m_dir / "no" / "such" / "dir" / "config.ini").string());
    ini.WriteString("S", "k", "1");
    EXPECT_FALSE(ini.Flush());
}

TEST(ProfileNumbers, ConvertLikeTheCLibraryWithoutOverflow)
{
    EXPECT_EQ(ProfileAtoi(" 300.9"), 300);
    EXPECT_EQ(ProfileAtoi("x1"), 0);
    EXPECT_FLOAT_EQ(ProfileAtof("300.9"), 300.9f);
    EXPECT_FLOAT_EQ(ProfileAtof("1.5e2mm"), 150.0f);
    for (const char* bad : {"", "abc", "inf", "nan", "1e39", "-1e300"})
        EXPECT_EQ(ProfileAtof(bad), 0.0f) << bad;
}

TEST(ProfileNumbers, IgnoreADecimalCommaLocale)
{
    const char* chosen = nullptr;
    for (const char* name : {"pt_BR.UTF-8", "pt_BR.utf8", "de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"})
        if (std::setlocale(LC_ALL, name)) {
            chosen = name;
            break;
        }
    if (!chosen)
        GTEST_SKIP() << "no locale with a decimal comma installed";
    EXPECT_EQ(ProfileAtof("17.45"), 17.45f);
    EXPECT_EQ(ProfileFormatFixed(17.45f, 4), "17.4500");
    EXPECT_EQ(ProfileFormatFixed(300.9f, 6), "300.899994");
    std::setlocale(LC_ALL, "C");
}

} // namespace
