// The main frame.
#include "shell/mainfrm.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QShortcut>
#include <QSplitter>
#include <QSvgRenderer>
#include <QToolBar>
#include <QToolButton>

#include "document/marquelldoc.h"
#include "link/printerstatus.h"
#include "link/workerflags.h"
#include "platform/windowbridge.h"
#include "shell/commandids.h"
#include "shell/fileview.h"
#include "shell/previewpane.h"
#include "shell/statusbar.h"

QToolBar* g_wndToolBar = nullptr;

namespace {

// Every command of menu and toolbar: id, caption, prompt for pane 0, tooltip (none when null), image.
struct CCommandInfo {
    int id;
    const char* text;
    const char* prompt;
    const char* tooltip;
    const char* image;
};
constexpr CCommandInfo kCommands[] = {
    {ID_FILE_OPEN, QT_TRANSLATE_NOOP("CMainFrame", "Abrir(&O)"), QT_TRANSLATE_NOOP("CMainFrame", "Adicionar arquivo"),
     QT_TRANSLATE_NOOP("CMainFrame", "Add files"), "open"},
    {ID_START_PLOT, QT_TRANSLATE_NOOP("CMainFrame", "Iniciar Plotagem(&T)"),
     QT_TRANSLATE_NOOP("CMainFrame", "Iniciar plotagem"), nullptr, nullptr},
    {ID_UPDATE_CONFIG, QT_TRANSLATE_NOOP("CMainFrame", "Atualizar Configurações(&U)"),
     QT_TRANSLATE_NOOP("CMainFrame", "Enviar configurações para a plotter"), nullptr, nullptr},
    {ID_APP_EXIT, QT_TRANSLATE_NOOP("CMainFrame", "Sair(&S)"),
     QT_TRANSLATE_NOOP("CMainFrame", "Para a plotagem atual; Save the task"), QT_TRANSLATE_NOOP("CMainFrame", "Exit"),
     nullptr},
    {ID_ZOOM_IN, QT_TRANSLATE_NOOP("CMainFrame", "+20%\t Shift  A"), QT_TRANSLATE_NOOP("CMainFrame", "Zoom no arquivo"),
     QT_TRANSLATE_NOOP("CMainFrame", "Zoom in"), "zoomin"},
    {ID_ZOOM_OUT, QT_TRANSLATE_NOOP("CMainFrame", "-20%\t Shift  Z"), QT_TRANSLATE_NOOP("CMainFrame", "Zoom menor"),
     nullptr, "zoomout"},
    {ID_ZOOM_100, QT_TRANSLATE_NOOP("CMainFrame", "100%\t Shift  1"), "", nullptr, nullptr},
    {ID_ZOOM_50, QT_TRANSLATE_NOOP("CMainFrame", "50%\t Shift  5"), "", nullptr, nullptr},
    {ID_SCALE_VIEW, QT_TRANSLATE_NOOP("CMainFrame", "Visualizar com escala(&D)"),
     QT_TRANSLATE_NOOP("CMainFrame", "Exibe o arquivo selecionado"), nullptr, nullptr},
    {ID_SETTINGS, QT_TRANSLATE_NOOP("CMainFrame", "Configurações(&C)"),
     QT_TRANSLATE_NOOP("CMainFrame", "Configura os parametros da plotter"),
     QT_TRANSLATE_NOOP("CMainFrame", "Customize"), "settings"},
    {ID_APP_ABOUT, QT_TRANSLATE_NOOP("CMainFrame", "Sobre(&A)"),
     QT_TRANSLATE_NOOP("CMainFrame", "Exibe o numero da versão"),
     QT_TRANSLATE_NOOP("CMainFrame", "About this Software"), nullptr},
    {ID_PLOT, QT_TRANSLATE_NOOP("CMainFrame", "Plotar(&P)"),
     QT_TRANSLATE_NOOP("CMainFrame", "Plota o arquivo selecionado"), nullptr, "plot"},
    {ID_ABORT, QT_TRANSLATE_NOOP("CMainFrame", "Abortar(&A)"), QT_TRANSLATE_NOOP("CMainFrame", "Aborta a plotagem "),
     nullptr, "abort"},
    {ID_ADD_COPY, QT_TRANSLATE_NOOP("CMainFrame", "Adicionar + 1 plotagem(&A)"),
     QT_TRANSLATE_NOOP("CMainFrame", "Incrementa o tempo de plotagem"),
     QT_TRANSLATE_NOOP("CMainFrame", "Increase times"), "addcopy"},
    {ID_REMOVE_COPY, QT_TRANSLATE_NOOP("CMainFrame", "Remover -1 plotagem (&S)"),
     QT_TRANSLATE_NOOP("CMainFrame", "Diminui o tempo de plotagem"), QT_TRANSLATE_NOOP("CMainFrame", "Decrease times"),
     "removecopy"},
    {ID_OUTPUT_PREVIEW, QT_TRANSLATE_NOOP("CMainFrame", "Output(&O) Previsualizar"),
     QT_TRANSLATE_NOOP("CMainFrame", "Previsualiza o arquivo plotado"),
     QT_TRANSLATE_NOOP("CMainFrame", "Preview output"), "outputpreview"},
};

// Toolbar 128, left to right; 0 is a separator.
constexpr int kToolBar[] = {ID_FILE_OPEN, ID_PLOT,        ID_ABORT, 0, ID_ZOOM_IN,        ID_ZOOM_OUT, 0,
                            ID_ADD_COPY,  ID_REMOVE_COPY, 0,        ID_OUTPUT_PREVIEW, 0,           ID_SETTINGS};

// Accelerator table 128. The framework's standard keys (new, save, print, clipboard, undo) are left
// unbound: nothing here gives them a meaning, and a second new-document step would start a second worker.
struct CAccelerator {
    QKeyCombination keys;
    int id;
};
const CAccelerator kAccelerators[] = {
    {Qt::CTRL | Qt::Key_O, ID_FILE_OPEN},  {Qt::SHIFT | Qt::Key_A, ID_ZOOM_IN},
    {Qt::SHIFT | Qt::Key_Z, ID_ZOOM_OUT},  {Qt::SHIFT | Qt::Key_1, ID_ZOOM_100},
    {Qt::SHIFT | Qt::Key_5, ID_ZOOM_50},   {QKeyCombination(Qt::Key_F6), ID_NEXT_PANE},
    {Qt::SHIFT | Qt::Key_F6, ID_PREV_PANE},
};

// Status pane string ids, in pane order.
const std::vector<int> kIndicators = {CStatusBar::ID_SEPARATOR, 145, 59146, 59147, 59143, 59144, 59145,
                                      CStatusBar::ID_INDICATOR_TIMELEFT};
constexpr int kPercentPaneId = 59146;
constexpr int kPercentPaneWidth = 60;

const CCommandInfo* FindCommand(int id)
{
    for (const CCommandInfo& info : kCommands)
        if (info.id == id)
            return &info;
    return nullptr;
}

// Toolbar images are 32 x 36 drawings.
QIcon ToolBarIcon(const char* name)
{
    QSvgRenderer renderer(QStringLiteral(":/toolbar/%1.svg").arg(QLatin1String(name)));
    QPixmap pixmap(32, 36);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    return QIcon(pixmap);
}

}  // namespace

