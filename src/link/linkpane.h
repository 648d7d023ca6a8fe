// The link pane of the status bar ("Online" or "Offline"), decided once a second by the window side from
// the link watch, with the loss and the return of the link written to the log.
#pragma once

#include <ctime>
#include <string>

class CLinkPane {
public:
    // Puts "Online" or "Offline" into pane 3 of gStatusText and returns whether the link is up. A link lost
    // after it was up is logged as "Link: Offline at HH:MM:SS", its return after such a loss as
    // "Link: Online at HH:MM:SS" (local time); the link found at start-up is not logged.
    bool Update();

    // The log line of a change, for the given local time.
    static std::string LogLine(bool online, const std::tm& localTime);

private:
    enum class EShown { Nothing, Online, Offline };
    EShown m_eShown = EShown::Nothing;
    bool m_bLossLogged = false;
};
