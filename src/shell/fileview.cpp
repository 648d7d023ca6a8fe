// The task list view over the task queue.
#include "shell/fileview.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include "config/mainconfigdlg.h"
#include "document/marquelldoc.h"
#include "link/printerstatus.h"
#include "link/workerflags.h"
#include "platform/gbk.h"
#include "platform/logwriter.h"
#include "queue/printworker.h"
#include "shell/commandids.h"
#include "shell/coretext.h"
#include "shell/filehandover.h"
#include "shell/jobinfoprobe.h"
#include "shell/jobtooltip.h"
#include "shell/qtwindowbridge.h"
#include "shell/statusbar.h"

CFileView* gpFileView = nullptr;

namespace {

struct CColumn {
    const char* header;
    int width;
};
constexpr CColumn kColumns[] = {{QT_TRANSLATE_NOOP("CFileView", "Task Status"), 100},
                                 {QT_TRANSLATE_NOOP("CFileView", "File Name"), 300},
                                 {QT_TRANSLATE_NOOP("CFileView", "Plotting Counter"), 150},
                                 {QT_TRANSLATE_NOOP("CFileView", "Size"), 170},
                                 {QT_TRANSLATE_NOOP("CFileView", "More Details"), 150}};
constexpr int kColumnPath = 1;

// Menu 130, "&Operations": id, text, greyed as stored (0 for a separator).
struct CMenuItem {
    int id;
    const char* text;
    bool greyed;
};
constexpr CMenuItem kContextMenu[] = {
    {ID_PLOT, QT_TRANSLATE_NOOP("CFileView", "Plotar(&P)"), false},
    {ID_ABORT, QT_TRANSLATE_NOOP("CFileView", "Abortar(&A)"), false},
    {ID_DELETE, QT_TRANSLATE_NOOP("CFileView", "Apagar(&D)"), false},
    {0, nullptr, false},
    {ID_PREVIEW, QT_TRANSLATE_NOOP("CFileView", "Previsualizar(&P)"), false},
    {ID_OUTPUT_PREVIEW, QT_TRANSLATE_NOOP("CFileView", "Output(&O) Previsualizar"), true},
    {ID_SECT_PREVIEW, QT_TRANSLATE_NOOP("CFileView", "Sect(&S) Previsualizar"), true},
    {ID_FINAL_VIEW, QT_TRANSLATE_NOOP("CFileView", "Final(&F) Visualizar"), true},
    {0, nullptr, false},
    {ID_MOVE_UP, QT_TRANSLATE_NOOP("CFileView", "Mover para cima(&U)"), false},
    {ID_MOVE_DOWN, QT_TRANSLATE_NOOP("CFileView", "Mover para baixo(&D)"), false},
    {0, nullptr, false},
    {ID_ADD_COPY, QT_TRANSLATE_NOOP("CFileView", "Adicionar + 1 plotagem(&A)"), false},
    {ID_REMOVE_COPY, QT_TRANSLATE_NOOP("CFileView", "Remover -1 plotagem (&S)"), false},
};


// A status pane as the operator reads it: the progress and the file name stand as they are.
QString PaneText(int pane)
{
    const std::string text = gStatusText.GetText(pane);
    return pane == PanePercent || pane == PaneFile ? QString::fromStdString(text) : CCoreText::StatusPane(text);
}

std::string PathOf(const QUrl& url)
{
    return url.isLocalFile() ? url.toLocalFile().toStdString() : std::string();
}

}  // namespace

CFileView::CFileView(CMarquellDoc& doc, QWidget* parent) : QTableWidget(parent), m_Doc(doc), m_Queue(doc)
{
    setObjectName(QStringLiteral("fileview"));
    m_pHandOver = new CFileHandOver(this);
    connect(m_pHandOver, &CFileHandOver::FilesReceived, this, [this](const QStringList& files) {
        AddFiles(files);
        window()->raise();
        window()->activateWindow();
    });
    m_pProbe = new CJobInfoProbe(CJobInfoProbe::FindProgram(), QString::fromStdString(doc.m_strConfigPath), this);
    connect(m_pProbe, &CJobInfoProbe::InfoReady, this, &CFileView::OnJobInfo);
    m_Queue.SetObserver(this);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
}

CFileView::~CFileView()
{
    Shutdown();
    m_Queue.SetObserver(nullptr);
    if (gpFileView == this)
        gpFileView = nullptr;
}

