// The desktop program left alone with a real task folder on the virtual plotter: a file the file system will
// not let go, a file copied in slowly, a cable pulled in the middle of a job, and a second program started on
// the same folder.
#include <system_error>

#include "cli/cliprocess.h"
#include "shell/commandids.h"
#include "shellfixture.h"
#include "sim/virtualplotter.h"
#include "soak/markers.h"
#include "support/fakefileops.h"

namespace {

using V = std::vector<std::string>;

class UnattendedShellTest : public ShellTest {
protected:
    void TearDown() override
    {
        ShellTest::TearDown();  // the worker ends and the plotter is checked before it goes
        m_pPlotter.reset();
    }

    // A plotter of the test's own in place of the program's, before the worker first looks for the link.
    void UsePlotter(const std::vector<const char*>& faults = {})
    {
        CFaultSchedule schedule;
        for (const char* f : faults)
            ASSERT_TRUE(schedule.Add(f)) << f;
        m_pPlotter = std::make_unique<CVirtualPlotter>(Doc().m_UserDefine, schedule);
        SetUsbAdapter(m_pPlotter.get());
        WatchPlotter(m_pPlotter.get());
    }
    // The program ends and starts again as a new process would; the plotter stays as it is.
    void Restart()
    {
        m_pApp.reset();
        ResetPrintPathState();
        Start();
        if (m_pPlotter)
            SetUsbAdapter(m_pPlotter.get());
    }
    bool Printed() { return WaitUntil([] { return !gPrinterStatus.m_bPrinting; }); }
    // The last job's page is the whole of this plot file's.
    void ExpectWholePage(const std::string& content)
    {
        std::ofstream(m_Dir / "reference.plt", std::ios::binary) << content;
        CMarquellDoc reference(m_Dir.string());
        CReferencePage page;
        ASSERT_TRUE(MakeReferencePage(reference, (m_Dir / "reference.plt").string(), page));
        EXPECT_EQ(m_pPlotter->SegmentsPrinted(), page.Segments());
        EXPECT_EQ(page.Compare(m_pPlotter->Page(), page.Segments()), "");
    }

