#include "flagcore.h"

#include "link/devicevalues.h"
#include "model/configstore.h"
#include "sections/alarms/alarmcore.h"

namespace {

const AlarmMemberRow &row()
{
    return alarmMember(AlarmMember::Flags);
}

} // namespace

QString FlagCore::name() const
{
    return QStringLiteral("Flags");
}

void FlagCore::clear(ConfigStore &store) const
{
    clearAlarms(row(), store);
}

QStringList FlagCore::keywords() const
{
    return alarmKeywords(row());
}

void FlagCore::parseLine(ConfigStore &store, DownloadState &, const QString &keyword,
                         const QString &line, quint32) const
{
    parseAlarmLine(row(), store, keyword, line);
}

QStringList FlagCore::downloadLines(const ConfigStore &store, quint32 features) const
{
    if (!(features & Feature::FlagAlarms))
        return {};
    QStringList lines;
    for (int i = 0; i < row().channels; ++i)
        lines += alarmDownloadLines(row(), store, i);
    return lines;
}

QStringList FlagCore::uploadLines(const ConfigStore &store, const UploadContext &context) const
{
    QStringList lines;
    const int count = uploadedAlarmChannels(row(), context);
    for (int i = 0; i < count; ++i)
        lines += alarmUploadLines(row(), store, i, context);
    return lines;
}

bool FlagCore::applyUploadLine(ConfigStore &store, const QString &line, quint32 features) const
{
    return applyAlarmUploadLine(row(), store, line, features);
}

void FlagCore::save(const ConfigStore &store, IniDocument &doc) const
{
    for (int i = 0; i < row().records; ++i)
        saveAlarmKeys(row(), store, i, doc);
}

void FlagCore::restore(ConfigStore &store, const IniDocument &doc) const
{
    clear(store);
    for (int i = 0; i < row().records; ++i)
        restoreAlarmKeys(row(), store, i, doc);
}

std::optional<FieldTerm> FlagCore::fieldTerm(const IniDocument &side, const QString &item, const QString &key) const
{
    return alarmFieldTerm(row(), side, item, key);
}
