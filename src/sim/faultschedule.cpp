// Fault texts and the counting that makes every fault hit the same exchange on every run.
#include "sim/faultschedule.h"

#include <cctype>
#include <cstdlib>

namespace {

struct KindName {
    const char* name;
    FaultKind kind;
};

const KindName kKinds[] = {
    {"reject-cmd", FaultKind::RejectCommand}, {"reject-data", FaultKind::RejectData},
    {"no-reply", FaultKind::NoReply},         {"bad-dram", FaultKind::BadDram},
    {"link-lost", FaultKind::LinkLost},       {"out-of-order", FaultKind::OutOfOrder},
    {"no-print-end", FaultKind::NoPrintEnd},  {"pause", FaultKind::Pause},
    {"continue", FaultKind::Continue},        {"stop", FaultKind::Stop},
    {"unplug", FaultKind::Unplug},
};

// Which optional parts a kind takes; '@' is required for the segment faults.
struct Shape {
    bool at, atRequired, segment, count, duration, code;
    int64_t defaultMs;
    bool during = false;
};

Shape ShapeOf(FaultKind kind)
{
    switch (kind) {
    case FaultKind::RejectCommand:
    case FaultKind::NoReply: return {true, false, false, true, false, true, 0};
    case FaultKind::RejectData: return {true, false, false, true, false, false, 0};
    case FaultKind::BadDram: return {true, true, true, true, false, false, 0};
    case FaultKind::LinkLost: return {true, true, true, false, true, false, 2000};
    case FaultKind::Unplug: return {true, false, false, false, true, true, 2000};
    case FaultKind::Pause: return {true, true, true, false, true, false, 3000, true};
    case FaultKind::Continue:
    case FaultKind::Stop: return {true, true, true, false, false, false, 0, true};
    case FaultKind::OutOfOrder: return {true, true, true, false, false, false, 0};
    case FaultKind::NoPrintEnd: break;
    }
    return {false, false, false, false, false, false, 0};
}

bool ReadNumber(const std::string& s, size_t& i, long min, long max, int base, long* pValue)
{
    const char* begin = s.c_str() + i;
    char* end = nullptr;
    if (!std::isdigit(static_cast<unsigned char>(*begin)))
        return false;
    long v = std::strtol(begin, &end, base);
    if (v < min || v > max)
        return false;
    i += static_cast<size_t>(end - begin);
    *pValue = v;
    return true;
}

bool StartsWith(const std::string& s, size_t i, const char* word)
{
    return s.compare(i, std::char_traits<char>::length(word), word) == 0;
}

bool Fail(std::string* pError, const std::string& text, const char* why)
{
    if (pError)
        *pError = "bad fault '" + text + "': " + why;
    return false;
}

}  // namespace

const char* CFaultSchedule::Syntax()
{
    return "  reject-cmd[@N][xC][/CODE]  the N-th command write (counting from 1; only writes of command\n"
           "                             CODE when given) and the C-1 after it fail\n"
           "  reject-data[@N][xC]        the N-th data write and the C-1 after it fail\n"
           "  no-reply[@N][xC][/CODE]    the replies to the N-th command (of CODE) and the C-1 after it\n"
           "                             are lost\n"
           "  bad-dram@S[xC]             the first C transfers of segment S report a wrong DRAM checksum\n"
           "  link-lost@S[+MS]           the link drops at the first data write of segment S, for MS ms\n"
           "                             (default 2000); S 'start': before the first exchange\n"
           "  out-of-order@S             segment S is first requested under the number S+1\n"
           "  no-print-end               the print end is never answered\n"
           "  pause@S[+MS]               pause is pressed before segment S is requested, continue MS ms\n"
           "                             after it was acknowledged (default 3000)\n"
           "  continue@S                 continue is pressed before segment S is requested\n"
           "  stop@S                     stop is pressed before segment S is requested\n"
           "  pause@S[+MS]/during[+repeat], continue@S/during[+repeat], stop@S/during[+repeat]\n"
           "                             the key is pressed while segment S is transferred and announced as\n"
           "                             the reply to the next command other than the poll, once; with\n"
           "                             +repeat it is announced again at every poll until it is acknowledged\n"
           "                             (a continue that resumes nothing is announced once)\n"
           "  unplug@N[+MS][/CODE]       the link drops just after the N-th command write (of command CODE\n"
           "                             when given) was taken, so its reply is lost; back after MS ms\n"
           "                             (default 2000)\n"
           "  S is a segment number or 'bar' (the colour bar); MS may be 'never'; N and C count from 1.\n";
}

