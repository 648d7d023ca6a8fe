// tessaline-cli print with [LINK] DEVICE=USB, as its own process, against the emulated board: the program
// picks the libusb back-end itself, waits while only another device is attached, and prints once the board is.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "document/marquelldoc.h"
#include "emulatedboard.h"
#include "sim/virtualplotter.h"
#include "testtmp.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class CliOnEmulatedBoard : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = TestTempDir("usbemu_cli");
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        std::ofstream(m_dir / "config.ini", std::ios::binary)
            << "[JetPrintHeadOpenStatus]\nJetPrintHeadOpenStatus0=1\n[LINK]\nDEVICE=USB\n";
        m_plot = std::string(TESSALINE_SOURCE_DIR) + "/tests/fixtures/sim/small.plt";
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // Starts "tessaline-cli print ARGS" in this process's environment (the testbed and the preload
    // library included), its output in files of the test folder.
    pid_t Start(const std::string& tag, const std::vector<std::string>& args)
    {
        const fs::path cli = fs::read_symlink("/proc/self/exe").parent_path() / "tessaline-cli";
        std::vector<std::string> argv = {cli.string(), "print", m_plot, "--config", (m_dir / "config.ini").string(),
                                         "--fast", "--log", (m_dir / (tag + ".log")).string()};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<char*> raw;
        for (std::string& a : argv)
            raw.push_back(a.data());
        raw.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&files, 1, (m_dir / (tag + ".out")).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&files, 2, (m_dir / (tag + ".err")).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_t pid = -1;
        if (posix_spawn(&pid, raw[0], &files, nullptr, raw.data(), environ) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&files);
        return pid;
    }

    // Waits, bounded in real time, for cond; false when the bound runs out.
    static bool WaitFor(const std::function<bool()>& cond)
    {
        const auto fuse = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!cond()) {
            if (std::chrono::steady_clock::now() > fuse)
                return false;
            std::this_thread::yield();
        }
        return true;
    }

    // The exit status of the process; -1 when it had to be killed.
    static int Finish(pid_t pid)
    {
        int status = 0;
        if (!WaitFor([&] { return waitpid(pid, &status, WNOHANG) != 0; })) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    fs::path m_dir;
    std::string m_plot;
};

}  // namespace

TEST_F(CliOnEmulatedBoard, PrintWithDeviceUsbWaitsForTheBoardAndPrintsItsPageThroughLibusb)
{
    CMarquellDoc doc(m_dir.string());
    ASSERT_EQ(doc.m_UserDefine.m_Link.DEVICE, "USB");
    CVirtualPlotter plotter(doc.m_UserDefine);
    CEmulatedBoard board(doc.m_UserDefine.m_Link);
    board.SetBrain(&plotter);
    board.Plug(0x04CC, 0x1B4A);  // some other device

    const pid_t pid = Start("usb", {});
    ASSERT_GT(pid, 0);
    const bool bWaited = WaitFor([&] {
        return Read(m_dir / "usb.err").find("tessaline-cli: Offline, Waiting for the plotter ...") != std::string::npos;
    });
    board.Plug();
    const int status = Finish(pid);
    const std::string err = Read(m_dir / "usb.err");
    EXPECT_TRUE(bWaited) << err;
    ASSERT_EQ(status, 0) << err;
    EXPECT_NE(err.find("tessaline-cli: Online"), std::string::npos) << err;
    EXPECT_NE(err.find("job finished, 5 segment(s) verified"), std::string::npos) << err;
    EXPECT_EQ(err.find("virtual plotter"), std::string::npos) << "the virtual back-end was chosen: " << err;
    EXPECT_TRUE(plotter.Problems().empty());
    EXPECT_EQ(plotter.SegmentsPrinted(), 5);
    const std::string log = Read(m_dir / "usb.log");
    EXPECT_NE(log.find("USB plotter 04CC:1B49 not attached"), std::string::npos);
    EXPECT_NE(log.find("USB plotter 04CC:1B49 opened, interface 0"), std::string::npos);

    // The page equals the one the same command prints on the built-in virtual plotter.
    const fs::path direct = m_dir / "direct.png";
    ASSERT_EQ(Finish(Start("virtual", {"--virtual", "--page", direct.string()})), 0) << Read(m_dir / "virtual.err");
    const fs::path printed = m_dir / "printed.png";
    ASSERT_TRUE(plotter.WritePage(printed.string()));
    EXPECT_TRUE(Read(printed) == Read(direct)) << "the pages differ";
}
