#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "filefailure.h"
#include "history/historyrepo.h"

struct ConfigStore;
class SectionRegistry;

// What an operation did with the unit's configuration. A verified write is
// one whose download afterwards held what was sent; a differing write, one
// whose check found the unit holding something else.
enum class HistoryKind { Read, Write, VerifiedWrite, DifferingWrite };

// One kept copy of a unit's configuration.
struct HistoryEntry {
    QDateTime time; // UTC, to the second
    HistoryKind kind = HistoryKind::Read;
    QString path;
};

// The service history: a configuration file for every download from and
// upload to a unit, one folder per unit serial number, one file per operation
// named by its UTC time and kind ("2026-12-10T09-14-03Z-read.qcf",
// "...Z-write-verified.qcf"). Files are
// only ever added: the second operation in the same second gets "-2", the
// third "-3", whatever their kinds. The folder is a git repository: each
// copy is committed as it is written, with the technician as its author; a
// commit that fails leaves the file written and is told once through
// repositoryProblem, and the next commit takes the file in.
class ServiceHistory {
public:
    explicit ServiceHistory(const QString &root);

    // The per-user data folder of the program, shared with velkan-cli.
    static QString defaultRoot();
    QString root() const { return root_; }

    // A unit's folder name: its serial number with every character that a
    // file system could read as a separator, a drive, a wildcard or a control
    // replaced by "_" (so no "." or ".." either); "unknown" for no serial.
    static QString unitFolder(const QString &serial);
    // Whether two serial numbers name one unit, as its folder does (a copy
    // found by its folder knows no more of the serial than that).
    static bool sameUnit(const QString &a, const QString &b);
    // The unit folder holding a file of this history ("VS21-0001"); empty
    // for a file elsewhere, or in the folder of copies without a serial.
    QString unitOf(const QString &path) const;
    // "read", "write", "write-verified" or "write-differs", as the file names
    // and velkan-cli spell it.
    static QString kindWord(HistoryKind kind);

    // Writes the model as a new entry of the unit, named after clock(); an
    // existing file is never replaced. False, with failure telling why, when
    // the folder or the file cannot be written; nothing is left behind then.
    // firmware, when known, is the unit's as its commit names it ("2.15").
    bool record(const QString &serial, HistoryKind kind, const ConfigStore &store,
                const SectionRegistry &sections, FileFailure *failure = nullptr,
                HistoryEntry *entry = nullptr, const QString &firmware = {}) const;

    // Keeps the trace of a failed operation beside the unit's configurations,
    // named after clock() and the operation ("2026-12-10T09-14-03Z-download.trace");
    // never over another file. False, with failure telling why, when it cannot be written.
    bool recordTrace(const QString &serial, const QString &operation, const QByteArray &text,
                     FileFailure *failure = nullptr, QString *path = nullptr) const;

    // The units with a folder, by name.
    QStringList units() const;
    // A unit's entries, newest first; files named otherwise are left out.
    QList<HistoryEntry> entries(const QString &serial) const;

    // The repository of the folder, made when first used.
    HistoryRepo &repository() const;
    // The author of the commits; the system user when empty.
    Technician technician;
    // Told once for a run of failing commits, with what went wrong.
    std::function<void(const QString &problem)> repositoryProblem;

    // The time an entry is named after; tests set it.
    std::function<QDateTime()> clock = [] { return QDateTime::currentDateTimeUtc(); };

private:
    void commitCopy(const QString &path, const QString &serial, const QString &kind, const QDateTime &time,
                    const QString &unitName, const QString &firmware) const;
    CommitNote noteFor(const QString &serial, const QString &kind, const QDateTime &time, const QString &unitName,
                       const QString &firmware) const;

    QString root_;
    // Shared by copies of this object, which all name one folder.
    std::shared_ptr<HistoryRepo> repo_;
    std::shared_ptr<bool> repoFailing_ = std::make_shared<bool>(false);
};
