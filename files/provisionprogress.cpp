#include "provisionprogress.h"

#include <QJsonDocument>
#include <QJsonObject>

ProvisionEvent ProvisionEvent::ofRecord(const QString &port, const ProvisionRecord &record)
{
    return {port,           ProvisionReport::statusWord(record.status), record.serial, record.differences,
            record.historyFile, record.detail, 0};
}

QByteArray ProvisionEvent::jsonLine() const
{
    QJsonObject object{{"port", port}, {"state", state}, {"serial", serial}};
    if (state == QLatin1String("applied") || state == QLatin1String("failed")) {
        object.insert("differences", differences);
        object.insert("history", history);
    }
    if (!detail.isEmpty())
        object.insert("detail", detail);
    if (state == QLatin1String("ended"))
        object.insert("status", status);
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<ProvisionEvent> ProvisionEvent::fromJsonLine(const QByteArray &line)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line.trimmed(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject o = document.object();
    if (!o.value("state").isString())
        return std::nullopt;
    return ProvisionEvent{o.value("port").toString(),    o.value("state").toString(),  o.value("serial").toString(),
                          o.value("differences").toInt(), o.value("history").toString(), o.value("detail").toString(),
                          o.value("status").toInt()};
}
