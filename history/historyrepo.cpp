#include "historyrepo.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QTimeZone>
#include <QUrl>
#include <algorithm>
#include <git2.h>

namespace {

const char *const kBranch = "refs/heads/main";
const char *const kTracking = "refs/remotes/origin/main";
const char *const kRemote = "origin";
// What a sync under way means to make of the folder (see settle()).
const char *const kSyncPlan = "/.git/velkan-sync-plan";
// Long enough for another program's commit; a sync holds it far longer, so
// a copy made meanwhile stays a file and is committed by the next operation.
constexpr int kLockWaitMs = 5000;

struct Library {
    Library() { git_libgit2_init(); }
    ~Library() { git_libgit2_shutdown(); }
};

void useLibrary()
{
    static Library library;
}

template <typename T, void (*Free)(T *)>
struct Owned {
    T *p = nullptr;
    Owned() = default;
    Owned(const Owned &) = delete;
    ~Owned() { reset(); }
    void reset()
    {
        if (p)
            Free(p);
        p = nullptr;
    }
    T **out()
    {
        reset();
        return &p;
    }
    T *get() const { return p; }
    operator T *() const { return p; }
};
using Repository = Owned<git_repository, git_repository_free>;
using Index = Owned<git_index, git_index_free>;
using Tree = Owned<git_tree, git_tree_free>;
using Commit = Owned<git_commit, git_commit_free>;
using Signature = Owned<git_signature, git_signature_free>;
using Remote = Owned<git_remote, git_remote_free>;
using Reference = Owned<git_reference, git_reference_free>;
using Walk = Owned<git_revwalk, git_revwalk_free>;
using Diff = Owned<git_diff, git_diff_free>;
using Blob = Owned<git_blob, git_blob_free>;

QString gitError(const QString &what)
{
    const git_error *e = git_error_last();
    const QString detail = e && e->message ? QString::fromUtf8(e->message) : QStringLiteral("unknown error");
    return what + QStringLiteral(": ") + detail;
}

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

QByteArray utf8(const QString &s) { return s.toUtf8(); }

QString commitMessage(const CommitNote &note)
{
    QString text = note.subject.simplified() + QStringLiteral("\n\n");
    for (const auto &[key, value] : note.trailers)
        text += key + QStringLiteral(": ") + value.simplified() + u'\n';
    return text;
}

bool signatureOf(Signature &sig, const Technician &who, const QDateTime &time)
{
    const Technician t = who.isEmpty() ? Technician::systemUser() : who;
    const QDateTime when = time.isValid() ? time : QDateTime::currentDateTimeUtc();
    const QByteArray email = utf8(t.email.isEmpty() ? Technician::systemUser().email : t.email);
    return git_signature_new(sig.out(), utf8(t.name).constData(), email.constData(), when.toSecsSinceEpoch(),
                             when.offsetFromUtc() / 60)
           == 0;
}

// "2026-12-10T09-14-03Z-read-2.qcf" -> a free "…-read-3.qcf" of the same stem.
QString freeName(const QString &path, const std::function<bool(const QString &)> &taken)
{
    static const QRegularExpression numbered(QStringLiteral("^(.*?)(?:-(\\d+))?(\\.[^./]+)?$"));
    const QRegularExpressionMatch m = numbered.match(path);
    for (int n = 2;; ++n) {
        const QString candidate = m.captured(1) + u'-' + QString::number(n) + m.captured(3);
        if (!taken(candidate))
            return candidate;
    }
}

struct Credentials {
    QByteArray token;
    int calls = 0;
    bool triedAgent = false;
};

int credentialsFor(git_credential **out, const char *, const char *userFromUrl, unsigned int allowed, void *payload)
{
    auto *c = static_cast<Credentials *>(payload);
    if (++c->calls > 4)
        return GIT_EUSER; // every way was refused: stop asking
    const char *user = userFromUrl && *userFromUrl ? userFromUrl : "git";
    if (allowed & GIT_CREDENTIAL_SSH_KEY) {
        if (!c->triedAgent) {
            c->triedAgent = true;
            return git_credential_ssh_key_from_agent(out, user);
        }
        for (const char *key : {"id_ed25519", "id_ecdsa", "id_rsa"}) {
            const QByteArray priv = QFile::encodeName(QDir::homePath() + QStringLiteral("/.ssh/") + QLatin1String(key));
            if (QFileInfo::exists(QFile::decodeName(priv)))
                return git_credential_ssh_key_new(out, user, (priv + ".pub").constData(), priv.constData(), nullptr);
        }
    }
    if ((allowed & GIT_CREDENTIAL_USERPASS_PLAINTEXT) && !c->token.isEmpty())
        return git_credential_userpass_plaintext_new(out, userFromUrl && *userFromUrl ? userFromUrl : "token",
                                                     c->token.constData());
    return GIT_PASSTHROUGH;
}

struct PushStatus {
    QString refused;
};

int pushUpdate(const char *, const char *status, void *payload)
{
    if (status)
        static_cast<PushStatus *>(payload)->refused = QString::fromUtf8(status);
    return 0;
}

QHash<QString, QString> trailersOf(const char *message)
{
    QHash<QString, QString> found;
    git_message_trailer_array array{};
    if (git_message_trailers(&array, message) == 0) {
        for (size_t i = 0; i < array.count; ++i) {
            const QString key = QString::fromUtf8(array.trailers[i].key);
            const QString value = QString::fromUtf8(array.trailers[i].value);
            // A commit of several files names each on a "Copy" line of its own.
            if (found.contains(key) && key == QLatin1String("Copy"))
                found[key] += u'\n' + value;
            else
                found.insert(key, value);
        }
        git_message_trailer_array_free(&array);
    }
    return found;
}

} // namespace

