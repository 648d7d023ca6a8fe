// Flags shared by the window thread and the print worker; each is one atomic value.
#pragma once

#include <atomic>

extern std::atomic<bool> gExitWorker;
extern std::atomic<bool> gProbeRequest;
extern std::atomic<bool> gEndOfJob;
extern std::atomic<bool> gStopRequest;
extern std::atomic<bool> gJobActive;
extern std::atomic<bool> gColorBarPending;

// How the current job ends, recorded by whoever ends it; the first record stands, so an abort that comes
// after the last segment was verified does not unprint the copy. None again when a job is handed over.
enum class EJobOutcome : uint8_t {
    None,               // still printing, or ended without a recorded reason
    PrintedWhole,       // its own last section was verified
    Aborted,            // the operator's abort
    StoppedAtPlotter,   // the plotter's stop key
    RefusedAtChecksum,  // the operator's No at the checksum question
    LinkLost,           // the plotter could not be reached
    NotStarted,         // the job could not be prepared
    NoDrawing,          // its file gives nothing to print: nothing was sent
};
extern std::atomic<EJobOutcome> gJobOutcome;
// Records how the current job ends, unless that is recorded already.
void RecordJobOutcome(EJobOutcome outcome);

// Back to the start-up values (tests start from a fresh state).
void ResetWorkerFlags();
