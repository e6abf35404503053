#include "provisionreport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include "inidocument.h"

namespace {

const QStringList kHeader{"time", "serial", "status", "differences", "history", "detail"};

bool failWith(FileFailure *failure, FileProblem problem, const QString &path, const QString &detail)
{
    if (failure)
        *failure = {problem, path, detail};
    return false;
}

std::optional<ProvisionStatus> statusOf(const QString &word)
{
    for (const ProvisionStatus status : {ProvisionStatus::Applied, ProvisionStatus::Failed, ProvisionStatus::Skipped})
        if (word == ProvisionReport::statusWord(status))
            return status;
    return std::nullopt;
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
    lastAttempt_.clear();
    format_ = CsvText();
    QFile file(path_);
    if (!file.exists())
        return true;
    if (file.size() > IniDocument::kMaxFileSize)
        return failWith(failure, FileProblem::TooLarge, path_, {});
    if (!file.open(QIODevice::ReadOnly))
        return failWith(failure, FileProblem::Unreadable, path_, file.errorString());
    format_ = CsvText::read(file.readAll());
    for (const CsvRecord &r : std::as_const(format_.records)) {
        const std::optional<ProvisionStatus> status = statusOf(r.cells.value(2).trimmed());
        // A unit skipped keeps what its last attempt came to.
        if (status && *status != ProvisionStatus::Skipped)
            lastAttempt_.insert(r.cells.value(1), *status);
    }
    format_.records.clear();
    return true;
}

QByteArray ProvisionReport::line(const ProvisionRecord &record) const
{
    return format_.line({record.time.toString(Qt::ISODate), record.serial, statusWord(record.status),
                         QString::number(record.differences), record.historyFile, record.detail});
}

bool ProvisionReport::append(const ProvisionRecord &record, FileFailure *failure)
{
    if (record.status != ProvisionStatus::Skipped)
        lastAttempt_.insert(record.serial, record.status);
    QFile file(path_);
    const bool fresh = file.size() == 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return failWith(failure, FileProblem::Unwritable, path_, file.errorString());
    QByteArray bytes;
    if (fresh)
        bytes = format_.line(kHeader);
    else if (!format_.endsWithLineEnd)
        bytes = format_.lineEnd; // a spreadsheet may leave the last line open
    bytes += line(record);
    if (file.write(bytes) != bytes.size() || !file.flush())
        return failWith(failure, FileProblem::Unwritable, path_, file.errorString());
    format_.endsWithLineEnd = true;
    return true;
}
