// The task queue: the rows of the task list over the task folder, and every task-list operation
// that is not drawing (scan, job start and finish, the operator's commands, adding files).
#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "queue/fileops.h"
#include "queue/jobpace.h"
#include "queue/printworker.h"
#include "queue/taskfolderwatch.h"

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
// Column 4 of a row whose file has not yet kept its size and time from one scan to the next.
inline constexpr const char* kDetailsArriving = "the file is still arriving";
// Column 4 of a row held because the program ended while it printed.
inline constexpr const char* kDetailsInterrupted = "interrupted";
// Column 4 of a row held because its file gives nothing to print.
inline constexpr const char* kDetailsNoDrawing = "the file holds no drawing";
// Column 4 of a row queued again because its file was replaced by another version.
inline constexpr const char* kDetailsReplaced = "the file was replaced by a new version";
// Column 4 of a row printed to its last copy whose file could not be removed (followed by the reason).
inline constexpr const char* kDetailsNotRemoved = "plotted; the file cannot be removed";

struct CTaskRow {
    ETaskStatus m_eStatus = ETaskStatus::NotPlot;
    std::string m_strPath;  // identifies the row
    int m_nCopies = 1;      // 1 to 10
    std::string m_strSize = kSizeUnknown;
    std::string m_strDetails;

    // The file behind the row, as the scans saw it. A job starts only once its file has kept its size
    // and time from one scan to the next (a copy over a share takes far longer than the reader waits).
    CFileStamp m_Seen;
    bool m_bSeen = false;
    bool m_bSettled = false;
    // The version read when the job started: only that version is removed after the last copy.
    CFileStamp m_Read;
    // Printed to its last copy, but its file is still there: held, and removed as soon as that works.
    bool m_bPlotted = false;
    // The dry run's time for the file as it is now (0 until the window side has it), for the job's pace.
    int64_t m_nEstimateMs = 0;
};

// What the queue asks of the window side. RowsChanged and ShowProblem may come from the print worker's
// thread; everything else comes from the window thread.
class CTaskQueueObserver {
public:
    virtual ~CTaskQueueObserver() = default;
    virtual void RowsChanged() = 0;
    virtual void RepaintPreview() = 0;
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
    // A message for the status bar that must not stop an unattended queue (the log has it too).
    virtual void ShowProblem(const std::string& text) = 0;
};

class CTaskQueue : public CJobFinishedSink {
public:
    explicit CTaskQueue(CMarquellDoc& doc);
    CTaskQueue(const CTaskQueue&) = delete;
    CTaskQueue& operator=(const CTaskQueue&) = delete;

    // nullptr: nobody is told.
    void SetObserver(CTaskQueueObserver* pObserver) { m_pObserver = pObserver; }
    // The file operations that decide about removals (nullptr: the real file system).
    void SetFileOps(CFileOps* pOps) { m_pOps = pOps ? pOps : &SystemFileOps(); }

    // A copy of the rows, safe from any thread.
    std::vector<CTaskRow> Rows() const;
    // Status of the row of this file; nothing when there is none.
    std::optional<ETaskStatus> StatusOf(const std::string& path) const;
    // The task folder with a trailing "/" (WORKPATH; the layout's default folder when empty, a relative
    // path taken from the layout's base folder).
    std::string TaskFolder() const;

    // The 3-second scan: lists new plot files of the task folder, then starts the first queued row whose
    // file is whole while the plotter is idle. The first scan creates a task folder that is not there and
    // restores the rows kept in its state file; a folder that goes later is waited for, rows untouched.
    // selectedPath: the selected row's file, previewed in print layout when a job starts; empty when
    // none is selected.
    void RefreshList(const std::string& selectedPath = std::string());
    // The print worker's finish handshake, on its thread: a printed copy counts down (the row and its file
    // go after the last one), an aborted job goes at once, and a print that did not complete (the
    // operator's No at the checksum question, the plotter's stop key, an abort that could not reach the
    // plotter) is held with its file and copies. Only the version of the file that was read is removed; a
    // file that cannot be removed keeps its row, held, so that it is never printed again by itself.
    void JobFinished(EJobOutcome outcome) override;
    // True while the task folder, seen before, is not there.
    bool FolderMissing() const;
    // The program has taken the task folder (its lock, which makes a missing folder): from now on a scan
    // that misses it waits for it, even before the first scan has seen it.
    void FolderTaken();

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

    // The dry run's time for a row's file, as the window side learnt it.
    void SetEstimate(const std::string& path, int64_t estimateMs);
    // Time left for the job in progress in milliseconds; -1 when no job prints or nothing tells yet.
    int64_t TimeLeftMs();
    // The pace of the jobs printed so far (kept in the task folder).
    const CJobPace& Pace() const { return m_Pace; }

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
    // How the removal of a printed file ended.
    enum class ERetire { Removed, Kept, Replaced };

    void ScanFolder();
    // Rows kept in the folder's state file, for the files listed (names). Caller holds both locks.
    bool RestoreState(const std::string& folder, const std::vector<std::string>& names);
    // A listed file's row notes its size and time; a new file gets a row. Caller holds m_Lock.
    bool TrackFile(const std::string& path, ETaskStatus newStatus);
    // Rows whose files the listing no longer has count as settled. Caller holds m_Lock.
    bool SettleVanishedFiles(const std::string& folder, const std::vector<std::string>& names);
    bool StartNextJob(const std::string& selectedPath);
    bool StartJob(const std::string& path, ETaskStatus before, const std::string& selectedPath);
    void JobNotStarted(const std::string& path, const std::string& reason);
    // The job's file changed while it was read (it waits to settle again), or its folder went (it waits
    // for the folder): the row is queued as it was, not held.
    void PutBack(const std::string& path, ETaskStatus before, bool folderGone);
    // Removes the printed version of a row's file; the row is marked plotted, held with the reason when
    // the file stays, and queued as a new job when another version has taken its place. Caller holds m_Lock.
    ERetire RetireLocked(CTaskRow& row, std::vector<std::string>& problems);
    bool RetryRemovals(std::vector<std::string>& problems);  // caller holds m_Lock
    void QueueAsNew(CTaskRow& row, const CFileStamp& now);    // caller holds m_Lock
    void Report(const std::vector<std::string>& problems);
    void Report(const std::string& problem);
    void SaveState();
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
    CFileOps* m_pOps = &SystemFileOps();
    // Rows and the print slot's path: the window thread and the worker's JobFinished both change them.
    mutable std::mutex m_Lock;
    std::vector<CTaskRow> m_Rows;
    CTaskFolderWatch m_Folder;  // under m_Lock
    // The state file: read at the first scan, written whenever the rows it keeps change.
    std::mutex m_StateLock;  // taken before m_Lock, never inside it
    bool m_bRestored = false;
    std::string m_strStateFolder;  // the folder the state is kept for, set by the scan
    std::string m_strSavedState;
    std::string m_strStateProblem;
    CJobPace m_Pace;
};
