// The window bridge: the worker's questions and progress refresh run on the window thread, and once
// exit has begun the bridge answers at once.
#include <atomic>
#include <thread>

#include <QProgressBar>

#include "platform/windowbridge.h"
#include "shellfixture.h"

namespace {

TEST_F(ShellTest, TheWorkersRequestsRunOnTheWindowThreadUntilExitBegins)
{
    Start();
    CJobLayout& layout = Doc().m_Layout[SlotPrint];
    layout.m_nSectionCount = 10;
    layout.m_nSectionCursor = 5;
    gPrinterStatus.m_bPrinting = true;

    std::atomic<int> answer{0};
    std::atomic<int> progress{-1};
    std::atomic<bool> done{false};
    std::thread worker([&] {
        answer = GetWindowBridge().MessageBox("Retry?", "Informação", MB_YESNO, MB_ICONQUESTION);
        GetWindowBridge().RefreshProgress();
        progress = Frame()->m_wndProgress->value();  // the window thread waits in its event loop meanwhile
        done = true;
    });
    EXPECT_TRUE(WaitUntil([&] { return done.load(); }));
    worker.join();
    EXPECT_EQ(answer, IDNO);
    EXPECT_EQ(progress, 55) << "the refresh had run when the worker went on";
    ASSERT_EQ(m_Boxes.size(), 1u);
    EXPECT_EQ(m_Boxes[0].text, "Retry?");

    gPrinterStatus.m_bPrinting = false;
    Frame()->close();
    done = false;
    std::thread late([&] {
        answer = GetWindowBridge().MessageBox("Retry?", "Informação", MB_YESNO, MB_ICONQUESTION);
        GetWindowBridge().RefreshProgress();
        done = true;
    });
    // Nothing is processed on the window thread here: the answer must come without it.
    const auto fuse = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done && std::chrono::steady_clock::now() < fuse)
        std::this_thread::yield();
    EXPECT_TRUE(done);
    late.join();
    EXPECT_EQ(answer, IDNO);
    EXPECT_EQ(m_Boxes.size(), 1u);
}

}  // namespace
