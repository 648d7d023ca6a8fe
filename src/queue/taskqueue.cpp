// The task queue over the task folder: scan, job start and finish, commands, adding files.
#include "queue/taskqueue.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "document/marquelldoc.h"
#include "link/linkwatch.h"
#include "link/printerstatus.h"
#include "link/usbcommand.h"
#include "link/workerflags.h"
#include "platform/gbk.h"
#include "platform/logwriter.h"
#include "platform/windowbridge.h"

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
    fs::path folder(m_Doc.m_UserDefine.WORKPATH);
    if (folder.empty())
        folder = "tasks";
    if (folder.is_relative())
        folder = fs::path(m_Doc.m_strAppDir) / folder;
    std::string s = folder.generic_string();
    if (s.empty() || s.back() != '/')
        s += '/';
    return s;
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
    bool added = false;
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        std::error_code ec;
        fs::create_directories(folder, ec);
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
        for (auto& list : names) {
            // Directory order is arbitrary; sorting by name keeps the row order the same on every scan and
            // every file system, so jobs start in an order the operator can predict.
            std::sort(list.begin(), list.end(), [](const std::string& x, const std::string& y) {
                const std::string lx = Lower(x), ly = Lower(y);
                return lx != ly ? lx < ly : x < y;
            });
            for (const std::string& name : list) {
                std::string path = folder + name;
                if (FindRow(path) >= 0)
                    continue;
                CTaskRow row;
                row.m_eStatus = status;
                row.m_strPath = std::move(path);
                m_Rows.push_back(std::move(row));
                added = true;
            }
        }
    }
    if (added)
        Notify();
}

// Starts the first queued row while no job prints. A row whose file cannot be prepared is put back
// on hold and the next queued row is tried, so one bad file never stops the queue. After a job was given up
// on a plotter that could not be reached, nothing starts until the plotter answers again.
bool CTaskQueue::StartNextJob(const std::string& selectedPath)
{
    for (;;) {
        std::string path;
        {
            std::lock_guard<std::mutex> lock(m_Lock);
            if (gPrinterStatus.m_bPrinting || gLinkWatch.KnownDown())
                return false;
            for (CTaskRow& row : m_Rows) {
                if (row.m_eStatus == ETaskStatus::Plotting) {
                    gPrinterStatus.m_bPrinting = true;
                    return false;
                }
                if (row.m_eStatus == ETaskStatus::NotPlot)
                    continue;
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
        if (StartJob(path, selectedPath))
            return true;
    }
}

bool CTaskQueue::StartJob(const std::string& path, const std::string& selectedPath)
{
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        m_Doc.m_strSlotPath[SlotPrint] = path;
    }
    gStatusText.SetText(PaneFile, path);
    if (!m_Doc.PrepareJob(SlotPrint)) {
        JobNotStarted(path, Taken(path) ? "the file cannot be read" : "the file was not found");
        return false;
    }
    if (!m_Doc.AllocPrintBuffers()) {
        JobNotStarted(path, "its print data cannot be allocated");
        return false;
    }
    gPrinterStatus.RequestPrint();
    m_Doc.m_nViewMode = ViewPreview;
    if (!selectedPath.empty())
        OutputPreview(selectedPath);
    Repaint();
    const CJobLayout& layout = m_Doc.m_Layout[SlotPrint];
    SetSize(path, SizeText(layout.m_fWidthM, layout.m_fLengthM));
    return true;
}

void CTaskQueue::JobNotStarted(const std::string& path, const std::string& reason)
{
    const std::string text = "Cannot plot " + path + ": " + reason;
    WriteLog(Utf8ToGbk(text) + "\r\n");
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        m_Doc.m_strSlotPath[SlotPrint].clear();
        int i = FindRow(path);
        if (i >= 0)
            m_Rows[i].m_eStatus = ETaskStatus::NotPlot;
        gPrinterStatus.m_bPrinting = false;
    }
    Notify();
    if (m_pObserver)
        m_pObserver->ShowProblem(text);
}

void CTaskQueue::JobFinished(EJobOutcome outcome)
{
    bool retired = false;
    std::string held;
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        auto it = std::find_if(m_Rows.begin(), m_Rows.end(),
                               [](const CTaskRow& row) { return row.m_eStatus == ETaskStatus::Plotting; });
        if (it == m_Rows.end())
            return;
        if (outcome != EJobOutcome::PrintedWhole && outcome != EJobOutcome::Aborted) {
            m_Doc.m_strSlotPath[SlotPrint].clear();
            it->m_eStatus = ETaskStatus::NotPlot;
            it->m_strDetails = kDetailsIncomplete;
            held = it->m_strPath;
        } else if (outcome == EJobOutcome::Aborted || it->m_nCopies < 2) {
            m_Doc.m_strSlotPath[SlotPrint].clear();
            std::error_code ec;
            fs::remove(it->m_strPath, ec);
            m_Rows.erase(it);
            retired = true;
        } else {
            --it->m_nCopies;
            it->m_eStatus = ETaskStatus::Waiting;
        }
    }
    if (retired)
        gStatusText.SetText(PaneMachine, "结束");
    Notify();
    if (!held.empty())
        WriteLog(Utf8ToGbk("Held " + held + ": " + kDetailsIncomplete) + "\r\n");
}

void CTaskQueue::Plot(const std::string& path)
{
    ChangeRow(path, [](CTaskRow& row) {
        if (row.m_eStatus != ETaskStatus::NotPlot)
            return false;
        row.m_eStatus = ETaskStatus::Waiting;
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

void CTaskQueue::Delete(const std::string& path)
{
    bool refused = false;
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        int i = FindRow(path);
        if (i < 0)
            return;
        if (m_Rows[i].m_eStatus == ETaskStatus::Plotting) {
            refused = true;
        } else {
            std::error_code ec;
            fs::remove(m_Rows[i].m_strPath, ec);
            m_Rows.erase(m_Rows.begin() + i);
        }
    }
    if (refused)
        GetWindowBridge().MessageBox("The plotter is working. Please waiting for this plotting task finished!",
                                     "Notice", MB_OK, MB_ICONEXCLAMATION);
    else
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
    std::error_code ec;
    fs::create_directories(folder, ec);
    const std::string name = fs::path(source).filename().string();
    std::string target;
    bool copied = false;
    // A name taken between the test and the copy is not overwritten: the next free name is tried.
    for (int attempt = 0; attempt < 100 && !copied; ++attempt) {
        target = FreeTargetName(folder, name);
        copied = fs::copy_file(source, target, fs::copy_options::none, ec);
        if (!copied && ec != std::errc::file_exists)
            break;
    }
    WriteLog(Utf8ToGbk(source));
    WriteLog(Utf8ToGbk(target));
    return copied ? target : std::string();
}

void CTaskQueue::LogAddFileDone()
{
    GBK_LOG(kLine, "添加一个文件到打印任务列表中!\r\n");
    WriteLog(kLine);
}
