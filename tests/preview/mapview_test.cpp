// The plot preview: zoom commands, the fit rule, degenerate drawings, the firing data, wheel and repaints.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <set>
#include <thread>
#include <tuple>
#include <vector>

#include "document/marquelldoc.h"
#include "link/workerflags.h"
#include "preview/mapview.h"

namespace {

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlue = qRgb(0, 0, 255);

class MapViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_Dir.isValid());
        m_pDoc = std::make_unique<CMarquellDoc>(m_Dir.path().toStdString());
        m_pView = std::make_unique<CMapView>(*m_pDoc);
        m_pView->OnInitialUpdate();
    }
    void TearDown() override
    {
        // The segment buffer belongs to the test, not to the print data.
        m_pDoc->m_PrintData[SlotPrint].m_pBackup = nullptr;
        m_pView.reset();
    }

    // Lines in the slot's frame; the view shows a slot point (x, y) at (y, maxX - x) after its three turns.
    void SetSlot(JobSlot slot, const std::vector<PltLine>& lines, float maxX, float maxY)
    {
        CPltFileData& m = m_pDoc->m_PltData[slot];
        m.FreeLines();
        for (const PltLine& l : lines)
            m.AppendLine(l.x1, l.y1, l.x2, l.y2);
        m.m_fMaxX = maxX;
        m.m_fMaxY = maxY;
    }

    QImage Render(int mode, int w, int h)
    {
        m_pDoc->m_nViewMode = mode;
        QImage img(w, h, QImage::Format_RGB32);
        img.fill(Qt::green);
        QPainter p(&img);
        m_pView->OnDraw(p, img.size(), img.rect());
        return img;
    }

    static std::set<std::tuple<int, int, QRgb>> Marks(const QImage& img, const std::set<int>& skipRows)
    {
        std::set<std::tuple<int, int, QRgb>> out;
        for (int y = 0; y < img.height(); ++y) {
            if (skipRows.count(y))
                continue;
            for (int x = 0; x < img.width(); ++x) {
                const QRgb c = img.pixel(x, y) | 0xFF000000;
                if (c != kWhite)
                    out.emplace(x, y, c);
            }
        }
        return out;
    }

    QTemporaryDir m_Dir;
    std::unique_ptr<CMarquellDoc> m_pDoc;
    std::unique_ptr<CMapView> m_pView;
};

TEST_F(MapViewTest, ZoomCommandsStepAndClamp)
{
    using V = CMapView;
    struct Step {
        int id;
        int zoom;
    };
    std::vector<Step> steps = {{V::kZoom50, 50}, {V::kZoomOut, 30}, {V::kZoomOut, 10}, {V::kZoomOut, 20},
                               {V::kZoomOut, 20}, {V::kZoomIn, 40},  {V::kZoom100, 100}};
    for (int z = 120; z <= 1000; z += 20)
        steps.push_back({V::kZoomIn, z});
    steps.push_back({V::kZoomIn, 1000});
    steps.push_back({V::kZoomOut, 980});
    steps.push_back({V::kZoom50, 50});
    for (int z = 70; z <= 1010; z += 20)
        steps.push_back({V::kZoomIn, z});
    steps.push_back({V::kZoomOut, 1000});
    steps.push_back({V::kZoom50, 50});
    for (int z = 70; z <= 1010; z += 20)
        steps.push_back({V::kZoomIn, z});
    steps.push_back({V::kZoomIn, 1000});

    EXPECT_EQ(m_pView->Zoom(), 100);
    for (size_t i = 0; i < steps.size(); ++i) {
        ASSERT_TRUE(m_pView->HandleCommand(steps[i].id));
        ASSERT_EQ(m_pView->Zoom(), steps[i].zoom) << "step " << i;
    }
    for (int id : {V::kZoomIn, V::kZoomOut, V::kZoom100, V::kZoom50})
        EXPECT_TRUE(m_pView->CanHandle(id)) << id;
    EXPECT_FALSE(m_pView->CanHandle(32784));
    EXPECT_FALSE(m_pView->HandleCommand(32784));
}

