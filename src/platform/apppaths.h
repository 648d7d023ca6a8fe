// Where the program keeps its files (config.ini, the log, the default task folder, the virtual plotter's
// pages): the one place that decides between the portable and the per-user layout.
#pragma once

#include <string>

// What the decision reads from the process. A plain record so that any case can be put to the decision.
struct CAppEnvironment {
    std::string m_strExeDir;        // folder of the running executable
    std::string m_strConfigOption;  // --config on the command line; empty when not given
    std::string m_strConfigEnv;     // TESSALINE_CONFIG
    std::string m_strHome;          // HOME, else the home folder of the user in the password database
    std::string m_strXdgConfigHome;
    std::string m_strXdgStateHome;

    // This process: /proc/self/exe and the environment.
    static CAppEnvironment OfProcess(const std::string& configOption = std::string());
};

class CAppPaths {
public:
    enum class Layout {
        Portable,  // a config.ini beside the executable: everything lies beside it
        PerUser,   // an installed program: XDG folders and ~/Tessaline
        Given,     // --config or TESSALINE_CONFIG: everything lies beside the file named
    };

    // In order: --config, TESSALINE_CONFIG, a config.ini beside the executable, the per-user layout.
    // Reads only whether files exist; creates nothing.
    static CAppPaths Decide(const CAppEnvironment& env);
    // config.ini, logfile.txt, tasks/ and pages/ in dir (the layout of a program folder).
    static CAppPaths InFolder(const std::string& dir, Layout layout = Layout::Given);

    Layout GetLayout() const { return m_Layout; }
    static const char* LayoutName(Layout layout);

    const std::string& ConfigPath() const { return m_strConfigPath; }
    const std::string& LogPath() const { return m_strLogPath; }
    // The task folder when WORKPATH names none; no trailing "/".
    const std::string& DefaultTaskFolder() const { return m_strDefaultTasks; }
    // The per-user layout without its config.ini: the program's first start for this user.
    bool FirstStart() const { return m_bFirstStart; }

    // The task folder WORKPATH names, with a trailing "/".
    std::string TaskFolder(const std::string& workPath) const;
    // The folder of the virtual plotter's pages that PAGEDIR names.
    std::string PageFolder(const std::string& pageDir) const;

    // The folders of config.ini and the log and, in the per-user layout, the default task folder.
    // False, with the reason, when one cannot be created.
    bool CreateFolders(std::string* pError = nullptr) const;

    // Log entries (ASCII and GBK paths, each ending in CR LF) saying where everything is.
    std::string LogSummary(const std::string& taskFolder, const std::string& pageFolder) const;

private:
    Layout m_Layout = Layout::Given;
    std::string m_strConfigPath;
    std::string m_strLogPath;
    std::string m_strDefaultTasks;
    std::string m_strDefaultPages;
    std::string m_strBaseDir;  // a relative WORKPATH or PAGEDIR is taken from here
    bool m_bFirstStart = false;
};

// The paths of this process: decided from the process (CAppEnvironment::OfProcess) unless the program
// decided them at start-up with SetAppPaths. Read from the window thread and at start-up only.
const CAppPaths& GetAppPaths();
void SetAppPaths(const CAppPaths& paths);
