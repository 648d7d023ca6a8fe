// The application object: start-up in its fixed order, the log file, the About box, and "Add files"
// while the preview pane is active.
#pragma once

#include <memory>
#include <string>

#include "platform/apppaths.h"
#include "shell/commandrouter.h"

class CMainFrame;
class CMarquellDoc;
class CQtWindowBridge;
class CUsbAdapter;

class CMarquellApp : public CCommandTarget {
public:
    // appDir: where config.ini, logfile.txt and the task folder lie; empty: the paths the program
    // decided at start-up (portable or per-user layout).
    explicit CMarquellApp(const std::string& appDir = std::string());
    ~CMarquellApp() override;
    CMarquellApp(const CMarquellApp&) = delete;
    CMarquellApp& operator=(const CMarquellApp&) = delete;

    // True when the main window is up; false ends the program (no log file is created then).
    bool InitInstance();
    // Ends the worker and releases the window, the link and the document. Runs once.
    void ExitInstance();

    // 57601 (through the task list) and 57664 (the About box).
    bool OnCommand(int nId, bool bExecute) override;

    CMainFrame* MainFrame() const { return m_pMainWnd.get(); }
    CMarquellDoc* Document() const { return m_pDoc.get(); }
    std::string LogPath() const;

private:
    // The new-document step: document, frame, first update of the panes, window shown.
    bool OnFileNew();
    void OpenUsbLink();
    void StartLog();

    CAppPaths m_Paths;
    std::unique_ptr<CQtWindowBridge> m_pBridge;
    std::unique_ptr<CMarquellDoc> m_pDoc;
    std::unique_ptr<CUsbAdapter> m_pAdapter;
    std::unique_ptr<CMainFrame> m_pMainWnd;
    bool m_bEnded = false;
};
