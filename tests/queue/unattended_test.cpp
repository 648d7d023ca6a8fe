// The task queue in an unattended cutting room: files that cannot be removed, files still arriving or
// replaced while they print, files with nothing to print, a restart, and a task folder that goes away.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "queue/queuestatefile.h"
#include "queue/taskqueuefixture.h"

namespace {

using namespace std::string_literals;

using V = std::vector<std::string>;

// Virtual time that runs a step of the test at the reader's next wait, as a writer would act meanwhile.
class CHookedClock : public CVirtualClock {
public:
    void Sleep(int ms) override
    {
        if (auto fn = std::exchange(m_fnAtSleep, nullptr))
            fn();
        CVirtualClock::Sleep(ms);
    }
    std::function<void()> m_fnAtSleep;
};

class UnattendedQueue : public TaskQueueTest {
protected:
    std::string ReadFile(const std::string& path)
    {
        std::stringstream text;
        text << std::ifstream(path, std::ios::binary).rdbuf();
        return text.str();
    }
    // How a CAD system re-exports a marker: written under another name, renamed over the old one.
    void Replace(const std::string& path, const std::string& content)
    {
        std::ofstream(path + ".part", std::ios::binary) << content;
        fs::rename(path + ".part", path);
    }
    std::string Away() const { return (m_Dir / "tasks.away").string(); }
    std::string MissingText() const
    {
        return "The task folder " + Folder() + " is missing: no job starts until it is back";
    }
};

const char* const kOtherMarker = "IN;PU0,0;PD2000,0,2000,2000;PU;";

TEST_F(UnattendedQueue, AFileThatCannotBeRemovedStaysHeldAndIsNeverPrintedAgainByItself)
{
    const std::string a = Task("a.plt");
    m_Ops.RefuseRemoval(a, std::errc::read_only_file_system);
    ScanTwice();
    ASSERT_EQ(Column(0), (V{"Plotting"}));
    WorkerFinishes();

    const std::string why = std::string(kDetailsNotRemoved) + " (Read-only file system)";
    const std::string line = "Plotted " + a + ", but the file cannot be removed: Read-only file system";
    EXPECT_EQ(Column(0), (V{"Not plot"}));
    EXPECT_EQ(Column(4), (V{why}));
    EXPECT_TRUE(fs::exists(a));
    EXPECT_EQ(gStatusText.GetText(6), "结束");
    for (int i = 0; i < 3; ++i)
        m_pQueue->RefreshList();
    EXPECT_FALSE(gPrinterStatus.m_bPrinting);
    EXPECT_EQ(LogCount(line), 1) << "said once";
    EXPECT_EQ(ProblemCount(line), 1);

    // Held across a restart too.
    Restart();
    ScanTwice();
    EXPECT_EQ(Column(0), (V{"Not plot"}));
    EXPECT_EQ(Column(4), (V{why}));
    EXPECT_FALSE(gPrinterStatus.m_bPrinting);

    // The operator may plot it by hand; afterwards it is held again.
    m_pQueue->Plot(a);
    m_pQueue->RefreshList();
    ASSERT_EQ(Column(0), (V{"Plotting"}));
    WorkerFinishes();
    EXPECT_EQ(Column(0), (V{"Not plot"}));
    EXPECT_EQ(LogCount(line), 2);

    // Once the file can go, the next scan removes it with its row.
    m_Ops.RefuseRemoval(a, std::errc{});
    m_pQueue->RefreshList();
    EXPECT_TRUE(m_pQueue->Rows().empty());
    EXPECT_FALSE(fs::exists(a));
    EXPECT_EQ(LogCount("Removed " + a + " (plotted)"), 1);
}

TEST_F(UnattendedQueue, AnImmutableFileIsHeldAfterItsLastCopy)
{
    const std::string a = Task("a.plt");
    if (std::system(("chattr +i '" + a + "' 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "chattr +i does not work in " << Folder();
    ScanTwice();
    WorkerFinishes();
    const std::vector<CTaskRow> rows = m_pQueue->Rows();
    std::system(("chattr -i '" + a + "'").c_str());
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].m_eStatus, ETaskStatus::NotPlot);
    EXPECT_EQ(rows[0].m_strDetails, std::string(kDetailsNotRemoved) + " (Operation not permitted)");
}

TEST_F(UnattendedQueue, DeleteSaysWhyAFileStaysAndKeepsItsRow)
{
    const std::string a = Task("a.plt");
    gPrinterStatus.m_bPrinting = true;  // scans only
    m_pQueue->RefreshList();
    m_Ops.RefuseRemoval(a, std::errc::operation_not_permitted);
    m_pQueue->Delete(a);

    const std::string text = "Cannot delete " + a + ": Operation not permitted";
    ASSERT_EQ(m_Boxes.m_Boxes.size(), 1u);
    EXPECT_EQ(m_Boxes.m_Boxes[0].text, text);
    EXPECT_EQ(m_Boxes.m_Boxes[0].caption, "Notice");
    EXPECT_EQ(m_Boxes.m_Boxes[0].icon, MB_ICONEXCLAMATION);
    EXPECT_EQ(Column(1), (V{"a.plt"}));
    EXPECT_TRUE(fs::exists(a));
    EXPECT_EQ(LogCount(text), 1);
    EXPECT_EQ(ProblemCount(text), 1);
}

// A failed file operation is never silent: the log has it, the status bar shows it, and one that keeps
// failing is logged once.
TEST_F(UnattendedQueue, FailedFileOperationsReachTheLogAndTheStatusBar)
{
    const std::string gone = (m_Dir / "gone.plt").string();
    const std::string blocked = (m_Dir / "file" / "tasks").string();
    const struct {
        const char* what;
        std::function<void()> act;
        std::string problem;
    } cases[] = {
        {"a file to add that is not there", [&] { EXPECT_EQ(m_pQueue->AddFile(gone), ""); },
         "Cannot add " + gone + ": No such file or directory"},
        {"a task folder that cannot be created",
         [&] {
             std::ofstream(m_Dir / "file") << "x";
             m_pDoc->m_UserDefine.WORKPATH = blocked;
             m_pQueue->RefreshList();
             m_pQueue->RefreshList();
         },
         "Cannot create the task folder " + blocked + "/: Not a directory"},
        {"a state file that cannot be written",
         [&] {
             fs::create_directories(Folder() + CQueueStateFile::kName);
             Task("a.plt");
             ScanTwice();
             m_pQueue->AddCopy(Folder() + "a.plt");
         },
         "Cannot save the queue state in " + Folder() + ": Is a directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ClearLog();
        fs::remove_all(m_Dir);
        fs::create_directories(m_Dir);
        m_Observer.m_Problems.clear();
        MakeQueue(true);
        c.act();
        EXPECT_EQ(LogCount(c.problem), 1) << Log();
        EXPECT_EQ(ProblemCount(c.problem), 1);
    }
}

TEST_F(UnattendedQueue, AFileStillArrivingStartsOnlyOnceItKeptItsSizeAndTime)
{
    const std::string a = Task("a.plt", "IN;PU0,0;PD4000,0;");
    m_pQueue->RefreshList();
    EXPECT_EQ(Column(0), (V{"Waitting"}));
    EXPECT_EQ(Column(4), (V{kDetailsArriving}));
    std::ofstream(a, std::ios::app) << "PD4000,2000,0,2000,0,0;PU;";
    m_pQueue->RefreshList();
    EXPECT_FALSE(gPrinterStatus.m_bPrinting) << "it grew since the last scan";
    EXPECT_EQ(Column(4), (V{kDetailsArriving}));

    m_pQueue->RefreshList();
    EXPECT_EQ(Column(0), (V{"Plotting"}));
    EXPECT_EQ(Column(4), (V{""}));
    EXPECT_EQ(m_pDoc->m_PltData[SlotPrint].m_nDrawnLines, 4u) << "read whole";

    // Without automatic printing the Plot command queues it, but it still waits until it is whole.
    WorkerFinishes();
    MakeQueue(false);
    const std::string b = Task("b.plt");
    m_pQueue->RefreshList();
    m_pQueue->Plot(b);
    EXPECT_EQ(Column(0), (V{"Waiting"}));
    EXPECT_EQ(Column(4), (V{kDetailsArriving}));
    EXPECT_FALSE(gPrinterStatus.m_bPrinting);
    m_pQueue->RefreshList();
    EXPECT_EQ(Column(0), (V{"Plotting"}));
}

TEST_F(UnattendedQueue, AFileThatChangesWhileItIsReadIsQueuedAgainNotPrintedHalf)
{
    CHookedClock clock;
    SetClock(&clock);
    const std::string a = Task("a.plt", "IN;PU0,0;PD4000,0;");
    m_pQueue->RefreshList();
    clock.m_fnAtSleep = [&] { std::ofstream(a, std::ios::app) << "PD4000,2000,0,2000,0,0;PU;"; };
    m_pQueue->RefreshList();  // the job start reads it while it grows
    EXPECT_EQ(Column(0), (V{"Waitting"}));
    EXPECT_EQ(Column(4), (V{kDetailsArriving}));
    EXPECT_FALSE(gPrinterStatus.m_bPrinting);
    EXPECT_FALSE(gPrinterStatus.HasPrintTask());

    m_pQueue->RefreshList();
    m_pQueue->RefreshList();
    EXPECT_EQ(Column(0), (V{"Plotting"}));
    EXPECT_EQ(m_pDoc->m_PltData[SlotPrint].m_nDrawnLines, 4u);
    SetClock(&m_Clock);
}

TEST_F(UnattendedQueue, TheQueueComesBackAfterARestart)
{
    for (const char* name : {"a.plt", "b.plt", "c.plt", "d.plt", "f.plt"})
        Task(name);
    ScanTwice();  // a plots
    m_pQueue->JobFinished(EJobOutcome::StoppedAtPlotter);
    gPrinterStatus.m_bPrinting = false;
    m_pQueue->RefreshList();  // b plots
    m_pQueue->AddCopy(Folder() + "c.plt");
    m_pQueue->AddCopy(Folder() + "c.plt");
    m_pQueue->MoveUp(Folder() + "d.plt");
    EXPECT_TRUE(fs::exists(Folder() + CQueueStateFile::kName));
    EXPECT_FALSE(fs::exists(Folder() + CQueueStateFile::kName + ".tmp"));

    // The program dies while b prints; meanwhile f is deleted and e arrives.
    Restart();
    fs::remove(Folder() + "f.plt");
    Task("e.plt");
    m_pQueue->RefreshList();
    EXPECT_EQ(Column(1), (V{"a.plt", "b.plt", "d.plt", "c.plt", "e.plt"}));
    EXPECT_EQ(Column(0), (V{"Not plot", "Not plot", "Waitting", "Waitting", "Waitting"}));
    EXPECT_EQ(Column(2), (V{"1", "1", "1", "3", "1"}));
    EXPECT_EQ(Column(4), (V{kDetailsIncomplete, kDetailsInterrupted, "", "", kDetailsArriving}));
    EXPECT_EQ(LogCount("Held " + Folder() + "b.plt: interrupted"), 1);
    EXPECT_EQ(LogCount("Queue state in " + Folder() + " restored: 4 row(s)"), 1);

    // The interrupted job is not started by itself; the first queued row is.
    m_pQueue->RefreshList();
    EXPECT_EQ(Column(0), (V{"Not plot", "Not plot", "Plotting", "Waitting", "Waitting"}));
}

TEST_F(UnattendedQueue, AStateFileThatCannotBeUsedIsIgnoredWithALogLine)
{
    const struct {
        const char* what;
        const char* text;  // nullptr: no state file
        std::string logged;
    } cases[] = {
        {"none", nullptr, "Queue state: none in %F; the rows come from the folder"},
        {"not a state file", "plotted: a.plt\n", "Queue state in %F ignored: it is not a queue state file"},
        {"a damaged row", "tessaline-queue 1\nfolder\t%F\nrow\theld\t2\n",
         "Queue state in %F ignored: line 3 is damaged"},
        {"another folder", "tessaline-queue 1\nfolder\t/elsewhere/\nrow\theld\t2\t0\t0\t0\t0\t0\ta.plt\t\n",
         "Queue state in %F ignored: it belongs to the folder /elsewhere/"},
    };
    auto withFolder = [&](std::string text) {
        for (size_t at; (at = text.find("%F")) != std::string::npos;)
            text.replace(at, 2, Folder());
        return text;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ClearLog();
        fs::remove_all(Folder());
        Task("a.plt");
        if (c.text)
            std::ofstream(Folder() + CQueueStateFile::kName) << withFolder(c.text);
        Restart();
        m_pQueue->RefreshList();
        EXPECT_EQ(Column(0), (V{"Waitting"}));
        EXPECT_EQ(Column(2), (V{"1"}));
        EXPECT_EQ(LogCount(withFolder(c.logged)), 1);
    }
}

// Why a job did not start is said in the row, the status bar and the log, and the file stays for the
// operator; the next job starts.
TEST_F(UnattendedQueue, AJobThatCannotStartSaysWhyAndKeepsItsFile)
{
    const struct {
        const char* what;
        std::string content;
        std::string reason;
    } cases[] = {
        {"empty", "", "the file is empty: it holds no drawing"},
        {"binary data", "\x7f" "ELF\x02\x01\x01\0\0\0;PD\x03"s, "not a plot file: it holds no drawing"},
        {"pen-up moves only", "IN;SP1;PU0,0;PU4000,2000;PU100,4000;", kDetailsNoDrawing},
        {"over the size limit",
         "IN;PU0,0;PD10,10;" + std::string(CPltFileData::kMaxAllocLines - CPltFileData::kSpareLines, '\n'),
         "the file is too large to plot"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ClearLog();
        fs::remove_all(Folder());
        m_Observer.m_Problems.clear();
        MakeQueue(true);
        const std::string x = Task("x.plt", c.content);
        Task("z.plt");
        ScanTwice();
        const std::string said = "Cannot plot " + x + ": " + c.reason;
        EXPECT_EQ(Column(0), (V{"Not plot", "Plotting"}));
        EXPECT_EQ(Column(4)[0], c.reason);
        EXPECT_EQ(LogCount(said), 1);
        EXPECT_EQ(ProblemCount(said), 1);
        EXPECT_TRUE(fs::exists(x));
        EXPECT_TRUE(m_Boxes.m_Boxes.empty());
        EXPECT_EQ(m_pDoc->m_strSlotPath[SlotPrint], Folder() + "z.plt");
        WorkerFinishes();
        ResetPrintPathState();
    }
}

TEST_F(UnattendedQueue, OnlyTheVersionThatWasReadIsRemoved)
{
    for (EJobOutcome outcome : {EJobOutcome::PrintedWhole, EJobOutcome::Aborted}) {
        SCOPED_TRACE(int(outcome));
        ClearLog();
        fs::remove_all(Folder());
        MakeQueue(true);
        const std::string a = Task("a.plt");
        ScanTwice();
        ASSERT_EQ(Column(0), (V{"Plotting"}));
        Replace(a, kOtherMarker);
        if (outcome == EJobOutcome::Aborted)
            m_pQueue->Abort();
        m_pQueue->JobFinished(outcome);
        ResetPrintPathState();

        EXPECT_EQ(ReadFile(a), kOtherMarker);
        EXPECT_EQ(Column(0), (V{"Waitting"}));
        EXPECT_EQ(Column(2), (V{"1"}));
        EXPECT_EQ(Column(4), (V{kDetailsReplaced}));
        EXPECT_EQ(LogCount("Kept " + a + ": " + kDetailsReplaced + "; queued as a new job"), 1);

        // The new version is a job of its own: printed, then removed.
        m_pQueue->RefreshList();
        ASSERT_EQ(Column(0), (V{"Plotting"}));
        WorkerFinishes();
        EXPECT_TRUE(m_pQueue->Rows().empty());
        EXPECT_FALSE(fs::exists(a));
    }
}

TEST_F(UnattendedQueue, DeleteRemovesOnlyTheVersionTheOperatorSaw)
{
    const std::string b = Task("b.plt");
    gPrinterStatus.m_bPrinting = true;  // scans only
    m_pQueue->RefreshList();
    m_pQueue->AddCopy(b);
    Replace(b, kOtherMarker);
    m_pQueue->Delete(b);

    ASSERT_EQ(m_Boxes.m_Boxes.size(), 1u);
    EXPECT_EQ(m_Boxes.m_Boxes[0].text, b + " changed since it was listed; it was kept as a new job.");
    EXPECT_EQ(m_Boxes.m_Boxes[0].caption, "Notice");
    EXPECT_EQ(ReadFile(b), kOtherMarker);
    EXPECT_EQ(Column(2), (V{"1"}));
    EXPECT_EQ(Column(4), (V{kDetailsReplaced}));

    // Seen in the list, it goes.
    m_pQueue->RefreshList();
    m_pQueue->Delete(b);
    EXPECT_TRUE(m_pQueue->Rows().empty());
    EXPECT_FALSE(fs::exists(b));
    EXPECT_EQ(m_Boxes.m_Boxes.size(), 1u);
}

TEST_F(UnattendedQueue, ATaskFolderThatGoesAwayIsWaitedForAndNotMadeAgain)
{
    const std::string a = Task("a.plt"), b = Task("b.plt");
    ScanTwice();  // a plots
    fs::rename(m_Dir / "tasks", Away());

    // a's last copy ends while the share is gone: its file cannot go yet, and the row waits for it.
    WorkerFinishes();
    EXPECT_EQ(Column(0), (V{"Not plot", "Waitting"}));
    EXPECT_EQ(Column(4)[0], std::string(kDetailsNotRemoved) + " (the task folder is missing)");
    for (int i = 0; i < 3; ++i)
        m_pQueue->RefreshList();
    EXPECT_FALSE(fs::exists(Folder())) << "an empty folder where the share was would take its jobs";
    EXPECT_TRUE(m_pQueue->FolderMissing());
    EXPECT_FALSE(gPrinterStatus.m_bPrinting);
    EXPECT_EQ(Column(0), (V{"Not plot", "Waitting"}));
    EXPECT_EQ(LogCount(MissingText()), 1);
    EXPECT_EQ(m_Observer.m_Problems.back(), MissingText());

    // Adding and deleting say why they cannot.
    std::ofstream(m_Dir / "new.plt") << kMarker;
    EXPECT_EQ(m_pQueue->AddFile((m_Dir / "new.plt").string()), "");
    m_pQueue->Delete(b);
    ASSERT_EQ(m_Boxes.m_Boxes.size(), 1u);
    EXPECT_EQ(m_Boxes.m_Boxes[0].text, "Cannot delete " + b + ": the task folder is missing");
    EXPECT_FALSE(fs::exists(Folder()));

    // Back: the printed file goes with its row, and the queue carries on.
    fs::rename(Away(), m_Dir / "tasks");
    m_pQueue->RefreshList();
    EXPECT_FALSE(fs::exists(a));
    EXPECT_EQ(Column(1), (V{"b.plt"}));
    EXPECT_EQ(Column(0), (V{"Plotting"}));
    EXPECT_EQ(LogCount("The task folder " + Folder() + " is back"), 1);
    EXPECT_FALSE(m_pQueue->FolderMissing());
}

// The program took the folder (its lock) at its start, and the share drops before the first scan: that scan
// waits for it as for a folder a scan saw, and makes no empty one in its place.
TEST_F(UnattendedQueue, AFolderTheProgramTookIsWaitedForEvenBeforeTheFirstScan)
{
    Task("a.plt");
    m_pQueue->FolderTaken();
    fs::rename(m_Dir / "tasks", Away());
    m_pQueue->RefreshList();
    EXPECT_FALSE(fs::exists(Folder()));
    EXPECT_TRUE(m_pQueue->FolderMissing());
    EXPECT_EQ(ProblemCount(MissingText()), 1);

    fs::rename(Away(), m_Dir / "tasks");
    m_pQueue->RefreshList();
    m_pQueue->RefreshList();
    EXPECT_EQ(Column(0), (V{"Plotting"}));
}

// The folder goes between the scan and the job start: the job finds its file missing, but it is not
// held for that; it starts once the folder is back.
TEST_F(UnattendedQueue, AJobWhoseFolderWentAtItsStartIsNotHeld)
{
    const std::string a = Task("a.plt");
    m_pQueue->RefreshList();
    int stats = 0;
    m_Ops.m_fnBeforeStat = [&](const std::string&) {
        if (++stats == 2)  // the scan's, then the job start's
            fs::rename(m_Dir / "tasks", Away());
    };
    m_pQueue->RefreshList();
    m_Ops.m_fnBeforeStat = nullptr;
    EXPECT_EQ(Column(0), (V{"Waitting"}));
    EXPECT_EQ(Column(4), (V{""}));
    EXPECT_FALSE(gPrinterStatus.m_bPrinting);
    EXPECT_TRUE(m_pQueue->FolderMissing());
    EXPECT_EQ(ProblemCount(MissingText()), 1);

    fs::rename(Away(), m_Dir / "tasks");
    m_pQueue->RefreshList();
    EXPECT_EQ(Column(0), (V{"Plotting"}));
}

}  // namespace
