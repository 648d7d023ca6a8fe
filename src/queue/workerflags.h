// Flags shared by the window thread and the print worker; each is one atomic value.
#pragma once

#include <atomic>

extern std::atomic<bool> gExitWorker;
extern std::atomic<bool> gProbeRequest;
extern std::atomic<bool> gEndOfJob;
extern std::atomic<bool> gStopRequest;
extern std::atomic<bool> gJobActive;
extern std::atomic<bool> gColorBarPending;

// Back to the start-up values (tests start from a fresh state).
void ResetWorkerFlags();
