#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

struct SimReply;

// The unit's side of a saved line trace, played back: after each line the
// tool writes (ended by CR), what the unit answered to the matching line of
// the trace, in order and with the gaps recorded. What the tool writes is not
// compared: a trace holds masked secrets, and the order is what counts.
class TraceReplay {
public:
    // False, with error set, when the file cannot be read or holds no exchange.
    bool load(const QString &path, QString *error);
    void parse(const QByteArray &text);

    QList<SimReply> feed(const QByteArray &bytes);
    bool isEmpty() const { return steps_.isEmpty(); }

private:
    struct Step {
        QList<SimReply> answers;
    };
    QList<Step> steps_;
    int next_ = 0;
};
