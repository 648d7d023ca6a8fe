// The queue's state file: its text form, and writing it so that a crash leaves the old or the new one.
#include "queue/queuestatefile.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

constexpr const char* kHeader = "tessaline-queue 1";

struct CStatusCode {
    ETaskStatus status;
    const char* code;
};
constexpr CStatusCode kStatusCodes[] = {{ETaskStatus::NotPlot, "held"},
                                        {ETaskStatus::New, "new"},
                                        {ETaskStatus::Waiting, "waiting"},
                                        {ETaskStatus::Plotting, "plotting"}};

// Tabs separate the fields and a line ends a row: both are escaped inside a field.
std::string Escape(const std::string& s)
{
    std::string out;
    for (char c : s) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c; break;
        }
    }
    return out;
}

bool Unescape(const std::string& s, std::string& out)
{
    out.clear();
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\') {
            out += s[i];
            continue;
        }
        if (++i == s.size())
            return false;
        switch (s[i]) {
        case '\\': out += '\\'; break;
        case 't': out += '\t'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        default: return false;
        }
    }
    return true;
}

std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

template <class T>
bool Number(const std::string& s, T& value)
{
    std::istringstream in(s);
    return !s.empty() && (in >> value) && in.peek() == EOF;
}

// row, status, copies, plotted, device, inode, size, time, name, details
bool ParseRow(const std::vector<std::string>& f, const std::string& folder, CTaskRow& row)
{
    if (f.size() != 10 || f[0] != "row")
        return false;
    const CStatusCode* pCode = nullptr;
    for (const CStatusCode& c : kStatusCodes)
        if (f[1] == c.code)
            pCode = &c;
    int plotted = 0;
    std::string name;
    if (!pCode || !Number(f[2], row.m_nCopies) || row.m_nCopies < 1 || row.m_nCopies > 10 || !Number(f[3], plotted) ||
        !Number(f[4], row.m_Read.m_nDevice) || !Number(f[5], row.m_Read.m_nInode) || !Number(f[6], row.m_Read.m_nSize) ||
        !Number(f[7], row.m_Read.m_nMtimeNs) || !Unescape(f[8], name) || !Unescape(f[9], row.m_strDetails))
        return false;
    if (name.empty() || name.find('/') != std::string::npos)
        return false;
    row.m_eStatus = pCode->status;
    row.m_bPlotted = plotted != 0;
    row.m_strPath = folder + name;
    return true;
}

std::string StatePath(const std::string& folder)
{
    return folder + CQueueStateFile::kName;
}

std::error_code LastError()
{
    return std::error_code(errno ? errno : EIO, std::generic_category());
}

}  // namespace

std::string CQueueStateFile::Format(const std::string& folder, const std::vector<CTaskRow>& rows)
{
    std::ostringstream out;
    out << kHeader << "\n" << "folder\t" << Escape(folder) << "\n";
    for (const CTaskRow& row : rows) {
        if (row.m_strPath.compare(0, folder.size(), folder) != 0)
            continue;
        const std::string name = row.m_strPath.substr(folder.size());
        if (name.empty() || name.find('/') != std::string::npos)
            continue;
        const char* code = "held";
        for (const CStatusCode& c : kStatusCodes)
            if (c.status == row.m_eStatus)
                code = c.code;
        out << "row\t" << code << "\t" << row.m_nCopies << "\t" << (row.m_bPlotted ? 1 : 0) << "\t"
            << row.m_Read.m_nDevice << "\t" << row.m_Read.m_nInode << "\t" << row.m_Read.m_nSize << "\t"
            << row.m_Read.m_nMtimeNs << "\t" << Escape(name) << "\t" << Escape(row.m_strDetails) << "\n";
    }
    return out.str();
}

bool CQueueStateFile::Parse(const std::string& text, const std::string& folder, std::vector<CTaskRow>& rows,
                            std::string& error)
{
    rows.clear();
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line != kHeader) {
        error = "it is not a queue state file";
        return false;
    }
    std::string savedFolder;
    if (!std::getline(in, line) || line.rfind("folder\t", 0) != 0 || !Unescape(line.substr(7), savedFolder)) {
        error = "it is damaged";
        return false;
    }
    if (savedFolder != folder) {
        error = "it belongs to the folder " + savedFolder;
        return false;
    }
    for (int n = 3; std::getline(in, line); ++n) {
        CTaskRow row;
        if (!ParseRow(Fields(line), folder, row)) {
            rows.clear();
            error = "line " + std::to_string(n) + " is damaged";
            return false;
        }
        rows.push_back(std::move(row));
    }
    return true;
}

std::error_code CQueueStateFile::Write(const std::string& folder, const std::string& text)
{
    return WriteWhole(StatePath(folder), text);
}

std::error_code CQueueStateFile::WriteWhole(const std::string& path, const std::string& text)
{
    const std::string temp = path + ".tmp";
    errno = 0;
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f)
        return LastError();
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size() && std::fflush(f) == 0;
#ifndef _WIN32
    ok = ok && ::fsync(fileno(f)) == 0;
#endif
    std::error_code ec = ok ? std::error_code() : LastError();
    if (std::fclose(f) != 0 && !ec)
        ec = LastError();
    if (!ec && std::rename(temp.c_str(), path.c_str()) != 0)
        ec = LastError();
    if (ec)
        std::remove(temp.c_str());
    return ec;
}

std::error_code CQueueStateFile::Read(const std::string& folder, std::string& text)
{
    return ReadWhole(StatePath(folder), text);
}

std::error_code CQueueStateFile::ReadWhole(const std::string& path, std::string& text)
{
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return LastError();
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad())
        return LastError();
    text = content.str();
    return {};
}
