// Fault soak: jobs through the task list and the print worker against the virtual plotter, with seeded
// faults of every kind the plotter can inject and the operator's actions; every print is checked as it
// ends. TESSALINE_SOAK_JOBS (default 60) and TESSALINE_SOAK_SEED (default 1) set length and course.
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
#include <vector>

#include "document/marquelldoc.h"
#include "link/printerstatus.h"
#include "link/statustext.h"
#include "link/workerflags.h"
#include "platform/logwriter.h"
#include "platform/usbadapter.h"
#include "platform/windowbridge.h"
#include "queue/printworker.h"
#include "queue/taskqueue.h"
#include "sim/virtualplotter.h"
#include "support/processstate.h"
#include "testtmp.h"

#include "lockstepclock.h"
#include "logcheck.h"
#include "markers.h"

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

constexpr int kKinds = 10;
const char* const kKindNames[kKinds] = {"reject-cmd", "reject-data",  "no-reply", "bad-dram", "link-lost",
                                        "out-of-order", "no-print-end", "pause",    "continue", "stop"};

enum Action { ActAbort, ActDelete, ActAddCopy, ActRemoveCopy, ActPlot, ActPreview, ActExit, ActCrash, ActEarlyAbort, kActions };
const char* const kActionNames[kActions] = {"abort",   "delete",           "copies +1",         "copies -1",
                                            "plot a held row", "preview", "exit and restart", "crash and restart",
                                            "abort before the worker takes the job"};

// A print may take this long in virtual time (link downtimes and pauses included) before it counts as hung.
constexpr int64_t kPrintBoundMs = 2 * 3600 * 1000;
// A queue with work that starts nothing for this long has stalled.
constexpr int64_t kStallBoundMs = 10 * 60 * 1000;
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
    CReferencePage ref;
    int copiesLeft = 1;
    bool held = false;    // "Not plot": an incomplete print put it on hold
    bool listed = false;  // a scan has listed it since the last start of the program
};

struct Print {
    std::string path;
    int number = 0;
    int64_t startMs = 0;
    int startCommands = 0;  // start commands (0x0B) the plotter had seen before this print
    int noAnswers = 0;      // No answers before this print
    std::string faults;
    bool aborted = false;
    bool stopped = false;  // the plotter's stop key was pressed
    int segmentsAtAbort = 0;
    int64_t forcedAbortAt = -1;  // a pause that never ends is the operator's to abort
};

