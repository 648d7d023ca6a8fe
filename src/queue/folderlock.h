// One program per task folder and per log file: an exclusive lock on a lock file that goes with the
// process, so a crash never leaves a stale lock.
#pragma once

#include <string>

class CFolderLock {
public:
    CFolderLock() = default;
    ~CFolderLock();
    CFolderLock(const CFolderLock&) = delete;
    CFolderLock& operator=(const CFolderLock&) = delete;

    // Takes the exclusive lock of lockFile (created when missing) without waiting and writes this
    // process's id and program name into it. False when another open file holds the lock (Holder()
    // names it) or the file cannot be opened (Error()). Taking a lock this object holds is true at once.
    bool Acquire(const std::string& lockFile, const std::string& program);
    // The task folder's lock: the folder is created when missing (a first start).
    bool AcquireFolder(const std::string& folder, const std::string& program);
    void Release();

    bool Held() const { return m_nFd >= 0; }
    // After a failed Acquire: who holds it, e.g. "tessaline-cli (process 4242)", or "another program"
    // when the file names none; empty when the lock was not held but the file could not be opened.
    const std::string& Holder() const { return m_strHolder; }
    const std::string& Error() const { return m_strError; }

    // ".tessaline.lock" in the task folder (folder with or without a trailing "/").
    static std::string FolderLockFile(const std::string& folder);
    // A hidden file beside the log: ".logfile.txt.lock" for "logfile.txt".
    static std::string LogLockFile(const std::string& logPath);

    // The message of a failed task-folder lock, for the status bar and the console.
    std::string FolderBusyText(const std::string& folder) const;
    // The message of a failed log lock.
    std::string LogBusyText(const std::string& logPath) const;

private:
    static std::string ReadHolder(int fd);

    int m_nFd = -1;
    std::string m_strLockFile;
    std::string m_strHolder;
    std::string m_strError;
};
