#include "provisioncommand.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTextStream>
#include <algorithm>
#include <functional>
#include <utility>

#ifndef Q_OS_WIN
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include "files/provisionprogress.h"
#include "link/provisioning.h"
#include "link/provisionworkers.h"

namespace {

ProvisionPlan &plan()
{
    static ProvisionPlan p;
    return p;
}

QString reportPath(const CommandArgs &a)
{
    return a.report.isEmpty() ? ProvisionReport::besideTable(a.positional.at(1)) : a.report;
}

// The file a path names once links and "." or ".." are resolved; a file not
// there yet by its folder's resolved path.
QString resolvedPath(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists())
        return info.canonicalFilePath();
    const QString folder = info.absoluteDir().canonicalPath();
    return folder.isEmpty() ? info.absoluteFilePath() : QDir(folder).filePath(info.fileName());
}

#ifndef Q_OS_WIN
// Ctrl-C and SIGTERM end the run once the current unit is written: a signal
// only wakes the event loop through a socket pair. The bytes are read, or the
// notifier would fire again on every turn of the loop.
int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

void stopOnSignals(QObject *context, const std::function<void()> &stop, bool quiet)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context, [stop, quiet, told = false]() mutable {
        char bytes[16];
        [[maybe_unused]] const ssize_t n = ::read(signalPipe[0], bytes, sizeof bytes);
        if (std::exchange(told, true))
            return;
        if (!quiet)
            printError("Stopping after the current unit.");
        stop();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}
#else
void stopOnSignals(QObject *, const std::function<void()> &, bool) {}
#endif

void printEvent(const ProvisionEvent &e)
{
    QTextStream(stdout) << e.jsonLine() << Qt::flush;
}

void tell(Provisioner &provisioner, const QString &port, bool json)
{
    if (json) {
        QObject::connect(&provisioner, &Provisioner::waiting, [port](const QString &last) {
            printEvent({port, QStringLiteral("waiting"), last, 0, {}, {}, 0});
        });
        QObject::connect(&provisioner, &Provisioner::started, [port](const QString &serial) {
            printEvent({port, QStringLiteral("writing"), serial, 0, {}, {}, 0});
        });
        QObject::connect(&provisioner, &Provisioner::finished,
                         [port](const ProvisionRecord &r) { printEvent(ProvisionEvent::ofRecord(port, r)); });
    } else {
        QObject::connect(&provisioner, &Provisioner::waiting, [port](const QString &last) {
            printError(last.isEmpty() ? QStringLiteral("Waiting for a unit on %1 (Ctrl-C ends).").arg(port)
                                      : QStringLiteral("Connect the next unit on %1 (Ctrl-C ends).").arg(port));
        });
        QObject::connect(&provisioner, &Provisioner::started,
                         [](const QString &serial) { printError(QStringLiteral("Unit %1: writing.").arg(serial)); });
        QObject::connect(&provisioner, &Provisioner::finished, [](const ProvisionRecord &r) {
            QTextStream(stdout) << r.serial << '\t' << ProvisionReport::statusWord(r.status) << '\t'
                                << (r.detail.isEmpty() ? QDir::toNativeSeparators(r.historyFile) : r.detail)
                                << Qt::endl;
        });
    }
    // The line that did not reach the report goes to standard error, so that
    // the run's record is not lost with it.
    QObject::connect(&provisioner, &Provisioner::reportFailed,
                     [port, json](const FileFailure &failure, const ProvisionRecord &record) {
        printError(fileFailureMessage(failure) + QStringLiteral(" The run stops; this unit's report line was not written:"));
        printError(QString::fromUtf8(ProvisionReport(failure.path).line(record)).trimmed());
        if (json)
            printEvent({port, QStringLiteral("report-failed"), record.serial, 0, {}, fileFailureMessage(failure), 0});
    });
}

// The option and its value removed from a command line, in both spellings.
void dropOption(QStringList &arguments, const QString &name)
{
    const QString joined = QStringLiteral("--%1=").arg(name);
    for (qsizetype i = 0; i < arguments.size();) {
        if (arguments.at(i) == QLatin1String("--"))
            break;
        if (arguments.at(i) == QLatin1String("--") + name)
            arguments.remove(i, std::min<qsizetype>(2, arguments.size() - i));
        else if (arguments.at(i).startsWith(joined))
            arguments.remove(i);
        else
            ++i;
    }
}

// The trace of a port's worker: "FILE" becomes "FILE-PORT" before its suffix.
QString traceOfPort(const QString &trace, const QString &port)
{
    const QFileInfo file(trace);
    QString tag = QFileInfo(port).fileName();
    for (QChar &c : tag)
        if (!c.isLetterOrNumber() && c != u'-' && c != u'_')
            c = u'_';
    const QString name = file.completeSuffix().isEmpty()
                             ? file.fileName() + u'-' + tag
                             : file.baseName() + u'-' + tag + u'.' + file.completeSuffix();
    return file.dir().filePath(name);
}

// This command line for one port's worker: the same options and files, that
// one port, progress as JSON lines, and where the shared run began.
QStringList workerArguments(const QString &port, const QString &report, qint64 runStart)
{
    QStringList arguments = QCoreApplication::arguments().mid(1);
    const QString trace = [&] {
        for (qsizetype i = 0; i + 1 < arguments.size(); ++i)
            if (arguments.at(i) == QLatin1String("--trace"))
                return arguments.at(i + 1);
        for (const QString &a : std::as_const(arguments))
            if (a.startsWith(QLatin1String("--trace=")))
                return a.mid(8);
        return QString();
    }();
    for (const char *name : {"port", "progress", "report", "trace", "run-start"})
        dropOption(arguments, QString::fromLatin1(name));
    QStringList own{"--port", port, "--progress", "json", "--report", report, "--run-start", QString::number(runStart)};
    if (!trace.isEmpty())
        own << "--trace" << traceOfPort(trace, port);
    return own + arguments;
}

