// The operator at the main window: routing and greying, printing a folder, abort, delete, adding files,
// the context menu, the Exit and Close guards, a job whose file vanished and one whose file stays.
#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QShortcut>
#include <QTest>
#include <QUrl>

#include "config/mainconfigdlg.h"
#include "platform/gbk.h"
#include "platform/usbadapter.h"
#include "preview/mapview.h"
#include "queue/printworker.h"
#include "shell/commandids.h"
#include "shell/previewpane.h"
#include "shell/statusbar.h"
#include "pausedjob.h"
#include "shellfixture.h"
#include "sim/virtualplotter.h"
#include "support/fakefileops.h"

namespace {

using V = std::vector<std::string>;

// The task list's own commands and the preview's zoom commands.
const int kTaskListCommands[] = {ID_PLOT, ID_ABORT, ID_ADD_COPY, ID_REMOVE_COPY, ID_OUTPUT_PREVIEW,
                                 ID_SETTINGS, ID_UPDATE_CONFIG, ID_SCALE_VIEW};
const int kZoomCommands[] = {ID_ZOOM_IN, ID_ZOOM_OUT, ID_ZOOM_100, ID_ZOOM_50};

using Items = std::vector<std::pair<std::string, bool>>;
Items MenuItems(const QMenu& menu)
{
    Items items;
    for (QAction* pAction : menu.actions())
        items.emplace_back(pAction->isSeparator() ? "-" : pAction->text().toStdString(), pAction->isEnabled());
    return items;
}
QAction* Item(const QMenu& menu, const char* text)
{
    for (QAction* pAction : menu.actions())
        if (pAction->text() == QString::fromUtf8(text))
            return pAction;
    ADD_FAILURE() << "no item " << text;
    return new QAction(const_cast<QMenu*>(&menu));
}

TEST_F(ShellTest, CommandsAreEnabledByTheActivePane)
{
    Start();
    Frame()->activateWindow();
    QApplication::processEvents();
    auto expectActive = [&](bool taskList) {
        for (int id : kTaskListCommands)
            EXPECT_EQ(Frame()->Action(id)->isEnabled(), taskList) << id;
        for (int id : kZoomCommands) {
            EXPECT_EQ(Frame()->Action(id)->isEnabled(), !taskList) << id;
            EXPECT_EQ(Frame()->Accelerator(id)->isEnabled(), !taskList) << id;
        }
        for (int id : {ID_FILE_OPEN, ID_APP_EXIT, ID_APP_ABOUT})
            EXPECT_TRUE(Frame()->Action(id)->isEnabled()) << id;
        EXPECT_TRUE(Frame()->Accelerator(ID_FILE_OPEN)->isEnabled());
        EXPECT_FALSE(Frame()->Action(ID_START_PLOT)->isEnabled()) << "Iniciar Plotagem(&T) is always greyed";
    };

    EXPECT_EQ(Frame()->ActivePane(), 0);
    expectActive(true);
    CMapView* pMap = Frame()->PreviewPane()->View();
    QTest::keyClick(Frame(), Qt::Key_A, Qt::ShiftModifier);
    EXPECT_EQ(pMap->Zoom(), 100) << "zoom keys do nothing while the task list is active";
    QTest::mouseClick(pMap->viewport(), Qt::LeftButton);
    EXPECT_EQ(Frame()->ActivePane(), 1);
    expectActive(false);
    QTest::keyClick(Frame(), Qt::Key_A, Qt::ShiftModifier);
    EXPECT_EQ(pMap->Zoom(), 120);
    bool opened = false;
    OnNextDialog([&](QWidget* pDialog) {
        opened = qobject_cast<QFileDialog*>(pDialog) != nullptr;
        QMetaObject::invokeMethod(pDialog, "reject");
    });
    QTest::keyClick(Frame(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(opened) << "Ctrl+O adds files while the preview is active";
    EXPECT_EQ(Frame()->ActivePane(), 1) << "a dialog of the task list does not make it active";
    Frame()->activateWindow();
    QApplication::processEvents();
    QTest::keyClick(Frame(), Qt::Key_F6);
    EXPECT_EQ(Frame()->ActivePane(), 0);
    expectActive(true);
    QTest::keyClick(Frame(), Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_EQ(Frame()->ActivePane(), 1);
    QTest::mouseClick(View()->viewport(), Qt::LeftButton);
    EXPECT_EQ(Frame()->ActivePane(), 0);

    // A greyed command does nothing, even when asked for directly.
    EXPECT_FALSE(Frame()->Dispatch(ID_ZOOM_IN));
    EXPECT_FALSE(Frame()->Dispatch(ID_START_PLOT));
}

TEST_F(ShellTest, SettingsOpenReadOnlyWhileAJobPrints)
{
    Start();
    for (bool printing : {false, true}) {
        gPrinterStatus.m_bPrinting = printing;
        int readOnly = -1;
        OnNextDialog([&](QWidget* pDialog) {
            if (auto* pSettings = qobject_cast<CMainConfigDlg*>(pDialog))
                readOnly = pSettings->m_bReadOnly;
            QMetaObject::invokeMethod(pDialog, "reject");
        });
        Frame()->Action(ID_SETTINGS)->trigger();
        EXPECT_EQ(readOnly, printing ? 1 : 0);
    }
    gPrinterStatus.m_bPrinting = false;
}

TEST_F(ShellTest, AFolderOfThreeFilesPrintsInRowOrderCountingCopiesDown)
{
    const std::string a = Task("a.plt"), b = Task("b.plt"), c = Task("c.plt");
    Start();
    Tick();
    ASSERT_EQ(Column(1), (V{"a.plt", "b.plt", "c.plt"}));
    Select("b.plt");
    Frame()->Action(ID_ADD_COPY)->trigger();
    EXPECT_EQ(Column(2), (V{"1", "2", "1"}));

    V started;
    for (int job = 0; job < 6 && View()->rowCount() > 0; ++job) {
        for (int r = 0; r < View()->rowCount(); ++r)
            if (Column(0)[r] == "Plotting")
                started.push_back(Column(1)[r]);
        ASSERT_TRUE(WaitUntil([] { return !gPrinterStatus.m_bPrinting; })) << "job " << job;
        if (started.size() == 2) {
            EXPECT_EQ(Column(1), (V{"b.plt", "c.plt"}));
            EXPECT_EQ(Column(0), (V{"Waiting", "Waitting"}));
            EXPECT_EQ(Column(2), (V{"1", "1"}));
            EXPECT_TRUE(fs::exists(b)) << "b still has a copy to print";
        }
        Tick();
    }
    EXPECT_EQ(started, (V{"a.plt", "b.plt", "b.plt", "c.plt"}));
    EXPECT_EQ(View()->rowCount(), 0);
    for (const std::string& path : {a, b, c})
        EXPECT_FALSE(fs::exists(path)) << path;
    EXPECT_EQ(gStatusText.GetText(6), "结束");
    int pages = 0;
    for (const auto& entry : fs::directory_iterator(m_Dir / "pages"))
        pages += entry.path().extension() == ".png";
    EXPECT_EQ(pages, 4);
    EXPECT_TRUE(m_Boxes.empty());
}

TEST_F(PausedJobTest, DeleteIsRefusedWhilePlottingAndAbortRetiresTheJob)
{
    StartPausedJob(5);
    ASSERT_EQ(Column(0), (V{"Plotting"}));
    ASSERT_EQ(Column(2), (V{"5"}));

    QMenu menu;
    View()->FillContextMenu(menu);
    EXPECT_TRUE(Item(menu, "Final(&F) Visualizar")->isEnabled()) << "the row being plotted while its loop runs";
    Item(menu, "Apagar(&D)")->trigger();
    ASSERT_EQ(m_Boxes.size(), 1u);
    EXPECT_EQ(m_Boxes[0].caption, "Notice");
    EXPECT_EQ(m_Boxes[0].text, "The plotter is working. Please waiting for this plotting task finished!");
    EXPECT_EQ(Column(1), (V{"a.plt"}));
    EXPECT_TRUE(fs::exists(m_Path));

    Frame()->Action(ID_ABORT)->trigger();
    EXPECT_EQ(Column(2), (V{"1"}));
    ASSERT_TRUE(WaitUntil([] { return !gPrinterStatus.m_bPrinting && !gJobActive; }));
    EXPECT_EQ(View()->rowCount(), 0);
    EXPECT_FALSE(fs::exists(m_Path));
}

TEST_F(PausedJobTest, ExitAndCloseAreRefusedWhileTheJobPrints)
{
    StartPausedJob(1);
    Frame()->Action(ID_APP_EXIT)->trigger();
    Frame()->close();
    ASSERT_EQ(m_Boxes.size(), 2u);
    EXPECT_EQ(m_Boxes[0].text, "The printing task is running, please waiting or cancel the task!");
    EXPECT_EQ(m_Boxes[1].text, "please waiting or cancel the task!");
    EXPECT_EQ(m_Boxes[1].caption, "Informação");
    EXPECT_TRUE(Frame()->isVisible());
    EXPECT_TRUE(IsPrintWorkerRunning());

    Frame()->Action(ID_ABORT)->trigger();
    ASSERT_TRUE(WaitUntil([] { return !gPrinterStatus.m_bPrinting; }));
    Frame()->Action(ID_APP_EXIT)->trigger();
    EXPECT_FALSE(Frame()->isVisible());
    EXPECT_FALSE(IsPrintWorkerRunning());
    EXPECT_EQ(m_Boxes.size(), 2u);
}

// The cable is pulled while a job prints: within a few seconds the link pane says so and the log has the
// time; Exit is refused while the job runs, Abort ends it within about a second, held with its file, and then
// the program closes.
TEST_F(PausedJobTest, APulledCableShowsOfflineAndAnAbortLetsTheProgramClose)
{
    StartPausedJob(1);
    View()->OnTimer(CFileView::kTimerLink);
    EXPECT_EQ(g_pStatusBar->GetPaneText(3).toStdString(), "Online");

    SetUsbAdapter(&m_Unplugged);
    const int64_t pulled = m_Clock.Now();
    ASSERT_TRUE(WaitUntil([&] { return m_Clock.Now() > pulled + 3000; }));
    View()->OnTimer(CFileView::kTimerLink);
    EXPECT_EQ(g_pStatusBar->GetPaneText(3).toStdString(), "Offline");

    Frame()->Action(ID_APP_EXIT)->trigger();
    ASSERT_EQ(m_Boxes.size(), 1u);
    EXPECT_EQ(m_Boxes[0].text, "The printing task is running, please waiting or cancel the task!");

    Frame()->Action(ID_ABORT)->trigger();
    ASSERT_TRUE(WaitUntil([] { return !gPrinterStatus.m_bPrinting; }));
    EXPECT_EQ(Column(0), (V{"Not plot"}));
    EXPECT_EQ(Column(4), (V{"the print did not complete"}));
    EXPECT_TRUE(fs::exists(m_Path));

    Frame()->Action(ID_APP_EXIT)->trigger();
    EXPECT_FALSE(Frame()->isVisible());
    EXPECT_FALSE(IsPrintWorkerRunning());
    EXPECT_EQ(m_Boxes.size(), 1u);
    m_pApp.reset();
    std::ifstream in(m_Dir / "logfile.txt", std::ios::binary);
    const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(log.find("Link: Offline at "), std::string::npos);
    EXPECT_NE(log.find("Link: the plotter cannot be reached; the job ends without its print end\r\n"), std::string::npos);
}

TEST_F(ShellTest, ClosingWhileTheWorkerWaitsEndsIt)
{
    Start();
    // A job was started but the plotter never came online: the worker waits for the link.
    gPrinterStatus.m_bPrinting = true;
    Frame()->Action(ID_APP_EXIT)->trigger();
    ASSERT_EQ(m_Boxes.size(), 1u);
    EXPECT_TRUE(Frame()->isVisible());

    Frame()->close();  // no print loop runs: closing is allowed
    EXPECT_FALSE(Frame()->isVisible());
    EXPECT_FALSE(IsPrintWorkerRunning());
    EXPECT_TRUE(gExitWorker);
    EXPECT_EQ(m_Boxes.size(), 1u);
}

TEST_F(ShellTest, ExitAbortsAndCloses)
{
    Start();
    Frame()->Action(ID_APP_EXIT)->trigger();
    EXPECT_TRUE(gEndOfJob) << "Exit runs the abort first";
    EXPECT_FALSE(Frame()->isVisible());
    EXPECT_FALSE(IsPrintWorkerRunning());
    EXPECT_TRUE(m_Boxes.empty());
}

TEST_F(ShellTest, AddedFilesAreCopiedUnderAFreeName)
{
    Task("job.plt", "held");
    Task("job_1.plt", "held");
    const fs::path source = m_Dir / "cad" / "job.plt";
    fs::create_directories(source.parent_path());
    std::ofstream(source) << kMarker;
    WriteConfig(false);
    Start();

    std::string filter;
    OnNextDialog([&](QWidget* pDialog) {
        auto* pFiles = qobject_cast<QFileDialog*>(pDialog);
        ASSERT_NE(pFiles, nullptr);
        filter = pFiles->nameFilters().join("|").toStdString();
        pFiles->selectFile(QString::fromStdString(source.string()));
        QMetaObject::invokeMethod(pFiles, "accept");
    });
    Frame()->Action(ID_FILE_OPEN)->trigger();
    EXPECT_EQ(filter, "打印文件(*.plt *.hpg *.pla *.hpgl *.PRT)");
    EXPECT_TRUE(fs::exists(Folder() + "job_2.plt"));

    // A file dropped from a file manager is added the same way; other files are not.
    const fs::path text = m_Dir / "cad" / "notes.txt";
    std::ofstream(text) << "x";
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(source.string())),
                  QUrl::fromLocalFile(QString::fromStdString(text.string()))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(View()->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(View()->viewport(), &drop);
    EXPECT_TRUE(fs::exists(Folder() + "job_3.plt"));
    EXPECT_FALSE(fs::exists(Folder() + "notes.txt"));

    Tick();
    EXPECT_EQ(Column(1), (V{"job.plt", "job_1.plt", "job_2.plt", "job_3.plt"}));
    std::ifstream held(Folder() + "job.plt");
    std::string content;
    held >> content;
    EXPECT_EQ(content, "held");
}

TEST_F(ShellTest, ContextMenuOffersItsItemsAndMovesRows)
{
    WriteConfig(false);
    Task("a.plt");
    Task("b.plt");
    Task("c.plt");
    Start();
    Tick();
    Select("c.plt");
    QMenu menu;
    View()->FillContextMenu(menu);
    EXPECT_EQ(menu.title(), "&Operations");
    EXPECT_EQ(MenuItems(menu), (Items{{"Plotar(&P)", true},
                                      {"Abortar(&A)", true},
                                      {"Apagar(&D)", true},
                                      {"-", true},
                                      {"Previsualizar(&P)", true},
                                      {"Output(&O) Previsualizar", false},
                                      {"Sect(&S) Previsualizar", false},
                                      {"Final(&F) Visualizar", false},
                                      {"-", true},
                                      {"Mover para cima(&U)", true},
                                      {"Mover para baixo(&D)", true},
                                      {"-", true},
                                      {"Adicionar + 1 plotagem(&A)", true},
                                      {"Remover -1 plotagem (&S)", true}}));
    Item(menu, "Mover para cima(&U)")->trigger();
    EXPECT_EQ(Column(1), (V{"a.plt", "c.plt", "b.plt"}));
    EXPECT_EQ(View()->SelectedPath(), Folder() + "c.plt") << "the selection follows the row";
    Item(menu, "Plotar(&P)")->trigger();
    Tick();
    EXPECT_EQ(Column(0), (V{"Not plot", "Plotting", "Not plot"}));
}

TEST_F(ShellTest, AJobWhoseFileVanishedIsHeldAndTheNextOneStarts)
{
    WriteConfig(false);
    const std::string a = Task("a.plt"), b = Task("b.plt");
    Start();
    Tick();
    for (const char* name : {"a.plt", "b.plt"}) {
        Select(name);
        Frame()->Action(ID_PLOT)->trigger();
    }
    EXPECT_EQ(Column(0), (V{"Waiting", "Waiting"}));
    fs::remove(a);
    Tick();

    EXPECT_EQ(Column(0), (V{"Not plot", "Plotting"}));
    EXPECT_NE(g_pStatusBar->currentMessage().toStdString().find(a), std::string::npos);
    EXPECT_TRUE(m_Boxes.empty()) << "an unattended queue is never stopped by a box";
    ASSERT_TRUE(WaitUntil([] { return !gPrinterStatus.m_bPrinting; }));
    Tick();
    EXPECT_EQ(Column(1), (V{"a.plt"}));
    EXPECT_EQ(Column(0), (V{"Not plot"}));
    EXPECT_FALSE(fs::exists(b));
}

// The job's end is reported on the worker's thread; the row shows why the printed file stayed, the status
// bar says it, and the file is never printed again by itself.
TEST_F(ShellTest, APrintedFileThatCannotBeRemovedIsHeldAndSaidSo)
{
    const std::string a = Task("a.plt");
    Start();
    CFakeFileOps ops;
    ops.RefuseRemoval(a, std::errc::read_only_file_system);
    View()->Queue().SetFileOps(&ops);
    Tick();
    Tick();
    ASSERT_EQ(Column(0), (V{"Plotting"}));
    ASSERT_TRUE(WaitUntil([] { return !gPrinterStatus.m_bPrinting; }));

    EXPECT_EQ(Column(0), (V{"Not plot"}));
    EXPECT_EQ(Column(4), (V{"plotted; the file cannot be removed (Read-only file system)"}));
    EXPECT_EQ(g_pStatusBar->currentMessage().toStdString(),
              "Plotted " + a + ", but the file cannot be removed: Read-only file system");
    Tick();
    Tick();
    EXPECT_FALSE(gPrinterStatus.m_bPrinting);
    EXPECT_TRUE(fs::exists(a));
    EXPECT_TRUE(m_Boxes.empty());
    View()->Queue().SetFileOps(nullptr);
}

}  // namespace
