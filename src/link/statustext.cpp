// The status texts with their start-up values.
#include "link/statustext.h"

CStatusText gStatusText;

void CStatusText::Reset()
{
    std::lock_guard<std::mutex> lock(m_Lock);
    m_strPercent = "0%";
    m_strLink = "Offline";
    m_strTask = "Waiting";
    m_strFile = "===================";
    m_strMachine = "Stopped";
}

std::string* CStatusText::Field(int pane)
{
    switch (pane) {
    case 2: return &m_strPercent;
    case 3: return &m_strLink;
    case 4: return &m_strTask;
    case 5: return &m_strFile;
    case 6: return &m_strMachine;
    default: return nullptr;
    }
}

void CStatusText::SetText(int pane, const std::string& text)
{
    std::string* pField = Field(pane);
    if (!pField)
        return;
    std::lock_guard<std::mutex> lock(m_Lock);
    *pField = text;
}

std::string CStatusText::GetText(int pane) const
{
    const std::string* pField = const_cast<CStatusText*>(this)->Field(pane);
    if (!pField)
        return std::string();
    std::lock_guard<std::mutex> lock(m_Lock);
    return *pField;
}
