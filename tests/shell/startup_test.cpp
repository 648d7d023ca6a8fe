// Start-up order and the log file, the About box, the main window's menus, toolbar and status bar.
#include <mutex>
#include <sstream>

#include <QAction>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QSplitter>
#include <QTest>
#include <QToolBar>

#include "platform/gbk.h"
#include "platform/logwriter.h"
#include "queue/printworker.h"
#include "shell/commandids.h"
#include "shell/previewpane.h"
#include "shell/statusbar.h"
#include "shellfixture.h"

namespace {

std::mutex gTraceLock;
std::vector<std::pair<std::string, bool>> gTrace;  // entry, worker running when it was written

void RecordTrace(std::string_view text)
{
    std::lock_guard<std::mutex> lock(gTraceLock);
    gTrace.emplace_back(std::string(text), IsPrintWorkerRunning());
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

TEST_F(ShellTest, StartUpRunsTheWorkerBeforeTheLogHeaderAndRecreatesTheLog)
{
    std::ofstream(m_Dir / "logfile.txt") << "the previous run\r\n";
    gTrace.clear();
    SetTraceSink(&RecordTrace);
    Start(false);
    SetTraceSink(nullptr);

    const std::string title = Utf8ToGbk("Kestrova打印控制中心日志!\r\n");
    bool headerSeen = false;
    for (const auto& [entry, workerRunning] : gTrace) {
        if (entry == title) {
            headerSeen = true;
            EXPECT_TRUE(workerRunning) << "the log header was written before the print worker started";
        }
    }
    EXPECT_TRUE(headerSeen);

    CloseLogFile();  // write out the buffer
    const std::string log = ReadFile(m_Dir / "logfile.txt");
    const std::string start = "\r\n" + title + Utf8ToGbk("记录开始时间: ");
    EXPECT_EQ(log.substr(0, start.size()), start);
    EXPECT_EQ(log.find("the previous run"), std::string::npos);

    EXPECT_EQ(Frame()->windowTitle(), "Tessaline");
    EXPECT_TRUE(Frame()->isVisible());
    EXPECT_EQ(gpDoc, &Doc());
    EXPECT_EQ(gpFileView, View());
    const std::pair<int, int> timers[] = {{1001, 1000}, {1002, 3000}, {1003, 3000}};
    for (auto [id, ms] : timers) {
        ASSERT_NE(View()->Timer(id), nullptr);
        EXPECT_TRUE(View()->Timer(id)->isActive()) << id;
        EXPECT_EQ(View()->Timer(id)->interval(), ms) << id;
    }
    EXPECT_TRUE(m_Boxes.empty());
}

TEST_F(ShellTest, ALogThatCannotBeCreatedIsReportedAndTheWindowStillWorks)
{
    fs::create_directories(m_Dir / "logfile.txt");
    Start();
    ASSERT_EQ(m_Boxes.size(), 2u);
    EXPECT_EQ(m_Boxes[0].text, (m_Dir / "logfile.txt").string());
    EXPECT_EQ(m_Boxes[1].text, "创建日志文件失败！");
    for (const CShownBox& box : m_Boxes)
        EXPECT_EQ(box.caption, "Informação");

    Task("a.plt");
    Tick();  // listed
    Tick();  // unchanged since: started
    EXPECT_EQ(Column(0), (std::vector<std::string>{"Plotting"}));
}

TEST_F(ShellTest, TheTaskListHasItsColumnsAndSitsAboveThePreview)
{
    Start();
    const std::pair<const char*, int> columns[] = {
        {"Task Status", 100}, {"File Name", 300}, {"Plotting Counter", 150}, {"Size", 170}, {"More Details", 150}};
    ASSERT_EQ(View()->columnCount(), 5);
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(View()->horizontalHeaderItem(c)->text().toStdString(), columns[c].first);
        EXPECT_EQ(View()->columnWidth(c), columns[c].second);
    }
    EXPECT_EQ(Frame()->m_wndSplitter->widget(0), View());
    EXPECT_EQ(Frame()->m_wndSplitter->widget(1), Frame()->PreviewPane());
    EXPECT_EQ(Frame()->m_wndSplitter->sizes().at(0), 200);
}

TEST_F(ShellTest, AboutBoxShowsTheVersion)
{
    Start();
    std::string title, version;
    OnNextDialog([&](QWidget* pDialog) {
        title = pDialog->windowTitle().toStdString();
        if (auto* pLabel = pDialog->findChild<QLabel*>("version"))
            version = pLabel->text().toStdString();
        QTest::mouseClick(pDialog->findChild<QPushButton*>("1"), Qt::LeftButton);
    });
    Frame()->Action(ID_APP_ABOUT)->trigger();
    EXPECT_EQ(title, "Sobre o Tessaline");
    EXPECT_EQ(version, "Tessaline 2.2e");
}

// Menu bar 128 as the operator reads it: captions, separators ("-") and submenus ("> title").
std::vector<std::string> MenuTexts(QMenu* pMenu)
{
    std::vector<std::string> texts;
    for (QAction* pAction : pMenu->actions()) {
        if (pAction->isSeparator())
            texts.push_back("-");
        else if (pAction->menu()) {
            texts.push_back("> " + pAction->text().toStdString());
            for (const std::string& t : MenuTexts(pAction->menu()))
                texts.push_back("  " + t);
        } else
            texts.push_back(pAction->text().toStdString());
    }
    return texts;
}

TEST_F(ShellTest, MenusAndToolBarCarryTheirTextsPromptsAndTooltips)
{
    Start();
    std::vector<std::string> menus;
    for (QAction* pAction : Frame()->menuBar()->actions()) {
        menus.push_back("# " + pAction->text().toStdString());
        for (const std::string& t : MenuTexts(pAction->menu()))
            menus.push_back(t);
    }
    EXPECT_EQ(menus, (std::vector<std::string>{"# Plotar(&P)",
                                               "Abrir(&O)",
                                               "-",
                                               "Iniciar Plotagem(&T)",
                                               "Atualizar Configurações(&U)",
                                               "-",
                                               "Sair(&S)",
                                               "# Visualizar(&V)",
                                               "-",
                                               "> Visualizar(&A)",
                                               "  +20%\t Shift  A",
                                               "  -20%\t Shift  Z",
                                               "  -",
                                               "  100%\t Shift  1",
                                               "  50%\t Shift  5",
                                               "Visualizar com escala(&D)",
                                               "# Configurações(&S)",
                                               "Configurações(&C)",
                                               "# Ajuda(&H)",
                                               "Sobre(&A)"}));

    std::vector<int> toolbar;
    for (QAction* pAction : g_wndToolBar->actions())
        toolbar.push_back(pAction->isSeparator() ? 0 : pAction->data().toInt());
    EXPECT_EQ(toolbar, (std::vector<int>{57601, 32771, 32772, 0, 32808, 32780, 0, 32785, 32786, 0, 32816, 0, 32784}));
    EXPECT_EQ(g_wndToolBar->iconSize(), QSize(32, 36));
    for (QAction* pAction : g_wndToolBar->actions())
        if (!pAction->isSeparator()) {
            EXPECT_FALSE(pAction->icon().isNull()) << pAction->data().toInt();
        }

    const struct {
        int id;
        const char* prompt;
        const char* tooltip;
    } strings[] = {{57601, "Adicionar arquivo", "Add files"},
                   {57665, "Para a plotagem atual; Save the task", "Exit"},
                   {32808, "Zoom no arquivo", "Zoom in"},
                   {32780, "Zoom menor", ""},
                   {32771, "Plota o arquivo selecionado", ""},
                   {32772, "Aborta a plotagem ", ""},
                   {32785, "Incrementa o tempo de plotagem", "Increase times"},
                   {32816, "Previsualiza o arquivo plotado", "Preview output"},
                   {32792, "Enviar configurações para a plotter", ""},
                   {57664, "Exibe o numero da versão", "About this Software"}};
    for (const auto& s : strings) {
        QAction* pAction = Frame()->Action(s.id);
        ASSERT_NE(pAction, nullptr) << s.id;
        EXPECT_EQ(pAction->objectName().toInt(), s.id);
        EXPECT_EQ(pAction->statusTip().toStdString(), s.prompt) << s.id;
        EXPECT_EQ(pAction->property("tooltip").toString().toStdString(), s.tooltip) << s.id;
    }
}

TEST_F(ShellTest, StatusBarHasSevenPanesAndShowsTimerTextsOnlyAtTheNextRedraw)
{
    Start();
    const char* samples[] = {"Exibe o progresso da tarefa.............", "000%", "Offline  ", "Waiting  ",
                             "========================", "Pause  "};
    for (int i = 1; i <= 6; ++i)
        EXPECT_EQ(g_pStatusBar->GetPaneText(i).toStdString(), samples[i - 1]) << i;
    EXPECT_EQ(g_pStatusBar->GetPaneText(0).toStdString(), "Pronto");
    EXPECT_EQ(g_pStatusBar->Pane(2)->width(), 60);

    QApplication::processEvents();
    g_pStatusBar->Redraw();
    // While a job prints, the texts the timer copies wait for the worker's next redraw.
    gPrinterStatus.m_bPrinting = true;
    gPrinterStatus.m_bConnected = true;
    gStatusText.SetText(4, "Plotting");
    View()->OnTimer(CFileView::kTimerLink);
    QApplication::processEvents();
    EXPECT_TRUE(gProbeRequest);
    EXPECT_EQ(g_pStatusBar->GetPaneText(3).toStdString(), "Online");
    EXPECT_EQ(g_pStatusBar->GetPaneText(4).toStdString(), "Plotting");
    EXPECT_EQ(g_pStatusBar->GetPaneText(5).toStdString(), "===================");
    EXPECT_EQ(g_pStatusBar->ShownPaneText(4).toStdString(), "Waiting  ") << "shown before any redraw";
    g_pStatusBar->Redraw();
    EXPECT_EQ(g_pStatusBar->ShownPaneText(4).toStdString(), "Plotting");

    // Without a job nothing else redraws the bar: the timer shows the end of the last one itself.
    gPrinterStatus.m_bPrinting = false;
    gStatusText.SetText(4, "Finished");
    View()->OnTimer(CFileView::kTimerLink);
    QApplication::processEvents();
    EXPECT_EQ(g_pStatusBar->ShownPaneText(4).toStdString(), "Finished");
}

TEST_F(ShellTest, ProgressBarLiesOverPaneOneAndShowsTheSectionCursor)
{
    Start();
    QProgressBar* pBar = Frame()->m_wndProgress;
    ASSERT_NE(pBar, nullptr) << "created when the window was first painted";
    EXPECT_EQ(pBar->objectName(), "1234");

    CJobLayout& layout = Doc().m_Layout[SlotPrint];
    const struct {
        int count, cursor;
        bool printing;
        int value;
    } cases[] = {{40, 0, true, 5}, {40, 20, true, 55}, {40, 37, true, 97}, {40, 38, true, 100},
                 {40, 40, true, 100}, {40, 20, false, 0}, {0, 0, true, 0}};
    for (const auto& c : cases) {
        layout.m_nSectionCount = c.count;
        layout.m_nSectionCursor = c.cursor;
        gPrinterStatus.m_bPrinting = c.printing;
        Frame()->RefreshProgress();
        EXPECT_EQ(pBar->value(), c.value) << c.cursor << "/" << c.count << (c.printing ? " printing" : "");
    }
    gPrinterStatus.m_bPrinting = false;

    Frame()->resize(Frame()->width() + 200, Frame()->height());
    QApplication::processEvents();
    EXPECT_EQ(pBar->geometry(), g_pStatusBar->GetItemRect(1));
}

}  // namespace
