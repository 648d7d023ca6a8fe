// The task queue over the task folder: scan, job start and finish, commands, adding files.
#include "queue/taskqueue.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <set>
#include <system_error>

#include "document/marquelldoc.h"
#include "link/linkwatch.h"
#include "link/printerstatus.h"
#include "link/usbcommand.h"
#include "link/workerflags.h"
#include "platform/clock.h"
#include "platform/gbk.h"
#include "platform/logwriter.h"
#include "platform/windowbridge.h"
#include "queue/queuestatefile.h"

namespace fs = std::filesystem;

namespace {

// Scan order of the five patterns.
constexpr const char* kPatterns[] = {"plt", "pla", "hpgl", "hpg", "prt"};
constexpr int kPatternCount = 5;
constexpr int kMaxCopies = 10;

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

// Index of the pattern a file name matches, -1 for none. CAD systems and shares write the extension in
// either case (CUT.PLT, cut.plt), and both are jobs.
int PatternOf(const std::string& name)
{
    const std::string ext = Lower(fs::path(name).extension().string());
    for (int i = 0; i < kPatternCount; ++i)
        if (ext.size() > 1 && ext.compare(1, std::string::npos, kPatterns[i]) == 0)
            return i;
    return -1;
}

bool Taken(const fs::path& p)
{
    std::error_code ec;
    const fs::file_type type = fs::symlink_status(p, ec).type();
    return type != fs::file_type::not_found && type != fs::file_type::none;
}

std::string FolderOf(const std::string& path)
{
    return fs::path(path).parent_path().generic_string();
}

bool IsGone(const std::error_code& ec)
{
    return ec == std::errc::no_such_file_or_directory;
}

void LogLine(const std::string& text)
{
    WriteLog(Utf8ToGbk(text) + "\r\n");
}

// Why a file stays after a failed removal (or the stat before it); empty when it is gone. A file missing
// from a folder that is there is gone; one whose folder went is not.
std::string WhyItStays(const std::error_code& ec, const std::string& path)
{
    if (!ec || (IsGone(ec) && CTaskFolderWatch::IsFolder(FolderOf(path))))
        return std::string();
    return IsGone(ec) ? "the task folder is missing" : ec.message();
}

// Plot files of the folder, by pattern, each pattern's names sorted. Directory order is arbitrary;
// sorting keeps the row order the same on every scan and every file system, so jobs start in an order
// the operator can predict.
std::vector<std::string> ListPlotFiles(const std::string& folder, std::error_code& ec)
{
    std::vector<std::string> names[kPatternCount];
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeEc;
        if (!it->is_regular_file(typeEc))
            continue;
        std::string name = it->path().filename().string();
        int pattern = PatternOf(name);
        if (pattern >= 0)
            names[pattern].push_back(std::move(name));
    }
    std::vector<std::string> all;
    for (auto& list : names) {
        std::sort(list.begin(), list.end(), [](const std::string& x, const std::string& y) {
            const std::string lx = Lower(x), ly = Lower(y);
            return lx != ly ? lx < ly : x < y;
        });
        all.insert(all.end(), list.begin(), list.end());
    }
    return all;
}

}  // namespace

const char* StatusText(ETaskStatus status)
{
    switch (status) {
    case ETaskStatus::NotPlot: return "Not plot";
    case ETaskStatus::New: return "Waitting";
    case ETaskStatus::Waiting: return "Waiting";
    case ETaskStatus::Plotting: return "Plotting";
    }
    return "";
}

CTaskQueue::CTaskQueue(CMarquellDoc& doc) : m_Doc(doc) {}

std::vector<CTaskRow> CTaskQueue::Rows() const
{
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_Rows;
}

std::optional<ETaskStatus> CTaskQueue::StatusOf(const std::string& path) const
{
    std::lock_guard<std::mutex> lock(m_Lock);
    int i = FindRow(path);
    return i < 0 ? std::nullopt : std::optional(m_Rows[i].m_eStatus);
}

template <class Change>
bool CTaskQueue::ChangeRow(const std::string& path, Change change)
{
    bool changed;
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        int i = FindRow(path);
        if (i < 0)
            return false;
        changed = change(m_Rows[i]);
    }
    if (changed)
        Notify();
    return true;
}

