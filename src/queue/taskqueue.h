// The task queue: the rows of the task list over the task folder, and every task-list operation
// that is not drawing (scan, job start and finish, the operator's commands, adding files).
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "queue/printworker.h"

class CMarquellDoc;

// Job states. Every state but NotPlot and Plotting counts as queued.
enum class ETaskStatus {
    NotPlot,   // held; never started automatically
    New,       // queued: a new file while automatic printing is on
    Waiting,   // queued by the Plot command, or a printed job with copies left
    Plotting,  // being printed; at most one row at a time
};
// The texts the task list shows for them (column 0).
const char* StatusText(ETaskStatus status);
// Column 3 until the job has been read.
inline constexpr const char* kSizeUnknown = "* * *";
// Column 4 of a row held because its print did not complete.
inline constexpr const char* kDetailsIncomplete = "the print did not complete";

struct CTaskRow {
    ETaskStatus m_eStatus = ETaskStatus::NotPlot;
    std::string m_strPath;  // identifies the row
    int m_nCopies = 1;      // 1 to 10
    std::string m_strSize = kSizeUnknown;
    std::string m_strDetails;
};

// What the queue asks of the window side. RowsChanged may come from the print worker's thread;
// everything else comes from the window thread.
class CTaskQueueObserver {
public:
    virtual ~CTaskQueueObserver() = default;
    virtual void RowsChanged() = 0;
    virtual void RepaintPreview() = 0;
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
    // A message for the status bar that must not stop an unattended queue.
    virtual void ShowProblem(const std::string& text) = 0;
};

class CTaskQueue : public CJobFinishedSink {
public:
    explicit CTaskQueue(CMarquellDoc& doc);
    CTaskQueue(const CTaskQueue&) = delete;
    CTaskQueue& operator=(const CTaskQueue&) = delete;

    // nullptr: nobody is told.
    void SetObserver(CTaskQueueObserver* pObserver) { m_pObserver = pObserver; }

    // A copy of the rows, safe from any thread.
    std::vector<CTaskRow> Rows() const;
    // Status of the row of this file; nothing when there is none.
    std::optional<ETaskStatus> StatusOf(const std::string& path) const;
    // The task folder with a trailing "/" (WORKPATH, relative paths taken from the program's directory).
    std::string TaskFolder() const;

    // The 3-second scan: lists new plot files of the task folder (creating the folder when missing),
    // then starts the first queued row while the plotter is idle. selectedPath: the selected row's
    // file, previewed in print layout when a job starts; empty when none is selected.
    void RefreshList(const std::string& selectedPath = std::string());
    // The print worker's finish handshake, on its thread: a printed copy counts down (the row and its file
    // go after the last one), an aborted job goes at once, and a print that did not complete (the
    // operator's No at the checksum question, the plotter's stop key, an abort that could not reach the
    // plotter) is held with its file and copies.
    void JobFinished(EJobOutcome outcome) override;

    // Commands on the selected row (path empty: no selection, the command does nothing).
    void Plot(const std::string& path);
    void Delete(const std::string& path);
    void Preview(const std::string& path);
    void OutputPreview(const std::string& path);
    void FinalView(const std::string& path);
    void AddCopy(const std::string& path);
    void RemoveCopy(const std::string& path);
    void MoveUp(const std::string& path);
    void MoveDown(const std::string& path);
    // Commands that need no selection.
    void Abort();
    void ScaleView();
    void UpdateConfiguration();

    // "Final(&F) Visualizar" in the context menu: only for the row being plotted while its print loop runs.
    bool CanFinalView(const std::string& path) const;

    // One of the five plot patterns (extension compared without regard to case).
    static bool IsPlotFile(const std::string& path);
    // Copies a chosen file into the task folder, renamed title_1.ext, title_2.ext, ... when the name is
    // taken, never overwriting; logs source and target. Returns the target, empty when the copy failed.
    std::string AddFile(const std::string& source);
    // The log line that closes every add-file dialog, OK or Cancel.
    static void LogAddFileDone();
    // First free name for a file called `name` in `folder` (folder ends with "/").
    static std::string FreeTargetName(const std::string& folder, const std::string& name);
    // "X=%0.4f(M),Y=%0.4f(M)".
    static std::string SizeText(float widthM, float lengthM);

private:
    void ScanFolder();
    bool StartNextJob(const std::string& selectedPath);
    bool StartJob(const std::string& path, const std::string& selectedPath);
    void JobNotStarted(const std::string& path, const std::string& reason);
    int FindRow(const std::string& path) const;  // caller holds m_Lock
    // Finds the row of path under the lock and lets change alter it; the view is told when change
    // returns true. False when there is no such row.
    template <class Change>
    bool ChangeRow(const std::string& path, Change change);
    void SetSize(const std::string& path, const std::string& size);
    void MoveRow(const std::string& path, int step);
    void PreviewSlot(const std::string& path, int slot, int viewMode, bool prepare);
    void Notify();
    void Repaint();

    CMarquellDoc& m_Doc;
    CTaskQueueObserver* m_pObserver = nullptr;
    // Rows and the print slot's path: the window thread and the worker's JobFinished both change them.
    mutable std::mutex m_Lock;
    std::vector<CTaskRow> m_Rows;
};