struct HistoryRepo::Git {
    Repository repo;
    std::unique_ptr<QLockFile> lock;
};

Technician Technician::systemUser()
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    if (user.isEmpty())
        user = QStringLiteral("technician");
    QString host = QSysInfo::machineHostName();
    if (host.isEmpty())
        host = QStringLiteral("localhost");
    return {user, user + u'@' + host};
}

bool Technician::parse(const QString &typed, Technician &out, QString *error)
{
    const QString text = typed.trimmed();
    out = {};
    if (text.isEmpty())
        return true;
    const auto plain = [](const QString &s) {
        return std::none_of(s.begin(), s.end(), [](QChar c) {
            return c.category() == QChar::Other_Control || c == u'<' || c == u'>' || c == QChar::LineSeparator
                   || c == QChar::ParagraphSeparator;
        });
    };
    const qsizetype open = text.indexOf(u'<');
    Technician t{text, {}};
    if (open >= 0) {
        if (!text.endsWith(u'>'))
            return fail(error, QStringLiteral("The technician is \"Name <address>\" or a name alone"));
        t = {text.left(open).trimmed(), text.mid(open + 1, text.size() - open - 2).trimmed()};
        if (t.email.isEmpty() || t.email.contains(u' ') || !plain(t.email))
            return fail(error, QStringLiteral("The technician's address between < and > is empty or not one word"));
    }
    if (t.name.isEmpty() || !plain(t.name))
        return fail(error, QStringLiteral("The technician's name is empty or holds a line break, tab or bracket"));
    out = t;
    return true;
}

HistoryRepo::HistoryRepo(const QString &root) : root_(root), git_(std::make_unique<Git>())
{
    useLibrary();
}

HistoryRepo::~HistoryRepo() = default;

QString HistoryRepo::shownUrl(const QString &url)
{
    // "user:password@host:path", the short form of ssh: the host and path only.
    static const QRegularExpression scpLike(QStringLiteral("^[^/@:]+(?::[^@/]*)?@([^/:]+:.*)$"));
    if (!url.contains(QLatin1String("://"))) {
        const QRegularExpressionMatch m = scpLike.match(url);
        return m.hasMatch() ? m.captured(1) : url;
    }
    QUrl parsed(url);
    if (parsed.isValid() && !parsed.scheme().isEmpty() && parsed.scheme().size() > 1)
        return parsed.toString(QUrl::RemoveUserInfo);
    return url;
}

namespace {
// A lock file left empty was cut off between its making and its owner's
// name, by a process killed at that moment; Qt would take it as stale only
// after half a minute, so the next run would find the history busy.
bool takeLock(QLockFile &f)
{
    if (f.tryLock(1500))
        return true;
    // A live owner writes its name at once: still empty now, it never will.
    const QFileInfo info(f.fileName());
    if (info.exists() && info.size() == 0)
        QFile::remove(f.fileName());
    return f.tryLock(kLockWaitMs);
}

// Under the lock: a lock of git's left by a killed process is stale, since
// only a holder of ours writes the repository.
struct Locked {
    QLockFile &file;
    bool held;
    explicit Locked(QLockFile &f) : file(f), held(takeLock(f))
    {
        if (!held)
            return;
        const QString git = QFileInfo(file.fileName()).path();
        for (const char *name : {"index.lock", "HEAD.lock", "config.lock", "refs/heads/main.lock",
                                 "refs/remotes/origin/main.lock", "packed-refs.lock"})
            QFile::remove(git + u'/' + QLatin1String(name));
    }
    ~Locked()
    {
        if (held)
            file.unlock();
    }
};

// Why the lock was not had: another program holds it, or the folder refuses it.
QString lockProblem(const QLockFile &file, const QString &root)
{
    if (file.error() == QLockFile::LockFailedError)
        return QStringLiteral("The history in %1 is busy in another program").arg(QDir::toNativeSeparators(root));
    return QStringLiteral("The history's repository in %1 cannot be written")
        .arg(QDir::toNativeSeparators(root + QStringLiteral("/.git")));
}
} // namespace

