// The plot preview: the scrolling view under the task list that draws a prepared slot or the last segment.
#pragma once

#include <QAbstractScrollArea>
#include <QLine>
#include <QSize>
#include <vector>

#include "preview/previewfit.h"
#include "preview/previewmodel.h"

class CMarquellDoc;
class CMapView;

// Published by the view's first update; the task list and the worker ask it for repaints.
extern CMapView* gpMapView;

class CMapView : public QAbstractScrollArea {
    Q_OBJECT
public:
    // Zoom commands, carried by the frame's actions.
    static constexpr int kZoomIn = 32808;
    static constexpr int kZoomOut = 32780;
    static constexpr int kZoom100 = 32778;
    static constexpr int kZoom50 = 32781;

    explicit CMapView(CMarquellDoc& doc, QWidget* parent = nullptr);
    ~CMapView() override;
    CMapView(const CMapView&) = delete;
    CMapView& operator=(const CMapView&) = delete;

    // Called once by the frame after the view is placed: publishes gpMapView, scroll sizes 100 x 100.
    void OnInitialUpdate();

    // Command routing: the zoom commands are handled here while the view is the active pane.
    bool CanHandle(int id) const;
    bool HandleCommand(int id);

    // Repaint request from any thread: the task list after preparing a slot, the worker after a segment.
    void RepaintPreview();

    // Draws the document's view mode in document coordinates (scroll position at the origin) for a
    // client area of the given size; only lines reaching `exposed` are handed to the painter.
    // Sets the scroll sizes as the mode requires.
    void OnDraw(QPainter& p, const QSize& client, const QRect& exposed);

    // Total size as set by SetScrollSizes (at least 100 x 100).
    void SetScrollSizes(int cx, int cy);
    QSize ScrollSizes() const { return m_Total; }
    int Zoom() const { return m_nZoom; }
    // The fit of the last drawing of modes 1 and 5.
    const CPreviewFit& LastFit() const { return m_Fit; }

public slots:
    void OnZoomIn();
    void OnZoomOut();
    void OnZoom100();
    void OnZoom50();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // Scroll sizes and cached geometry for the current mode; false when nothing is to be drawn.
    bool PrepareLayout(const QSize& client);
    void Draw(QPainter& p, const QRect& exposed);
    void DrawModel(QPainter& p, const QRect& exposed);
    void DrawFiringData(QPainter& p);
    void UpdateBars();
    void SetZoom(int zoom);
    CPreviewModel* ModelOfMode();

    CMarquellDoc& m_Doc;
    int m_nZoom = 100;
    QSize m_Total{100, 100};
    CPreviewModel m_Models[2];  // modes 1 and 5
    CPreviewFit m_Fit;
    std::vector<QLine> m_Visible;
    bool m_bRetryPending = false;
};
