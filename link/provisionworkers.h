#pragma once

#include <QList>
#include <QObject>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <functional>

#include "files/provisionprogress.h"

class QProcess;

// A provisioning run over several ports: one velkan-cli process per port
// (each with its own link and event loop), whose "--progress json" lines are
// read here as they come. Nothing here waits: the owner's event loop runs on.
class ProvisionWorkers : public QObject {
    Q_OBJECT
public:
    explicit ProvisionWorkers(QObject *parent = nullptr);
    ~ProvisionWorkers() override; // stops what still runs, and waits for it

    // Starts `program` once per port with the arguments `argumentsFor` gives
    // for that port. A process that cannot start ends its port at once.
    void start(const QString &program, const QStringList &ports,
               const std::function<QStringList(const QString &port)> &argumentsFor,
               const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());
    // Every port ends after its current unit.
    void stop();
    bool isRunning() const;
    // Once every port ended: 0 when each ended well, else the highest status.
    int exitStatus() const { return status_; }

signals:
    // A line of a worker's progress; "ended" comes once per port, last.
    void event(const ProvisionEvent &event);
    // A line a worker printed on standard error.
    void errorLine(const QString &port, const QString &line);
    void finished(int status);

private:
    struct Worker {
        QString port;
        QProcess *process = nullptr;
        bool ended = false;
    };
    void readOutput(Worker &worker);
    void readErrors(Worker &worker);
    void end(Worker &worker, int status);

    QList<Worker *> workers_;
    int status_ = 0;
};