bool HistoryRepo::openLocked(QString *error)
{
    if (git_->repo)
        return settle(error);
    if (!QDir().mkpath(root_))
        return fail(error, QStringLiteral("Cannot make the history folder %1").arg(QDir::toNativeSeparators(root_)));
    const QByteArray path = QFile::encodeName(root_);
    // The lock file may have made the folder of an empty repository: its HEAD tells.
    if (QFileInfo::exists(root_ + QStringLiteral("/.git/HEAD"))) {
        if (git_repository_open_ext(git_->repo.out(), path.constData(), GIT_REPOSITORY_OPEN_NO_SEARCH, nullptr) != 0)
            return fail(error, gitError(QStringLiteral("The history's repository in %1 cannot be opened")
                                            .arg(QDir::toNativeSeparators(root_))));
    } else {
        git_repository_init_options options = GIT_REPOSITORY_INIT_OPTIONS_INIT;
        options.flags = GIT_REPOSITORY_INIT_MKPATH;
        options.initial_head = "main";
        if (git_repository_init_ext(git_->repo.out(), path.constData(), &options) != 0)
            return fail(error, gitError(QStringLiteral("The history folder %1 cannot be made a repository")
                                            .arg(QDir::toNativeSeparators(root_))));
        // The files are the unit's bytes: no line-end conversion on any system.
        QFile attributes(root_ + QStringLiteral("/.git/info/attributes"));
        QDir().mkpath(QFileInfo(attributes).path());
        if (attributes.open(QIODevice::WriteOnly))
            attributes.write("* -text\n");
    }
    return settle(error);
}

// The tool's own lock on the repository, one per folder, made on first use.
QLockFile &HistoryRepo::repoLock()
{
    if (!git_->lock) {
        QDir().mkpath(root_ + QStringLiteral("/.git"));
        git_->lock = std::make_unique<QLockFile>(root_ + QStringLiteral("/.git/velkan-history.lock"));
    }
    return *git_->lock;
}

bool HistoryRepo::open(QString *error)
{
    Locked lock(repoLock());
    if (!lock.held)
        return fail(error, lockProblem(*git_->lock, root_));
    return openLocked(error) && takeIn({}, error);
}

namespace {

using TreeBuilder = Owned<git_treebuilder, git_treebuilder_free>;

// The tree of base (none: empty) with the blob at the path's parts, its
// folders made as needed.
bool treeWith(git_repository *repo, const git_tree *base, const QStringList &parts, const git_oid &blob, git_oid *out)
{
    TreeBuilder builder;
    if (git_treebuilder_new(builder.out(), repo, base) != 0)
        return false;
    const QByteArray name = utf8(parts.first());
    if (parts.size() == 1)
        return git_treebuilder_insert(nullptr, builder, name.constData(), &blob, GIT_FILEMODE_BLOB) == 0
               && git_treebuilder_write(out, builder) == 0;
    Tree sub;
    const git_tree_entry *there = base ? git_tree_entry_byname(base, name.constData()) : nullptr;
    if (there && git_tree_entry_type(there) == GIT_OBJECT_TREE
        && git_tree_lookup(sub.out(), repo, git_tree_entry_id(there)) != 0)
        return false;
    git_oid subId;
    return treeWith(repo, sub, parts.mid(1), blob, &subId)
           && git_treebuilder_insert(nullptr, builder, name.constData(), &subId, GIT_FILEMODE_TREE) == 0
           && git_treebuilder_write(out, builder) == 0;
}

// Every file path of the branch's last commit.
bool committedPaths(git_repository *repo, QSet<QString> &paths)
{
    git_oid head;
    const int found = git_reference_name_to_id(&head, repo, kBranch);
    if (found == GIT_ENOTFOUND)
        return true;
    Commit commit;
    Tree tree;
    if (found != 0 || git_commit_lookup(commit.out(), repo, &head) != 0 || git_commit_tree(tree.out(), commit) != 0)
        return false;
    return git_tree_walk(
               tree, GIT_TREEWALK_PRE,
               [](const char *folder, const git_tree_entry *entry, void *payload) {
                   if (git_tree_entry_type(entry) == GIT_OBJECT_BLOB)
                       static_cast<QSet<QString> *>(payload)->insert(QString::fromUtf8(folder)
                                                                     + QString::fromUtf8(git_tree_entry_name(entry)));
                   return 0;
               },
               &paths)
           == 0;
}

// A copy whose writing was cut short (or is still under way in another
// program) is an empty file: it holds nothing to keep.
bool emptyCopy(const QString &path)
{
    return path.endsWith(QLatin1String(".qcf")) && QFileInfo(path).size() == 0;
}

} // namespace

// Every file on disk that the last commit lacks becomes a commit of its own,
// in the order of the names (which begin with the operation's time).
bool HistoryRepo::takeIn(const QStringList &skip, QString *error)
{
    QSet<QString> committed;
    if (!committedPaths(git_->repo, committed))
        return fail(error, gitError(QStringLiteral("The history's last commit cannot be read")));
    QList<std::pair<QString, QString>> found; // name, relative path
    const QDir root(root_);
    QDirIterator it(root_, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString rel = root.relativeFilePath(path);
        // Copies live in a folder per unit; a file at the top (a list a user
        // saved there, say) is not part of the history and is never shared.
        if (rel.startsWith(QLatin1String(".git/")) || !rel.contains(u'/'))
            continue;
        if (!skip.contains(rel) && !committed.contains(rel) && !emptyCopy(path))
            found.append({QFileInfo(rel).fileName(), rel});
    }
    std::sort(found.begin(), found.end());
    for (const auto &[name, rel] : found) {
        CommitNote note = describe ? describe(rel) : CommitNote{};
        if (note.subject.isEmpty())
            note.subject = QStringLiteral("Taken in: ") + rel;
        if (!note.time.isValid())
            note.time = QFileInfo(root_ + u'/' + rel).lastModified().toUTC();
        if (!commitLocked({rel}, note, error))
            return false;
    }
    takenIn_ = true;
    return true;
}

