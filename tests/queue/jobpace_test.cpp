// The time left for a job, from its own pace or the kept pace of the jobs before it, and the kept file.
#include "queue/jobpace.h"
#include "taskqueuefixture.h"

namespace {

using Job = CJobPace::Job;

}  // namespace

TEST(JobPace, TimeLeftComesFromTheJobsOwnPaceOnceASegmentIsConfirmed)
{
    // A job of 10 segments starting at t = 1000 ms; observations are (time, confirmed segments).
    const struct {
        const char* what;
        std::vector<Job> kept;
        int64_t estimateMs;
        std::vector<std::pair<int64_t, int>> seen;
        int64_t nowMs;
        int64_t left;
    } cases[] = {
        {"nothing known yet", {}, 0, {}, 1000, -1},
        {"the dry run's time alone", {}, 30000, {}, 6000, 25000},
        {"the dry run's time times the kept ratio (median of 2, 8, 2)",
         {{3000, 2, 1500}, {8000, 4, 1000}, {16000, 8, 8000}}, 30000, {}, 1000, 60000},
        {"kept jobs without estimates: their time per segment (median 2000)",
         {{4000, 2, 0}, {3000, 1, 0}, {20000, 10, 0}}, 30000, {}, 1000, 20000},
        {"one segment: colour bar and segment took 6 s, 9 to go at 3 s", {}, 30000, {{7000, 1}}, 8000, 26000},
        {"segments 1 to 4 seen at 2.5 s a segment", {}, 30000, {{7000, 1}, {9500, 2}, {14500, 4}}, 15000, 14500},
        {"overdue: none left to show", {}, 30000, {{7000, 1}, {9500, 2}}, 60000, 0},
        {"first seen at 3 segments: 4 transfers in 8 s", {}, 30000, {{9000, 3}}, 9000, 14000},
        {"every segment confirmed", {}, 30000, {{7000, 5}, {9000, 10}}, 9000, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string dir = TestTempDir("jobpace").string() + "/";
        std::filesystem::create_directories(dir);
        std::ofstream(dir + CJobPace::kName) << CJobPace::Format(c.kept);
        CJobPace pace;
        pace.SetFolder(dir);
        EXPECT_EQ(pace.TimeLeftMs(1000), -1) << "no job";
        pace.JobStarted(1000, 10, c.estimateMs);
        for (const auto& [ms, confirmed] : c.seen)
            pace.Observe(ms, confirmed);
        EXPECT_EQ(pace.TimeLeftMs(c.nowMs), c.left);
        pace.JobEnded(c.nowMs, false);
        EXPECT_EQ(pace.TimeLeftMs(c.nowMs), -1) << "after the job";
        EXPECT_EQ(pace.Jobs(), c.kept) << "a job not printed whole is not kept";
        std::filesystem::remove_all(dir);
    }
}

TEST(JobPace, TheLastJobsPrintedWholeAreKeptInTheFolder)
{
    const std::string dir = TestTempDir("jobpace").string() + "/";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    CJobPace pace;
    pace.SetFolder(dir);
    EXPECT_DOUBLE_EQ(pace.Ratio(), 1.0) << "before any job";
    for (int i = 1; i <= 7; ++i) {
        pace.JobStarted(0, i, 1000 * i);
        pace.JobEnded(1100 * i, true);
    }
    const std::vector<Job> kept = pace.Jobs();
    ASSERT_EQ(kept.size(), CJobPace::kKeep);
    EXPECT_EQ(kept.front(), (Job{3300, 3, 3000}));
    EXPECT_EQ(kept.back(), (Job{7700, 7, 7000}));
    EXPECT_NEAR(pace.Ratio(), 1.1, 1e-9);

    CJobPace again;
    again.SetFolder(dir);
    EXPECT_EQ(again.Jobs(), kept) << "read back by the next start";

    for (const char* damaged : {"", "tessaline-pace 2\n", "tessaline-pace 1\njob\t100\t0\t10\n",
                                "tessaline-pace 1\njob\t100\t2\n", "tessaline-pace 1\nrow\t1\t1\t1\n"}) {
        std::vector<Job> jobs{{1, 1, 1}};
        EXPECT_FALSE(CJobPace::Parse(damaged, jobs)) << damaged;
        EXPECT_TRUE(jobs.empty());
    }
    std::filesystem::remove_all(dir);
}

TEST(JobPace, DurationsReadAsMinutesAndSecondsOrHours)
{
    const std::pair<int64_t, const char*> cases[] = {{0, "0:00"},          {1, "0:01"},       {40200, "0:41"},
                                                     {60000, "1:00"},      {725000, "12:05"}, {3599000, "59:59"},
                                                     {3723000, "1:02:03"}, {-5, "0:00"}};
    for (const auto& [ms, text] : cases)
        EXPECT_EQ(CJobPace::FormatDuration(ms), text) << ms;
}

// The queue starts a job with the dry run's time it was given for the file, follows the plotter's confirmed
// segments, and keeps the printed job's pace for the next start.
TEST_F(TaskQueueTest, APrintedJobsPaceIsKeptForTheJobsAfterIt)
{
    const std::string path = Task("a.plt");
    m_pQueue->RefreshList();
    m_pQueue->SetEstimate(path, 20000);
    m_pQueue->RefreshList();
    ASSERT_EQ(Column(0), (std::vector<std::string>{"Plotting"}));
    CJobLayout& layout = m_pDoc->m_Layout[SlotPrint];
    const int segments = layout.m_nSectionCount / layout.m_nPassesPerSegment;
    ASSERT_GT(segments, 2);
    EXPECT_EQ(m_pQueue->TimeLeftMs(), 20000) << "the dry run's time before any job was kept";

    m_Clock.Advance(4000);
    layout.m_nSectionCursor = layout.m_nPassesPerSegment;
    EXPECT_EQ(m_pQueue->TimeLeftMs(), (segments - 1) * 2000) << "colour bar and first segment took 4 s";
    m_Clock.Advance(20000);
    WorkerFinishes();
    EXPECT_EQ(m_pQueue->TimeLeftMs(), -1);
    ASSERT_EQ(m_pQueue->Pace().Jobs().size(), 1u);
    EXPECT_EQ(m_pQueue->Pace().Jobs()[0], (Job{24000, segments, 20000}));

    Restart();
    m_pQueue->RefreshList();
    EXPECT_NEAR(m_pQueue->Pace().Ratio(), 1.2, 1e-9) << "read from the task folder";
}
