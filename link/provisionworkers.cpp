#include "provisionworkers.h"

#include <QProcess>
#include <algorithm>
#include <utility>

ProvisionWorkers::ProvisionWorkers(QObject *parent) : QObject(parent) {}

ProvisionWorkers::~ProvisionWorkers()
{
    for (Worker *w : std::as_const(workers_)) {
        w->process->disconnect(this);
        if (w->process->state() != QProcess::NotRunning) {
            w->process->terminate();
            if (!w->process->waitForFinished(5000))
                w->process->kill();
            w->process->waitForFinished(1000);
        }
        delete w;
    }
}

void ProvisionWorkers::start(const QString &program, const QStringList &ports,
                             const std::function<QStringList(const QString &)> &argumentsFor,
                             const QProcessEnvironment &environment)
{
    status_ = 0;
    for (const QString &port : ports) {
        auto *w = new Worker{port, new QProcess(this)};
        workers_ << w;
        w->process->setProcessEnvironment(environment);
        connect(w->process, &QProcess::readyReadStandardOutput, this, [this, w] { readOutput(*w); });
        connect(w->process, &QProcess::readyReadStandardError, this, [this, w] { readErrors(*w); });
        connect(w->process, &QProcess::finished, this, [this, w](int code, QProcess::ExitStatus how) {
            readOutput(*w);
            readErrors(*w);
            end(*w, how == QProcess::NormalExit ? code : 1);
        });
        connect(w->process, &QProcess::errorOccurred, this, [this, w](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart) {
                emit errorLine(w->port, w->process->errorString());
                end(*w, 1);
            }
        });
        w->process->start(program, argumentsFor(port));
    }
}

void ProvisionWorkers::stop()
{
    for (Worker *w : std::as_const(workers_))
        if (w->process->state() != QProcess::NotRunning)
            w->process->terminate();
}

bool ProvisionWorkers::isRunning() const
{
    return std::any_of(workers_.begin(), workers_.end(), [](const Worker *w) { return !w->ended; });
}

void ProvisionWorkers::readOutput(Worker &w)
{
    while (w.process->canReadLine())
        if (std::optional<ProvisionEvent> e = ProvisionEvent::fromJsonLine(w.process->readLine())) {
            e->port = w.port;
            emit event(*e);
        }
}

void ProvisionWorkers::readErrors(Worker &w)
{
    w.process->setReadChannel(QProcess::StandardError);
    while (w.process->canReadLine())
        emit errorLine(w.port, QString::fromUtf8(w.process->readLine()).trimmed());
    if (w.process->state() == QProcess::NotRunning && w.process->bytesAvailable() > 0)
        emit errorLine(w.port, QString::fromUtf8(w.process->readAll()).trimmed());
    w.process->setReadChannel(QProcess::StandardOutput);
}

void ProvisionWorkers::end(Worker &w, int status)
{
    if (std::exchange(w.ended, true))
        return;
    status_ = std::max(status_, status);
    ProvisionEvent ended;
    ended.port = w.port;
    ended.state = QStringLiteral("ended");
    ended.status = status;
    emit event(ended);
    if (!isRunning())
        emit finished(status_);
}
