// Throughput of CPltFileData::Load on a large synthetic marker, and its peak memory against the
// model's record array. The growth wait runs on the virtual clock, so only reading counts.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/clock.h"
#include "plot/pltfiledata.h"
#include "support/markergen.h"
#include "support/memcount.h"

namespace {

const std::string& MarkerPath(uint64_t* bytes)
{
    static uint64_t size = 0;
    static const std::string path = [] {
        std::string p = (std::filesystem::temp_directory_path() / "tessaline_bench_marker.plt").string();
        CMarkerStats stats;
        CMarkerGen::WriteFile(p, CMarkerOptions{}, &stats);
        size = std::filesystem::file_size(p);
        std::fprintf(stderr, "marker: %d pieces, %llu segments, %.1f MB\n", stats.m_nPieces,
                     static_cast<unsigned long long>(stats.m_nSegments), size / 1e6);
        return p;
    }();
    if (bytes)
        *bytes = size;
    return path;
}

void BM_Load(benchmark::State& state)
{
    uint64_t bytes = 0;
    const std::string& path = MarkerPath(&bytes);
    CVirtualClock clock;
    SetClock(&clock);
    uint32_t lines = 0;
    for (auto _ : state) {
        CPltFileData plt;
        plt.SetScale(1.0f, 1.0f);
        plt.SetCharSize(144);
        if (!plt.Load(path.c_str()))
            state.SkipWithError("Load failed");
        lines = plt.m_nLineCount;
        benchmark::DoNotOptimize(plt.m_pLines);
    }
    SetClock(nullptr);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.counters["records"] = lines;
    state.counters["fileMB"] = bytes / 1e6;
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);

// Peak heap in use during one Load (file buffer, record array, parse state) over the record array
// the model ends with.
void BM_LoadPeakMemory(benchmark::State& state)
{
    uint64_t bytes = 0;
    const std::string& path = MarkerPath(&bytes);
    CVirtualClock clock;
    SetClock(&clock);
    double peakMB = 0, recordsMB = 0;
    for (auto _ : state) {
        CPltFileData plt;
        plt.SetScale(1.0f, 1.0f);
        const int64_t before = CMemCount::InUse();
        CMemCount::ResetPeak();
        if (!plt.Load(path.c_str()))
            state.SkipWithError("Load failed");
        peakMB = (CMemCount::Peak() - before) / 1e6;
        recordsMB = plt.m_nLineCount * sizeof(PltLine) / 1e6;
    }
    SetClock(nullptr);
    state.counters["peakMB"] = peakMB;
    state.counters["recordsMB"] = recordsMB;
    state.counters["peakPerRecords"] = recordsMB > 0 ? peakMB / recordsMB : 0;
}
BENCHMARK(BM_LoadPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
