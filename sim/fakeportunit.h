#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include "replyschedule.h"

class FakeSerialPort;
class UnitEngine;

// The reply engine behind the in-memory port, for link tests: what the link
// writes goes to the engine, and its replies come back after their delays.
class FakePortUnit : public QObject {
    Q_OBJECT
public:
    FakePortUnit(FakeSerialPort &port, UnitEngine &engine, QObject *parent = nullptr);

    // How long the line stays quiet before a loader stream is taken as over,
    // as on the pseudo-terminal; tests shorten it.
    void setQuietMs(int ms) { quiet_.setInterval(ms); }

private:
    void onWritten(const QByteArray &bytes);
    void release();

    FakeSerialPort &port_;
    UnitEngine &engine_;
    QElapsedTimer clock_;
    ReplySchedule schedule_;
    QTimer timer_;
    QTimer quiet_;
};
