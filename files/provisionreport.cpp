#include "provisionreport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include "unitstable.h"

namespace {

const QString kHeader = QStringLiteral("time,serial,status,differences,history,detail");

bool failWith(FileFailure *failure, FileProblem problem, const QString &path, const QString &detail)
{
    if (failure)
        *failure = {problem, path, detail};
    return false;
}

} // namespace

QString ProvisionReport::besideTable(const QString &unitsPath)
{
    const QFileInfo units(unitsPath);
    return units.dir().filePath(units.completeBaseName() + QStringLiteral("-report.csv"));
}

QString ProvisionReport::statusWord(ProvisionStatus status)
{
    switch (status) {
    case ProvisionStatus::Applied:
        return QStringLiteral("applied");
    case ProvisionStatus::Failed:
        return QStringLiteral("failed");
    case ProvisionStatus::Skipped:
        break;
    }
    return QStringLiteral("skipped");
}

bool ProvisionReport::load(FileFailure *failure)
{
    applied_.clear();
    QFile file(path_);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return failWith(failure, FileProblem::Unreadable, path_, file.errorString());
    for (const CsvRecord &r : splitCsvRecords(QString::fromUtf8(file.readAll()), u','))
        if (r.cells.value(2) == statusWord(ProvisionStatus::Applied))
            applied_.insert(r.cells.value(1));
    return true;
}

bool ProvisionReport::append(const ProvisionRecord &record, FileFailure *failure)
{
    QFile file(path_);
    const bool fresh = file.size() == 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return failWith(failure, FileProblem::Unwritable, path_, file.errorString());
    QStringList cells{record.time.toString(Qt::ISODate), csvField(record.serial), statusWord(record.status),
                      QString::number(record.differences), csvField(record.historyFile), csvField(record.detail)};
    const QByteArray line = ((fresh ? kHeader + u'\n' : QString()) + cells.join(u',') + u'\n').toUtf8();
    if (file.write(line) != line.size() || !file.flush())
        return failWith(failure, FileProblem::Unwritable, path_, file.errorString());
    if (record.status == ProvisionStatus::Applied)
        applied_.insert(record.serial);
    return true;
}
