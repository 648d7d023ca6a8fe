// Flags shared by the window thread and the print worker; each is one atomic value.
#pragma once

#include <atomic>

extern std::atomic<bool> gExitWorker;
extern std::atomic<bool> gProbeRequest;
extern std::atomic<bool> gEndOfJob;
extern std::atomic<bool> gStopRequest;
extern std::atomic<bool> gJobActive;
extern std::atomic<bool> gColorBarPending;
// The current job's last section has been verified (or it has nothing to print): only such a job
// counts as a printed copy. Cleared when a job is handed to the worker.
extern std::atomic<bool> gJobPrinted;

// Back to the start-up values (tests start from a fresh state).
void ResetWorkerFlags();