TEST_F(MapViewTest, FirstUpdatePublishesTheViewAndDestructionWithdrawsIt)
{
    EXPECT_EQ(gpMapView, m_pView.get());
    EXPECT_EQ(m_pView->ScrollSizes(), QSize(100, 100));
    m_pView.reset();
    EXPECT_EQ(gpMapView, nullptr);
}

TEST_F(MapViewTest, ModesWithoutDrawingShowWhite)
{
    SetSlot(SlotPreview, {{0, 0, 1400, 1680}}, 1400, 1680);
    SetSlot(SlotPrintPreview, {{0, 0, 1400, 1680}}, 1400, 1680);
    for (int mode : {0, 2, 3}) {
        const QImage img = Render(mode, 300, 200);
        EXPECT_TRUE(Marks(img, {}).empty()) << "mode " << mode;
        EXPECT_EQ(m_pView->ScrollSizes(), QSize(100, 100));
    }
    for (int mode : {1, 5})
        EXPECT_FALSE(Marks(Render(mode, 300, 200), {}).empty()) << "mode " << mode;
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);  // the wait cursor is gone again
}

TEST_F(MapViewTest, IntegerWindowAspectChoosesTheFit)
{
    // Turned, the drawing is 1680 x 1400 units: aspect 1.2.
    SetSlot(SlotPreview, {{1400, 0, 1400, 1680}, {0, 100, 1400, 100}}, 1400, 1680);
    struct Case {
        int w, h, zoomCommand;
        bool fitHeight;
        float scale;
        QSize scroll;
    };
    const Case cases[] = {
        {1000, 700, CMapView::kZoom100, true, 2.0f, {1680 / 2 + 500, 700 + 300}},
        {1000, 700, CMapView::kZoom50, true, 2.0f, {1680 / 2 / 2 + 500, 700 / 2 + 300}},
        {1400, 700, CMapView::kZoom100, false, 1680.0f / 1400, {1400 + 500, 1466}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " zoom " << c.zoomCommand);
        m_pView->HandleCommand(c.zoomCommand);
        Render(1, c.w, c.h);
        EXPECT_EQ(m_pView->LastFit().m_bFitHeight, c.fitHeight);
        EXPECT_EQ(m_pView->LastFit().m_fScale, c.scale);
        EXPECT_EQ(m_pView->ScrollSizes(), c.scroll);
    }

    // At 100 % in 1000 x 700 two units make a pixel: the slot's vertical line runs along the top
    // row, its horizontal line down column 50; a line leaves out its end point.
    m_pView->HandleCommand(CMapView::kZoom100);
    const QImage img = Render(1, 1000, 700);
    EXPECT_EQ(img.pixel(0, 0), kBlack);
    EXPECT_EQ(img.pixel(839, 0), kBlack);
    EXPECT_EQ(img.pixel(840, 0), kWhite);
    EXPECT_EQ(img.pixel(50, 350), kBlack);
    EXPECT_EQ(img.pixel(50, 699), kBlack);
    EXPECT_EQ(img.pixel(51, 350), kWhite);
    EXPECT_EQ(img.pixel(500, 350), kWhite);
}

