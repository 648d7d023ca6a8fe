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
    //: A reason in "Cannot plot %1: %2".
    QT_TRANSLATE_NOOP("Message", "the file is empty: it holds no drawing"),
    //: A reason in "Cannot plot %1: %2".
    QT_TRANSLATE_NOOP("Message", "the file is too large to plot"),
    //: A reason in "Cannot plot %1: %2".
    QT_TRANSLATE_NOOP("Message", "not a plot file: it holds no drawing"),
    //: A reason in "Cannot plot %1: %2": the file has plot instructions but nothing is drawn.
    QT_TRANSLATE_NOOP("Message", "the file holds no drawing"),
    //: Why a printed file or a deleted row's file stays: the share or folder it was in is gone.
    QT_TRANSLATE_NOOP("Message", "the task folder is missing"),
    //: Why the task folder cannot be created: a file of that name is in the way.
    QT_TRANSLATE_NOOP("Message", "not a folder"),
    //: Why a printed file was kept: it was overwritten while it printed.
    QT_TRANSLATE_NOOP("Message", "the file was replaced by a new version"),
    //: Why a file was kept by Delete: it was overwritten after the operator saw it.
    QT_TRANSLATE_NOOP("Message", "it changed since it was listed"),
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
    //: A reason in "Cannot plot %1: %2". %1: the system's error text.
    QT_TRANSLATE_NOOP("Message", "the file cannot be read (%1)"),
    //: %1: the task folder (a share that went away or a folder removed).
    QT_TRANSLATE_NOOP("Message", "The task folder %1 is missing: no job starts until it is back"),
    //: %1: the task folder.
    QT_TRANSLATE_NOOP("Message", "The task folder %1 is back"),
    //: %1: the task folder, %2: the reason.
    QT_TRANSLATE_NOOP("Message", "Cannot create the task folder %1: %2"),
    //: %1: the task folder, %2: the system's error text.
    QT_TRANSLATE_NOOP("Message", "Cannot list the task folder %1: %2"),
    //: %1: the queue's state file's folder, %2: the system's error text.
    QT_TRANSLATE_NOOP("Message", "Cannot save the queue state in %1: %2"),
    //: %1: a plot file, %2: why it was kept.
    QT_TRANSLATE_NOOP("Message", "Kept %1: %2; queued as a new job"),
    //: Delete found the file overwritten. %1: the plot file.
    QT_TRANSLATE_NOOP("Message", "%1 changed since it was listed; it was kept as a new job."),
    //: %1: the plot file, %2: the reason.
    QT_TRANSLATE_NOOP("Message", "Plotted %1, but the file cannot be removed: %2"),
    //: %1: the plot file, %2: the reason.
    QT_TRANSLATE_NOOP("Message", "Cannot delete %1: %2"),
    //: Open could not copy a file into the task folder. %1: the file, %2: the reason.
    QT_TRANSLATE_NOOP("Message", "Cannot add %1: %2"),
    //: A reason in "Cannot add %1: %2". %1: the task folder.
    QT_TRANSLATE_NOOP("Message", "the task folder %1 is not there"),
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
    //: Details of a new row whose size or time still changes (a copy over the network in progress).
    QT_TRANSLATE_NOOP("TaskRow", "the file is still arriving"),
    //: Details of a row that was printing when the program ended: how much was printed is unknown.
    QT_TRANSLATE_NOOP("TaskRow", "interrupted"),
    //: Details of a row whose file has plot instructions but nothing drawn.
    QT_TRANSLATE_NOOP("TaskRow", "the file holds no drawing"),
    //: Details of a row whose file was overwritten while it printed; the new version is a new job.
    QT_TRANSLATE_NOOP("TaskRow", "the file was replaced by a new version"),
};

// Task list column 4, composed.
const char* const kTaskRowPatterns[] = {
    //: Details of a printed row whose file stays. %1: the reason.
    QT_TRANSLATE_NOOP("TaskRow", "plotted; the file cannot be removed (%1)"),
};

// Each %n of a pattern stands for any text; the fixed parts between them must match as they stand.
// Placeholders appear in the order of their numbers.
QStringList FixedParts(const char* source)
{
    static const QRegularExpression placeholder(QStringLiteral("%[1-9]"));
    return QString::fromUtf8(source).split(placeholder);
}

// Every way of reading text as the fixed parts with something between them, the later separators first
// (a path with ": " in it keeps them in the path unless a known reason follows).
void Readings(const QString& text, const QStringList& fixed, int part, qsizetype from, QStringList& args,
              std::vector<QStringList>& out)
{
    if (part == fixed.size() - 1) {
        args << text.mid(from);
        out.push_back(args);
        args.removeLast();
        return;
    }
    const QString& sep = fixed[part];
    for (qsizetype at = text.lastIndexOf(sep); at >= from; at = at > 0 ? text.lastIndexOf(sep, at - 1) : -1) {
        if (sep.isEmpty() && at != from)
            continue;
        args << text.mid(from, at - from);
        Readings(text, fixed, part + 1, at + sep.size(), args, out);
        args.removeLast();
        if (at == 0)
            break;
    }
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

// The text read as one of the patterns, its parts translated: of the readings, the one with the most parts
// the program knows. A null string when no pattern fits.
QString Composed(const char* context, const QString& text, const char* const* begin, const char* const* end)
{
    for (const char* const* p = begin; p != end; ++p) {
        const QStringList fixed = FixedParts(*p);
        const QString& head = fixed.first();
        const QString& tail = fixed.last();
        if (text.size() < head.size() + tail.size() || !text.startsWith(head) || !text.endsWith(tail))
            continue;
        const QString inner = text.mid(head.size(), text.size() - head.size() - tail.size());
        QStringList middle = fixed.mid(1, fixed.size() - 2);
        middle << QString();
        std::vector<QStringList> readings;
        QStringList args;
        Readings(inner, middle, 0, 0, args, readings);
        QStringList best;
        int bestKnown = -1;
        for (const QStringList& reading : readings) {
            QStringList shown;
            int known = 0;
            for (const QString& arg : reading) {
                shown << CCoreText::Message(arg.toStdString());
                known += shown.last() != arg;
            }
            if (known > bestKnown) {
                best = shown;
                bestKnown = known;
            }
        }
        if (bestKnown >= 0)
            return Fill(QCoreApplication::translate(context, *p), best);
    }
    return QString();
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
    const QString composed = Composed(kMessageContext, whole, std::begin(kPatterns), std::end(kPatterns));
    return composed.isNull() ? whole : composed;
}

QString CCoreText::StatusPane(const std::string& text)
{
    const QString known = Known(kStatusContext, text, std::begin(kStatusTexts), std::end(kStatusTexts));
    return known.isNull() ? QString::fromStdString(text) : known;
}

QString CCoreText::TaskRow(const std::string& text)
{
    const QString known = Known(kTaskRowContext, text, std::begin(kTaskRowTexts), std::end(kTaskRowTexts));
    if (!known.isNull())
        return known;
    const QString composed = Composed(kTaskRowContext, QString::fromStdString(text), std::begin(kTaskRowPatterns),
                                      std::end(kTaskRowPatterns));
    return composed.isNull() ? Message(text) : composed;
}
