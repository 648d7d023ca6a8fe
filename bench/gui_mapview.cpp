// Repaint cost of the plot preview for a marker of one million records, and of the firing-data view.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <cmath>
#include <memory>
#include <vector>

#include "document/marquelldoc.h"
#include "preview/mapview.h"

namespace {

constexpr int kRecords = 1000000;

// Piece outlines as a cutting-room marker holds them: 500 closed curves of 2000 records each
// (segments of about 1 mm) on a marker 1.8 m wide and 10 m long, in the print frame.
void FillMarker(PltInfo& info)
{
    const int piecesAcross = 10;
    const int piecesAlong = 50;
    const int segments = kRecords / (piecesAcross * piecesAlong);
    const float cellX = 72000.0f / piecesAcross;
    const float cellY = 400000.0f / piecesAlong;
    for (int i = 0; i < piecesAcross; ++i) {
        for (int j = 0; j < piecesAlong; ++j) {
            const float cx = cellX * (i + 0.5f);
            const float cy = cellY * (j + 0.5f);
            const float rx = cellX * 0.45f;
            const float ry = cellY * 0.45f;
            float px = cx + rx;
            float py = cy;
            for (int k = 1; k <= segments; ++k) {
                const double a = 2.0 * M_PI * k / segments;
                // A wavy outline, like a garment piece's notches and curves.
                const float r = 1.0f + 0.05f * static_cast<float>(std::sin(7.0 * a));
                const float x = cx + rx * r * static_cast<float>(std::cos(a));
                const float y = cy + ry * r * static_cast<float>(std::sin(a));
                info.AppendLine(px, py, x, y);
                px = x;
                py = y;
            }
        }
    }
    info.m_fMaxX = 72000.0f;
    info.m_fMaxY = 400000.0f;
}

struct Fixture {
    QTemporaryDir dir;
    std::unique_ptr<CMarquellDoc> doc;
    std::unique_ptr<CMapView> view;
    QImage image{1000, 700, QImage::Format_RGB32};

    explicit Fixture(int mode)
    {
        doc = std::make_unique<CMarquellDoc>(dir.path().toStdString());
        FillMarker(doc->m_PltData[SlotPreview]);
        FillMarker(doc->m_PltData[SlotPrintPreview]);
        doc->m_nViewMode = mode;
        view = std::make_unique<CMapView>(*doc);
        view->OnInitialUpdate();
    }
    void Paint()
    {
        QPainter p(&image);
        view->OnDraw(p, image.size(), image.rect());
    }
};

// A repaint with the slot unchanged, as after the task list's or the worker's request.
void BM_RepaintPreview(benchmark::State& state)
{
    Fixture f(static_cast<int>(state.range(0)));
    f.Paint();
    for (auto _ : state)
        f.Paint();
}
BENCHMARK(BM_RepaintPreview)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);

// A repaint after the slot was prepared again: the copy is taken and turned anew.
void BM_RepaintAfterSlotChange(benchmark::State& state)
{
    Fixture f(1);
    PltLine& first = f.doc->m_PltData[SlotPreview].m_pLines[0];
    for (auto _ : state) {
        first.x1 += 1.0f;
        f.Paint();
    }
}
BENCHMARK(BM_RepaintAfterSlotChange)->Unit(benchmark::kMillisecond);

// A repaint after a zoom command: the lines are mapped anew.
void BM_RepaintAfterZoom(benchmark::State& state)
{
    Fixture f(1);
    bool in = true;
    for (auto _ : state) {
        f.view->HandleCommand(in ? CMapView::kZoomIn : CMapView::kZoomOut);
        in = !in;
        f.Paint();
    }
}
BENCHMARK(BM_RepaintAfterZoom)->Unit(benchmark::kMillisecond);

// The firing data of a segment of a 1 m wide job, one head, four passes, every fifth word set.
void BM_RepaintFiringData(benchmark::State& state)
{
    Fixture f(4);
    CJobLayout& layout = f.doc->m_Layout[SlotPrint];
    layout.m_nColumns = 6656;
    layout.m_nSegmentWords = (layout.m_nColumns + 100) * 154;
    std::vector<uint16_t> words(static_cast<size_t>(layout.m_nSegmentWords));
    for (size_t i = 0; i < words.size(); i += 5)
        words[i] = 0x0F0F;
    CPltS4C4PrintData& data = f.doc->m_PrintData[SlotPrint];
    data.m_pBackup = words.data();
    data.m_nActiveHeads = 1;
    data.m_nHeadSlot[0] = 0;
    f.doc->m_UserDefine.m_bFourPass = true;
    for (auto _ : state)
        f.Paint();
    data.m_pBackup = nullptr;
}
BENCHMARK(BM_RepaintFiringData)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
