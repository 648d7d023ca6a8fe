// tessaline-cli print with [LINK] DEVICE=USB, as its own process, against the emulated board: the program
// picks the libusb back-end itself, waits while only another device is attached, and prints once the board is.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "cli/cliprocess.h"
#include "document/marquelldoc.h"
#include "emulatedboard.h"
#include "sim/virtualplotter.h"
#include "testtmp.h"

namespace {

namespace fs = std::filesystem;

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
    // library included), its output in the folder TAG of the test folder.
    std::unique_ptr<CCliProcess> Start(const std::string& tag, const std::vector<std::string>& args)
    {
        fs::create_directories(m_dir / tag);
        auto cli = std::make_unique<CCliProcess>(CCliProcess::BuiltCli(), m_dir / tag);
        std::vector<std::string> argv = {"print", m_plot, "--config", (m_dir / "config.ini").string(),
                                         "--fast", "--log", (m_dir / (tag + ".log")).string()};
        argv.insert(argv.end(), args.begin(), args.end());
        EXPECT_TRUE(cli->Start(argv));
        return cli;
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

    auto cli = Start("usb", {});
    const bool bWaited = cli->WaitFor(
        [&] { return cli->Err().find("tessaline-cli: Offline, Waiting for the plotter ...") != std::string::npos; });
    board.Plug();
    const int status = cli->Finish();
    const std::string err = cli->Err();
    EXPECT_TRUE(bWaited) << err;
    ASSERT_EQ(status, 0) << err;
    EXPECT_NE(err.find("tessaline-cli: Online"), std::string::npos) << err;
    EXPECT_NE(err.find("job finished, 5 segment(s) verified"), std::string::npos) << err;
    EXPECT_EQ(err.find("virtual plotter"), std::string::npos) << "the virtual back-end was chosen: " << err;
    EXPECT_TRUE(plotter.Problems().empty());
    EXPECT_EQ(plotter.SegmentsPrinted(), 5);
    const std::string log = CCliProcess::Read(m_dir / "usb.log");
    EXPECT_NE(log.find("USB plotter 04CC:1B49 not attached"), std::string::npos);
    EXPECT_NE(log.find("USB plotter 04CC:1B49 opened, interface 0"), std::string::npos);

    // The page equals the one the same command prints on the built-in virtual plotter.
    const fs::path direct = m_dir / "direct.png";
    auto directCli = Start("virtual", {"--virtual", "--page", direct.string()});
    ASSERT_EQ(directCli->Finish(), 0) << directCli->Err();
    const fs::path printed = m_dir / "printed.png";
    ASSERT_TRUE(plotter.WritePage(printed.string()));
    EXPECT_TRUE(CCliProcess::Read(printed) == CCliProcess::Read(direct)) << "the pages differ";
}
