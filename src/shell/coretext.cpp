// Translation of the texts the layers below the window show: the list lupdate reads, and the matching of
// composed texts against their patterns.
//
// A text that a layer below the window shows (through the window bridge, gStatusText, a task row or
// ShowProblem) must be added to one of the lists below, exactly as that layer writes it; the translations
// check of the test suite then asks for its translations. The log gets the source texts: nothing here
// reaches WriteLog.
#include "shell/coretext.h"

#include <vector>

#include <QCoreApplication>
#include <QRegularExpression>

namespace {

const char* const kMessageContext = "Message";
const char* const kStatusContext = "StatusPane";
const char* const kTaskRowContext = "TaskRow";

// Message boxes, their captions and the status bar's problems.
const char* const kMessages[] = {
    QT_TRANSLATE_NOOP("Message", "Informação"),
    QT_TRANSLATE_NOOP("Message", "Notice"),
    QT_TRANSLATE_NOOP("Message", "Invalid"),
    QT_TRANSLATE_NOOP("Message", "The plotter is working. Please waiting for this plotting task finished!"),
    QT_TRANSLATE_NOOP("Message", "The printer is not connected, you cannot update the configuration."),
    //: Asked after five bad checksums in a row; Yes sends the segment again, No gives the job up.
    QT_TRANSLATE_NOOP("Message", "通信不可靠，请检查USB线路! 需要继续重试，请选择YES"),
    QT_TRANSLATE_NOOP("Message", "创建日志文件失败！"),
    QT_TRANSLATE_NOOP("Message", "打印数据尺寸超出范围，无法打印！"),
    QT_TRANSLATE_NOOP("Message", "打印压缩缓冲区分配失败！"),
    QT_TRANSLATE_NOOP("Message", "喷头配置有误，请检查！"),
    QT_TRANSLATE_NOOP("Message", "数据段宽度有误！"),
    //: The label font has outlines of a kind the program cannot draw (cubic curves).
    QT_TRANSLATE_NOOP("Message", "字体不支持"),
    //: A reason in "Cannot plot %1: %2".
    QT_TRANSLATE_NOOP("Message", "the file cannot be read"),
    //: A reason in "Cannot plot %1: %2".
    QT_TRANSLATE_NOOP("Message", "the file was not found"),
    //: A reason in "Cannot plot %1: %2".
    QT_TRANSLATE_NOOP("Message", "its print data cannot be allocated"),
    //: Why config.ini was not read: the file has none of the program's sections.
    QT_TRANSLATE_NOOP("Message", "it holds none of the settings"),
    //: Why config.ini was not read.
    QT_TRANSLATE_NOOP("Message", "the file could not be read"),
    //: Why config.ini was not saved.
    QT_TRANSLATE_NOOP("Message", "the file could not be written"),
    //: Who holds the lock of a task folder or a log, when it does not say its name.
    QT_TRANSLATE_NOOP("Message", "another program"),
};

// Composed texts: %1, %2 stand for a path, a program or a reason, translated on their own where known.
const char* const kPatterns[] = {
    //: %1: the plot file, %2: the reason.
    QT_TRANSLATE_NOOP("Message", "Cannot plot %1: %2"),
    //: %1: config.ini with its path, %2: the reason.
    QT_TRANSLATE_NOOP("Message", "The settings were not saved to %1: %2"),
    //: %1: config.ini with its path, %2: the reason.
    QT_TRANSLATE_NOOP("Message", "The settings in %1 were not read (%2); the program runs on the default settings"),
    //: %1: the task folder, %2: the program that serves it.
    QT_TRANSLATE_NOOP("Message",
                      "The task folder %1 is served by %2; this program does not print from it while that one runs."),
    //: %1: the task folder, %2: the reason.
    QT_TRANSLATE_NOOP("Message", "The task folder %1 cannot be served: %2"),
    //: %1: the program already running, %2: its log file.
    QT_TRANSLATE_NOOP("Message", "Tessaline already runs with these settings: %1 writes the log %2."),
    //: %1: the log file, %2: the reason.
    QT_TRANSLATE_NOOP("Message", "The log %1 cannot be locked: %2"),
    //: %1: a program's name, %2: its process number.
    QT_TRANSLATE_NOOP("Message", "%1 (process %2)"),
    //: A reason. %1: a lock file, %2: the system's error text.
    QT_TRANSLATE_NOOP("Message", "cannot open %1: %2"),
    //: A reason. %1: a lock file, %2: the system's error text.
    QT_TRANSLATE_NOOP("Message", "cannot lock %1: %2"),
};

// Status bar panes 3, 4 and 6.
const char* const kStatusTexts[] = {
    QT_TRANSLATE_NOOP("StatusPane", "Online"),
    QT_TRANSLATE_NOOP("StatusPane", "Offline"),
    //: The task: no job prints.
    QT_TRANSLATE_NOOP("StatusPane", "Waiting"),
    //: The task: a job prints.
    QT_TRANSLATE_NOOP("StatusPane", "Plotting"),
    //: The task: the last job has ended.
    QT_TRANSLATE_NOOP("StatusPane", "Finished"),
    //: The plotter: not printing (at start-up).
    QT_TRANSLATE_NOOP("StatusPane", "Stopped"),
    //: The plotter: printing a job.
    QT_TRANSLATE_NOOP("StatusPane", "Plot"),
    //: The plotter: the last copy of a job is printed and the job is gone from the list.
    QT_TRANSLATE_NOOP("StatusPane", "结束"),
};

// Task list column 0 (states) and column 4 (details).
const char* const kTaskRowTexts[] = {
    //: Held: never started automatically.
    QT_TRANSLATE_NOOP("TaskRow", "Not plot"),
    //: Queued: a new file while automatic plotting is on.
    QT_TRANSLATE_NOOP("TaskRow", "Waitting"),
    //: Queued: by the Plot command, or a printed job with copies left.
    QT_TRANSLATE_NOOP("TaskRow", "Waiting"),
    QT_TRANSLATE_NOOP("TaskRow", "Plotting"),
    //: Details of a row held because its print stopped before the end.
    QT_TRANSLATE_NOOP("TaskRow", "the print did not complete"),
};

struct CPattern {
    const char* source;
    QRegularExpression match;
};

// Each %n of a pattern captures any text; the fixed parts must match as they stand.
const std::vector<CPattern>& Patterns()
{
    static const std::vector<CPattern> patterns = [] {
        std::vector<CPattern> list;
        static const QRegularExpression placeholder(QStringLiteral("%[1-9]"));
        for (const char* source : kPatterns) {
            QStringList parts = QString::fromUtf8(source).split(placeholder);
            for (QString& part : parts)
                part = QRegularExpression::escape(part);
            const QString regex = QRegularExpression::anchoredPattern(parts.join(QStringLiteral("(.*)")));
            list.push_back({source, QRegularExpression(regex, QRegularExpression::DotMatchesEverythingOption)});
        }
        return list;
    }();
    return patterns;
}

// %1..%9 of a translated pattern replaced in one pass, so a % in a path is never taken for a placeholder.
QString Fill(const QString& pattern, const QStringList& args)
{
    QString out;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'%' && i + 1 < pattern.size() && pattern[i + 1] >= u'1' && pattern[i + 1] <= u'9') {
            const int n = pattern[i + 1].digitValue();
            if (n <= args.size()) {
                out += args[n - 1];
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

QString Known(const char* context, const std::string& text, const char* const* begin, const char* const* end)
{
    for (const char* const* p = begin; p != end; ++p)
        if (text == *p)
            return QCoreApplication::translate(context, *p);
    return QString();
}

}  // namespace

QString CCoreText::Message(const std::string& text)
{
    const QString known = Known(kMessageContext, text, std::begin(kMessages), std::end(kMessages));
    if (!known.isNull())
        return known;
    const QString whole = QString::fromStdString(text);
    for (const CPattern& pattern : Patterns()) {
        const QRegularExpressionMatch m = pattern.match.match(whole);
        if (!m.hasMatch())
            continue;
        QStringList args;
        for (int i = 1; i <= m.lastCapturedIndex(); ++i)
            args << Message(m.captured(i).toStdString());
        return Fill(QCoreApplication::translate(kMessageContext, pattern.source), args);
    }
    return whole;
}

QString CCoreText::StatusPane(const std::string& text)
{
    const QString known = Known(kStatusContext, text, std::begin(kStatusTexts), std::end(kStatusTexts));
    return known.isNull() ? QString::fromStdString(text) : known;
}

QString CCoreText::TaskRow(const std::string& text)
{
    const QString known = Known(kTaskRowContext, text, std::begin(kTaskRowTexts), std::end(kTaskRowTexts));
    return known.isNull() ? QString::fromStdString(text) : known;
}
