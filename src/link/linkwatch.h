// What the plotter link has shown lately: each exchange reports whether the plotter answered; from that the
// window side learns once a second whether the link is up, and the worker learns in its waits whether an
// aborted job must give up on a plotter that does not answer.
#pragma once

#include <atomic>
#include <cstdint>

class CLinkWatch {
public:
    // The plotter counts as lost after this long without an answer while the worker kept asking.
    static constexpr int64_t kOfflineAfterMs = 2000;
    // An aborted job stops waiting for a plotter that has not answered for this long.
    static constexpr int64_t kGiveUpAfterMs = 1000;

    CLinkWatch() = default;
    CLinkWatch(const CLinkWatch&) = delete;
    CLinkWatch& operator=(const CLinkWatch&) = delete;

    // Back to the start-up state: nothing seen yet.
    void Reset();

    // Evidence, from the worker's exchanges. Answered: a reply was read, a data packet was taken, or a
    // link check found the plotter. Unanswered: a write was refused, a read found no reply, or a link check
    // found nothing. A command write that is taken proves nothing: the reply has to follow.
    void Answered();
    void Unanswered();

    // The operator's abort of the job in hand (window thread). A new job (RequestPrint) forgets it.
    void Aborted();
    void NewJob();
    // True once the job in hand was aborted and the plotter has not answered for kGiveUpAfterMs; then it stays
    // true, the link is known down (m_bConnected cleared) until the plotter answers again, and every wait of
    // the job ends. Worker thread.
    bool GivenUp();
    // The given-up job was handed back to the task list: its waits are over, the link stays known down.
    void JobHandedBack();

    // A job gave up on the link and the plotter has not answered since: no job may start.
    bool KnownDown() const { return m_bKnownDown.load(); }
    // The link as the status bar shows it: checked up (m_bConnected) and not silent for kOfflineAfterMs.
    bool Online() const;

private:
    bool SilentFor(int64_t ms) const;

    static constexpr int64_t kNever = INT64_MIN;
    std::atomic<int64_t> m_nSilentSince{kNever};  // first unanswered exchange since the last answer
    std::atomic<int64_t> m_nAbortAt{kNever};
    std::atomic<bool> m_bGivenUp{false};
    std::atomic<bool> m_bKnownDown{false};
};

extern CLinkWatch gLinkWatch;

// True when every wait of the link and the worker must end: the program is closing, or the job in hand was
// aborted while its plotter cannot be reached.
bool StopWaiting();

// The shared records of the print path as a fresh process has them: worker flags, printer status, status
// texts and the link watch. For a program about to run a job, and for a dry run before and after its own.
void ResetPrintPath();