// The run on several ports: one worker process per port, followed here.
int provisionOnPorts(const CommandArgs &a)
{
    const QString report = QFileInfo(reportPath(a)).absoluteFilePath();
    qint64 runStart = 0;
    {
        const ProvisionReportLock lock(report);
        if (!lock.held()) {
            printError(QStringLiteral("No lock file can be made beside the report %1: on several ports the same unit "
                                      "could be written twice. Nothing was sent.")
                           .arg(QDir::toNativeSeparators(report)));
            return ExitFileError;
        }
        runStart = QFileInfo::exists(report) ? QFileInfo(report).size() : 0;
    }
    ProvisionWorkers workers;
    stopOnSignals(&workers, [&workers] { workers.stop(); }, false);
    QObject::connect(&workers, &ProvisionWorkers::errorLine,
                     [](const QString &, const QString &line) { printError(line); });
    QObject::connect(&workers, &ProvisionWorkers::event, [json = a.progressJson](const ProvisionEvent &e) {
        if (json)
            return printEvent(e);
        if (e.state == QLatin1String("waiting"))
            printError(e.serial.isEmpty() ? QStringLiteral("Waiting for a unit on %1 (Ctrl-C ends).").arg(e.port)
                                          : QStringLiteral("Connect the next unit on %1 (Ctrl-C ends).").arg(e.port));
        else if (e.state == QLatin1String("writing"))
            printError(QStringLiteral("Unit %1 on %2: writing.").arg(e.serial, e.port));
        else if (e.state == QLatin1String("ended"))
            printError(e.status == 0 ? QStringLiteral("%1: done.").arg(e.port)
                                     : QStringLiteral("%1: ended with status %2.").arg(e.port).arg(e.status));
        else if (e.state != QLatin1String("report-failed"))
            QTextStream(stdout) << e.port << '\t' << e.serial << '\t' << e.state << '\t'
                                << (e.detail.isEmpty() ? QDir::toNativeSeparators(e.history) : e.detail) << Qt::endl;
    });
    QEventLoop loop;
    QObject::connect(&workers, &ProvisionWorkers::finished, &loop, &QEventLoop::quit);
    workers.start(QCoreApplication::applicationFilePath(), a.ports,
                  [&](const QString &port) { return workerArguments(port, report, runStart); });
    if (workers.isRunning())
        loop.exec();
    return workers.exitStatus();
}

} // namespace

int checkProvision(CliSession &s, const CommandArgs &a)
{
    if (a.link.port.isEmpty()) {
        printError("provision needs --port.");
        return ExitUsage;
    }
    if (!a.modemColumn.isEmpty() && (a.link.key.isEmpty() || a.allowUnlisted)) {
        printError("--modem-column needs the access key (--key-file, --key - or --key), and calls only the units in the table (no --allow-unlisted).");
        return ExitUsage;
    }
    // Waiting for the next unit on a modem would call the same number again
    // and again: each unit is called at its own number from the table.
    if (!a.link.modemNumber.isEmpty() && a.modemColumn.isEmpty()) {
        printError("provision through a modem calls each unit at its own number: name the table's column of numbers with --modem-column instead of --modem.");
        return ExitUsage;
    }
    const QString report = resolvedPath(reportPath(a));
    for (const QString &input : {a.positional.at(0), a.positional.at(1)})
        if (report == resolvedPath(input)) {
            printError(QStringLiteral("The report %1 is %2 itself: name another file with --report.")
                           .arg(QDir::toNativeSeparators(reportPath(a)),
                                input == a.positional.at(0) ? QStringLiteral("the template") : QStringLiteral("the units table")));
            return ExitUsage;
        }
    ProvisionPlan &p = plan();
    const QString unitsPath = a.positional.at(1);
    QList<UnitsTableFault> faults;
    FileFailure failure;
    if (!p.load(a.positional.at(0), unitsPath, s.sections(), a.modemColumn, faults, &failure)) {
        printError(fileFailureMessage(failure));
        return ExitFileError;
    }
    p.again = a.again;
    p.allowUnlisted = a.allowUnlisted;
    for (const UnitsTableFault &f : faults)
        printError(f.line == 0 ? QStringLiteral("%1: %2").arg(unitsPath, f.message)
                               : QStringLiteral("%1:%2:%3: %4").arg(unitsPath).arg(f.line).arg(f.column).arg(f.message));
    if (!faults.isEmpty()) {
        printError("Nothing was sent: correct the table.");
        return ExitFileError;
    }
    return ExitOk;
}

int provision(CliSession &s, const CommandArgs &a)
{
    ProvisionReport report(reportPath(a));
    report.setRunStart(a.runStart);
    FileFailure failure;
    if (!report.load(&failure)) {
        printError(fileFailureMessage(failure));
        return ExitFileError;
    }
    if (a.ports.size() > 1)
        return provisionOnPorts(a);
    s.useLink(a.link);
    Provisioner provisioner(s.unit(), s.sections(), report);
    // A worker's stop is told once, by the run that started it.
    stopOnSignals(&provisioner, [&provisioner] { provisioner.stop(); }, a.runStart >= 0);
    tell(provisioner, a.link.port, a.progressJson);
    if (!a.modemColumn.isEmpty())
        return provisioner.callEach(plan(), a.link.port) ? ExitOk : ExitNoAnswer;
    ConnectRequest request;
    request.port = a.link.port;
    request.modemNumber = a.link.modemNumber;
    return provisioner.run(plan(), request) ? ExitOk : ExitNoAnswer;
}
