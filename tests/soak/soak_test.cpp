// Fault soak: jobs through the task list and the print worker against the virtual plotter, with seeded
// faults of every kind the plotter can inject, the operator's actions, and what a cutting room's task folder
// does (files arriving slowly, replaced, empty or garbage, not removable, a share that drops, a second
// program); every print is checked as it ends. TESSALINE_SOAK_JOBS (default 60) and TESSALINE_SOAK_SEED
// (default 1) set length and course.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <system_error>
#include <tuple>
#include <vector>

#include <unistd.h>

#include "document/marquelldoc.h"
#include "link/linkwatch.h"
#include "link/printerstatus.h"
#include "link/statustext.h"
#include "link/workerflags.h"
#include "platform/logwriter.h"
#include "platform/usbadapter.h"
#include "platform/windowbridge.h"
#include "plot/pltfiledata.h"
#include "queue/folderlock.h"
#include "queue/printworker.h"
#include "queue/taskqueue.h"
#include "sim/virtualplotter.h"
#include "support/processstate.h"
#include "testtmp.h"

#include "lockstepclock.h"
#include "logcheck.h"
#include "markers.h"
#include "soakfolder.h"

namespace fs = std::filesystem;

namespace {

const char* const kDeleteRefused = "The plotter is working. Please waiting for this plotting task finished!";

struct Carriage {
    const char* name;
    const char* ini;
};

const Carriage kCarriages[] = {
    {"one cartridge, both columns", "[JetPrintHeadOpenStatus]\r\nJetPrintHeadOpenStatus0=1\r\nJetPrintHeadOpenStatus1=1\r\n"},
    {"two heads with offsets and skew",
     "[CTRPARAM]\r\nJetPrintHead=2\r\n"
     "[JetPrintHeadOpenStatus]\r\nJetPrintHeadOpenStatus2=1\r\nJetPrintHeadOpenStatus4=1\r\n"
     "[JetPrintHeadValueX]\r\nJetPrintHeadValueX2=30\r\nJetPrintHeadValueX3=31\r\nJetPrintHeadValueX4=52\r\n"
     "JetPrintHeadValueX5=50\r\n"
     "[JetPrintHeadValueY]\r\nJetPrintHeadValueY2=-30\r\nJetPrintHeadValueY4=-45\r\n"},
    {"three heads, two passes per segment",
     "[CTRPARAM]\r\nJetPrintHead=3\r\n"
     "[JetPrintHeadOpenStatus]\r\nJetPrintHeadOpenStatus0=1\r\nJetPrintHeadOpenStatus2=1\r\nJetPrintHeadOpenStatus4=1\r\n"
     "[JetPrintHeadValueX]\r\nJetPrintHeadValueX0=20\r\nJetPrintHeadValueX1=22\r\nJetPrintHeadValueX2=40\r\n"
     "JetPrintHeadValueX3=41\r\nJetPrintHeadValueX4=60\r\nJetPrintHeadValueX5=63\r\n"
     "[JetPrintHeadValueY]\r\nJetPrintHeadValueY0=-15\r\nJetPrintHeadValueY4=-20\r\n"},
};

// Fault kinds as the soak draws and counts them; keys pressed during a transfer are counted apart.
constexpr int kKinds = 14;
const char* const kKindNames[kKinds] = {"reject-cmd", "reject-data",  "no-reply", "bad-dram", "link-lost",
                                        "out-of-order", "no-print-end", "pause",    "continue", "stop",
                                        "unplug",     "pause/during", "continue/during", "stop/during"};
constexpr int kUnplug = 10;
constexpr int kFirstDuring = 11;

int KindOf(const CFaultSchedule::Fault& f)
{
    return f.during ? kFirstDuring + int(f.kind) - int(FaultKind::Pause) : int(f.kind);
}

// Commands after which the plotter can be unplugged: the worker is left waiting for that command's reply,
// one inner wait each. Those sent once per segment can be chosen at any segment.
struct WaitCode {
    int code;
    bool perSegment;
};
const WaitCode kWaitCodes[] = {{0x21, false}, {0xAC, false}, {0x01, false}, {0x03, false}, {0x05, false},
                               {0x07, false}, {0x09, false}, {0xB4, false}, {0x0B, false}, {0x45, true},
                               {0x0E, true},  {0x11, true},  {0x19, true},  {0x13, true},  {0x24, true},
                               {0x1B, false}, {0x1E, false}, {0x20, false}, {0x16, false}, {0x17, false}};

enum Action {
    ActAbort, ActDelete, ActAddCopy, ActRemoveCopy, ActPlot, ActPreview, ActExit, ActCrash,
    ActReplace, ActVanish, ActSecond, ActRemovable, ActWrite,
    kDrawnActions,
    ActEarlyAbort = kDrawnActions, ActCrashAtHandBack, kActions
};
const int kActionWeights[kDrawnActions] = {14, 10, 18, 8, 10, 8, 5, 3, 8, 3, 3, 4, 6};
const char* const kActionNames[kActions] = {
    "abort", "delete", "copies +1", "copies -1", "plot a held row", "preview", "exit and restart",
    "crash and restart", "replace a file", "the share drops", "a second program comes or goes",
    "a file becomes removable", "a slow writer writes between scans", "abort before the worker takes the job",
    "crash as a job is handed back"};
const char* const kContentNames[] = {"markers", "empty", "garbage", "without a drawing"};

// A print may take this long in virtual time (link downtimes and pauses included) before it counts as hung.
constexpr int64_t kPrintBoundMs = 2 * 3600 * 1000;
// A queue with work that starts nothing for this long has stalled.
constexpr int64_t kStallBoundMs = 10 * 60 * 1000;
// An abort while the plotter cannot be reached ends the job within this much virtual time: the second of
// silence that tells an unplugged plotter from a slow one, after the adapter call in progress (the longest
// is a 2 s command write of the start handshake), and a step of the soak.
constexpr int64_t kGiveUpBoundMs = 3100;
// Real time the worker may run before it must wait on the clock again.
constexpr std::chrono::seconds kRealBound(120);

int EnvInt(const char* name, int fallback)
{
    const char* text = std::getenv(name);
    return text && *text ? std::atoi(text) : fallback;
}

// Questions are answered Yes or No from a seeded generator of their own; other boxes are recorded.
class CSoakBridge : public CWindowBridge {
public:
    void Seed(uint32_t seed) { m_Rng.seed(seed); }
    int MessageBox(const std::string& text, const std::string&, int buttons, int) override
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        m_Texts.push_back(text);
        if (buttons != MB_YESNO)
            return IDOK;
        const bool yes = std::bernoulli_distribution(0.5)(m_Rng);
        ++(yes ? m_nYes : m_nNo);
        return yes ? IDYES : IDNO;
    }
    void RefreshProgress() override {}
    void RedrawStatusBar() override {}
    void RepaintPreview() override {}

    int Yes() const { std::lock_guard<std::mutex> lock(m_Lock); return m_nYes; }
    int No() const { std::lock_guard<std::mutex> lock(m_Lock); return m_nNo; }
    int Count(const std::string& text) const
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        return int(std::count(m_Texts.begin(), m_Texts.end(), text));
    }

private:
    mutable std::mutex m_Lock;
    std::mt19937 m_Rng;
    std::vector<std::string> m_Texts;
    int m_nYes = 0, m_nNo = 0;
};

CLogCheck* gpLogCheck = nullptr;
void TraceToCheck(std::string_view text)
{
    if (gpLogCheck)
        gpLogCheck->Entry(text);
}

struct FileModel {
    EContent content = EContent::Marker;
    CReferencePage ref;               // of the version in the folder (markers only)
    int version = 0;                  // one more with every replacement
    std::vector<std::string> pieces;  // what a slow writer still has to write
    std::errc removeError{};          // the file system refuses to remove it
    int copiesLeft = 1;
    int owed = 1;                     // whole prints the operator asked for and has not had yet
    bool held = false;                // "Not plot"
    std::string heldReason;           // column 4 of the held row
    bool plottedKept = false;         // retired, but the file stayed: held, removed as soon as that works
    int keptVersion = 0;              // the version the retired job read
    std::string keptReason;
    bool listed = false;              // a scan has listed it since the last start of the program
    bool changedSinceScan = false;    // written since the queue last noted its size and time
};