int CTaskQueue::FindRow(const std::string& path) const
{
    if (path.empty())
        return -1;
    for (size_t i = 0; i < m_Rows.size(); ++i)
        if (m_Rows[i].m_strPath == path)
            return int(i);
    return -1;
}

std::string CTaskQueue::TaskFolder() const
{
    return m_Doc.m_Paths.TaskFolder(m_Doc.m_UserDefine.WORKPATH);
}

bool CTaskQueue::IsPlotFile(const std::string& path)
{
    return PatternOf(fs::path(path).filename().string()) >= 0;
}

std::string CTaskQueue::SizeText(float widthM, float lengthM)
{
    char buf[96];
    std::snprintf(buf, sizeof buf, "X=%0.4f(M),Y=%0.4f(M)", double(widthM), double(lengthM));
    return buf;
}

void CTaskQueue::Notify()
{
    if (m_pObserver)
        m_pObserver->RowsChanged();
    SaveState();
}

void CTaskQueue::Report(const std::string& problem)
{
    LogLine(problem);
    if (m_pObserver)
        m_pObserver->ShowProblem(problem);
}

void CTaskQueue::Report(const std::vector<std::string>& problems)
{
    for (const std::string& problem : problems)
        Report(problem);
}

bool CTaskQueue::FolderMissing() const
{
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_Folder.Missing();
}

void CTaskQueue::FolderTaken()
{
    std::lock_guard<std::mutex> lock(m_Lock);
    m_Folder.Seen(TaskFolder());
}

void CTaskQueue::Repaint()
{
    if (m_pObserver)
        m_pObserver->RepaintPreview();
}

void CTaskQueue::RefreshList(const std::string& selectedPath)
{
    ScanFolder();
    StartNextJob(selectedPath);
}

// The listing and the appending happen under the lock that JobFinished holds while it deletes a
// finished file, so a scan never lists a file whose row was just retired.
void CTaskQueue::ScanFolder()
{
    const std::string folder = TaskFolder();
    const ETaskStatus status = m_Doc.m_UserDefine.PRINTAUTO ? ETaskStatus::New : ETaskStatus::NotPlot;
    std::vector<std::string> problems;
    bool changed = false;
    bool missing = false;
    {
        std::lock_guard<std::mutex> state(m_StateLock);
        std::lock_guard<std::mutex> lock(m_Lock);
        if (m_Folder.Check(folder, problems)) {
            std::error_code ec;
            const std::vector<std::string> names = ListPlotFiles(folder, ec);
            if (ec)
                m_Folder.Problem("Cannot list the task folder " + folder + ": " + ec.message(), problems);
            else
                m_Folder.ProblemGone();
            if (!m_bRestored || m_strStateFolder != folder) {
                m_strStateFolder = folder;
                m_strSavedState.clear();
                changed |= RestoreState(folder, names);
                m_Pace.SetFolder(folder);
                m_bRestored = true;
            }
            for (const std::string& name : names)
                changed |= TrackFile(folder + name, status);
            changed |= SettleVanishedFiles(folder, names);
            changed |= RetryRemovals(problems);
        }
        missing = m_Folder.Missing();
    }
    Report(problems);
    // Said on every scan while it lasts, so that no other message hides it; logged once.
    if (missing && problems.empty() && m_pObserver)
        m_pObserver->ShowProblem(CTaskFolderWatch::MissingText(folder));
    if (changed)
        Notify();
    else
        SaveState();
}

