#include "historycommands.h"

#include <QDir>
#include <QTextStream>

#include "files/historyfleet.h"
#include "files/servicehistory.h"

namespace {

QTextStream &stdOut()
{
    static QTextStream stream(stdout);
    return stream;
}

// A message as a sentence: one full stop, whatever the text ends with.
QString sentence(const QString &text)
{
    return text.endsWith(u'.') ? text : text + u'.';
}

QString stamp(const QDateTime &time) { return time.toUTC().toString(Qt::ISODate); }

// A field of tab-separated output: a name from another team's commit may hold
// a tab or a line break, which would split the row.
QString cell(QString text)
{
    for (QChar &c : text)
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    return text;
}

int listUnits(const ServiceHistory &history)
{
    for (const QString &unit : history.units())
        stdOut() << unit << Qt::endl;
    return ExitOk;
}

// A unit's copies newest first: UTC time, kind, file and technician.
int listCopies(const ServiceHistory &history, const QString &serial)
{
    const QList<HistoryEntry> entries = history.entries(serial);
    if (entries.isEmpty()) {
        printError(QStringLiteral("No operations are kept for unit %1 in %2.")
                       .arg(serial, QDir::toNativeSeparators(history.root())));
        return ExitOk;
    }
    const QHash<QString, CopyCommit> copies = history.repository().copies();
    const QDir root(history.root());
    for (const HistoryEntry &e : entries) {
        const CopyCommit copy = copies.value(root.relativeFilePath(e.path));
        stdOut() << stamp(e.time) << '\t' << ServiceHistory::kindWord(e.kind) << '\t'
                 << QDir::toNativeSeparators(e.path) << '\t' << cell(copy.author.name) << Qt::endl;
    }
    return ExitOk;
}

int setRemote(const ServiceHistory &history, const QString &url)
{
    QString error;
    if (!history.repository().setRemote(url, &error)) {
        printError(sentence(error));
        return ExitFileError;
    }
    stdOut() << "remote " << HistoryRepo::shownUrl(url) << Qt::endl;
    return ExitOk;
}

int sync(const ServiceHistory &history)
{
    SyncOptions options;
    // An https remote's token comes from the environment, never from a file of ours.
    options.token = qEnvironmentVariable("VELKAN_HISTORY_TOKEN");
    const SyncResult result = history.repository().sync(options);
    if (!result.ok) {
        printError(sentence(result.error));
        const int waiting = history.repository().unshared();
        if (waiting > 0)
            printError(QStringLiteral("Copies waiting to be shared: %1.").arg(waiting));
        return ExitNoAnswer;
    }
    stdOut() << "sent " << result.sent << ", received " << result.received;
    if (result.renamed > 0)
        stdOut() << ", renamed " << result.renamed;
    stdOut() << Qt::endl;
    return ExitOk;
}

// SECTION.KEY as the file names them ("GENERAL.NOMBRE").
int who(const ServiceHistory &history, const QString &serial, const QString &name)
{
    const qsizetype dot = name.indexOf(u'.');
    if (dot <= 0 || dot == name.size() - 1) {
        printError(QStringLiteral("The key is SECTION.KEY as the configuration file names it (GENERAL.NOMBRE)."));
        return ExitUsage;
    }
    const KeyChange change = lastChange(history, serial, name.left(dot), name.mid(dot + 1));
    if (!change.known) {
        printError(QStringLiteral("No copy of unit %1 holds %2.").arg(serial, name));
        return ExitNoAnswer;
    }
    stdOut() << stamp(change.time) << '\t' << cell(change.technician) << '\t' << change.operation << '\t' << cell(change.value)
             << '\t' << QDir::toNativeSeparators(change.path) << Qt::endl;
    return ExitOk;
}

} // namespace

int historyCommand(CliSession &s, const CommandArgs &a)
{
    const ServiceHistory &history = s.history();
    const QStringList &p = a.positional;
    if (p.isEmpty())
        return listUnits(history);
    if (p.at(0) == QLatin1String("remote") && p.size() == 2)
        return setRemote(history, p.at(1));
    if (p.at(0) == QLatin1String("sync") && p.size() == 1)
        return sync(history);
    if (p.at(0) == QLatin1String("who") && p.size() == 3)
        return who(history, p.at(1), p.at(2));
    if (p.size() == 1)
        return listCopies(history, p.at(0));
    printError(QStringLiteral("Usage: velkan-cli history [SERIAL | remote URL | sync | who SERIAL SECTION.KEY]"));
    return ExitUsage;
}

int unitsCommand(CliSession &s, const CommandArgs &)
{
    stdOut() << "serial\tname\tlast operation\ttime\ttechnician\tfirmware\tlast write" << Qt::endl;
    for (const FleetUnit &u : fleetUnits(s.history()))
        stdOut() << u.serial << '\t' << cell(u.name) << '\t' << u.lastOperation << '\t' << stamp(u.lastTime) << '\t'
                 << cell(u.technician) << '\t' << u.firmware << '\t' << u.lastWrite << Qt::endl;
    return ExitOk;
}
