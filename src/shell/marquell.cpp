// The application object: start-up, log file, About box.
#include "shell/marquell.h"

#include <filesystem>

#include <QApplication>

#include "app/plotterselect.h"
#include "document/marquelldoc.h"
#include "platform/appdir.h"
#include "platform/gbk.h"
#include "platform/logwriter.h"
#include "platform/usbadapter.h"
#include "queue/printworker.h"
#include "shell/aboutdlg.h"
#include "shell/commandids.h"
#include "shell/fileview.h"
#include "shell/mainfrm.h"
#include "shell/qtwindowbridge.h"
#include "sim/virtualplotter.h"

namespace fs = std::filesystem;

CMarquellApp::CMarquellApp(std::string appDir) : m_strAppDir(appDir.empty() ? GetProgramDir() : std::move(appDir)) {}

CMarquellApp::~CMarquellApp()
{
    ExitInstance();
}

std::string CMarquellApp::LogPath() const
{
    return (fs::path(m_strAppDir) / "logfile.txt").string();
}

bool CMarquellApp::InitInstance()
{
    Q_INIT_RESOURCE(tessaline);
    QApplication::setWindowIcon(AppIcon());
    m_pBridge = std::make_unique<CQtWindowBridge>();
    SetWindowBridge(m_pBridge.get());
    // No per-user settings store: the recent-file list it would hold has no use here.
    if (!OnFileNew())
        return false;
    m_pMainWnd->UpdateWindow();
    // The print worker runs already; what it logged so far reached only the trace sink.
    StartLog();
    ReportConfigProblem();
    return true;
}

bool CMarquellApp::OnFileNew()
{
    m_pDoc = std::make_unique<CMarquellDoc>(m_strAppDir);
    OpenUsbLink();
    m_pMainWnd = std::make_unique<CMainFrame>(*m_pDoc, this);
    m_pBridge->SetFrame(m_pMainWnd.get());
    if (!m_pMainWnd->Create())
        return false;
    m_pMainWnd->InitialUpdateFrame();
    m_pMainWnd->show();
    return true;
}

// [LINK] DEVICE=VIRTUAL selects the built-in virtual plotter, anything else the real board.
void CMarquellApp::OpenUsbLink()
{
    const CLinkSettings& link = m_pDoc->m_UserDefine.m_Link;
    m_pAdapter = OpenPlotter(m_pDoc->m_UserDefine, false);
    if (IsVirtualDevice(link.DEVICE)) {
        fs::path pages = link.PAGEDIR.empty() ? fs::path("pages") : fs::path(link.PAGEDIR);
        if (pages.is_relative())
            pages = fs::path(m_strAppDir) / pages;
        std::error_code ec;
        fs::create_directories(pages, ec);
        static_cast<CVirtualPlotter*>(m_pAdapter.get())->SetPageDir(pages.string());
    }
    SetUsbAdapter(m_pAdapter.get());
}

void CMarquellApp::StartLog()
{
    StartLogFile(LogPath());
}

// Defaults mean the real plotter and no automatic printing: an operator who does not know that waits for
// jobs that never start.
void CMarquellApp::ReportConfigProblem()
{
    if (m_pDoc->m_strConfigProblem.empty())
        return;
    const std::string text = m_pDoc->ConfigProblemText(false);
    WriteLog(Utf8ToGbk(text) + "\r\n");
    if (CFileView* pView = m_pMainWnd->FileView())
        pView->ShowProblem(text);
}

void CMarquellApp::ExitInstance()
{
    if (m_bEnded)
        return;
    m_bEnded = true;
    if (m_pBridge)
        m_pBridge->BeginExit();
    m_pMainWnd.reset();  // the task list ends and joins the worker
    SetWindowBridge(nullptr);
    SetUsbAdapter(nullptr);
    m_pAdapter.reset();
    if (gpDoc == m_pDoc.get())
        gpDoc = nullptr;
    m_pDoc.reset();
    m_pBridge.reset();
    CloseLogFile();
}

bool CMarquellApp::OnCommand(int nId, bool bExecute)
{
    switch (nId) {
    case ID_FILE_OPEN:
        if (bExecute && gpFileView)
            gpFileView->OnAddFile();
        return true;
    case ID_APP_ABOUT:
        if (bExecute) {
            CAboutDlg dlg(m_pMainWnd.get());
            dlg.exec();
        }
        return true;
    default:
        return false;
    }
}
