// The one way the core reaches the window side: message boxes, progress, status bar and preview repaints.
#pragma once

#include <string>

// Button sets, icons and answers, with the values the desktop framework uses.
enum MsgButtons { MB_OK = 0x0, MB_YESNO = 0x4 };
enum MsgIcon { MB_ICONNONE = 0x0, MB_ICONQUESTION = 0x20, MB_ICONEXCLAMATION = 0x30, MB_ICONINFORMATION = 0x40 };
enum MsgAnswer { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

extern const char* const kDefaultCaption;  // "Informação"

class CWindowBridge {
public:
    virtual ~CWindowBridge() = default;
    // Shows a modal message and returns the answer; may be called from any thread and blocks it
    // until answered. Texts are UTF-8.
    virtual int MessageBox(const std::string& text, const std::string& caption, int buttons, int icon) = 0;
    // Synchronous: returns once the progress bar shows the current job counters.
    virtual void RefreshProgress() = 0;
    // Asynchronous repaint requests.
    virtual void RedrawStatusBar() = 0;
    virtual void RepaintPreview() = 0;
};

// Answers OK to information and No to questions, shows nothing.
class CHeadlessBridge : public CWindowBridge {
public:
    int MessageBox(const std::string&, const std::string&, int buttons, int) override
    {
        return buttons == MB_YESNO ? IDNO : IDOK;
    }
    void RefreshProgress() override {}
    void RedrawStatusBar() override {}
    void RepaintPreview() override {}
};

CWindowBridge& GetWindowBridge();
// Installs a bridge (nullptr restores the headless one). The caller keeps ownership.
void SetWindowBridge(CWindowBridge* pBridge);

// Installs a bridge for the life of this object, then restores the headless one.
class CScopedWindowBridge {
public:
    explicit CScopedWindowBridge(CWindowBridge& bridge) { SetWindowBridge(&bridge); }
    ~CScopedWindowBridge() { SetWindowBridge(nullptr); }
    CScopedWindowBridge(const CScopedWindowBridge&) = delete;
    CScopedWindowBridge& operator=(const CScopedWindowBridge&) = delete;
};

// Message box with OK and the application caption, the common case of the core.
inline int ShowMessage(const std::string& text)
{
    return GetWindowBridge().MessageBox(text, kDefaultCaption, MB_OK, MB_ICONNONE);
}
