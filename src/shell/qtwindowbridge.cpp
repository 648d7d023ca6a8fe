// The window bridge of the desktop program.
#include "shell/qtwindowbridge.h"

#include <memory>

#include <QApplication>
#include <QMessageBox>
#include <QThread>

#include "shell/coretext.h"
#include "shell/mainfrm.h"

CQtWindowBridge::CQtWindowBridge(QObject* parent) : QObject(parent) {}

CQtWindowBridge::~CQtWindowBridge()
{
    BeginExit();
}

void CQtWindowBridge::SetFrame(CMainFrame* pFrame)
{
    m_pFrame = pFrame;
}

void CQtWindowBridge::BeginExit()
{
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        m_bExiting = true;
    }
    m_Done.notify_all();
}

bool CQtWindowBridge::Exiting() const
{
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_bExiting;
}

bool CQtWindowBridge::OnGuiThread() const
{
    return QThread::currentThread() == thread();
}

int CQtWindowBridge::RunAndWait(const std::function<int()>& fn, int fallback)
{
    if (OnGuiThread())
        return fn();
    // The outcome lives apart from this frame: a waiter released by exit leaves before fn returns.
    struct Outcome {
        bool bDone = false;
        int nResult = 0;
    };
    auto outcome = std::make_shared<Outcome>();
    outcome->nResult = fallback;
    QMetaObject::invokeMethod(
        this,
        [this, fn, outcome] {
            int result = outcome->nResult;
            if (!Exiting())
                result = fn();
            {
                std::lock_guard<std::mutex> lock(m_Lock);
                outcome->bDone = true;
                outcome->nResult = result;
            }
            m_Done.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock<std::mutex> lock(m_Lock);
    m_Done.wait(lock, [&] { return outcome->bDone || m_bExiting; });
    return outcome->bDone ? outcome->nResult : fallback;
}

void CQtWindowBridge::Post(const std::function<void()>& fn)
{
    if (Exiting())
        return;
    QMetaObject::invokeMethod(
        this,
        [this, fn] {
            if (!Exiting())
                fn();
        },
        Qt::QueuedConnection);
}

int CQtWindowBridge::MessageBox(const std::string& text, const std::string& caption, int buttons, int icon)
{
    const int fallback = buttons == MB_YESNO ? IDNO : IDOK;
    if (Exiting())
        return fallback;
    return RunAndWait(
        [this, text, caption, buttons, icon] {
            return ShowBox(m_pFrame, CCoreText::Message(text), CCoreText::Message(caption), buttons, icon);
        },
        fallback);
}

void CQtWindowBridge::RefreshProgress()
{
    if (Exiting())
        return;
    RunAndWait(
        [this] {
            if (m_pFrame)
                m_pFrame->RefreshProgress();
            return 0;
        },
        0);
}

void CQtWindowBridge::RedrawStatusBar()
{
    Post([this] {
        if (m_pFrame)
            m_pFrame->RedrawStatusBar();
    });
}

void CQtWindowBridge::RepaintPreview()
{
    Post([this] {
        if (m_pFrame)
            m_pFrame->RepaintPreview();
    });
}

int CQtWindowBridge::ShowBox(QWidget* pParent, const QString& text, const QString& caption, int buttons, int icon)
{
    QMessageBox::Icon qIcon = QMessageBox::NoIcon;
    switch (icon) {
    case MB_ICONQUESTION: qIcon = QMessageBox::Question; break;
    case MB_ICONEXCLAMATION: qIcon = QMessageBox::Warning; break;
    case MB_ICONINFORMATION: qIcon = QMessageBox::Information; break;
    default: break;
    }
    const bool yesNo = buttons == MB_YESNO;
    QMessageBox box(qIcon, caption, text,
                    yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, pParent);
    box.setTextFormat(Qt::PlainText);
    const int result = box.exec();
    if (yesNo)
        return result == QMessageBox::Yes ? IDYES : IDNO;
    return IDOK;
}
