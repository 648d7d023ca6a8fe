// The task list: the report-style list in the upper pane that shows the task queue and forwards its
// commands, timers and context menu to it. It also starts and stops the print worker.
#pragma once

#include <atomic>
#include <string>

#include <QTableWidget>

#include "link/linkpane.h"
#include "queue/folderlock.h"
#include "queue/taskqueue.h"
#include "shell/commandrouter.h"

class CFileHandOver;
class CJobInfoProbe;
class CMarquellDoc;
class QMenu;
class QTimer;

class CFileView : public QTableWidget, public CCommandTarget, public CTaskQueueObserver {
    Q_OBJECT
public:
    // Timer ids: link check and status panes, folder scan, and one that does nothing.
    static constexpr int kTimerLink = 1001;
    static constexpr int kTimerScan = 1002;
    static constexpr int kTimerIdle = 1003;

    CFileView(CMarquellDoc& doc, QWidget* parent);
    ~CFileView() override;

    // The first showing: columns, gpDoc and gpFileView, timers, the print worker.
    void OnInitialUpdate();
    void OnTimer(int nId);
    // What destroying the view does: the worker ends and is joined, timers stop, the job slots are
    // released. Runs once.
    void Shutdown();
    QTimer* Timer(int nId) const;

    bool OnCommand(int nId, bool bExecute) override;
    // The context menu's items with their states for the selected row (menu 130, "&Operations").
    void FillContextMenu(QMenu& menu);
    // "Abrir(&O)": one plot file chosen in a file dialog is copied into the task folder.
    void OnAddFile();
    // Plot files dropped from a file manager, added one by one like "Abrir(&O)".
    void AddDroppedFiles(const QList<QUrl>& urls);
    // Plot files opened with the program, here or in a second start: added one by one like "Abrir(&O)";
    // a file that is no plot file or cannot be copied is named in the status bar.
    void AddFiles(const QStringList& files);

    // Takes (or keeps) the task folder's lock and, with it, the hand-over socket for files opened with
    // the program. While another program serves the folder: false, no scan and no job start; the
    // status bar says who serves it (and a message box once).
    bool ServeFolder();

    CTaskQueue& Queue() { return m_Queue; }
    std::string SelectedPath() const;
    void SelectPath(const std::string& path);

    // The task queue's requests.
    void RowsChanged() override;
    void RepaintPreview() override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    void ShowProblem(const std::string& text) override;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private slots:
    void SyncRows();

private:
    void StartTimer(int nId, int ms);
    void OnContextCommand(int nId);
    void OnSettings();
    // A message of the window side, translated already, in the status bar's message pane.
    void ShowStatus(const QString& text);
    // The time-left pane of the status bar: empty while no job prints.
    void ShowTimeLeft();
    // Each row's tooltip with its file's report, and a mark on rows that would not print.
    void ShowJobInfo();
    void OnJobInfo(const QString& path);

    CMarquellDoc& m_Doc;
    CTaskQueue m_Queue;
    CFolderLock m_FolderLock;
    CFileHandOver* m_pHandOver = nullptr;
    bool m_bFolderBusy = false;
    bool m_bBusyBoxShown = false;
    CLinkPane m_LinkPane;
    CJobInfoProbe* m_pProbe = nullptr;
    QTimer* m_pTimers[3] = {};
    std::atomic<bool> m_bSyncPending{false};
    bool m_bShutDown = false;
    bool m_bStarted = false;
};

// Published by the first update: the one task list.
extern CFileView* gpFileView;