void CFileView::OnInitialUpdate()
{
    if (m_bStarted)
        return;  // a second new-document step would start a second worker
    m_bStarted = true;

    // Report style without label editing; grid lines, full-row select, info tips.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setShowGrid(true);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setColumnCount(int(std::size(kColumns)));
    for (int c = 0; c < columnCount(); ++c) {
        setHorizontalHeaderItem(c, new QTableWidgetItem(tr(kColumns[c].header)));
        setColumnWidth(c, kColumns[c].width);
    }
    horizontalHeader()->setStretchLastSection(false);

    // The question about deleting plotted files is not asked: nothing in the folder marks a file as plotted.
    gpDoc = &m_Doc;
    gpFileView = this;
    StartTimer(kTimerLink, 1000);
    StartTimer(kTimerScan, 3000);
    StartTimer(kTimerIdle, 3000);
    ServeFolder();
    SetJobFinishedSink(&m_Queue);
    StartPrintWorker();
}

void CFileView::StartTimer(int nId, int ms)
{
    QTimer*& pTimer = m_pTimers[nId - kTimerLink];
    if (!pTimer) {
        pTimer = new QTimer(this);
        pTimer->setObjectName(QString::number(nId));
        connect(pTimer, &QTimer::timeout, this, [this, nId] { OnTimer(nId); });
    }
    pTimer->start(ms);
}

QTimer* CFileView::Timer(int nId) const
{
    return nId >= kTimerLink && nId <= kTimerIdle ? m_pTimers[nId - kTimerLink] : nullptr;
}

void CFileView::OnTimer(int nId)
{
    switch (nId) {
    case kTimerLink: {
        gProbeRequest = true;
        m_LinkPane.Update();
        if (g_pStatusBar)
            for (int pane : {3, 4, 5, 6, 2})
                g_pStatusBar->SetPaneText(pane, PaneText(pane), false);
        // While a job prints, the worker's transfers redraw the bar. Otherwise nothing would, and the
        // end of the last job ("Finished", "0%", a full progress bar) would stay unseen.
        if (!gPrinterStatus.m_bPrinting) {
            GetWindowBridge().RedrawStatusBar();
            GetWindowBridge().RefreshProgress();
        }
        ShowTimeLeft();
        break;
    }
    case kTimerScan:
        if (ServeFolder())
            m_Queue.RefreshList(SelectedPath());
        ShowJobInfo();  // a file changed in place is read again
        break;
    default:
        break;
    }
}

void CFileView::Shutdown()
{
    if (m_bShutDown || !m_bStarted)
        return;
    m_bShutDown = true;
    gExitWorker = true;
    if (auto* pBridge = dynamic_cast<CQtWindowBridge*>(&GetWindowBridge()))
        pBridge->BeginExit();
    for (QTimer* pTimer : m_pTimers)
        if (pTimer)
            pTimer->stop();
    // Every wait of the worker ends on the exit flag, so the join is bounded.
    StopPrintWorker();
    m_pHandOver->Close();
    m_FolderLock.Release();
    SetJobFinishedSink(nullptr);
    m_Doc.FreeSlots();
    if (gpDoc == &m_Doc)
        gpDoc = nullptr;
}

std::string CFileView::SelectedPath() const
{
    const QList<QTableWidgetItem*> items = selectedItems();
    for (QTableWidgetItem* pItem : items)
        if (pItem->column() == kColumnPath)
            return pItem->text().toStdString();
    return std::string();
}

void CFileView::SelectPath(const std::string& path)
{
    const QString qPath = QString::fromStdString(path);
    for (int r = 0; r < rowCount(); ++r) {
        if (item(r, kColumnPath) && item(r, kColumnPath)->text() == qPath) {
            selectRow(r);
            return;
        }
    }
    clearSelection();
}

void CFileView::RowsChanged()
{
    if (QThread::currentThread() == thread()) {
        SyncRows();
        return;
    }
    // From the worker: one pending refresh is enough.
    if (!m_bSyncPending.exchange(true))
        QMetaObject::invokeMethod(this, &CFileView::SyncRows, Qt::QueuedConnection);
}

void CFileView::SyncRows()
{
    m_bSyncPending = false;
    const std::string selected = SelectedPath();
    const std::vector<CTaskRow> rows = m_Queue.Rows();
    const QSignalBlocker blocker(this);
    setRowCount(int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r) {
        const CTaskRow& row = rows[size_t(r)];
        const QString texts[] = {CCoreText::TaskRow(StatusText(row.m_eStatus)), QString::fromStdString(row.m_strPath),
                                 QString::number(row.m_nCopies), QString::fromStdString(row.m_strSize),
                                 CCoreText::TaskRow(row.m_strDetails)};
        for (int c = 0; c < columnCount(); ++c) {
            QTableWidgetItem* pItem = item(r, c);
            if (!pItem) {
                pItem = new QTableWidgetItem;
                pItem->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
                setItem(r, c, pItem);
            }
            if (pItem->text() != texts[c])
                pItem->setText(texts[c]);
        }
    }
    if (!selected.empty())
        SelectPath(selected);
    ShowJobInfo();
}

