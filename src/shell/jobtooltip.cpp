// The words of the task row's tooltip.
#include "shell/jobtooltip.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>

#include "queue/jobpace.h"
#include "shell/jobinfoprobe.h"

namespace {

QString Count(const QJsonObject& o, const char* key)
{
    return QString::number(o.value(QLatin1String(key)).toInteger());
}

QString Metres(double m)
{
    return QString::number(m, 'f', 2);
}

}  // namespace

QString CJobToolTip::Text(const CJobInfo* pInfo, double ratio, bool bReading)
{
    if (!pInfo)
        return bReading ? tr("Reading the file…") : QString();
    if (!pInfo->m_strError.isEmpty())
        return tr("The file cannot be inspected: %1").arg(pInfo->m_strError);
    QStringList lines;
    lines << (pInfo->m_bFold ? tr("Paper length: %1 m, printed folded") : tr("Paper length: %1 m, not folded"))
                 .arg(Metres(pInfo->m_fLengthM));
    lines << tr("Segments: %1").arg(pInfo->m_nSegments);
    if (pInfo->m_fProtocolS >= 0) {
        const auto ms = static_cast<int64_t>(pInfo->m_fProtocolS * ratio * 1000);
        lines << tr("Estimated print time: %1").arg(QString::fromStdString(CJobPace::FormatDuration(ms)));
    }
    if (!pInfo->m_Findings.isEmpty())
        lines << tr("Findings:");
    for (const QJsonValue& value : pInfo->m_Findings) {
        const QJsonObject finding = value.toObject();
        QString text = Finding(finding);
        if (finding.value(QStringLiteral("stops")).toBool())
            text = tr("%1 (stops printing)").arg(text);
        lines << QStringLiteral("• ") + text;
    }
    return lines.join(QLatin1Char('\n'));
}

bool CJobToolTip::StopsPrinting(const CJobInfo* pInfo)
{
    return pInfo && pInfo->m_strError.isEmpty() && !pInfo->m_bPrintable;
}

QString CJobToolTip::Finding(const QJsonObject& f)
{
    const QString kind = f.value(QStringLiteral("kind")).toString();
    if (kind == QLatin1String("unhandled-instructions")) {
        QStringList counts;
        const QJsonObject instructions = f.value(QStringLiteral("instructions")).toObject();
        for (auto it = instructions.begin(); it != instructions.end(); ++it)
            counts << QStringLiteral("%1 ×%2").arg(it.key()).arg(it.value().toInteger());
        return tr("Instructions not handled: %1").arg(counts.join(QStringLiteral(", ")));
    }
    if (kind == QLatin1String("missing-glyphs")) {
        QStringList codes;
        for (const QJsonValue& code : f.value(QStringLiteral("codes")).toArray())
            codes << code.toString();
        return tr("Label characters the font lacks: %1, in %2 labels (%3)")
            .arg(Count(f, "characters"), Count(f, "labels"), codes.join(QStringLiteral(" ")));
    }
    if (kind == QLatin1String("outside-width"))
        return tr("Records outside the printable width of %1 m: %2 right of it, %3 left of it, %4 before the "
                  "paper's start")
            .arg(Metres(f.value(QStringLiteral("maxWidthM")).toDouble()), Count(f, "right"), Count(f, "left"),
                 Count(f, "beforeStart"));
    if (kind == QLatin1String("right-edge"))
        return tr("A right edge of %1 dots, more than the plotter takes (%2): the job would be refused")
            .arg(Count(f, "rightDots"), Count(f, "maxRightDots"));
    if (kind == QLatin1String("too-large"))
        return tr("Too large to print");
    if (kind == QLatin1String("empty"))
        return tr("The file is empty");
    if (kind == QLatin1String("not-plot-file"))
        return tr("Not a plot file");
    if (kind == QLatin1String("no-drawing"))
        return tr("The file holds no drawing");
    if (kind == QLatin1String("message"))
        return tr("Message: %1").arg(f.value(QStringLiteral("text")).toString());
    return kind;
}
