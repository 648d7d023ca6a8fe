// The task-folder lock: one holder at a time, who holds it is named, and a holder's death frees it.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "queue/folderlock.h"
#include "testtmp.h"

namespace fs = std::filesystem;

namespace {

class FolderLock : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_Dir = TestTempDir("folderlock");
        fs::remove_all(m_Dir);
        fs::create_directories(m_Dir);
    }
    void TearDown() override { fs::remove_all(m_Dir); }

    std::string Folder() const { return (m_Dir / "tasks").string() + "/"; }

    fs::path m_Dir;
};

// flock belongs to the open file, so two objects of one process contend as two programs would.
TEST_F(FolderLock, TheSecondHolderIsRefusedAndToldWhoServesTheFolder)
{
    CFolderLock first, second;
    ASSERT_TRUE(first.AcquireFolder(Folder(), "tessaline"));
    EXPECT_TRUE(fs::is_regular_file(m_Dir / "tasks/.tessaline.lock"));
    EXPECT_TRUE(first.AcquireFolder(Folder(), "tessaline"));  // held already

    EXPECT_FALSE(second.AcquireFolder(Folder(), "tessaline-cli"));
    const std::string me = "tessaline (process " + std::to_string(getpid()) + ")";
    EXPECT_EQ(second.Holder(), me);
    EXPECT_NE(second.FolderBusyText(Folder()).find("is served by " + me), std::string::npos);

    first.Release();
    EXPECT_TRUE(second.AcquireFolder(Folder(), "tessaline-cli"));
    EXPECT_FALSE(first.AcquireFolder(Folder(), "tessaline"));
    EXPECT_EQ(first.Holder(), "tessaline-cli (process " + std::to_string(getpid()) + ")");
}

TEST_F(FolderLock, AHoldersDeathFreesTheFolder)
{
    int ready[2], hold[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(hold), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        CFolderLock lock;
        const char ok = lock.AcquireFolder(Folder(), "tessaline-cli") ? '1' : '0';
        if (write(ready[1], &ok, 1) != 1)
            _exit(2);
        char c;
        while (read(hold[0], &c, 1) < 0) {
        }
        _exit(0);
    }
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, '1');

    CFolderLock mine;
    EXPECT_FALSE(mine.AcquireFolder(Folder(), "tessaline"));
    EXPECT_EQ(mine.Holder(), "tessaline-cli (process " + std::to_string(child) + ")");

    kill(child, SIGKILL);  // a crash: nothing is released by the program itself
    waitpid(child, nullptr, 0);
    EXPECT_TRUE(mine.AcquireFolder(Folder(), "tessaline"));
    for (int fd : {ready[0], ready[1], hold[0], hold[1]})
        close(fd);
}

TEST_F(FolderLock, ALockFileThatCannotBeOpenedIsAnErrorNotAHolder)
{
    std::ofstream(m_Dir / "plain") << "x";
    CFolderLock lock;
    EXPECT_FALSE(lock.AcquireFolder((m_Dir / "plain").string(), "tessaline"));
    EXPECT_TRUE(lock.Holder().empty());
    EXPECT_NE(lock.Error().find("plain/.tessaline.lock"), std::string::npos) << lock.Error();

    // A note the holder had no time to write still reads as a holder.
    std::ofstream(m_Dir / ".blank.lock");
    CFolderLock first, second;
    ASSERT_TRUE(first.Acquire((m_Dir / ".blank.lock").string(), ""));
    std::ofstream(m_Dir / ".blank.lock", std::ios::trunc);
    EXPECT_FALSE(second.Acquire((m_Dir / ".blank.lock").string(), "tessaline"));
    EXPECT_EQ(second.Holder(), "another program");
}

TEST(FolderLockNames, LockFilesLieInTheFolderAndBesideTheLog)
{
    EXPECT_EQ(CFolderLock::FolderLockFile("/srv/tasks/"), "/srv/tasks/.tessaline.lock");
    EXPECT_EQ(CFolderLock::FolderLockFile("/srv/tasks"), "/srv/tasks/.tessaline.lock");
    EXPECT_EQ(CFolderLock::LogLockFile("/home/u/.local/state/tessaline/logfile.txt"),
              "/home/u/.local/state/tessaline/.logfile.txt.lock");
}

}  // namespace