struct Stats {
    int files = 0, prints = 0, whole = 0, cut = 0, interrupted = 0, extraCopies = 0, refusedDeletes = 0;
    int scheduled[kKinds] = {}, hit[kKinds] = {};
    int actions[kActions] = {};
};

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
        if (HasFailure())
            std::printf("soak folder kept: %s\n", m_Dir.string().c_str());
        else
            fs::remove_all(m_Dir);
    }

    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_Rng); }
    bool Chance(double p) { return std::bernoulli_distribution(p)(m_Rng); }
    std::string Folder() const { return m_pQueue ? m_pQueue->TaskFolder() : (m_Dir / "tasks").string() + "/"; }

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
        m_strFailure += ":\n  " + what + "\nlast log lines:\n" + m_Log.Tail();
    }

    // ---- the program: start, exit, restart ----

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

    // Exit (or a crash, which also power-cycles the plotter) and a fresh start of the program: the
    // rows come back from the queue's state file with their copies and holds; the job that was printing
    // comes back held. A worker already past its print loop when the exit comes still hands its job back
    // meanwhile.
    void Restart(bool crash)
    {
        HarvestFaults();
        StopWorker();
        if (m_Print) {
            if (!fs::exists(m_Print->path))
                Fail("the file of the print interrupted by the exit is gone");
            FileModel& file = m_Files[m_Print->path];
            file.held = true;
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
        ResetPrintPathState();
        if (crash) {
            SetUsbAdapter(nullptr);
            m_pPlotter.reset();
        }
        for (auto& [path, file] : m_Files)
            file.listed = false;
        m_nLastProgress = m_Clock.Now();
        StartProgram();
        // The new worker parks at its first sleep before the window side goes on: same course every run.
        if (!m_Clock.WaitParked(kRealBound))
            Fail("the restarted worker never reached its first wait");
    }

    // ---- the window side's timers ----

    void Feed()
    {
        static const char* const kExtensions[] = {".plt", ".pla", ".hpgl", ".hpg", ".PRT"};
        if (m_nFed >= m_nJobs || m_Files.size() >= 4)
            return;
        const std::string marker = MakeMarker(m_Rng);
        const std::string ext = kExtensions[Pick(0, 4)];
        char name[32];
        std::snprintf(name, sizeof name, "m%04d", m_nFed);
        std::string path;
        if (Chance(0.5)) {
            path = Folder() + name + ext;
            fs::create_directories(Folder());
            std::ofstream(path, std::ios::binary) << marker;
        } else {
            // Names that repeat, so that adding renames.
            const std::string source = (m_Dir / "incoming" / ((Chance(0.5) ? "cut" : name) + ext)).string();
            std::ofstream(source, std::ios::binary) << marker;
            path = m_pQueue->AddFile(source);
            CTaskQueue::LogAddFileDone();
            if (path.empty()) {
                Fail("adding " + source + " failed");
                return;
            }
        }
        FileModel file;
        if (!MakeReferencePage(*m_pRefDoc, path, file.ref)) {
            Fail("the marker " + path + " cannot be prepared:\n" + marker);
            return;
        }
        m_Files[path] = std::move(file);
        ++m_nFed;
        ++m_Stats.files;
    }

    std::string RandomRow(const std::vector<CTaskRow>& rows)
    {
        return rows.empty() ? std::string() : rows[size_t(Pick(0, int(rows.size()) - 1))].m_strPath;
    }

    void Scan()
    {
        Feed();
        const std::vector<CTaskRow> before = m_pQueue->Rows();
        m_pQueue->RefreshList(Chance(0.15) ? RandomRow(before) : std::string());
        for (const CTaskRow& row : m_pQueue->Rows()) {
            auto it = m_Files.find(row.m_strPath);
            if (it == m_Files.end())
                Fail("a row for a file the soak never made: " + row.m_strPath);
            else
                it->second.listed = true;
        }
        if (!m_Print && gPrinterStatus.HasPrintTask())
            PrintStarted();
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
        m_Print = Print();
        m_Print->path = path;
        m_Print->number = ++m_Stats.prints;
        m_Print->startMs = m_Clock.Now();
        m_Print->startCommands = m_pPlotter->CommandCount(0x0B);
        m_Print->noAnswers = m_Bridge.No();
        m_nLastProgress = m_Clock.Now();
        ScheduleFaults(it->second.ref.Segments());
        if (Chance(0.04)) {
            // Before the worker has even seen the task.
            ++m_Stats.actions[ActEarlyAbort];
            Abort();
        }
    }

    // One to three faults of random kinds for this print, tied to its own segments.
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
        CFaultSchedule schedule;
        std::string all;
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
            }
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

    // Counts what the plotter injected and ends the schedule: faults belong to one print.
    CFaultSchedule HarvestFaults()
    {
        CFaultSchedule record = m_pPlotter ? m_pPlotter->FaultRecord() : CFaultSchedule();
        for (const CFaultSchedule::Fault& f : record.Faults()) {
            m_Stats.hit[int(f.kind)] += f.hits;
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

    int PlotterSegments() const
    {
        return m_Print && m_pPlotter->CommandCount(0x0B) > m_Print->startCommands ? m_pPlotter->SegmentsPrinted() : 0;
    }

    void Act()
    {
        const Action action = Action(std::discrete_distribution<int>({14, 10, 18, 8, 10, 8, 5, 3})(m_Rng));
        ++m_Stats.actions[action];
        const std::vector<CTaskRow> rows = m_pQueue->Rows();
        const std::string path = RandomRow(rows);
        auto file = m_Files.find(path);
        const bool plotting = m_Print && path == m_Print->path;
        switch (action) {
        case ActAbort: Abort(); break;
        case ActDelete:
            if (path.empty())
                break;
            if (plotting) {
                const int refused = m_Bridge.Count(kDeleteRefused);
                m_pQueue->Delete(path);
                ++m_Stats.refusedDeletes;
                if (m_Bridge.Count(kDeleteRefused) != refused + 1 || !fs::exists(path))
                    Fail("deleting the plotting row was not refused");
            } else {
                m_pQueue->Delete(path);
                if (fs::exists(path))
                    Fail("a deleted row's file is still there: " + path);
                m_Files.erase(path);
            }
            break;
        case ActAddCopy:
        case ActRemoveCopy:
            if (path.empty() || file == m_Files.end())
                break;
            if (action == ActAddCopy) {
                m_pQueue->AddCopy(path);
                if (!plotting && file->second.copiesLeft < 10) {
                    ++file->second.copiesLeft;
                    ++m_Stats.extraCopies;
                }
            } else {
                m_pQueue->RemoveCopy(path);
                if (!plotting && file->second.copiesLeft > 1)
                    --file->second.copiesLeft;
            }
            break;
        case ActPlot:
            for (const CTaskRow& row : rows)
                if (row.m_eStatus == ETaskStatus::NotPlot) {
                    m_pQueue->Plot(row.m_strPath);
                    m_Files[row.m_strPath].held = false;
                    break;
                }
            break;
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
                Fail("row " + row.m_strPath + " is \"" + StatusText(row.m_eStatus) + "\", expected " +
                     (file.held ? "held" : "queued"));
            if (!(plotting && m_Print->aborted) && row.m_nCopies != file.copiesLeft)
                Fail("row " + row.m_strPath + " has " + std::to_string(row.m_nCopies) + " copies left, expected " +
                     std::to_string(file.copiesLeft));
        }
        for (const auto& [path, file] : m_Files) {
            if (!fs::exists(path))
                Fail("the file of a job that was neither printed to its last copy nor aborted is gone: " + path);
            if (file.listed && std::none_of(rows.begin(), rows.end(), [&](const CTaskRow& r) { return r.m_strPath == path; }))
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
        FileModel& file = m_Files[print.path];
        const int segments = PlotterSegments();
        const CFaultSchedule record = HarvestFaults();
        CheckPlotter();
        if (print.startCommands < m_pPlotter->CommandCount(0x0B))
            CheckTransfers(segments);
        const std::string page = print.startCommands < m_pPlotter->CommandCount(0x0B)
                                     ? file.ref.Compare(m_pPlotter->Page(), segments)
                                     : std::string();
        if (!page.empty())
            Fail("the page after " + std::to_string(segments) + " segment(s) is not the marker's: " + page);

        const bool whole = segments == file.ref.Segments();
        const bool stopped = print.stopped;
        const bool refused = m_Bridge.No() > print.noAnswers;
        if (print.aborted && segments > print.segmentsAtAbort + 1)
            Fail("the abort was lost: " + std::to_string(segments) + " segments printed, " +
                 std::to_string(print.segmentsAtAbort) + " when the operator aborted");
        if (!whole && !print.aborted && !stopped && !refused) {
            std::string hits;
            for (const CFaultSchedule::Fault& f : record.Faults())
                hits += " " + std::string(kKindNames[int(f.kind)]) + "=" + std::to_string(f.hits);
            Fail("the print ended after " + std::to_string(segments) + " of " + std::to_string(file.ref.Segments()) +
                 " segments without an abort, a stop or a No (faults injected:" + hits + ")");
        }
        const bool printedWhole = outcome == EJobOutcome::PrintedWhole;
        if (!print.aborted && printedWhole != whole)
            Fail(std::string("the worker counts the print as ") + (printedWhole ? "whole" : "incomplete") +
                 ", the plotter printed " + std::to_string(segments) + " of " + std::to_string(file.ref.Segments()));
        if (m_Log.PrintEnds() + m_Log.GiveUps() != m_nFinished)
            Fail("finish handshakes logged " + std::to_string(m_Log.PrintEnds()) + ", jobs given up " +
                 std::to_string(m_Log.GiveUps()) + ", jobs finished " + std::to_string(m_nFinished));
        // An abort that could not reach the plotter did not end the print there: the job is held with its file.
        const bool givenUp = outcome == EJobOutcome::LinkLost;
        if (givenUp && !print.aborted)
            Fail("a job was given up on its plotter without an abort");

        m_pQueue->JobFinished(outcome);

        const std::vector<CTaskRow> rows = m_pQueue->Rows();
        auto row = std::find_if(rows.begin(), rows.end(), [&](const CTaskRow& r) { return r.m_strPath == print.path; });
        const bool exists = fs::exists(print.path);
        if (givenUp) {
            file.held = true;
            file.copiesLeft = 1;
            if (!exists || row == rows.end() || row->m_eStatus != ETaskStatus::NotPlot || row->m_nCopies != 1 ||
                row->m_strDetails != kDetailsIncomplete)
                Fail("an aborted job whose plotter could not be reached is not held with its file");
        } else if (print.aborted || (whole && file.copiesLeft <= 1)) {
            if (exists || row != rows.end())
                Fail("the file of a job " + std::string(print.aborted ? "aborted" : "printed to its last copy") +
                     " is still " + (exists ? "there" : "listed"));
            m_Files.erase(print.path);
        } else if (!exists) {
            Fail(std::string("the file of a ") + (whole ? "job with copies left" : "print that did not complete") +
                 " was deleted");
            m_Files.erase(print.path);
        } else if (whole) {
            --file.copiesLeft;
            if (row == rows.end() || row->m_eStatus != ETaskStatus::Waiting || row->m_nCopies != file.copiesLeft)
                Fail("a job with copies left is not queued again with " + std::to_string(file.copiesLeft));
        } else {
            file.held = true;
            if (row == rows.end() || row->m_eStatus != ETaskStatus::NotPlot || row->m_nCopies != file.copiesLeft ||
                row->m_strDetails != kDetailsIncomplete)
                Fail("an incomplete print is not held with its copies");
        }
        ++(whole ? m_Stats.whole : m_Stats.cut);
        m_nLastProgress = m_Clock.Now();
        m_Print.reset();
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
            const int64_t now = m_Clock.Now();
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
            if (!m_Print && now - m_nLastProgress > kStallBoundMs &&
                std::any_of(m_Files.begin(), m_Files.end(), [](const auto& f) { return f.second.listed && !f.second.held; }))
                Fail("queued jobs, but none started for " + std::to_string(kStallBoundMs / 60000) + " min");
            if (m_nFed >= m_nJobs && !m_Print) {
                // The operator clears what is left on hold.
                for (auto it = m_Files.begin(); it != m_Files.end();) {
                    if (it->second.held) {
                        m_pQueue->Delete(it->first);
                        it = m_Files.erase(it);
                    } else {
                        ++it;
                    }
                }
                if (m_Files.empty())
                    break;
            }
            m_Clock.Resume(std::min({nextProbe, nextScan, nextAction}));
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
        std::printf("  files %d, prints %d (whole %d, cut short %d, interrupted by an exit %d, aborted out of the "
                    "plotter's reach %d), copies added %d\n",
                    m_Stats.files, m_Stats.prints, m_Stats.whole, m_Stats.cut, m_Stats.interrupted, m_Log.GiveUps(),
                    m_Stats.extraCopies);
        std::printf("  faults scheduled / injected:");
        for (int k = 0; k < kKinds; ++k)
            std::printf("%s %s %d/%d", k ? "," : "", kKindNames[k], m_Stats.scheduled[k], m_Stats.hit[k]);
        std::printf("\n  operator actions:");
        for (int a = 0; a < kActions; ++a)
            std::printf("%s %s %d", a ? "," : "", kActionNames[a], m_Stats.actions[a]);
        std::printf(" (deletes refused %d)\n  checksum questions: %d Yes, %d No\n", m_Stats.refusedDeletes,
                    m_Bridge.Yes(), m_Bridge.No());
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
    std::map<std::string, FileModel> m_Files;
    std::optional<Print> m_Print;
    Stats m_Stats;
    int m_nFed = 0;
    int m_nFinished = 0;
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
