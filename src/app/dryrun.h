// A dry run of a print job: the real print worker against the virtual plotter on virtual time, for the
// protocol's own time of the job on the configured settings.
#pragma once

#include <cstdint>

class CMarquellDoc;

struct DryRunResult {
    bool m_bFinished = false;  // the job ran to its end, every segment confirmed
    int64_t m_nMs = 0;         // virtual milliseconds from the worker's start to the job's end
    int m_nSegments = 0;       // segments the plotter confirmed, the colour bar not counted
};

class CDryRun {
public:
    // The print slot of doc must be prepared as a job start does (PrepareJob, AllocPrintBuffers succeeded).
    // The job's segments after the colour bar go out blank (the document's dry run), and the plotter only
    // verifies them, so a 20 m marker takes a fraction of a second.
    // The run uses the print path's process-wide state (the worker and its flags, the printer status, the
    // adapter, the window bridge, the clock, gpDoc): never while a job prints in this process, and with no
    // log open that its protocol lines must not reach. Afterwards the flags and records are back at their
    // start-up state and the clock, the bridge and the adapter are the ones installed before.
    static DryRunResult Run(CMarquellDoc& doc);
};
