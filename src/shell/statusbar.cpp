// The main window's status bar.
#include "shell/statusbar.h"

#include <QLabel>
#include <QPainter>
#include <QStyleOption>

CStatusBar* g_pStatusBar = nullptr;

namespace {
constexpr int kPanePadding = 8;  // border and gap, both sides together
}

QString StatusPaneSample(int id)
{
    // A sample sets its pane's width: its translation should be as wide as the longest text the pane shows.
    switch (id) {
    //: Under the progress bar; sets its width.
    case 145: return CStatusBar::tr("Exibe o progresso da tarefa.............");
    case 59146: return QStringLiteral("000%");
    //: Width of the link pane: "Online" or "Offline".
    case 59147: return CStatusBar::tr("Offline  ");
    //: Width of the task pane: "Waiting", "Plotting" or "Finished".
    case 59143: return CStatusBar::tr("Waiting  ");
    case 59144: return QStringLiteral("========================");
    //: Width of the plotter pane: "Stopped", "Plot" or "结束".
    case 59145: return CStatusBar::tr("Pause  ");
    case CStatusBar::ID_INDICATOR_TIMELEFT: return QStringLiteral("00:00:00");
    default: return QString();
    }
}

CStatusPane::CStatusPane(const QString& sample, QWidget* parent)
    : QWidget(parent), m_strText(sample), m_strShown(sample)
{
    m_nWidth = fontMetrics().horizontalAdvance(sample) + kPanePadding;
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
}

QSize CStatusPane::sizeHint() const
{
    return QSize(m_nWidth, fontMetrics().height() + 4);
}

void CStatusPane::SetWidth(int width)
{
    m_nWidth = width;
    updateGeometry();
}

void CStatusPane::SetText(const QString& text, bool bUpdate)
{
    m_strText = text;
    if (bUpdate)
        update();
}

void CStatusPane::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.frameShape = QFrame::Panel;
    frame.state |= QStyle::State_Sunken;
    frame.lineWidth = 1;
    style()->drawPrimitive(QStyle::PE_Frame, &frame, &painter, this);
    m_strShown = m_strText;
    painter.drawText(rect().adjusted(kPanePadding / 2, 0, -kPanePadding / 2, 0), Qt::AlignVCenter | Qt::AlignLeft,
                     m_strShown);
}

CStatusBar::CStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("59393"));  // the framework's status bar id
    setSizeGripEnabled(true);
}

bool CStatusBar::SetIndicators(const std::vector<int>& ids)
{
    if (ids.empty() || ids[0] != ID_SEPARATOR)
        return false;
    m_Ids = ids;
    m_pMessagePane = new QLabel(tr("Pronto"), this);
    m_pMessagePane->setObjectName(QStringLiteral("pane0"));
    addWidget(m_pMessagePane, 1);
    m_Panes.assign(ids.size(), nullptr);
    for (size_t i = 1; i < ids.size(); ++i) {
        auto* pPane = new CStatusPane(StatusPaneSample(ids[i]), this);
        pPane->setObjectName(QString::number(ids[i]));
        addPermanentWidget(pPane);
        m_Panes[i] = pPane;
    }
    return true;
}

int CStatusBar::CommandToIndex(int id) const
{
    for (size_t i = 0; i < m_Ids.size(); ++i)
        if (m_Ids[i] == id)
            return int(i);
    return -1;
}

void CStatusBar::SetPaneWidth(int index, int width)
{
    if (index > 0 && index < int(m_Panes.size()))
        m_Panes[index]->SetWidth(width);
}

void CStatusBar::SetPaneText(int index, const QString& text, bool bUpdate)
{
    if (index == 0 && m_pMessagePane)
        m_pMessagePane->setText(text);
    else if (index > 0 && index < int(m_Panes.size()))
        m_Panes[index]->SetText(text, bUpdate);
}

QString CStatusBar::GetPaneText(int index) const
{
    if (index == 0 && m_pMessagePane)
        return currentMessage().isEmpty() ? m_pMessagePane->text() : currentMessage();
    if (index > 0 && index < int(m_Panes.size()))
        return m_Panes[index]->Text();
    return QString();
}

QString CStatusBar::ShownPaneText(int index) const
{
    if (index > 0 && index < int(m_Panes.size()))
        return m_Panes[index]->ShownText();
    return GetPaneText(index);
}

QRect CStatusBar::GetItemRect(int index) const
{
    QWidget* pPane = Pane(index);
    return pPane ? pPane->geometry() : QRect();
}

QWidget* CStatusBar::Pane(int index) const
{
    if (index == 0)
        return m_pMessagePane;
    if (index > 0 && index < int(m_Panes.size()))
        return m_Panes[index];
    return nullptr;
}

void CStatusBar::Redraw()
{
    for (CStatusPane* pPane : m_Panes)
        if (pPane)
            pPane->repaint();
}
