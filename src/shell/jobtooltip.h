// The task row's tooltip: paper length, fold, segments, estimated print time and the findings of its file.
#pragma once

#include <QCoreApplication>
#include <QString>

struct CJobInfo;
class QJsonObject;

class CJobToolTip {
    Q_DECLARE_TR_FUNCTIONS(CJobToolTip)
public:
    // pInfo: the file's report, nullptr while it is being read; ratio: real over dry-run time of the last
    // jobs. Empty when there is nothing to say (no tool to read files with).
    static QString Text(const CJobInfo* pInfo, double ratio, bool bReading);
    // A finding of the report stops printing.
    static bool StopsPrinting(const CJobInfo* pInfo);

private:
    static QString Finding(const QJsonObject& finding);
};
