#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <functional>
#include <utility>

#include "files/sectionregistry.h"
#include "model/configstore.h"
#include "scriptedunit.h"

// Stream lines ("DNAME,Tank3") framed and numbered from "BD000", then the end marker.
QList<QByteArray> downloadStream(const QStringList &lines);

// A section core for the engine tests: it records the lines dispatched to it,
// counts its Clear calls and uploads the lines it is given. It stands in the
// walk orders as "General".
class RecordingCore : public SectionCore {
public:
    RecordingCore(QStringList keywords, QStringList upload);

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

// A link to the scripted unit with a registry holding the recording core (and
// whatever a test adds). The unit answers the upload's "#45" lines and its
// closing "#46" by the test's rules and records each attempt.
struct TransferLink : UnitLink {
    explicit TransferLink(QStringList keywords = {}, QStringList upload = {});

    // The transfers of the unit connection, recording their progress.
    bool download();
    bool upload();

    // The reply to upload line `line` of attempt `attempt` (both from 0), as
    // an answer text such as "#BA0"; empty: no reply at all.
    std::function<QString(int attempt, int line)> lineReply;
    // Whether the closing command of attempt `attempt` is confirmed with "#B91".
    std::function<bool(int attempt)> confirm = [](int) { return true; };

    QList<QStringList> uploads; // per attempt, the lines as sent ("#45000ID=Tank3")
    QStringList closings;       // the closing commands ("#46003")

    ConfigStore store;
    SectionRegistry sections;
    RecordingCore *recorder;
    QList<std::pair<int, int>> progress; // (value, maximum) as reported
    int downloadedSignals = 0;

private:
    void onCommand(const QString &command);
};
