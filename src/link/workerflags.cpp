// Worker flags with their start-up values.
#include "link/workerflags.h"

std::atomic<bool> gExitWorker{false};
std::atomic<bool> gProbeRequest{false};
std::atomic<bool> gEndOfJob{false};
std::atomic<bool> gStopRequest{false};
std::atomic<bool> gJobActive{false};
std::atomic<bool> gColorBarPending{true};
std::atomic<EJobOutcome> gJobOutcome{EJobOutcome::None};

void ResetWorkerFlags()
{
    gExitWorker = false;
    gProbeRequest = false;
    gEndOfJob = false;
    gStopRequest = false;
    gJobActive = false;
    gColorBarPending = true;
    gJobOutcome = EJobOutcome::None;
}

void RecordJobOutcome(EJobOutcome outcome)
{
    EJobOutcome none = EJobOutcome::None;
    gJobOutcome.compare_exchange_strong(none, outcome);
}
