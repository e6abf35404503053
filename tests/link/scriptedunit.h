#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

#include "link/comms.h"
#include "link/unitconnection.h"

class FakeSerialPort;

// The unit's side of a link test: it reads what the tool writes, line by line,
// and answers each command from a table. Frames are recorded by their text
// ("#40"), modem lines as written ("ATE0").
class ScriptedUnit : public QObject {
    Q_OBJECT
public:
    explicit ScriptedUnit(FakeSerialPort &port);

    // Wire bytes of an answer: the framed text, a frame with a wrong checksum,
    // a modem line.
    static QByteArray frame(const QString &text);
    static QByteArray corrupt(const QString &text);
    static QByteArray line(const QString &text);

    // The bytes sent for each arrival of the command, in turn; the last entry
    // repeats. An empty entry is silence. Unknown commands get silence.
    void on(const QString &command, const QList<QByteArray> &replies);
    void answer(const QString &command, const QString &text) { on(command, {frame(text)}); }
    // Runs before the table's reply, for faults such as pulling the port.
    std::function<void(const QString &command)> onCommand;

    QStringList received;
    // The received commands with repeated writes of one command folded.
    QStringList distinctReceived() const;
    int count(const QString &command) const { return int(received.count(command)); }

private:
    void onWritten(const QByteArray &bytes);
    void handle(const QString &command);

    FakeSerialPort &port_;
    QByteArray pending_;
    QHash<QString, QList<QByteArray>> replies_;
    QHash<QString, int> arrivals_;
};

// A link on an open fake port with a scripted unit behind it and short
// answer time-outs. The connection counts as made only once a test connects it.
struct UnitLink {
    UnitLink();

    FakeSerialPort &port;
    Comms comms;
    ScriptedUnit unit;
    UnitConnection connection;
};
