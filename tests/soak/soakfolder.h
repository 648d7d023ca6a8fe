// The task folder as a cutting room's share: it can drop and come back (the files stay on the server, where
// the CAD systems go on writing), files are written in pieces or replaced by a rename, and removals can be
// refused, played through the task queue's file-operation seam so that it works as root too.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "support/fakefileops.h"

class CSoakFolder {
public:
    // One stat the queue made, and whether the folder was there when it was made.
    struct Stat {
        std::string path;
        bool away = false;
    };

    // folder: the task folder with a trailing "/".
    void SetUp(const std::string& folder)
    {
        m_strFolder = folder;
        m_strAway = folder.substr(0, folder.size() - 1) + ".away/";
        m_Ops.m_fnBeforeStat = [this](const std::string& path) {
            if (m_nVanishAtStat > 0 && --m_nVanishAtStat == 0 && !m_bAway) {
                Vanish(m_nArmedBackAt);
                ++m_nVanishedAtStat;
            }
            m_Stats.push_back({path, m_bAway});
        };
    }

    CFakeFileOps& Ops() { return m_Ops; }
    const std::string& Folder() const { return m_strFolder; }

    // Where the file of a row lies now: on the server while the share is away.
    std::string Physical(const std::string& path) const
    {
        if (!m_bAway || path.compare(0, m_strFolder.size(), m_strFolder) != 0)
            return path;
        return m_strAway + path.substr(m_strFolder.size());
    }
    bool Exists(const std::string& path) const
    {
        std::error_code ec;
        return std::filesystem::exists(Physical(path), ec);
    }
    void Write(const std::string& path, const std::string& content, bool append = false)
    {
        std::ofstream(Physical(path), append ? std::ios::binary | std::ios::app : std::ios::binary) << content;
    }
    // As a CAD system re-exports: written under another name, renamed over the old file.
    void Replace(const std::string& path, const std::string& content)
    {
        const std::string part = Physical(path) + ".part";
        std::ofstream(part, std::ios::binary) << content;
        std::filesystem::rename(part, Physical(path));
    }

    // ---- the share ----
    bool Away() const { return m_bAway; }
    int64_t BackAt() const { return m_nBackAt; }
    void Vanish(int64_t backAt)
    {
        std::filesystem::rename(Trimmed(m_strFolder), Trimmed(m_strAway));
        m_bAway = true;
        m_nBackAt = backAt;
        ++m_nVanished;
    }
    void Return()
    {
        std::filesystem::rename(Trimmed(m_strAway), Trimmed(m_strFolder));
        m_bAway = false;
    }
    // The share drops just before the n-th stat of the queue from now, whichever operation makes it.
    void VanishAtStat(int n, int64_t backAt)
    {
        m_nVanishAtStat = n;
        m_nArmedBackAt = backAt;
    }
    void Disarm() { m_nVanishAtStat = 0; }
    int Vanished() const { return m_nVanished; }
    int VanishedAtStat() const { return m_nVanishedAtStat; }

    // ---- the stats of one queue call ----
    void ClearStats() { m_Stats.clear(); }
    const Stat* FirstStat(const std::string& path) const
    {
        for (const Stat& s : m_Stats)
            if (s.path == path)
                return &s;
        return nullptr;
    }
    const Stat* LastStat(const std::string& path) const
    {
        for (auto it = m_Stats.rbegin(); it != m_Stats.rend(); ++it)
            if (it->path == path)
                return &*it;
        return nullptr;
    }

private:
    static std::string Trimmed(const std::string& folder) { return folder.substr(0, folder.size() - 1); }

    CFakeFileOps m_Ops;
    std::string m_strFolder, m_strAway;
    bool m_bAway = false;
    int64_t m_nBackAt = 0;
    int m_nVanishAtStat = 0;
    int64_t m_nArmedBackAt = 0;
    int m_nVanished = 0, m_nVanishedAtStat = 0;
    std::vector<Stat> m_Stats;
};
