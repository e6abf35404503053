#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>

// What the simulated unit received, as JSON for tests and for the curious.
// With a path, every recorded event rewrites the file; command counts only
// mark it stale, and flush() writes them (the program flushes when the line
// goes quiet and at exit).
class UnitLog {
public:
    explicit UnitLog(QString path = {});

    // One more frame with this command code.
    void countCommand(const QString &code);
    // Appends an event to the named list ("uploads", "outputs", ...).
    void record(const QString &list, const QJsonObject &event);
    // A received binary stream: its length, SHA-256 and the arrival times
    // (milliseconds on the host's clock) of its first and last bytes.
    void recordStream(const QString &part, const QByteArray &bytes, qint64 firstMs, qint64 lastMs);

    bool flush();
    QJsonObject json() const { return json_; }
    QString path() const { return path_; }

private:
    bool write();

    QString path_;
    QJsonObject json_;
    bool stale_ = false;
};
