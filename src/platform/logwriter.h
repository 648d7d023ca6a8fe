// The log file "logfile.txt": entries are written byte for byte, GBK for the Chinese lines.
#pragma once

#include <ctime>
#include <fstream>
#include <string>
#include <string_view>

// Not attached to a file until OpenLogFile succeeds.
extern std::ofstream g_logStream;

// Appends the bytes of an 8-bit text to the log (when open) and copies it to the trace sink.
// Adds nothing; callers end their lines with "\r\n". Safe from any thread. Each entry reaches the file
// when it is written, and the file is synced to the disk at most once a second, so the lines before a
// crash or a power cut are there to explain it.
void WriteLog(std::string_view text);

// WriteLog of a printf-style text; the format may hold GBK bytes (they never contain '%').
#if defined(__GNUC__)
#define TESSALINE_PRINTF_LIKE(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define TESSALINE_PRINTF_LIKE(fmt, args)
#endif
void WriteLogF(const char* format, ...) TESSALINE_PRINTF_LIKE(1, 2);

// Attaches g_logStream to path with truncation; false when it cannot be opened.
bool OpenLogFile(const std::string& path);
// Renames the log at path (when there is one) to its previous-run name, logfile.1.txt beside
// logfile.txt, replacing an older one: a restart after a crash must not erase the log that explains it.
// False, with the reason, when an existing log could not be kept.
bool KeepPreviousLog(const std::string& path, std::string* pError = nullptr);
// The name the previous run's log is kept under.
std::string PreviousLogPath(const std::string& path);
// Start-up: keeps the previous run's log, opens the log file at path (truncated) and writes the header
// with the current local time.
// When the file cannot be opened, shows the path and then "创建日志文件失败！"; false then, and later
// entries reach only the trace sink.
bool StartLogFile(const std::string& path);
// Flushes and detaches the log stream.
void CloseLogFile();
// The three header entries: an empty line, the title line, the start time line.
void WriteLogHeader(const std::tm& localTime);
// The local time now, as the log's lines give it.
std::tm LocalTimeNow();
// "%Y, %B %d, %H:%M:%S" in English month names, whatever the locale.
std::string FormatStartTime(const std::tm& localTime);

// Optional trace sink, a second copy of every entry for diagnostics and tests; none by default.
using TraceSink = void (*)(std::string_view);
void SetTraceSink(TraceSink sink);

// Converts a UTF-8 literal once, at its definition, to the GBK bytes the log carries.
#define GBK_LOG(name, utf8) static const std::string name = Utf8ToGbk(utf8)
