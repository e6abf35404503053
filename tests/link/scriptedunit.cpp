#include "scriptedunit.h"

#include "link/fakeserialport.h"
#include "link/framecodec.h"
#include "model/cp1252.h"

ScriptedUnit::ScriptedUnit(FakeSerialPort &port)
    : port_(port)
{
    connect(&port_, &FakeSerialPort::written, this, &ScriptedUnit::onWritten);
}

QByteArray ScriptedUnit::frame(const QString &text)
{
    return FrameCodec::encode(text);
}

QByteArray ScriptedUnit::corrupt(const QString &text)
{
    QByteArray bytes = frame(text);
    bytes[2] = bytes[2] == '0' ? '1' : '0';
    return bytes;
}

QByteArray ScriptedUnit::line(const QString &text)
{
    return Cp1252::encode(text) + "\r\n";
}

void ScriptedUnit::on(const QString &command, const QList<QByteArray> &replies)
{
    replies_[command] = replies;
}

QStringList ScriptedUnit::distinctReceived() const
{
    QStringList folded;
    for (const QString &command : received) {
        if (folded.isEmpty() || folded.last() != command)
            folded << command;
    }
    return folded;
}

void ScriptedUnit::onWritten(const QByteArray &bytes)
{
    pending_ += bytes;
    for (qsizetype end = pending_.indexOf('\r'); end >= 0; end = pending_.indexOf('\r')) {
        QByteArray text = pending_.left(end);
        pending_.remove(0, end + 1);
        // A modem's escape sequence is not part of the command that follows it.
        if (text.startsWith("+++"))
            text.remove(0, 3);
        const bool framed = text.size() >= 4 && text.startsWith('#') && text.at(3) == ';';
        handle(framed ? FrameCodec::answerText(text) : Cp1252::decode(text));
    }
}

void ScriptedUnit::handle(const QString &command)
{
    received << command;
    if (onCommand)
        onCommand(command);
    const auto replies = replies_.constFind(command);
    if (replies == replies_.constEnd() || replies->isEmpty())
        return;
    const int arrival = arrivals_[command]++;
    port_.feed(replies->at(qMin(arrival, int(replies->size()) - 1)));
}

UnitLink::UnitLink()
    : port(*new FakeSerialPort),
      comms(std::unique_ptr<SerialPort>(&port)),
      unit(port),
      connection(comms)
{
    port.open(QStringLiteral("fake"));
    comms.timings = LinkTimings::fast();
    comms.LinkTimeout = 40;
}
