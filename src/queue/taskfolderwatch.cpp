// The task folder's presence: made once, waited for when it goes, said when it goes and comes back.
#include "queue/taskfolderwatch.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

bool CTaskFolderWatch::IsFolder(const std::string& path)
{
    std::error_code ec;
    return fs::is_directory(path, ec);
}

std::string CTaskFolderWatch::MissingText(const std::string& folder)
{
    return "The task folder " + folder + " is missing: no job starts until it is back";
}

bool CTaskFolderWatch::Check(const std::string& folder, std::vector<std::string>& problems)
{
    if (IsFolder(folder)) {
        m_Seen.insert(folder);
        if (m_bMissing) {
            m_bMissing = false;
            problems.push_back("The task folder " + folder + " is back");
        }
        return true;
    }
    if (m_Seen.count(folder)) {
        Gone(folder, problems);
        return false;
    }
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!ec && IsFolder(folder)) {
        m_Seen.insert(folder);
        return true;
    }
    Problem("Cannot create the task folder " + folder + ": " + (ec ? ec.message() : std::string("not a folder")),
            problems);
    return false;
}

void CTaskFolderWatch::Gone(const std::string& folder, std::vector<std::string>& problems)
{
    if (m_bMissing)
        return;
    m_bMissing = true;
    problems.push_back(MissingText(folder));
}

void CTaskFolderWatch::Problem(const std::string& problem, std::vector<std::string>& problems)
{
    if (problem == m_strProblem)
        return;
    m_strProblem = problem;
    problems.push_back(problem);
}
