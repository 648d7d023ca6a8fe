// Time left for the job in progress and the kept pace of the jobs before it.
#include "queue/jobpace.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "queue/queuestatefile.h"

namespace {

constexpr const char* kHeader = "tessaline-pace 1";

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

}  // namespace

void CJobPace::SetFolder(const std::string& folder)
{
    // A pace that cannot be read is none: the estimates start again from the dry run alone.
    std::string text;
    CQueueStateFile::ReadWhole(folder + kName, text);
    std::vector<Job> jobs;
    Parse(text, jobs);
    std::lock_guard<std::mutex> lock(m_Lock);
    m_strFolder = folder;
    m_Jobs = std::move(jobs);
}

void CJobPace::JobStarted(int64_t nowMs, int segments, int64_t estimateMs)
{
    std::lock_guard<std::mutex> lock(m_Lock);
    m_bRunning = true;
    m_nStartMs = nowMs;
    m_nSegments = segments;
    m_nEstimateMs = estimateMs;
    m_nFirstConfirmed = m_nConfirmed = 0;
    m_nFirstMs = m_nLastMs = nowMs;
}

void CJobPace::Observe(int64_t nowMs, int confirmed)
{
    std::lock_guard<std::mutex> lock(m_Lock);
    if (!m_bRunning || confirmed <= m_nConfirmed)
        return;
    if (m_nConfirmed == 0) {
        m_nFirstConfirmed = confirmed;
        m_nFirstMs = nowMs;
    }
    m_nConfirmed = confirmed;
    m_nLastMs = nowMs;
}

void CJobPace::JobEnded(int64_t nowMs, bool printedWhole)
{
    std::string folder, text;
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        if (!m_bRunning)
            return;
        m_bRunning = false;
        if (!printedWhole || m_nSegments < 1 || nowMs <= m_nStartMs)
            return;
        m_Jobs.push_back(Job{nowMs - m_nStartMs, m_nSegments, m_nEstimateMs});
        if (m_Jobs.size() > kKeep)
            m_Jobs.erase(m_Jobs.begin(), m_Jobs.end() - kKeep);
        folder = m_strFolder;
        text = Format(m_Jobs);
    }
    // A pace that cannot be kept costs only the next job's first estimate: nothing to tell the operator.
    if (!folder.empty())
        CQueueStateFile::WriteWhole(folder + kName, text);
}

int64_t CJobPace::TimeLeftMs(int64_t nowMs) const
{
    std::lock_guard<std::mutex> lock(m_Lock);
    if (!m_bRunning)
        return -1;
    if (m_nConfirmed >= m_nSegments)
        return 0;
    double endMs = 0;
    const int left = m_nSegments - m_nConfirmed;
    if (m_nConfirmed > m_nFirstConfirmed) {
        endMs = m_nLastMs + left * double(m_nLastMs - m_nFirstMs) / (m_nConfirmed - m_nFirstConfirmed);
    } else if (m_nConfirmed > 0) {
        // The colour bar went before the first segment, as long a transfer as a segment.
        endMs = m_nLastMs + left * double(m_nLastMs - m_nStartMs) / (m_nConfirmed + 1);
    } else if (const double ratio = RatioLocked(); m_nEstimateMs > 0 && ratio > 0) {
        endMs = m_nStartMs + m_nEstimateMs * ratio;
    } else if (const double pace = MsPerSegment(); pace > 0) {
        endMs = m_nStartMs + m_nSegments * pace;
    } else if (m_nEstimateMs > 0) {
        endMs = double(m_nStartMs + m_nEstimateMs);
    } else {
        return -1;
    }
    return std::max<int64_t>(0, static_cast<int64_t>(endMs) - nowMs);
}

double CJobPace::Ratio() const
{
    std::lock_guard<std::mutex> lock(m_Lock);
    const double ratio = RatioLocked();
    return ratio > 0 ? ratio : 1.0;
}

double CJobPace::RatioLocked() const
{
    std::vector<double> ratios;
    for (const Job& job : m_Jobs)
        if (job.m_nEstimateMs > 0)
            ratios.push_back(double(job.m_nMs) / double(job.m_nEstimateMs));
    return Median(ratios);
}

double CJobPace::MsPerSegment() const
{
    std::vector<double> paces;
    for (const Job& job : m_Jobs)
        paces.push_back(double(job.m_nMs) / job.m_nSegments);
    return Median(paces);
}

std::vector<CJobPace::Job> CJobPace::Jobs() const
{
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_Jobs;
}

std::string CJobPace::Format(const std::vector<Job>& jobs)
{
    std::ostringstream out;
    out << kHeader << "\n";
    for (const Job& job : jobs)
        out << "job\t" << job.m_nMs << "\t" << job.m_nSegments << "\t" << job.m_nEstimateMs << "\n";
    return out.str();
}

bool CJobPace::Parse(const std::string& text, std::vector<Job>& jobs)
{
    jobs.clear();
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line != kHeader)
        return false;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string tag;
        Job job;
        if (!(fields >> tag >> job.m_nMs >> job.m_nSegments >> job.m_nEstimateMs) || tag != "job" ||
            job.m_nMs <= 0 || job.m_nSegments < 1 || job.m_nEstimateMs < 0) {
            jobs.clear();
            return false;
        }
        jobs.push_back(job);
    }
    if (jobs.size() > kKeep)
        jobs.erase(jobs.begin(), jobs.end() - kKeep);
    return true;
}

std::string CJobPace::FormatDuration(int64_t ms)
{
    const int64_t total = ms <= 0 ? 0 : (ms + 999) / 1000;
    const int64_t h = total / 3600, m = total / 60 % 60, s = total % 60;
    char text[32];
    if (h > 0)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(h), static_cast<long long>(m),
                      static_cast<long long>(s));
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(m), static_cast<long long>(s));
    return text;
}
