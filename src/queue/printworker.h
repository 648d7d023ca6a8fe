// The print worker: waits for the link and a job, downloads the job's parameters and serves the
// controller's requests until the job ends, then hands the job back to the task list.
#pragma once

#include <cstdint>
#include <vector>

#include "link/workerflags.h"

class CMarquellDoc;

// Receives the end of each job on the worker thread, with how it ended (the task list counts copies down,
// retires the job or holds it).
class CJobFinishedSink {
public:
    virtual ~CJobFinishedSink() = default;
    virtual void JobFinished(EJobOutcome outcome) = 0;
};
// nullptr: nobody is told.
void SetJobFinishedSink(CJobFinishedSink* pSink);

// The thread procedure: cycles until gExitWorker; returns 0.
int PrintThreadProc();
// The print loop of one job.
void CheckPrintTaskAndProc();

// The handlers of the print loop; the loop ends after ProcFilePrintEnd.
void ProcDataSendStart();
void ProcDataSendEnd();
void ProcMCUPause();
void ProcMCUContinue();
void ProcFilePrintEnd();
void SendPrintEnd();
// The segment producer the worker installs in the link: builds the segment at the section cursor after a
// 20 ms pause; false (PrintEnd set) when the job is done.
bool PrepareNextSegment();
// The print loop's job-done test: the document's, or the controller's stop request, which a done answer
// consumes.
bool IsJobDone();
// Builds the four-pass colour bar once per print loop.
void MakeColorBarData();
// Its packed data words (empty before the print buffers of a job exist).
const std::vector<uint16_t>& ColorBarWords();

// The document's poll between passes, with a 30 ms reply time-out.
void WirePoll(CMarquellDoc& doc);

// Wires gpDoc's poll and starts PrintThreadProc on its own thread; false when it already runs.
bool StartPrintWorker();
// Sets gExitWorker and joins the worker; every wait of the worker ends on that flag.
void StopPrintWorker();
bool IsPrintWorkerRunning();