// Rows of the state file come back in their order, for the files still there; a job that was printing
// when the program ended comes back held, since how much of it was printed is unknown.
bool CTaskQueue::RestoreState(const std::string& folder, const std::vector<std::string>& names)
{
    std::string text;
    std::vector<CTaskRow> saved;
    std::string error;
    if (std::error_code ec = CQueueStateFile::Read(folder, text)) {
        LogLine(IsGone(ec) ? "Queue state: none in " + folder + "; the rows come from the folder"
                           : "Queue state in " + folder + " ignored: it cannot be read (" + ec.message() + ")");
        return false;
    }
    if (!CQueueStateFile::Parse(text, folder, saved, error)) {
        LogLine("Queue state in " + folder + " ignored: " + error);
        return false;
    }
    const std::set<std::string> present(names.begin(), names.end());
    int restored = 0;
    for (CTaskRow& row : saved) {
        if (!present.count(row.m_strPath.substr(folder.size())) || FindRow(row.m_strPath) >= 0)
            continue;
        if (row.m_eStatus == ETaskStatus::Plotting) {
            row.m_eStatus = ETaskStatus::NotPlot;
            row.m_strDetails = kDetailsInterrupted;
            LogLine("Held " + row.m_strPath + ": " + kDetailsInterrupted);
        }
        m_Rows.push_back(std::move(row));
        ++restored;
    }
    LogLine("Queue state in " + folder + " restored: " + std::to_string(restored) + " row(s)");
    return restored > 0;
}

bool CTaskQueue::TrackFile(const std::string& path, ETaskStatus newStatus)
{
    CFileStamp now;
    const std::error_code ec = m_pOps->Stat(path, now);
    const int i = FindRow(path);
    if (i < 0) {
        if (ec)
            return false;
        CTaskRow row;
        row.m_eStatus = newStatus;
        row.m_strPath = path;
        row.m_Seen = now;
        row.m_bSeen = true;
        row.m_strDetails = kDetailsArriving;
        m_Rows.push_back(std::move(row));
        return true;
    }
    CTaskRow& row = m_Rows[size_t(i)];
    if (ec || row.m_eStatus == ETaskStatus::Plotting)
        return false;
    if (!row.m_bSeen || !now.SameFile(row.m_Seen)) {
        const bool firstLook = !row.m_bSeen;
        row.m_Seen = now;
        row.m_bSeen = true;
        row.m_bSettled = false;
        if (firstLook || !row.m_strDetails.empty())
            return false;
        row.m_strDetails = kDetailsArriving;
        return true;
    }
    if (row.m_bSettled)
        return false;
    row.m_bSettled = true;
    if (row.m_strDetails != kDetailsArriving)
        return false;
    row.m_strDetails.clear();
    return true;
}

// A file that is gone is not arriving any more: its row may start, and its start says it was not found.
bool CTaskQueue::SettleVanishedFiles(const std::string& folder, const std::vector<std::string>& names)
{
    const std::set<std::string> listed(names.begin(), names.end());
    bool changed = false;
    for (CTaskRow& row : m_Rows) {
        if (row.m_bSettled || row.m_eStatus == ETaskStatus::Plotting ||
            (row.m_strPath.compare(0, folder.size(), folder) == 0 && listed.count(row.m_strPath.substr(folder.size()))))
            continue;
        row.m_bSettled = true;
        if (row.m_strDetails == kDetailsArriving) {
            row.m_strDetails.clear();
            changed = true;
        }
    }
    return changed;
}

// Starts the first queued row whose file is whole while no job prints. A row whose file cannot be
// prepared is put back on hold and the next queued row is tried, so one bad file never stops the queue. After
// a job was given up on a plotter that could not be reached, nothing starts until the plotter answers again.
bool CTaskQueue::StartNextJob(const std::string& selectedPath)
{
    for (;;) {
        std::string path;
        ETaskStatus before = ETaskStatus::New;
        {
            std::lock_guard<std::mutex> lock(m_Lock);
            if (gPrinterStatus.m_bPrinting || m_Folder.Missing() || gLinkWatch.KnownDown())
                return false;
            for (CTaskRow& row : m_Rows) {
                if (row.m_eStatus == ETaskStatus::Plotting) {
                    gPrinterStatus.m_bPrinting = true;
                    return false;
                }
                if (row.m_eStatus == ETaskStatus::NotPlot || !row.m_bSettled)
                    continue;
                before = row.m_eStatus;
                row.m_eStatus = ETaskStatus::Plotting;
                row.m_strDetails.clear();
                gPrinterStatus.m_bPrinting = true;
                path = row.m_strPath;
                break;
            }
        }
        if (path.empty())
            return false;
        Notify();
        if (StartJob(path, before, selectedPath))
            return true;
    }
}