TEST_F(MapViewTest, DrawingWithoutExtentOrWindowDrawsSafely)
{
    struct Case {
        const char* name;
        std::vector<PltLine> lines;
        float maxX, maxY;
        QPoint inked;   // a pixel the drawing must reach
        QSize scroll;
    };
    const Case cases[] = {
        // Turned, a horizontal line (0,0)-(1000,0) of height 0: fitted to the width instead.
        {"height 0", {{0, 0, 0, 1000}}, 0, 1000, {999, 0}, {1500, 300}},
        // Turned, a vertical line (0,0)-(0,700) of width 0: fitted to the height instead.
        {"width 0", {{0, 0, 700, 0}}, 700, 0, {0, 699}, {500, 1000}},
        // No extent at all: one unit per pixel.
        {"a point", {{0, 0, 0, 0}}, 0, 0, {-1, -1}, {1000 + 500, 300}},
        // Far outside any integer range: the extent grows with it, the sizes stay ints.
        {"huge coordinates", {{0, 0, 0, 1000}, {-1e30f, 3e38f, 1e30f, -3e38f}}, 0, 1000, {-1, -1}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetSlot(SlotPreview, c.lines, c.maxX, c.maxY);
        const QImage img = Render(1, 1000, 700);
        if (c.inked.x() >= 0) {
            EXPECT_EQ(img.pixel(c.inked), kBlack);
        }
        if (c.scroll.isValid()) {
            EXPECT_EQ(m_pView->ScrollSizes(), c.scroll);
        } else {
            EXPECT_LE(m_pView->ScrollSizes().width(), CPreviewFit::kCoordLimit);
            EXPECT_LE(m_pView->ScrollSizes().height(), CPreviewFit::kCoordLimit);
        }
        EXPECT_TRUE(std::isfinite(m_pView->LastFit().m_fScale));
        EXPECT_GT(m_pView->LastFit().m_fScale, 0.0f);
    }

    SetSlot(SlotPreview, {{0, 0, 1400, 1680}}, 1400, 1680);
    const QSize before = m_pView->ScrollSizes();
    for (QSize client : {QSize(0, 700), QSize(1000, 0), QSize(0, 0)}) {
        m_pDoc->m_nViewMode = 1;
        QImage img(10, 10, QImage::Format_RGB32);
        QPainter p(&img);
        m_pView->OnDraw(p, client, img.rect());
        EXPECT_EQ(m_pView->ScrollSizes(), before);
    }
}

TEST_F(MapViewTest, SlotChangesReachTheNextRepaintAndTheSlotStaysUntouched)
{
    SetSlot(SlotPreview, {{1400, 0, 1400, 1680}, {0, 100, 1400, 100}}, 1400, 1680);
    const std::vector<PltLine> original(m_pDoc->m_PltData[SlotPreview].m_pLines,
                                        m_pDoc->m_PltData[SlotPreview].m_pLines + 2);
    EXPECT_EQ(Render(1, 1000, 700).pixel(50, 350), kBlack);
    const PltLine* lines = m_pDoc->m_PltData[SlotPreview].m_pLines;
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(lines[i].x1, original[i].x1);
        EXPECT_EQ(lines[i].y2, original[i].y2);
    }
    EXPECT_EQ(m_pDoc->m_PltData[SlotPreview].m_fMaxX, 1400.0f);

    // Prepared again with the same count and extent, one line moved.
    m_pDoc->m_PltData[SlotPreview].m_pLines[1].y1 = 300;
    m_pDoc->m_PltData[SlotPreview].m_pLines[1].y2 = 300;
    const QImage img = Render(1, 1000, 700);
    EXPECT_EQ(img.pixel(50, 350), kWhite);
    EXPECT_EQ(img.pixel(150, 350), kBlack);
    // Mode 5 shows its own slot.
    EXPECT_TRUE(Marks(Render(5, 1000, 700), {}).empty());
}

struct WordBit {
    int index;
    uint16_t bits;
};
struct Dash {
    int x, y;
    QRgb colour;
};
struct FiringCase {
    const char* name;
    bool fourPass;
    std::vector<int> headSlots;
    std::vector<std::pair<int, int>> columnX;  // settings entry, X
    int columns;
    std::vector<WordBit> words;
    std::vector<Dash> dashes;
};

