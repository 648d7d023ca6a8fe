// The application object: start-up in its fixed order, the log file, the About box, and "Add files"
// while the preview pane is active.
#pragma once

#include <memory>
#include <string>

#include <QCoreApplication>
#include <QStringList>

#include "platform/apppaths.h"
#include "queue/folderlock.h"
#include "shell/commandrouter.h"
#include "shell/language.h"

class CMainFrame;
class CMarquellDoc;
class CQtWindowBridge;
class CUsbAdapter;

class CMarquellApp : public CCommandTarget {
    Q_DECLARE_TR_FUNCTIONS(CMarquellApp)
public:
    // appDir: where config.ini, logfile.txt and the task folder lie; empty: the paths the program
    // decided at start-up (portable or per-user layout).
    explicit CMarquellApp(const std::string& appDir = std::string());
    ~CMarquellApp() override;
    CMarquellApp(const CMarquellApp&) = delete;
    CMarquellApp& operator=(const CMarquellApp&) = delete;

    // Plot files opened with the program (absolute paths): added to the queue once the window is up.
    void SetStartFiles(const QStringList& files) { m_StartFiles = files; }
    // Hands the start files to the program already serving their task folder; true when it took
    // them, and this process then ends.
    bool HandOverStartFiles();

    // True when the main window is up; false ends the program (no log file is created then). A second
    // program with the same log (the same program folder or per-user folders) says who runs and ends
    // here; it copies its start files into the task folder for the running one.
    bool InitInstance();
    // Ends the worker and releases the window, the link and the document. Runs once.
    void ExitInstance();

    // 57601 (through the task list) and 57664 (the About box).
    bool OnCommand(int nId, bool bExecute) override;

    CMainFrame* MainFrame() const { return m_pMainWnd.get(); }
    CMarquellDoc* Document() const { return m_pDoc.get(); }
    std::string LogPath() const;

private:
    // The operator's language, before any window or message box.
    void InstallLanguage();
    // The new-document step: document, frame, first update of the panes, window shown.
    bool OnFileNew();
    void OpenUsbLink();
    void StartLog();
    void ReportConfigProblem();
    // The start files copied into the task folder without a window; how many were.
    int CopyStartFiles(std::string& folder);

    CAppPaths m_Paths;
    CLanguage m_Language;
    CFolderLock m_InstanceLock;
    QStringList m_StartFiles;
    std::unique_ptr<CQtWindowBridge> m_pBridge;
    std::unique_ptr<CMarquellDoc> m_pDoc;
    std::unique_ptr<CUsbAdapter> m_pAdapter;
    std::unique_ptr<CMainFrame> m_pMainWnd;
    bool m_bEnded = false;
};
