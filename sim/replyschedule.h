#pragma once

#include <QByteArray>
#include <QList>
#include <QQueue>

#include "unitengine.h"

// Holds the engine's replies until their time comes, in order: each reply is
// due its delay after the previous one, and never before a reply queued earlier.
class ReplySchedule {
public:
    void add(const QList<SimReply> &replies, qint64 nowMs);
    // The bytes due by now, in order.
    QByteArray takeDue(qint64 nowMs);
    bool isEmpty() const { return pending_.isEmpty(); }
    // Milliseconds until the next reply is due (0 when one is due already).
    qint64 wait(qint64 nowMs) const;

private:
    struct Pending {
        qint64 due;
        QByteArray bytes;
    };
    QQueue<Pending> pending_;
    qint64 lastDue_ = 0;
};
