// The window bridge of the desktop program: the print worker's requests carried out on the GUI thread.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

#include <QObject>
#include <QPointer>
#include <QString>

#include "platform/windowbridge.h"

class CMainFrame;
class QWidget;

// Calls from the GUI thread run at once. Calls from another thread are posted to the GUI thread;
// the progress refresh and the message boxes wait for it, the repaints do not. Once exit has begun
// every call returns at once (a question is answered No), so the GUI thread may join the worker
// without either waiting on the other.
class CQtWindowBridge : public QObject, public CWindowBridge {
    Q_OBJECT
public:
    explicit CQtWindowBridge(QObject* parent = nullptr);
    ~CQtWindowBridge() override;

    void SetFrame(CMainFrame* pFrame);
    void BeginExit();
    bool Exiting() const;

    // Texts and captions of the core are shown in the operator's language (CCoreText); the window side
    // hands its own texts translated already, and they pass as they are.
    int MessageBox(const std::string& text, const std::string& caption, int buttons, int icon) override;
    void RefreshProgress() override;
    void RedrawStatusBar() override;
    void RepaintPreview() override;

    // The modal box itself, on the GUI thread.
    static int ShowBox(QWidget* pParent, const QString& text, const QString& caption, int buttons, int icon);

private:
    bool OnGuiThread() const;
    // Runs fn on the GUI thread and waits for its result; fallback when exit begins first.
    int RunAndWait(const std::function<int()>& fn, int fallback);
    void Post(const std::function<void()>& fn);

    QPointer<CMainFrame> m_pFrame;
    mutable std::mutex m_Lock;
    std::condition_variable m_Done;
    bool m_bExiting = false;
};
