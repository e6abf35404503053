#include "clisession.h"

#include <QTextStream>
#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

#include "link/qtserialport.h"
#include "sections/sectionlist.h"

void printError(const QString &message)
{
    QTextStream(stderr) << message << Qt::endl;
}

CliSession::CliSession()
    : comms_(std::make_unique<Comms>(std::make_unique<QtSerialPort>()))
{
    registerSections(sections_);
    sections_.clearAll(store_);
    if (isatty(fileno(stderr))) {
        QObject::connect(comms_.get(), &Comms::progressChanged, comms_.get(),
                         [this](int value, int maximum) { showProgress(value, maximum); });
    }
    QObject::connect(comms_.get(), &Comms::portLost, comms_.get(),
                     [](const QString &reason) { printError("The port was lost: " + reason); });
}

CliSession::~CliSession()
{
    if (comms_->Connected)
        comms_->CloseComs(modem_);
}

bool CliSession::connect(const LinkOptions &options)
{
    modem_ = !options.modemNumber.isEmpty();
    const QString key = options.key;
    comms_->askPassWord = [key] { return key; };
    comms_->Connected = comms_->StartComs(options.port, options.modemNumber);
    if (!comms_->Connected) {
        printError(comms_->LastError.isEmpty()
                       ? QStringLiteral("The unit on %1 did not answer.").arg(options.port)
                       : QStringLiteral("Cannot connect on %1: %2").arg(options.port, comms_->LastError));
        return false;
    }
    comms_->ReadInfo();
    return true;
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
