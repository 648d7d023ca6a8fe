// Worker flags with their start-up values.
#include "link/workerflags.h"

std::atomic<bool> gExitWorker{false};
std::atomic<bool> gProbeRequest{false};
std::atomic<bool> gEndOfJob{false};
std::atomic<bool> gStopRequest{false};
std::atomic<bool> gJobActive{false};
std::atomic<bool> gColorBarPending{true};
std::atomic<bool> gJobPrinted{false};

void ResetWorkerFlags()
{
    gExitWorker = false;
    gProbeRequest = false;
    gEndOfJob = false;
    gStopRequest = false;
    gJobActive = false;
    gColorBarPending = true;
    gJobPrinted = false;
}
