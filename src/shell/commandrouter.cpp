// Command routing along the active pane, document, frame and application.
#include "shell/commandrouter.h"

bool CCommandRouter::IsHandled(int nId) const
{
    for (CCommandTarget* pTarget : m_Route)
        if (pTarget && pTarget->OnCommand(nId, false))
            return true;
    return false;
}

bool CCommandRouter::Execute(int nId) const
{
    for (CCommandTarget* pTarget : m_Route)
        if (pTarget && pTarget->OnCommand(nId, false))
            return pTarget->OnCommand(nId, true);
    return false;
}
