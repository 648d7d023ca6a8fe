// The operator's language: chosen from [UI] LANGUAGE or the locale; menus, message boxes, the task list, the
// status bar and the Settings dialog all in it; texts of the layers below translated by their source; the
// log untouched.
#include <sstream>

#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>

#include "platform/gbk.h"
#include "queue/folderlock.h"
#include "shell/commandids.h"
#include "shell/coretext.h"
#include "shell/language.h"
#include "shell/statusbar.h"
#include "pausedjob.h"

namespace {

std::string Text(const QString& text)
{
    return text.toStdString();
}

TEST(LanguageChoice, TheKeyOverridesTheLocaleAndOnlyCarriedLanguagesAreChosen)
{
    const struct {
        const char* setting;
        const char* locale;
        const char* chosen;
    } cases[] = {
        {"", "zh_CN", "zh_CN"},     {"", "zh_TW", "zh_CN"},        {"", "pt_PT", "pt_BR"},
        {"", "en_GB", "en"},        {"", "fr_FR", ""},             {"", "C", ""},
        {"source", "zh_CN", ""},    {" Source ", "pt_BR", ""},     {"pt_BR", "zh_CN", "pt_BR"},
        {"zh-CN", "en_US", "zh_CN"}, {"EN", "pt_BR", "en"},         {"fr", "pt_BR", "pt_BR"},
        {"klingon", "C", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.setting) + " under " + c.locale);
        EXPECT_EQ(Text(CLanguage::Choose(c.setting, QLocale(QString::fromLatin1(c.locale)))), c.chosen);
    }
}

