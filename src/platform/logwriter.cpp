// Log writer: one lock per entry so entries of the two threads never interleave.
#include "platform/logwriter.h"

#include "platform/gbk.h"
#include "platform/windowbridge.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <vector>

std::ofstream g_logStream;

namespace {
std::mutex gLogLock;
std::atomic<TraceSink> gTraceSink{nullptr};
}

void SetTraceSink(TraceSink sink)
{
    gTraceSink = sink;
}

void WriteLog(std::string_view text)
{
    std::lock_guard<std::mutex> lock(gLogLock);
    if (TraceSink sink = gTraceSink.load())
        sink(text);
    if (g_logStream.is_open())
        g_logStream.write(text.data(), static_cast<std::streamsize>(text.size()));
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
    return g_logStream.is_open();
}

void CloseLogFile()
{
    std::lock_guard<std::mutex> lock(gLogLock);
    if (g_logStream.is_open())
        g_logStream.close();
    g_logStream.clear();
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
    bool opened = OpenLogFile(path);
    if (!opened) {
        ShowMessage(path);
        ShowMessage("创建日志文件失败！");
    }
    std::time_t now = std::time(nullptr);
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    WriteLogHeader(local);
    return opened;
}
