// A whole 20 m x 1.8 m job through the print worker against the virtual plotter, on virtual time: the
// workstation's CPU time per segment next to the protocol's own time per segment (the sum of its pauses).
#include <benchmark/benchmark.h>

#include <condition_variable>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "document/marquelldoc.h"
#include "link/printerstatus.h"
#include "link/statustext.h"
#include "link/workerflags.h"
#include "platform/clock.h"
#include "platform/logwriter.h"
#include "platform/usbadapter.h"
#include "platform/windowbridge.h"
#include "queue/printworker.h"
#include "sim/virtualplotter.h"
#include "support/markergen.h"

namespace {

namespace fs = std::filesystem;

int64_t ProcessCpuNs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return int64_t{ts.tv_sec} * 1000000000 + ts.tv_nsec;
}

class CJobEnd : public CJobFinishedSink {
public:
    void JobFinished(EJobOutcome) override
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        m_bDone = true;
        m_Cv.notify_all();
    }
    bool Wait()
    {
        std::unique_lock<std::mutex> lock(m_Lock);
        return m_Cv.wait_for(lock, std::chrono::minutes(30), [&] { return m_bDone; });
    }

private:
    std::mutex m_Lock;
    std::condition_variable m_Cv;
    bool m_bDone = false;
};

// One prepared job in a folder of its own: the default synthetic marker, one HP45 head.
struct CJobFiles {
    CJobFiles()
    {
        m_Dir = fs::temp_directory_path() / "tessaline_bench_print";
        fs::create_directories(m_Dir);
        m_strPlot = (m_Dir / "marker.plt").string();
        CMarkerGen::WriteFile(m_strPlot, CMarkerOptions());
        std::ofstream(m_Dir / "config.ini") << "[JetPrintHeadOpenStatus]\nJetPrintHeadOpenStatus0=1\n";
    }
    ~CJobFiles() { fs::remove_all(m_Dir); }

    fs::path m_Dir;
    std::string m_strPlot;
};

void BM_PrintJob(benchmark::State& state)
{
    CJobFiles files;
    CVirtualClock clock;
    SetClock(&clock);
    for (auto _ : state) {
        gPrinterStatus.Reset();
        gStatusText.Reset();
        ResetWorkerFlags();
        CMarquellDoc doc(files.m_Dir.string());
        doc.m_strSlotPath[SlotPrint] = files.m_strPlot;
        if (!doc.PrepareJob(SlotPrint) || !doc.AllocPrintBuffers()) {
            state.SkipWithError("the job could not be prepared");
            break;
        }
        CVirtualPlotter plotter(doc.m_UserDefine);
        plotter.SetKeepPage(false);  // a 20 m page is 260 MB of bits; the plotter still decodes every dot
        CJobEnd end;
        SetUsbAdapter(&plotter);
        SetJobFinishedSink(&end);
        gpDoc = &doc;

        const int64_t sleptBefore = clock.SleptTotal();
        const int64_t cpuBefore = ProcessCpuNs();
        gPrinterStatus.m_bPrinting = true;
        gPrinterStatus.RequestPrint();
        gProbeRequest = true;
        StartPrintWorker();
        const bool finished = end.Wait();
        const int64_t cpu = ProcessCpuNs() - cpuBefore - plotter.CpuNanoseconds();
        const int64_t protocolMs = clock.SleptTotal() - sleptBefore;
        StopPrintWorker();

        SetJobFinishedSink(nullptr);
        SetUsbAdapter(nullptr);
        gpDoc = nullptr;
        if (!finished || !plotter.Problems().empty() || plotter.StrayBits() != 0) {
            state.SkipWithError("the job did not print cleanly");
            break;
        }
        const CJobLayout& layout = doc.m_Layout[SlotPrint];
        const double segments = layout.m_nSectionCount / layout.m_nPassesPerSegment;
        state.counters["segments"] = segments;
        state.counters["cpu_ms_per_segment"] = cpu / 1e6 / segments;
        state.counters["plotter_cpu_ms_per_segment"] = plotter.CpuNanoseconds() / 1e6 / segments;
        state.counters["protocol_ms_per_segment"] = protocolMs / segments;
        state.counters["cpu_share_pct"] = 100.0 * (cpu / 1e6) / static_cast<double>(protocolMs);
        state.counters["segment_kb"] = layout.m_nSegmentWords * 2 / 1024.0;
    }
    SetClock(nullptr);
}

}  // namespace

BENCHMARK(BM_PrintJob)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

BENCHMARK_MAIN();