// Composed texts get their fixed parts and known parts translated; paths and unknown reasons stay.
TEST(CoreText, ComposedTextsAreTranslatedPartByPart)
{
    CLanguage language;
    ASSERT_TRUE(language.Install(QStringLiteral("pt_BR")));
    const struct {
        std::string source;
        const char* shown;
    } cases[] = {
        {"Cannot plot /srv/a: b/cut.plt: the file was not found",
         "Não é possível plotar /srv/a: b/cut.plt: o arquivo não foi encontrado"},
        {"Cannot plot /srv/100%1.plt: a reason added later", "Não é possível plotar /srv/100%1.plt: a reason added later"},
        {"The task folder /srv/tasks/ is served by tessaline-cli (process 42); this program does not print from it "
         "while that one runs.",
         "A pasta de tarefas /srv/tasks/ é atendida por tessaline-cli (processo 42); este programa não plota a partir "
         "dela enquanto aquele estiver em execução."},
        {"The task folder /srv/tasks/ cannot be served: cannot lock /srv/tasks/.tessaline.lock: Permission denied",
         "Não é possível atender a pasta de tarefas /srv/tasks/: não é possível bloquear /srv/tasks/.tessaline.lock: "
         "Permission denied"},
        {"Cannot plot /srv/a: b/cut.plt: the file is empty: it holds no drawing",
         "Não é possível plotar /srv/a: b/cut.plt: o arquivo está vazio: não contém desenho"},
        {"Kept /srv/cut.plt: it changed since it was listed; queued as a new job",
         "/srv/cut.plt foi mantido: ele mudou desde que foi listado; entrou na fila como um novo trabalho"},
        {"/home/op/.local/state/tessaline/logfile.txt", "/home/op/.local/state/tessaline/logfile.txt"},
        {"Notice", "Aviso"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Text(CCoreText::Message(c.source)), c.shown);
    EXPECT_EQ(Text(CCoreText::StatusPane("Online")), "Conectada");
    EXPECT_EQ(Text(CCoreText::TaskRow("Waitting")), "Aguardando");
    EXPECT_EQ(Text(CCoreText::TaskRow("the print did not complete")), "a plotagem não foi concluída");
    EXPECT_EQ(Text(CCoreText::TaskRow("plotted; the file cannot be removed (Read-only file system)")),
              "plotado; o arquivo não pode ser removido (Read-only file system)");
    EXPECT_EQ(Text(CCoreText::TaskRow("the file cannot be read (Permission denied)")),
              "o arquivo não pode ser lido (Permission denied)");

    language.Remove();
    EXPECT_EQ(Text(CCoreText::Message(cases[0].source)), cases[0].source);
    EXPECT_EQ(Text(CCoreText::StatusPane("Online")), "Online");
}

// What the operator reads under one [UI] LANGUAGE.
struct CLanguageCase {
    const char* language;
    const char* menu;        // the first menu of the menu bar
    const char* caption;     // Delete of the row being plotted
    const char* refusal;
    const char* rowState;    // that row's state
    const char* taskPane;    // status pane 4 meanwhile
    const char* settings;    // the Settings dialog's title, its first tab and "Plotar Automatico"
    const char* firstTab;
    const char* autoPlot;
    const char* qtCancel;    // Qt's own translation of its standard buttons
    const char* busyFolder;  // the task folder served by another program: the composed message's start
    const char* holder;      // and the program serving it (%1: its process)
};

const CLanguageCase kLanguages[] = {
    {"source", "Plotar(&P)", "Notice", "The plotter is working. Please waiting for this plotting task finished!",
     "Plotting", "Plotting", "Settings", "System", "Plotar Automatico", "Cancel", "The task folder ",
     "tessaline-cli (process %1)"},
    {"zh_CN", "打印(&P)", "提示", "绘图仪正在打印此任务，请等待打印完成！", "正在打印", "打印中", "设置", "系统",
     "自动打印", "取消", "任务文件夹 ", "tessaline-cli（进程 %1）"},
    {"pt_BR", "&Plotar", "Aviso", "A plotter está plotando este trabalho. Aguarde até que ele termine.", "Plotando",
     "Plotando", "Configurações", "Sistema", "Plotar automaticamente", "Cancelar", "A pasta de tarefas ",
     "tessaline-cli (processo %1)"},
    {"en", "&Plot", "Notice", "The plotter is busy with this job. Wait until it has finished.", "Plotting", "Plotting",
     "Settings", "System", "Plot automatically", "Cancel", "The task folder ", "tessaline-cli (process %1)"},
};

void PrintTo(const CLanguageCase& c, std::ostream* os)
{
    *os << c.language;
}

class LanguageTest : public PausedJobTest, public ::testing::WithParamInterface<CLanguageCase> {
protected:
    void SetUp() override
    {
        PausedJobTest::SetUp();
        m_strLanguage = GetParam().language;
    }
    std::string ReadLog() const
    {
        std::ifstream in(m_Dir / "logfile.txt", std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
};

TEST_P(LanguageTest, MenusMessagesTaskListStatusBarAndSettingsSpeakIt)
{
    const CLanguageCase& c = GetParam();
    StartPausedJob(1);
    EXPECT_EQ(Text(Frame()->menuBar()->actions().value(0)->text()), c.menu);
    EXPECT_EQ(Text(QCoreApplication::translate("QPlatformTheme", "Cancel")), c.qtCancel);

    Select("a.plt");
    QMenu menu;
    View()->FillContextMenu(menu);
    QAction* pDelete = menu.findChild<QAction*>(QString::number(ID_DELETE));
    ASSERT_NE(pDelete, nullptr);
    pDelete->trigger();
    ASSERT_EQ(m_Boxes.size(), 1u);
    EXPECT_EQ(m_Boxes[0].caption, c.caption);
    EXPECT_EQ(m_Boxes[0].text, c.refusal);

    View()->OnTimer(CFileView::kTimerLink);
    EXPECT_EQ(Column(0), (std::vector<std::string>{c.rowState}));
    EXPECT_EQ(Text(g_pStatusBar->GetPaneText(4)), c.taskPane);

    std::string title, tab, autoPlot;
    OnNextDialog([&](QWidget* pDialog) {
        title = Text(pDialog->windowTitle());
        if (auto* pTabs = pDialog->findChild<QTabWidget*>())
            tab = Text(pTabs->tabText(0));
        if (auto* pCheck = pDialog->findChild<QAbstractButton*>(QStringLiteral("1002")))
            autoPlot = Text(pCheck->text());
        qobject_cast<QDialog*>(pDialog)->reject();
    });
    ASSERT_TRUE(Frame()->Dispatch(ID_SETTINGS));
    EXPECT_EQ(title, c.settings);
    EXPECT_EQ(tab, c.firstTab);
    EXPECT_EQ(autoPlot, c.autoPlot);
}

// A message composed in the task queue (a folder, another program) is shown translated; the log keeps the
// source text, byte for byte.
TEST_P(LanguageTest, ComposedMessagesAreTranslatedAndTheLogIsNot)
{
    const CLanguageCase& c = GetParam();
    WriteConfig(true);
    CFolderLock other;
    ASSERT_TRUE(other.AcquireFolder(Folder(), "tessaline-cli"));
    Start();
    ASSERT_TRUE(WaitUntil([&] { return !m_Boxes.empty(); }));
    EXPECT_EQ(m_Boxes[0].text.rfind(c.busyFolder + Folder(), 0), 0u) << m_Boxes[0].text;
    const std::string pid = std::to_string(QCoreApplication::applicationPid());
    const std::string holder = Text(QString::fromUtf8(c.holder).arg(QString::fromStdString(pid)));
    EXPECT_NE(m_Boxes[0].text.find(holder), std::string::npos) << m_Boxes[0].text;
    EXPECT_EQ(Text(g_pStatusBar->currentMessage()), m_Boxes[0].text);

    const std::string source = "The task folder " + Folder() + " is served by tessaline-cli (process " + pid +
                               "); this program does not print from it while that one runs.\r\n";
    EXPECT_NE(ReadLog().find(Utf8ToGbk(source)), std::string::npos);
    EXPECT_NE(ReadLog().find(Utf8ToGbk("Kestrova打印控制中心日志!\r\n")), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(EachLanguage, LanguageTest, ::testing::ValuesIn(kLanguages),
                         [](const ::testing::TestParamInfo<CLanguageCase>& info) {
                             return std::string(info.param.language);
                         });

}  // namespace