// The commit is made from the last commit's tree and the files alone, and
// the index follows only once the branch holds it: a commit that fails
// leaves nothing staged for another operation's commit to carry off.
bool HistoryRepo::commitLocked(const QStringList &files, const CommitNote &note, QString *error)
{
    git_repository *repo = git_->repo;
    Commit parent;
    Tree tree;
    git_oid headId;
    const int head = git_reference_name_to_id(&headId, repo, kBranch);
    if (head != 0 && head != GIT_ENOTFOUND)
        return fail(error, gitError(QStringLiteral("The history's branch cannot be read")));
    if (head == 0 && (git_commit_lookup(parent.out(), repo, &headId) != 0 || git_commit_tree(tree.out(), parent) != 0))
        return fail(error, gitError(QStringLiteral("The history's last commit cannot be read")));
    CommitNote named = note;
    for (const QString &file : files) {
        if (emptyCopy(root_ + u'/' + file))
            return fail(error, QStringLiteral("%1 is empty and is not committed").arg(file));
        git_oid blob, treeId;
        if (git_blob_create_from_workdir(&blob, repo, utf8(file).constData()) != 0
            || !treeWith(repo, tree, file.split(u'/'), blob, &treeId) || git_tree_lookup(tree.out(), repo, &treeId) != 0)
            return fail(error, gitError(QStringLiteral("%1 cannot be committed").arg(file)));
        named.trailers.append({QStringLiteral("Copy"), file});
    }
    Signature sig;
    if (!tree || !signatureOf(sig, note.author, note.time))
        return fail(error, gitError(QStringLiteral("The commit cannot be made")));
    const git_commit *parents[] = {parent.get()};
    git_oid commitId;
    if (git_commit_create(&commitId, repo, kBranch, sig, sig, "UTF-8", utf8(commitMessage(named)).constData(), tree,
                          parent ? 1 : 0, parents)
        != 0)
        return fail(error, gitError(QStringLiteral("The commit cannot be made")));
    // The index only spares the git program some hashing; the commit stands without it.
    Index index;
    if (git_repository_index(index.out(), repo) == 0 && git_index_read(index, 0) == 0) {
        for (const QString &file : files)
            git_index_add_bypath(index, utf8(file).constData());
        git_index_write(index);
    }
    return true;
}

bool HistoryRepo::commit(const QStringList &files, const CommitNote &note, QString *error)
{
    Locked lock(repoLock());
    if (!lock.held)
        return fail(error, lockProblem(*git_->lock, root_));
    if (!openLocked(error))
        return false;
    // What a killed process left uncommitted goes first, in its own commits.
    if (!takenIn_ && !takeIn(files, error))
        return false;
    return commitLocked(files, note, error);
}

bool HistoryRepo::makeShared(const QString &path, QString *error)
{
    useLibrary();
    git_repository_init_options options = GIT_REPOSITORY_INIT_OPTIONS_INIT;
    options.flags = GIT_REPOSITORY_INIT_MKPATH | GIT_REPOSITORY_INIT_BARE | GIT_REPOSITORY_INIT_NO_REINIT;
    options.initial_head = "main";
    Repository repo;
    if (git_repository_init_ext(repo.out(), QFile::encodeName(path).constData(), &options) != 0)
        return fail(error, gitError(QStringLiteral("No shared history can be made in %1").arg(QDir::toNativeSeparators(path))));
    return true;
}

bool HistoryRepo::setRemote(const QString &url, QString *error)
{
    if (!open(error))
        return false;
    // A password in the address is never stored: the token is given at each sync.
    QString kept = url.trimmed();
    QUrl parsed(kept);
    if (kept.contains(QLatin1String("://")) && parsed.isValid() && !parsed.password().isEmpty()) {
        parsed.setPassword({});
        kept = parsed.toString();
    } else if (!kept.contains(QLatin1String("://"))) {
        static const QRegularExpression scpPassword(QStringLiteral("^([^/@:]+):[^@/]*@([^/:]+:.*)$"));
        kept.replace(scpPassword, QStringLiteral("\\1@\\2"));
    }
    const QByteArray address = utf8(kept);
    if (address.isEmpty())
        return fail(error, QStringLiteral("No remote address was given"));
    Remote remote;
    const int found = git_remote_lookup(remote.out(), git_->repo, kRemote);
    const int done = found == 0 ? git_remote_set_url(git_->repo, kRemote, address.constData())
                                : git_remote_create(remote.out(), git_->repo, kRemote, address.constData());
    if (done != 0)
        return fail(error, gitError(QStringLiteral("The remote %1 cannot be set").arg(shownUrl(url))));
    return true;
}

