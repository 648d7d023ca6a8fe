// One program per log and per task folder, and plot files opened with the program: added like
// "Abrir(&O)" adds a file, or handed to the program already serving the folder.
#include <future>
#include <sstream>

#include <QTest>

#include "platform/gbk.h"
#include "platform/logwriter.h"
#include "queue/folderlock.h"
#include "shell/filehandover.h"
#include "shell/statusbar.h"
#include "shellfixture.h"

namespace {

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string Me(const char* program)
{
    return std::string(program) + " (process " + std::to_string(QCoreApplication::applicationPid()) + ")";
}

class InstanceTest : public ShellTest {
protected:
    // Plot files somewhere outside the task folder, as a file manager would open them.
    QStringList CadFiles(std::initializer_list<const char*> names)
    {
        fs::create_directories(m_Dir / "cad");
        QStringList files;
        for (const char* name : names) {
            std::ofstream(m_Dir / "cad" / name) << kMarker;
            files << QString::fromStdString((m_Dir / "cad" / name).string());
        }
        return files;
    }
    std::string StatusMessage() const { return g_pStatusBar->currentMessage().toStdString(); }
};

TEST_F(InstanceTest, ASecondProgramWithTheSameLogEndsBeforeTouchingItAndLeavesItsFilesToTheFirst)
{
    std::ofstream(m_Dir / "logfile.txt") << "the running program's log\r\n";
    CFolderLock running;
    ASSERT_TRUE(running.Acquire(CFolderLock::LogLockFile((m_Dir / "logfile.txt").string()), "tessaline-cli"));

    m_pApp = std::make_unique<CMarquellApp>(m_Dir.string());
    m_pApp->SetStartFiles(CadFiles({"cut.plt"}));
    EXPECT_FALSE(m_pApp->InitInstance());
    ASSERT_EQ(m_Boxes.size(), 1u);
    EXPECT_NE(m_Boxes[0].text.find(Me("tessaline-cli") + " writes the log " + (m_Dir / "logfile.txt").string()),
              std::string::npos)
        << m_Boxes[0].text;
    EXPECT_NE(m_Boxes[0].text.find("1 file(s) were copied into its task folder"), std::string::npos);
    EXPECT_EQ(m_pApp->MainFrame(), nullptr);
    m_pApp.reset();
    EXPECT_EQ(ReadFile(m_Dir / "logfile.txt"), "the running program's log\r\n");
    EXPECT_TRUE(fs::exists(Folder() + "cut.plt"));
}

TEST_F(InstanceTest, AFolderServedByAnotherProgramIsNeitherScannedNorPrintedUntilItIsFree)
{
    CFolderLock other;
    ASSERT_TRUE(other.AcquireFolder(Folder(), "tessaline-cli"));
    Task("a.plt");
    Start();
    ASSERT_TRUE(WaitUntil([&] { return !m_Boxes.empty(); }));
    const std::string expected = "The task folder " + Folder() + " is served by " + Me("tessaline-cli");
    EXPECT_NE(m_Boxes[0].text.find(expected), std::string::npos) << m_Boxes[0].text;
    Tick();
    Tick();
    QApplication::processEvents();
    EXPECT_EQ(m_Boxes.size(), 1u) << "the message box comes once";
    EXPECT_EQ(View()->rowCount(), 0);
    EXPECT_FALSE(gPrinterStatus.m_bPrinting);
    EXPECT_NE(StatusMessage().find(expected), std::string::npos) << StatusMessage();

    // The other program ends: this one takes the folder over at its next scan.
    other.Release();
    Tick();
    Tick();  // a file starts once two scans saw it unchanged
    EXPECT_EQ(Column(0), (std::vector<std::string>{"Plotting"}));
    EXPECT_NE(StatusMessage().find("served by this program now"), std::string::npos);
    CFolderLock third;
    EXPECT_FALSE(third.AcquireFolder(Folder(), "tessaline-cli"));
    EXPECT_EQ(third.Holder(), Me("tessaline"));
}

TEST_F(InstanceTest, FilesOpenedWithTheProgramAreAddedHereOrHandedToTheRunningOne)
{
    WriteConfig(false);
    m_pApp = std::make_unique<CMarquellApp>(m_Dir.string());
    m_pApp->SetStartFiles(CadFiles({"first.plt"}));
    EXPECT_FALSE(m_pApp->HandOverStartFiles()) << "no program serves the folder yet";
    ASSERT_TRUE(m_pApp->InitInstance());
    EXPECT_TRUE(fs::exists(Folder() + "first.plt"));

    // A second start with two plot files and a text file; its side blocks, so it runs on a thread of its own.
    const QStringList files = CadFiles({"second.plt", "first.plt"}) << QString::fromStdString((m_Dir / "a.txt").string());
    std::future<bool> handed =
        std::async(std::launch::async, [&] { return CFileHandOver::Send(Folder(), files, 5000); });
    ASSERT_TRUE(WaitUntil([&] { return handed.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    EXPECT_TRUE(handed.get());
    EXPECT_TRUE(fs::exists(Folder() + "second.plt"));
    EXPECT_TRUE(fs::exists(Folder() + "first_1.plt"));
    EXPECT_NE(StatusMessage().find("Not a plot file: " + (m_Dir / "a.txt").string()), std::string::npos);
    Tick();
    EXPECT_EQ(Column(1), (std::vector<std::string>{"first.plt", "first_1.plt", "second.plt"}));

    m_pApp.reset();
    const std::string log = ReadFile(m_Dir / "logfile.txt");
    const std::string added = Utf8ToGbk("添加一个文件到打印任务列表中!\r\n");
    const std::string second = (m_Dir / "cad/second.plt").string() + Folder() + "second.plt" + added;
    EXPECT_NE(log.find(second), std::string::npos) << log;
    size_t count = 0;
    for (size_t at = log.find(added); at != std::string::npos; at = log.find(added, at + 1))
        ++count;
    EXPECT_EQ(count, 3u);
    EXPECT_FALSE(CFileHandOver::Send(Folder(), files, 5000)) << "the program ended and with it its socket";
}

}  // namespace
