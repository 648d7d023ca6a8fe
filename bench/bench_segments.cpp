// Print data on a large synthetic marker: job preparation with the print buffers (time and peak
// memory), one segment built and finished, and every segment of the job. No polls are made.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "document/marquelldoc.h"
#include "platform/clock.h"
#include "support/markergen.h"
#include "support/memcount.h"

namespace {

const std::string& MarkerPath()
{
    static const std::string path = [] {
        std::string p = (std::filesystem::temp_directory_path() / "tessaline_bench_segments.plt").string();
        CMarkerStats stats;
        CMarkerGen::WriteFile(p, CMarkerOptions{}, &stats);
        std::fprintf(stderr, "marker: %d pieces, %llu segments\n", stats.m_nPieces,
                     static_cast<unsigned long long>(stats.m_nSegments));
        return p;
    }();
    return path;
}

// Default settings (one HP45 head at position 0, four passes) from a folder without config.ini.
std::unique_ptr<CMarquellDoc> MakeDoc()
{
    std::string dir = (std::filesystem::temp_directory_path() / "tessaline_bench_noconfig").string();
    std::filesystem::create_directories(dir);
    auto doc = std::make_unique<CMarquellDoc>(dir);
    doc->m_UserDefine.JetPrintHeadOpenStatus[0] = 1;
    doc->m_UserDefine.JetPrintHeadOpenStatus[1] = 1;
    doc->m_strSlotPath[SlotPrint] = MarkerPath();
    return doc;
}

// A prepared job shared by the segment benchmarks.
CMarquellDoc& PreparedDoc()
{
    static std::unique_ptr<CMarquellDoc> doc = [] {
        CVirtualClock clock;
        SetClock(&clock);
        auto d = MakeDoc();
        bool ok = d->PrepareJob(SlotPrint) && d->AllocPrintBuffers();
        SetClock(nullptr);
        const CJobLayout& l = d->m_Layout[SlotPrint];
        std::fprintf(stderr, "job%s: %u records, %d x %d dots, %d sections, %d segments of %d words\n",
                     ok ? "" : " (FAILED)", d->m_PltData[SlotPrint].m_nLineCount, l.m_nWidthDots, l.m_nLengthDots,
                     l.m_nSectionCount.load(), l.m_nSectionCount / l.m_nPassesPerSegment, l.m_nSegmentWords);
        return d;
    }();
    return *doc;
}

double SectionBytes(const CPltLineSectS4Data& s)
{
    double bytes = s.m_nSectionCount * sizeof(LineSection);
    for (uint32_t j = 0; j < s.m_nSectionCount; ++j)
        bytes += s.m_pSections[j].capacity * sizeof(PltLine);
    return bytes;
}

void BM_PrepareAndAlloc(benchmark::State& state)
{
    MarkerPath();
    CVirtualClock clock;
    SetClock(&clock);
    double peakMB = 0, modelMB = 0, sectionsMB = 0, buffersMB = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = MakeDoc();
        const int64_t before = CMemCount::InUse();
        CMemCount::ResetPeak();
        state.ResumeTiming();
        if (!doc->PrepareJob(SlotPrint) || !doc->AllocPrintBuffers())
            state.SkipWithError("job preparation failed");
        state.PauseTiming();
        peakMB = (CMemCount::Peak() - before) / 1e6;
        const CPltFileData& model = doc->m_PltData[SlotPrint];
        const CJobLayout& l = doc->m_Layout[SlotPrint];
        modelMB = model.m_nCapacity * sizeof(PltLine) / 1e6;
        sectionsMB = SectionBytes(doc->m_Sections[SlotPrint]) / 1e6;
        buffersMB = (double(doc->m_PrintData[SlotPrint].RowCount()) * l.m_nRowBytes + 3.0 * 2 * l.m_nSegmentWords) / 1e6;
        doc.reset();
        state.ResumeTiming();
    }
    SetClock(nullptr);
    state.counters["peakMB"] = peakMB;
    state.counters["modelMB"] = modelMB;
    state.counters["sectionsMB"] = sectionsMB;
    state.counters["buffersMB"] = buffersMB;
    state.counters["peakPerTotal"] = peakMB / (modelMB + sectionsMB + buffersMB);
}
BENCHMARK(BM_PrepareAndAlloc)->Unit(benchmark::kMillisecond)->Iterations(5);

// One segment as the worker builds it, cycling through the job so every part of the marker counts.
void BM_Segment(benchmark::State& state)
{
    CMarquellDoc& doc = PreparedDoc();
    CJobLayout& layout = doc.m_Layout[SlotPrint];
    const int passes = layout.m_nPassesPerSegment;
    const int segments = layout.m_nSectionCount / passes;
    int k = 0;
    for (auto _ : state) {
        doc.MakeSegment(k * passes, false);
        doc.CompressAndChecksum();
        benchmark::DoNotOptimize(doc.m_PrintData[SlotPrint].m_nChecksum);
        k = (k + 1) % segments;
    }
    state.counters["segmentWords"] = layout.m_nSegmentWords;
}
BENCHMARK(BM_Segment)->Unit(benchmark::kMillisecond);

void BM_Segment_Compressed(benchmark::State& state)
{
    CMarquellDoc& doc = PreparedDoc();
    doc.m_UserDefine.DATACOMPRESS = true;
    CJobLayout& layout = doc.m_Layout[SlotPrint];
    const int passes = layout.m_nPassesPerSegment;
    const int segments = layout.m_nSectionCount / passes;
    int k = 0;
    double sent = 0;
    for (auto _ : state) {
        doc.MakeSegment(k * passes, false);
        doc.CompressAndChecksum();
        sent += layout.m_nSentWords;
        k = (k + 1) % segments;
    }
    doc.m_UserDefine.DATACOMPRESS = false;
    state.counters["sentWordsAvg"] = sent / double(state.iterations());
}
BENCHMARK(BM_Segment_Compressed)->Unit(benchmark::kMillisecond);

// The colour bar and every segment of the job.
void BM_WholeJob(benchmark::State& state)
{
    CMarquellDoc& doc = PreparedDoc();
    CJobLayout& layout = doc.m_Layout[SlotPrint];
    const int passes = layout.m_nPassesPerSegment;
    for (auto _ : state) {
        doc.MakeSegment(0, true);
        doc.CompressAndChecksum();
        for (layout.m_nSectionCursor = 0; !doc.IsJobDone(); layout.m_nSectionCursor += passes) {
            doc.MakeSegment(layout.m_nSectionCursor, false);
            doc.CompressAndChecksum();
        }
        benchmark::DoNotOptimize(doc.m_PrintData[SlotPrint].m_nChecksum);
    }
    state.counters["segments"] = layout.m_nSectionCount / passes + 1;
}
BENCHMARK(BM_WholeJob)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
