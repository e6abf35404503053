#include "mathcore.h"

#include <optional>

#include "files/inidocument.h"
#include "link/devicevalues.h"
#include "model/configstore.h"
#include "model/texthelpers.h"
#include "sections/alarms/alarmcore.h"
#include "sections/common/channellabels.h"
#include "sections/common/downloadline.h"

namespace {

const QString kKeyword = QStringLiteral("MATH");

const AlarmMemberRow &row()
{
    return alarmMember(AlarmMember::Math);
}

// ",EQ=<equation>" of a "MCCONF" line, which turns the channel on.
bool readEquation(MathChannel &channel, UploadFields &fields)
{
    const std::optional<QString> equation = fields.take(u"EQ=");
    if (!equation)
        return false;
    channel.Equation = *equation;
    channel.Interface = MathChannel::kEnabled;
    return true;
}

} // namespace

QString MathCore::name() const
{
    return QStringLiteral("E_Math");
}

void MathCore::clear(ConfigStore &store) const
{
    for (MathChannel &channel : store.Math) {
        channel.Name.clear();
        channel.Unit.clear();
        channel.Interface = MathChannel::kDisabled;
        channel.Equation.clear();
    }
    clearAlarms(row(), store);
}

QStringList MathCore::keywords() const
{
    return QStringList{kKeyword} + alarmKeywords(row());
}

// "MATH,index,name,unit,equation,enable": enable 1 turns the channel on, 0
// off; another value leaves it as it was.
void MathCore::parseLine(ConfigStore &store, DownloadState &, const QString &keyword,
                         const QString &line, quint32) const
{
    if (keyword != kKeyword) {
        parseAlarmLine(row(), store, keyword, line);
        return;
    }
    const std::optional<int> index = ItemIndex(line, int(store.Math.size()));
    const double enable = ParseNumber(LineField(line, 6));
    if (!index || !ToInt16(enable))
        return;
    MathChannel &channel = store.Math[*index];
    channel.Name = LineField(line, 3);
    channel.Unit = LineField(line, 4);
    channel.Equation = LineField(line, 5);
    if (enable == 1)
        channel.Interface = MathChannel::kEnabled;
    else if (enable == 0)
        channel.Interface = MathChannel::kDisabled;
}

QStringList MathCore::downloadLines(const ConfigStore &store, quint32 features) const
{
    if (!(features & Feature::MathChannels))
        return {};
    QStringList lines;
    for (int i = 0; i < int(store.Math.size()); ++i) {
        const MathChannel &channel = store.Math[i];
        const int enable = channel.Interface != MathChannel::kDisabled ? 1 : 0;
        lines << QStringList{kKeyword, QString::number(i), channel.Name, channel.Unit,
                             channel.Equation, QString::number(enable)}
                     .join(QLatin1Char(','));
        lines += alarmDownloadLines(row(), store, i);
    }
    return lines;
}

QStringList MathCore::uploadLines(const ConfigStore &store, const UploadContext &context) const
{
    QStringList lines;
    const int count = uploadedAlarmChannels(row(), context);
    for (int i = 0; i < count; ++i) {
        const MathChannel &channel = store.Math[i];
        if (channel.Interface != MathChannel::kDisabled)
            lines << QStringLiteral("MCCONF%1=").arg(i) + channel.Name + QStringLiteral(",UNIT=")
                         + channel.Unit + QStringLiteral(",EQ=") + channel.Equation;
        else
            lines << QStringLiteral("DISMC%1").arg(i);
        lines += alarmUploadLines(row(), store, i, context);
    }
    return lines;
}

// "MCCONF<i>=<name>,UNIT=<unit>,EQ=<equation>" turns channel i on, "DISMC<i>" off.
bool MathCore::applyUploadLine(ConfigStore &store, const QString &line, quint32 features) const
{
    const int count = uploadedAlarmChannels(row(), UploadContext{features});
    return applyChannelLabelLine(store.Math, count, line, QStringLiteral("MCCONF"),
                                 QStringLiteral("DISMC"), readEquation)
           || applyAlarmUploadLine(row(), store, line, features);
}

void MathCore::save(const ConfigStore &store, IniDocument &doc) const
{
    for (int i = 0; i < int(store.Math.size()); ++i) {
        const MathChannel &channel = store.Math[i];
        const QString section = alarmFileSection(row(), i);
        saveChannelLabels(channel, section, doc);
        doc.writeValue(section, QStringLiteral("ECUACION"), channel.Equation);
        saveAlarmKeys(row(), store, i, doc);
    }
}

void MathCore::restore(ConfigStore &store, const IniDocument &doc) const
{
    clear(store);
    for (int i = 0; i < int(store.Math.size()); ++i) {
        MathChannel &channel = store.Math[i];
        const QString section = alarmFileSection(row(), i);
        restoreChannelLabels(channel, section, doc);
        channel.Equation = doc.readValue(section, QStringLiteral("ECUACION"));
        restoreAlarmKeys(row(), store, i, doc);
    }
}

std::optional<FieldTerm> MathCore::fieldTerm(const IniDocument &side, const QString &item, const QString &key) const
{
    return alarmFieldTerm(row(), side, item, key);
}
