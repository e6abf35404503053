#include "eventwait.h"

#include <QCoreApplication>

EventWait::EventWait()
{
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connections_ << QObject::connect(&timer_, &QTimer::timeout, &loop_, [this] { finish(TimedOut); });
    if (QCoreApplication *app = QCoreApplication::instance())
        endOn(app, &QCoreApplication::aboutToQuit);
}

EventWait::~EventWait()
{
    for (const QMetaObject::Connection &c : std::as_const(connections_))
        QObject::disconnect(c);
}

EventWait::Result EventWait::run(int timeOut)
{
    if (QCoreApplication::closingDown())
        return Ended;
    finished_ = false;
    result_ = TimedOut;
    timer_.start(qMax(0, timeOut));
    // exec() returns -1 at once once the program has quit: the wait ends there.
    if (loop_.exec() != 0 && !finished_)
        result_ = Ended;
    timer_.stop();
    return result_;
}

void EventWait::finish(Result result)
{
    if (finished_)
        return;
    finished_ = true;
    result_ = result;
    loop_.quit();
}