void CFileView::ShowTimeLeft()
{
    if (!g_pStatusBar)
        return;
    const int64_t ms = gPrinterStatus.m_bPrinting ? m_Queue.TimeLeftMs() : -1;
    const QString text = ms < 0 ? QString() : QString::fromStdString(CJobPace::FormatDuration(ms));
    g_pStatusBar->SetPaneText(g_pStatusBar->CommandToIndex(CStatusBar::ID_INDICATOR_TIMELEFT), text, true);
}

void CFileView::ShowJobInfo()
{
    const double ratio = m_Queue.Pace().Ratio();
    QStringList paths;
    for (int r = 0; r < rowCount(); ++r) {
        QTableWidgetItem* pPath = item(r, kColumnPath);
        if (!pPath)
            continue;
        paths << pPath->text();
        const CJobInfo* pInfo = m_pProbe->Info(pPath->text());
        const QString tip = CJobToolTip::Text(pInfo, ratio, m_pProbe->Enabled());
        for (int c = 0; c < columnCount(); ++c)
            if (QTableWidgetItem* pItem = item(r, c))
                pItem->setToolTip(tip.isEmpty() ? pItem->text() : pItem->text() + QStringLiteral("\n\n") + tip);
        item(r, 0)->setIcon(CJobToolTip::StopsPrinting(pInfo) ? style()->standardIcon(QStyle::SP_MessageBoxWarning)
                                                                : QIcon());
    }
    m_pProbe->Keep(paths);
}

void CFileView::OnJobInfo(const QString& path)
{
    const CJobInfo* pInfo = m_pProbe->Info(path);
    const bool timed = pInfo && pInfo->m_fProtocolS >= 0;
    m_Queue.SetEstimate(path.toStdString(), timed ? static_cast<int64_t>(pInfo->m_fProtocolS * 1000) : 0);
    ShowJobInfo();
}

void CFileView::RepaintPreview()
{
    GetWindowBridge().RepaintPreview();
}

void CFileView::BeginWaitCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void CFileView::EndWaitCursor()
{
    QApplication::restoreOverrideCursor();
}

void CFileView::ShowProblem(const std::string& text)
{
    const QString message = CCoreText::Message(text);
    // A job's end reports from the worker's thread; the status bar is the window thread's.
    if (QThread::currentThread() == thread())
        ShowStatus(message);
    else
        QMetaObject::invokeMethod(this, [this, message] { ShowStatus(message); }, Qt::QueuedConnection);
}

void CFileView::ShowStatus(const QString& text)
{
    if (g_pStatusBar)
        g_pStatusBar->showMessage(text);
}

bool CFileView::OnCommand(int nId, bool bExecute)
{
    switch (nId) {
    case ID_FILE_OPEN:
    case ID_PLOT:
    case ID_ABORT:
    case ID_DELETE:
    case ID_PREVIEW:
    case ID_OUTPUT_PREVIEW:
    case ID_FINAL_VIEW:
    case ID_SCALE_VIEW:
    case ID_ADD_COPY:
    case ID_REMOVE_COPY:
    case ID_SETTINGS:
    case ID_UPDATE_CONFIG:
    case ID_MOVE_UP:
    case ID_MOVE_DOWN:
        break;
    default:
        return false;
    }
    if (!bExecute)
        return true;
    const std::string selected = SelectedPath();
    switch (nId) {
    case ID_FILE_OPEN: OnAddFile(); break;
    case ID_PLOT: m_Queue.Plot(selected); break;
    case ID_ABORT: m_Queue.Abort(); break;
    case ID_DELETE: m_Queue.Delete(selected); break;
    case ID_PREVIEW: m_Queue.Preview(selected); break;
    case ID_OUTPUT_PREVIEW: m_Queue.OutputPreview(selected); break;
    case ID_FINAL_VIEW: m_Queue.FinalView(selected); break;
    case ID_SCALE_VIEW: m_Queue.ScaleView(); break;
    case ID_ADD_COPY: m_Queue.AddCopy(selected); break;
    case ID_REMOVE_COPY: m_Queue.RemoveCopy(selected); break;
    case ID_SETTINGS: OnSettings(); break;
    case ID_UPDATE_CONFIG: m_Queue.UpdateConfiguration(); break;
    case ID_MOVE_UP: m_Queue.MoveUp(selected); break;
    case ID_MOVE_DOWN: m_Queue.MoveDown(selected); break;
    default: break;
    }
    return true;
}

