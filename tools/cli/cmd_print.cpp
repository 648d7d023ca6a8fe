// tessaline-cli print: one plot file through the real print worker, to the plotter or the virtual plotter.
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "app/plotterselect.h"
#include "cliargs.h"
#include "clijob.h"
#include "commands.h"
#include "consolebridge.h"
#include "document/marquelldoc.h"
#include "link/linkpane.h"
#include "link/linkwatch.h"
#include "link/printerstatus.h"
#include "link/statustext.h"
#include "link/workerflags.h"
#include "platform/apppaths.h"
#include "platform/gbk.h"
#include "platform/logwriter.h"
#include "platform/usbadapter.h"
#include "queue/folderlock.h"
#include "queue/printworker.h"
#include "queue/taskqueue.h"
#include "sim/virtualplotter.h"

namespace {

using namespace std::chrono_literals;

std::atomic<bool> gInterrupted{false};

void OnInterrupt(int)
{
    gInterrupted = true;
}

class CFinishSignal : public CJobFinishedSink {
public:
    void JobFinished(EJobOutcome outcome) override
    {
        m_eOutcome = outcome;
        m_bDone = true;
    }
    std::atomic<bool> m_bDone{false};
    std::atomic<EJobOutcome> m_eOutcome{EJobOutcome::None};
};

// How the job ended, for the terminal; 0 only for a job printed whole.
int ReportOutcome(const CFinishSignal& finished, const CJobLayout& layout)
{
    if (gInterrupted) {
        std::fprintf(stderr, "tessaline-cli: interrupted\n");
        return 1;
    }
    if (!finished.m_bDone) {
        std::fprintf(stderr, "tessaline-cli: the print worker ended before the job\n");
        return 1;
    }
    switch (finished.m_eOutcome.load()) {
    case EJobOutcome::PrintedWhole:
        std::fprintf(stderr, "tessaline-cli: job finished, %d segment(s) verified\n",
                     layout.m_nSectionCursor / layout.m_nPassesPerSegment);
        return 0;
    case EJobOutcome::StoppedAtPlotter:
        std::fprintf(stderr, "tessaline-cli: job stopped at the plotter\n");
        return 1;
    case EJobOutcome::RefusedAtChecksum:
        std::fprintf(stderr, "tessaline-cli: job ended after failed checksums\n");
        return 1;
    case EJobOutcome::LinkLost:
        std::fprintf(stderr, "tessaline-cli: job ended: the plotter could not be reached\n");
        return 1;
    default:
        std::fprintf(stderr, "tessaline-cli: job ended at section %d of %d\n", layout.m_nSectionCursor.load(),
                     layout.m_nSectionCount.load());
        return 1;
    }
}

void PrintHelp(FILE* out)
{
    std::fprintf(out,
                 "usage: tessaline-cli print FILE [--config INI] [--virtual] [--fast] [--page PNG] [--log PATH]\n"
                 "                           [--answer yes|no] [--fault FAULT]...\n"
                 "Prints one plot file: prepares it as a job start does and runs the print worker until the job\n"
                 "is done. Progress goes to stderr.\n"
                 "  --config INI     settings from INI (the log and the pages then lie beside it) instead of\n"
                 "                   the config.ini of the program's layout\n"
                 "  --virtual        print on the built-in virtual plotter, whatever [LINK] DEVICE says\n"
                 "  --fast           run on virtual time: the pauses of the protocol pass at once\n"
                 "  --page PNG       write the virtual plotter's printed page to PNG, one bit per dot (else\n"
                 "                   it goes to the pages folder as job-NNNN.png)\n"
                 "  --log PATH       write the log to PATH instead of the layout's logfile.txt\n"
                 "  --answer yes|no  the answer when the checksums keep failing and the program asks whether\n"
                 "                   to retry (default: ask on the terminal when there is one, else no)\n"
                 "  --fault FAULT    make the virtual plotter misbehave; may be given several times:\n"
                 "%s"
                 "Exit status: 0 the job finished with every segment verified, 1 it ended otherwise (stopped\n"
                 "at the plotter, retry refused, interrupted) or another program writes the log, 2 bad input\n"
                 "(options, or a file that cannot be read or holds no drawing: nothing is sent).\n",
                 CFaultSchedule::Syntax());
}

int BadInput(const std::string& message)
{
    std::fprintf(stderr, "tessaline-cli: %s\n", message.c_str());
    std::fprintf(stderr, "Run 'tessaline-cli print --help' for the options.\n");
    return 2;
}

int NothingToPrint(const std::string& file)
{
    std::fprintf(stderr, "tessaline-cli: '%s': %s; nothing was sent\n", file.c_str(), kDetailsNoDrawing);
    return 2;
}

// Whether a file can be written there, leaving no trace when there was none.
bool CanWrite(const std::string& path)
{
    std::error_code ec;
    const bool existed = std::filesystem::exists(path, ec);
    FILE* f = std::fopen(path.c_str(), "ab");
    if (!f)
        return false;
    std::fclose(f);
    if (!existed)
        std::filesystem::remove(path, ec);
    return true;
}

// The plotter at the far end of the link: the virtual one when asked for (--virtual) or configured
// ([LINK] DEVICE=VIRTUAL), else the real board. Null, after a message, when there is none.
std::unique_ptr<CUsbAdapter> OpenPlotterOrSay(const CUserDefine& settings, bool wantVirtual,
                                              const CFaultSchedule& faults)
{
    std::unique_ptr<CUsbAdapter> adapter = OpenPlotter(settings, wantVirtual, faults);
    if (!adapter)
        std::fprintf(stderr, "tessaline-cli: this build has no back-end for a real plotter; use --virtual\n");
    return adapter;
}

// What the window thread does while a job prints: the 1-second link check request and the link pane, whose
// changes are said on the terminal (and the loss and return of the link written to the log).
void FollowJob(const CFinishSignal& finished)
{
    const int64_t start = GetClock().Now();
    int64_t nextProbe = start;
    CLinkPane linkPane;
    bool online = false;
    bool everOnline = false;
    bool saidOffline = false;
    bool paused = false;
    while (!finished.m_bDone && !gInterrupted && IsPrintWorkerRunning()) {
        if (GetClock().Now() >= nextProbe) {
            gProbeRequest = true;
            nextProbe = GetClock().Now() + 1000;
            online = linkPane.Update();
            everOnline = everOnline || online;
        }
        // The link and task panes as the status bar shows them, while no plotter answers.
        if (!online && !saidOffline && (everOnline || GetClock().Now() - start > 1000)) {
            if (everOnline)
                std::fprintf(stderr, "tessaline-cli: Offline: the plotter does not answer ...\n");
            else
                std::fprintf(stderr, "tessaline-cli: %s, %s for the plotter ...\n",
                             gStatusText.GetText(PaneLink).c_str(), gStatusText.GetText(PaneTask).c_str());
            saidOffline = true;
        }
        if (online && saidOffline) {
            std::fprintf(stderr, "tessaline-cli: Online\n");
            saidOffline = false;
        }
        if (gPrinterStatus.m_bPaused != paused) {
            paused = gPrinterStatus.m_bPaused;
            std::fprintf(stderr, "tessaline-cli: %s\n", paused ? "paused at the plotter" : "continued");
        }
        std::this_thread::sleep_for(10ms);
    }
}

void ReportPlotter(const CVirtualPlotter& plotter)
{
    std::fprintf(stderr, "tessaline-cli: the virtual plotter printed %d segment(s)\n", plotter.SegmentsPrinted());
    for (const std::string& problem : plotter.Problems())
        std::fprintf(stderr, "tessaline-cli: virtual plotter: %s\n", problem.c_str());
    if (int64_t stray = plotter.StrayBits())
        std::fprintf(stderr, "tessaline-cli: virtual plotter: %lld firing bit(s) printed nothing\n",
                     static_cast<long long>(stray));
}

}  // namespace