TEST_F(MapViewTest, FiringDataDrawsADashPerFiredNozzle)
{
    const int K = 154;
    // Nozzles of the slots used: first column 1 -> 22, 7 -> 3, 48 -> none; second column 1 -> 20.
    const std::vector<FiringCase> cases = {
        {"four passes, cartridge 3 at 900 and 871",
         true,
         {2},
         {{4, 900}, {5, 871}},
         1000,
         {
             {905 * K + 1, 0x0101},            // pass 0 and pass 2, first column
             {874 * K + 1, 0x0010},            // pass 0, second column
             {(1000 - 910) * K + 7, 0x0004},   // pass 1 runs backwards
             {(1000 - 930) * K + 1, 0x4000},   // pass 3, second column
             {906 * K + 48, 0x0001},           // a slot without nozzle
             {899 * K + 1, 0x0001},            // left of the column start
         },
         {{5, 22, kBlack}, {5, 300 + 22, kBlack}, {3, 20, kRed}, {10, 150 + 3, kBlack}, {59, 450 + 20, kRed}}},
        {"two passes, three heads",
         false,
         {0, 1, 2},
         {},
         30,
         {
             {2 * K + 1, 0x0022},         // pass 0, head 1: both columns
             {(30 - 5) * K + 7, 0x0400},  // pass 1, head 2, first column
             {4 * K + 7, 0x0008},         // position 3 carries no active head
         },
         {{2, 150 + 22, kBlack}, {2, 150 + 20, kRed}, {5, 750 + 3, kBlack}}},
    };
    for (const FiringCase& c : cases) {
        SCOPED_TRACE(c.name);
        CUserDefine& ud = m_pDoc->m_UserDefine;
        ud = CUserDefine();
        ud.m_bFourPass = c.fourPass;
        ud.m_nTotalNozzles = 150 * static_cast<int>(c.headSlots.size());
        for (auto [entry, x] : c.columnX)
            ud.JetPrintHeadValueX[entry] = x;
        CJobLayout& layout = m_pDoc->m_Layout[SlotPrint];
        layout.m_nColumns = c.columns;
        layout.m_nSegmentWords = (c.columns + 100) * K;
        std::vector<uint16_t> backup(static_cast<size_t>(layout.m_nSegmentWords));
        for (const WordBit& w : c.words)
            backup[static_cast<size_t>(w.index)] |= w.bits;
        CPltS4C4PrintData& data = m_pDoc->m_PrintData[SlotPrint];
        data.m_pBackup = backup.data();
        data.m_nActiveHeads = static_cast<uint8_t>(c.headSlots.size());
        for (size_t j = 0; j < c.headSlots.size(); ++j)
            data.m_nHeadSlot[j] = static_cast<uint8_t>(c.headSlots[j]);

        const int bands = (c.fourPass ? 4 : 2) * static_cast<int>(c.headSlots.size());
        const QImage img = Render(4, c.columns + 20, bands * 150 + 10);
        EXPECT_EQ(m_pView->ScrollSizes(), QSize(std::max(c.columns + 20, 100), ud.m_nTotalNozzles * 8));

        std::set<int> borders;
        for (int b = 0; b <= bands; ++b)
            borders.insert(b * 150);
        std::set<std::tuple<int, int, QRgb>> expected;
        for (const Dash& d : c.dashes)
            expected.emplace(d.x, d.y, d.colour);
        EXPECT_EQ(Marks(img, borders), expected);

        // Dotted blue borders, three pixels on and three off, up to the last column.
        for (int y : borders) {
            EXPECT_EQ(img.pixel(0, y), kBlue) << y;
            EXPECT_EQ(img.pixel(2, y), kBlue) << y;
            EXPECT_EQ(img.pixel(4, y), kWhite) << y;
            EXPECT_EQ(img.pixel(c.columns + 5, y), kWhite) << y;
        }
        data.m_pBackup = nullptr;
    }
}

// Columns of `y` holding `colour`, grouped into runs of adjacent columns.
int Runs(const QImage& img, int y, QRgb colour)
{
    int runs = 0;
    bool inRun = false;
    for (int x = 0; x < img.width(); ++x) {
        const bool on = (img.pixel(x, y) | 0xFF000000) == colour;
        if (on && !inRun)
            ++runs;
        inRun = on;
    }
    return runs;
}

