// The lower pane of the main window.
#include "shell/previewpane.h"

#include <QVBoxLayout>

#include "preview/mapview.h"

CPreviewPane::CPreviewPane(CMarquellDoc& doc, QWidget* parent) : QWidget(parent)
{
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    m_pView = new CMapView(doc, this);
    m_pView->setObjectName(QStringLiteral("mapview"));
    m_pView->setFocusPolicy(Qt::StrongFocus);
    pLayout->addWidget(m_pView);
    setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(m_pView);
}

void CPreviewPane::OnInitialUpdate()
{
    m_pView->OnInitialUpdate();
}

void CPreviewPane::Repaint()
{
    m_pView->RepaintPreview();
}

bool CPreviewPane::OnCommand(int nId, bool bExecute)
{
    if (!m_pView->CanHandle(nId))
        return false;
    if (bExecute)
        m_pView->HandleCommand(nId);
    return true;
}
