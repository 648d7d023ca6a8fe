// The estimate's dry run of a 20 m x 1.8 m marker: the whole job through the print worker against the
// virtual plotter on virtual time, with blank segments that the plotter only verifies.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "app/dryrun.h"
#include "document/marquelldoc.h"
#include "platform/clock.h"
#include "support/markergen.h"

namespace {

namespace fs = std::filesystem;

// The default synthetic marker and one HP45 head, in a folder of their own.
struct CMarkerJob {
    CMarkerJob()
    {
        m_Dir = fs::temp_directory_path() / "tessaline_bench_dryrun";
        fs::create_directories(m_Dir);
        m_strPlot = (m_Dir / "marker.plt").string();
        CMarkerGen::WriteFile(m_strPlot, CMarkerOptions());
        std::ofstream(m_Dir / "config.ini") << "[JetPrintHeadOpenStatus]\nJetPrintHeadOpenStatus0=1\n";
    }
    ~CMarkerJob() { fs::remove_all(m_Dir); }

    fs::path m_Dir;
    std::string m_strPlot;
};

// The dry run alone, on a job prepared once (the file's reading and sectioning is BM_PrepareAndAlloc's).
void BM_DryRun(benchmark::State& state)
{
    CMarkerJob job;
    CVirtualClock clock;  // the reader's wait for a growing file passes at once
    SetClock(&clock);
    CMarquellDoc doc(job.m_Dir.string());
    doc.m_strSlotPath[SlotPrint] = job.m_strPlot;
    if (!doc.PrepareJob(SlotPrint) || !doc.AllocPrintBuffers()) {
        state.SkipWithError("the job could not be prepared");
        SetClock(nullptr);
        return;
    }
    DryRunResult result;
    for (auto _ : state) {
        result = CDryRun::Run(doc);
        if (!result.m_bFinished) {
            state.SkipWithError("the dry run did not finish");
            break;
        }
    }
    SetClock(nullptr);
    state.counters["segments"] = result.m_nSegments;
    state.counters["protocol_s"] = result.m_nMs / 1000.0;
    state.counters["segment_kb"] = doc.m_Layout[SlotPrint].m_nSegmentWords * 2 / 1024.0;
}

}  // namespace

BENCHMARK(BM_DryRun)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

BENCHMARK_MAIN();
