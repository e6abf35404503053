#include "servicehistory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimeZone>
#include <algorithm>
#include <array>

#include "configfile.h"
#include "inidocument.h"
#include "model/configstore.h"
#include "model/product.h"

namespace {

const QString kSuffix = QStringLiteral(".qcf");
const QString kDateFormat = QStringLiteral("yyyy-MM-dd");
const QString kTimeFormat = QStringLiteral("HH-mm-ss");
constexpr int kMaxFolderLength = 64;
// Far more operations in one second than any unit sees; past it something is wrong.
constexpr int kMaxSameSecond = 1000;

// "2026-12-10T09-14-03Z-read.qcf", or "...-read-2.qcf" for the second in that second.
constexpr std::array kKinds{HistoryKind::Read, HistoryKind::Write, HistoryKind::VerifiedWrite,
                            HistoryKind::DifferingWrite};

const QRegularExpression &entryName()
{
    static const QRegularExpression name(
        QStringLiteral("^(\\d{4}-\\d\\d-\\d\\dT\\d\\d-\\d\\d-\\d\\d)Z-(read|write-verified|write-differs|write)"
                       "(?:-(\\d+))?\\.qcf$"));
    return name;
}

// Names Windows keeps for devices in every folder.
bool deviceName(const QString &name)
{
    static const QRegularExpression devices(QStringLiteral("^(CON|PRN|AUX|NUL|COM\\d|LPT\\d)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    return devices.match(name).hasMatch();
}

QString entryFileName(const QDateTime &time, HistoryKind kind, int sequence)
{
    QString name = time.date().toString(kDateFormat) + u'T' + time.time().toString(kTimeFormat)
                   + QStringLiteral("Z-") + ServiceHistory::kindWord(kind);
    if (sequence > 1)
        name += u'-' + QString::number(sequence);
    return name + kSuffix;
}

bool failWith(FileFailure *failure, const QString &path, const QString &detail)
{
    if (failure)
        *failure = {FileProblem::Unwritable, QDir::toNativeSeparators(path), detail};
    return false;
}

// Takes the first free name of the operation by creating the file empty, so
// that two programs recording at once cannot pick the same one. The number
// counts the operations of that second whatever their kind, so that it orders them.
bool reserveName(const QDir &folder, const QDateTime &time, HistoryKind kind, QString &path,
                 FileFailure *failure)
{
    const auto takenByAnother = [&](int sequence) {
        return std::any_of(kKinds.begin(), kKinds.end(), [&](HistoryKind other) {
            return other != kind && folder.exists(entryFileName(time, other, sequence));
        });
    };
    for (int sequence = 1; sequence <= kMaxSameSecond; ++sequence) {
        path = folder.filePath(entryFileName(time, kind, sequence));
        if (takenByAnother(sequence))
            continue;
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return true;
        if (!QFileInfo::exists(path))
            return failWith(failure, path, file.errorString());
    }
    return failWith(failure, path, QStringLiteral("File exists"));
}

} // namespace

ServiceHistory::ServiceHistory(const QString &root) : root_(root) {}

HistoryRepo &ServiceHistory::repository() const
{
    if (!repo_) {
        const_cast<ServiceHistory *>(this)->repo_ = std::make_shared<HistoryRepo>(root_);
    }
    // This object's technician describes what it takes in, whichever copy of it made the repository.
    // A file found uncommitted is described by its folder and name, and a
    // configuration by the unit name it holds.
    repo_->describe = [root = root_, self = this](const QString &relative) {
            const QString folder = relative.section(u'/', 0, -2);
            const QString name = relative.section(u'/', -1);
            static const QRegularExpression stamped(
                QStringLiteral("^(\\d{4}-\\d\\d-\\d\\dT\\d\\d-\\d\\d-\\d\\d)Z-([a-z-]+?)(?:-\\d+)?\\.(qcf|trace)$"));
            const QRegularExpressionMatch m = stamped.match(name);
            QDateTime time;
            QString kind = QStringLiteral("file");
            if (m.hasMatch()) {
                time = QDateTime(QDate::fromString(m.captured(1).left(10), kDateFormat),
                                 QTime::fromString(m.captured(1).mid(11), kTimeFormat), QTimeZone::utc());
                kind = m.captured(3) == QLatin1String("trace") ? QStringLiteral("trace-") + m.captured(2)
                                                                : m.captured(2);
            }
            QString unitName;
            IniDocument doc;
            if (name.endsWith(kSuffix) && doc.load(root + u'/' + relative))
                unitName = doc.readValue(QStringLiteral("GENERAL"), QStringLiteral("NOMBRE"));
            CommitNote note = self->noteFor(folder, kind, time, unitName, {});
            note.subject = QStringLiteral("Taken in: ") + note.subject;
            return note;
        };
    return *repo_;
}

CommitNote ServiceHistory::noteFor(const QString &serial, const QString &kind, const QDateTime &time,
                                   const QString &unitName, const QString &firmware) const
{
    CommitNote note;
    note.author = technician;
    note.time = time;
    note.subject = kind + u' ' + serial + (unitName.trimmed().isEmpty() ? QString() : u' ' + unitName.simplified());
    note.trailers = {{QStringLiteral("Unit-Serial"), serial},
                     {QStringLiteral("Kind"), kind},
                     {QStringLiteral("Firmware"), firmware.isEmpty() ? QStringLiteral("unknown") : firmware},
                     {QStringLiteral("Tool-Version"), Product::Version}};
    if (!unitName.trimmed().isEmpty())
        note.trailers.append({QStringLiteral("Unit-Name"), unitName.simplified()});
    return note;
}

void ServiceHistory::commitCopy(const QString &path, const QString &serial, const QString &kind,
                                const QDateTime &time, const QString &unitName, const QString &firmware) const
{
    QString problem;
    const QString relative = QDir(root_).relativeFilePath(path);
    if (repository().commit({relative}, noteFor(serial, kind, time, unitName, firmware), &problem)) {
        *repoFailing_ = false;
        return;
    }
    if (*repoFailing_)
        return;
    *repoFailing_ = true;
    if (repositoryProblem)
        repositoryProblem(problem);
}

QString ServiceHistory::defaultRoot()
{
    // The program's own data folder; velkan-cli, another application to Qt,
    // names it the same way so that both keep one history.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + QStringLiteral("/velkan-sarn/history");
}

QString ServiceHistory::unitFolder(const QString &serial)
{
    QString name = serial.trimmed().left(kMaxFolderLength);
    for (QChar &c : name) {
        if (!c.isLetterOrNumber() && c != u'-' && c != u'_')
            c = u'_';
    }
    if (name.isEmpty())
        return QStringLiteral("unknown");
    return deviceName(name) ? name + u'_' : name;
}

bool ServiceHistory::sameUnit(const QString &a, const QString &b)
{
    return unitFolder(a) == unitFolder(b);
}

QString ServiceHistory::unitOf(const QString &path) const
{
    const QFileInfo file(path);
    QDir folder = file.absoluteDir();
    const QString name = folder.dirName();
    if (!folder.cdUp() || name == unitFolder(QString()))
        return {};
    const QString root = QFileInfo(root_).canonicalFilePath();
    return !root.isEmpty() && folder.canonicalPath() == root ? name : QString();
}

QString ServiceHistory::kindWord(HistoryKind kind)
{
    switch (kind) {
    case HistoryKind::Read:
        return QStringLiteral("read");
    case HistoryKind::Write:
        break;
    case HistoryKind::VerifiedWrite:
        return QStringLiteral("write-verified");
    case HistoryKind::DifferingWrite:
        return QStringLiteral("write-differs");
    }
    return QStringLiteral("write");
}

bool ServiceHistory::record(const QString &serial, HistoryKind kind, const ConfigStore &store,
                            const SectionRegistry &sections, FileFailure *failure, HistoryEntry *entry,
                            const QString &firmware) const
{
    const QDir folder(QDir(root_).filePath(unitFolder(serial)));
    // When the folder cannot be made, the reservation below says why in the system's words.
    QDir().mkpath(folder.path());
    QDateTime time = clock().toUTC();
    time = time.addMSecs(-time.time().msec());
    QString path;
    if (!reserveName(folder, time, kind, path, failure))
        return false;
    SaveTarget target;
    target.sourceSerial = serial;
    if (!saveConfigFile(path, store, sections, failure, target)) {
        QFile::remove(path);
        return false;
    }
    if (entry)
        *entry = {time, kind, path};
    commitCopy(path, serial.trimmed(), kindWord(kind), time, store.General.UnitName, firmware);
    return true;
}

bool ServiceHistory::recordTrace(const QString &serial, const QString &operation, const QByteArray &text,
                                 FileFailure *failure, QString *path) const
{
    const QDir folder(QDir(root_).filePath(unitFolder(serial)));
    QDir().mkpath(folder.path());
    const QDateTime time = clock().toUTC();
    const QString stem = time.date().toString(kDateFormat) + u'T' + time.time().toString(kTimeFormat)
                         + QStringLiteral("Z-") + operation;
    for (int sequence = 1; sequence <= kMaxSameSecond; ++sequence) {
        const QString name = folder.filePath(stem + (sequence > 1 ? u'-' + QString::number(sequence) : QString())
                                             + QStringLiteral(".trace"));
        QFile file(name);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (QFileInfo::exists(name))
                continue;
            return failWith(failure, name, file.errorString());
        }
        if (file.write(text) != text.size() || !file.flush()) {
            const QString detail = file.errorString();
            file.remove();
            return failWith(failure, name, detail);
        }
        file.close();
        if (path)
            *path = name;
        commitCopy(name, serial.trimmed(), QStringLiteral("trace-") + operation, time, {}, {});
        return true;
    }
    return failWith(failure, folder.path(), QStringLiteral("File exists"));
}

QStringList ServiceHistory::units() const
{
    return QDir(root_).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

QList<HistoryEntry> ServiceHistory::entries(const QString &serial) const
{
    struct Found {
        HistoryEntry entry;
        int sequence;
    };
    QList<Found> found;
    const QDir folder(QDir(root_).filePath(unitFolder(serial)));
    for (const QString &name : folder.entryList({QStringLiteral("*") + kSuffix}, QDir::Files)) {
        const QRegularExpressionMatch match = entryName().match(name);
        if (!match.hasMatch())
            continue;
        const QString stamp = match.captured(1);
        const QDateTime time(QDate::fromString(stamp.left(10), kDateFormat),
                             QTime::fromString(stamp.mid(11), kTimeFormat), QTimeZone::utc());
        if (!time.isValid())
            continue;
        const auto kind = std::find_if(kKinds.begin(), kKinds.end(), [&](HistoryKind k) {
            return kindWord(k) == match.captured(2);
        });
        found.append({{time, *kind, folder.filePath(name)},
                      match.captured(3).isEmpty() ? 1 : match.captured(3).toInt()});
    }
    std::sort(found.begin(), found.end(), [](const Found &a, const Found &b) {
        return a.entry.time != b.entry.time ? a.entry.time > b.entry.time : a.sequence > b.sequence;
    });
    QList<HistoryEntry> entries;
    for (const Found &f : found)
        entries.append(f.entry);
    return entries;
}
