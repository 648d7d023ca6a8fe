// The task queue's file operations on the real file system.
#include "queue/fileops.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

namespace {

class CSystemFileOps : public CFileOps {
public:
    std::error_code Stat(const std::string& path, CFileStamp& stamp) override
    {
        struct stat st;
        if (::stat(path.c_str(), &st) != 0)
            return std::error_code(errno, std::generic_category());
        stamp.m_nDevice = static_cast<uint64_t>(st.st_dev);
        stamp.m_nInode = static_cast<uint64_t>(st.st_ino);
        stamp.m_nSize = static_cast<int64_t>(st.st_size);
#ifdef _WIN32
        stamp.m_nMtimeNs = static_cast<int64_t>(st.st_mtime) * 1000000000;
#else
        stamp.m_nMtimeNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
#endif
        return {};
    }

    std::error_code Remove(const std::string& path) override
    {
        if (std::remove(path.c_str()) != 0)
            return std::error_code(errno, std::generic_category());
        return {};
    }
};

}  // namespace

CFileOps& SystemFileOps()
{
    static CSystemFileOps ops;
    return ops;
}
