// The dry run of a print job on virtual time.
#include "app/dryrun.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "document/marquelldoc.h"
#include "link/linkwatch.h"
#include "link/printerstatus.h"
#include "link/usbbulk.h"
#include "link/workerflags.h"
#include "platform/clock.h"
#include "platform/usbadapter.h"
#include "platform/windowbridge.h"
#include "queue/printworker.h"
#include "sim/virtualplotter.h"

namespace {

// A bound against a job that would take too long to run even on virtual time: it is given up.
constexpr auto kRealTimeBound = std::chrono::seconds(120);

class CJobEnd : public CJobFinishedSink {
public:
    void JobFinished(EJobOutcome outcome) override
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        m_nEndMs = GetClock().Now();
        m_bWhole = outcome == EJobOutcome::PrintedWhole;
        m_bDone = true;
        m_Cv.notify_all();
    }
    bool Wait()
    {
        std::unique_lock<std::mutex> lock(m_Lock);
        return m_Cv.wait_for(lock, kRealTimeBound, [&] { return m_bDone; });
    }

    std::mutex m_Lock;
    std::condition_variable m_Cv;
    bool m_bDone = false;
    bool m_bWhole = false;
    int64_t m_nEndMs = 0;
};

}  // namespace

DryRunResult CDryRun::Run(CMarquellDoc& doc)
{
    CVirtualClock clock;
    CHeadlessBridge bridge;
    CJobEnd end;
    CVirtualPlotter plotter(doc.m_UserDefine);
    plotter.SetDryRun(true);

    CClock* pClockBefore = &GetClock();
    CWindowBridge* pBridgeBefore = &GetWindowBridge();
    CUsbAdapter* pAdapterBefore = GetUsbAdapter();
    ResetPrintPath();
    SetClock(&clock);
    SetWindowBridge(&bridge);
    SetUsbAdapter(&plotter);
    SetJobFinishedSink(&end);
    CMarquellDoc* pDocBefore = gpDoc;
    gpDoc = &doc;
    doc.m_bDryRun = true;
    doc.m_Layout[SlotPrint].m_nSectionCursor = 0;  // as a job start leaves it, for a second run too

    // The job start of the task list, with the link check of its first timer tick.
    gProbeRequest = true;
    gPrinterStatus.m_bPrinting = true;
    gPrinterStatus.RequestPrint();
    const int64_t start = clock.Now();
    DryRunResult result;
    if (StartPrintWorker()) {
        const bool ended = end.Wait();
        StopPrintWorker();
        std::lock_guard<std::mutex> lock(end.m_Lock);
        result.m_bFinished = ended && end.m_bWhole;
        result.m_nMs = end.m_bDone ? end.m_nEndMs - start : 0;
        result.m_nSegments = plotter.SegmentsPrinted();
    }

    doc.m_bDryRun = false;
    gpDoc = pDocBefore;
    SetJobFinishedSink(nullptr);
    SetSegmentProducer(nullptr);
    SetUsbAdapter(pAdapterBefore);
    SetWindowBridge(pBridgeBefore);
    SetClock(pClockBefore);
    ResetPrintPath();
    return result;
}
