#include "clisession.h"

#include <QDir>
#include <QTextStream>
#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

#include "files/atomicsave.h"
#include "link/qtserialport.h"
#include "sections/sectionlist.h"

void printError(const QString &message)
{
    QTextStream(stderr) << message << Qt::endl;
}

bool errorIsTerminal()
{
    return isatty(fileno(stderr));
}

void ProgressLine::show(const QString &text, bool now)
{
    constexpr int kIntervalMs = 250;
    if (!now && shown_.isValid() && shown_.elapsed() < kIntervalMs)
        return;
    shown_.start();
    QTextStream err(stderr);
    err << '\r' << text.leftJustified(width_) << Qt::flush;
    width_ = int(text.size());
}

void ProgressLine::clear()
{
    if (width_ == 0)
        return;
    QTextStream(stderr) << '\r' << QString(width_, u' ') << '\r' << Qt::flush;
    width_ = 0;
}

QString linkFailureMessage(const LinkFailure &f)
{
    switch (f.error) {
    case LinkError::None:
        return {};
    case LinkError::PortMissing:
        return QStringLiteral("Cannot connect on %1: no such port.").arg(f.port);
    case LinkError::PortInUse:
        return QStringLiteral("Cannot connect on %1: the port is in use by another program.").arg(f.port);
    case LinkError::PortPermission:
        return QStringLiteral("Cannot connect on %1: permission denied (the user must be in the dialout group).")
            .arg(f.port);
    case LinkError::PortOther:
        return QStringLiteral("Cannot connect on %1: %2.").arg(f.port, f.detail);
    case LinkError::PortLost:
        return QStringLiteral("The port %1 was lost.").arg(f.port);
    case LinkError::NoAnswer:
        return QStringLiteral("The unit on %1 did not answer.").arg(f.port);
    case LinkError::Refused:
        return QStringLiteral("The unit on %1 refused the access key.").arg(f.port);
    case LinkError::BadAnswer:
        return QStringLiteral("The unit on %1 sent an unexpected answer.").arg(f.port);
    case LinkError::ModemBusy:
    case LinkError::ModemNoCarrier:
    case LinkError::ModemNoDialtone:
    case LinkError::ModemNoAnswer:
    case LinkError::ModemError:
        return QStringLiteral("The modem on %1 answered %2.").arg(f.port, f.detail);
    case LinkError::SimulatorFailed:
        return QStringLiteral("The simulated unit did not start: %1.").arg(f.detail);
    case LinkError::Busy:
        return QStringLiteral("Another operation is using the link on %1.").arg(f.port);
    case LinkError::BadNumber:
        return QStringLiteral("Nothing was dialled on %1: the phone number holds characters the modem cannot dial.")
            .arg(f.port);
    }
    return {};
}

QString fileFailureMessage(const FileFailure &f)
{
    switch (f.problem) {
    case FileProblem::None:
        return {};
    case FileProblem::NoName:
        return QStringLiteral("No file name was given.");
    case FileProblem::Unreadable:
        return QStringLiteral("Cannot read %1: %2.").arg(f.path, f.detail);
    case FileProblem::TooLarge:
        return QStringLiteral("%1 is too large to be a configuration file.").arg(f.path);
    case FileProblem::NotText:
        return QStringLiteral("%1 is not a text file, so not a configuration file.").arg(f.path);
    case FileProblem::Unwritable:
        return QStringLiteral("Cannot save %1: %2.").arg(f.path, f.detail);
    case FileProblem::NotConfiguration:
        return QStringLiteral("%1 is not a configuration file of this product.").arg(f.path);
    case FileProblem::NotReplaced:
        return QStringLiteral("%1 is not a configuration file of this product, so it was not written over; "
                              "name another file.")
            .arg(f.path);
    }
    return {};
}

CliSession::CliSession()
    : comms_(std::make_unique<Comms>(std::make_unique<QtSerialPort>())),
      unit_(std::make_unique<UnitConnection>(*comms_)),
      history_(ServiceHistory::defaultRoot())
{
    registerSections(sections_);
    sections_.clearAll(store_);
    unit_->maskSecretsOf(sections_);
    QObject::connect(unit_.get(), &UnitConnection::portLost, unit_.get(),
                     [](const LinkFailure &failure) { printError(linkFailureMessage(failure)); });
    // Told after the command's own error, when the session ends.
    QObject::connect(unit_.get(), &UnitConnection::traceKept, unit_.get(),
                     [this](const QString &path) { keptTraces_ << path; });
    history_.repositoryProblem = [](const QString &problem) {
        printError(QStringLiteral("Warning: the copy is kept but not committed to the history's repository: ")
                   + problem + u'.');
    };
}

CliSession::~CliSession()
{
    unit_->disconnectUnit();
    for (const QString &path : std::as_const(keptTraces_))
        printError(QStringLiteral("The trace of the failed transfer is in %1").arg(QDir::toNativeSeparators(path)));
    QString error;
    if (!traceFile_.isEmpty() && !SaveWholeFile(traceFile_, unit_->traceText(true), &error))
        printError(QStringLiteral("Cannot save the trace %1: %2.").arg(traceFile_, error));
}

void CliSession::keepHistory()
{
    unit_->keepHistory(&history_);
    QObject::connect(unit_.get(), &UnitConnection::historyFailed, unit_.get(), [](const FileFailure &failure) {
        printError(QStringLiteral("Warning: no service history copy was kept. ") + fileFailureMessage(failure));
    });
}

void CliSession::useLink(const LinkOptions &options)
{
    if (options.fastLink)
        comms_->timings = LinkTimings::fast();
    if (options.answerTimeoutMs > 0) {
        LinkTimings &t = comms_->timings;
        t.cableAnswer = options.answerTimeoutMs;
        t.modemAnswer = options.answerTimeoutMs;
        // Every wait of a firmware update too, the erase included.
        t.firmwareErase = t.firmwareReady = t.firmwareImageEnd = t.firmwareRamReady = t.firmwareDots =
            options.answerTimeoutMs;
    }
    const QString key = options.key;
    unit_->askPassWord = [key] { return key; };
}

bool CliSession::connect(const LinkOptions &options)
{
    useLink(options);
    ConnectRequest request;
    request.port = options.port;
    request.modemNumber = options.modemNumber;
    if (!unit_->connectUnit(request)) {
        printError(linkFailureMessage(unit_->lastError()));
        return false;
    }
    identityRead_ = unit_->readInfo();
    return true;
}

TransferProgress CliSession::progress()
{
    if (!errorIsTerminal())
        return {};
    return [this](int value, int maximum) { showProgress(value, maximum); };
}

void CliSession::showProgress(int value, int maximum)
{
    // The maximum is a display scale, not the line count: show the line reached.
    QTextStream err(stderr);
    if (value >= maximum) {
        if (progressShown_)
            err << QStringLiteral("\rdone          \n");
        progressShown_ = false;
    } else {
        err << QStringLiteral("\rline %1").arg(value);
        progressShown_ = true;
    }
    err.flush();
}
