// The layout decision: portable beside the program, per-user with the XDG folders, a config file named
// on the command line or in the environment; and the folders WORKPATH and PAGEDIR resolve to.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/apppaths.h"
#include "testtmp.h"

namespace fs = std::filesystem;

namespace {

using Layout = CAppPaths::Layout;

class AppPaths : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_Dir = TestTempDir("apppaths");
        fs::remove_all(m_Dir);
        fs::create_directories(m_Dir / "portable");
        fs::create_directories(m_Dir / "usr/bin");
        std::ofstream(m_Dir / "portable/config.ini") << "[PRINT]\n";
    }
    void TearDown() override { fs::remove_all(m_Dir); }

    std::string P(const std::string& rel) const { return (m_Dir / rel).generic_string(); }

    fs::path m_Dir;
};

TEST_F(AppPaths, TheLayoutIsDecidedInOnePlace)
{
    struct Case {
        const char* name;
        CAppEnvironment env;
        Layout layout;
        std::string config, log, tasks, pages;
        bool firstStart;
    };
    auto env = [&](const char* exe, const char* option, const char* envConfig, const char* home, const char* xdgConfig,
                   const char* xdgState) {
        CAppEnvironment e;
        e.m_strExeDir = P(exe);
        e.m_strConfigOption = option;
        e.m_strConfigEnv = envConfig;
        e.m_strHome = home;
        e.m_strXdgConfigHome = xdgConfig;
        e.m_strXdgStateHome = xdgState;
        return e;
    };
    const std::string home = P("home");
    const std::string given = P("elsewhere/my.ini");
    const std::vector<Case> cases = {
        {"config.ini beside the program", env("portable", "", "", home.c_str(), "", ""), Layout::Portable,
         P("portable/config.ini"), P("portable/logfile.txt"), P("portable/tasks/"), P("portable/pages"), false},
        {"installed in /usr/bin, root or not", env("usr/bin", "", "", home.c_str(), "", ""), Layout::PerUser,
         home + "/.config/tessaline/config.ini", home + "/.local/state/tessaline/logfile.txt",
         home + "/Tessaline/tasks/", home + "/Tessaline/pages", true},
        {"XDG folders set", env("usr/bin", "", "", home.c_str(), "/xdg/conf", "/xdg/state"), Layout::PerUser,
         "/xdg/conf/tessaline/config.ini", "/xdg/state/tessaline/logfile.txt", home + "/Tessaline/tasks/",
         home + "/Tessaline/pages", true},
        {"relative XDG folders are ignored", env("usr/bin", "", "", home.c_str(), "conf", "state"), Layout::PerUser,
         home + "/.config/tessaline/config.ini", home + "/.local/state/tessaline/logfile.txt",
         home + "/Tessaline/tasks/", home + "/Tessaline/pages", true},
        {"TESSALINE_CONFIG beats the portable layout", env("portable", "", given.c_str(), home.c_str(), "", ""),
         Layout::Given, given, P("elsewhere/logfile.txt"), P("elsewhere/tasks/"), P("elsewhere/pages"), false},
        {"--config beats TESSALINE_CONFIG", env("usr/bin", given.c_str(), "/nowhere/config.ini", home.c_str(), "", ""),
         Layout::Given, given, P("elsewhere/logfile.txt"), P("elsewhere/tasks/"), P("elsewhere/pages"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CAppPaths paths = CAppPaths::Decide(c.env);
        EXPECT_EQ(paths.GetLayout(), c.layout);
        EXPECT_EQ(paths.ConfigPath(), c.config);
        EXPECT_EQ(paths.LogPath(), c.log);
        EXPECT_EQ(paths.TaskFolder(""), c.tasks);
        EXPECT_EQ(paths.PageFolder(""), c.pages);
        EXPECT_EQ(paths.FirstStart(), c.firstStart);
    }
}

TEST_F(AppPaths, APerUserConfigAlreadyThereIsNoFirstStart)
{
    CAppEnvironment env;
    env.m_strExeDir = P("usr/bin");
    env.m_strHome = P("home");
    fs::create_directories(m_Dir / "home/.config/tessaline");
    std::ofstream(m_Dir / "home/.config/tessaline/config.ini") << "[PRINT]\n";
    EXPECT_FALSE(CAppPaths::Decide(env).FirstStart());
}

TEST_F(AppPaths, WorkPathAndPageDirResolveAgainstTheLayoutsBase)
{
    CAppEnvironment env;
    env.m_strExeDir = P("usr/bin");
    env.m_strHome = P("home");
    const CAppPaths perUser = CAppPaths::Decide(env);
    EXPECT_EQ(perUser.TaskFolder("jobs"), P("home/Tessaline/jobs/"));
    EXPECT_EQ(perUser.TaskFolder("/srv/cad/out/"), "/srv/cad/out/");
    EXPECT_EQ(perUser.PageFolder("png"), P("home/Tessaline/png"));
    EXPECT_EQ(perUser.PageFolder("/tmp/pages"), "/tmp/pages");
    const CAppPaths folder = CAppPaths::InFolder(P("portable"));
    EXPECT_EQ(folder.TaskFolder("./jobs/../tasks"), P("portable/tasks/"));
}

TEST_F(AppPaths, ARelativeConfigOptionIsTakenFromTheWorkingFolder)
{
    const fs::path cwd = fs::current_path();
    fs::current_path(m_Dir);
    CAppEnvironment env;
    env.m_strConfigOption = "portable/config.ini";
    const CAppPaths paths = CAppPaths::Decide(env);
    fs::current_path(cwd);
    EXPECT_EQ(paths.ConfigPath(), P("portable/config.ini"));
    EXPECT_EQ(paths.LogPath(), P("portable/logfile.txt"));
}

TEST_F(AppPaths, ThePerUserFoldersAreCreated)
{
    CAppEnvironment env;
    env.m_strExeDir = P("usr/bin");
    env.m_strHome = P("home");
    const CAppPaths paths = CAppPaths::Decide(env);
    std::string error;
    ASSERT_TRUE(paths.CreateFolders(&error)) << error;
    EXPECT_TRUE(fs::is_directory(m_Dir / "home/.config/tessaline"));
    EXPECT_TRUE(fs::is_directory(m_Dir / "home/.local/state/tessaline"));
    EXPECT_TRUE(fs::is_directory(m_Dir / "home/Tessaline/tasks"));

    std::ofstream(m_Dir / "file") << "x";
    env.m_strHome = P("file");
    EXPECT_FALSE(CAppPaths::Decide(env).CreateFolders(&error));
    EXPECT_NE(error.find(P("file/.config/tessaline")), std::string::npos) << error;
}

TEST_F(AppPaths, TheProcessEnvironmentIsRead)
{
    setenv("TESSALINE_CONFIG", "/etc/x/config.ini", 1);
    setenv("XDG_STATE_HOME", "/var/state", 1);
    const CAppEnvironment env = CAppEnvironment::OfProcess("--given.ini");
    unsetenv("TESSALINE_CONFIG");
    unsetenv("XDG_STATE_HOME");
    EXPECT_EQ(env.m_strConfigEnv, "/etc/x/config.ini");
    EXPECT_EQ(env.m_strXdgStateHome, "/var/state");
    EXPECT_EQ(env.m_strConfigOption, "--given.ini");
    EXPECT_EQ(env.m_strExeDir, fs::read_symlink("/proc/self/exe").parent_path().string());
    EXPECT_FALSE(env.m_strHome.empty());
}

}  // namespace
