// Deterministic faults of the virtual plotter: which writes to reject, which replies to lose, and what the
// operator and the cable do at which segment.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class FaultKind {
    RejectCommand,  // a command write on pipe 1 fails
    RejectData,     // a data write on pipe 3 fails
    NoReply,        // the reply to a command is lost (first byte 0xFF)
    BadDram,        // the DRAM checksum reported for a segment is wrong
    LinkLost,       // the link drops and comes back later
    OutOfOrder,     // a segment is first requested under the next number
    NoPrintEnd,     // the print end is never answered
    Pause,          // the operator presses pause (and continue later)
    Continue,       // the operator presses continue
    Stop,           // the operator presses stop
    Unplug,         // the link drops just after a command was taken, and comes back later
};

class CFaultSchedule {
public:
    static constexpr int kColorBar = -1;     // "bar": the colour-bar segment
    static constexpr int kAtStart = -2;      // "start": before the first exchange
    static constexpr int64_t kNever = -1;    // "+never": no return, no continue

    struct Fault {
        FaultKind kind = FaultKind::RejectCommand;
        int at = 1;         // n-th write or reply (from 1), or the segment
        int count = 1;      // consecutive occurrences
        int code = -1;      // command code the count is restricted to; -1 for every code
        int64_t ms = 0;     // link-lost, unplug: downtime; pause: time until continue; kNever for ever
        bool during = false; // pause, continue, stop: pressed while segment `at` is transferred, and announced
                             // as the reply to a command other than the poll
        bool repeat = false; // a key pressed during a transfer is announced again at every poll until acknowledged
        int seen = 0;       // occurrences counted so far
        bool fired = false; // one-shot faults
        int hits = 0;       // times the fault was injected
    };

    // Parses one fault and adds it; false with a reason when the text is not a fault.
    bool Add(const std::string& text, std::string* pError = nullptr);
    // The accepted forms, one per line, for help texts.
    static const char* Syntax();
    bool Empty() const { return m_Faults.empty(); }

    // Each query counts one occurrence and says whether it is faulty.
    bool RejectCommand(int code);
    bool RejectData();
    bool DropReply(int code);
    // One checksum report of a transfer of segment (kColorBar for the colour bar).
    bool BadDram(int segment);
    bool NoPrintEnd();
    // One command taken: whether the link drops now; *pMs receives the downtime.
    bool Unplug(int code, int64_t* pMs);

    // One-shot events tied to a segment (the moment the plotter is about to request it, or for LinkLost
    // its first data write); *pMs receives the fault's duration. kAtStart selects the link-lost at start.
    bool TakeEvent(FaultKind kind, int segment, int64_t* pMs = nullptr);

    // Takes every not yet fired pause, continue, stop and out-of-order fault of the segment, in the order
    // they were added; keys pressed during a transfer are not among them.
    std::vector<Fault> TakeSegmentEvents(int segment);
    // Takes the first not yet fired key pressed during the transfer of the segment.
    bool TakeDuringKey(int segment, Fault* pFault);

    const std::vector<Fault>& Faults() const { return m_Faults; }

private:
    bool CountHit(FaultKind kind, int code);

    std::vector<Fault> m_Faults;
};
