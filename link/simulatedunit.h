#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QProcess;

// Runs velkan-sim in the background and tells where its pseudo-terminal is,
// so the link can open the simulated unit like any other port.
class SimulatedUnit : public QObject {
    Q_OBJECT
public:
    explicit SimulatedUnit(QObject *parent = nullptr);
    ~SimulatedUnit() override; // stops the program

    // velkan-sim next to the running executable.
    static QString defaultProgram();

    void setProgram(const QString &path) { program_ = path; }
    QString program() const { return program_; }
    // Extra options for velkan-sim ("--modem", "--config", ...).
    void setArguments(const QStringList &arguments) { arguments_ = arguments; }

    // Starts the program and waits (event loop, at most timeOut ms) for the
    // device path on its first output line. False with errorString() set when
    // it cannot start, ends early or says nothing in time.
    bool start(int timeOut = 5000);
    // Ends a start() that is waiting, which then fails; the object must not
    // be destroyed while start() runs.
    void cancelStart();
    // Asks the program to end (SIGTERM), and kills it if it does not.
    void stop();

    bool isRunning() const;
    QString devicePath() const { return devicePath_; }
    QString errorString() const { return error_; }

signals:
    // The program ended on its own while it was serving.
    void finished();
    void startCancelled();

private:
    QProcess *process_ = nullptr;
    QString program_;
    QStringList arguments_;
    QString devicePath_;
    QString error_;
};
