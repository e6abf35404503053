#include "replyschedule.h"

#include <algorithm>

void ReplySchedule::add(const QList<SimReply> &replies, qint64 nowMs)
{
    qint64 due = nowMs;
    for (const SimReply &reply : replies) {
        due = std::max(due + reply.delayMs, lastDue_);
        lastDue_ = due;
        if (!reply.bytes.isEmpty())
            pending_.enqueue({due, reply.bytes});
    }
}

QByteArray ReplySchedule::takeDue(qint64 nowMs)
{
    QByteArray bytes;
    while (!pending_.isEmpty() && pending_.head().due <= nowMs)
        bytes += pending_.dequeue().bytes;
    return bytes;
}

qint64 ReplySchedule::wait(qint64 nowMs) const
{
    return pending_.isEmpty() ? 0 : std::max<qint64>(0, pending_.head().due - nowMs);
}
