// Console messages and questions for tessaline-cli.
#include "consolebridge.h"

#include <cerrno>
#include <cstdio>
#include <string>

#include "link/statustext.h"

#ifndef _WIN32
#include <poll.h>
#include <unistd.h>
#endif

int CConsoleBridge::MessageBox(const std::string& text, const std::string& caption, int buttons, int)
{
    std::fprintf(stderr, "tessaline-cli: [%s] %s\n", caption.c_str(), text.c_str());
    if (buttons != MB_YESNO)
        return IDOK;
    ++m_nQuestions;
    bool yes = m_Answer == Answer::Yes || (m_Answer == Answer::Ask && AskTerminal());
    std::fprintf(stderr, "tessaline-cli: answered %s\n", yes ? "yes" : "no");
    return yes ? IDYES : IDNO;
}

void CConsoleBridge::RefreshProgress()
{
    std::string percent = gStatusText.GetText(PanePercent);
    if (percent != m_strPercent)
        std::fprintf(stderr, "tessaline-cli: plotting %s\n", percent.c_str());
    m_strPercent = percent;
}

bool CConsoleBridge::AskTerminal()
{
#ifdef _WIN32
    return false;
#else
    if (!isatty(STDIN_FILENO))
        return false;
    std::fprintf(stderr, "tessaline-cli: continue? [y/N] ");
    std::fflush(stderr);
    std::string line;
    for (;;) {
        if (m_pInterrupted && m_pInterrupted->load())
            return false;
        pollfd in{STDIN_FILENO, POLLIN, 0};
        int ready = poll(&in, 1, 100);
        if (ready < 0 && errno != EINTR)
            return false;
        if (ready <= 0)
            continue;  // time-out or a signal: look at the flag again
        char c = 0;
        if (read(STDIN_FILENO, &c, 1) != 1)
            return false;
        if (c == '\n')
            break;
        line += c;
    }
    return !line.empty() && (line[0] == 'y' || line[0] == 'Y');
#endif
}
