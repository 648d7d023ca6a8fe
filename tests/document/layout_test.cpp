// The document reads config.ini where the layout says, and a missing WORKPATH names the layout's task folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "document/marquelldoc.h"
#include "testtmp.h"

namespace fs = std::filesystem;

TEST(DocumentLayout, SettingsAndTheDefaultTaskFolderFollowTheLayout)
{
    const fs::path dir = TestTempDir("doclayout");
    fs::remove_all(dir);
    fs::create_directories(dir / "home/.config/tessaline");
    std::ofstream(dir / "home/.config/tessaline/config.ini") << "[PRINT]\nPRINTAUTO=1\n";
    CAppEnvironment env;
    env.m_strExeDir = (dir / "bin").string();
    env.m_strHome = (dir / "home").string();

    const CMarquellDoc perUser(CAppPaths::Decide(env));
    EXPECT_TRUE(perUser.m_UserDefine.PRINTAUTO);
    EXPECT_EQ(perUser.m_UserDefine.WORKPATH, (dir / "home/Tessaline/tasks").generic_string());

    const CMarquellDoc inFolder((dir / "bin").string());
    EXPECT_EQ(inFolder.m_strConfigPath, (dir / "bin/config.ini").generic_string());
    EXPECT_EQ(inFolder.m_UserDefine.WORKPATH, (dir / "bin/tasks").generic_string());
    fs::remove_all(dir);
}
