// What the job commands of tessaline-cli share: --fast, --config and the slot names.
#include "clijob.h"

#include <atomic>
#include <cstdio>
#include <fstream>
#include <thread>

#include "cliargs.h"
#include "platform/apppaths.h"
#include "platform/logwriter.h"
#include "queue/folderlock.h"
#include "queue/printworker.h"

CCliClock::CCliClock(bool fast) : m_bFast(fast)
{
    if (m_bFast)
        SetClock(&m_clock);
}

CCliClock::~CCliClock()
{
    if (m_bFast)
        SetClock(nullptr);
}

bool ApplyConfigOption(const CCliArgs& args)
{
    const CAppPaths paths = CAppPaths::Decide(CAppEnvironment::OfProcess(args.Value("--config")));
    SetAppPaths(paths);
    if (paths.GetLayout() != CAppPaths::Layout::Given || std::ifstream(paths.ConfigPath()).is_open())
        return true;
    std::fprintf(stderr, "tessaline-cli: cannot read settings file '%s'\n", paths.ConfigPath().c_str());
    return false;
}

void FirstStart(CMarquellDoc& doc)
{
    if (!doc.m_strConfigProblem.empty())
        std::fprintf(stderr, "tessaline-cli: %s\n", doc.ConfigProblemText(false).c_str());
    std::string error;
    if (!doc.m_Paths.CreateFolders(&error))
        std::fprintf(stderr, "tessaline-cli: %s\n", error.c_str());
    if (!doc.m_Paths.FirstStart())
        return;
    doc.SaveConfig();
    std::fprintf(stderr, "tessaline-cli: first start: settings written to %s, the log goes to %s, the task folder is %s\n",
                 doc.m_strConfigPath.c_str(), doc.m_Paths.LogPath().c_str(),
                 doc.m_Paths.TaskFolder(doc.m_UserDefine.WORKPATH).c_str());
}

void LogFirstStart(const CMarquellDoc& doc)
{
    const CAppPaths& paths = doc.m_Paths;
    const CUserDefine& ud = doc.m_UserDefine;
    if (paths.FirstStart())
        WriteLog(paths.LogSummary(paths.TaskFolder(ud.WORKPATH), paths.PageFolder(ud.m_Link.PAGEDIR)));
}

bool LockLog(CFolderLock& lock, const std::string& logPath)
{
    if (lock.Acquire(CFolderLock::LogLockFile(logPath), "tessaline-cli"))
        return true;
    std::fprintf(stderr, "tessaline-cli: %s\n", lock.LogBusyText(logPath).c_str());
    return false;
}

void OpenLog(const std::string& path)
{
    std::string error;
    if (!KeepPreviousLog(path, &error))
        std::fprintf(stderr, "tessaline-cli: the previous log '%s' could not be kept: %s\n", path.c_str(),
                     error.c_str());
    if (!OpenLogFile(path))
        std::fprintf(stderr, "tessaline-cli: cannot create the log file '%s'; printing without it\n", path.c_str());
    WriteLogHeader(LocalTimeNow());
}

void StopWorkerWithin(std::chrono::milliseconds bound)
{
    std::atomic<bool> stopped{false};
    std::thread guard([&] {
        const auto deadline = std::chrono::steady_clock::now() + bound;
        while (!stopped && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (!stopped) {
            std::fprintf(stderr, "tessaline-cli: the print worker did not stop; exiting\n");
            CloseLogFile();
            std::_Exit(1);
        }
    });
    StopPrintWorker();
    stopped = true;
    guard.join();
}

bool PrepareFile(CMarquellDoc& doc, JobSlot slot, const std::string& file)
{
    doc.m_strSlotPath[slot] = file;
    if (doc.PrepareJob(slot))
        return true;
    std::fprintf(stderr, "tessaline-cli: '%s': %s\n", file.c_str(), doc.m_PltData[slot].LastErrorText().c_str());
    return false;
}

bool ParseSlot(const std::string& name, JobSlot& slot)
{
    if (name == "print")
        slot = SlotPrint;
    else if (name == "preview")
        slot = SlotPreview;
    else if (name == "print-preview")
        slot = SlotPrintPreview;
    else
        return false;
    return true;
}
