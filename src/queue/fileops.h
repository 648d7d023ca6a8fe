// The file operations of the task queue that decide what is printed and deleted, behind one small
// interface so that a test can make them fail as a read-only share or an immutable file would.
#pragma once

#include <cstdint>
#include <string>
#include <system_error>

// One version of a file, as the file system describes it.
struct CFileStamp {
    uint64_t m_nDevice = 0;
    uint64_t m_nInode = 0;
    int64_t m_nSize = 0;
    int64_t m_nMtimeNs = 0;

    // Same size and modification time: a file still being written changes one of them.
    bool SameContent(const CFileStamp& other) const
    {
        return m_nSize == other.m_nSize && m_nMtimeNs == other.m_nMtimeNs;
    }
    // The same version of the same file: a file written elsewhere and renamed over it has another inode.
    // A share mounted anew numbers its device (and may number its inodes) anew; size and time then decide.
    bool SameFile(const CFileStamp& other) const
    {
        return SameContent(other) && (m_nDevice != other.m_nDevice || m_nInode == other.m_nInode);
    }
};

class CFileOps {
public:
    virtual ~CFileOps() = default;
    // The stamp of the file at path (symbolic links followed); the error when there is none
    // (std::errc::no_such_file_or_directory when it is gone).
    virtual std::error_code Stat(const std::string& path, CFileStamp& stamp) = 0;
    // Removes the file at path; the error when it stays.
    virtual std::error_code Remove(const std::string& path) = 0;
};

// The real file system.
CFileOps& SystemFileOps();
