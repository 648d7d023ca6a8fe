// What the job commands of tessaline-cli share: the virtual clock of --fast, settings from --config,
// and the names of the job slots.
#pragma once

#include <string>

#include "document/marquelldoc.h"
#include "platform/clock.h"

class CCliArgs;

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

// With --config INI the document reads its settings from that file instead of the config.ini next
// to the program. False, after a message on stderr, when the file cannot be read.
bool ApplyConfigOption(CMarquellDoc& doc, const CCliArgs& args);

// Reads file into slot as a job start does; false, after saying why on stderr in the words the task list
// uses ("'cut.plt': the file was not found"), when it cannot be read.
bool PrepareFile(CMarquellDoc& doc, JobSlot slot, const std::string& file);

// "print", "preview" or "print-preview".
bool ParseSlot(const std::string& name, JobSlot& slot);