CMainFrame::CMainFrame(CMarquellDoc& doc, CCommandTarget* pApp) : m_Doc(doc), m_pApp(pApp)
{
    setObjectName(QStringLiteral("128"));
}

CMainFrame::~CMainFrame()
{
    qApp->removeEventFilter(this);
    if (m_pFileView)
        m_pFileView->Shutdown();
    if (g_pStatusBar == m_wndStatusBar)
        g_pStatusBar = nullptr;
    g_wndToolBar = nullptr;
}

bool CMainFrame::Create()
{
    // The title never shows a document name.
    setWindowTitle(QStringLiteral("Tessaline"));
    resize(1000, 720);
    if (!CreateMenus())
        return false;
    CreateAccelerators();
    if (!CreateToolBar() || !CreateStatusBar())
        return false;
    g_pStatusBar = m_wndStatusBar;
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks);
    m_wndStatusBar->SetPaneWidth(m_wndStatusBar->CommandToIndex(kPercentPaneId), kPercentPaneWidth);
    if (!OnCreateClient())
        return false;
    qApp->installEventFilter(this);
    return true;
}

QAction* CMainFrame::MakeAction(int nId)
{
    auto it = m_Actions.find(nId);
    if (it != m_Actions.end())
        return it->second;
    const CCommandInfo* pInfo = FindCommand(nId);
    auto* pAction = new QAction(tr(pInfo->text), this);
    pAction->setObjectName(QString::number(nId));
    pAction->setData(nId);
    pAction->setStatusTip(*pInfo->prompt ? tr(pInfo->prompt) : QString());
    pAction->setProperty("tooltip", pInfo->tooltip ? tr(pInfo->tooltip) : QString());
    if (pInfo->tooltip)
        pAction->setToolTip(tr(pInfo->tooltip));
    if (pInfo->image)
        pAction->setIcon(ToolBarIcon(pInfo->image));
    pAction->setIconVisibleInMenu(false);
    connect(pAction, &QAction::triggered, this, [this, nId] { Dispatch(nId); });
    m_Actions[nId] = pAction;
    return pAction;
}

