// What is in each task's file before it prints, from "tessaline-cli info" run as a child process: its dry run
// needs the print path's process-wide state, which the print worker holds here. One file at a time, in the
// background; each file's report is kept for as long as the file and the settings stay as they are.
#pragma once

#include <map>

#include <QJsonArray>
#include <QObject>
#include <QString>
#include <QStringList>

class QProcess;
class QTimer;

// One file's report (see "tessaline-cli info --help").
struct CJobInfo {
    QString m_strError;  // why there is no report (the file cannot be read, the tool failed); empty with one
    double m_fWidthM = 0, m_fLengthM = 0;
    bool m_bFold = false;
    int m_nSegments = 0;
    double m_fProtocolS = -1;  // the dry run's time; below 0 when the job would not print
    bool m_bPrintable = true;
    QJsonArray m_Findings;     // objects with "kind", "stops" and the kind's details
};

class CJobInfoProbe : public QObject {
    Q_OBJECT
public:
    // program: tessaline-cli (empty: no reports); configPath: the settings it reads.
    CJobInfoProbe(const QString& program, const QString& configPath, QObject* parent);
    ~CJobInfoProbe() override;

    // tessaline-cli beside this program (the build folder, /usr/bin), else on the PATH; empty without one.
    static QString FindProgram();
    // Without the tool there are no reports.
    bool Enabled() const { return !m_strProgram.isEmpty(); }
    // The report of the file as it is now, or nullptr while there is none yet (it is then asked for).
    const CJobInfo* Info(const QString& path);
    // Forgets the reports of other files.
    void Keep(const QStringList& paths);
    // The report read from the tool's output and its exit status.
    static CJobInfo Parse(const QByteArray& out, const QByteArray& err, int status);

signals:
    void InfoReady(const QString& path);

private:
    // The file's and the settings' identity: a report is kept under it.
    QString Identity(const QString& path) const;
    void StartNext();
    void Finished(int status);

    QString m_strProgram;
    QString m_strConfig;
    QProcess* m_pProcess = nullptr;
    QTimer* m_pFuse = nullptr;
    QString m_strRunning;  // the path being read, and its identity when it started
    QString m_strRunningId;
    QStringList m_Waiting;
    struct CReport {
        QString m_strId;  // the identity it was made for
        CJobInfo m_Info;
    };
    std::map<QString, CReport> m_Reports;  // by path
};
