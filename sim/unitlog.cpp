#include "unitlog.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QSaveFile>

UnitLog::UnitLog(QString path) : path_(std::move(path)) {}

void UnitLog::countCommand(const QString &code)
{
    QJsonObject counts = json_.value(QStringLiteral("commands")).toObject();
    counts.insert(code, counts.value(code).toInt() + 1);
    json_.insert(QStringLiteral("commands"), counts);
    stale_ = true;
}

void UnitLog::record(const QString &list, const QJsonObject &event)
{
    QJsonArray events = json_.value(list).toArray();
    events.append(event);
    json_.insert(list, events);
    write();
}

void UnitLog::recordStream(const QString &part, const QByteArray &bytes, qint64 firstMs, qint64 lastMs)
{
    record(QStringLiteral("firmware"),
           {{QStringLiteral("part"), part},
            {QStringLiteral("length"), bytes.size()},
            {QStringLiteral("sha256"),
             QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex())},
            {QStringLiteral("firstByteMs"), firstMs},
            {QStringLiteral("lastByteMs"), lastMs}});
}

bool UnitLog::flush()
{
    return !stale_ || write();
}

bool UnitLog::write()
{
    stale_ = true;
    if (path_.isEmpty())
        return true;
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QJsonDocument(json_).toJson());
    if (!file.commit())
        return false;
    stale_ = false;
    return true;
}
