// Log writer: one lock per entry so entries of the two threads never interleave.
#include "platform/logwriter.h"

#include "platform/gbk.h"

#include <atomic>
#include <mutex>

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