struct Print {
    std::string path;
    int number = 0;
    CReferencePage ref;  // of the version read
    int version = 0;
    int64_t startMs = 0;
    int startCommands = 0;  // start commands (0x0B) the plotter had seen before this print
    int noAnswers = 0;      // No answers before this print
    std::string faults;
    bool aborted = false;
    bool stopped = false;  // the plotter's stop key was pressed
    bool counted = false;  // its whole copy is counted
    int segmentsAtAbort = 0;
    int64_t forcedAbortAt = -1;  // a pause that never ends is the operator's to abort
    // An abort planned for when the plotter is out of reach: the wait it should end, when it is due, and when
    // it came with the link down.
    std::string downWait;
    int64_t abortAt = -1;
    int64_t abortDownAt = -1;
    bool plotterInLastJob = false;  // the plotter never answered the last job's print end
};

struct Stats {
    int files = 0, prints = 0, whole = 0, cut = 0, interrupted = 0, extraCopies = 0, refusedDeletes = 0;
    int scheduled[kKinds] = {}, hit[kKinds] = {};
    int actions[kActions] = {};
    int contents[4] = {}, notSent = 0;
    int slow = 0, unremovable = 0, kept = 0, removedLater = 0, replacedWhilePrinting = 0, queuedAsNew = 0;
    int secondRefused = 0, deletesRefused = 0, powerCycles = 0;
    std::map<std::string, int> downAborts;  // aborts with the plotter out of reach, by the wait they hit
    int64_t maxGiveUpMs = 0;
};

std::string ErrorText(std::errc error)
{
    return std::make_error_code(error).message();
}

std::string NotRemoved(const std::string& reason)
{
    return std::string(kDetailsNotRemoved) + " (" + reason + ")";
}

std::string PlottedLine(const std::string& path, const std::string& reason)
{
    return "Plotted " + path + ", but the file cannot be removed: " + reason;
}

// Column 4 of a file that gives nothing to print.
std::string NothingReason(EContent content)
{
    switch (content) {
    case EContent::Empty: return LoadErrorText(ELoadError::Empty);
    case EContent::Garbage: return LoadErrorText(ELoadError::NotPlotFile);
    case EContent::NoDrawing: return kDetailsNoDrawing;
    case EContent::Marker: break;
    }
    return std::string();
}

const CTaskRow* FindRow(const std::vector<CTaskRow>& rows, const std::string& path)
{
    auto it = std::find_if(rows.begin(), rows.end(), [&](const CTaskRow& r) { return r.m_strPath == path; });
    return it == rows.end() ? nullptr : &*it;
}

constexpr const char* kFolderMissing = "the task folder is missing";

class FaultSoak : public ProcessStateTest {
protected:
    class CSink : public CJobFinishedSink {
    public:
        explicit CSink(FaultSoak& soak) : m_Soak(soak) {}
        void JobFinished(EJobOutcome outcome) override { m_Soak.OnJobFinished(outcome); }

    private:
        FaultSoak& m_Soak;
    };

    void SetUp() override
    {
        m_nJobs = EnvInt("TESSALINE_SOAK_JOBS", 60);
        m_nSeed = static_cast<uint32_t>(EnvInt("TESSALINE_SOAK_SEED", 1));
        m_Rng.seed(m_nSeed);
        m_Bridge.Seed(m_nSeed * 7919u + 1u);
        m_Dir = TestTempDir("soak");
        fs::remove_all(m_Dir);
        fs::create_directories(m_Dir / "incoming");
        m_strMe = "tessaline (process " + std::to_string(getpid()) + ")";

        m_pCarriage = &kCarriages[m_nSeed % std::size(kCarriages)];
        m_bCompress = (m_nSeed / std::size(kCarriages)) % 2 == 1;
        const int packets[] = {64512, 4096, 1000};
        m_nPacket = packets[Pick(0, 2)];
        std::ofstream(m_Dir / "config.ini", std::ios::binary)
            << m_pCarriage->ini << "[PRINT]\r\nPRINTAUTO=1\r\nUSBPACKAGESIZE=" << m_nPacket << "\r\n";

        ProcessStateTest::SetUp();
        SetClock(&m_Clock);
        SetWindowBridge(&m_Bridge);
        gpLogCheck = &m_Log;
        SetTraceSink(&TraceToCheck);
        ASSERT_TRUE(OpenLogFile((m_Dir / "logfile.txt").string()));
        m_pRefDoc = std::make_unique<CMarquellDoc>(m_Dir.string());
    }

