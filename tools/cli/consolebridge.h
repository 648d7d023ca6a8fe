// The window side of tessaline-cli: progress and messages on stderr, the checksum question answered from
// the command line or asked on the terminal.
#pragma once

#include <atomic>
#include <string>

#include "platform/windowbridge.h"

class CConsoleBridge : public CWindowBridge {
public:
    enum class Answer { Ask, Yes, No };

    // Ask: ask on the terminal when stdin is one, else answer No. The question ends (with No) when
    // *pInterrupted becomes true.
    CConsoleBridge(Answer answer, const std::atomic<bool>* pInterrupted) : m_Answer(answer), m_pInterrupted(pInterrupted) {}

    int MessageBox(const std::string& text, const std::string& caption, int buttons, int icon) override;
    // Prints the progress text whenever it changed.
    void RefreshProgress() override;
    void RedrawStatusBar() override {}
    void RepaintPreview() override {}

    int Questions() const { return m_nQuestions.load(); }

private:
    bool AskTerminal();

    Answer m_Answer;
    const std::atomic<bool>* m_pInterrupted;
    std::atomic<int> m_nQuestions{0};
    std::string m_strPercent;  // worker thread only
};
