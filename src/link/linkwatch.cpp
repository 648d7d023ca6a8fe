// The link watch: answers and silences of the plotter, the link pane's decision and the give-up of an
// aborted job.
#include "link/linkwatch.h"

#include "link/printerstatus.h"
#include "link/statustext.h"
#include "link/workerflags.h"
#include "platform/clock.h"

CLinkWatch gLinkWatch;

void CLinkWatch::Reset()
{
    m_nSilentSince = kNever;
    m_nAbortAt = kNever;
    m_bGivenUp = false;
    m_bKnownDown = false;
}

void CLinkWatch::Answered()
{
    m_nSilentSince = kNever;
    m_bKnownDown = false;
}

void CLinkWatch::Unanswered()
{
    int64_t never = kNever;
    m_nSilentSince.compare_exchange_strong(never, GetClock().Now());
}

void CLinkWatch::Aborted()
{
    m_nAbortAt = GetClock().Now();
}

void CLinkWatch::NewJob()
{
    m_nAbortAt = kNever;
    m_bGivenUp = false;
}

bool CLinkWatch::SilentFor(int64_t ms) const
{
    const int64_t since = m_nSilentSince;
    return since != kNever && GetClock().Now() - since >= ms;
}

bool CLinkWatch::GivenUp()
{
    if (m_bGivenUp)
        return true;
    if (m_nAbortAt == kNever || !gPrinterStatus.HasPrintTask() || !SilentFor(kGiveUpAfterMs))
        return false;
    m_bKnownDown = true;
    gPrinterStatus.m_bConnected = false;
    m_bGivenUp = true;
    return true;
}

void CLinkWatch::JobHandedBack()
{
    m_nAbortAt = kNever;
    m_bGivenUp = false;
}

bool CLinkWatch::Online() const
{
    return gPrinterStatus.m_bConnected && !SilentFor(kOfflineAfterMs);
}

bool StopWaiting()
{
    return gExitWorker || gLinkWatch.GivenUp();
}

void ResetPrintPath()
{
    ResetWorkerFlags();
    gPrinterStatus.Reset();
    gStatusText.Reset();
    gLinkWatch.Reset();
}