QString HistoryRepo::remote() const
{
    if (!git_->repo && !const_cast<HistoryRepo *>(this)->open())
        return {};
    Remote remote;
    if (git_remote_lookup(remote.out(), git_->repo, kRemote) != 0)
        return {};
    return QString::fromUtf8(git_remote_url(remote));
}

namespace {

// The files a commit added to its first parent's tree.
bool addedFiles(git_repository *repo, git_commit *commit, QList<std::pair<QString, git_oid>> &files)
{
    Tree tree, parentTree;
    Commit parent;
    if (git_commit_tree(tree.out(), commit) != 0)
        return false;
    if (git_commit_parentcount(commit) > 0
        && (git_commit_parent(parent.out(), commit, 0) != 0 || git_commit_tree(parentTree.out(), parent) != 0))
        return false;
    Diff diff;
    if (git_diff_tree_to_tree(diff.out(), repo, parentTree, tree, nullptr) != 0)
        return false;
    for (size_t i = 0; i < git_diff_num_deltas(diff); ++i) {
        const git_diff_delta *d = git_diff_get_delta(diff, i);
        if (d->status != GIT_DELTA_DELETED)
            files.append({QString::fromUtf8(d->new_file.path), d->new_file.id});
    }
    return true;
}

QString replaceCopy(const QString &message, const QString &from, const QString &to)
{
    QString text = message;
    text.replace(QStringLiteral("\nCopy: ") + from + u'\n', QStringLiteral("\nCopy: ") + to + u'\n');
    return text;
}

bool writeBlob(git_repository *repo, const git_oid &id, const QString &path)
{
    Blob blob;
    if (git_blob_lookup(blob.out(), repo, &id) != 0)
        return false;
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    const auto size = qint64(git_blob_rawsize(blob));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
           && file.write(static_cast<const char *>(git_blob_rawcontent(blob)), size) == size && file.flush();
}

} // namespace

// Brings the folder, the index and the branch to the combined history a
// sync planned: my renamed copies move, the team's arrive, each file written
// again unless it holds what it should. Every step can be done twice, so a
// run cut short at any point is finished by the next.
bool HistoryRepo::settle(QString *error)
{
    const QString planPath = root_ + QLatin1String(kSyncPlan);
    QFile plan(planPath);
    if (!plan.exists())
        return true;
    if (!plan.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("%1 cannot be read").arg(QDir::toNativeSeparators(planPath)));
    const QList<QByteArray> lines = plan.readAll().split('\n');
    plan.close();
    git_repository *repo = git_->repo;
    git_oid target{}, before{}, current{};
    Commit commit;
    Tree tree;
    if (lines.size() < 2 || git_oid_fromstr(&target, lines[0].constData()) != 0
        || git_commit_lookup(commit.out(), repo, &target) != 0 || git_commit_tree(tree.out(), commit) != 0) {
        QFile::remove(planPath); // a plan cut short itself: nothing was touched yet
        return true;
    }
    const bool hadBranch = git_oid_fromstr(&before, lines[1].constData()) == 0;
    const int found = git_reference_name_to_id(&current, repo, kBranch);
    if (found == 0 && !git_oid_equal(&current, &target) && !(hadBranch && git_oid_equal(&current, &before))) {
        QFile::remove(planPath); // the branch went on without it: the plan is stale
        return true;
    }
    // Whether a file holds the blob already.
    const auto holds = [&](const QString &rel, const git_oid &id) {
        git_oid onDisk;
        const QString path = root_ + u'/' + rel;
        return QFileInfo(path).isFile()
               && git_odb_hashfile(&onDisk, QFile::encodeName(path).constData(), GIT_OBJECT_BLOB) == 0
               && git_oid_equal(&onDisk, &id);
    };
    Index index;
    if (git_repository_index(index.out(), repo) != 0 || git_index_read(index, 0) != 0)
        return fail(error, gitError(QStringLiteral("The history's index cannot be read")));
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QList<QByteArray> pair = lines[i].split('\t');
        if (pair.size() != 2)
            continue;
        const QString from = QString::fromUtf8(pair[0]), to = QString::fromUtf8(pair[1]);
        git_tree_entry *entry = nullptr;
        if (git_tree_entry_bypath(&entry, tree, pair[1].constData()) != 0)
            continue;
        const git_oid id = *git_tree_entry_id(entry);
        git_tree_entry_free(entry);
        if (!holds(to, id) && holds(from, id)) {
            QDir().mkpath(QFileInfo(root_ + u'/' + to).path());
            QFile::remove(root_ + u'/' + to);
            if (!QFile::rename(root_ + u'/' + from, root_ + u'/' + to))
                return fail(error, QStringLiteral("%1 cannot be renamed to %2").arg(from, to));
        }
        git_index_remove_bypath(index, pair[0].constData());
    }
    Index wanted;
    if (git_index_new(wanted.out()) != 0 || git_index_read_tree(wanted, tree) != 0)
        return fail(error, gitError(QStringLiteral("The team's history cannot be read")));
    for (size_t i = 0; i < git_index_entrycount(wanted); ++i) {
        const git_index_entry *e = git_index_get_byindex(wanted, i);
        const git_index_entry *here = git_index_get_bypath(index, e->path, 0);
        if (here && git_oid_equal(&here->id, &e->id))
            continue;
        const QString path = QString::fromUtf8(e->path);
        if ((!holds(path, e->id) && !writeBlob(repo, e->id, root_ + u'/' + path))
            || git_index_add_bypath(index, e->path) != 0)
            return fail(error, gitError(QStringLiteral("%1 cannot be written").arg(path)));
    }
    Reference moved;
    if (git_index_write(index) != 0
        || git_reference_create(moved.out(), repo, kBranch, &target, 1, "sync: on the team's history") != 0)
        return fail(error, gitError(QStringLiteral("The history cannot be updated")));
    QFile::remove(planPath);
    return true;
}

