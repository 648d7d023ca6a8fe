// The application object: start-up, log file, About box.
#include "shell/marquell.h"

#include <cstdio>
#include <filesystem>

#include <QApplication>

#include "app/plotterselect.h"
#include "document/marquelldoc.h"
#include "platform/gbk.h"
#include "platform/logwriter.h"
#include "platform/usbadapter.h"
#include "queue/printworker.h"
#include "queue/taskqueue.h"
#include "settings/configstore.h"
#include "settings/userdefine.h"
#include "shell/aboutdlg.h"
#include "shell/commandids.h"
#include "shell/coretext.h"
#include "shell/filehandover.h"
#include "shell/fileview.h"
#include "shell/mainfrm.h"
#include "shell/qtwindowbridge.h"
#include "sim/virtualplotter.h"

namespace fs = std::filesystem;

CMarquellApp::CMarquellApp(const std::string& appDir)
    : m_Paths(appDir.empty() ? GetAppPaths() : CAppPaths::InFolder(appDir))
{
}

CMarquellApp::~CMarquellApp()
{
    ExitInstance();
}

std::string CMarquellApp::LogPath() const
{
    return m_Paths.LogPath();
}

bool CMarquellApp::InitInstance()
{
    Q_INIT_RESOURCE(tessaline);
    InstallLanguage();
    QApplication::setWindowIcon(AppIcon());
    m_pBridge = std::make_unique<CQtWindowBridge>();
    SetWindowBridge(m_pBridge.get());
    // No per-user settings store: the recent-file list it would hold has no use here.
    // A folder that cannot be made shows up as the log's or the task folder's own failure.
    m_Paths.CreateFolders();
    if (!m_InstanceLock.Acquire(CFolderLock::LogLockFile(LogPath()), "tessaline")) {
        std::string text = m_InstanceLock.LogBusyText(LogPath());
        QString shown = CCoreText::Message(text);
        std::string folder;
        if (const int copied = CopyStartFiles(folder)) {
            text += " " + std::to_string(copied) + " file(s) were copied into its task folder " + folder + ".";
            shown += QLatin1Char(' ') + tr("%n file(s) were copied into its task folder %1.", nullptr, copied)
                                            .arg(QString::fromStdString(folder));
        }
        std::fprintf(stderr, "tessaline: %s\n", text.c_str());
        GetWindowBridge().MessageBox(shown.toStdString(), "Notice", MB_OK, MB_ICONEXCLAMATION);
        return false;
    }
    if (!OnFileNew())
        return false;
    m_pMainWnd->UpdateWindow();
    // The print worker runs already; what it logged so far reached only the trace sink.
    StartLog();
    ReportConfigProblem();
    if (gpFileView && !m_StartFiles.isEmpty())
        gpFileView->AddFiles(m_StartFiles);
    return true;
}

void CMarquellApp::InstallLanguage()
{
    CUserDefine settings;
    CConfigStore::Load(settings, m_Paths.ConfigPath(), m_Paths.DefaultTaskFolder());
    const QString lang = CLanguage::Choose(settings.m_Ui.LANGUAGE);
    if (!m_Language.Install(lang))
        std::fprintf(stderr, "tessaline: the %s translation cannot be loaded; the texts are shown untranslated\n",
                     lang.toUtf8().constData());
}

bool CMarquellApp::HandOverStartFiles()
{
    if (m_StartFiles.isEmpty())
        return false;
    const CMarquellDoc settings(m_Paths);
    const std::string folder = m_Paths.TaskFolder(settings.m_UserDefine.WORKPATH);
    qint64 pid = 0;
    if (!CFileHandOver::Send(folder, m_StartFiles, 5000, &pid))
        return false;
    std::fprintf(stderr, "tessaline: %lld file(s) handed to the program serving %s (process %lld)\n",
                 static_cast<long long>(m_StartFiles.size()), folder.c_str(), static_cast<long long>(pid));
    return true;
}

int CMarquellApp::CopyStartFiles(std::string& folder)
{
    if (m_StartFiles.isEmpty())
        return 0;
    CMarquellDoc settings(m_Paths);
    CTaskQueue queue(settings);
    folder = queue.TaskFolder();
    int copied = 0;
    for (const QString& file : m_StartFiles)
        if (CTaskQueue::IsPlotFile(file.toStdString()) && !queue.AddFile(file.toStdString()).empty())
            ++copied;
    return copied;
}

bool CMarquellApp::OnFileNew()
{
    m_pDoc = std::make_unique<CMarquellDoc>(m_Paths);
    // The per-user layout's first start leaves the user a config.ini to edit.
    if (m_Paths.FirstStart())
        m_pDoc->SaveConfig();
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
        const std::string pages = m_Paths.PageFolder(link.PAGEDIR);
        std::error_code ec;
        fs::create_directories(pages, ec);
        static_cast<CVirtualPlotter*>(m_pAdapter.get())->SetPageDir(pages);
    }
    SetUsbAdapter(m_pAdapter.get());
}

void CMarquellApp::StartLog()
{
    StartLogFile(LogPath());
    if (m_Paths.FirstStart()) {
        const CUserDefine& ud = m_pDoc->m_UserDefine;
        WriteLog(m_Paths.LogSummary(m_Paths.TaskFolder(ud.WORKPATH), m_Paths.PageFolder(ud.m_Link.PAGEDIR)));
    }
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
    m_Language.Remove();
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
