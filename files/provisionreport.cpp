#include "provisionreport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include "inidocument.h"
#include "model/cp1252.h"

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
    QFile file(path_);
    if (!file.exists()) {
        lastAttempt_.clear();
        appliedInRun_.clear();
        format_ = CsvText();
        knownSize_ = 0;
        return true;
    }
    if (file.size() > IniDocument::kMaxFileSize)
        return failWith(failure, FileProblem::TooLarge, path_, {});
    if (!file.open(QIODevice::ReadOnly))
        return failWith(failure, FileProblem::Unreadable, path_, file.errorString());
    const QByteArray bytes = file.readAll();
    format_ = CsvText::read(bytes);
    knownSize_ = bytes.size();
    lastAttempt_.clear();
    for (const CsvRecord &r : std::as_const(format_.records)) {
        const std::optional<ProvisionStatus> status = statusOf(r.cells.value(2).trimmed());
        // A unit skipped keeps what its last attempt came to.
        if (status && *status != ProvisionStatus::Skipped)
            lastAttempt_.insert(r.cells.value(1), *status);
    }
    format_.records.clear();
    appliedInRun_.clear();
    if (runStart_ >= 0 && runStart_ < bytes.size()) {
        // The run's lines were added in the file's own form, after whole lines.
        const QByteArray tail = bytes.mid(runStart_);
        const QString text = format_.utf8 ? QString::fromUtf8(tail) : Cp1252::decode(tail);
        for (const CsvRecord &r : splitCsvRecords(text, format_.separator))
            if (statusOf(r.cells.value(2).trimmed()) == ProvisionStatus::Applied)
                appliedInRun_.insert(r.cells.value(1));
    }
    return true;
}

bool ProvisionReport::changedOnDisk() const
{
    const QFileInfo file(path_);
    return (file.exists() ? file.size() : 0) != knownSize_;
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
    knownSize_ = file.size();
    if (runStart_ >= 0 && record.status == ProvisionStatus::Applied)
        appliedInRun_.insert(record.serial);
    return true;
}

ProvisionReportLock::ProvisionReportLock(const QString &reportPath, int timeOutMs)
    : file_(reportPath + QStringLiteral(".lock"))
{
    // Held for a read or one line only: a lock older than that is left over.
    file_.setStaleLockTime(timeOutMs);
    held_ = file_.tryLock(timeOutMs);
    if (!held_)
        ok_ = file_.error() != QLockFile::LockFailedError;
}

namespace {

QString claimPath(const QString &reportPath, const QString &serial)
{
    // Any text may be a serial; its hexadecimal form is a safe file name.
    return reportPath + u'.' + QString::fromLatin1(serial.toUtf8().toHex()) + QStringLiteral(".writing");
}

} // namespace

ProvisionClaim::ProvisionClaim(const QString &reportPath, const QString &serial)
    : file_(claimPath(reportPath, serial))
{
    // A write takes minutes: only a holder that no longer runs loses it.
    file_.setStaleLockTime(0);
}

bool ProvisionClaim::take()
{
    return file_.tryLock(0) || file_.error() != QLockFile::LockFailedError;
}
