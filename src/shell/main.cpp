// The desktop program `tessaline`.
#include <atomic>
#include <csignal>

#include <QApplication>
#include <QTimer>

#include "shell/marquell.h"

namespace {
std::atomic<bool> gTerminate{false};
void OnTerminate(int)
{
    gTerminate = true;
}
}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    CMarquellApp theApp;
    if (!theApp.InitInstance())
        return 1;
    // Ctrl+C in the terminal or the end of the session: leave the message loop without the window's
    // close questions (nobody may be there to answer them), so the worker is joined and the log written out.
    std::signal(SIGINT, OnTerminate);
    std::signal(SIGTERM, OnTerminate);
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &app, [] {
        if (gTerminate)
            QCoreApplication::exit(0);
    });
    watch.start(200);
    const int result = app.exec();
    theApp.ExitInstance();
    return result;
}
