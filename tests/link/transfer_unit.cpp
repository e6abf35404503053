#include "transfer_unit.h"

#include "link/fakeserialport.h"
#include "link/framecodec.h"

TransferUnit::TransferUnit(FakeSerialPort &port)
    : port_(port)
{
    connect(&port_, &FakeSerialPort::written, this, &TransferUnit::onWritten);
}

QByteArray TransferUnit::frame(const QString &payload)
{
    return FrameCodec::encode(payload);
}

QByteArray TransferUnit::corrupt(const QString &payload)
{
    QByteArray bytes = frame(payload);
    bytes[1] = bytes[1] == '0' ? '1' : '0';
    return bytes;
}

QList<QByteArray> TransferUnit::stream(const QStringList &lines)
{
    QList<QByteArray> frames;
    for (int i = 0; i < lines.size(); ++i)
        frames << frame(QStringLiteral("BD%1").arg(i, 3, 10, QLatin1Char('0')) + lines[i]);
    frames << frame(QStringLiteral("BD"));
    return frames;
}

void TransferUnit::onWritten(const QByteArray &bytes)
{
    pending_ += bytes;
    for (int end = pending_.indexOf('\r'); end >= 0; end = pending_.indexOf('\r')) {
        const QByteArray framed = pending_.left(end);
        pending_.remove(0, end + 1);
        if (FrameCodec::verify(framed))
            answer(QString::fromLatin1(framed.mid(4)));
    }
}

void TransferUnit::answer(const QString &payload)
{
    if (payload == QLatin1String("42")) {
        if (!streams.isEmpty()) {
            const QList<QByteArray> &frames = streams.at(qMin(downloadRequests, int(streams.size()) - 1));
            port_.feed(frames.join());
        }
        ++downloadRequests;
    } else if (payload.startsWith(QLatin1String("45"))) {
        const int line = payload.mid(2, 3).toInt();
        if (line == 0)
            uploads.append(QStringList());
        uploads.last() << payload;
        const QString reply = lineReply ? lineReply(int(uploads.size()) - 1, line) : QString();
        if (!reply.isEmpty())
            port_.feed(frame(reply));
    } else if (payload.startsWith(QLatin1String("46"))) {
        closings << payload;
        if (confirm(int(closings.size()) - 1))
            port_.feed(frame(QStringLiteral("B91")));
    }
}

RecordingCore::RecordingCore(QStringList keywords, QStringList upload)
    : keywords_(std::move(keywords)),
      upload_(std::move(upload))
{
}

void RecordingCore::parseLine(ConfigStore &, DownloadState &, const QString &keyword, const QString &line,
                              quint32) const
{
    parsed << keyword + QLatin1Char('|') + line;
}

TransferLink::TransferLink(QStringList keywords, QStringList upload)
    : comms(std::make_unique<FakeSerialPort>()),
      port(static_cast<FakeSerialPort &>(comms.port())),
      unit(port)
{
    port.open(QStringLiteral("COM1"));
    comms.LinkTimeout = 100; // the unit answers at once; this only bounds silence
    auto core = std::make_unique<RecordingCore>(std::move(keywords), std::move(upload));
    recorder = core.get();
    sections.add(std::move(core));
    QObject::connect(&comms, &Comms::progressChanged,
                     [this](int value, int maximum) { progress.append({value, maximum}); });
    QObject::connect(&comms, &Comms::configDownloaded, [this] { ++downloadedSignals; });
}
