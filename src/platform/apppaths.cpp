// The layout decision and the paths of each layout.
#include "platform/apppaths.h"

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>
#include <system_error>
#include <vector>

#include "platform/gbk.h"

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string HomeOfUser()
{
    std::string home = Env("HOME");
#ifndef _WIN32
    if (home.empty())
        if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
            home = pw->pw_dir;
#endif
    return home;
}

bool IsFile(const fs::path& path)
{
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

// An XDG base folder: the variable when it holds an absolute path (relative ones are invalid and
// ignored), else the default under the home folder.
fs::path XdgFolder(const std::string& value, const fs::path& fallback)
{
    fs::path path(value);
    return !value.empty() && path.is_absolute() ? path : fallback;
}

fs::path Absolute(const std::string& path)
{
    std::error_code ec;
    fs::path abs = fs::absolute(path, ec);
    return (ec ? fs::path(path) : abs).lexically_normal();
}

// A folder taken from base when relative; "/" separators, no trailing one.
std::string Resolve(const std::string& base, const std::string& path)
{
    fs::path p(path);
    if (p.is_relative())
        p = fs::path(base) / p;
    std::string s = p.lexically_normal().generic_string();
    while (s.size() > 1 && s.back() == '/')
        s.pop_back();
    return s;
}

std::optional<CAppPaths>& Current()
{
    static std::optional<CAppPaths> paths;
    return paths;
}

std::mutex gCurrentLock;

}  // namespace

CAppEnvironment CAppEnvironment::OfProcess(const std::string& configOption)
{
    CAppEnvironment env;
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    env.m_strExeDir = ec ? fs::current_path(ec).string() : exe.parent_path().string();
    env.m_strConfigOption = configOption;
    env.m_strConfigEnv = Env("TESSALINE_CONFIG");
    env.m_strHome = HomeOfUser();
    env.m_strXdgConfigHome = Env("XDG_CONFIG_HOME");
    env.m_strXdgStateHome = Env("XDG_STATE_HOME");
    return env;
}

CAppPaths CAppPaths::InFolder(const std::string& dir, Layout layout)
{
    const fs::path root(dir);
    CAppPaths paths;
    paths.m_Layout = layout;
    paths.m_strBaseDir = root.generic_string();
    paths.m_strConfigPath = (root / "config.ini").generic_string();
    paths.m_strLogPath = (root / "logfile.txt").generic_string();
    paths.m_strDefaultTasks = (root / "tasks").generic_string();
    paths.m_strDefaultPages = (root / "pages").generic_string();
    return paths;
}

CAppPaths CAppPaths::Decide(const CAppEnvironment& env)
{
    const std::string& given = !env.m_strConfigOption.empty() ? env.m_strConfigOption : env.m_strConfigEnv;
    if (!given.empty()) {
        const fs::path config = Absolute(given);
        CAppPaths paths = InFolder(config.parent_path().generic_string(), Layout::Given);
        paths.m_strConfigPath = config.generic_string();
        return paths;
    }
    if (!env.m_strExeDir.empty() && IsFile(fs::path(env.m_strExeDir) / "config.ini"))
        return InFolder(fs::path(env.m_strExeDir).generic_string(), Layout::Portable);

    const fs::path home = env.m_strHome.empty() ? Absolute(".") : fs::path(env.m_strHome);
    const fs::path config = XdgFolder(env.m_strXdgConfigHome, home / ".config") / "tessaline" / "config.ini";
    const fs::path state = XdgFolder(env.m_strXdgStateHome, home / ".local" / "state") / "tessaline";
    CAppPaths paths;
    paths.m_Layout = Layout::PerUser;
    paths.m_strConfigPath = config.generic_string();
    paths.m_strLogPath = (state / "logfile.txt").generic_string();
    paths.m_strBaseDir = (home / "Tessaline").generic_string();
    paths.m_strDefaultTasks = (home / "Tessaline" / "tasks").generic_string();
    paths.m_strDefaultPages = (home / "Tessaline" / "pages").generic_string();
    paths.m_bFirstStart = !IsFile(config);
    return paths;
}

const char* CAppPaths::LayoutName(Layout layout)
{
    switch (layout) {
    case Layout::Portable: return "portable";
    case Layout::PerUser: return "per-user";
    case Layout::Given: return "given config";
    }
    return "";
}

std::string CAppPaths::TaskFolder(const std::string& workPath) const
{
    return Resolve(m_strBaseDir, workPath.empty() ? m_strDefaultTasks : workPath) + "/";
}

std::string CAppPaths::PageFolder(const std::string& pageDir) const
{
    return Resolve(m_strBaseDir, pageDir.empty() ? m_strDefaultPages : pageDir);
}

bool CAppPaths::CreateFolders(std::string* pError) const
{
    std::vector<fs::path> folders = {fs::path(m_strConfigPath).parent_path(), fs::path(m_strLogPath).parent_path()};
    if (m_Layout == Layout::PerUser)
        folders.push_back(m_strDefaultTasks);
    for (const fs::path& folder : folders) {
        std::error_code ec;
        if (folder.empty() || fs::is_directory(folder, ec))
            continue;
        fs::create_directories(folder, ec);
        if (ec) {
            if (pError)
                *pError = "cannot create the folder " + folder.generic_string() + ": " + ec.message();
            return false;
        }
    }
    return true;
}

std::string CAppPaths::LogSummary(const std::string& taskFolder, const std::string& pageFolder) const
{
    std::string text = std::string("Tessaline ") + LayoutName(m_Layout) + " layout" +
                       (m_bFirstStart ? ", first start: config.ini written with the defaults" : "") + "\r\n";
    text += "config.ini: " + Utf8ToGbk(m_strConfigPath) + "\r\n";
    text += "log: " + Utf8ToGbk(m_strLogPath) + "\r\n";
    text += "task folder: " + Utf8ToGbk(taskFolder) + "\r\n";
    text += "pages of the virtual plotter: " + Utf8ToGbk(pageFolder) + "\r\n";
    return text;
}

const CAppPaths& GetAppPaths()
{
    std::lock_guard<std::mutex> lock(gCurrentLock);
    std::optional<CAppPaths>& current = Current();
    if (!current)
        current = CAppPaths::Decide(CAppEnvironment::OfProcess());
    return *current;
}

void SetAppPaths(const CAppPaths& paths)
{
    std::lock_guard<std::mutex> lock(gCurrentLock);
    Current() = paths;
}