bool CTaskQueue::StartJob(const std::string& path, ETaskStatus before, const std::string& selectedPath)
{
    // The version read is the one the job prints and, after its last copy, the one removed.
    CFileStamp read;
    if (std::error_code ec = m_pOps->Stat(path, read)) {
        if (IsGone(ec) && !CTaskFolderWatch::IsFolder(FolderOf(path)))
            PutBack(path, before, true);
        else
            JobNotStarted(path, IsGone(ec) ? LoadErrorText(ELoadError::Missing)
                                           : std::string(LoadErrorText(ELoadError::Unreadable)) + " (" +
                                                 ec.message() + ")");
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        m_Doc.m_strSlotPath[SlotPrint] = path;
    }
    gStatusText.SetText(PaneFile, path);
    const CPltFileData& plt = m_Doc.m_PltData[SlotPrint];
    if (!m_Doc.PrepareJob(SlotPrint)) {
        if (plt.LastError() == ELoadError::Missing && !CTaskFolderWatch::IsFolder(FolderOf(path)))
            PutBack(path, before, true);
        else
            JobNotStarted(path, plt.LastErrorText());
        return false;
    }
    CFileStamp after;
    if (!m_pOps->Stat(path, after) && !after.SameFile(read)) {
        PutBack(path, before, false);
        return false;
    }
    switch (m_Doc.SetUpPrint()) {
    case EPrintSetup::Ready: break;
    case EPrintSetup::NoDrawing: JobNotStarted(path, kDetailsNoDrawing); return false;
    case EPrintSetup::NoPrintData: JobNotStarted(path, "its print data cannot be allocated"); return false;
    }
    int64_t estimateMs = 0;
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        if (int i = FindRow(path); i >= 0) {
            m_Rows[size_t(i)].m_Read = read;
            estimateMs = m_Rows[size_t(i)].m_nEstimateMs;
        }
    }
    const CJobLayout& layout = m_Doc.m_Layout[SlotPrint];
    m_Pace.JobStarted(GetClock().Now(), layout.SegmentCount(), estimateMs);
    gPrinterStatus.RequestPrint();
    m_Doc.m_nViewMode = ViewPreview;
    if (!selectedPath.empty())
        OutputPreview(selectedPath);
    Repaint();
    SetSize(path, SizeText(layout.m_fWidthM, layout.m_fLengthM));
    return true;
}

void CTaskQueue::JobNotStarted(const std::string& path, const std::string& reason)
{
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        m_Doc.m_strSlotPath[SlotPrint].clear();
        int i = FindRow(path);
        if (i >= 0) {
            m_Rows[size_t(i)].m_eStatus = ETaskStatus::NotPlot;
            m_Rows[size_t(i)].m_strDetails = reason;
        }
        gPrinterStatus.m_bPrinting = false;
    }
    Notify();
    Report("Cannot plot " + path + ": " + reason);
}

void CTaskQueue::PutBack(const std::string& path, ETaskStatus before, bool folderGone)
{
    std::vector<std::string> problems;
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        m_Doc.m_strSlotPath[SlotPrint].clear();
        if (int i = FindRow(path); i >= 0) {
            CTaskRow& row = m_Rows[size_t(i)];
            row.m_eStatus = before;
            if (!folderGone) {
                row.m_bSettled = false;
                row.m_strDetails = kDetailsArriving;
            }
        }
        if (folderGone)
            m_Folder.Gone(FolderOf(path) + "/", problems);
        gPrinterStatus.m_bPrinting = false;
    }
    Notify();
    Report(problems);
}

CTaskQueue::ERetire CTaskQueue::RetireLocked(CTaskRow& row, std::vector<std::string>& problems)
{
    const std::string& path = row.m_strPath;
    row.m_bPlotted = true;
    row.m_eStatus = ETaskStatus::NotPlot;
    CFileStamp now;
    std::error_code ec = m_pOps->Stat(path, now);
    if (!ec && !now.SameFile(row.m_Read)) {
        QueueAsNew(row, now);
        problems.push_back("Kept " + path + ": " + kDetailsReplaced + "; queued as a new job");
        return ERetire::Replaced;
    }
    if (!ec)
        ec = m_pOps->Remove(path);
    const std::string reason = WhyItStays(ec, path);
    if (reason.empty())
        return ERetire::Removed;
    row.m_strDetails = std::string(kDetailsNotRemoved) + " (" + reason + ")";
    problems.push_back("Plotted " + path + ", but the file cannot be removed: " + reason);
    return ERetire::Kept;
}

