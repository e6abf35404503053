#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <utility>

class QLockFile;

// Who made a copy: the author of its commit.
struct Technician {
    QString name;
    QString email;
    // The login of whoever runs the program, at this computer's name.
    static Technician systemUser();
    // "Name <address>" or a name alone, as typed; false, with the reason,
    // for what a commit cannot carry (line breaks, tabs, a bracket in the
    // name, an empty address). Empty text gives an empty technician.
    static bool parse(const QString &text, Technician &out, QString *error = nullptr);
    bool isEmpty() const { return name.isEmpty(); }
};

// What a commit says: its author and time, a one-line subject, and trailers
// ("Unit-Serial", "Kind"...) in the order given.
struct CommitNote {
    Technician author;
    QDateTime time;
    QString subject;
    QList<std::pair<QString, QString>> trailers;
};

// A file of the history with the commit that added it.
struct CopyCommit {
    QString path; // relative to the history folder, with "/"
    Technician author;
    QDateTime time;
    QHash<QString, QString> trailers; // "Kind", "Firmware", "Unit-Serial", "Unit-Name"...
};

struct SyncResult {
    bool ok = false;
    int sent = 0;     // copies of this computer that the remote now holds
    int received = 0; // copies of the team newly here
    int renamed = 0;  // copies of this computer renamed because the team had one of that name
    QString error;    // when not ok: what went wrong, in a sentence
};

struct SyncOptions {
    QString token; // for https remotes; never stored or shown
    // Called after each fetch, before the push (attempt 1, 2...), so that the
    // caller can show progress.
    std::function<void(int attempt)> fetched;
    int attempts = 5;
};

// The history folder as a git repository: made on first use, with every file
// already there taken in as its own commit in time order. Only ever adds
// files; sharing rebases this computer's unshared commits on the remote's and
// pushes, renaming a copy whose name the team already used. Every change runs
// under a lock file, so that the program and velkan-cli can share the folder,
// and a lock left by a killed process is cleared.
class HistoryRepo {
public:
    explicit HistoryRepo(const QString &root);
    ~HistoryRepo();
    HistoryRepo(const HistoryRepo &) = delete;
    HistoryRepo &operator=(const HistoryRepo &) = delete;

    QString root() const { return root_; }

    // Commits the files (relative to the history folder), after any file
    // found there uncommitted. False, with error, when the repository cannot
    // be made, opened or written; the files stay as they are then.
    bool commit(const QStringList &files, const CommitNote &note, QString *error = nullptr);
    // Opens (or makes) the repository and takes in what is not committed.
    bool open(QString *error = nullptr);

    // Describes a file found uncommitted (a folder taken in, or a copy whose
    // commit a killed process never finished).
    std::function<CommitNote(const QString &relativePath)> describe;

    // Makes an empty bare repository at path for a team to share (a folder
    // on a shared drive, say).
    static bool makeShared(const QString &path, QString *error = nullptr);

    bool setRemote(const QString &url, QString *error = nullptr);
    QString remote() const; // "" when none is set
    // The remote's address with any user and password left out, for messages.
    static QString shownUrl(const QString &url);

    // Fetches, rebases the unshared commits on the team's, pushes; again
    // when the remote moved meanwhile.
    SyncResult sync(const SyncOptions &options = {});
    // The files the remote does not have yet, as far as the last sync knew;
    // -1 when no remote is set or the repository cannot be read.
    int unshared(const QString &suffix = QStringLiteral(".qcf"));

    // Every file of the history's last commit with the commit that added it;
    // files no commit of this tool names are left out.
    QHash<QString, CopyCommit> copies(QString *error = nullptr);

private:
    struct Git;
    QLockFile &repoLock();
    bool openLocked(QString *error);
    bool takeIn(const QStringList &skip, QString *error);
    bool commitLocked(const QStringList &files, const CommitNote &note, QString *error);
    bool settle(QString *error);

    QString root_;
    std::unique_ptr<Git> git_;
    bool takenIn_ = false;
};
