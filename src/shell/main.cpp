// The desktop program `tessaline`.
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <thread>

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QTimer>

#include "platform/apppaths.h"
#include "platform/logwriter.h"
#include "shell/marquell.h"

namespace {
std::atomic<bool> gTerminate{false};
void OnTerminate(int)
{
    gTerminate = true;
}

// Ends the process when the orderly end takes longer than the bound: the worker may be inside an adapter
// call that waits out its time-out (up to 3 s for a command on a board that does not answer), and a
// terminated program must not linger on it.
void EndWithin(std::chrono::milliseconds bound, const std::function<void()>& end)
{
    std::atomic<bool> ended{false};
    std::thread deadline([&] {
        const auto until = std::chrono::steady_clock::now() + bound;
        while (!ended && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (!ended) {
            CloseLogFile();
            std::_Exit(1);
        }
    });
    end();
    ended = true;
    deadline.join();
}
}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral("2.2e"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Tessaline: the print queue of an inkjet marker plotter."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption config(QStringLiteral("config"),
                                    QStringLiteral("Settings from <ini>; the log, the task folder and the pages "
                                                   "lie beside it."),
                                    QStringLiteral("ini"));
    parser.addOption(config);
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("Plot files to add to the queue."),
                                 QStringLiteral("[files...]"));
    parser.process(app);
    SetAppPaths(CAppPaths::Decide(CAppEnvironment::OfProcess(parser.value(config).toStdString())));

    CMarquellApp theApp;
    QStringList files;
    for (const QString& file : parser.positionalArguments())
        files << QFileInfo(file).absoluteFilePath();
    theApp.SetStartFiles(files);
    if (theApp.HandOverStartFiles())
        return 0;
    if (!theApp.InitInstance())
        return 1;
    // Ctrl+C in the terminal or the end of the session: leave the message loop without the window's
    // close questions (nobody may be there to answer them), so the worker is joined and the log written out,
    // within 2 s of the signal whatever the plotter does.
    std::signal(SIGINT, OnTerminate);
    std::signal(SIGTERM, OnTerminate);
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &app, [] {
        if (gTerminate)
            QCoreApplication::exit(0);
    });
    watch.start(100);
    const int result = app.exec();
    if (gTerminate)
        EndWithin(std::chrono::milliseconds(1500), [&] { theApp.ExitInstance(); });
    else
        theApp.ExitInstance();
    return result;
}
