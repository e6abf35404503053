#include "provisioncommand.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTextStream>
#include <utility>

#ifndef Q_OS_WIN
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include "link/provisioning.h"

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

void stopOnSignals(Provisioner &provisioner)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &provisioner);
    QObject::connect(notifier, &QSocketNotifier::activated, &provisioner, [&provisioner, told = false]() mutable {
        char bytes[16];
        [[maybe_unused]] const ssize_t n = ::read(signalPipe[0], bytes, sizeof bytes);
        if (std::exchange(told, true))
            return;
        printError("Stopping after the current unit.");
        provisioner.stop();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}
#else
void stopOnSignals(Provisioner &) {}
#endif

void tell(Provisioner &provisioner, const QString &port)
{
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
    // The line that did not reach the report goes to standard error, so that
    // the run's record is not lost with it.
    QObject::connect(&provisioner, &Provisioner::reportFailed, [](const FileFailure &failure, const ProvisionRecord &record) {
        printError(fileFailureMessage(failure) + QStringLiteral(" The run stops; this unit's report line was not written:"));
        printError(QString::fromUtf8(ProvisionReport(failure.path).line(record)).trimmed());
    });
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
    FileFailure failure;
    if (!report.load(&failure)) {
        printError(fileFailureMessage(failure));
        return ExitFileError;
    }
    s.useLink(a.link);
    Provisioner provisioner(s.unit(), s.sections(), report);
    stopOnSignals(provisioner);
    tell(provisioner, a.link.port);
    if (!a.modemColumn.isEmpty())
        return provisioner.callEach(plan(), a.link.port) ? ExitOk : ExitNoAnswer;
    ConnectRequest request;
    request.port = a.link.port;
    request.modemNumber = a.link.modemNumber;
    return provisioner.run(plan(), request) ? ExitOk : ExitNoAnswer;
}
