// The link watch and the link pane: when the link counts as lost, when an aborted job gives up on it, and
// what the log says about it.
#include <gtest/gtest.h>

#include <regex>

#include "link/linkfixture.h"
#include "link/linkpane.h"
#include "link/linkwatch.h"
#include "link/statustext.h"

namespace {

using LinkWatch = LinkTest;

TEST_F(LinkWatch, TheLinkIsOfflineWhenUncheckedOrSilentForTwoSeconds)
{
    struct Step {
        const char* what;
        std::function<void()> act;
        bool online;
    };
    const Step steps[] = {
        {"not checked yet", [] { gPrinterStatus.m_bConnected = false; }, false},
        {"checked up", [] { gPrinterStatus.m_bConnected = true; }, true},
        {"an exchange answered", [] { gLinkWatch.Answered(); }, true},
        {"unanswered just now", [] { gLinkWatch.Unanswered(); }, true},
        {"still unanswered 1.9 s later", [this] { m_Clock.Advance(1900); gLinkWatch.Unanswered(); }, true},
        {"silent for 2 s", [this] { m_Clock.Advance(100); }, false},
        {"answered again", [] { gLinkWatch.Answered(); }, true},
        {"silent, but nobody asked", [this] { m_Clock.Advance(60000); }, true},
        {"a check finds nothing", [] { gPrinterStatus.m_bConnected = false; }, false},
    };
    for (const Step& s : steps) {
        s.act();
        EXPECT_EQ(gLinkWatch.Online(), s.online) << s.what;
    }
}

TEST_F(LinkWatch, AnAbortedJobGivesUpOnlyOnAPlotterSilentForASecond)
{
    gPrinterStatus.RequestPrint();
    gLinkWatch.Unanswered();
    m_Clock.Advance(5000);
    EXPECT_FALSE(gLinkWatch.GivenUp()) << "not aborted";
    EXPECT_FALSE(StopWaiting());

    gLinkWatch.Aborted();
    EXPECT_TRUE(gLinkWatch.GivenUp()) << "silent for long already: at once";
    EXPECT_TRUE(StopWaiting());
    EXPECT_FALSE(gPrinterStatus.m_bConnected);
    EXPECT_TRUE(gLinkWatch.KnownDown());
    gLinkWatch.Answered();
    EXPECT_TRUE(gLinkWatch.GivenUp()) << "once given up, the job's waits stay ended";
    EXPECT_FALSE(gLinkWatch.KnownDown()) << "the plotter answered";
    gLinkWatch.JobHandedBack();
    EXPECT_FALSE(gLinkWatch.GivenUp());

    // A new job forgets the abort; a plotter that still answers is never given up on.
    gPrinterStatus.RequestPrint();
    gLinkWatch.Aborted();
    for (int i = 0; i < 50; ++i) {
        m_Clock.Advance(150);
        gLinkWatch.Answered();
        EXPECT_FALSE(gLinkWatch.GivenUp());
    }
    // The link goes after the abort: a second of silence, then the waits end.
    gLinkWatch.Unanswered();
    m_Clock.Advance(999);
    EXPECT_FALSE(gLinkWatch.GivenUp());
    m_Clock.Advance(1);
    EXPECT_TRUE(gLinkWatch.GivenUp());

    // Without a job in hand there is nothing to give up.
    gLinkWatch.JobHandedBack();
    gPrinterStatus.m_bPrintTask = false;
    gLinkWatch.Aborted();
    EXPECT_FALSE(gLinkWatch.GivenUp());
}

TEST_F(LinkWatch, ThePaneLogsTheLossAndTheReturnOfALinkThatWasUp)
{
    const std::regex offline("Link: Offline at [0-2][0-9]:[0-5][0-9]:[0-5][0-9]\r\n");
    const std::regex online("Link: Online at [0-2][0-9]:[0-5][0-9]:[0-5][0-9]\r\n");
    CLinkPane pane;
    gPrinterStatus.m_bConnected = false;
    EXPECT_FALSE(pane.Update());
    EXPECT_EQ(gStatusText.GetText(PaneLink), "Offline");
    gPrinterStatus.m_bConnected = true;
    EXPECT_TRUE(pane.Update());
    EXPECT_EQ(gStatusText.GetText(PaneLink), "Online");
    EXPECT_TRUE(m_Log.Lines().empty()) << "the link found at start-up is not news";

    gLinkWatch.Unanswered();
    m_Clock.Advance(2000);
    EXPECT_FALSE(pane.Update());
    EXPECT_FALSE(pane.Update());
    EXPECT_EQ(gStatusText.GetText(PaneLink), "Offline");
    gLinkWatch.Answered();
    EXPECT_TRUE(pane.Update());
    EXPECT_TRUE(pane.Update());
    const std::vector<std::string> lines = m_Log.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(std::regex_match(lines[0], offline)) << lines[0];
    EXPECT_TRUE(std::regex_match(lines[1], online)) << lines[1];

    std::tm t{};
    t.tm_hour = 14;
    t.tm_min = 3;
    t.tm_sec = 7;
    EXPECT_EQ(CLinkPane::LogLine(false, t), "Link: Offline at 14:03:07\r\n");
}

}  // namespace
