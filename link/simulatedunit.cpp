#include "simulatedunit.h"

#include <QCoreApplication>
#include <QDir>
#include <QDeadlineTimer>
#include <QProcess>

#include "eventwait.h"

namespace {
constexpr int kStopWait = 3000;
}

SimulatedUnit::SimulatedUnit(QObject *parent)
    : QObject(parent), program_(defaultProgram())
{
}

SimulatedUnit::~SimulatedUnit()
{
    stop();
}

QString SimulatedUnit::defaultProgram()
{
#ifdef Q_OS_WIN
    const QString name = QStringLiteral("velkan-sim.exe");
#else
    const QString name = QStringLiteral("velkan-sim");
#endif
    return QDir(QCoreApplication::applicationDirPath()).filePath(name);
}

bool SimulatedUnit::isRunning() const
{
    return process_ && process_->state() != QProcess::NotRunning;
}

bool SimulatedUnit::start(int timeOut)
{
    stop();
    error_.clear();
    devicePath_.clear();

    process_ = new QProcess(this);
    process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);

    EventWait wait;
    wait.wakeOn(process_, &QProcess::readyReadStandardOutput);
    wait.endOn(process_, &QProcess::errorOccurred);
    wait.endOn(process_, &QProcess::finished);
    wait.endOn(this, &SimulatedUnit::startCancelled);

    process_->start(program_, arguments_ + QStringList{QStringLiteral("--exit-with-parent")});
    const QDeadlineTimer deadline(timeOut, Qt::PreciseTimer);
    while (!process_->canReadLine() && process_->state() != QProcess::NotRunning
           && wait.run(int(deadline.remainingTime())) == EventWait::Woken) {
    }

    if (process_->canReadLine())
        devicePath_ = QString::fromLocal8Bit(process_->readLine()).trimmed();
    if (devicePath_.isEmpty() || process_->state() != QProcess::Running) {
        error_ = process_->error() == QProcess::FailedToStart
                     ? QStringLiteral("%1: %2").arg(program_, process_->errorString())
                     : QStringLiteral("%1: no device path").arg(program_);
        stop();
        devicePath_.clear();
        return false;
    }
    connect(process_, &QProcess::finished, this, &SimulatedUnit::finished);
    return true;
}

void SimulatedUnit::cancelStart()
{
    emit startCancelled();
}

void SimulatedUnit::stop()
{
    if (!process_)
        return;
    disconnect(process_, nullptr, this, nullptr);
    if (process_->state() != QProcess::NotRunning) {
        process_->terminate();
        if (!process_->waitForFinished(kStopWait)) {
            process_->kill();
            process_->waitForFinished(kStopWait);
        }
    }
    delete process_;
    process_ = nullptr;
    devicePath_.clear();
}
