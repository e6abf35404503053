#pragma once

// The unit's side of the answer-parser targets. The input is what the unit
// says: one answer text per line ("#DF,1,2"), in groups parted by an empty
// line. Each write of the link (a command, an upload line) gets the next
// group, every text framed as the unit frames it so that it passes the
// checksum and reaches the parser; once the groups run out the port goes away,
// so that no wait outlasts the input.
#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <memory>

#include "link/comms.h"
#include "link/fakeserialport.h"
#include "link/framecodec.h"
#include "model/cp1252.h"

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    new QCoreApplication(*argc, *argv);
    return 0;
}

class FuzzUnit {
public:
    FuzzUnit(const uint8_t *data, size_t size)
    {
        const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
        for (qsizetype from = 0; from <= input.size();) {
            const qsizetype end = input.indexOf("\n\n", from);
            groups_ << framed(input.mid(from, end < 0 ? -1 : end - from));
            from = end < 0 ? input.size() + 1 : end + 2;
        }
        auto owned = std::make_unique<FakeSerialPort>();
        FakeSerialPort &port = *owned;
        port.open(QStringLiteral("fuzz"));
        QObject::connect(&port, &FakeSerialPort::written, &port, [this, &port] {
            if (next_ < groups_.size())
                port.feed(groups_.at(next_++));
            else
                port.vanish(QStringLiteral("end of input"));
        });
        comms = std::make_unique<Comms>(std::move(owned));
        // Every wait as short as a wait that reads can be.
        LinkTimings &t = comms->timings;
        t = LinkTimings::fast();
        t.drainRead = 0;
        t.lineReply = t.fastLineReply = 1;
        t.voiceListClear = t.voiceLinePause = 0;
        t.probeIdAnswer = 1;
        comms->LinkTimeout = 1;
    }

    std::unique_ptr<Comms> comms;

private:
    static QByteArray framed(const QByteArray &group)
    {
        QByteArray bytes;
        for (const QByteArray &text : group.split('\n'))
            bytes += FrameCodec::encode(Cp1252::decode(text));
        return bytes;
    }

    QList<QByteArray> groups_;
    qsizetype next_ = 0;
};
