// Task queue tests: scan, job start and finish, the operator's commands and adding files, without a window.
#include <gtest/gtest.h>

#include <sstream>

#include "queue/taskqueuefixture.h"

namespace {

using V = std::vector<std::string>;

TEST_F(TaskQueueTest, ScanListsThePlotPatternsInOrderAndCreatesTheFolder)
{
    gPrinterStatus.m_bPrinting = true;  // scan only
    EXPECT_FALSE(fs::exists(Folder()));
    m_pQueue->RefreshList();
    EXPECT_TRUE(fs::is_directory(Folder()));

    for (const char* name : {"b.plt", "c.PRT", "d.hpgl", "e.hpg", "f.pla", "UP.PLT", "a.plt", "g.txt", "h.plt.bak",
                             "plt", "i.hpgl~"})
        Task(name);
    fs::create_directories(Folder() + "dir.plt");
    m_pQueue->RefreshList();
    EXPECT_EQ(Column(1), (V{"a.plt", "b.plt", "UP.PLT", "f.pla", "d.hpgl", "e.hpg", "c.PRT"}));
    EXPECT_EQ(Column(0), V(7, "Waitting"));
    EXPECT_EQ(Column(2), V(7, "1"));
    EXPECT_EQ(Column(3), V(7, "* * *"));
    EXPECT_EQ(m_pQueue->Rows()[0].m_strPath, Folder() + "a.plt");

    // A vanished file keeps its row; a new one is appended, never listed twice.
    fs::remove(Folder() + "b.plt");
    Task("0.plt");
    m_pQueue->RefreshList();
    m_pQueue->RefreshList();
    EXPECT_EQ(Column(1), (V{"a.plt", "b.plt", "UP.PLT", "f.pla", "d.hpgl", "e.hpg", "c.PRT", "0.plt"}));
}

TEST_F(TaskQueueTest, WithoutAutomaticPrintingNothingStartsUntilThePlotCommand)
{
    MakeQueue(false);
    const std::string a = Task("a.plt");
    Task("b.plt");
    m_pQueue->RefreshList();
    EXPECT_EQ(Column(0), (V{"Not plot", "Not plot"}));
    EXPECT_FALSE(gPrinterStatus.m_bPrinting);

    m_pQueue->Plot(Folder() + "b.plt");
    EXPECT_EQ(Column(0), (V{"Not plot", "Waiting"}));
    m_pQueue->RefreshList();
    EXPECT_EQ(Column(0), (V{"Not plot", "Plotting"}));

    // Plot leaves every other status alone.
    m_pQueue->Plot(Folder() + "b.plt");
    m_pQueue->Plot(std::string());
    EXPECT_EQ(Column(0), (V{"Not plot", "Plotting"}));
}

TEST_F(TaskQueueTest, JobStartPreparesTheFileAndRaisesThePrintTask)
{
    const std::string a = Task("a.plt");
    const std::string b = Task("b.plt");
    ScanTwice();

    EXPECT_EQ(Column(0), (V{"Plotting", "Waitting"}));
    EXPECT_TRUE(gPrinterStatus.m_bPrinting);
    EXPECT_TRUE(gPrinterStatus.HasPrintTask());
    EXPECT_EQ(gPrinterStatus.m_EventCotrol.Value(), CEventControl::kJobParameters);
    EXPECT_EQ(gStatusText.GetText(5), a);
    EXPECT_EQ(m_pDoc->m_strSlotPath[SlotPrint], a);
    EXPECT_EQ(m_pDoc->m_nViewMode, 1);
    EXPECT_GT(m_Observer.m_nRepaints, 0);
    const CJobLayout& layout = m_pDoc->m_Layout[SlotPrint];
    EXPECT_GT(layout.m_fWidthM, 0.0f);
    EXPECT_GT(layout.m_nSectionCount, 0);
    EXPECT_EQ(Column(3), (V{CTaskQueue::SizeText(layout.m_fWidthM, layout.m_fLengthM), "* * *"}));

    // One job at a time.
    m_pQueue->RefreshList();
    EXPECT_EQ(Column(0), (V{"Plotting", "Waitting"}));
}

TEST_F(TaskQueueTest, JobStartShowsTheSelectedRowInPrintLayout)
{
    Task("a.plt");
    const std::string b = Task("b.plt");
    gPrinterStatus.m_bPrinting = true;
    m_pQueue->RefreshList();
    gPrinterStatus.m_bPrinting = false;
    m_pQueue->RefreshList(b);

    EXPECT_EQ(m_pDoc->m_nViewMode, 5);
    EXPECT_EQ(m_pDoc->m_strSlotPath[SlotPrintPreview], b);
    EXPECT_NE(Column(3)[1], "* * *");
    EXPECT_NE(Log().find(Utf8ToGbk("用打印预览显示模式查看任务列表中的一个文件!\r\n")), std::string::npos);
    EXPECT_EQ(m_Observer.m_nWaitDepth, 0);
}

TEST_F(TaskQueueTest, SizeTextHasFourDecimalsInMetres)
{
    EXPECT_EQ(CTaskQueue::SizeText(1.23456f, 0.5f), "X=1.2346(M),Y=0.5000(M)");
    EXPECT_EQ(CTaskQueue::SizeText(0.0f, 12.0f), "X=0.0000(M),Y=12.0000(M)");
}

TEST_F(TaskQueueTest, CopiesCountDownAndTheFileGoesAfterTheLastOne)
{
    const std::string a = Task("a.plt");
    const std::string b = Task("b.plt");
    ScanTwice();
    m_pQueue->AddCopy(b);

    std::vector<std::string> started;
    for (int job = 0; job < 6 && !m_pQueue->Rows().empty(); ++job) {
        started.push_back(fs::path(m_pDoc->m_strSlotPath[SlotPrint]).filename().string());
        WorkerFinishes();
        if (started.size() == 2) {
            EXPECT_EQ(Column(2), (V{"1"}));
            EXPECT_EQ(Column(0), (V{"Waiting"}));
            EXPECT_TRUE(fs::exists(b)) << "b has a copy left";
            EXPECT_FALSE(fs::exists(a));
        }
        m_pQueue->RefreshList();
    }
    EXPECT_EQ(started, (V{"a.plt", "b.plt", "b.plt"}));
    EXPECT_TRUE(m_pQueue->Rows().empty());
    EXPECT_FALSE(fs::exists(b));
    EXPECT_EQ(gStatusText.GetText(6), "结束");
    EXPECT_TRUE(m_pDoc->m_strSlotPath[SlotPrint].empty());
    EXPECT_FALSE(gPrinterStatus.m_bPrinting);

    // A finish without a plotting row changes nothing.
    Task("c.plt");
    gPrinterStatus.m_bPrinting = true;
    m_pQueue->RefreshList();
    m_pQueue->JobFinished(EJobOutcome::PrintedWhole);
    EXPECT_EQ(Column(1), (V{"c.plt"}));
}

// How a job ended decides what becomes of its row and file: only a whole print counts a copy, an abort
// retires the job, every other end holds it with its file and copies for the operator.
TEST_F(TaskQueueTest, TheJobsOutcomeDecidesCopiesHoldingAndDeletion)
{
    struct Case {
        EJobOutcome outcome;
        const char* status;  // nullptr: row and file gone
        const char* copies;
    } cases[] = {
        {EJobOutcome::PrintedWhole, "Waiting", "1"},
        {EJobOutcome::Aborted, nullptr, nullptr},
        {EJobOutcome::StoppedAtPlotter, "Not plot", "2"},
        {EJobOutcome::RefusedAtChecksum, "Not plot", "2"},
        {EJobOutcome::LinkLost, "Not plot", "2"},
        {EJobOutcome::None, "Not plot", "2"},
        {EJobOutcome::NoDrawing, "Not plot", "2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.outcome));
        fs::remove_all(Folder());
        MakeQueue(false);
        const std::string a = Task("a.plt");
        m_pQueue->RefreshList();
        m_pQueue->AddCopy(a);
        m_pQueue->Plot(a);
        m_pQueue->RefreshList();
        ASSERT_EQ(m_pQueue->StatusOf(a), ETaskStatus::Plotting);
        if (c.outcome == EJobOutcome::Aborted)
            m_pQueue->Abort();
        m_pQueue->JobFinished(c.outcome);
        gPrinterStatus.m_bPrinting = false;
        if (!c.status) {
            EXPECT_TRUE(m_pQueue->Rows().empty());
            EXPECT_FALSE(fs::exists(a));
            continue;
        }
        EXPECT_EQ(Column(0), (V{c.status}));
        EXPECT_EQ(Column(2), (V{c.copies}));
        EXPECT_TRUE(fs::exists(a));
    }
}

TEST_F(TaskQueueTest, AJobWhoseFileVanishedIsHeldAndTheNextOneStarts)
{
    const std::string a = Task("a.plt");
    const std::string b = Task("b.plt");
    gPrinterStatus.m_bPrinting = true;
    m_pQueue->RefreshList();
    fs::remove(a);
    gPrinterStatus.m_bPrinting = false;
    m_pQueue->RefreshList();

    EXPECT_EQ(Column(0), (V{"Not plot", "Plotting"}));
    EXPECT_EQ(m_pDoc->m_strSlotPath[SlotPrint], b);
    EXPECT_TRUE(gPrinterStatus.m_bPrinting);
    ASSERT_EQ(m_Observer.m_Problems.size(), 1u);
    EXPECT_NE(m_Observer.m_Problems[0].find(a), std::string::npos);
    EXPECT_NE(Log().find("Cannot plot " + a + ": the file was not found\r\n"), std::string::npos);
    EXPECT_TRUE(m_Boxes.m_Boxes.empty()) << "no box may stop an unattended queue";

    // The held row is not tried again, and its file (were it back) is left alone.
    WorkerFinishes();
    Task("a.plt");
    m_pQueue->RefreshList();
    EXPECT_EQ(Column(0), (V{"Not plot"}));
    EXPECT_TRUE(fs::exists(a));
    EXPECT_FALSE(gPrinterStatus.m_bPrinting);
}

TEST_F(TaskQueueTest, CopiesStayWithinOneToTenAndNeverChangeWhilePlotting)
{
    const std::string a = Task("a.plt");
    const std::string b = Task("b.plt");
    ScanTwice();  // a plots
    for (int i = 0; i < 12; ++i)
        m_pQueue->AddCopy(b);
    m_pQueue->AddCopy(a);
    EXPECT_EQ(Column(2), (V{"1", "10"}));
    for (int i = 0; i < 12; ++i)
        m_pQueue->RemoveCopy(b);
    m_pQueue->RemoveCopy(a);
    EXPECT_EQ(Column(2), (V{"1", "1"}));
    m_pQueue->AddCopy(std::string());
    EXPECT_EQ(Column(2), (V{"1", "1"}));
}

TEST_F(TaskQueueTest, DeleteIsRefusedForTheRowBeingPlotted)
{
    const std::string a = Task("a.plt");
    const std::string b = Task("b.plt");
    ScanTwice();

    m_pQueue->Delete(a);
    ASSERT_EQ(m_Boxes.m_Boxes.size(), 1u);
    EXPECT_EQ(m_Boxes.m_Boxes[0].text, "The plotter is working. Please waiting for this plotting task finished!");
    EXPECT_EQ(m_Boxes.m_Boxes[0].caption, "Notice");
    EXPECT_EQ(m_Boxes.m_Boxes[0].icon, MB_ICONEXCLAMATION);
    EXPECT_TRUE(fs::exists(a));
    EXPECT_EQ(Column(1), (V{"a.plt", "b.plt"}));

    m_pQueue->Delete(b);
    EXPECT_FALSE(fs::exists(b));
    EXPECT_EQ(Column(1), (V{"a.plt"}));
    EXPECT_EQ(m_Boxes.m_Boxes.size(), 1u);
}

TEST_F(TaskQueueTest, AbortEndsTheJobAndRetiresItWithItsFile)
{
    const std::string a = Task("a.plt");
    gPrinterStatus.m_bPrinting = true;
    m_pQueue->RefreshList();
    for (int i = 0; i < 4; ++i)
        m_pQueue->AddCopy(a);
    gPrinterStatus.m_bPrinting = false;
    m_pQueue->RefreshList();
    ASSERT_EQ(Column(0), (V{"Plotting"}));
    ASSERT_EQ(Column(2), (V{"5"}));

    CJobLayout& layout = m_pDoc->m_Layout[SlotPrint];
    layout.m_nSectionCursor = 0;
    m_pQueue->Abort();
    EXPECT_EQ(Column(2), (V{"1"}));
    EXPECT_EQ(layout.m_nSectionCursor, layout.m_nSectionCount);
    EXPECT_TRUE(gEndOfJob);
    EXPECT_TRUE(fs::exists(a));
    WorkerFinishes();
    EXPECT_TRUE(m_pQueue->Rows().empty());
    EXPECT_FALSE(fs::exists(a));
}

TEST_F(TaskQueueTest, MovingRowsChangesThePrintOrderButNotThePlottingRow)
{
    Task("a.plt");
    Task("b.plt");
    const std::string c = Task("c.plt");
    ScanTwice();  // a plots
    m_pQueue->MoveUp(c);
    EXPECT_EQ(Column(1), (V{"a.plt", "c.plt", "b.plt"}));
    m_pQueue->MoveUp(c);
    m_pQueue->MoveDown(Folder() + "a.plt");
    m_pQueue->MoveDown(Folder() + "b.plt");
    EXPECT_EQ(Column(1), (V{"a.plt", "c.plt", "b.plt"}));

    WorkerFinishes();
    m_pQueue->RefreshList();
    EXPECT_EQ(m_pDoc->m_strSlotPath[SlotPrint], c);
    m_pQueue->MoveDown(Folder() + "b.plt");
    m_pQueue->MoveUp(std::string());
    EXPECT_EQ(Column(1), (V{"c.plt", "b.plt"}));
}

TEST_F(TaskQueueTest, AddedFilesAreRenamedAndNeverOverwrite)
{
    Task("job.plt", "old");
    Task("job_1.plt", "old 1");
    const fs::path source = m_Dir / "outside" / "job.plt";
    fs::create_directories(source.parent_path());
    std::ofstream(source) << kMarker;

    std::string target = m_pQueue->AddFile(source.string());
    CTaskQueue::LogAddFileDone();
    EXPECT_EQ(target, Folder() + "job_2.plt");
    std::stringstream copied, kept;
    copied << std::ifstream(target).rdbuf();
    kept << std::ifstream(Folder() + "job.plt").rdbuf();
    EXPECT_EQ(copied.str(), kMarker);
    EXPECT_EQ(kept.str(), "old");
    // Source and target run into the next entry: they carry no line end.
    EXPECT_EQ(Log(), source.string() + target + Utf8ToGbk("添加一个文件到打印任务列表中!\r\n"));

    // Why a file was not added is a line of its own, written before source and target.
    ClearLog();
    const std::string missing = (m_Dir / "outside" / "missing.plt").string();
    EXPECT_EQ(m_pQueue->AddFile(missing), "");
    CTaskQueue::LogAddFileDone();
    EXPECT_EQ(Log(), "Cannot add " + missing + ": No such file or directory\r\n" + missing + Folder() + "missing.plt" +
                         Utf8ToGbk("添加一个文件到打印任务列表中!\r\n"));
    EXPECT_EQ(CTaskQueue::FreeTargetName(Folder(), "job"), Folder() + "job");
    Task("job");
    EXPECT_EQ(CTaskQueue::FreeTargetName(Folder(), "job"), Folder() + "job_1");
}

TEST_F(TaskQueueTest, PreviewCommandsSetTheViewModeAndTheSize)
{
    const std::string a = Task("a.plt");
    gPrinterStatus.m_bPrinting = true;
    m_pQueue->RefreshList();

    struct Case {
        void (CTaskQueue::*command)(const std::string&);
        int slot, mode;
    } cases[] = {{&CTaskQueue::Preview, SlotPreview, 1}, {&CTaskQueue::OutputPreview, SlotPrintPreview, 5}};
    for (const Case& c : cases) {
        m_pQueue->SetObserver(&m_Observer);
        int repaints = m_Observer.m_nRepaints;
        (m_pQueue.get()->*c.command)(a);
        EXPECT_EQ(m_pDoc->m_nViewMode, c.mode);
        EXPECT_EQ(m_pDoc->m_strSlotPath[c.slot], a);
        const CJobLayout& layout = m_pDoc->m_Layout[c.slot];
        EXPECT_GT(layout.m_fLengthM, 0.0f);
        EXPECT_EQ(Column(3)[0], CTaskQueue::SizeText(layout.m_fWidthM, layout.m_fLengthM));
        EXPECT_EQ(m_Observer.m_nRepaints, repaints + 1);
        EXPECT_EQ(m_Observer.m_nWaitDepth, 0);
    }

    // The final view shows the print slot's size; nothing was printed, so its size is still reset.
    m_pQueue->FinalView(a);
    EXPECT_EQ(m_pDoc->m_nViewMode, 4);
    EXPECT_EQ(Column(3)[0], "X=0.0000(M),Y=0.0000(M)");

    // The scale view repaints only once the print slot holds a job.
    int repaints = m_Observer.m_nRepaints;
    m_pQueue->ScaleView();
    EXPECT_EQ(m_pDoc->m_nViewMode, 2);
    EXPECT_EQ(m_Observer.m_nRepaints, repaints);
    gPrinterStatus.m_bPrinting = false;
    m_pQueue->RefreshList();
    repaints = m_Observer.m_nRepaints;
    m_pQueue->ScaleView();
    EXPECT_EQ(m_Observer.m_nRepaints, repaints + 1);
}

TEST_F(TaskQueueTest, FinalViewIsOfferedOnlyForThePlottingRowWhileItsLoopRuns)
{
    const std::string a = Task("a.plt");
    const std::string b = Task("b.plt");
    ScanTwice();
    EXPECT_FALSE(m_pQueue->CanFinalView(a));
    gJobActive = true;
    EXPECT_TRUE(m_pQueue->CanFinalView(a));
    EXPECT_FALSE(m_pQueue->CanFinalView(b));
    EXPECT_FALSE(m_pQueue->CanFinalView(std::string()));
}

TEST_F(TaskQueueTest, UpdateConfigurationReportsAMissingLink)
{
    m_pQueue->UpdateConfiguration();
    ASSERT_EQ(m_Boxes.m_Boxes.size(), 1u);
    EXPECT_EQ(m_Boxes.m_Boxes[0].text, "The printer is not connected, you cannot update the configuration.");
    EXPECT_EQ(m_Boxes.m_Boxes[0].caption, "Invalid");

    gPrinterStatus.m_bConnected = true;  // no probe due: the last state stands
    m_pQueue->UpdateConfiguration();
    EXPECT_EQ(m_Boxes.m_Boxes.size(), 1u);
}

}  // namespace