    std::unique_ptr<CVirtualPlotter> m_pPlotter;
    CFakeFileOps m_Ops;  // as a read-only share would: tests run as root, where permissions refuse nothing
};

// Printed once, held with the reason, never printed again by itself, not even by the next program; the
// next scan after the share lets it go removes it.
TEST_F(UnattendedShellTest, AFileThatCannotBeRemovedIsPrintedOnceAndStaysHeldAcrossARestart)
{
    const std::string a = Task("a.plt");
    m_Ops.RefuseRemoval(a, std::errc::read_only_file_system);
    Start();
    UsePlotter();
    View()->Queue().SetFileOps(&m_Ops);
    Tick();
    Tick();
    ASSERT_EQ(Column(0), (V{"Plotting"}));
    ASSERT_TRUE(Printed());
    const V held = {"plotted; the file cannot be removed (Read-only file system)"};
    EXPECT_EQ(Column(4), held);
    const int starts = m_pPlotter->CommandCount(0x0B);

    Restart();
    View()->Queue().SetFileOps(&m_Ops);
    for (int i = 0; i < 3; ++i)
        Tick();
    EXPECT_EQ(Column(0), (V{"Not plot"}));
    EXPECT_EQ(Column(4), held);
    EXPECT_FALSE(gPrinterStatus.m_bPrinting);
    EXPECT_EQ(m_pPlotter->CommandCount(0x0B), starts) << "printed again";
    EXPECT_TRUE(fs::exists(a));

    m_Ops.RefuseRemoval(a, std::errc{});
    Tick();
    EXPECT_EQ(View()->rowCount(), 0);
    EXPECT_FALSE(fs::exists(a));
    EXPECT_EQ(m_pPlotter->CommandCount(0x0B), starts);
}

// A marker copied over a share in pieces, a scan apart: the row says it is arriving until two scans saw the
// same file, and the page is the whole marker's.
TEST_F(UnattendedShellTest, AFileCopiedInSlowlyStartsOnlyWhenCompleteAndPrintsWhole)
{
    const std::string marker = "IN;SP1;PU0,0;PD6000,0,6000,2000,0,2000,0,0;PU500,200;PD5500,1800;PU5500,200;PD500,1800;PU;";
    Start();
    UsePlotter();
    const std::string path = Folder() + "slow.plt";
    for (size_t at = 0; at < marker.size(); at += 30) {
        std::ofstream(path, std::ios::binary | std::ios::app) << marker.substr(at, 30);
        Tick();
        ASSERT_EQ(Column(0), (V{"Waitting"})) << "after " << at + 30 << " bytes";
        EXPECT_EQ(Column(4), (V{"the file is still arriving"}));
    }
    Tick();
    ASSERT_EQ(Column(0), (V{"Plotting"}));
    ASSERT_TRUE(Printed());
    EXPECT_EQ(View()->rowCount(), 0);
    EXPECT_FALSE(fs::exists(path));
    ExpectWholePage(marker);
}

// The cable goes just after the plotter took a checksum request. Abort ends the job, held with its file, and
// Exit works. The next program, started once the cable is back, finds the plotter still in the middle of that
// exchange: it clears it before anything else (the plotter sees no command out of turn), keeps the row held and
// prints the next file whole.
TEST_F(UnattendedShellTest, ACablePulledMidJobLeavesTheRowHeldAndTheNextProgramPrintsOnAClearedPlotter)
{
    const std::string a = Task("a.plt");
    Start();
    UsePlotter({"unplug@2+600000/0x19"});
    Tick();
    Tick();
    ASSERT_EQ(Column(0), (V{"Plotting"}));
    ASSERT_TRUE(WaitUntil([&] { return !m_pPlotter->LinkUp(); }));
    Frame()->Action(ID_APP_EXIT)->trigger();
    ASSERT_EQ(m_Boxes.size(), 1u);
    EXPECT_EQ(m_Boxes[0].text, "The printing task is running, please waiting or cancel the task!");

    Frame()->Action(ID_ABORT)->trigger();
    ASSERT_TRUE(Printed());
    EXPECT_EQ(Column(0), (V{"Not plot"}));
    EXPECT_EQ(Column(4), (V{"the print did not complete"}));
    EXPECT_TRUE(fs::exists(a));
    Frame()->Action(ID_APP_EXIT)->trigger();
    EXPECT_FALSE(Frame()->isVisible());
    EXPECT_FALSE(IsPrintWorkerRunning());

    m_Clock.Sleep(600000);  // the cable is back
    Restart();
    const std::string b = Task("b.plt");
    Tick();
    Tick();
    EXPECT_EQ(Column(1), (V{"a.plt", "b.plt"}));
    EXPECT_EQ(Column(0), (V{"Not plot", "Plotting"}));
    ASSERT_TRUE(Printed());
    EXPECT_EQ(Column(1), (V{"a.plt"}));
    EXPECT_FALSE(fs::exists(b));
    EXPECT_TRUE(fs::exists(a));
    ExpectWholePage(kMarker);
    EXPECT_FALSE(m_pPlotter->InJob()) << "the print end was answered";
}

// tessaline-cli queue started with settings of its own that name this program's task folder: it ends at
// once, naming this program, and prints nothing; the folder's files are printed here, once.
TEST_F(UnattendedShellTest, ASecondProgramOnTheSameFolderEndsAndPrintsNothing)
{
    const std::string a = Task("a.plt");
    Start();
    UsePlotter();
    const fs::path second = m_Dir / "second";
    fs::create_directories(second);
    std::ofstream(second / "config.ini") << "[LINK]\r\nDEVICE=VIRTUAL\r\nPAGEDIR=" << (second / "pages").string()
                                         << "\r\n[PATH]\r\nWORKPATH=" << Folder()
                                         << "\r\n[PRINT]\r\nPRINTAUTO=1\r\n[JetPrintHeadOpenStatus]\r\n"
                                            "JetPrintHeadOpenStatus0=1\r\n";
    CCliProcess cli(CCliProcess::BuiltCli(), second);
    ASSERT_TRUE(cli.Start({"queue", "--config", (second / "config.ini").string(), "--fast"}));
    EXPECT_EQ(cli.Finish(), 1) << cli.Out() << cli.Err();
    const std::string me = "tessaline (process " + std::to_string(QCoreApplication::applicationPid()) + ")";
    EXPECT_NE(cli.Err().find("is served by " + me), std::string::npos) << cli.Err();
    EXPECT_TRUE(fs::exists(a)) << "the second program printed it";
    EXPECT_FALSE(fs::exists(second / "pages") && !fs::is_empty(second / "pages"));

    Tick();
    Tick();
    ASSERT_EQ(Column(0), (V{"Plotting"}));
    ASSERT_TRUE(Printed());
    EXPECT_FALSE(fs::exists(a));
    EXPECT_EQ(m_pPlotter->CommandCount(0x17), 1);
}

}  // namespace
