// The status texts the window thread copies into the status bar once a second.
#pragma once

#include <mutex>
#include <string>

// The status bar panes whose texts the link, the worker and the task list write.
enum EStatusPane {
    PanePercent = 2,  // progress of the job
    PaneLink = 3,     // "Online" or "Offline"
    PaneTask = 4,     // "Waiting", "Plotting", "Finished"
    PaneFile = 5,     // the job's file
    PaneMachine = 6,  // "Stopped", "Plot", "结束"
};

// Five texts addressed by the number of the status bar pane that shows them (2 to 6). Every write and
// every read copies a whole text under one short lock, so no reader sees a text half written.
class CStatusText {
public:
    CStatusText() { Reset(); }
    CStatusText(const CStatusText&) = delete;
    CStatusText& operator=(const CStatusText&) = delete;

    // Back to the start-up texts.
    void Reset();
    // Panes 2 to 6; any other pane number is ignored. Texts are UTF-8.
    void SetText(int pane, const std::string& text);
    // The current text of a pane; empty for a pane number outside 2 to 6.
    std::string GetText(int pane) const;

private:
    std::string* Field(int pane);

    mutable std::mutex m_Lock;
    std::string m_strPercent;  // pane 2
    std::string m_strLink;     // pane 3
    std::string m_strTask;     // pane 4
    std::string m_strFile;     // pane 5
    std::string m_strMachine;  // pane 6
};

extern CStatusText gStatusText;
