// Whether the task folder is there, and what to say when it is not: a folder this run never saw is made,
// one that went away (a share that dropped) is waited for and never made again, since an empty folder
// where the share was mounted would take the share's jobs.
#pragma once

#include <set>
#include <string>
#include <vector>

// Not locked itself: the task queue calls it under its own lock.
class CTaskFolderWatch {
public:
    // True when folder (ending with "/") is there, made now if this run never saw it. What the operator
    // must hear goes to problems, each once while it lasts.
    bool Check(const std::string& folder, std::vector<std::string>& problems);
    // The folder is known to be there (the program has just taken its lock), as if a check had found it.
    void Seen(const std::string& folder) { m_Seen.insert(folder); }
    // The folder was found gone between checks (a job start found its file missing).
    void Gone(const std::string& folder, std::vector<std::string>& problems);
    // A problem with the folder itself (it cannot be listed), reported once while it lasts.
    void Problem(const std::string& problem, std::vector<std::string>& problems);
    void ProblemGone() { m_strProblem.clear(); }
    // True from the moment a folder seen before is found gone until it is back.
    bool Missing() const { return m_bMissing; }

    static std::string MissingText(const std::string& folder);
    // True when path names a folder now; a folder that cannot be looked at is not there.
    static bool IsFolder(const std::string& path);

private:
    std::set<std::string> m_Seen;
    bool m_bMissing = false;
    std::string m_strProblem;
};