    void TearDown() override
    {
        StopWorker();
        EndProcessState();
        SetTraceSink(nullptr);
        gpLogCheck = nullptr;
        m_pQueue.reset();
        m_pDoc.reset();
        m_pRefDoc.reset();
        m_pPlotter.reset();
        m_Lock.Release();
        m_pSecond.reset();
        if (HasFailure())
            std::printf("soak folder kept: %s\n", m_Dir.string().c_str());
        else
            fs::remove_all(m_Dir);
    }

    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_Rng); }
    bool Chance(double p) { return std::bernoulli_distribution(p)(m_Rng); }
    std::string Folder() const { return m_Folder.Folder(); }

    // The first failure, with what it takes to replay it.
    void Fail(const std::string& what)
    {
        if (!m_strFailure.empty())
            return;
        m_strFailure = "seed " + std::to_string(m_nSeed) + " (TESSALINE_SOAK_SEED=" + std::to_string(m_nSeed) +
                       " TESSALINE_SOAK_JOBS=" + std::to_string(m_nJobs) + "), virtual time " +
                       std::to_string(m_Clock.Now()) + " ms";
        if (m_Print)
            m_strFailure += ", print #" + std::to_string(m_Print->number) + " of " + m_Print->path +
                            " with faults [" + m_Print->faults + "]" + (m_Print->aborted ? ", aborted" : "");
        if (m_Folder.Away())
            m_strFailure += ", the task folder away";
        m_strFailure += ":\n  " + what + "\nlast log lines:\n" + m_Log.Tail();
    }

    // ---- the program: start, exit, restart ----

    // Like the desktop program, it serves the task folder only while it holds the folder's lock.
    void StartProgram()
    {
        m_pDoc = std::make_unique<CMarquellDoc>(m_Dir.string());
        m_pDoc->m_UserDefine.DATACOMPRESS = m_bCompress;
        gpDoc = m_pDoc.get();
        if (!m_pPlotter) {
            m_pPlotter = std::make_unique<CVirtualPlotter>(m_pDoc->m_UserDefine);
            SetUsbAdapter(m_pPlotter.get());
        }
        m_pQueue = std::make_unique<CTaskQueue>(*m_pDoc);
        if (Folder().empty())
            m_Folder.SetUp(m_pQueue->TaskFolder());
        m_pQueue->SetFileOps(&m_Folder.Ops());
        if (m_Lock.AcquireFolder(Folder(), "tessaline"))
            m_pQueue->FolderTaken();
        else
            Fail("the program cannot take its task folder: " + m_Lock.FolderBusyText(Folder()));
        SetJobFinishedSink(&m_Sink);
        gProbeRequest = true;
        ASSERT_TRUE(StartPrintWorker());
    }

    // The worker's waits all end on the exit flag; one that does not is a hang.
    void StopWorker()
    {
        // The flag first: released before it, the worker would run on for as long as the stop takes.
        gExitWorker = true;
        m_Clock.SetFree(true);
        auto stopped = std::async(std::launch::async, [] { StopPrintWorker(); });
        if (stopped.wait_for(kRealBound) != std::future_status::ready) {
            std::fprintf(stderr, "soak seed %u: the worker did not end after the exit flag\n%s", m_nSeed,
                         m_Log.Tail().c_str());
            std::abort();
        }
        m_Clock.SetFree(false);
    }

    // Exit (or a crash) and a fresh start of the program: the rows come back from the queue's state file with
    // their copies and holds; the job that was printing comes back held. A worker already past its print loop
    // when the exit comes still hands its job back meanwhile. The state file lies in the task folder, so what
    // changed while the share was away is kept only once the share is back: the share comes back and is
    // scanned once before the program ends (a program started while the share is away would also make an
    // empty folder where the share belongs).
    void Restart(bool crash)
    {
        m_Folder.Disarm();  // the share stays while the program ends (a worker may still hand a job back)
        if (m_Folder.Vanished() > m_nVanishesSeen) {
            if (m_Folder.Away())
                m_Folder.Return();
            Scan();
        }
        HarvestFaults();
        StopWorker();
        if (m_Print) {
            if (!m_Folder.Exists(m_Print->path))
                Fail("the file of the print interrupted by the exit is gone");
            const int segments = PlotterSegments();
            if (m_Print->startCommands < m_pPlotter->CommandCount(0x0B) && segments == m_Print->ref.Segments())
                CountWholeCopy(*m_Print, segments);
            FileModel& file = m_Files[m_Print->path];
            Hold(file, kDetailsInterrupted);
            if (m_Print->aborted)
                file.copiesLeft = 1;
            ++m_Stats.interrupted;
            m_Print.reset();
        }
        CheckPlotter();
        SetJobFinishedSink(nullptr);
        m_pQueue.reset();
        gpDoc = nullptr;
        m_pDoc.reset();
        m_Lock.Release();  // the lock goes with the process, crash or not
        ResetPrintPathState();
        // A crash of the workstation leaves the plotter as it was, in the middle of whatever exchange; half the
        // time the plotter is switched off and on as well.
        if (crash && Chance(0.5)) {
            SetUsbAdapter(nullptr);
            m_pPlotter.reset();
            ++m_Stats.powerCycles;
        }
        for (auto& [path, file] : m_Files)
            file.listed = false;
        m_bAwaitLinkBack = false;
        m_nLastProgress = m_Clock.Now();
        StartProgram();
        // The new worker parks at its first sleep before the window side goes on: same course every run.
        if (!m_Clock.WaitParked(kRealBound))
            Fail("the restarted worker never reached its first wait");
    }

    // ---- the files: written whole, in pieces, replaced; what they hold ----

    bool Reference(const std::string& content, const std::string& ext, CReferencePage& ref)
    {
        const std::string path = (m_Dir / ("reference" + ext)).string();
        std::ofstream(path, std::ios::binary) << content;
        return MakeReferencePage(*m_pRefDoc, path, ref);
    }

    // How a copy over a share arrives: a first piece (maybe nothing yet), then one piece before every scan.
    std::vector<std::string> Pieces(const std::string& content)
    {
        std::vector<std::string> pieces;
        size_t at = size_t(Pick(0, int(content.size()) / 2));
        pieces.push_back(content.substr(0, at));
        for (int i = Pick(1, 4); i > 1 && at + 1 < content.size(); --i) {
            const size_t next = size_t(Pick(int(at) + 1, int(content.size()) - 1));
            pieces.push_back(content.substr(at, next - at));
            at = next;
        }
        pieces.push_back(content.substr(at));
        return pieces;
    }

    void Feed()
    {
        static const char* const kExtensions[] = {".plt", ".pla", ".hpgl", ".hpg", ".PRT"};
        const auto active = std::count_if(m_Files.begin(), m_Files.end(), [](const auto& f) { return !f.second.held; });
        if (m_nFed >= m_nJobs || active >= 4 || m_Files.size() >= 10)
            return;
        FileModel file;
        file.content = EContent(std::discrete_distribution<int>({84, 6, 5, 5})(m_Rng));
        const std::string content = MakeContent(m_Rng, file.content);
        const std::string ext = kExtensions[Pick(0, 4)];
        char name[32];
        std::snprintf(name, sizeof name, "m%04d", m_nFed);
        const bool slow = content.size() >= 8 && Chance(0.2);
        std::string path;
        if (slow || file.content != EContent::Marker || m_Folder.Away() || Chance(0.5)) {
            // A CAD system writes into the folder (on the server while the share is away).
            path = Folder() + name + ext;
            if (slow) {
                file.pieces = Pieces(content);
                m_Folder.Write(path, file.pieces.front());
                file.pieces.erase(file.pieces.begin());
                ++m_Stats.slow;
            } else {
                m_Folder.Write(path, content);
            }
        } else {
            // Names that repeat, so that adding renames.
            const std::string source = (m_Dir / "incoming" / ((Chance(0.5) ? "cut" : name) + ext)).string();
            std::ofstream(source, std::ios::binary) << content;
            path = m_pQueue->AddFile(source);
            CTaskQueue::LogAddFileDone();
            if (path.empty()) {
                Fail("adding " + source + " failed");
                return;
            }
        }
        if (file.content == EContent::Marker && !Reference(content, ext, file.ref)) {
            Fail("the marker " + path + " cannot be prepared:\n" + content);
            return;
        }
        if (Chance(0.1)) {
            static const std::errc kRefusals[] = {std::errc::read_only_file_system, std::errc::permission_denied,
                                                  std::errc::operation_not_permitted, std::errc::device_or_resource_busy};
            file.removeError = kRefusals[Pick(0, 3)];
            m_Folder.Ops().RefuseRemoval(path, file.removeError);
            ++m_Stats.unremovable;
        }
        ++m_Stats.contents[int(file.content)];
        m_Files[path] = std::move(file);
        ++m_nFed;
        ++m_Stats.files;
    }

    void WritePiece(const std::string& path, FileModel& file)
    {
        m_Folder.Write(path, file.pieces.front(), true);
        file.pieces.erase(file.pieces.begin());
        file.changedSinceScan = true;
    }

    // Slow writers never pause for a whole scan: a file that kept its size and time from one scan to the next
    // is complete.
    void AdvanceWriters()
    {
        for (auto& [path, file] : m_Files)
            if (!file.pieces.empty())
                WritePiece(path, file);
    }

    // A CAD system re-exports the marker (now and then a broken export).
    void Replace(const std::string& path, FileModel& file)
    {
        const EContent content = Chance(0.1) ? EContent::Garbage : EContent::Marker;
        const std::string text = MakeContent(m_Rng, content);
        CReferencePage ref;
        if (content == EContent::Marker && !Reference(text, fs::path(path).extension().string(), ref)) {
            Fail("the marker replacing " + path + " cannot be prepared:\n" + text);
            return;
        }
        m_Folder.Replace(path, text);
        file.content = content;
        file.ref = std::move(ref);
        ++file.version;
        file.changedSinceScan = true;
    }

    void Erase(const std::string& path)
    {
        m_Folder.Ops().RefuseRemoval(path, std::errc{});
        m_Files.erase(path);
    }

    // ---- the model's transitions ----

    void Hold(FileModel& file, const std::string& reason)
    {
        file.held = true;
        file.heldReason = reason;
    }
    // Retired, but the file stays: held with the reason, nothing owed.
    void Kept(FileModel& file, const std::string& reason, int version)
    {
        file.plottedKept = true;
        file.keptReason = reason;
        file.keptVersion = version;
        file.owed = 0;
        Hold(file, NotRemoved(reason));
    }
    // Another version took the place of the one the row knew: one copy of it, queued as a new job.
    void QueuedAsNew(FileModel& file)
    {
        file.held = false;
        file.heldReason.clear();
        file.plottedKept = false;
        file.copiesLeft = 1;
        file.owed = 1;
        file.changedSinceScan = false;
        ++m_Stats.queuedAsNew;
    }
    void ExpectQueuedAsNew(const std::string& path, const std::vector<CTaskRow>& rows, const char* when)
    {
        const CTaskRow* row = FindRow(rows, path);
        if (!row || row->m_eStatus != ETaskStatus::New || row->m_nCopies != 1 || row->m_strDetails != kDetailsReplaced ||
            !m_Folder.Exists(path))
            Fail(std::string("a replaced file is not queued as a new job ") + when + ": " + path);
    }

    // A whole print of the file: the page equals the marker's, and the operator asked for it.
    void CountWholeCopy(Print& print, int segments)
    {
        if (print.counted)
            return;
        print.counted = true;
        FileModel& file = m_Files[print.path];
        if (file.owed < 1)
            Fail("a whole copy of " + print.path + " printed that nobody asked for (printed more often than its copies)");
        else
            --file.owed;
        const std::string page = print.ref.Compare(m_pPlotter->Page(), segments);
        if (!page.empty())
            Fail("the page of a whole print is not the marker's: " + page);
    }

    // ---- a second program on the same folder ----

    void SecondProgramTries()
    {
        if (!m_pSecond || m_Folder.Away())
            return;
        if (m_pSecond->AcquireFolder(Folder(), "tessaline-cli")) {
            Fail("a second program took the task folder while this one serves it");
            m_pSecond->Release();
            return;
        }
        if (m_pSecond->Holder() != m_strMe)
            Fail("the second program hears that \"" + m_pSecond->Holder() + "\" serves the folder, not " + m_strMe);
        ++m_Stats.secondRefused;
    }

    // ---- the window side's timers ----

    std::string RandomRow(const std::vector<CTaskRow>& rows)
    {
        return rows.empty() ? std::string() : rows[size_t(Pick(0, int(rows.size()) - 1))].m_strPath;
    }

    void Scan()
    {
        AdvanceWriters();
        Feed();
        SecondProgramTries();
        const std::vector<CTaskRow> before = m_pQueue->Rows();
        std::map<std::string, int> said;
        for (const auto& [path, file] : m_Files)
            if (file.plottedKept)
                said[path] = m_Log.Count(PlottedLine(path, file.keptReason));
        m_bAwayAtScan = m_Folder.Away();
        m_Folder.ClearStats();
        m_pQueue->RefreshList(Chance(0.15) ? RandomRow(before) : std::string());
        if (!m_bAwayAtScan && !m_Folder.Away())
            m_nVanishesSeen = m_Folder.Vanished();
        const std::vector<CTaskRow> rows = m_pQueue->Rows();
        for (const CTaskRow& row : rows) {
            auto it = m_Files.find(row.m_strPath);
            if (it == m_Files.end())
                Fail("a row for a file the soak never made: " + row.m_strPath);
            else
                it->second.listed = true;
        }
        AfterScan(before, rows, said);
        if (!m_Print && gPrinterStatus.HasPrintTask())
            PrintStarted();
        if (!m_Print)
            CheckQueuedRowsSayWhy(before, rows);
    }

    // What a scan must have done besides listing: noted the size and time of each file, retried the removal
    // of printed files that stayed, and held the files with nothing to print.
    void AfterScan(const std::vector<CTaskRow>& before, const std::vector<CTaskRow>& rows,
                   const std::map<std::string, int>& said)
    {
        for (auto it = m_Files.begin(); it != m_Files.end();) {
            const std::string path = it->first;
            FileModel& file = it->second;
            const CTaskRow* was = FindRow(before, path);
            const CTaskRow* row = FindRow(rows, path);
            const CSoakFolder::Stat* first = m_Folder.FirstStat(path);
            const CSoakFolder::Stat* last = m_Folder.LastStat(path);
            if (first && !first->away && !(was && was->m_eStatus == ETaskStatus::Plotting))
                file.changedSinceScan = false;
            if (file.plottedKept && last && !RetriedRemoval(path, file, rows, last->away, said.at(path))) {
                ++it;
                Erase(path);
                continue;
            }
            if (file.content != EContent::Marker && !file.held && row && row->m_eStatus == ETaskStatus::NotPlot &&
                row->m_strDetails == NothingReason(file.content)) {
                if (!file.pieces.empty())
                    Fail("a file still arriving was started: " + path);
                if (m_Log.Count("Cannot plot " + path + ": " + row->m_strDetails) < 1)
                    Fail("the log does not say why " + path + " is not sent");
                Hold(file, row->m_strDetails);
                ++m_Stats.notSent;
            }
            ++it;
        }
    }

    // The scan retried removing a printed file that stayed. False when the file is gone now.
    bool RetriedRemoval(const std::string& path, FileModel& file, const std::vector<CTaskRow>& rows, bool away, int said)
    {
        const std::string reason = file.keptReason;
        if (away) {
            Kept(file, kFolderMissing, file.keptVersion);
        } else if (file.version != file.keptVersion) {
            QueuedAsNew(file);
            ExpectQueuedAsNew(path, rows, "when its printed version was to be removed");
            return true;
        } else if (file.removeError != std::errc{}) {
            Kept(file, ErrorText(file.removeError), file.keptVersion);
        } else {
            if (FindRow(rows, path) || m_Folder.Exists(path))
                Fail("a printed file whose removal works again is still " +
                     std::string(m_Folder.Exists(path) ? "there: " : "listed: ") + path);
            ++m_Stats.removedLater;
            return false;
        }
        if (file.keptReason == reason && m_Log.Count(PlottedLine(path, reason)) != said)
            Fail("that " + path + " cannot be removed is said again at every scan");
        return true;
    }

    // While nothing prints, the folder is there and the plotter answers, a queued row that a scan had looked at
    // before either starts or says why it waits. (A row restored from the state file is not looked at until
    // the first scan after the start that finds its file.)
    void CheckQueuedRowsSayWhy(const std::vector<CTaskRow>& before, const std::vector<CTaskRow>& rows)
    {
        if (m_Folder.Away() || m_bAwaitLinkBack || gPrinterStatus.m_bPrinting)
            return;
        for (const CTaskRow& row : rows) {
            const CTaskRow* was = FindRow(before, row.m_strPath);
            if (was && was->m_bSeen && row.m_eStatus != ETaskStatus::NotPlot && row.m_strDetails.empty())
                Fail("row " + row.m_strPath + " is \"" + StatusText(row.m_eStatus) + "\" without a reason while nothing prints");
        }
    }

    void PrintStarted()
    {
        std::string path;
        for (const CTaskRow& row : m_pQueue->Rows())
            if (row.m_eStatus == ETaskStatus::Plotting)
                path = row.m_strPath;
        auto it = m_Files.find(path);
        if (it == m_Files.end()) {
            Fail("a print task is raised without a plotting row of ours (" + path + ")");
            return;
        }
        FileModel& file = it->second;
        if (file.held)
            Fail("a held row started by itself: " + path + " (" + file.heldReason + ")");
        if (!file.pieces.empty())
            Fail("a file still arriving was started: " + path);
        if (file.content != EContent::Marker)
            Fail("a file with nothing to print was sent to the plotter: " + path);
        if (m_bAwayAtScan)
            Fail("a job started while the task folder is missing: " + path);
        if (m_bAwaitLinkBack)
            Fail("a job started before the plotter answered again after a job was given up on it: " + path);
        m_Print = Print();
        m_Print->path = path;
        m_Print->number = ++m_Stats.prints;
        m_Print->ref = file.ref;
        m_Print->version = file.version;
        m_Print->startMs = m_Clock.Now();
        m_Print->startCommands = m_pPlotter->CommandCount(0x0B);
        m_Print->noAnswers = m_Bridge.No();
        m_Print->plotterInLastJob = m_pPlotter->InJob();
        m_nLastProgress = m_Clock.Now();
        ScheduleFaults(file.ref.Segments());
        if (Chance(0.04)) {
            // Before the worker has even seen the task.
            ++m_Stats.actions[ActEarlyAbort];
            Abort();
        }
    }

    // One to three faults of random kinds for this print, tied to its own segments; now and then an abort
    // planned for when the plotter is out of reach.
    void ScheduleFaults(int segments)
    {
        static const int kCodes[] = {0x45, 0x0B, 0x0E, 0x11, 0x13, 0x17, 0x19, 0x1B, 0x24, 0x01, 0x05, 0x21};
        auto segment = [&](bool bar) {
            const int s = Pick(bar ? -1 : 0, segments - 1);
            return s < 0 ? std::string("bar") : std::to_string(s);
        };
        auto code = [&] {
            char text[8];
            std::snprintf(text, sizeof text, "/0x%02X", kCodes[Pick(0, int(std::size(kCodes)) - 1)]);
            return Chance(0.4) ? std::string(text) : std::string();
        };
        std::vector<std::pair<int, std::string>> faults;
        const int count = std::discrete_distribution<int>({20, 40, 25, 15})(m_Rng);
        for (int i = 0; i < count; ++i) {
            const int kind = Pick(0, kKinds - 1);
            std::string f = kKindNames[kind];
            switch (kind) {
            case 0:
            case 2: f += "@" + std::to_string(Pick(1, 120)) + "x" + std::to_string(Pick(1, 3)) + code(); break;
            case 1: f += "@" + std::to_string(Pick(1, 15)) + "x" + std::to_string(Pick(1, 3)); break;
            case 3: f += "@" + segment(true) + "x" + std::to_string(Pick(1, 7)); break;
            case 4:
                f += "@" + (Chance(0.2) ? std::string("start") : segment(true)) + "+" + std::to_string(Pick(100, 8000));
                break;
            case 5:
            case 8:
            case 9: f += "@" + segment(false); break;
            case 6: break;
            case 7:
                if (Chance(0.1)) {
                    f += "@" + segment(false) + "+never";
                    m_Print->forcedAbortAt = m_Clock.Now() + 120000;
                } else {
                    f += "@" + segment(false) + "+" + std::to_string(Pick(100, 20000));
                }
                break;
            case kUnplug: f = UnplugFault(segments, Pick(100, 8000)).first; break;
            default: {
                // A key pressed during a transfer, announced once or until acknowledged.
                const FaultKind key = FaultKind(int(FaultKind::Pause) + kind - kFirstDuring);
                f = std::string(kKindNames[int(key)]) + "@" + segment(false);
                if (key == FaultKind::Pause)
                    f += "+" + std::to_string(Pick(100, 20000));
                f += Chance(0.5) ? "/during+repeat" : "/during";
                break;
            }
            }
            faults.emplace_back(kind, f);
        }
        if (Chance(0.15))
            faults.push_back(PlanAbortWhenDown(segments));
        CFaultSchedule schedule;
        std::string all;
        for (const auto& [kind, f] : faults) {
            std::string error;
            if (!schedule.Add(f, &error)) {
                Fail(error);
                return;
            }
            ++m_Stats.scheduled[kind];
            all += (all.empty() ? "" : " ") + f;
        }
        m_Print->faults = all;
        m_pPlotter->ScheduleFaults(schedule);
    }

    // The plotter unplugged just after a command was taken, so that the worker waits for its reply.
    std::pair<std::string, std::string> UnplugFault(int segments, int64_t ms)
    {
        const WaitCode& wait = kWaitCodes[Pick(0, int(std::size(kWaitCodes)) - 1)];
        const int n = wait.perSegment ? Pick(1, std::max(1, segments)) : 1;
        char code[8];
        std::snprintf(code, sizeof code, "0x%02X", wait.code);
        return {"unplug@" + std::to_string(n) + "+" + std::to_string(ms) + "/" + code, std::string("after ") + code};
    }

    // The link goes down for long in one of the job's inner waits; the operator aborts while it is down.
    std::pair<int, std::string> PlanAbortWhenDown(int segments)
    {
        const int64_t ms = Pick(4000, 40000);
        const int where = Pick(0, 5);
        std::string fault;
        if (where < 4) {
            std::tie(fault, m_Print->downWait) = UnplugFault(segments, ms);
            return {kUnplug, fault};
        }
        const int s = Pick(-1, segments - 1);
        m_Print->downWait = where == 4 ? "in a data transfer" : "before the job";
        return {4, "link-lost@" + (where == 5 ? std::string("start") : s < 0 ? std::string("bar") : std::to_string(s)) + "+" +
                       std::to_string(ms)};
    }

    // Counts what the plotter injected and ends the schedule: faults belong to one print.
    CFaultSchedule HarvestFaults()
    {
        CFaultSchedule record = m_pPlotter ? m_pPlotter->FaultRecord() : CFaultSchedule();
        for (const CFaultSchedule::Fault& f : record.Faults()) {
            m_Stats.hit[KindOf(f)] += f.hits;
            if (m_Print && f.kind == FaultKind::Stop && f.hits > 0)
                m_Print->stopped = true;
        }
        if (m_pPlotter)
            m_pPlotter->ScheduleFaults(CFaultSchedule());
        return record;
    }

    // ---- the operator ----

    void Abort()
    {
        if (m_Print && !m_Print->aborted) {
            m_Print->aborted = true;
            m_Print->segmentsAtAbort = PlotterSegments();
        }
        m_pQueue->Abort();
    }

    // The planned abort: a moment after the plotter went out of reach.
    void AbortWhenDown(int64_t now)
    {
        if (!m_Print || m_Print->downWait.empty() || m_Print->aborted)
            return;
        if (m_Print->abortAt < 0 && !m_pPlotter->LinkUp())
            m_Print->abortAt = now + Pick(0, 2500);
        if (m_Print->abortAt < 0 || now < m_Print->abortAt)
            return;
        const bool down = !m_pPlotter->LinkUp();
        Abort();
        if (down) {
            m_Print->abortDownAt = now;
            ++m_Stats.downAborts[m_Print->downWait];
        }
    }

    int PlotterSegments() const
    {
        return m_Print && m_pPlotter->CommandCount(0x0B) > m_Print->startCommands ? m_pPlotter->SegmentsPrinted() : 0;
    }

    void CopiesChanged(FileModel& file, int delta)
    {
        file.copiesLeft += delta;
        if (!file.plottedKept)
            file.owed = std::max(0, file.owed + delta);
    }

    void Delete(const std::string& path, bool plotting)
    {
        if (plotting) {
            const int refused = m_Bridge.Count(kDeleteRefused);
            m_pQueue->Delete(path);
            ++m_Stats.refusedDeletes;
            if (m_Bridge.Count(kDeleteRefused) != refused + 1 || !m_Folder.Exists(path))
                Fail("deleting the plotting row was not refused");
            return;
        }
        FileModel& file = m_Files[path];
        const CTaskRow before = *FindRow(m_pQueue->Rows(), path);
        m_Folder.ClearStats();
        m_pQueue->Delete(path);
        const CSoakFolder::Stat* stat = m_Folder.LastStat(path);
        const std::vector<CTaskRow> rows = m_pQueue->Rows();
        const CTaskRow* row = FindRow(rows, path);
        std::string reason;
        if (stat && stat->away) {
            reason = kFolderMissing;
        } else if (file.changedSinceScan) {
            // Written since the operator saw it listed: not the file the operator meant.
            QueuedAsNew(file);
            ExpectQueuedAsNew(path, rows, "when it was deleted after a change");
            return;
        } else if (file.removeError != std::errc{}) {
            reason = ErrorText(file.removeError);
        }
        if (reason.empty()) {
            if (m_Folder.Exists(path) || row)
                Fail("a deleted row's file is still " + std::string(row ? "listed: " : "there: ") + path);
            Erase(path);
            return;
        }
        ++m_Stats.deletesRefused;
        if (!row || row->m_eStatus != before.m_eStatus || row->m_strDetails != before.m_strDetails || !m_Folder.Exists(path))
            Fail("a row whose file cannot be deleted is not kept as it was: " + path);
        if (m_Bridge.Count("Cannot delete " + path + ": " + reason) < 1)
            Fail("the operator is not told why " + path + " cannot be deleted (" + reason + ")");
    }

    void PlotByHand(FileModel& file)
    {
        file.held = false;
        file.heldReason.clear();
        file.plottedKept = false;
        file.owed = file.copiesLeft;
    }

    void Act()
    {
        const Action action = Action(std::discrete_distribution<int>(std::begin(kActionWeights), std::end(kActionWeights))(m_Rng));
        ++m_Stats.actions[action];
        const std::vector<CTaskRow> rows = m_pQueue->Rows();
        std::string path = RandomRow(rows);
        auto file = m_Files.find(path);
        const bool plotting = m_Print && path == m_Print->path;
        switch (action) {
        case ActAbort: Abort(); break;
        case ActDelete:
            if (!path.empty())
                Delete(path, plotting);
            break;
        case ActAddCopy:
        case ActRemoveCopy:
            if (path.empty() || file == m_Files.end())
                break;
            if (action == ActAddCopy) {
                m_pQueue->AddCopy(path);
                if (!plotting && file->second.copiesLeft < 10) {
                    CopiesChanged(file->second, +1);
                    ++m_Stats.extraCopies;
                }
            } else {
                m_pQueue->RemoveCopy(path);
                if (!plotting && file->second.copiesLeft > 1)
                    CopiesChanged(file->second, -1);
            }
            break;
        case ActPlot: {
            std::vector<std::string> held;
            for (const CTaskRow& row : rows)
                if (row.m_eStatus == ETaskStatus::NotPlot)
                    held.push_back(row.m_strPath);
            if (held.empty())
                break;
            path = held[size_t(Pick(0, int(held.size()) - 1))];
            m_pQueue->Plot(path);
            PlotByHand(m_Files[path]);
            break;
        }
        case ActPreview:
            if (Chance(0.5))
                m_pQueue->Preview(path);
            else
                m_pQueue->OutputPreview(path);
            break;
        case ActExit:
            // Exit and close are refused while a print loop runs; closing is allowed once a job is handed
            // over but before its loop starts. Exit runs the abort first (only possible with no job).
            if (gJobActive)
                break;
            if (!gPrinterStatus.m_bPrinting)
                m_pQueue->Abort();
            Restart(false);
            break;
        case ActCrash: Restart(true); break;
        case ActReplace:
            if (m_Print && Chance(0.6))
                path = m_Print->path;
            file = m_Files.find(path);
            if (file == m_Files.end() || !file->second.pieces.empty())
                break;
            if (m_Print && path == m_Print->path)
                ++m_Stats.replacedWhilePrinting;
            Replace(path, file->second);
            break;
        case ActVanish:
            if (!m_Folder.Away()) {
                const int64_t back = m_Clock.Now() + Pick(2000, 25000);
                if (Chance(0.5))
                    m_Folder.Vanish(back);
                else
                    m_Folder.VanishAtStat(Pick(1, 8), back);  // in the middle of whatever the queue does next
            }
            break;
        case ActSecond:
            if (m_pSecond) {
                m_pSecond.reset();
            } else {
                m_pSecond = std::make_unique<CFolderLock>();
                SecondProgramTries();
            }
            break;
        case ActRemovable:
            for (auto& [p, f] : m_Files)
                if (f.removeError != std::errc{}) {
                    f.removeError = std::errc{};
                    m_Folder.Ops().RefuseRemoval(p, std::errc{});
                    break;
                }
            break;
        case ActWrite:
            for (auto& [p, f] : m_Files)
                if (!f.pieces.empty()) {
                    WritePiece(p, f);
                    break;
                }
            break;
        default: break;
        }
    }

    // ---- checks ----

    void CheckPlotter()
    {
        if (!m_pPlotter)
            return;
        const std::vector<std::string> problems = m_pPlotter->Problems();
        if (!problems.empty())
            Fail("the plotter saw " + std::to_string(problems.size()) + " breach(es), first: " + problems.front());
        if (m_pPlotter->StrayBits() != 0)
            Fail(std::to_string(m_pPlotter->StrayBits()) + " firing bits printed nothing");
    }

    // The rows against the model, the folder and the printing flags.
    void CheckRows()
    {
        const std::vector<CTaskRow> rows = m_pQueue->Rows();
        for (const CTaskRow& row : rows) {
            auto it = m_Files.find(row.m_strPath);
            if (it == m_Files.end()) {
                Fail("a row outlived its file: " + row.m_strPath + " (" + StatusText(row.m_eStatus) + ")");
                return;
            }
            const FileModel& file = it->second;
            const bool plotting = m_Print && m_Print->path == row.m_strPath;
            if ((row.m_eStatus == ETaskStatus::Plotting) != plotting)
                Fail("row " + row.m_strPath + " is \"" + StatusText(row.m_eStatus) + "\"" + (plotting ? " while it prints" : ""));
            if (!plotting && (row.m_eStatus == ETaskStatus::NotPlot) != file.held)
                Fail("row " + row.m_strPath + " is \"" + StatusText(row.m_eStatus) + "\" (" + row.m_strDetails +
                     "), expected " + (file.held ? "held" : "queued"));
            else if (!plotting && file.held && row.m_strDetails != file.heldReason)
                Fail("row " + row.m_strPath + " is held saying \"" + row.m_strDetails + "\", expected \"" + file.heldReason + "\"");
            else if (!plotting && !file.held && !file.pieces.empty() && row.m_strDetails.empty())
                Fail("row " + row.m_strPath + " of a file still arriving does not say so");
            if (!(plotting && m_Print->aborted) && row.m_nCopies != file.copiesLeft)
                Fail("row " + row.m_strPath + " has " + std::to_string(row.m_nCopies) + " copies left, expected " +
                     std::to_string(file.copiesLeft));
        }
        for (const auto& [path, file] : m_Files) {
            if (!m_Folder.Exists(path))
                Fail("the file of a job that was neither printed to its last copy nor aborted is gone: " + path);
            if (file.listed && !FindRow(rows, path))
                Fail("the row of " + path + " vanished");
        }
        if (gPrinterStatus.m_bPrinting != m_Print.has_value() || gPrinterStatus.HasPrintTask() != m_Print.has_value())
            Fail(std::string("printing flag ") + (gPrinterStatus.m_bPrinting ? "set" : "clear") + " and print task " +
                 (gPrinterStatus.HasPrintTask() ? "raised" : "clear") + (m_Print ? " while a job prints" : " with no job"));
    }

    // On the worker's thread at the end of every print, while the window side waits.
    void OnJobFinished(EJobOutcome outcome)
    {
        ++m_nFinished;
        if (!m_Print) {
            Fail("a job finished while none was printing");
            m_pQueue->JobFinished(outcome);
            return;
        }
        Print& print = *m_Print;
        const int segments = PlotterSegments();
        const CFaultSchedule record = HarvestFaults();
        CheckPlotter();
        const bool started = print.startCommands < m_pPlotter->CommandCount(0x0B);
        if (started)
            CheckTransfers(segments);
        const std::string page = started ? print.ref.Compare(m_pPlotter->Page(), segments) : std::string();
        if (!page.empty())
            Fail("the page after " + std::to_string(segments) + " segment(s) is not the marker's: " + page);

        const bool whole = started && segments == print.ref.Segments();
        const bool stopped = print.stopped;
        const bool refused = m_Bridge.No() > print.noAnswers;
        if (whole)
            CountWholeCopy(print, segments);
        if (print.aborted && segments > print.segmentsAtAbort + 1)
            Fail("the abort was lost: " + std::to_string(segments) + " segments printed, " +
                 std::to_string(print.segmentsAtAbort) + " when the operator aborted");
        if (!whole && !print.aborted && !stopped && !refused) {
            std::string hits;
            for (const CFaultSchedule::Fault& f : record.Faults())
                hits += " " + std::string(kKindNames[KindOf(f)]) + "=" + std::to_string(f.hits);
            Fail("the print ended after " + std::to_string(segments) + " of " + std::to_string(print.ref.Segments()) +
                 " segments without an abort, a stop or a No (faults injected:" + hits + ")");
        }
        // The transfer a stop key came in is finished and verified; nothing after it is printed. Unless the link
        // dropped with the reply that announced it (a key announced once is then lost at the plotter), or the
        // plotter was still in the last job, whose print end it never answered: then the key came during that
        // job's transfer, before this job began, and belongs to no step of it.
        const bool unplugged = std::any_of(record.Faults().begin(), record.Faults().end(), [](const auto& f) {
            return f.kind == FaultKind::Unplug && f.hits > 0;
        });
        for (const CFaultSchedule::Fault& f : record.Faults())
            if (f.kind == FaultKind::Stop && f.during && f.hits > 0 && !print.aborted && !refused && !unplugged &&
                !print.plotterInLastJob && segments > f.at + 1)
                Fail("the stop key pressed while segment " + std::to_string(f.at) + " was sent was lost: " +
                     std::to_string(segments) + " segments printed");
        const bool printedWhole = outcome == EJobOutcome::PrintedWhole;
        if (!print.aborted && printedWhole != whole)
            Fail(std::string("the worker counts the print as ") + (printedWhole ? "whole" : "incomplete") +
                 ", the plotter printed " + std::to_string(segments) + " of " + std::to_string(print.ref.Segments()));
        if (m_Log.PrintEnds() + m_Log.GiveUps() != m_nFinished)
            Fail("finish handshakes logged " + std::to_string(m_Log.PrintEnds()) + ", jobs given up " +
                 std::to_string(m_Log.GiveUps()) + ", jobs finished " + std::to_string(m_nFinished));
        // An abort that could not reach the plotter did not end the print there: the job is held with its file.
        const bool givenUp = m_Log.GiveUps() > m_nGiveUps;
        m_nGiveUps = m_Log.GiveUps();
        if (givenUp && !print.aborted)
            Fail("a job was given up on its plotter without an abort");
        // How it ended is what happened first.
        if ((outcome == EJobOutcome::Aborted && !print.aborted) || (outcome == EJobOutcome::StoppedAtPlotter && !stopped) ||
            (outcome == EJobOutcome::RefusedAtChecksum && !refused) || (outcome == EJobOutcome::LinkLost && !givenUp) ||
            outcome == EJobOutcome::None || outcome == EJobOutcome::NotStarted || outcome == EJobOutcome::NoDrawing)
            Fail("the job ends as " + std::to_string(int(outcome)) + ", which did not happen");
        if (givenUp && print.abortDownAt >= 0)
            m_Stats.maxGiveUpMs = std::max(m_Stats.maxGiveUpMs, m_Clock.Now() - print.abortDownAt);
        if (Chance(0.03) && m_Folder.Vanished() == m_nVanishesSeen) {
            // The program dies before the task list hears of the end: the job comes back held, never printed
            // again by itself. (Not while the state file waits for the share: the rows would come back as
            // they were before the share went.)
            ++m_Stats.actions[ActCrashAtHandBack];
            m_bCrashNow = true;
            return;
        }
        Finished(outcome, print, whole, givenUp);
        ++(whole ? m_Stats.whole : m_Stats.cut);
        m_nLastProgress = m_Clock.Now();
        m_Print.reset();
    }

    // The task list takes the job back; what it must have done with the row and the file.
    void Finished(EJobOutcome outcome, const Print& print, bool whole, bool givenUp)
    {
        const std::string& path = print.path;
        FileModel& file = m_Files[path];
        const int saidMissing = m_Log.Count(PlottedLine(path, kFolderMissing));
        const int saidRefused = m_Log.Count(PlottedLine(path, ErrorText(file.removeError)));
        m_Folder.ClearStats();
        m_pQueue->JobFinished(outcome);
        const CSoakFolder::Stat* retired = m_Folder.LastStat(path);

        const std::vector<CTaskRow> rows = m_pQueue->Rows();
        const CTaskRow* row = FindRow(rows, path);
        const bool exists = m_Folder.Exists(path);
        if (print.aborted)
            file.copiesLeft = 1;
        if (givenUp)
            m_bAwaitLinkBack = true;
        if (outcome == EJobOutcome::Aborted || (outcome == EJobOutcome::PrintedWhole && file.copiesLeft <= 1)) {
            const bool away = retired && retired->away;
            if (!away && file.version != print.version) {
                QueuedAsNew(file);
                ExpectQueuedAsNew(path, rows, "after its print");
                if (m_Log.Count("Kept " + path + ": " + kDetailsReplaced + "; queued as a new job") < 1)
                    Fail("the log does not say that " + path + " was kept as a new version");
            } else if (away || file.removeError != std::errc{}) {
                const std::string reason = away ? std::string(kFolderMissing) : ErrorText(file.removeError);
                Kept(file, reason, print.version);
                ++m_Stats.kept;
                if (!exists || !row || row->m_eStatus != ETaskStatus::NotPlot || row->m_strDetails != NotRemoved(reason))
                    Fail("a printed file that cannot be removed does not stay held with the reason: " + path);
                if (m_Log.Count(PlottedLine(path, reason)) != (away ? saidMissing : saidRefused) + 1)
                    Fail("the log does not say once that " + path + " cannot be removed");
            } else {
                if (exists || row)
                    Fail("the file of a job " + std::string(print.aborted ? "aborted" : "printed to its last copy") +
                         " is still " + (exists ? "there" : "listed"));
                Erase(path);
            }
        } else if (!exists) {
            Fail(std::string("the file of a ") + (whole ? "job with copies left" : "print that did not complete") +
                 " was deleted");
            Erase(path);
        } else if (outcome == EJobOutcome::PrintedWhole) {
            --file.copiesLeft;
            if (!row || row->m_eStatus != ETaskStatus::Waiting || row->m_nCopies != file.copiesLeft)
                Fail("a job with copies left is not queued again with " + std::to_string(file.copiesLeft));
        } else {
            Hold(file, kDetailsIncomplete);
            if (!row || row->m_eStatus != ETaskStatus::NotPlot || row->m_nCopies != file.copiesLeft ||
                row->m_strDetails != kDetailsIncomplete)
                Fail(std::string(givenUp ? "an aborted job whose plotter could not be reached" : "an incomplete print") +
                     " is not held with its file and copies");
        }
    }

    // What the plotter confirmed is the colour bar and then segments 0, 1, 2 ... each once, in order; it
    // rejected only transfers whose checksum it had falsified.
    void CheckTransfers(int segments)
    {
        const std::vector<PlotterTransfer> transfers = m_pPlotter->Transfers();
        int due = CFaultSchedule::kColorBar;
        for (size_t i = 0; i < transfers.size(); ++i) {
            const PlotterTransfer& t = transfers[i];
            const std::string name = t.segment == CFaultSchedule::kColorBar ? "the colour bar" : "segment " + std::to_string(t.segment);
            if (t.verdict == 1) {
                if (t.segment != due)
                    Fail(name + " printed where " + (due < 0 ? std::string("the colour bar") : "segment " + std::to_string(due)) +
                         " was due");
                due = due == CFaultSchedule::kColorBar ? 0 : due + 1;
            } else if (t.verdict == -1 && !t.dramFaulted) {
                Fail("a good transfer of " + name + " was reported bad");
            } else if (t.verdict == 0 && i + 1 != transfers.size()) {
                Fail("a transfer of " + name + " was left without a verdict");
            }
        }
        if (std::max(due, 0) != segments)
            Fail("the plotter counts " + std::to_string(segments) + " segments, its transfers " + std::to_string(std::max(due, 0)));
    }

    // ---- the run ----

    // The operator clears what is left on hold once every file was fed (first making removable what is not).
    bool ClearHeldRows()
    {
        m_Folder.Disarm();
        const std::vector<CTaskRow> rows = m_pQueue->Rows();
        for (auto it = m_Files.begin(); it != m_Files.end();) {
            const std::string path = it->first;
            FileModel& file = it->second;
            ++it;
            if (!file.held || file.changedSinceScan || !FindRow(rows, path))
                continue;
            file.removeError = std::errc{};
            m_Folder.Ops().RefuseRemoval(path, std::errc{});
            m_pQueue->Delete(path);
            if (m_Folder.Exists(path))
                Fail("a held row's file is still there after Delete: " + path);
            Erase(path);
        }
        return m_Files.empty();
    }

    void Run()
    {
        const auto wallStart = std::chrono::steady_clock::now();
        StartProgram();
        // The clock's first wake-up is due at once: the worker parks at its first sleep.
        int64_t nextProbe = 1000, nextScan = 0, nextAction = Pick(500, 15000);
        while (m_strFailure.empty()) {
            if (!m_Clock.WaitParked(kRealBound)) {
                Fail("the worker ran " + std::to_string(kRealBound.count()) +
                     " s of real time without waiting on the clock (livelock or deadlock)");
                break;
            }
            if (m_bCrashNow) {
                m_bCrashNow = false;
                Restart(true);
                continue;
            }
            const int64_t now = m_Clock.Now();
            if (m_Folder.Away() && now >= m_Folder.BackAt())
                m_Folder.Return();
            if (m_bAwaitLinkBack && m_pPlotter->LinkUp())
                m_bAwaitLinkBack = false;
            if (now >= nextProbe) {
                gProbeRequest = true;
                nextProbe = now + 1000;
            }
            if (now >= nextScan) {
                Scan();
                nextScan = now + 3000;
            }
            if (m_Print && m_Print->forcedAbortAt >= 0 && now >= m_Print->forcedAbortAt) {
                m_Print->forcedAbortAt = -1;
                Abort();
            }
            AbortWhenDown(now);
            if (now >= nextAction && m_strFailure.empty()) {
                Act();
                nextAction = now + Pick(500, 15000);
            }
            if (m_strFailure.empty())
                CheckRows();
            if (!m_Log.Errors().empty())
                Fail("log: " + m_Log.Errors().front());
            if (m_Print && now - m_Print->startMs > kPrintBoundMs)
                Fail("the print did not end within " + std::to_string(kPrintBoundMs / 3600000) + " h of virtual time");
            if (m_Print && m_Print->abortDownAt >= 0 && !m_pPlotter->LinkUp() && now - m_Print->abortDownAt > kGiveUpBoundMs)
                Fail("an abort while the plotter cannot be reached did not end the job within " +
                     std::to_string(kGiveUpBoundMs) + " ms (it waits " + m_Print->downWait + ")");
            if (!m_Print && now - m_nLastProgress > kStallBoundMs &&
                std::any_of(m_Files.begin(), m_Files.end(), [](const auto& f) { return f.second.listed && !f.second.held; }))
                Fail("queued jobs, but none started for " + std::to_string(kStallBoundMs / 60000) + " min");
            if (m_nFed >= m_nJobs && !m_Print && !m_Folder.Away() && m_strFailure.empty() && ClearHeldRows())
                break;
            int64_t wake = std::min({nextProbe, nextScan, nextAction});
            if (m_Folder.Away())
                wake = std::min(wake, m_Folder.BackAt());
            // Close steps while an abort waits for the plotter to go, and while it must end the job.
            if (m_Print && !m_Print->downWait.empty() && (!m_Print->aborted || m_Print->abortDownAt >= 0))
                wake = std::min(wake, m_Clock.Now() + 100);
            m_Clock.Resume(wake);
        }
        const int64_t virtualMs = m_Clock.Now();
        StopWorker();
        CheckPlotter();
        if (m_Log.InJob())
            Fail("the log ends inside a job");
        CloseLogFile();
        std::error_code ec;
        if (fs::file_size(m_Dir / "logfile.txt", ec) != m_Log.Bytes())
            Fail("the log file does not hold every entry written");
        if (!m_Log.Errors().empty())
            Fail("log: " + m_Log.Errors().front());
        Report(virtualMs, std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count());
    }

    void Report(int64_t virtualMs, double wallSeconds)
    {
        std::printf("soak: seed %u, %s, compression %s, packets of %d bytes\n", m_nSeed, m_pCarriage->name,
                    m_bCompress ? "on" : "off", m_nPacket);
        std::printf("  files %d (", m_Stats.files);
        for (int c = 0; c < 4; ++c)
            std::printf("%s%s %d", c ? ", " : "", kContentNames[c], m_Stats.contents[c]);
        std::printf("; arriving slowly %d, not removable %d), not sent %d\n", m_Stats.slow, m_Stats.unremovable,
                    m_Stats.notSent);
        std::printf("  prints %d (whole %d, cut short %d, interrupted by an exit %d, aborted out of the "
                    "plotter's reach %d), copies added %d\n",
                    m_Stats.prints, m_Stats.whole, m_Stats.cut, m_Stats.interrupted, m_Log.GiveUps(),
                    m_Stats.extraCopies);
        std::printf("  files kept after their last copy %d (removed at a later scan %d), replaced while printing %d, "
                    "queued again as a new version %d, deletes refused by the file system %d\n",
                    m_Stats.kept, m_Stats.removedLater, m_Stats.replacedWhilePrinting, m_Stats.queuedAsNew,
                    m_Stats.deletesRefused);
        std::printf("  the share dropped %d time(s) (%d in the middle of a queue operation), a second program refused %d "
                    "time(s)\n",
                    m_Folder.Vanished(), m_Folder.VanishedAtStat(), m_Stats.secondRefused);
        std::printf("  aborts with the plotter out of reach:");
        for (const auto& [wait, n] : m_Stats.downAborts)
            std::printf(" %s %d,", wait.c_str(), n);
        std::printf(" longest until the job was handed back %lld ms\n", static_cast<long long>(m_Stats.maxGiveUpMs));
        std::printf("  faults scheduled / injected:");
        for (int k = 0; k < kKinds; ++k)
            std::printf("%s %s %d/%d", k ? "," : "", kKindNames[k], m_Stats.scheduled[k], m_Stats.hit[k]);
        std::printf("\n  operator actions:");
        for (int a = 0; a < kActions; ++a)
            std::printf("%s %s %d", a ? "," : "", kActionNames[a], m_Stats.actions[a]);
        std::printf(" (deletes refused while plotting %d; the plotter switched off and on with a crash %d)\n",
                    m_Stats.refusedDeletes, m_Stats.powerCycles);
        std::printf("  checksum questions: %d Yes, %d No\n", m_Bridge.Yes(), m_Bridge.No());
        std::printf("  virtual time %.2f h, wall time %.1f s\n", double(virtualMs) / 3600000.0, wallSeconds);
    }

    int m_nJobs = 60;
    uint32_t m_nSeed = 1;
    std::mt19937 m_Rng;
    CLockstepClock m_Clock;
    CSoakBridge m_Bridge;
    CLogCheck m_Log;
    CSink m_Sink{*this};
    fs::path m_Dir;
    const Carriage* m_pCarriage = nullptr;
    bool m_bCompress = false;
    int m_nPacket = 64512;
    std::unique_ptr<CMarquellDoc> m_pRefDoc;
    std::unique_ptr<CMarquellDoc> m_pDoc;
    std::unique_ptr<CTaskQueue> m_pQueue;
    std::unique_ptr<CVirtualPlotter> m_pPlotter;
    CSoakFolder m_Folder;
    CFolderLock m_Lock;                    // the program's hold on its task folder
    std::unique_ptr<CFolderLock> m_pSecond;  // a second program started on the same folder
    std::string m_strMe;
    std::map<std::string, FileModel> m_Files;
    std::optional<Print> m_Print;
    Stats m_Stats;
    int m_nFed = 0;
    int m_nFinished = 0;
    int m_nGiveUps = 0;
    bool m_bAwayAtScan = false;
    int m_nVanishesSeen = 0;  // the share's absences the program has seen end
    bool m_bAwaitLinkBack = false;  // a job was given up on the plotter, which has not answered since
    bool m_bCrashNow = false;
    int64_t m_nLastProgress = 0;
    std::string m_strFailure;
};

