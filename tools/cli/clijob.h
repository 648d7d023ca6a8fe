// What the job commands of tessaline-cli share: the virtual clock of --fast, settings from --config,
// and the names of the job slots.
#pragma once

#include <chrono>
#include <string>

#include "document/marquelldoc.h"
#include "platform/clock.h"

class CCliArgs;
class CFolderLock;

// With --fast every wait runs on virtual time for the life of this object; otherwise the real clock.
class CCliClock {
public:
    explicit CCliClock(bool fast);
    ~CCliClock();
    CCliClock(const CCliClock&) = delete;
    CCliClock& operator=(const CCliClock&) = delete;

private:
    CVirtualClock m_clock;
    bool m_bFast;
};

// Decides the program's paths (SetAppPaths) before a document is made: with --config INI (or
// TESSALINE_CONFIG) the settings come from that file and the log, the default task folder and the
// pages lie beside it; else the portable or the per-user layout. False, after a message on stderr,
// when the file named cannot be read.
bool ApplyConfigOption(const CCliArgs& args);

// The per-user layout's first start: the folders of the layout, and a config.ini with the defaults
// for the user to edit (said on stderr). Any layout: the folders of config.ini and the log.
void FirstStart(CMarquellDoc& doc);
// After the log header, on a first start: where everything is.
void LogFirstStart(const CMarquellDoc& doc);

// The check for a second program: the lock beside the log. False, after saying on stderr which
// program writes that log, when another one holds it.
bool LockLog(CFolderLock& lock, const std::string& logPath);
// Opens the log (truncated) and writes its header; a log that cannot be created is said on stderr.
void OpenLog(const std::string& path);
// Stops the worker; a worker that does not end within the bound ends the program.
void StopWorkerWithin(std::chrono::milliseconds bound);

// Reads file into slot as a job start does; false, after saying why on stderr in the words the task list
// uses ("'cut.plt': the file was not found"), when it cannot be read.
bool PrepareFile(CMarquellDoc& doc, JobSlot slot, const std::string& file);

// "print", "preview" or "print-preview".
bool ParseSlot(const std::string& name, JobSlot& slot);