int RunPrint(const std::vector<std::string>& args)
{
    CCliArgs cli({"--config", "--page", "--log", "--answer", "--fault"}, {"--virtual", "--fast", "--help"});
    if (!cli.Parse(args))
        return BadInput(cli.m_strError);
    if (cli.Has("--help")) {
        PrintHelp(stdout);
        return 0;
    }
    if (cli.Positional().size() != 1)
        return BadInput("print takes exactly one plot file");
    const std::string file = cli.Positional()[0];

    CConsoleBridge::Answer answer = CConsoleBridge::Answer::Ask;
    if (cli.Has("--answer")) {
        const std::string a = cli.Value("--answer");
        if (a != "yes" && a != "no")
            return BadInput("--answer takes yes or no");
        answer = a == "yes" ? CConsoleBridge::Answer::Yes : CConsoleBridge::Answer::No;
    }
    CFaultSchedule faults;
    for (const std::string& text : cli.Values("--fault")) {
        std::string error;
        if (!faults.Add(text, &error))
            return BadInput(error);
    }

    CCliClock clock(cli.Has("--fast"));
    if (!ApplyConfigOption(cli))
        return 2;
    CMarquellDoc doc;
    FirstStart(doc);
    const bool isVirtual = cli.Has("--virtual") || IsVirtualDevice(doc.m_UserDefine.m_Link.DEVICE);
    if (!isVirtual && (!faults.Empty() || cli.Has("--page")))
        return BadInput("--fault and --page need the virtual plotter (--virtual)");
    const std::string pagePath = cli.Value("--page");
    if (!pagePath.empty() && !CanWrite(pagePath))
        return BadInput("cannot write the page image '" + pagePath + "'");

    // Installed before the job is prepared so that a refusal (an oversized job) is shown with its reason.
    CConsoleBridge bridge(answer, &gInterrupted);
    CScopedWindowBridge installBridge(bridge);

    ResetPrintPath();
    if (!PrepareFile(doc, SlotPrint, file))
        return 2;
    switch (doc.SetUpPrint()) {
    case EPrintSetup::Ready: break;
    case EPrintSetup::NoDrawing: return NothingToPrint(file);
    case EPrintSetup::NoPrintData: return BadInput("cannot set up the print data of '" + file + "'");
    }

    std::unique_ptr<CUsbAdapter> adapter = OpenPlotterOrSay(doc.m_UserDefine, isVirtual, faults);
    if (!adapter)
        return 2;
    auto* pVirtual = isVirtual ? static_cast<CVirtualPlotter*>(adapter.get()) : nullptr;

    if (pVirtual && pagePath.empty())
        pVirtual->SetPageDir(doc.m_Paths.PageFolder(doc.m_UserDefine.m_Link.PAGEDIR));
    const std::string logPath = cli.Value("--log", doc.m_Paths.LogPath());
    CFolderLock logLock;
    if (!LockLog(logLock, logPath))
        return 1;
    OpenLog(logPath);
    LogFirstStart(doc);
    CFinishSignal finished;
    SetUsbAdapter(adapter.get());
    SetJobFinishedSink(&finished);
    gpDoc = &doc;
    // Ctrl+C and the end of the session alike: the worker is stopped within a second, whatever the link does.
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);

    // The job start of the task list.
    gStatusText.SetText(PaneFile, file);
    gPrinterStatus.m_bPrinting = true;
    gPrinterStatus.RequestPrint();
    StartPrintWorker();
    FollowJob(finished);
    StopWorkerWithin(gInterrupted ? 1000ms : 5000ms);

    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    SetJobFinishedSink(nullptr);
    SetUsbAdapter(nullptr);
    gpDoc = nullptr;
    CloseLogFile();

    const int status = ReportOutcome(finished, doc.m_Layout[SlotPrint]);
    if (pVirtual) {
        ReportPlotter(*pVirtual);
        std::string error;
        if (!pagePath.empty() && !pVirtual->WritePage(pagePath, &error))
            std::fprintf(stderr, "tessaline-cli: %s\n", error.c_str());
    }
    return status;
}