bool CFaultSchedule::Add(const std::string& text, std::string* pError)
{
    size_t i = 0;
    while (i < text.size() && (std::islower(static_cast<unsigned char>(text[i])) || text[i] == '-'))
        ++i;
    const std::string name = text.substr(0, i);
    const KindName* pKind = nullptr;
    for (const KindName& k : kKinds)
        if (name == k.name)
            pKind = &k;
    if (!pKind)
        return Fail(pError, text, "unknown kind");

    Fault f;
    f.kind = pKind->kind;
    const Shape shape = ShapeOf(f.kind);
    f.ms = shape.defaultMs;
    long v = 0;
    if (i < text.size() && text[i] == '@') {
        if (!shape.at)
            return Fail(pError, text, "takes no '@'");
        ++i;
        if (shape.segment && StartsWith(text, i, "bar") &&
            (f.kind == FaultKind::BadDram || f.kind == FaultKind::LinkLost)) {
            f.at = kColorBar;
            i += 3;
        } else if (f.kind == FaultKind::LinkLost && StartsWith(text, i, "start")) {
            f.at = kAtStart;
            i += 5;
        } else if (ReadNumber(text, i, shape.segment ? 0 : 1, 0xFFFF, 10, &v)) {
            f.at = static_cast<int>(v);
        } else {
            return Fail(pError, text, "bad number after '@'");
        }
    } else if (shape.atRequired) {
        return Fail(pError, text, "needs '@' and a segment");
    }
    if (i < text.size() && text[i] == 'x') {
        ++i;
        if (!shape.count || !ReadNumber(text, i, 1, 1000000, 10, &v))
            return Fail(pError, text, "bad count after 'x'");
        f.count = static_cast<int>(v);
    }
    if (i < text.size() && text[i] == '+') {
        ++i;
        if (!shape.duration)
            return Fail(pError, text, "takes no duration");
        if (StartsWith(text, i, "never")) {
            f.ms = kNever;
            i += 5;
        } else if (ReadNumber(text, i, 0, 100000000, 10, &v)) {
            f.ms = v;
        } else {
            return Fail(pError, text, "bad duration after '+'");
        }
    }
    if (i < text.size() && text[i] == '/') {
        ++i;
        if (shape.during && StartsWith(text, i, "during")) {
            f.during = true;
            i += 6;
            if (StartsWith(text, i, "+repeat")) {
                f.repeat = true;
                i += 7;
            }
        } else if (!shape.code || !ReadNumber(text, i, 0, 0xFF, 0, &v)) {
            return Fail(pError, text, shape.during ? "expected '/during'" : "bad command code after '/'");
        } else {
            f.code = static_cast<int>(v);
        }
    }
    if (i != text.size())
        return Fail(pError, text, "unexpected text at the end");
    m_Faults.push_back(f);
    return true;
}

bool CFaultSchedule::CountHit(FaultKind kind, int code)
{
    bool hit = false;
    for (Fault& f : m_Faults) {
        if (f.kind != kind || (f.code >= 0 && f.code != code))
            continue;
        ++f.seen;
        if (f.seen >= f.at && f.seen < f.at + f.count) {
            ++f.hits;
            hit = true;
        }
    }
    return hit;
}

bool CFaultSchedule::RejectCommand(int code)
{
    return CountHit(FaultKind::RejectCommand, code);
}

bool CFaultSchedule::RejectData()
{
    return CountHit(FaultKind::RejectData, -1);
}

bool CFaultSchedule::DropReply(int code)
{
    return CountHit(FaultKind::NoReply, code);
}

bool CFaultSchedule::BadDram(int segment)
{
    bool hit = false;
    for (Fault& f : m_Faults) {
        if (f.kind != FaultKind::BadDram || f.at != segment)
            continue;
        if (++f.seen <= f.count) {
            ++f.hits;
            hit = true;
        }
    }
    return hit;
}

bool CFaultSchedule::NoPrintEnd()
{
    bool hit = false;
    for (Fault& f : m_Faults)
        if (f.kind == FaultKind::NoPrintEnd) {
            ++f.hits;
            hit = true;
        }
    return hit;
}

bool CFaultSchedule::Unplug(int code, int64_t* pMs)
{
    for (Fault& f : m_Faults) {
        if (f.kind != FaultKind::Unplug || (f.code >= 0 && f.code != code))
            continue;
        if (++f.seen == f.at) {
            ++f.hits;
            *pMs = f.ms;
            return true;
        }
    }
    return false;
}

bool CFaultSchedule::TakeEvent(FaultKind kind, int segment, int64_t* pMs)
{
    for (Fault& f : m_Faults) {
        if (f.kind != kind || f.at != segment || f.fired)
            continue;
        f.fired = true;
        ++f.hits;
        if (pMs)
            *pMs = f.ms;
        return true;
    }
    return false;
}

std::vector<CFaultSchedule::Fault> CFaultSchedule::TakeSegmentEvents(int segment)
{
    std::vector<Fault> taken;
    for (Fault& f : m_Faults) {
        bool segmentEvent = f.kind == FaultKind::Pause || f.kind == FaultKind::Continue ||
                            f.kind == FaultKind::Stop || f.kind == FaultKind::OutOfOrder;
        if (segmentEvent && !f.during && f.at == segment && !f.fired) {
            f.fired = true;
            ++f.hits;
            taken.push_back(f);
        }
    }
    return taken;
}

bool CFaultSchedule::TakeDuringKey(int segment, Fault* pFault)
{
    for (Fault& f : m_Faults) {
        if (f.during && f.at == segment && !f.fired) {
            f.fired = true;
            ++f.hits;
            *pFault = f;
            return true;
        }
    }
    return false;
}