SyncResult HistoryRepo::sync(const SyncOptions &options)
{
    SyncResult result;
    QString error;
    Locked lock(repoLock());
    if (!lock.held) {
        result.error = lockProblem(*git_->lock, root_);
        return result;
    }
    if (!openLocked(&error) || !takeIn({}, &error)) {
        result.error = error;
        return result;
    }
    git_repository *repo = git_->repo;
    Remote remote;
    if (git_remote_lookup(remote.out(), repo, kRemote) != 0) {
        result.error = QStringLiteral("No remote is set for the history; set one first");
        return result;
    }
    const QString shown = shownUrl(QString::fromUtf8(git_remote_url(remote)));
    Credentials credentials{utf8(options.token)};

    for (int attempt = 1; attempt <= std::max(1, options.attempts); ++attempt) {
        credentials.calls = 0;
        credentials.triedAgent = false;
        git_fetch_options fetch = GIT_FETCH_OPTIONS_INIT;
        fetch.callbacks.credentials = credentialsFor;
        fetch.callbacks.payload = &credentials;
        fetch.prune = GIT_FETCH_PRUNE;
        const char *refs = "+refs/heads/*:refs/remotes/origin/*";
        git_strarray fetched{const_cast<char **>(&refs), 1};
        if (git_remote_fetch(remote, &fetched, &fetch, "sync") != 0) {
            result.error = gitError(QStringLiteral("The remote %1 cannot be reached; the copies stay here and are "
                                                   "shared at the next sync")
                                        .arg(shown));
            return result;
        }
        if (options.fetched)
            options.fetched(attempt);

        git_oid local{}, team{};
        const bool haveLocal = git_reference_name_to_id(&local, repo, kBranch) == 0;
        const bool haveTeam = git_reference_name_to_id(&team, repo, kTracking) == 0;
        if (!haveTeam) {
            // Branches of something else, but none of a history: not ours to push into.
            git_reference_iterator *it = nullptr;
            bool other = false;
            if (git_reference_iterator_glob_new(&it, repo, "refs/remotes/origin/*") == 0) {
                git_reference *ref = nullptr;
                other = git_reference_next(&ref, it) == 0;
                if (ref)
                    git_reference_free(ref);
                git_reference_iterator_free(it);
            }
            if (other) {
                result.error = QStringLiteral("The remote %1 holds something other than a service history; "
                                              "nothing was sent").arg(shown);
                return result;
            }
        } else {
            // A history holds folders only: files at its top are someone else's repository.
            Commit teamCommit;
            Tree teamTree;
            if (git_commit_lookup(teamCommit.out(), repo, &team) != 0
                || git_commit_tree(teamTree.out(), teamCommit) != 0) {
                result.error = gitError(QStringLiteral("The history of %1 cannot be read").arg(shown));
                return result;
            }
            for (size_t i = 0; i < git_tree_entrycount(teamTree); ++i) {
                if (git_tree_entry_type(git_tree_entry_byindex(teamTree, i)) != GIT_OBJECT_TREE) {
                    result.error = QStringLiteral("The remote %1 holds something other than a service history; "
                                                  "nothing was sent").arg(shown);
                    return result;
                }
            }
        }
        if (!haveLocal && !haveTeam) {
            result.ok = true; // nothing anywhere yet
            return result;
        }

        // This computer's commits that the team lacks, oldest first.
        QList<git_oid> mine;
        if (haveLocal) {
            Walk walk;
            git_revwalk_new(walk.out(), repo);
            git_revwalk_sorting(walk, GIT_SORT_TOPOLOGICAL | GIT_SORT_REVERSE);
            git_revwalk_push(walk, &local);
            if (haveTeam)
                git_revwalk_hide(walk, &team);
            git_oid id;
            while (git_revwalk_next(&id, walk) == 0)
                mine.append(id);
        }

        git_oid newHead = haveLocal ? local : team;
        Index scratch; // the team's tree, then each of mine on top
        Index index;
        if (git_repository_index(index.out(), repo) != 0 || git_index_read(index, 0) != 0) {
            result.error = gitError(QStringLiteral("The history's index cannot be read"));
            return result;
        }
        QList<std::pair<QString, QString>> renames; // old, new
        int sent = 0;
        if (haveTeam) {
            const bool alreadyOn = haveLocal && git_graph_descendant_of(repo, &local, &team) == 1;
            Commit teamCommit;
            Tree teamTree;
            git_commit_lookup(teamCommit.out(), repo, &team);
            git_commit_tree(teamTree.out(), teamCommit);
            if (!alreadyOn) {
                if (git_index_new(scratch.out()) != 0 || git_index_read_tree(scratch, teamTree) != 0) {
                    result.error = gitError(QStringLiteral("The team's history cannot be read"));
                    return result;
                }
                newHead = team;
                for (const git_oid &id : mine) {
                    Commit c;
                    QList<std::pair<QString, git_oid>> files;
                    if (git_commit_lookup(c.out(), repo, &id) != 0 || !addedFiles(repo, c, files)) {
                        result.error = gitError(QStringLiteral("A commit of the history cannot be read"));
                        return result;
                    }
                    QString message = QString::fromUtf8(git_commit_message(c));
                    for (auto [path, blob] : files) {
                        const git_index_entry *there = git_index_get_bypath(scratch, utf8(path).constData(), 0);
                        if (there && git_oid_equal(&there->id, &blob))
                            continue; // the same file: the team has it already
                        QString target = path;
                        if (there) {
                            target = freeName(path, [&](const QString &name) {
                                return git_index_get_bypath(scratch, utf8(name).constData(), 0) != nullptr
                                       || QFileInfo::exists(root_ + u'/' + name);
                            });
                            renames.append({path, target});
                            message = replaceCopy(message, path, target);
                        }
                        git_index_entry entry{};
                        const QByteArray name = utf8(target);
                        entry.path = name.constData();
                        entry.mode = GIT_FILEMODE_BLOB;
                        entry.id = blob;
                        if (git_index_add(scratch, &entry) != 0) {
                            result.error = gitError(QStringLiteral("The histories cannot be combined"));
                            return result;
                        }
                        ++sent;
                    }
                    git_oid treeId, made;
                    Tree tree;
                    Commit parent;
                    if (git_index_write_tree_to(&treeId, scratch, repo) != 0
                        || git_tree_lookup(tree.out(), repo, &treeId) != 0
                        || git_commit_lookup(parent.out(), repo, &newHead) != 0) {
                        result.error = gitError(QStringLiteral("The histories cannot be combined"));
                        return result;
                    }
                    const git_commit *parents[] = {parent.get()};
                    if (git_commit_create(&made, repo, nullptr, git_commit_author(c), git_commit_committer(c),
                                          "UTF-8", utf8(message).constData(), tree, 1, parents)
                        != 0) {
                        result.error = gitError(QStringLiteral("The histories cannot be combined"));
                        return result;
                    }
                    newHead = made;
                }
                // The copies the team adds here; a renamed copy of mine is no news.
                QSet<QString> targets;
                for (const auto &[from, to] : renames)
                    targets.insert(to);
                int received = 0;
                for (size_t i = 0; i < git_index_entrycount(scratch); ++i) {
                    const git_index_entry *e = git_index_get_byindex(scratch, i);
                    const git_index_entry *here = git_index_get_bypath(index, e->path, 0);
                    if (!(here && git_oid_equal(&here->id, &e->id)) && !targets.contains(QString::fromUtf8(e->path)))
                        ++received;
                }
                // The folder follows the combined history as the plan written
                // first says, so that a sync cut short is finished by the next run.
                QSaveFile plan(root_ + QLatin1String(kSyncPlan));
                QByteArray text = QByteArray(git_oid_tostr_s(&newHead)) + '\n'
                                  + (haveLocal ? QByteArray(git_oid_tostr_s(&local)) : QByteArray()) + '\n';
                for (const auto &[from, to] : renames)
                    text += utf8(from) + '\t' + utf8(to) + '\n';
                if (!plan.open(QIODevice::WriteOnly) || plan.write(text) != text.size() || !plan.commit()) {
                    result.error = QStringLiteral("The history's repository in %1 cannot be written")
                                       .arg(QDir::toNativeSeparators(root_));
                    return result;
                }
                if (!settle(&error)) {
                    result.error = error;
                    return result;
                }
                result.received = received;
                result.renamed = int(renames.size());
            } else {
                for (const git_oid &id : mine) {
                    Commit c;
                    QList<std::pair<QString, git_oid>> files;
                    if (git_commit_lookup(c.out(), repo, &id) == 0 && addedFiles(repo, c, files))
                        sent += int(files.size());
                }
            }
        } else {
            for (const git_oid &id : mine) {
                Commit c;
                QList<std::pair<QString, git_oid>> files;
                if (git_commit_lookup(c.out(), repo, &id) == 0 && addedFiles(repo, c, files))
                    sent += int(files.size());
            }
        }

        if (haveTeam && git_oid_equal(&newHead, &team)) {
            result.ok = true;
            result.sent = 0;
            return result;
        }
        git_push_options push = GIT_PUSH_OPTIONS_INIT;
        PushStatus status;
        credentials.calls = 0;
        credentials.triedAgent = false;
        push.callbacks.credentials = credentialsFor;
        push.callbacks.push_update_reference = pushUpdate;
        push.callbacks.payload = &credentials;
        // The status callback shares the payload; keep it apart.
        struct Both {
            Credentials *c;
            PushStatus *s;
        } both{&credentials, &status};
        push.callbacks.payload = &both;
        push.callbacks.credentials = [](git_credential **out, const char *url, const char *user, unsigned int allowed,
                                        void *payload) {
            return credentialsFor(out, url, user, allowed, static_cast<Both *>(payload)->c);
        };
        push.callbacks.push_update_reference = [](const char *ref, const char *msg, void *payload) {
            return pushUpdate(ref, msg, static_cast<Both *>(payload)->s);
        };
        const char *pushSpec = "refs/heads/main:refs/heads/main";
        git_strarray pushSpecs{const_cast<char **>(&pushSpec), 1};
        const int pushed = git_remote_push(remote, &pushSpecs, &push);
        if (pushed == 0 && status.refused.isEmpty()) {
            Reference tracking;
            git_reference_create(tracking.out(), repo, kTracking, &newHead, 1, "sync: pushed");
            result.ok = true;
            result.sent = sent;
            return result;
        }
        // Refused as not a fast-forward: the remote moved since the fetch; once more.
        const QString why = pushed != 0 ? gitError(QStringLiteral("push")) : status.refused;
        const bool moved = why.contains(QLatin1String("fast-forward"), Qt::CaseInsensitive)
                           || why.contains(QLatin1String("fastforward"), Qt::CaseInsensitive)
                           || why.contains(QLatin1String("fetch first"), Qt::CaseInsensitive)
                           || why.contains(QLatin1String("non-fast"), Qt::CaseInsensitive)
                           || why.contains(QLatin1String("rejected"), Qt::CaseInsensitive)
                           || why.contains(QLatin1String("not present locally"), Qt::CaseInsensitive)
                           // Another push holding the remote's ref at that moment.
                           || why.contains(QLatin1String("failed to update ref"), Qt::CaseInsensitive)
                           || why.contains(QLatin1String("failed to lock"), Qt::CaseInsensitive);
        if (!moved) {
            result.error = QStringLiteral("The remote %1 refused the copies: %2").arg(shown, why);
            return result;
        }
    }
    result.error = QStringLiteral("The remote %1 kept changing; try to sync again").arg(shown);
    return result;
}

