// The settings dialog: fill, the conversions of Save, refused values, read-only mode, OK and Cancel.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "config/advancedconfigdlg.h"
#include "config/mainconfigdlg.h"
#include "config/othersconfigdlg.h"
#include "config/paramconfigdlg.h"
#include "config/systemconfigdlg.h"
#include "config/tabconfigsheet.h"
#include "document/marquelldoc.h"
#include "platform/windowbridge.h"

namespace {

class CRecordingBridge : public CHeadlessBridge {
public:
    int MessageBox(const std::string& text, const std::string& caption, int buttons, int icon) override
    {
        m_Texts.push_back(text);
        return CHeadlessBridge::MessageBox(text, caption, buttons, icon);
    }
    std::vector<std::string> m_Texts;
};

// Every field of the record as text, so that a difference shows which field moved.
std::string Dump(const CUserDefine& u)
{
    std::ostringstream o;
    o << "Print_Line=" << int(u.Print_Line) << " JetPrintHead=" << int(u.JetPrintHead)
      << " CrcAddorSub=" << int(u.CrcAddorSub) << " nozzles=" << u.m_nNozzlesPerHead << "/" << u.m_nTotalNozzles
      << " slots=" << u.m_nSlotsPerHead << "/" << u.m_nTotalSlots << "\n";
    for (int i = 0; i < 8; ++i)
        o << "col" << i << "=" << u.JetPrintHeadOpenStatus[i] << "," << u.JetPrintHeadValueX[i] << ","
          << u.JetPrintHeadValueY[i] << "\n";
    o << "Speed=" << u.SpeedH << "," << u.SpeedM << "," << u.SpeedL << " ratio=" << u.m_fRatioX << ","
      << u.m_fRatioY << " scale=" << u.XSCALE_T << "," << u.YSCALE_T << "," << u.XSCALE_R << "," << u.YSCALE_R
      << "\nWORKPATH=" << u.WORKPATH << "\nDPI=" << u.DPINumPerM << " dotsX=" << u.m_fDotsPerUnitX
      << " rowsY=" << u.m_fRowsPerUnitY << " step=" << u.EdStepB << "/" << u.m_nStepTotal
      << " crc=" << u.EdLRCrcValue << " left=" << u.EdLeftValue << "/" << u.m_nLeftDots << " jump=" << u.EdJumpValue
      << " section=" << u.EdLineSection << " lineWidth=" << u.ELineWidth << "\nflags=" << u.PRINTROTATION90
      << u.PRINTMIRROR << u.PRINTAUTO << u.PRINTROTATION90_CLOCKWISE << u.PRINTROTATION90_UNCLOCKWISE
      << " wash=" << u.WashBegin << "," << u.WashEnd << "," << u.WashCnt << "," << u.WashFreq << ","
      << u.FlashJetPOS << "," << u.FlashJetTime << "," << u.WashPass << "," << u.WaitPos << "," << u.WashEnable
      << "\nmaxwidth=" << u.MAXWIDTH << " usb=" << u.USBPACKAGESIZE << "," << u.USBTIMEOUT
      << " headwidth=" << u.JETPRINTHEADWIDTH << " compress=" << u.DATACOMPRESS << " font=" << u.PLTFONTSIZE
      << " speed=" << u.UCSPEED << "," << u.ENSPEED << "\n";
    return o.str();
}

class MainConfigDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_Dir.isValid());
        SetWindowBridge(&m_Bridge);
        m_pDoc = std::make_unique<CMarquellDoc>(AppDir());
        ResetRecord();
    }
    void TearDown() override { SetWindowBridge(nullptr); }

    std::string AppDir() const { return m_Dir.path().toStdString(); }
    QString IniPath() const { return m_Dir.filePath("config.ini"); }
    QByteArray IniBytes() const
    {
        QFile f(IniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void WriteIni(const QByteArray& text)
    {
        QFile f(IniPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }

    std::unique_ptr<CMainConfigDlg> Open(bool readOnly = false)
    {
        auto dlg = std::make_unique<CMainConfigDlg>(*m_pDoc, readOnly);
        dlg->show();
        return dlg;
    }

    // The record as loaded from a missing file, with a working directory set.
    void ResetRecord()
    {
        QFile::remove(IniPath());
        m_pDoc->m_UserDefine = CUserDefine();
        m_pDoc->LoadConfig();
        if (m_pDoc->m_UserDefine.WORKPATH.empty())
            m_pDoc->m_UserDefine.WORKPATH = "/srv/tasks";
    }

    static QLineEdit* Edit(QWidget* w, int id) { return w->findChild<QLineEdit*>(QString::number(id)); }
    static QAbstractButton* Button(QWidget* w, int id)
    {
        return w->findChild<QAbstractButton*>(QString::number(id));
    }
    static void SetText(QWidget* dlg, int id, const QString& text)
    {
        QLineEdit* e = Edit(dlg, id);
        ASSERT_NE(e, nullptr) << id;
        e->setText(text);
    }
    static void Save(CMainConfigDlg& dlg) { QTest::mouseClick(dlg.m_pSave, Qt::LeftButton); }

    QTemporaryDir m_Dir;
    CRecordingBridge m_Bridge;
    std::unique_ptr<CMarquellDoc> m_pDoc;
};

TEST_F(MainConfigDlgTest, SheetRefusesASeventeenthPage)
{
    CTabConfigSheet sheet;
    QWidget pages[17];
    for (int i = 0; i < 16; ++i)
        EXPECT_TRUE(sheet.AddPage(QString::number(i), &pages[i], 100 + i));
    EXPECT_FALSE(sheet.AddPage("17", &pages[16], 116));
    EXPECT_EQ(sheet.PageCount(), 16);
    EXPECT_EQ(sheet.Page(16), nullptr);
    sheet.InitPages();
    EXPECT_EQ(sheet.count(), 16);
    EXPECT_EQ(sheet.CurrentPage(), 0);
    EXPECT_EQ(sheet.currentWidget(), &pages[0]);
}

TEST_F(MainConfigDlgTest, OpensWithFourPagesAndItsButtons)
{
    auto dlg = Open();
    EXPECT_EQ(dlg->windowTitle(), "Settings");
    EXPECT_TRUE(dlg->isModal());
    CTabConfigSheet* sheet = dlg->findChild<CTabConfigSheet*>("1120");
    ASSERT_NE(sheet, nullptr);
    ASSERT_EQ(sheet->count(), 4);
    const char* titles[] = {"System", "Plotting", "Others", "Advanced"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(sheet->tabText(i), titles[i]);
        EXPECT_EQ(sheet->TemplateId(i), 190 + i);
    }
    EXPECT_EQ(Button(dlg.get(), 1)->text(), "OK");
    EXPECT_EQ(Button(dlg.get(), 2)->text(), "Cancel");
    EXPECT_EQ(Button(dlg.get(), 1054)->text(), "Save");
}

TEST_F(MainConfigDlgTest, FillShowsTheRecordInTheBoxFormats)
{
    auto dlg = Open();
    CUserDefine& ud = m_pDoc->m_UserDefine;
    ud.EdLeftValue = 300.7f;
    ud.XSCALE_R = 99.5f;
    ud.MAXWIDTH = 180.0f;
    ud.JetPrintHead = 3;
    ud.CrcAddorSub = 0;
    ud.UCSPEED = 2;
    ud.PRINTROTATION90_CLOCKWISE = true;
    ud.PRINTROTATION90_UNCLOCKWISE = true;
    ud.JetPrintHeadOpenStatus[2] = 1;
    ud.JetPrintHeadValueX[2] = -40;
    ud.WORKPATH = "/srv/tasks";
    dlg->FillPages();

    EXPECT_EQ(Edit(dlg.get(), 1004)->text(), "301");
    EXPECT_EQ(Edit(dlg.get(), 1030)->text(), "99.50");
    EXPECT_EQ(Edit(dlg.get(), 1111)->text(), "180.0");
    EXPECT_EQ(Edit(dlg.get(), 1044)->text(), "-40");
    EXPECT_EQ(Edit(dlg.get(), 1026)->text(), "/srv/tasks");
    EXPECT_TRUE(Button(dlg.get(), 1045)->isChecked());
    EXPECT_FALSE(Button(dlg.get(), 1018)->isChecked());
    for (int id = 1014; id <= 1017; ++id)
        EXPECT_EQ(Button(dlg.get(), id)->isChecked(), id == 1016) << id;
    EXPECT_FALSE(Button(dlg->m_pParamDlg, 1021)->isChecked());
    EXPECT_TRUE(Button(dlg->m_pParamDlg, 1025)->isChecked());
    EXPECT_TRUE(Button(dlg->m_pParamDlg, 1107)->isChecked());
    EXPECT_TRUE(Button(dlg->m_pParamDlg, 1108)->isChecked());
    EXPECT_TRUE(Button(dlg->m_pAdvancedDlg, 1121)->isChecked());
    EXPECT_FALSE(Button(dlg->m_pAdvancedDlg, 1120)->isChecked());
}

struct SaveCase {
    const char* name;
    std::vector<std::pair<int, QString>> edits;
    std::function<void(const CUserDefine&)> check;
};

TEST_F(MainConfigDlgTest, SaveConvertsEachBox)
{
    const std::vector<SaveCase> cases = {
        {"package 1000", {{1023, "1000"}}, [](const CUserDefine& u) { EXPECT_EQ(u.USBPACKAGESIZE, 2048); }},
        {"package 70000", {{1023, "70000"}}, [](const CUserDefine& u) { EXPECT_EQ(u.USBPACKAGESIZE, 64512); }},
        {"package 5000", {{1023, "5000"}}, [](const CUserDefine& u) { EXPECT_EQ(u.USBPACKAGESIZE, 4608); }},
        {"package -3", {{1023, "-3"}}, [](const CUserDefine& u) { EXPECT_EQ(u.USBPACKAGESIZE, 2048); }},
        {"package text", {{1023, "abc"}}, [](const CUserDefine& u) { EXPECT_EQ(u.USBPACKAGESIZE, 2048); }},
        {"zero real length",
         {{1024, "2.50"}, {1030, "0"}},
         [](const CUserDefine& u) {
             EXPECT_EQ(u.XSCALE_R, 1.0f);
             EXPECT_EQ(u.m_fRatioX, 2.5f);
         }},
        {"zero plotted length",
         {{1020, "0"}, {1022, "4"}},
         [](const CUserDefine& u) {
             EXPECT_EQ(u.YSCALE_T, 1.0f);
             EXPECT_EQ(u.m_fRatioY, 0.25f);
         }},
        {"resolution 900", {{1005, "900"}}, [](const CUserDefine& u) { EXPECT_EQ(u.DPINumPerM, 6653); }},
        {"resolution 1006",
         {{1005, "1006"}},
         [](const CUserDefine& u) {
             EXPECT_EQ(u.DPINumPerM, 1006);
             EXPECT_EQ(u.m_fDotsPerUnitX, 1006 * 0.025f / 1000);
         }},
        {"area 150.7", {{1111, "150.7"}}, [](const CUserDefine& u) { EXPECT_EQ(u.MAXWIDTH, 150.0f); }},
        {"origin 300.7",
         {{1004, "300.7"}},
         [](const CUserDefine& u) {
             EXPECT_EQ(u.EdLeftValue, 300.7f);
             EXPECT_EQ(u.m_nLeftDots, 2000);
         }},
        {"origin uses the resolution of the same save",
         {{1004, "1000"}, {1005, "10000"}},
         [](const CUserDefine& u) { EXPECT_EQ(u.m_nLeftDots, 10000); }},
        {"step times heads",
         {{1009, "500"}},
         [](const CUserDefine& u) {
             EXPECT_EQ(u.EdStepB, 500);
             EXPECT_EQ(u.m_nStepTotal, 500);
         }},
        {"plain integers",
         {{1011, "3"}, {1033, "200"}, {1031, "40"}, {1008, "-12"}},
         [](const CUserDefine& u) {
             EXPECT_EQ(u.ELineWidth, 3);
             EXPECT_EQ(u.PLTFONTSIZE, 200);
             EXPECT_EQ(u.USBTIMEOUT, 40);
             EXPECT_EQ(u.EdLRCrcValue, -12);
         }},
    };
    for (const SaveCase& c : cases) {
        SCOPED_TRACE(c.name);
        ResetRecord();
        auto dlg = Open();
        for (const auto& [id, text] : c.edits)
            SetText(dlg.get(), id, text);
        Save(*dlg);
        c.check(m_pDoc->m_UserDefine);
        EXPECT_TRUE(m_Bridge.m_Texts.empty());
    }
}

TEST_F(MainConfigDlgTest, ResolutionBoxKeepsWhatWasTypedAfterSave)
{
    auto dlg = Open();
    SetText(dlg.get(), 1005, "900");
    Save(*dlg);
    EXPECT_EQ(m_pDoc->m_UserDefine.DPINumPerM, 6653);
    EXPECT_EQ(Edit(dlg.get(), 1005)->text(), "900");
}

TEST_F(MainConfigDlgTest, TickedCartridgeDerivesItsSecondColumnAndClearingKeepsIt)
{
    auto dlg = Open();
    Button(dlg.get(), 1082)->setChecked(true);
    SetText(dlg.get(), 1057, "900");
    SetText(dlg.get(), 1059, "5");
    SetText(dlg.get(), 1032, "29");
    Save(*dlg);
    const CUserDefine& u = m_pDoc->m_UserDefine;
    EXPECT_EQ(u.JetPrintHeadOpenStatus[4], 1);
    EXPECT_EQ(u.JetPrintHeadValueX[4], 900);
    EXPECT_EQ(u.JetPrintHeadValueY[4], 5);
    EXPECT_EQ(u.JetPrintHeadOpenStatus[5], 1);
    EXPECT_EQ(u.JetPrintHeadValueX[5], 871);
    EXPECT_EQ(u.JetPrintHeadValueY[5], 5);

    Button(dlg.get(), 1082)->setChecked(false);
    SetText(dlg.get(), 1057, "500");
    Save(*dlg);
    EXPECT_EQ(u.JetPrintHeadOpenStatus[4], 0);
    EXPECT_EQ(u.JetPrintHeadValueX[4], 500);
    EXPECT_EQ(u.JetPrintHeadOpenStatus[5], 1);
    EXPECT_EQ(u.JetPrintHeadValueX[5], 871);
    EXPECT_EQ(u.JetPrintHeadValueY[5], 5);
}

TEST_F(MainConfigDlgTest, CartridgeCountSetsTotalsAndRowsPerUnit)
{
    auto dlg = Open();
    const CUserDefine& u = m_pDoc->m_UserDefine;
    ASSERT_EQ(u.Print_Line, 2);
    QTest::mouseClick(Button(dlg.get(), 1017), Qt::LeftButton);
    Save(*dlg);
    EXPECT_EQ(u.JetPrintHead, 4);
    EXPECT_EQ(u.m_nTotalNozzles, 600);
    EXPECT_EQ(u.m_nTotalSlots, 616);
    // Rows per unit follow the new count: nozzles per head over the column length, whatever the count.
    EXPECT_EQ(u.m_fRowsPerUnitY, 600 / (40 * u.EdLineSection * 4));
    EXPECT_FLOAT_EQ(u.m_fRowsPerUnitY, 150 / (40 * u.EdLineSection));
}

TEST_F(MainConfigDlgTest, SaveCopiesFlagsAndOptions)
{
    auto dlg = Open();
    Button(dlg.get(), 1000)->setChecked(true);
    Button(dlg.get(), 1002)->setChecked(true);
    Button(dlg.get(), 1001)->setChecked(true);
    QTest::mouseClick(Button(dlg->m_pParamDlg, 1108), Qt::LeftButton);
    Button(dlg.get(), 1101)->setChecked(true);
    QTest::mouseClick(Button(dlg->m_pAdvancedDlg, 1120), Qt::LeftButton);
    Save(*dlg);
    const CUserDefine& u = m_pDoc->m_UserDefine;
    EXPECT_TRUE(u.PRINTMIRROR);
    EXPECT_TRUE(u.PRINTAUTO);
    EXPECT_TRUE(u.PRINTROTATION90);
    EXPECT_FALSE(u.PRINTROTATION90_CLOCKWISE);
    EXPECT_TRUE(u.PRINTROTATION90_UNCLOCKWISE);
    EXPECT_TRUE(u.ENSPEED);
    EXPECT_EQ(u.UCSPEED, 1);
    EXPECT_EQ(u.CrcAddorSub, 1);
}

TEST_F(MainConfigDlgTest, OptionsLeftUnselectedKeepTheRecord)
{
    auto dlg = Open();
    CUserDefine& u = m_pDoc->m_UserDefine;
    u.JetPrintHead = 7;
    u.UCSPEED = 9;
    u.CrcAddorSub = 5;
    dlg->FillPages();  // no option matches these values
    Save(*dlg);
    EXPECT_EQ(u.JetPrintHead, 7);
    EXPECT_EQ(u.UCSPEED, 9);
    EXPECT_EQ(u.CrcAddorSub, 5);
}

TEST_F(MainConfigDlgTest, EmptyWorkingDirectoryIsReportedAndKept)
{
    auto dlg = Open();
    m_pDoc->m_UserDefine.WORKPATH = "/srv/tasks";
    dlg->FillPages();
    SetText(dlg.get(), 1026, "");
    SetText(dlg.get(), 1033, "150");
    Save(*dlg);
    ASSERT_EQ(m_Bridge.m_Texts.size(), 1u);
    EXPECT_EQ(m_Bridge.m_Texts[0], "未指定工作目录!");
    EXPECT_EQ(m_pDoc->m_UserDefine.WORKPATH, "/srv/tasks");
    EXPECT_EQ(m_pDoc->m_UserDefine.PLTFONTSIZE, 150);
}

// A cut path would move printing to another folder without a word.
TEST_F(MainConfigDlgTest, LongWorkingDirectoryIsKeptWhole)
{
    auto dlg = Open();
    const QString longPath = "/" + QString(60, 'a') + QString::fromUtf8("/目录目录目录目录目录目录目录目录") + "/" + QString(80, 'b');
    SetText(dlg.get(), 1026, longPath);
    Save(*dlg);
    EXPECT_TRUE(m_Bridge.m_Texts.empty());
    EXPECT_EQ(m_pDoc->m_UserDefine.WORKPATH, longPath.toStdString());
    CMarquellDoc again(AppDir());
    EXPECT_EQ(again.m_UserDefine.WORKPATH, longPath.toStdString());
}

// The automatic scan may start a job while the dialog stands open: Save asks again and refuses.
TEST_F(MainConfigDlgTest, SaveIsRefusedOnceAJobHasStarted)
{
    auto dlg = Open();
    bool printing = false;
    dlg->m_fnPrinting = [&] { return printing; };
    SetText(dlg.get(), 1011, "7");
    printing = true;
    Save(*dlg);
    ASSERT_EQ(m_Bridge.m_Texts.size(), 1u);
    EXPECT_NE(m_pDoc->m_UserDefine.ELineWidth, 7);
    EXPECT_FALSE(QFile::exists(IniPath()));
    EXPECT_FALSE(dlg->m_pSave->isEnabled()) << "read-only from then on";
}

TEST_F(MainConfigDlgTest, ASaveThatCannotBeWrittenNamesTheFileAndTheReason)
{
    QDir().mkpath(IniPath());
    auto dlg = Open();
    SetText(dlg.get(), 1011, "7");
    Save(*dlg);
    ASSERT_EQ(m_Bridge.m_Texts.size(), 1u);
    EXPECT_EQ(m_Bridge.m_Texts[0], "The settings were not saved to " + IniPath().toStdString() + ": Is a directory");
}

TEST_F(MainConfigDlgTest, BrowseReplacesTheBoxOnlyWhenAFolderIsChosen)
{
    auto dlg = Open();
    m_pDoc->m_UserDefine.WORKPATH = "/srv/tasks";
    dlg->FillPages();
    QString answer = "/data/jobs";
    QString askedTitle;
    dlg->m_pOthersDlg->SetFolderPicker([&](QWidget* owner, const QString& title) {
        EXPECT_EQ(owner, dlg->m_pOthersDlg);
        askedTitle = title;
        return answer;
    });
    QTest::mouseClick(dlg->m_pOthersDlg->m_pBrowse, Qt::LeftButton);
    EXPECT_EQ(askedTitle, QString::fromUtf8("请选择工作目录"));
    EXPECT_EQ(Edit(dlg.get(), 1026)->text(), "/data/jobs");
    EXPECT_EQ(m_pDoc->m_UserDefine.WORKPATH, "/srv/tasks");

    answer.clear();  // cancelled
    QTest::mouseClick(dlg->m_pOthersDlg->m_pBrowse, Qt::LeftButton);
    EXPECT_EQ(Edit(dlg.get(), 1026)->text(), "/data/jobs");
    Save(*dlg);
    EXPECT_EQ(m_pDoc->m_UserDefine.WORKPATH, "/data/jobs");
}

struct RefuseCase {
    std::vector<std::pair<int, QString>> edits;
    const char* field;  // empty: the value is accepted
};

TEST_F(MainConfigDlgTest, ValuesThatBreakThePrintPathAreRefusedAndNothingIsSaved)
{
    const std::vector<RefuseCase> cases = {
        {{{1011, "0"}}, "Espessura Linha"},
        {{{1011, "-2"}}, "Espessura Linha"},
        {{{1011, "1001"}}, "Espessura Linha"},
        {{{1011, "1000"}}, ""},
        {{{1005, "100001"}}, "Pixel por 1000mm"},
        {{{1005, "99999999999"}}, "Pixel por 1000mm"},
        {{{1005, "100000"}}, ""},
        {{{1019, "1000001"}}, "Offset No.1"},
        {{{1093, "-1000001"}}, "Offset No.4"},
        {{{1046, "2000000"}}, "OffsetCorrect No.2"},
        {{{1032, "1000001"}}, "Espessura Cabeça"},
        {{{1019, "1000000"}, {1032, "-1000000"}}, ""},
        {{{1009, "600000000"}, {1017, ""}}, "Y-Step Values"},
        {{{1009, "600000000"}}, ""},
        {{{1004, "400000"}}, "Origin Point"},
        {{{1004, "1e30"}}, "Origin Point"},
        {{{1004, "300000"}}, ""},
        {{{1030, "-5"}}, "X-Real"},
        {{{1020, "-1"}}, "Y-Plotado"},
        {{{1020, "nan"}, {1022, "4"}}, ""},  // text that is no number reads as 0, which stands for 1
        {{{1024, "1e30"}, {1030, "1e-30"}}, "X-Plotado / X-Real"},
        {{{1031, "-1"}, {1008, "300"}, {1033, "-5"}, {1111, "-10"}}, ""},
    };
    for (const RefuseCase& c : cases) {
        SCOPED_TRACE(c.edits.front().second.toStdString() + " in " + std::to_string(c.edits.front().first));
        m_Bridge.m_Texts.clear();
        ResetRecord();
        const std::string before = Dump(m_pDoc->m_UserDefine);
        auto dlg = Open();
        for (const auto& [id, text] : c.edits) {
            if (text.isEmpty())
                QTest::mouseClick(Button(dlg.get(), id), Qt::LeftButton);
            else
                SetText(dlg.get(), id, text);
        }
        Save(*dlg);
        if (*c.field) {
            ASSERT_EQ(m_Bridge.m_Texts.size(), 1u);
            EXPECT_NE(m_Bridge.m_Texts[0].find(c.field), std::string::npos) << m_Bridge.m_Texts[0];
            EXPECT_EQ(Dump(m_pDoc->m_UserDefine), before);
            EXPECT_FALSE(QFile::exists(IniPath()));
        } else {
            EXPECT_TRUE(m_Bridge.m_Texts.empty()) << m_Bridge.m_Texts.front();
            EXPECT_NE(Dump(m_pDoc->m_UserDefine), before);
        }
    }
}

TEST_F(MainConfigDlgTest, EveryOpeningReloadsTheFile)
{
    WriteIni("[CTRPARAM]\r\nELineWidth=5\r\n");
    m_pDoc->m_UserDefine.ELineWidth = 7;
    auto dlg = Open();
    EXPECT_EQ(m_pDoc->m_UserDefine.ELineWidth, 5);
    EXPECT_EQ(Edit(dlg.get(), 1011)->text(), "5");
}

TEST_F(MainConfigDlgTest, FirstSaveIntoAMissingFileLaysOutTheSections)
{
    ASSERT_FALSE(QFile::exists(IniPath()));
    auto dlg = Open();
    SetText(dlg.get(), 1011, "3");
    Button(dlg.get(), 1018)->setChecked(true);
    SetText(dlg.get(), 1019, "120");
    Save(*dlg);

    QStringList sections;
    QStringList printKeys;
    QString current;
    for (const QByteArray& raw : IniBytes().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith('[')) {
            current = line.mid(1, line.indexOf(']') - 1);
            sections << current;
        } else if (current == "PRINT" && line.contains('=')) {
            printKeys << line.left(line.indexOf('='));
        }
    }
    EXPECT_EQ(sections, QStringList({"PRINT", "PATH", "CTRPARAM", "JetPrintHeadOpenStatus", "JetPrintHeadValueX",
                                     "JetPrintHeadValueY", "AutoWash"}));
    EXPECT_EQ(printKeys, QStringList({"PRINTAUTO", "PRINTMIRROR", "PRINTROTATION90", "PRINTROTATION90_CLOCKWISE",
                                      "PRINTROTATION90_UNCLOCKWISE", "MAXWIDTH", "USBPACKAGESIZE", "USBTIMEOUT",
                                      "JETPRINTHEADWIDTH", "DATACOMPRESS", "PLTFONTSIZE", "UCSPEED", "ENSPEED"}));

    // What was saved is what the next opening finds.
    CMarquellDoc reloaded(AppDir());
    EXPECT_EQ(Dump(reloaded.m_UserDefine), Dump(m_pDoc->m_UserDefine));
    EXPECT_EQ(reloaded.m_UserDefine.JetPrintHeadValueX[1], 91);
}

TEST_F(MainConfigDlgTest, ReadOnlyDisablesExactlyTheListedControls)
{
    WriteIni("[CTRPARAM]\r\nELineWidth=5\r\n");
    m_pDoc->m_UserDefine.ELineWidth = 7;  // a printing job's record is not reloaded
    auto dlg = Open(true);
    EXPECT_EQ(Edit(dlg.get(), 1011)->text(), "7");

    const std::set<int> disabled[4] = {
        {1011, 1014, 1015, 1016, 1017, 1018, 1019, 1012, 1044, 1045, 1046, 1057, 1059, 1082, 1093, 1028, 1112, 1032},
        {1004, 1020, 1022, 1024, 1030, 1000, 1001, 1002, 1107, 1108},
        {1027, 1033, 1026},  // the directory box is always disabled
        {1005, 1009, 1111, 1101, 1102, 1120, 1121, 1023, 1031},
    };
    QWidget* pages[4] = {dlg->m_pSystemDlg, dlg->m_pParamDlg, dlg->m_pOthersDlg, dlg->m_pAdvancedDlg};
    for (int p = 0; p < 4; ++p) {
        int controls = 0;
        for (QWidget* w : pages[p]->findChildren<QWidget*>()) {
            bool numeric = false;
            const int id = w->objectName().toInt(&numeric);
            if (!numeric)
                continue;
            ++controls;
            EXPECT_EQ(w->isEnabled(), disabled[p].count(id) == 0) << "page " << p << " control " << id;
        }
        EXPECT_GE(controls, static_cast<int>(disabled[p].size()));
    }
    EXPECT_FALSE(dlg->m_pSave->isEnabled());
    EXPECT_TRUE(dlg->m_pOk->isEnabled());
    EXPECT_TRUE(dlg->m_pCancel->isEnabled());
    EXPECT_TRUE(Edit(dlg.get(), 1008)->isEnabled());
}

TEST_F(MainConfigDlgTest, OkAndCancelTouchNeitherRecordNorFile)
{
    WriteIni("[PRINT]\r\nPRINTAUTO=1\r\n; operator's note\r\n[CTRPARAM]\r\nELineWidth=4\r\n");
    for (int id : {1, 2}) {
        SCOPED_TRACE(id);
        m_pDoc->LoadConfig();
        const std::string record = Dump(m_pDoc->m_UserDefine);
        const QByteArray file = IniBytes();
        auto dlg = Open();
        SetText(dlg.get(), 1011, "9");
        SetText(dlg.get(), 1005, "900");
        Button(dlg.get(), 1000)->setChecked(true);
        SetText(dlg.get(), 1026, "/elsewhere");
        QTest::mouseClick(Button(dlg.get(), id), Qt::LeftButton);
        EXPECT_EQ(dlg->result(), id == 1 ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_FALSE(dlg->isVisible());
        EXPECT_EQ(Dump(m_pDoc->m_UserDefine), record);
        EXPECT_EQ(IniBytes(), file);
    }
}

}  // namespace
