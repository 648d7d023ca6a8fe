// Status lines of tessaline-cli queue.
#include "queuestatus.h"

#include <algorithm>
#include <cstdlib>

namespace {

const CTaskRow* Find(const std::vector<CTaskRow>& rows, const std::string& path)
{
    auto it = std::find_if(rows.begin(), rows.end(), [&](const CTaskRow& r) { return r.m_strPath == path; });
    return it == rows.end() ? nullptr : &*it;
}

bool Queued(ETaskStatus status)
{
    return status == ETaskStatus::New || status == ETaskStatus::Waiting;
}

std::string WithDetails(std::string text, const CTaskRow& row)
{
    if (!row.m_strDetails.empty())
        text += ": " + row.m_strDetails;
    return text;
}

}  // namespace

void CQueueStatus::RowsChanged()
{
    std::lock_guard<std::mutex> lock(m_Lock);
    Compare(m_Queue.Rows());
}

void CQueueStatus::Compare(const std::vector<CTaskRow>& rows)
{
    for (const CTaskRow& row : rows) {
        const CTaskRow* pOld = Find(m_Rows, row.m_strPath);
        const std::string& path = row.m_strPath;
        if (pOld && pOld->m_eStatus == row.m_eStatus && pOld->m_strDetails == row.m_strDetails &&
            pOld->m_nCopies == row.m_nCopies)
            continue;
        if (row.m_eStatus == ETaskStatus::Plotting) {
            if (!pOld || pOld->m_eStatus != ETaskStatus::Plotting) {
                Emit("started " + path + (row.m_nCopies > 1 ? ", " + std::to_string(row.m_nCopies) + " copies" : ""));
                m_strPlotting = path;
                m_nStep = 0;
            }
        } else if (pOld && pOld->m_eStatus == ETaskStatus::Plotting && Queued(row.m_eStatus)) {
            Emit("finished " + path + ", " + std::to_string(row.m_nCopies) + " more to print");
        } else if (row.m_eStatus == ETaskStatus::NotPlot) {
            Emit(WithDetails("held " + path, row));
        } else if (Queued(row.m_eStatus)) {
            Emit(WithDetails("queued " + path, row));
        } else {
            Emit(WithDetails(std::string(StatusText(row.m_eStatus)) + " " + path, row));
        }
        if (pOld && pOld->m_eStatus == ETaskStatus::Plotting && row.m_eStatus != ETaskStatus::Plotting)
            m_strPlotting.clear();
    }
    for (const CTaskRow& old : m_Rows) {
        if (Find(rows, old.m_strPath))
            continue;
        Emit((old.m_eStatus == ETaskStatus::Plotting ? "finished " : "removed ") + old.m_strPath);
        if (old.m_strPath == m_strPlotting)
            m_strPlotting.clear();
    }
    m_Rows = rows;
}

void CQueueStatus::Progress(const std::string& percent)
{
    std::lock_guard<std::mutex> lock(m_Lock);
    const int step = std::atoi(percent.c_str()) / 10 * 10;
    if (m_strPlotting.empty() || step <= m_nStep)
        return;
    m_nStep = step;
    Emit("printing " + m_strPlotting + " " + std::to_string(step) + "%");
}

void CQueueStatus::Link(bool connected)
{
    std::lock_guard<std::mutex> lock(m_Lock);
    if (m_nLink == int(connected))
        return;
    m_nLink = int(connected);
    Emit(connected ? "plotter online" : "plotter offline");
}

void CQueueStatus::Line(const std::string& text)
{
    std::lock_guard<std::mutex> lock(m_Lock);
    Emit(text);
}

void CQueueStatus::Emit(const std::string& text)
{
    std::fprintf(m_pOut, "%s\n", text.c_str());
    std::fflush(m_pOut);
}