// A printed file that stayed is removed as soon as that works (the share is back, the file was made
// writable); a reason that has not changed is not logged again.
bool CTaskQueue::RetryRemovals(std::vector<std::string>& problems)
{
    bool changed = false;
    for (size_t i = 0; i < m_Rows.size();) {
        CTaskRow& row = m_Rows[i];
        if (!row.m_bPlotted || row.m_eStatus != ETaskStatus::NotPlot) {
            ++i;
            continue;
        }
        const std::string before = row.m_strDetails;
        std::vector<std::string> retry;
        if (RetireLocked(row, retry) == ERetire::Removed) {
            LogLine("Removed " + row.m_strPath + " (plotted)");
            m_Rows.erase(m_Rows.begin() + long(i));
            changed = true;
            continue;
        }
        if (row.m_strDetails != before) {
            problems.insert(problems.end(), retry.begin(), retry.end());
            changed = true;
        }
        ++i;
    }
    return changed;
}

void CTaskQueue::QueueAsNew(CTaskRow& row, const CFileStamp& now)
{
    row.m_eStatus = m_Doc.m_UserDefine.PRINTAUTO ? ETaskStatus::New : ETaskStatus::NotPlot;
    row.m_nCopies = 1;
    row.m_strSize = kSizeUnknown;
    row.m_strDetails = kDetailsReplaced;
    row.m_bPlotted = false;
    row.m_Seen = now;
    row.m_bSeen = true;
    row.m_bSettled = false;
}

void CTaskQueue::JobFinished(EJobOutcome outcome)
{
    m_Pace.JobEnded(GetClock().Now(), outcome == EJobOutcome::PrintedWhole);
    bool lastCopy = false;
    std::string held;
    std::vector<std::string> problems;
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        auto it = std::find_if(m_Rows.begin(), m_Rows.end(),
                               [](const CTaskRow& row) { return row.m_eStatus == ETaskStatus::Plotting; });
        if (it == m_Rows.end())
            return;
        if (outcome != EJobOutcome::PrintedWhole && outcome != EJobOutcome::Aborted) {
            m_Doc.m_strSlotPath[SlotPrint].clear();
            it->m_eStatus = ETaskStatus::NotPlot;
            it->m_strDetails = outcome == EJobOutcome::NoDrawing ? kDetailsNoDrawing : kDetailsIncomplete;
            held = "Held " + it->m_strPath + ": " + it->m_strDetails;
        } else if (outcome == EJobOutcome::Aborted || it->m_nCopies < 2) {
            m_Doc.m_strSlotPath[SlotPrint].clear();
            lastCopy = true;
            if (RetireLocked(*it, problems) == ERetire::Removed)
                m_Rows.erase(it);
        } else {
            --it->m_nCopies;
            it->m_eStatus = ETaskStatus::Waiting;
        }
    }
    if (lastCopy)
        gStatusText.SetText(PaneMachine, "结束");
    Notify();
    if (!held.empty())
        LogLine(held);
    Report(problems);
}

void CTaskQueue::SaveState()
{
    std::lock_guard<std::mutex> state(m_StateLock);
    if (!m_bRestored)
        return;  // before the first scan the rows are not yet those of the folder
    std::string text;
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        if (m_Folder.Missing())
            return;
        text = CQueueStateFile::Format(m_strStateFolder, m_Rows);
    }
    if (text == m_strSavedState || !CTaskFolderWatch::IsFolder(m_strStateFolder))
        return;
    if (std::error_code ec = CQueueStateFile::Write(m_strStateFolder, text)) {
        const std::string problem = "Cannot save the queue state in " + m_strStateFolder + ": " + ec.message();
        if (problem != m_strStateProblem) {
            m_strStateProblem = problem;
            Report(problem);
        }
        return;
    }
    m_strSavedState = text;
    m_strStateProblem.clear();
}

