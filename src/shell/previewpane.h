// The lower pane of the main window: the plot preview, with its zoom commands on the command route.
#pragma once

#include <QWidget>

#include "shell/commandrouter.h"

class CMapView;
class CMarquellDoc;

class CPreviewPane : public QWidget, public CCommandTarget {
    Q_OBJECT
public:
    CPreviewPane(CMarquellDoc& doc, QWidget* parent);

    // The first update of the view.
    void OnInitialUpdate();
    // Redraws the preview from the document's view mode and slots.
    void Repaint();
    // The zoom commands, while this pane is active.
    bool OnCommand(int nId, bool bExecute) override;

    CMapView* View() const { return m_pView; }

private:
    CMapView* m_pView;
};
