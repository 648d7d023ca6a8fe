// Log writer: one lock per entry so entries of the two threads never interleave.
#include "platform/logwriter.h"

#include "platform/gbk.h"
#include "platform/windowbridge.h"

#include <atomic>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <vector>

#if !defined(_WIN32)
#include <fcntl.h>
#include <unistd.h>
#endif

std::ofstream g_logStream;

namespace {
std::mutex gLogLock;
std::atomic<TraceSink> gTraceSink{nullptr};

// A second descriptor of the log file, only to sync it: a sync of one descriptor writes out the file's
// data whichever descriptor wrote it. Guarded by gLogLock.
int gSyncFd = -1;
std::chrono::steady_clock::time_point gLastSync;

void OpenSync(const std::string& path)
{
#if !defined(_WIN32)
    gSyncFd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    gLastSync = std::chrono::steady_clock::now();
#else
    (void)path;
#endif
}

void CloseSync()
{
#if !defined(_WIN32)
    if (gSyncFd >= 0)
        ::close(gSyncFd);
#endif
    gSyncFd = -1;
}

void SyncNowAndThen()
{
#if !defined(_WIN32)
    const auto now = std::chrono::steady_clock::now();
    if (gSyncFd < 0 || now - gLastSync < std::chrono::seconds(1))
        return;
    ::fdatasync(gSyncFd);
    gLastSync = now;
#endif
}

}  // namespace

void SetTraceSink(TraceSink sink)
{
    gTraceSink = sink;
}

void WriteLog(std::string_view text)
{
    std::lock_guard<std::mutex> lock(gLogLock);
    if (TraceSink sink = gTraceSink.load())
        sink(text);
    if (g_logStream.is_open()) {
        g_logStream.write(text.data(), static_cast<std::streamsize>(text.size()));
        g_logStream.flush();
        SyncNowAndThen();
    }
}

void WriteLogF(const char* format, ...)
{
    char buf[512];
    va_list args;
    va_start(args, format);
    int n = vsnprintf(buf, sizeof(buf), format, args);
    va_end(args);
    if (n < 0)
        return;
    if (static_cast<size_t>(n) < sizeof(buf)) {
        WriteLog(std::string_view(buf, static_cast<size_t>(n)));
        return;
    }
    std::vector<char> big(static_cast<size_t>(n) + 1);
    va_start(args, format);
    vsnprintf(big.data(), big.size(), format, args);
    va_end(args);
    WriteLog(std::string_view(big.data(), static_cast<size_t>(n)));
}

bool OpenLogFile(const std::string& path)
{
    std::lock_guard<std::mutex> lock(gLogLock);
    if (g_logStream.is_open())
        g_logStream.close();
    g_logStream.clear();
    g_logStream.open(path, std::ios::out | std::ios::trunc | std::ios::binary);
    CloseSync();
    if (g_logStream.is_open())
        OpenSync(path);
    return g_logStream.is_open();
}

std::string PreviousLogPath(const std::string& path)
{
    std::filesystem::path p(path);
    return (p.parent_path() / (p.stem().string() + ".1" + p.extension().string())).string();
}

bool KeepPreviousLog(const std::string& path, std::string* pError)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return true;
    std::filesystem::rename(path, PreviousLogPath(path), ec);
    if (ec && pError)
        *pError = ec.message();
    return !ec;
}

void CloseLogFile()
{
    std::lock_guard<std::mutex> lock(gLogLock);
    if (g_logStream.is_open())
        g_logStream.close();
    g_logStream.clear();
#if !defined(_WIN32)
    if (gSyncFd >= 0)
        ::fdatasync(gSyncFd);
#endif
    CloseSync();
}

std::string FormatStartTime(const std::tm& t)
{
    static const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                          "July",    "August",   "September", "October", "November", "December"};
    char buf[64];
    int month = (t.tm_mon >= 0 && t.tm_mon < 12) ? t.tm_mon : 0;
    snprintf(buf, sizeof(buf), "%04d, %s %02d, %02d:%02d:%02d", t.tm_year + 1900, kMonths[month], t.tm_mday,
             t.tm_hour, t.tm_min, t.tm_sec);
    return buf;
}

void WriteLogHeader(const std::tm& localTime)
{
    GBK_LOG(kTitle, "Kestrova打印控制中心日志!\r\n");
    GBK_LOG(kStart, "记录开始时间: ");
    WriteLog("\r\n");
    WriteLog(kTitle);
    WriteLog(kStart + FormatStartTime(localTime) + "\r\n");
}

bool StartLogFile(const std::string& path)
{
    KeepPreviousLog(path);
    bool opened = OpenLogFile(path);
    if (!opened) {
        ShowMessage(path);
        ShowMessage("创建日志文件失败！");
    }
    WriteLogHeader(LocalTimeNow());
    return opened;
}

std::tm LocalTimeNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return local;
}