void CTaskQueue::Plot(const std::string& path)
{
    ChangeRow(path, [](CTaskRow& row) {
        if (row.m_eStatus != ETaskStatus::NotPlot)
            return false;
        row.m_eStatus = ETaskStatus::Waiting;
        row.m_bPlotted = false;  // plotted again by hand: removed after this print
        return true;
    });
}

void CTaskQueue::Abort()
{
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        for (CTaskRow& row : m_Rows)
            if (row.m_eStatus == ETaskStatus::Plotting)
                row.m_nCopies = 1;
    }
    RecordJobOutcome(EJobOutcome::Aborted);
    gLinkWatch.Aborted();
    CJobLayout& layout = m_Doc.m_Layout[SlotPrint];
    layout.m_nSectionCursor = layout.m_nSectionCount.load();
    gEndOfJob = true;
    Notify();
}

// Only the version of the file the operator saw in the list is removed; a file that stays, or that
// changed since, keeps its row and the operator is told why.
void CTaskQueue::Delete(const std::string& path)
{
    std::string notice;
    std::vector<std::string> problems;
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        int i = FindRow(path);
        if (i < 0)
            return;
        CTaskRow& row = m_Rows[size_t(i)];
        if (row.m_eStatus == ETaskStatus::Plotting) {
            notice = "The plotter is working. Please waiting for this plotting task finished!";
        } else {
            CFileStamp now;
            std::error_code ec = m_pOps->Stat(path, now);
            if (!ec && row.m_bSeen && !now.SameFile(row.m_Seen)) {
                QueueAsNew(row, now);
                notice = path + " changed since it was listed; it was kept as a new job.";
                problems.push_back("Kept " + path + ": it changed since it was listed; queued as a new job");
            } else {
                if (!ec)
                    ec = m_pOps->Remove(path);
                const std::string reason = WhyItStays(ec, path);
                if (reason.empty()) {
                    m_Rows.erase(m_Rows.begin() + i);
                } else {
                    notice = "Cannot delete " + path + ": " + reason;
                    problems.push_back(notice);
                }
            }
        }
    }
    if (!notice.empty())
        GetWindowBridge().MessageBox(notice, "Notice", MB_OK, MB_ICONEXCLAMATION);
    Report(problems);
    Notify();
}

void CTaskQueue::SetSize(const std::string& path, const std::string& size)
{
    ChangeRow(path, [&](CTaskRow& row) {
        row.m_strSize = size;
        return true;
    });
}

// Preview, output preview and final view differ in the slot they name, the view mode, whether the
// slot is prepared, and which slot's size the row shows.
void CTaskQueue::PreviewSlot(const std::string& path, int slot, int viewMode, bool prepare)
{
    if (!StatusOf(path))
        return;
    if (m_pObserver)
        m_pObserver->BeginWaitCursor();
    const JobSlot js = JobSlot(slot);
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        m_Doc.m_strSlotPath[prepare ? js : SlotPreview] = path;
    }
    m_Doc.m_nViewMode = viewMode;
    if (prepare)
        m_Doc.PrepareJob(js);
    const CJobLayout& layout = m_Doc.m_Layout[js];
    SetSize(path, SizeText(layout.m_fWidthM, layout.m_fLengthM));
    if (m_pObserver)
        m_pObserver->EndWaitCursor();
    Repaint();
}

void CTaskQueue::Preview(const std::string& path)
{
    PreviewSlot(path, SlotPreview, ViewPreview, true);
}

void CTaskQueue::OutputPreview(const std::string& path)
{
    GBK_LOG(kLine, "用打印预览显示模式查看任务列表中的一个文件!\r\n");
    if (!StatusOf(path))
        return;
    PreviewSlot(path, SlotPrintPreview, ViewOutputPreview, true);
    WriteLog(kLine);
}

void CTaskQueue::FinalView(const std::string& path)
{
    PreviewSlot(path, SlotPrint, ViewFiringData, false);
}

void CTaskQueue::ScaleView()
{
    m_Doc.m_nViewMode = ViewScaled;
    bool loaded;
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        loaded = m_Doc.m_strSlotPath[SlotPrint].size() > 3 && m_Doc.m_Sections[SlotPrint].m_pSections;
    }
    if (loaded)
        Repaint();
}

