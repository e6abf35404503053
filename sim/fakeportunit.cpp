#include "fakeportunit.h"

#include "link/fakeserialport.h"
#include "unitengine.h"

FakePortUnit::FakePortUnit(FakeSerialPort &port, UnitEngine &engine, QObject *parent)
    : QObject(parent), port_(port), engine_(engine)
{
    clock_.start();
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &FakePortUnit::release);
    connect(&port_, &FakeSerialPort::written, this, &FakePortUnit::onWritten);
    quiet_.setSingleShot(true);
    quiet_.setInterval(UnitEngine::kQuietMs);
    connect(&quiet_, &QTimer::timeout, this, [this] { engine_.lineQuiet(); });
}

void FakePortUnit::onWritten(const QByteArray &bytes)
{
    const qint64 now = clock_.elapsed();
    schedule_.add(engine_.feed(bytes, now), now);
    quiet_.start();
    release();
}

void FakePortUnit::release()
{
    const qint64 now = clock_.elapsed();
    const QByteArray due = schedule_.takeDue(now);
    if (!due.isEmpty() && port_.isOpen())
        port_.feed(due);
    if (!schedule_.isEmpty())
        timer_.start(int(schedule_.wait(now)));
}