int HistoryRepo::unshared(const QString &suffix)
{
    if (remote().isEmpty())
        return -1;
    git_repository *repo = git_->repo;
    git_oid local{}, team{};
    if (git_reference_name_to_id(&local, repo, kBranch) != 0)
        return 0;
    Commit localCommit, teamCommit;
    Tree localTree, teamTree;
    if (git_commit_lookup(localCommit.out(), repo, &local) != 0 || git_commit_tree(localTree.out(), localCommit) != 0)
        return -1;
    if (git_reference_name_to_id(&team, repo, kTracking) == 0) {
        if (git_commit_lookup(teamCommit.out(), repo, &team) != 0 || git_commit_tree(teamTree.out(), teamCommit) != 0)
            return -1;
    }
    Diff diff;
    if (git_diff_tree_to_tree(diff.out(), repo, teamTree, localTree, nullptr) != 0)
        return -1;
    int count = 0;
    for (size_t i = 0; i < git_diff_num_deltas(diff); ++i) {
        const git_diff_delta *d = git_diff_get_delta(diff, i);
        if (d->status == GIT_DELTA_ADDED && QString::fromUtf8(d->new_file.path).endsWith(suffix))
            ++count;
    }
    return count;
}

QHash<QString, CopyCommit> HistoryRepo::copies(QString *error)
{
    QHash<QString, CopyCommit> found;
    if (!git_->repo && !open(error))
        return found;
    git_repository *repo = git_->repo;
    git_oid head;
    if (git_reference_name_to_id(&head, repo, kBranch) != 0)
        return found;
    Walk walk;
    git_revwalk_new(walk.out(), repo);
    git_revwalk_sorting(walk, GIT_SORT_TOPOLOGICAL);
    git_revwalk_push(walk, &head);
    git_oid id;
    while (git_revwalk_next(&id, walk) == 0) {
        Commit c;
        if (git_commit_lookup(c.out(), repo, &id) != 0) {
            fail(error, gitError(QStringLiteral("A commit of the history cannot be read")));
            continue;
        }
        const QHash<QString, QString> trailers = trailersOf(git_commit_message(c));
        const auto copy = trailers.find(QStringLiteral("Copy"));
        if (copy == trailers.end())
            continue;
        const git_signature *author = git_commit_author(c);
        for (const QString &path : copy->split(u'\n')) {
            if (found.contains(path)) // the newest commit naming a file wins
                continue;
            CopyCommit info;
            info.path = path;
            info.author = {QString::fromUtf8(author->name), QString::fromUtf8(author->email)};
            info.time = QDateTime::fromSecsSinceEpoch(author->when.time, QTimeZone::utc());
            info.trailers = trailers;
            info.trailers.remove(QStringLiteral("Copy"));
            found.insert(path, info);
        }
    }
    return found;
}
