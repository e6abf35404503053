#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QStringList>
#include <functional>

#include "files/sectioncore.h"
#include "files/sectionregistry.h"
#include "link/comms.h"
#include "model/configstore.h"

class FakeSerialPort;

// The unit's side of the configuration transfer, scripted by a test: it
// answers "#42" with a prepared stream and "#45"/"#46" by the test's rules,
// and records what the tool sent.
class TransferUnit : public QObject {
    Q_OBJECT
public:
    explicit TransferUnit(FakeSerialPort &port);

    // One answer frame on the wire.
    static QByteArray frame(const QString &payload);
    // The same frame with a checksum that does not match.
    static QByteArray corrupt(const QString &payload);
    // Stream lines ("DNAME,Tank3") numbered from "BD000", then the end marker.
    static QList<QByteArray> stream(const QStringList &lines);

    // The answer to each "#42" in turn; the last one repeats.
    QList<QList<QByteArray>> streams;
    // The reply payload to upload line `line` of attempt `attempt` (from 0);
    // empty: no reply at all.
    std::function<QString(int attempt, int line)> lineReply;
    // Whether the closing command of attempt `attempt` is confirmed with "B91".
    std::function<bool(int attempt)> confirm = [](int) { return true; };

    int downloadRequests = 0;
    QList<QStringList> uploads; // per attempt, the payloads "45000ID=Tank3", ...
    QStringList closings;       // the payloads "46003", ...

private:
    void onWritten(const QByteArray &bytes);
    void answer(const QString &payload);

    FakeSerialPort &port_;
    QByteArray pending_;
};

// A section core for the engine tests: it records the lines dispatched to it,
// counts its Clear calls and uploads the lines it is given. It stands in the
// walk orders as "General".
class RecordingCore : public SectionCore {
public:
    RecordingCore(QStringList keywords, QStringList upload = {});

    QString name() const override { return QStringLiteral("General"); }
    void clear(ConfigStore &) const override { ++clears; }
    QStringList keywords() const override { return keywords_; }
    void parseLine(ConfigStore &, DownloadState &, const QString &keyword, const QString &line,
                   quint32) const override;
    QStringList uploadLines(const ConfigStore &, const UploadContext &) const override { return upload_; }

    mutable QStringList parsed; // "keyword|line"
    mutable int clears = 0;

private:
    QStringList keywords_;
    QStringList upload_;
};

// A link on an open fake port with the scripted unit behind it, and a
// registry holding the recording core (and whatever a test adds).
struct TransferLink {
    explicit TransferLink(QStringList keywords = {}, QStringList upload = {});

    Comms comms;
    FakeSerialPort &port;
    TransferUnit unit;
    ConfigStore store;
    SectionRegistry sections;
    RecordingCore *recorder;
    QList<std::pair<int, int>> progress; // (value, maximum) as reported
    int downloadedSignals = 0;
};
