// tessaline-cli queue: serves the task folder without a window, with the desktop program's task queue,
// print worker and log, until SIGINT or SIGTERM.
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "cliargs.h"
#include "clijob.h"
#include "commands.h"
#include "consolebridge.h"
#include "document/marquelldoc.h"
#include "link/linkpane.h"
#include "link/linkwatch.h"
#include "link/printerstatus.h"
#include "link/statustext.h"
#include "platform/usbadapter.h"
#include "platform/logwriter.h"
#include "queue/folderlock.h"
#include "queue/printworker.h"
#include "queue/taskqueue.h"
#include "link/workerflags.h"
#include "queuestatus.h"
#include "app/plotterselect.h"
#include "sim/virtualplotter.h"

namespace {

using namespace std::chrono_literals;

std::atomic<int> gStopSignal{0};
std::atomic<bool> gStopping{false};

void OnStopSignal(int sig)
{
    gStopSignal = sig;
    gStopping = true;
}

// Questions get No (nobody is there to answer); the progress goes to the status lines.
class CQueueBridge : public CConsoleBridge {
public:
    explicit CQueueBridge(CQueueStatus& status) : CConsoleBridge(Answer::No, &gStopping), m_Status(status) {}
    void RefreshProgress() override { m_Status.Progress(gStatusText.GetText(2)); }

private:
    CQueueStatus& m_Status;
};

void PrintHelp(FILE* out)
{
    std::fprintf(out,
                 "usage: tessaline-cli queue [--config INI] [--virtual] [--fast] [--fault FAULT]...\n"
                 "Serves the task folder without a window, as the desktop program does: lists the plot files\n"
                 "that arrive, prints them one after the other when automatic printing is on (PRINTAUTO=1)\n"
                 "and deletes each after its last copy. One status line per change on stdout: queued, started,\n"
                 "printing N%% (in steps of 10), finished, held with the reason, paused and continued at the\n"
                 "plotter, plotter online or offline.\n"
                 "SIGINT or SIGTERM ends it within 2 seconds: a job in progress is aborted at the plotter and its\n"
                 "file stays in the folder.\n"
                 "  --config INI     settings from INI (the log, the default task folder and the pages then lie\n"
                 "                   beside it) instead of the config.ini of the program's layout\n"
                 "  --virtual        print on the built-in virtual plotter, whatever [LINK] DEVICE says\n"
                 "  --fast           run on virtual time: the pauses of the protocol pass at once (the folder is\n"
                 "                   still scanned every 3 seconds of real time)\n"
                 "  --fault FAULT    make the virtual plotter misbehave (see 'tessaline-cli print --help')\n"
                 "Exit status: 0 ended by a signal, 1 another program serves the task folder or writes the log,\n"
                 "2 bad input.\n");
}

int BadInput(const std::string& message)
{
    std::fprintf(stderr, "tessaline-cli: %s\n", message.c_str());
    std::fprintf(stderr, "Run 'tessaline-cli queue --help' for the options.\n");
    return 2;
}

// The two timers of the task list: the link check every second, the folder scan every 3 seconds. They run
// on real time even with --fast: files arrive in real time, and a scan on virtual time would take a file
// still being copied for a settled one.
void Serve(CTaskQueue& queue, CQueueStatus& status)
{
    using Clock = std::chrono::steady_clock;
    Clock::time_point nextProbe = Clock::now();
    Clock::time_point nextScan = nextProbe;
    CLinkPane linkPane;
    bool paused = false;
    while (!gStopping) {
        const Clock::time_point now = Clock::now();
        if (now >= nextProbe) {
            gProbeRequest = true;
            status.Link(linkPane.Update());
            nextProbe = now + 1s;
        }
        if (now >= nextScan) {
            queue.RefreshList();
            nextScan = now + 3s;
        }
        if (gPrinterStatus.m_bPaused != paused) {
            paused = gPrinterStatus.m_bPaused;
            status.Line(paused ? "paused at the plotter" : "continued");
        }
        std::this_thread::sleep_for(20ms);
    }
}

// A job in progress ends as an abort does, without handing the job back: its file stays for the next start.
void StopServing(CTaskQueue& queue, CQueueStatus& status)
{
    status.Line(std::string("stopping on ") + (gStopSignal == SIGINT ? "SIGINT" : "SIGTERM"));
    SetJobFinishedSink(nullptr);
    if (gPrinterStatus.m_bPrinting) {
        queue.Abort();
        // Time for the print end at the plotter; a plotter that does not answer is not waited for.
        const auto end = std::chrono::steady_clock::now() + 1000ms;
        while (gPrinterStatus.m_bPrinting && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(10ms);
    }
    StopWorkerWithin(800ms);
}

}  // namespace

int RunQueue(const std::vector<std::string>& args)
{
    CCliArgs cli({"--config", "--fault"}, {"--virtual", "--fast", "--help"});
    if (!cli.Parse(args))
        return BadInput(cli.m_strError);
    if (cli.Has("--help")) {
        PrintHelp(stdout);
        return 0;
    }
    if (!cli.Positional().empty())
        return BadInput("queue takes no file; it serves the task folder");
    CFaultSchedule faults;
    for (const std::string& text : cli.Values("--fault")) {
        std::string error;
        if (!faults.Add(text, &error))
            return BadInput(error);
    }
    if (!ApplyConfigOption(cli))
        return 2;

    CCliClock clock(cli.Has("--fast"));
    const CAppPaths& paths = GetAppPaths();
    paths.CreateFolders();
    CFolderLock logLock;
    if (!LockLog(logLock, paths.LogPath()))
        return 1;
    CMarquellDoc doc;
    FirstStart(doc);
    CTaskQueue queue(doc);
    const std::string folder = queue.TaskFolder();
    CFolderLock folderLock;
    if (!folderLock.AcquireFolder(folder, "tessaline-cli")) {
        std::fprintf(stderr, "tessaline-cli: %s\n", folderLock.FolderBusyText(folder).c_str());
        return 1;
    }
    queue.FolderTaken();
    const bool isVirtual = cli.Has("--virtual") || IsVirtualDevice(doc.m_UserDefine.m_Link.DEVICE);
    if (!isVirtual && !faults.Empty())
        return BadInput("--fault needs the virtual plotter");
    std::unique_ptr<CUsbAdapter> adapter = OpenPlotter(doc.m_UserDefine, isVirtual, faults);
    if (!adapter)
        return BadInput("this build has no back-end for a real plotter; use --virtual");
    if (isVirtual)
        static_cast<CVirtualPlotter*>(adapter.get())
            ->SetPageDir(paths.PageFolder(doc.m_UserDefine.m_Link.PAGEDIR));

    CQueueStatus status(queue, stdout);
    CQueueBridge bridge(status);
    CScopedWindowBridge installBridge(bridge);
    ResetPrintPath();
    OpenLog(paths.LogPath());
    LogFirstStart(doc);

    queue.SetObserver(&status);
    SetUsbAdapter(adapter.get());
    SetJobFinishedSink(&queue);
    gpDoc = &doc;
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
    StartPrintWorker();
    status.Line("serving " + folder + (doc.m_UserDefine.PRINTAUTO ? "" : " (automatic printing is off: new files are held)"));

    Serve(queue, status);
    StopServing(queue, status);

    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    queue.SetObserver(nullptr);
    SetUsbAdapter(nullptr);
    gpDoc = nullptr;
    CloseLogFile();
    status.Line("stopped");
    return 0;
}
