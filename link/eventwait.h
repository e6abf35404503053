#pragma once

#include <QEventLoop>
#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QTimer>

// The one way the link waits. It runs a nested event loop, so other windows'
// timers keep running while it blocks, and it never spins. A wait ends at the
// first of: a wake-up signal, the time-out, an end signal (the owner is
// closing, an object it uses is being destroyed), or the end of the program,
// after which every wait returns at once.
class EventWait {
public:
    enum Result { Woken, TimedOut, Ended };

    EventWait();
    ~EventWait();
    EventWait(const EventWait &) = delete;
    EventWait &operator=(const EventWait &) = delete;

    template <typename Sender, typename Signal>
    void wakeOn(const Sender *sender, Signal signal)
    {
        connections_ << QObject::connect(sender, signal, &loop_, [this] { finish(Woken); });
    }
    template <typename Sender, typename Signal>
    void endOn(const Sender *sender, Signal signal)
    {
        connections_ << QObject::connect(sender, signal, &loop_, [this] { finish(Ended); });
    }
    // Ends the wait when `object` is destroyed.
    void endOn(const QObject *object) { endOn(object, &QObject::destroyed); }

    Result run(int timeOut);

private:
    void finish(Result result);

    QEventLoop loop_;
    QTimer timer_;
    QList<QMetaObject::Connection> connections_;
    Result result_ = TimedOut;
    bool finished_ = false;
};
