// The plot preview: the scrolling view under the task list that draws a prepared slot or the last segment.
#include "preview/mapview.h"

#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QThread>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <mutex>

#include "document/marquelldoc.h"
#include "preview/firingdatapainter.h"

CMapView* gpMapView = nullptr;

namespace {

constexpr int kZoomMin = 20;
constexpr int kZoomMax = 1000;
constexpr int kZoomStep = 20;
constexpr int kMinScrollSize = 100;
// The worker holds the print-data lock only while it finishes a segment.
constexpr int kLockRetryMs = 20;

class CWaitCursor {
public:
    explicit CWaitCursor(bool active) : m_bActive(active)
    {
        if (m_bActive)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~CWaitCursor()
    {
        if (m_bActive)
            QGuiApplication::restoreOverrideCursor();
    }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    bool m_bActive;
};

bool Reaches(const QLine& l, const QRect& r)
{
    return std::max(l.x1(), l.x2()) >= r.left() && std::min(l.x1(), l.x2()) <= r.right() &&
           std::max(l.y1(), l.y2()) >= r.top() && std::min(l.y1(), l.y2()) <= r.bottom();
}

}  // namespace

CMapView::CMapView(CMarquellDoc& doc, QWidget* parent) : QAbstractScrollArea(parent), m_Doc(doc)
{
    viewport()->setAutoFillBackground(false);
    // The framework's scroll steps: a page is a tenth of the total size, a line a tenth of a page.
    for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()}) {
        connect(bar, &QAbstractSlider::actionTriggered, this, [this, bar](int action) {
            const bool horizontal = bar == horizontalScrollBar();
            const int page = std::max(1, (horizontal ? m_Total.width() : m_Total.height()) / 10);
            if (action == QAbstractSlider::SliderPageStepAdd)
                bar->setSliderPosition(bar->value() + page);
            else if (action == QAbstractSlider::SliderPageStepSub)
                bar->setSliderPosition(bar->value() - page);
        });
    }
}

CMapView::~CMapView()
{
    if (gpMapView == this)
        gpMapView = nullptr;
}

void CMapView::OnInitialUpdate()
{
    gpMapView = this;
    SetScrollSizes(100, 100);
}

bool CMapView::CanHandle(int id) const
{
    return id == kZoomIn || id == kZoomOut || id == kZoom100 || id == kZoom50;
}

bool CMapView::HandleCommand(int id)
{
    switch (id) {
    case kZoomIn:
        OnZoomIn();
        return true;
    case kZoomOut:
        OnZoomOut();
        return true;
    case kZoom100:
        OnZoom100();
        return true;
    case kZoom50:
        OnZoom50();
        return true;
    default:
        return false;
    }
}

void CMapView::OnZoomIn()
{
    if (m_nZoom >= kZoomMax)
        SetZoom(kZoomMax);
    else if (m_nZoom < kZoomMin)
        SetZoom(kZoomMin);
    else
        SetZoom(m_nZoom + kZoomStep);
}

void CMapView::OnZoomOut()
{
    if (m_nZoom > kZoomMax)
        SetZoom(kZoomMax);
    else if (m_nZoom <= kZoomMin)
        SetZoom(kZoomMin);
    else
        SetZoom(m_nZoom - kZoomStep);
}

void CMapView::OnZoom100()
{
    SetZoom(100);
}

void CMapView::OnZoom50()
{
    SetZoom(50);
}

void CMapView::SetZoom(int zoom)
{
    m_nZoom = zoom;
    viewport()->update();
}

void CMapView::RepaintPreview()
{
    QWidget* vp = viewport();
    if (QThread::currentThread() == thread())
        vp->update();
    else
        QMetaObject::invokeMethod(vp, [vp] { vp->update(); }, Qt::QueuedConnection);
}

void CMapView::SetScrollSizes(int cx, int cy)
{
    const QSize total(std::max(cx, kMinScrollSize), std::max(cy, kMinScrollSize));
    if (total == m_Total)
        return;
    m_Total = total;
    UpdateBars();
}

void CMapView::UpdateBars()
{
    const QSize client = viewport()->size();
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    h->setRange(0, std::max(0, m_Total.width() - client.width()));
    h->setPageStep(std::max(1, client.width()));
    h->setSingleStep(std::max(1, m_Total.width() / 100));
    v->setRange(0, std::max(0, m_Total.height() - client.height()));
    v->setPageStep(std::max(1, client.height()));
    v->setSingleStep(std::max(1, m_Total.height() / 100));
}

