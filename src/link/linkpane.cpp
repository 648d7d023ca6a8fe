// The link pane's text and the log lines of the link's loss and return.
#include "link/linkpane.h"

#include <cstdio>

#include "link/linkwatch.h"
#include "link/statustext.h"
#include "platform/logwriter.h"

std::string CLinkPane::LogLine(bool online, const std::tm& t)
{
    char line[48];
    std::snprintf(line, sizeof line, "Link: %s at %02d:%02d:%02d\r\n", online ? "Online" : "Offline", t.tm_hour,
                  t.tm_min, t.tm_sec);
    return line;
}

bool CLinkPane::Update()
{
    const bool online = gLinkWatch.Online();
    gStatusText.SetText(PaneLink, online ? "Online" : "Offline");
    const EShown now = online ? EShown::Online : EShown::Offline;
    if (now == m_eShown)
        return online;
    if (!online && m_eShown == EShown::Online) {
        WriteLog(LogLine(false, LocalTimeNow()));
        m_bLossLogged = true;
    } else if (online && m_bLossLogged) {
        WriteLog(LogLine(true, LocalTimeNow()));
        m_bLossLogged = false;
    }
    m_eShown = now;
    return online;
}
