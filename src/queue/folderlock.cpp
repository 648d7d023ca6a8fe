// flock on a lock file: the lock belongs to the open file and ends with the process.
#include "queue/folderlock.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string Trimmed(std::string s)
{
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' '))
        s.pop_back();
    return s;
}

}  // namespace

CFolderLock::~CFolderLock()
{
    Release();
}

std::string CFolderLock::FolderLockFile(const std::string& folder)
{
    return (fs::path(folder) / ".tessaline.lock").lexically_normal().generic_string();
}

std::string CFolderLock::LogLockFile(const std::string& logPath)
{
    const fs::path log(logPath);
    return (log.parent_path() / ("." + log.filename().string() + ".lock")).generic_string();
}

bool CFolderLock::Acquire(const std::string& lockFile, const std::string& program)
{
    if (Held() && lockFile == m_strLockFile)
        return true;
    Release();
    m_strLockFile = lockFile;
    m_strHolder.clear();
    m_strError.clear();
    bool writable = true;
    int fd = open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0 && errno == EACCES) {
        // Another user's lock file in a shared folder: the lock works on a file open for reading too.
        writable = false;
        fd = open(lockFile.c_str(), O_RDONLY | O_CLOEXEC);
    }
    if (fd < 0) {
        m_strError = "cannot open " + lockFile + ": " + std::strerror(errno);
        return false;
    }
    int rc;
    do
        rc = flock(fd, LOCK_EX | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const int err = errno;
        if (err == EWOULDBLOCK) {
            m_strHolder = ReadHolder(fd);
        } else {
            m_strError = "cannot lock " + lockFile + ": " + std::strerror(err);
        }
        close(fd);
        return false;
    }
    if (writable) {
        // The lock holds without the note too; a second program then names "another program".
        const std::string text = std::to_string(getpid()) + " " + program + "\n";
        const bool noted = ftruncate(fd, 0) == 0 && pwrite(fd, text.data(), text.size(), 0) == ssize_t(text.size());
        (void)noted;
    }
    m_nFd = fd;
    return true;
}

bool CFolderLock::AcquireFolder(const std::string& folder, const std::string& program)
{
    const std::string file = FolderLockFile(folder);
    if (!(Held() && file == m_strLockFile)) {
        std::error_code ec;
        fs::create_directories(folder, ec);
    }
    return Acquire(file, program);
}

void CFolderLock::Release()
{
    if (m_nFd < 0)
        return;
    // The file stays: removing it would let a third program lock a new file while a second one
    // waits on the old one.
    close(m_nFd);
    m_nFd = -1;
}

std::string CFolderLock::ReadHolder(int fd)
{
    char buf[256];
    const ssize_t n = pread(fd, buf, sizeof buf - 1, 0);
    const std::string text = Trimmed(n > 0 ? std::string(buf, size_t(n)) : std::string());
    const size_t space = text.find(' ');
    if (text.empty() || space == std::string::npos || space == 0)
        return "another program";
    return text.substr(space + 1) + " (process " + text.substr(0, space) + ")";
}

std::string CFolderLock::FolderBusyText(const std::string& folder) const
{
    if (!m_strHolder.empty())
        return "The task folder " + folder + " is served by " + m_strHolder +
               "; this program does not print from it while that one runs.";
    return "The task folder " + folder + " cannot be served: " + m_strError;
}

std::string CFolderLock::LogBusyText(const std::string& logPath) const
{
    if (!m_strHolder.empty())
        return "Tessaline already runs with these settings: " + m_strHolder + " writes the log " + logPath + ".";
    return "The log " + logPath + " cannot be locked: " + m_strError;
}
