// The file reports of the task rows, read from tessaline-cli info in the background.
#include "shell/jobinfoprobe.h"

#include <algorithm>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

namespace {

// A dry run is bounded by the tool itself; this catches a tool that hangs for another reason.
constexpr int kFuseMs = 180000;

QString Stamp(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("-");
    return QString::number(info.size()) + QLatin1Char('@') +
           QString::number(info.lastModified().toMSecsSinceEpoch());
}

}  // namespace

CJobInfoProbe::CJobInfoProbe(const QString& program, const QString& configPath, QObject* parent)
    : QObject(parent), m_strProgram(program), m_strConfig(configPath)
{
    m_pProcess = new QProcess(this);
    m_pProcess->setProcessChannelMode(QProcess::SeparateChannels);
    connect(m_pProcess, &QProcess::finished, this, [this](int status, QProcess::ExitStatus exit) {
        Finished(exit == QProcess::NormalExit ? status : -1);
    });
    connect(m_pProcess, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            Finished(-1);
    });
    m_pFuse = new QTimer(this);
    m_pFuse->setSingleShot(true);
    connect(m_pFuse, &QTimer::timeout, m_pProcess, &QProcess::kill);
}

CJobInfoProbe::~CJobInfoProbe()
{
    m_pProcess->disconnect(this);
    if (m_pProcess->state() != QProcess::NotRunning) {
        m_pProcess->kill();
        m_pProcess->waitForFinished(5000);
    }
}

QString CJobInfoProbe::FindProgram()
{
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("tessaline-cli"));
    if (QFileInfo(beside).isExecutable())
        return beside;
    return QStandardPaths::findExecutable(QStringLiteral("tessaline-cli"));
}

QString CJobInfoProbe::Identity(const QString& path) const
{
    return Stamp(path) + QLatin1Char('|') + Stamp(m_strConfig);
}

const CJobInfo* CJobInfoProbe::Info(const QString& path)
{
    if (m_strProgram.isEmpty())
        return nullptr;
    const QString id = Identity(path);
    auto it = m_Reports.find(path);
    if (it != m_Reports.end() && it->second.m_strId == id)
        return &it->second.m_Info;
    const bool running = m_strRunning == path && m_strRunningId == id;
    if (!running && !m_Waiting.contains(path)) {
        m_Waiting.append(path);
        StartNext();
    }
    return nullptr;
}

void CJobInfoProbe::Keep(const QStringList& paths)
{
    std::erase_if(m_Reports, [&](const auto& report) { return !paths.contains(report.first); });
    m_Waiting.erase(std::remove_if(m_Waiting.begin(), m_Waiting.end(),
                                   [&](const QString& path) { return !paths.contains(path); }),
                    m_Waiting.end());
}

void CJobInfoProbe::StartNext()
{
    if (m_pProcess->state() != QProcess::NotRunning || m_Waiting.isEmpty())
        return;
    m_strRunning = m_Waiting.takeFirst();
    m_strRunningId = Identity(m_strRunning);
    QStringList args{QStringLiteral("info"), m_strRunning};
    if (QFileInfo::exists(m_strConfig))
        args << QStringLiteral("--config") << m_strConfig;
    m_pFuse->start(kFuseMs);
    m_pProcess->start(m_strProgram, args);
}

void CJobInfoProbe::Finished(int status)
{
    m_pFuse->stop();
    const QString path = m_strRunning;
    if (!path.isEmpty()) {
        m_Reports[path] = {m_strRunningId,
                           Parse(m_pProcess->readAllStandardOutput(), m_pProcess->readAllStandardError(), status)};
        m_strRunning.clear();
        m_strRunningId.clear();
    }
    // The next start waits for the event loop: QProcess may still be inside its own signal.
    QTimer::singleShot(0, this, &CJobInfoProbe::StartNext);
    if (!path.isEmpty())
        emit InfoReady(path);
}

CJobInfo CJobInfoProbe::Parse(const QByteArray& out, const QByteArray& err, int status)
{
    CJobInfo info;
    const QJsonObject json = QJsonDocument::fromJson(out).object();
    if (status != 0 || json.isEmpty()) {
        info.m_strError = QString::fromUtf8(err).trimmed();
        const QString prefix = QStringLiteral("tessaline-cli: ");
        if (info.m_strError.startsWith(prefix))
            info.m_strError.remove(0, prefix.size());
        if (info.m_strError.isEmpty())
            info.m_strError = tr("the file report could not be made (exit status %1)").arg(status);
        return info;
    }
    info.m_fWidthM = json.value(QStringLiteral("widthM")).toDouble();
    info.m_fLengthM = json.value(QStringLiteral("lengthM")).toDouble();
    info.m_bFold = json.value(QStringLiteral("fold")).toBool();
    info.m_nSegments = json.value(QStringLiteral("segments")).toInt();
    const QJsonValue protocol = json.value(QStringLiteral("protocolS"));
    info.m_fProtocolS = protocol.isDouble() ? protocol.toDouble() : -1;
    info.m_bPrintable = json.value(QStringLiteral("printable")).toBool(true);
    info.m_Findings = json.value(QStringLiteral("findings")).toArray();
    return info;
}
