#include "simulatedunit.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

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

    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(process_, &QProcess::readyReadStandardOutput, &loop, [this, &loop] {
        if (process_->canReadLine())
            loop.quit();
    });
    connect(process_, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    connect(process_, &QProcess::finished, &loop, &QEventLoop::quit);

    process_->start(program_, arguments_ + QStringList{QStringLiteral("--exit-with-parent")});
    timer.start(timeOut);
    if (!process_->canReadLine() && process_->state() != QProcess::NotRunning)
        loop.exec();

    if (process_->canReadLine())
        devicePath_ = QString::fromLocal8Bit(process_->readLine()).trimmed();
    if (devicePath_.isEmpty() || process_->state() != QProcess::Running) {
        error_ = process_->error() == QProcess::FailedToStart
                     ? QStringLiteral("No se puede iniciar %1: %2").arg(program_, process_->errorString())
                     : QStringLiteral("La unidad simulada no ha respondido");
        stop();
        devicePath_.clear();
        return false;
    }
    connect(process_, &QProcess::finished, this, &SimulatedUnit::finished);
    return true;
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