TEST_F(MapViewTest, ColourBarSegmentOfTheDocumentShowsTwelveBars)
{
    const QString plt = m_Dir.filePath("bar.plt");
    {
        QFile f(plt);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("IN;PU0,0;PD4000,0;PD4000,4000;PU;");
    }
    CUserDefine& ud = m_pDoc->m_UserDefine;
    ud.JetPrintHeadOpenStatus[0] = ud.JetPrintHeadOpenStatus[1] = 1;
    m_pDoc->m_strSlotPath[SlotPrint] = plt.toStdString();
    ASSERT_TRUE(m_pDoc->PrepareJob(SlotPrint));
    ASSERT_TRUE(m_pDoc->AllocPrintBuffers());
    ASSERT_TRUE(m_pDoc->MakeSegment(0, true));
    ASSERT_TRUE(m_pDoc->CompressAndChecksum());

    const QImage img = Render(4, m_pDoc->m_Layout[SlotPrint].m_nColumns + 20, 4 * 150 + 1);
    // Every nozzle of every pass fires the bars, with the first column in black and then the second in red.
    for (int pass = 0; pass < 4; ++pass) {
        for (int n : {1, 75, 149}) {
            SCOPED_TRACE(testing::Message() << "pass " << pass << " nozzle " << n);
            const int y = pass * 150 + n;
            EXPECT_EQ(Runs(img, y, kRed), 12);
        }
    }
    m_pDoc->m_PrintData[SlotPrint].FreeBuffers();
}

TEST_F(MapViewTest, FiringDataWithoutASegmentStaysWhite)
{
    m_pDoc->m_Layout[SlotPrint].m_nColumns = 100;
    EXPECT_TRUE(Marks(Render(4, 200, 200), {}).empty());
    EXPECT_EQ(m_pView->ScrollSizes(), QSize(100, 100));
}

TEST_F(MapViewTest, WheelScrollsAPagePerMessage)
{
    SetSlot(SlotPreview, {{0, 0, 14000, 16800}}, 14000, 16800);
    m_pDoc->m_nViewMode = 1;
    m_pView->resize(400, 300);
    m_pView->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_pView.get()));
    m_pView->viewport()->repaint();
    QScrollBar* v = m_pView->verticalScrollBar();
    QScrollBar* h = m_pView->horizontalScrollBar();
    const int pageY = m_pView->ScrollSizes().height() / 10;
    const int pageX = m_pView->ScrollSizes().width() / 10;
    ASSERT_GT(v->maximum(), 2 * pageY);
    ASSERT_GT(h->maximum(), pageX);

    auto wheel = [&](int delta, Qt::MouseButtons buttons) {
        QWheelEvent e(QPointF(10, 10), m_pView->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, delta), buttons,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(m_pView->viewport(), &e);
    };
    wheel(-120, Qt::NoButton);
    EXPECT_EQ(v->value(), pageY);
    wheel(-360, Qt::NoButton);  // one page per message, whatever the delta
    EXPECT_EQ(v->value(), 2 * pageY);
    wheel(120, Qt::NoButton);
    EXPECT_EQ(v->value(), pageY);
    EXPECT_EQ(h->value(), 0);
    wheel(-120, Qt::RightButton);
    EXPECT_EQ(h->value(), pageX);
    EXPECT_EQ(v->value(), pageY);
    wheel(0, Qt::NoButton);
    EXPECT_EQ(v->value(), pageY);
}

class PaintCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++m_nPaints;
        return false;
    }
    std::atomic<int> m_nPaints{0};
};

TEST_F(MapViewTest, RepaintRequestsComeFromAnyThread)
{
    m_pView->resize(200, 150);
    m_pView->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_pView.get()));
    PaintCounter counter;
    m_pView->viewport()->installEventFilter(&counter);
    QCoreApplication::processEvents();
    counter.m_nPaints = 0;

    std::thread worker([] { gpMapView->RepaintPreview(); });
    worker.join();
    QTRY_VERIFY(counter.m_nPaints > 0);

    counter.m_nPaints = 0;
    m_pView->RepaintPreview();
    QTRY_VERIFY(counter.m_nPaints > 0);
}

}  // namespace