bool CMainFrame::CreateMenus()
{
    QMenuBar* pBar = menuBar();
    QMenu* pPlot = pBar->addMenu(tr("Plotar(&P)"));
    pPlot->addAction(MakeAction(ID_FILE_OPEN));
    pPlot->addSeparator();
    pPlot->addAction(MakeAction(ID_START_PLOT));
    pPlot->addAction(MakeAction(ID_UPDATE_CONFIG));
    pPlot->addSeparator();
    pPlot->addAction(MakeAction(ID_APP_EXIT));

    QMenu* pView = pBar->addMenu(tr("Visualizar(&V)"));
    pView->setSeparatorsCollapsible(false);
    pView->addSeparator();
    QMenu* pZoom = pView->addMenu(tr("Visualizar(&A)"));
    pZoom->addAction(MakeAction(ID_ZOOM_IN));
    pZoom->addAction(MakeAction(ID_ZOOM_OUT));
    pZoom->addSeparator();
    pZoom->addAction(MakeAction(ID_ZOOM_100));
    pZoom->addAction(MakeAction(ID_ZOOM_50));
    pView->addAction(MakeAction(ID_SCALE_VIEW));

    pBar->addMenu(tr("Configurações(&S)"))->addAction(MakeAction(ID_SETTINGS));
    pBar->addMenu(tr("Ajuda(&H)"))->addAction(MakeAction(ID_APP_ABOUT));
    return true;
}

void CMainFrame::CreateAccelerators()
{
    for (const CAccelerator& acc : kAccelerators) {
        auto* pShortcut = new QShortcut(QKeySequence(acc.keys), this);
        pShortcut->setObjectName(QString::number(acc.id));
        pShortcut->setContext(Qt::WindowShortcut);
        const int id = acc.id;
        connect(pShortcut, &QShortcut::activated, this, [this, id] { Dispatch(id); });
        m_Accelerators[acc.id] = pShortcut;
    }
}

bool CMainFrame::CreateToolBar()
{
    auto* pToolBar = new QToolBar(QStringLiteral("Tessaline"), this);
    pToolBar->setObjectName(QStringLiteral("toolbar128"));
    pToolBar->setIconSize(QSize(32, 36));
    pToolBar->setMovable(true);
    pToolBar->setFloatable(true);
    pToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    pToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (int id : kToolBar) {
        if (!id) {
            pToolBar->addSeparator();
            continue;
        }
        pToolBar->addAction(MakeAction(id));
    }
    addToolBar(Qt::TopToolBarArea, pToolBar);
    g_wndToolBar = pToolBar;
    return true;
}

bool CMainFrame::CreateStatusBar()
{
    m_wndStatusBar = new CStatusBar(this);
    if (!m_wndStatusBar->SetIndicators(kIndicators))
        return false;
    // Sized by its sample, empty until a job prints.
    m_wndStatusBar->SetPaneText(m_wndStatusBar->CommandToIndex(CStatusBar::ID_INDICATOR_TIMELEFT), QString());
    setStatusBar(m_wndStatusBar);
    return true;
}

bool CMainFrame::OnCreateClient()
{
    m_wndSplitter = new QSplitter(Qt::Vertical, this);
    m_wndSplitter->setObjectName(QStringLiteral("splitter"));
    m_wndSplitter->setChildrenCollapsible(false);
    m_pFileView = new CFileView(m_Doc, m_wndSplitter);
    m_pPreview = new CPreviewPane(m_Doc, m_wndSplitter);
    m_wndSplitter->addWidget(m_pFileView);
    m_wndSplitter->addWidget(m_pPreview);
    m_wndSplitter->setStretchFactor(0, 0);
    m_wndSplitter->setStretchFactor(1, 1);
    m_wndSplitter->setSizes({kTaskListHeight, 1 << 20});
    setCentralWidget(m_wndSplitter);
    return true;
}

void CMainFrame::InitialUpdateFrame()
{
    m_pFileView->OnInitialUpdate();
    m_pPreview->OnInitialUpdate();
    SetActivePane(0);
}

void CMainFrame::UpdateWindow()
{
    show();
    // The splitter gives the task list its height once the window has its own.
    const int total = m_wndSplitter->height();
    if (total > kTaskListHeight)
        m_wndSplitter->setSizes({kTaskListHeight, total - kTaskListHeight - m_wndSplitter->handleWidth()});
    repaint();
    RefreshProgress();
}

QAction* CMainFrame::Action(int nId) const
{
    auto it = m_Actions.find(nId);
    return it == m_Actions.end() ? nullptr : it->second;
}

QShortcut* CMainFrame::Accelerator(int nId) const
{
    auto it = m_Accelerators.find(nId);
    return it == m_Accelerators.end() ? nullptr : it->second;
}

