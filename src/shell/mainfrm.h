// The main frame: menus, toolbar, accelerators, status bar with progress bar, the splitter with the
// task list above the plot preview, command routing, and the guarded Exit and Close.
#pragma once

#include <map>
#include <vector>

#include <QMainWindow>

#include "shell/commandrouter.h"

class CFileView;
class CMarquellDoc;
class CPreviewPane;
class CStatusBar;
class QProgressBar;
class QShortcut;
class QSplitter;
class QToolBar;

class CMainFrame : public QMainWindow, public CCommandTarget {
    Q_OBJECT
public:
    static constexpr int kProgressId = 1234;
    static constexpr int kTaskListHeight = 200;

    // pApp: the last link of the command route.
    CMainFrame(CMarquellDoc& doc, CCommandTarget* pApp);
    ~CMainFrame() override;

    // Menus, toolbar, status bar, docking, panes, in that order; false when any of them fails.
    bool Create();
    // The first update of both panes (the task list starts its timers and the print worker).
    void InitialUpdateFrame();
    // Shows the window and paints it at once.
    void UpdateWindow();

    CFileView* FileView() const { return m_pFileView; }
    CPreviewPane* PreviewPane() const { return m_pPreview; }
    QAction* Action(int nId) const;
    QShortcut* Accelerator(int nId) const;

    // 0: the task list, 1: the preview.
    int ActivePane() const { return m_nActivePane; }
    void SetActivePane(int nPane);

    // The one place that decides what is enabled: every command that no handler on the route takes.
    void UpdateCommandUI();
    // A command of the menu, the toolbar or an accelerator, carried out along the route.
    bool Dispatch(int nId);
    bool OnCommand(int nId, bool bExecute) override;

    // Places the progress bar over status pane 1 and shows the print progress.
    void RefreshProgress();
    void RedrawStatusBar();
    void RepaintPreview();

    QSplitter* m_wndSplitter = nullptr;
    QProgressBar* m_wndProgress = nullptr;
    CStatusBar* m_wndStatusBar = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool CreateMenus();
    bool CreateToolBar();
    bool CreateStatusBar();
    bool OnCreateClient();
    void CreateAccelerators();
    QAction* MakeAction(int nId);
    void OnExit();
    int PaneOf(QObject* pObject) const;

    CMarquellDoc& m_Doc;
    CCommandTarget* m_pApp;
    CCommandRouter m_Router;
    CFileView* m_pFileView = nullptr;
    CPreviewPane* m_pPreview = nullptr;
    std::map<int, QAction*> m_Actions;
    std::map<int, QShortcut*> m_Accelerators;
    int m_nActivePane = 0;
    bool m_bExitCommand = false;
    bool m_bProgressPending = false;
};

// The main toolbar, published by the frame while it exists.
extern QToolBar* g_wndToolBar;
