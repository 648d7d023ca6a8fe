// The settings record against config.ini: defaults, read rules, derived fields, write layout.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <unistd.h>

#include "document/marquelldoc.h"
#include "settings/configstore.h"
#include "settings/userdefine.h"

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

fs::path Fixture(const char* name)
{
    return fs::path(TESSALINE_SOURCE_DIR) / "tests/fixtures/config" / name;
}

class ConfigStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() /
                ("tessaline_cfg_" + std::to_string(getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        m_ini = (m_dir / "config.ini").string();
    }
    void TearDown() override { fs::remove_all(m_dir); }

    void Put(const std::string& text) { std::ofstream(m_ini, std::ios::binary) << text; }
    void PutFixture(const char* name) { fs::copy_file(Fixture(name), m_ini, fs::copy_options::overwrite_existing); }

    CUserDefine LoadText(const std::string& text)
    {
        Put(text);
        CUserDefine ud;
        EXPECT_TRUE(CConfigStore::Load(ud, m_ini));
        return ud;
    }

    fs::path m_dir;
    std::string m_ini;
};

// Every float of the record is finite and the band height of the heads fits an int.
void ExpectSane(const CUserDefine& ud)
{
    for (float f : {ud.m_fRatioX, ud.m_fRatioY, ud.XSCALE_T, ud.YSCALE_T, ud.XSCALE_R, ud.YSCALE_R,
                    ud.m_fDotsPerUnitX, ud.m_fRowsPerUnitY, ud.EdLeftValue, ud.EdLineSection, ud.MAXWIDTH})
        EXPECT_TRUE(std::isfinite(f)) << f;
    EXPECT_GE(ud.JetPrintHead, 1);
    EXPECT_LE(ud.JetPrintHead, 4);
    EXPECT_GT(ud.DPINumPerM, 1005);
    EXPECT_GT(ud.m_fRowsPerUnitY, 0.0f);
    float band = ud.m_nUnitsPerMm * ud.EdLineSection * ud.JetPrintHead;
    EXPECT_GE(band, 1.0f);
    EXPECT_LT(band, static_cast<float>(INT_MAX));
}

TEST_F(ConfigStore, MissingFileGivesTheDefaults)
{
    CUserDefine ud;
    ud.PRINTAUTO = true;  // Load must set every persisted field, not rely on construction
    ud.DATACOMPRESS = true;
    ASSERT_TRUE(CConfigStore::Load(ud, m_ini));
    EXPECT_FALSE(fs::exists(m_ini));

    EXPECT_EQ(ud.Print_Line, 2);
    EXPECT_EQ(ud.JetPrintHead, 1);
    EXPECT_EQ(ud.CrcAddorSub, 1);
    EXPECT_EQ(ud.m_nNozzlesPerHead, 150);
    EXPECT_EQ(ud.m_nTotalNozzles, 150);
    EXPECT_EQ(ud.m_nSlotsPerHead, 154);
    EXPECT_EQ(ud.m_nTotalSlots, 154);
    EXPECT_EQ(ud.DPINumPerM, 6653);
    EXPECT_EQ(ud.m_fDotsPerUnitX, 0.166325f);
    EXPECT_EQ(ud.EdStepB, 1096);
    EXPECT_EQ(ud.m_nStepTotal, 1096);
    EXPECT_EQ(ud.EdLeftValue, 300.0f);
    EXPECT_EQ(ud.m_nLeftDots, 1995);
    EXPECT_EQ(ud.EdLineSection, 17.45f);
    EXPECT_EQ(ud.m_fRowsPerUnitY, 150 / (40 * 17.45f * 1));
    EXPECT_EQ(ud.ELineWidth, 2);
    EXPECT_EQ(ud.MAXWIDTH, 180.0f);
    EXPECT_EQ(ud.USBPACKAGESIZE, 64512);
    EXPECT_EQ(ud.USBTIMEOUT, 25);
    EXPECT_EQ(ud.JETPRINTHEADWIDTH, 29);
    EXPECT_EQ(ud.PLTFONTSIZE, 144);
    EXPECT_EQ(ud.WORKPATH, (m_dir / "tasks").string());
    EXPECT_EQ(ud.m_fRatioX, 1.0f);
    EXPECT_EQ(ud.m_fRatioY, 1.0f);
    EXPECT_TRUE(ud.PRINTROTATION90_CLOCKWISE);
    EXPECT_FALSE(ud.PRINTAUTO || ud.PRINTMIRROR || ud.PRINTROTATION90 || ud.PRINTROTATION90_UNCLOCKWISE ||
                 ud.DATACOMPRESS || ud.ENSPEED);
    EXPECT_EQ(ud.UCSPEED, 0);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(ud.JetPrintHeadOpenStatus[i] | ud.JetPrintHeadValueX[i] | ud.JetPrintHeadValueY[i], 0);
    EXPECT_EQ(ud.m_Link.DEVICE, "USB");
    EXPECT_EQ(ud.m_Link.PAGEDIR, "");
}

