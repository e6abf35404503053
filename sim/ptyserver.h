#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include "replyschedule.h"

class QSocketNotifier;
class UnitEngine;

// Serves a unit engine on a pseudo-terminal: the tool opens the slave side
// like a serial port. Reading and writing wait on socket notifiers; optional
// pacing holds both directions to the byte rate of a real line.
class PtyServer : public QObject {
    Q_OBJECT
public:
    PtyServer(UnitEngine &engine, int baud, QObject *parent = nullptr);
    ~PtyServer() override;

    // Opens the pseudo-terminal in raw mode. False with errorString() on failure.
    bool open();
    QString devicePath() const { return devicePath_; }
    QString errorString() const { return error_; }

private:
    void readInput();
    void releaseDue();
    void writeOutput();
    qint64 allowance(qint64 &budgetStart, qint64 &used, bool &heldBack) const;

    UnitEngine &engine_;
    int bytesPerSecond_ = 0; // 0: as fast as the pseudo-terminal goes
    int master_ = -1;
    int slave_ = -1; // held open so the master never reads end-of-file between sessions
    QString devicePath_;
    QString error_;

    QSocketNotifier *readable_ = nullptr;
    QSocketNotifier *writable_ = nullptr;
    QElapsedTimer clock_;
    ReplySchedule schedule_;
    QByteArray output_;
    QTimer releaseTimer_;
    QTimer paceTimer_;
    QTimer quietTimer_;

    // Pacing: bytes moved since the budget started counting.
    qint64 readStart_ = 0, readUsed_ = 0;
    qint64 writeStart_ = 0, writeUsed_ = 0;
    bool readHeld_ = false, writeHeld_ = false; // waiting for the pacing timer
};