void CTaskQueue::AddCopy(const std::string& path)
{
    ChangeRow(path, [](CTaskRow& row) {
        if (row.m_eStatus == ETaskStatus::Plotting || row.m_nCopies >= kMaxCopies)
            return false;
        ++row.m_nCopies;
        return true;
    });
}

void CTaskQueue::RemoveCopy(const std::string& path)
{
    ChangeRow(path, [](CTaskRow& row) {
        if (row.m_eStatus == ETaskStatus::Plotting || row.m_nCopies <= 1)
            return false;
        --row.m_nCopies;
        return true;
    });
}

// Rows print in list order; the row being plotted keeps its place.
void CTaskQueue::MoveUp(const std::string& path)
{
    MoveRow(path, -1);
}

void CTaskQueue::MoveDown(const std::string& path)
{
    MoveRow(path, +1);
}

void CTaskQueue::MoveRow(const std::string& path, int step)
{
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        const int i = FindRow(path);
        const int j = i + step;
        if (i < 0 || j < 0 || j >= int(m_Rows.size()) || m_Rows[i].m_eStatus == ETaskStatus::Plotting ||
            m_Rows[j].m_eStatus == ETaskStatus::Plotting)
            return;
        std::swap(m_Rows[i], m_Rows[j]);
    }
    Notify();
}

void CTaskQueue::UpdateConfiguration()
{
    if (!UsbProbe())
        GetWindowBridge().MessageBox("The printer is not connected, you cannot update the configuration.", "Invalid",
                                     MB_OK, MB_ICONNONE);
}

void CTaskQueue::SetEstimate(const std::string& path, int64_t estimateMs)
{
    std::lock_guard<std::mutex> lock(m_Lock);
    if (int i = FindRow(path); i >= 0)
        m_Rows[size_t(i)].m_nEstimateMs = estimateMs;
}

int64_t CTaskQueue::TimeLeftMs()
{
    const CJobLayout& layout = m_Doc.m_Layout[SlotPrint];
    const int64_t now = GetClock().Now();
    if (layout.m_nPassesPerSegment > 0)
        m_Pace.Observe(now, layout.m_nSectionCursor / layout.m_nPassesPerSegment);
    return m_Pace.TimeLeftMs(now);
}

bool CTaskQueue::CanFinalView(const std::string& path) const
{
    return gJobActive && StatusOf(path) == ETaskStatus::Plotting;
}

std::string CTaskQueue::FreeTargetName(const std::string& folder, const std::string& name)
{
    std::string target = folder + name;
    if (!Taken(target))
        return target;
    const fs::path p(name);
    const std::string title = p.stem().string();
    const std::string ext = p.extension().string();  // with its dot, or empty
    for (unsigned n = 1;; ++n) {
        target = folder + title + "_" + std::to_string(n) + ext;
        if (!Taken(target))
            return target;
    }
}

std::string CTaskQueue::AddFile(const std::string& source)
{
    const std::string folder = TaskFolder();
    std::vector<std::string> problems;
    bool ready;
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        ready = m_Folder.Check(folder, problems);
    }
    const std::string name = fs::path(source).filename().string();
    std::string target;
    bool copied = false;
    std::error_code ec;
    // A name taken between the test and the copy is not overwritten: the next free name is tried.
    for (int attempt = 0; ready && attempt < 100 && !copied; ++attempt) {
        target = FreeTargetName(folder, name);
        copied = fs::copy_file(source, target, fs::copy_options::none, ec);
        if (!copied && ec != std::errc::file_exists)
            break;
    }
    if (!copied)
        problems.push_back("Cannot add " + source + ": " +
                           (!ready ? "the task folder " + folder + " is not there" : ec.message()));
    // Source and target run into the line that closes the dialog: anything said after them would join that line.
    Report(problems);
    WriteLog(Utf8ToGbk(source));
    WriteLog(Utf8ToGbk(target));
    return copied ? target : std::string();
}

void CTaskQueue::LogAddFileDone()
{
    GBK_LOG(kLine, "添加一个文件到打印任务列表中!\r\n");
    WriteLog(kLine);
}