CPreviewModel* CMapView::ModelOfMode()
{
    switch (m_Doc.m_nViewMode) {
    case ViewPreview:
        return &m_Models[0];
    case ViewOutputPreview:
        return &m_Models[1];
    default:
        return nullptr;
    }
}

bool CMapView::PrepareLayout(const QSize& client)
{
    const int mode = m_Doc.m_nViewMode;
    if (CPreviewModel* model = ModelOfMode()) {
        model->Sync(m_Doc.m_PltData[mode == ViewPreview ? SlotPreview : SlotPrintPreview]);
        const CPltFileData& turned = model->Turned();
        if (!CPreviewFit::Compute(turned.m_fMaxX, turned.m_fMaxY, client.width(), client.height(), m_nZoom, m_Fit))
            return false;
        SetScrollSizes(m_Fit.m_nScrollX, m_Fit.m_nScrollY);
        return true;
    }
    if (mode == ViewFiringData) {
        QSize extent;
        if (!CFiringDataPainter::Extent(m_Doc, extent))
            return false;
        SetScrollSizes(extent.width(), extent.height());
        return true;
    }
    return false;
}

void CMapView::Draw(QPainter& p, const QRect& exposed)
{
    if (ModelOfMode())
        DrawModel(p, exposed);
    else if (m_Doc.m_nViewMode == ViewFiringData)
        DrawFiringData(p);
}

void CMapView::DrawModel(QPainter& p, const QRect& exposed)
{
    CPreviewModel& model = *ModelOfMode();
    const std::vector<QLine>& lines = model.MappedLines(m_Fit);
    // Lines drawn to their end point leave that point out, as the framework's line drawing does.
    p.setPen(QPen(Qt::black, 0, Qt::SolidLine, Qt::FlatCap));
    if (exposed.contains(model.MappedBounds())) {
        p.drawLines(lines.data(), static_cast<int>(lines.size()));
        return;
    }
    m_Visible.clear();
    for (const QLine& l : lines) {
        if (Reaches(l, exposed))
            m_Visible.push_back(l);
    }
    p.drawLines(m_Visible.data(), static_cast<int>(m_Visible.size()));
}

void CMapView::DrawFiringData(QPainter& p)
{
    std::unique_lock<std::mutex> lock(m_Doc.m_PrintDataLock, std::try_to_lock);
    if (!lock.owns_lock()) {
        // Never wait for the worker here: it may be waiting for this thread.
        if (!m_bRetryPending) {
            m_bRetryPending = true;
            QTimer::singleShot(kLockRetryMs, this, [this] {
                m_bRetryPending = false;
                viewport()->update();
            });
        }
        return;
    }
    CFiringDataPainter::Draw(p, m_Doc);
}

void CMapView::OnDraw(QPainter& p, const QSize& client, const QRect& exposed)
{
    CWaitCursor wait(m_Doc.m_nViewMode != ViewNone);
    const bool draw = PrepareLayout(client);
    p.fillRect(exposed, Qt::white);
    if (draw)
        Draw(p, exposed);
}

void CMapView::paintEvent(QPaintEvent* event)
{
    CWaitCursor wait(m_Doc.m_nViewMode != ViewNone);
    // The scroll sizes come first: they may move the scroll position this drawing starts from.
    const bool draw = PrepareLayout(viewport()->size());
    QPainter p(viewport());
    p.fillRect(event->rect(), Qt::white);
    if (!draw)
        return;
    const QPoint origin(horizontalScrollBar()->value(), verticalScrollBar()->value());
    p.translate(-origin);
    Draw(p, event->rect().translated(origin));
}

void CMapView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateBars();
    viewport()->update();
}

void CMapView::scrollContentsBy(int dx, int dy)
{
    viewport()->scroll(dx, dy);
}

void CMapView::wheelEvent(QWheelEvent* event)
{
    event->accept();
    const QPoint angle = event->angleDelta();
    const int delta = angle.y() != 0 ? angle.y() : angle.x();
    // Touchpads end a gesture with an event of no movement; it scrolls nothing.
    if (delta == 0)
        return;
    QScrollBar* bar = (event->buttons() & Qt::RightButton) ? horizontalScrollBar() : verticalScrollBar();
    bar->triggerAction(delta > 0 ? QAbstractSlider::SliderPageStepSub : QAbstractSlider::SliderPageStepAdd);
}
