// What the job commands of tessaline-cli share: --fast, --config and the slot names.
#include "clijob.h"

#include <cstdio>
#include <fstream>

#include "cliargs.h"

CCliClock::CCliClock(bool fast) : m_bFast(fast)
{
    if (m_bFast)
        SetClock(&m_clock);
}

CCliClock::~CCliClock()
{
    if (m_bFast)
        SetClock(nullptr);
}

bool ApplyConfigOption(CMarquellDoc& doc, const CCliArgs& args)
{
    if (!args.Has("--config"))
        return true;
    std::string path = args.Value("--config");
    if (!std::ifstream(path).is_open()) {
        std::fprintf(stderr, "tessaline-cli: cannot read settings file '%s'\n", path.c_str());
        return false;
    }
    doc.m_strConfigPath = path;
    doc.LoadConfig();
    return true;
}

bool PrepareFile(CMarquellDoc& doc, JobSlot slot, const std::string& file)
{
    doc.m_strSlotPath[slot] = file;
    if (doc.PrepareJob(slot))
        return true;
    std::fprintf(stderr, "tessaline-cli: '%s': %s\n", file.c_str(), doc.m_PltData[slot].LastErrorText().c_str());
    return false;
}

bool ParseSlot(const std::string& name, JobSlot& slot)
{
    if (name == "print")
        slot = SlotPrint;
    else if (name == "preview")
        slot = SlotPreview;
    else if (name == "print-preview")
        slot = SlotPrintPreview;
    else
        return false;
    return true;
}
