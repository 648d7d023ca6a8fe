// The task queue's file operations on the real file system, except where a test makes them fail: tests
// run as root, where permission bits stop no removal, so a read-only share or an immutable file is
// played through this seam.
#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <system_error>

#include "queue/fileops.h"

class CFakeFileOps : public CFileOps {
public:
    std::error_code Stat(const std::string& path, CFileStamp& stamp) override
    {
        if (m_fnBeforeStat)
            m_fnBeforeStat(path);
        return SystemFileOps().Stat(path, stamp);
    }
    std::error_code Remove(const std::string& path) override
    {
        {
            std::lock_guard<std::mutex> lock(m_Lock);
            auto it = m_RemoveFails.find(path);
            if (it != m_RemoveFails.end())
                return std::make_error_code(it->second);
        }
        return SystemFileOps().Remove(path);
    }
    // The removal of path fails with error (std::errc{} clears it); safe while the worker finishes a job.
    void RefuseRemoval(const std::string& path, std::errc error)
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        if (error == std::errc{})
            m_RemoveFails.erase(path);
        else
            m_RemoveFails[path] = error;
    }

    // Runs before every stat, on the caller's thread (a folder that goes away at that moment).
    std::function<void(const std::string&)> m_fnBeforeStat;

private:
    std::mutex m_Lock;
    std::map<std::string, std::errc> m_RemoveFails;
};