void CFileView::OnSettings()
{
    CMainConfigDlg dlg(m_Doc, gPrinterStatus.m_bPrinting, this);
    dlg.exec();
}

void CFileView::OnAddFile()
{
    QFileDialog dlg(this);
    dlg.setObjectName(QStringLiteral("addfile"));
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    //: The filter of the file-open dialog: the patterns in brackets must stay as they are.
    dlg.setNameFilter(tr("打印文件(*.plt *.hpg *.pla *.hpgl *.PRT)"));
    if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty())
        m_Queue.AddFile(dlg.selectedFiles().front().toStdString());
    CTaskQueue::LogAddFileDone();
}

void CFileView::AddDroppedFiles(const QList<QUrl>& urls)
{
    for (const QUrl& url : urls) {
        const std::string path = PathOf(url);
        if (path.empty() || !CTaskQueue::IsPlotFile(path))
            continue;
        m_Queue.AddFile(path);
        CTaskQueue::LogAddFileDone();
    }
}

void CFileView::AddFiles(const QStringList& files)
{
    for (const QString& file : files) {
        const std::string path = file.toStdString();
        if (!CTaskQueue::IsPlotFile(path)) {
            ShowStatus(tr("Not a plot file: %1").arg(file));
            continue;
        }
        if (m_Queue.AddFile(path).empty())
            ShowStatus(tr("Cannot add %1 to the task folder").arg(file));
        CTaskQueue::LogAddFileDone();
    }
}

bool CFileView::ServeFolder()
{
    const std::string folder = m_Queue.TaskFolder();
    if (m_FolderLock.AcquireFolder(folder, "tessaline")) {
        m_Queue.FolderTaken();
        if (m_bFolderBusy) {
            m_bFolderBusy = false;
            WriteLog(Utf8ToGbk("The task folder " + folder + " is served by this program now.") + "\r\n");
            ShowStatus(tr("The task folder %1 is served by this program now.").arg(QString::fromStdString(folder)));
        }
        m_pHandOver->Listen(folder);
        return true;
    }
    m_pHandOver->Close();
    const std::string text = m_FolderLock.FolderBusyText(folder);
    ShowProblem(text);
    if (!m_bFolderBusy) {
        m_bFolderBusy = true;
        // After start-up, when the log is open and the window shown.
        QTimer::singleShot(0, this, [this, text] {
            WriteLog(Utf8ToGbk(text) + "\r\n");
            if (!m_bBusyBoxShown) {
                m_bBusyBoxShown = true;
                GetWindowBridge().MessageBox(text, "Notice", MB_OK, MB_ICONEXCLAMATION);
            }
        });
    }
    return false;
}

void CFileView::FillContextMenu(QMenu& menu)
{
    const std::string selected = SelectedPath();
    menu.setTitle(tr("&Operations"));
    for (const CMenuItem& entry : kContextMenu) {
        if (!entry.id) {
            menu.addSeparator();
            continue;
        }
        QAction* pAction = menu.addAction(tr(entry.text));
        pAction->setObjectName(QString::number(entry.id));
        pAction->setData(entry.id);
        bool enabled = !entry.greyed;
        if (entry.id == ID_PREVIEW)
            enabled = true;
        else if (entry.id == ID_FINAL_VIEW)
            enabled = m_Queue.CanFinalView(selected);
        pAction->setEnabled(enabled);
        const int id = entry.id;
        connect(pAction, &QAction::triggered, this, [this, id] { OnContextCommand(id); });
    }
}

void CFileView::OnContextCommand(int nId)
{
    OnCommand(nId, true);
}

void CFileView::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    if (SelectedPath().empty())
        return;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("130"));
    FillContextMenu(menu);
    menu.exec(event->globalPos());
}

// The framework's clipboard keys have no meaning here; the list would otherwise copy a cell.
void CFileView::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        event->ignore();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void CFileView::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls()) {
        for (const QUrl& url : event->mimeData()->urls()) {
            if (CTaskQueue::IsPlotFile(PathOf(url))) {
                event->acceptProposedAction();
                return;
            }
        }
    }
    event->ignore();
}

void CFileView::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void CFileView::dropEvent(QDropEvent* event)
{
    if (!event->mimeData()->hasUrls()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    AddDroppedFiles(event->mimeData()->urls());
}
