// What the window tells of a job before and while it prints: the task rows' tooltips with their files'
// reports (from tessaline-cli info beside the program), and the status bar's time-left pane.
#include <QIcon>
#include <QRegularExpression>

#include "shell/statusbar.h"
#include "shellfixture.h"
#include "soak/lockstepclock.h"

namespace {

// 1 m along the paper, 5 cm across: 17 segments.
const char* const kLongMarker = "IN;SP1;PU0,0;PD40000,0,40000,2000,0,2000,0,0;PU;";

class JobInfoTest : public ShellTest {
protected:
    void TearDown() override
    {
        m_Lockstep.SetFree(true);  // the worker must not park while the program ends
        ShellTest::TearDown();
    }

    QString TimeLeft() const
    {
        return g_pStatusBar->GetPaneText(g_pStatusBar->CommandToIndex(CStatusBar::ID_INDICATOR_TIMELEFT));
    }
    // Lets the worker run for ms of its time while the window thread serves its requests.
    bool RunWorker(int64_t ms)
    {
        m_Lockstep.Resume(m_Lockstep.Now() + ms);
        const auto fuse = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!m_Lockstep.WaitParked(std::chrono::milliseconds(1))) {
            QApplication::processEvents();
            if (std::chrono::steady_clock::now() > fuse)
                return false;
        }
        QApplication::processEvents();
        return true;
    }
    // Waits in real time for the reports of the child processes.
    bool WaitForTooltip(int row, const QString& part)
    {
        const auto fuse = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!View()->item(row, 0) || !View()->item(row, 0)->toolTip().contains(part)) {
            if (std::chrono::steady_clock::now() > fuse)
                return false;
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        return true;
    }

    CLockstepClock m_Lockstep;
};

TEST_F(JobInfoTest, TheTimeLeftPaneCountsDownTheJobInProgress)
{
    Task("long.plt", kLongMarker);
    Start();
    SetClock(&m_Lockstep);
    View()->OnTimer(CFileView::kTimerLink);
    EXPECT_EQ(TimeLeft(), "") << "no job";

    // The window's one-second timer, on the worker's time: (time, pane, printing) at every tick.
    struct Seen {
        int64_t ms;
        QString text;
        bool printing;
    };
    std::vector<Seen> seen;
    bool started = false;
    for (int tick = 0; tick < 300; ++tick) {
        ASSERT_TRUE(RunWorker(1000));
        Tick();
        seen.push_back({m_Lockstep.Now(), TimeLeft(), gPrinterStatus.m_bPrinting.load()});
        started = started || seen.back().printing;
        if (started && !seen.back().printing)
            break;
    }
    ASSERT_TRUE(started && !seen.back().printing) << "the job did not end";
    EXPECT_EQ(seen.back().text, "") << "empty once the job ended";
    const int64_t endMs = seen.back().ms;

    // Every text while the job prints is a time; the one half way through tells the rest within 10 %.
    const QRegularExpression time(QStringLiteral("^\\d+:\\d\\d$"));
    const Seen* pHalf = nullptr;
    const int64_t startMs = std::find_if(seen.begin(), seen.end(), [](const Seen& s) { return s.printing; })->ms;
    for (const Seen& s : seen) {
        if (!s.printing)
            continue;
        EXPECT_TRUE(s.text.isEmpty() || time.match(s.text).hasMatch()) << s.text.toStdString();
        if (!pHalf && s.ms >= (startMs + endMs) / 2)
            pHalf = &s;
    }
    ASSERT_NE(pHalf, nullptr);
    const QStringList parts = pHalf->text.split(QLatin1Char(':'));
    ASSERT_EQ(parts.size(), 2) << pHalf->text.toStdString();
    const double shown = parts[0].toInt() * 60 + parts[1].toInt();
    const double actual = (endMs - pHalf->ms) / 1000.0;
    EXPECT_NEAR(shown, actual, std::max(2.0, 0.1 * actual)) << "shown " << pHalf->text.toStdString();
}

TEST_F(JobInfoTest, RowTooltipsCarryTheFilesReportAndRowsThatWouldNotPrintAreMarked)
{
    WriteConfig(false);
    Task("a.plt", kLongMarker);
    Task("b.plt", "\r\n");
    Start();
    Tick();
    ASSERT_EQ(Column(1), (std::vector<std::string>{"a.plt", "b.plt"}));
    ASSERT_TRUE(WaitForTooltip(0, QStringLiteral("Segments:")) && WaitForTooltip(1, QStringLiteral("Findings:")))
        << View()->item(0, 0)->toolTip().toStdString();

    const QString a = View()->item(0, 3)->toolTip();
    EXPECT_TRUE(a.startsWith(QStringLiteral("* * *\n\nPaper length: 1.00 m, not folded\nSegments: 17\n")))
        << a.toStdString();
    EXPECT_TRUE(a.contains(QRegularExpression(QStringLiteral("Estimated print time: 0:\\d\\d\n")))) << a.toStdString();
    EXPECT_TRUE(a.contains(QStringLiteral("• Instructions not handled: IN ×1, SP ×1"))) << a.toStdString();
    EXPECT_TRUE(View()->item(0, 0)->icon().isNull());

    const QString b = View()->item(1, 1)->toolTip();
    EXPECT_TRUE(b.endsWith(QStringLiteral("Findings:\n• The file is empty (stops printing)"))) << b.toStdString();
    EXPECT_FALSE(View()->item(1, 0)->icon().isNull());
    EXPECT_EQ(Column(0), (std::vector<std::string>{"Not plot", "Not plot"})) << "the column texts stay";
}

}  // namespace
