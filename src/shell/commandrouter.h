// Command routing: the active pane, then the document, the frame and the application are asked in
// turn; the first that takes a command carries it out, and a command nobody takes is disabled.
#pragma once

#include <vector>

class CCommandTarget {
public:
    virtual ~CCommandTarget() = default;
    // Whether this target handles nId; with bExecute it also carries it out.
    virtual bool OnCommand(int nId, bool bExecute) = 0;
};

class CCommandRouter {
public:
    // The route in asking order; null entries (a link without handlers) are skipped.
    void SetRoute(std::vector<CCommandTarget*> route) { m_Route = std::move(route); }
    bool IsHandled(int nId) const;
    // False when no target on the route takes the command.
    bool Execute(int nId) const;

private:
    std::vector<CCommandTarget*> m_Route;
};