TEST_F(FaultSoak, EveryJobSurvivesFaultsAndOperatorActions)
{
    Run();
    EXPECT_TRUE(m_strFailure.empty()) << m_strFailure;
    EXPECT_EQ(m_Stats.files, m_nJobs);
}

TEST(SoakLogCheck, PatternsMatchWholeLines)
{
    struct Case {
        const char* pattern;
        const char* line;
        bool match;
    } cases[] = {
        {"End %d Of %d--", "End 3 Of 12--", true},
        {"End %d Of %d--", "End  Of 12--", false},
        {"End %d Of %d--", "End 3 Of 12-- ", false},
        {"sum:%X!", "sum:00AB12FF!", true},
        {"sum:%X!", "sum:00ab12ff!", false},
        {"sum:%X!", "sum:0AB12FF!", false},
        {"Cannot plot %s", "Cannot plot /x.plt: gone", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CLogCheck::Matches(c.pattern, c.line), c.match) << c.pattern << " / " << c.line;

    // Job lines outside a job, a line nobody writes, and broken GBK are all reported.
    CLogCheck log;
    log.Entry(Utf8ToGbk("开始打印(CheckPrintTaskAndProc())!\r\n停机!\r\nCheckPrintTaskAndProc\r\n"));
    EXPECT_TRUE(log.Errors().empty());
    log.Entry(Utf8ToGbk("停机!\r\n") + "garbage\r\n" + "\xD6\r\n");
    EXPECT_EQ(log.Errors().size(), 3u);
}

}  // namespace
