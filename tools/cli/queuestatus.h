// The headless queue's status lines on stdout: one line per change of a row, of the printing job's
// progress (in steps of 10 %) and of the link, for a terminal or the journal of a service.
#pragma once

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "queue/taskqueue.h"

class CQueueStatus : public CTaskQueueObserver {
public:
    CQueueStatus(const CTaskQueue& queue, FILE* out) : m_Queue(queue), m_pOut(out) {}

    // Any thread: compares the rows with the last ones seen and says what changed.
    void RowsChanged() override;
    void RepaintPreview() override {}
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    void ShowProblem(const std::string& text) override { Line(text); }

    // The worker's progress refresh: the percent text of the progress pane ("37%").
    void Progress(const std::string& percent);
    void Link(bool connected);
    // One whole line, flushed at once.
    void Line(const std::string& text);

private:
    void Compare(const std::vector<CTaskRow>& rows);  // caller holds m_Lock
    void Emit(const std::string& text);               // caller holds m_Lock

    const CTaskQueue& m_Queue;
    FILE* m_pOut;
    std::mutex m_Lock;
    std::vector<CTaskRow> m_Rows;
    std::string m_strPlotting;
    int m_nStep = 0;
    int m_nLink = -1;
};