TEST_F(ConfigStore, FirstSaveLaysOutTheFileInWriteOrder)
{
    CUserDefine ud;
    CConfigStore::Load(ud, m_ini);
    ud.WORKPATH = "/data/tasks";
    ASSERT_TRUE(CConfigStore::Save(ud, m_ini));
    EXPECT_EQ(ReadFile(m_ini), ReadFile(Fixture("defaults_saved.ini")));
}

TEST_F(ConfigStore, ReadRulesAndDerivedFields)
{
    struct Case {
        std::string ini;
        std::function<void(const CUserDefine&)> check;
    };
    const Case cases[] = {
        {"[CTRPARAM]\nDPINumPerM=1005", [](const CUserDefine& u) { EXPECT_EQ(u.DPINumPerM, 6653); }},
        {"[CTRPARAM]\nDPINumPerM=0", [](const CUserDefine& u) { EXPECT_EQ(u.DPINumPerM, 6653); }},
        {"[CTRPARAM]\nDPINumPerM=1006",
         [](const CUserDefine& u) {
             EXPECT_EQ(u.DPINumPerM, 1006);
             EXPECT_EQ(u.m_fDotsPerUnitX, 1006 * 0.025f / 1000);
         }},
        {"[CTRPARAM]\nPrint_Line=hp45JetPrintHead\nJetPrintHead=2",
         [](const CUserDefine& u) {
             EXPECT_EQ(u.Print_Line, 0);
             EXPECT_EQ(u.m_nNozzlesPerHead, 128);
             EXPECT_EQ(u.m_nTotalNozzles, 256);
             EXPECT_EQ(u.m_nTotalSlots, 256);
         }},
        {"[ctrparam]\nprint_line = \"XAAR128PlusJetPrintHead\"\njetprinthead=4\nEdStepB=1000\nEdLineSection=16",
         [](const CUserDefine& u) {
             EXPECT_EQ(u.Print_Line, 1);
             EXPECT_EQ(u.m_nTotalNozzles, 512);
             EXPECT_EQ(u.m_nTotalSlots, 512);
             EXPECT_EQ(u.m_nStepTotal, 4000);
             EXPECT_EQ(u.m_fRowsPerUnitY, 512 / (40 * 16.0f * 4));
         }},
        {"[CTRPARAM]\nEdLeftValue=300.9\nDPINumPerM=7000",
         [](const CUserDefine& u) {
             EXPECT_EQ(u.EdLeftValue, 300.9f);
             EXPECT_EQ(u.m_nLeftDots, 2100);  // whole millimetres only
         }},
        {"[CTRPARAM]\nEdLeftValue=abc", [](const CUserDefine& u) { EXPECT_EQ(u.m_nLeftDots, 0); }},
        // The margin's dots follow the value read, whatever its notation, as a saved file gives them.
        {"[CTRPARAM]\nEdLeftValue=3.009e2", [](const CUserDefine& u) { EXPECT_EQ(u.m_nLeftDots, 1995); }},
        {"[CTRPARAM]\nEdLeftValue=99999E99", [](const CUserDefine& u) { EXPECT_EQ(u.m_nLeftDots, 0); }},
        // Shorter than the four decimals the file keeps: no calibration, as zero is.
        {"[CTRPARAM]\nXSCALE_T=0.00004\nXSCALE_R=0.00004\nYSCALE_R=-0.00001",
         [](const CUserDefine& u) {
             EXPECT_EQ(u.XSCALE_R, 1.0f);
             EXPECT_EQ(u.YSCALE_R, 1.0f);
         }},
        {"[CTRPARAM]\nXSCALE_R=0.00006", [](const CUserDefine& u) { EXPECT_EQ(u.XSCALE_R, 0.00006f); }},
        {"[CTRPARAM]\nXSCALE_T=100\nXSCALE_R=0\nYSCALE_T=50\nYSCALE_R=80",
         [](const CUserDefine& u) {
             EXPECT_EQ(u.XSCALE_R, 1.0f);
             EXPECT_EQ(u.m_fRatioX, 100.0f);
             EXPECT_EQ(u.m_fRatioY, 50.0f / 80.0f);
         }},
        {"[CTRPARAM]\nXSCALE_T=1e30\nXSCALE_R=1e-30\nYSCALE_R=none",
         [](const CUserDefine& u) {
             EXPECT_EQ(u.XSCALE_R, 1.0f);
             EXPECT_EQ(u.m_fRatioX, 1e30f);
             EXPECT_EQ(u.YSCALE_R, 1.0f);
         }},
        {"[CTRPARAM]\nJetPrintHead=0", [](const CUserDefine& u) { EXPECT_EQ(u.JetPrintHead, 1); }},
        {"[CTRPARAM]\nJetPrintHead=5", [](const CUserDefine& u) { EXPECT_EQ(u.JetPrintHead, 1); }},
        {"[CTRPARAM]\nJetPrintHead=259\nCrcAddorSub=256",
         [](const CUserDefine& u) {
             EXPECT_EQ(u.JetPrintHead, 3);  // low 8 bits
             EXPECT_EQ(u.CrcAddorSub, 0);
         }},
        {"[CTRPARAM]\nEdLineSection=0.02", [](const CUserDefine& u) { EXPECT_EQ(u.EdLineSection, 17.45f); }},
        {"[CTRPARAM]\nEdLineSection=0.025", [](const CUserDefine& u) { EXPECT_EQ(u.EdLineSection, 0.025f); }},
        {"[PRINT]\nENSPEED=2\nDATACOMPRESS=1\nUCSPEED=2",
         [](const CUserDefine& u) {
             EXPECT_FALSE(u.ENSPEED);
             EXPECT_FALSE(u.DATACOMPRESS);
             EXPECT_EQ(u.UCSPEED, 2);
         }},
        {"[PRINT]\nENSPEED=1\nPRINTAUTO=-3\nPRINTROTATION90_CLOCKWISE=\nMAXWIDTH=150.7",
         [](const CUserDefine& u) {
             EXPECT_TRUE(u.ENSPEED);
             EXPECT_TRUE(u.PRINTAUTO);
             EXPECT_FALSE(u.PRINTROTATION90_CLOCKWISE);  // present but empty reads 0
             EXPECT_EQ(u.MAXWIDTH, 150.7f);
         }},
        // A task folder is kept whole up to the system's path limit: a cut would print from another folder.
        {"[PATH]\nWORKPATH=/srv/" + std::string(150, 'w'),
         [](const CUserDefine& u) { EXPECT_EQ(u.WORKPATH, "/srv/" + std::string(150, 'w')); }},
        {"[PATH]\nWORKPATH=/" + std::string(5000, 'w'),
         [](const CUserDefine& u) { EXPECT_EQ(u.WORKPATH.size(), kMaxWorkPath); }},
        {"[JetPrintHeadOpenStatus]\nJetPrintHeadOpenStatus2=1\nJetPrintHeadOpenStatus7=2\n"
         "[JetPrintHeadValueX]\nJetPrintHeadValueX2=900\n[JetPrintHeadValueY]\nJetPrintHeadValueY2=-5\n"
         "[AutoWash]\nWashPass=3\nWaitPos=9",
         [](const CUserDefine& u) {
             EXPECT_EQ(u.JetPrintHeadOpenStatus[2], 1);
             EXPECT_EQ(u.JetPrintHeadOpenStatus[7], 2);
             EXPECT_EQ(u.JetPrintHeadValueX[2], 900);
             EXPECT_EQ(u.JetPrintHeadValueY[2], -5);
             EXPECT_EQ(u.WashPass, 3);
             EXPECT_EQ(u.WaitPos, 9);
         }},
        {"[LINK]\nDEVICE=VIRTUAL\nPAGEDIR=/srv/" + std::string(200, 'p'),
         [](const CUserDefine& u) {
             EXPECT_EQ(u.m_Link.DEVICE, "VIRTUAL");
             EXPECT_EQ(u.m_Link.PAGEDIR, "/srv/" + std::string(200, 'p'));
         }},
        {"[ui]\nlanguage=pt_BR", [](const CUserDefine& u) { EXPECT_EQ(u.m_Ui.LANGUAGE, "pt_BR"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini);
        CUserDefine ud = LoadText(c.ini);
        c.check(ud);
        ExpectSane(ud);
    }
}

TEST_F(ConfigStore, SavesExactTextsAndFormats)
{
    CUserDefine ud = LoadText("[CTRPARAM]\nPrint_Line=hp45JetPrintHead\nEdLeftValue=300.9\nXSCALE_R=99.56789\n"
                              "[PRINT]\nMAXWIDTH=150.75\nDATACOMPRESS=1\n");
    ud.m_Ui.LANGUAGE = "zh_CN";
    ASSERT_TRUE(CConfigStore::Save(ud, m_ini));
    const std::string saved = ReadFile(m_ini);
    for (const char* line : {"Print_Line=JetPrintHeadNull\n", "EdLeftValue=300.899994\n", "XSCALE_R=99.5679\n",
                             "MAXWIDTH=150.8\n", "DATACOMPRESS=0\n"})
        EXPECT_NE(saved.find(line), std::string::npos) << line;
    EXPECT_EQ(saved.find("LINK"), std::string::npos);
    EXPECT_EQ(saved.find("LANGUAGE"), std::string::npos);

    ud.Print_Line = 1;
    CConfigStore::Save(ud, m_ini);
    EXPECT_NE(ReadFile(m_ini).find("Print_Line=XAAR128PlusJetPrintHead\n"), std::string::npos);
}

TEST_F(ConfigStore, TaskFolderComesBackAsSaved)
{
    const struct {
        const char* path;
        const char* line;
    } cases[] = {
        {"/srv/tasks", "WORKPATH=/srv/tasks\n"},
        {"/srv/tasks ", "WORKPATH=\"/srv/tasks \"\n"},
        {" /srv/tasks", "WORKPATH=\" /srv/tasks\"\n"},
        {"\"/srv/tasks\"", "WORKPATH=\"\"/srv/tasks\"\"\n"},
        {"'x'", "WORKPATH=\"'x'\"\n"},
        {"\"half", "WORKPATH=\"half\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        CUserDefine ud;
        ud.WORKPATH = c.path;
        ASSERT_TRUE(CConfigStore::Save(ud, m_ini));
        EXPECT_NE(ReadFile(m_ini).find(c.line), std::string::npos);
        CUserDefine again;
        CConfigStore::Load(again, m_ini);
        EXPECT_EQ(again.WORKPATH, c.path);
    }
}

TEST_F(ConfigStore, SaveOverHandEditedFileKeepsItsOtherLines)
{
    PutFixture("hand_edited.ini");
    CUserDefine ud;
    CConfigStore::Load(ud, m_ini);
    EXPECT_TRUE(ud.PRINTAUTO);
    EXPECT_EQ(ud.WORKPATH, "/srv/marker tasks");
    EXPECT_EQ(ud.m_fRatioX, 100.0f / 99.5f);
    EXPECT_EQ(ud.DPINumPerM, 6600);
    EXPECT_EQ(ud.Print_Line, 1);
    EXPECT_EQ(ud.m_nTotalNozzles, 256);
    EXPECT_EQ(ud.m_nLeftDots, 1980);
    EXPECT_EQ(ud.m_Link.DEVICE, "VIRTUAL");
    EXPECT_EQ(ud.m_Link.PAGEDIR, "/srv/pages");

    ud.m_Link.DEVICE = "USB";  // never written back
    ASSERT_TRUE(CConfigStore::Save(ud, m_ini));
    EXPECT_EQ(ReadFile(m_ini), ReadFile(Fixture("hand_edited_saved.ini")));

    CUserDefine again;
    CConfigStore::Load(again, m_ini);
    EXPECT_EQ(again.m_fRatioX, ud.m_fRatioX);
    EXPECT_EQ(again.EdLeftValue, ud.EdLeftValue);
    EXPECT_EQ(again.m_nLeftDots, ud.m_nLeftDots);
    EXPECT_EQ(again.WORKPATH, ud.WORKPATH);
    EXPECT_EQ(again.m_Link.DEVICE, "VIRTUAL");
}

TEST_F(ConfigStore, HostileFilesLoadToSaneRecords)
{
    for (const char* name : {"hostile_values.ini", "no_newline.ini", "binary.ini"}) {
        SCOPED_TRACE(name);
        PutFixture(name);
        CUserDefine ud;
        CConfigStore::Load(ud, m_ini);
        ExpectSane(ud);
        ASSERT_TRUE(CConfigStore::Save(ud, m_ini));
        CUserDefine again;
        CConfigStore::Load(again, m_ini);
        ExpectSane(again);
    }
    PutFixture("hostile_values.ini");
    CUserDefine ud;
    CConfigStore::Load(ud, m_ini);
    EXPECT_EQ(ud.m_fRatioX, 0.0f);  // "inf" reads as 0
    EXPECT_EQ(ud.XSCALE_R, 1.0f);
    EXPECT_EQ(ud.m_fRatioY, 0.0f);  // "nan" reads as 0
    EXPECT_EQ(ud.DPINumPerM, 6653);
    EXPECT_EQ(ud.m_nStepTotal, INT_MAX);
    EXPECT_EQ(ud.m_nLeftDots, INT_MAX);
    EXPECT_EQ(ud.EdLineSection, 17.45f);
    EXPECT_EQ(ud.Print_Line, 0);
    EXPECT_EQ(ud.MAXWIDTH, 0.0f);
}

// A config.ini that gives only defaults, or keeps none of a Save, must say why: defaults mean the real
// plotter and no automatic printing, and a lost Save comes back at the next start.
TEST_F(ConfigStore, FilesThatCannotBeUsedSayWhy)
{
    struct Case {
        const char* what;
        std::function<void()> make;
        const char* problem;  // empty: none
    } cases[] = {
        {"missing", [&] { fs::remove_all(m_ini); }, ""},
        {"a settings file", [&] { Put("[PRINT]\nPRINTAUTO=1\n"); }, ""},
        {"only the language", [&] { Put("[UI]\nLANGUAGE=en\n"); }, ""},
        {"garbage", [&] { Put(std::string("\x89PNG\r\n\x1a\n\0\0junk", 14)); }, "it holds none of the settings"},
        {"another program's file", [&] { Put("[Window]\nWidth=800\n"); }, "it holds none of the settings"},
        {"a folder", [&] { fs::create_directories(m_ini); }, "Is a directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(m_ini);
        c.make();
        CUserDefine ud;
        std::string problem = "unset";
        EXPECT_EQ(CConfigStore::Load(ud, m_ini, "", &problem), !*c.problem);
        EXPECT_EQ(problem, c.problem);
    }
    // m_ini is a folder now: nothing can be saved there.
    std::string problem;
    EXPECT_FALSE(CConfigStore::Save(CUserDefine(), m_ini, &problem));
    EXPECT_EQ(problem, "Is a directory");
    CMarquellDoc doc(m_dir.string());
    EXPECT_FALSE(doc.SaveConfig());
    EXPECT_EQ(doc.ConfigProblemText(true), "The settings were not saved to " + m_ini + ": Is a directory");
}

TEST_F(ConfigStore, DocumentLoadsAndSavesBesideTheProgram)
{
    Put("[CTRPARAM]\nJetPrintHead=2\n");
    CMarquellDoc doc(m_dir.string());
    EXPECT_EQ(doc.m_strConfigPath, m_ini);
    EXPECT_EQ(doc.m_UserDefine.JetPrintHead, 2);
    doc.m_UserDefine.PRINTAUTO = true;
    EXPECT_TRUE(doc.SaveConfig());
    EXPECT_TRUE(doc.LoadConfig());
    EXPECT_TRUE(doc.m_UserDefine.PRINTAUTO);
}

} // namespace