void CMainFrame::SetActivePane(int nPane)
{
    m_nActivePane = nPane == 1 ? 1 : 0;
    UpdateCommandUI();
}

void CMainFrame::UpdateCommandUI()
{
    CCommandTarget* pPane = m_nActivePane == 1 ? static_cast<CCommandTarget*>(m_pPreview)
                                               : static_cast<CCommandTarget*>(m_pFileView);
    // The document handles no command of its own.
    m_Router.SetRoute({pPane, nullptr, this, m_pApp});
    for (auto& [id, pAction] : m_Actions)
        pAction->setEnabled(m_Router.IsHandled(id));
    for (auto& [id, pShortcut] : m_Accelerators)
        pShortcut->setEnabled(m_Router.IsHandled(id));
}

bool CMainFrame::Dispatch(int nId)
{
    UpdateCommandUI();
    return m_Router.Execute(nId);
}

bool CMainFrame::OnCommand(int nId, bool bExecute)
{
    switch (nId) {
    case ID_APP_EXIT:
        if (bExecute)
            OnExit();
        return true;
    case ID_NEXT_PANE:
    case ID_PREV_PANE:
        if (bExecute) {
            // Two panes: the next and the previous are the same one.
            SetActivePane(1 - m_nActivePane);
            QWidget* pPane = m_nActivePane == 1 ? static_cast<QWidget*>(m_pPreview) : m_pFileView;
            pPane->setFocus(Qt::ShortcutFocusReason);
        }
        return true;
    default:
        return false;
    }
}

void CMainFrame::OnExit()
{
    if (gPrinterStatus.m_bPrinting) {
        ShowMessage(tr("The printing task is running, please waiting or cancel the task!").toStdString());
        return;
    }
    m_pFileView->OnCommand(ID_ABORT, true);
    m_bExitCommand = true;
    close();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!m_bExitCommand && gJobActive) {
        ShowMessage(tr("please waiting or cancel the task!").toStdString());
        event->ignore();
        return;
    }
    m_pFileView->Shutdown();
    event->accept();
}

void CMainFrame::RefreshProgress()
{
    if (!m_wndStatusBar)
        return;
    const QRect rect = m_wndStatusBar->GetItemRect(1);
    if (!m_wndProgress) {
        m_wndProgress = new QProgressBar(m_wndStatusBar);
        m_wndProgress->setObjectName(QString::number(kProgressId));
        m_wndProgress->setTextVisible(false);
        m_wndProgress->setGeometry(rect);
        m_wndProgress->show();
    } else if (m_wndProgress->geometry() != rect) {
        m_wndProgress->setGeometry(rect);
    }
    m_wndProgress->setRange(0, 100);
    const CJobLayout& layout = m_Doc.m_Layout[SlotPrint];
    const int64_t count = layout.m_nSectionCount;
    int position = 0;
    if (count != 0 && gPrinterStatus.m_bPrinting) {
        const int64_t value = int64_t(layout.m_nSectionCursor) * 100 / count + 5;
        position = int(std::clamp<int64_t>(value, 0, 100));  // above 100 shows as a full bar
    }
    m_wndProgress->setValue(position);
}

void CMainFrame::RedrawStatusBar()
{
    if (m_wndStatusBar)
        m_wndStatusBar->Redraw();
}

void CMainFrame::RepaintPreview()
{
    if (m_pPreview)
        m_pPreview->Repaint();
}

// The progress bar follows every repaint of the frame, just after it: setting its value repaints it,
// which may not happen inside a paint.
void CMainFrame::paintEvent(QPaintEvent* event)
{
    QMainWindow::paintEvent(event);
    if (!m_bProgressPending) {
        m_bProgressPending = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_bProgressPending = false;
                RefreshProgress();
            },
            Qt::QueuedConnection);
    }
}

int CMainFrame::PaneOf(QObject* pObject) const
{
    // Dialogs and menus opened by a pane are windows of their own, not part of it.
    for (auto* p = qobject_cast<QWidget*>(pObject); p && !p->isWindow(); p = p->parentWidget()) {
        if (p == m_pFileView)
            return 0;
        if (p == m_pPreview)
            return 1;
    }
    return -1;
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::FocusIn: {
        const int pane = PaneOf(watched);
        if (pane >= 0 && pane != m_nActivePane)
            SetActivePane(pane);
        break;
    }
    case QEvent::ToolTip:
        // A button whose string has no tooltip part shows none.
        if (auto* pButton = qobject_cast<QToolButton*>(watched))
            if (pButton->defaultAction() && pButton->defaultAction()->property("tooltip").toString().isEmpty())
                return true;
        break;
    case QEvent::Move:
    case QEvent::Resize:
        if (m_wndStatusBar && watched == m_wndStatusBar->Pane(1) && m_wndProgress)
            RefreshProgress();
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}
