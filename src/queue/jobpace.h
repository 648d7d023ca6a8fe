// The pace of this installation's jobs: the time left for the job in progress, and how long printed jobs
// took against the dry run's estimate. The last jobs are kept in a small file beside the queue's state.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

class CJobPace {
public:
    // Not one of the plot patterns, so no scan lists it as a job.
    static constexpr const char* kName = ".tessaline-pace";
    // Jobs kept; the medians below shrug off one that waited at the plotter's pause key.
    static constexpr size_t kKeep = 5;

    // A job printed whole: its real time, its segments (colour bar not counted) and the dry run's time
    // for it (0 when it was not known).
    struct Job {
        int64_t m_nMs = 0;
        int m_nSegments = 0;
        int64_t m_nEstimateMs = 0;
        bool operator==(const Job&) const = default;
    };

    // The folder (ending with "/") whose file keeps the jobs; the jobs kept there are read.
    void SetFolder(const std::string& folder);

    // A job starts at nowMs with this many segments and the dry run's time for it (0: not known).
    void JobStarted(int64_t nowMs, int segments, int64_t estimateMs);
    // The segments confirmed so far by the plotter; the times at which the count is seen to rise give the
    // job's own pace, so call it as often as the time left is wanted.
    void Observe(int64_t nowMs, int confirmed);
    // The job ends; one printed whole is kept (and the file written when a folder is set).
    void JobEnded(int64_t nowMs, bool printedWhole);

    // Milliseconds left for the job in progress: from its own pace once a segment was confirmed, before that
    // from the kept jobs (the dry run's time times their ratio, else their time per segment). -1 when no job
    // runs or nothing tells.
    int64_t TimeLeftMs(int64_t nowMs) const;
    // Real time over the dry run's time, the median of the kept jobs that had an estimate; 1 without one.
    double Ratio() const;
    std::vector<Job> Jobs() const;

    static std::string Format(const std::vector<Job>& jobs);
    // False when the text is not such a file; the jobs are then empty.
    static bool Parse(const std::string& text, std::vector<Job>& jobs);
    // "0:41", "12:05", "1:02:03": minutes and seconds, hours once there are any; a started second counts.
    static std::string FormatDuration(int64_t ms);

private:
    double MsPerSegment() const;  // caller holds m_Lock; 0 without kept jobs
    double RatioLocked() const;   // caller holds m_Lock; 0 without kept estimates

    mutable std::mutex m_Lock;
    std::string m_strFolder;
    std::vector<Job> m_Jobs;
    bool m_bRunning = false;
    int64_t m_nStartMs = 0;
    int m_nSegments = 0;
    int64_t m_nEstimateMs = 0;
    // The first and the last rise of the confirmed segments seen: how many, and when.
    int m_nFirstConfirmed = 0;
    int64_t m_nFirstMs = 0;
    int m_nConfirmed = 0;
    int64_t m_nLastMs = 0;
};
