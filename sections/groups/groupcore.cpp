#include "groupcore.h"

#include <optional>

#include "files/inidocument.h"
#include "model/configstore.h"
#include "model/texthelpers.h"
#include "sections/common/downloadline.h"
#include "sections/common/fieldtext.h"

namespace {

const QString kKeyword = QStringLiteral("GROUP");
const QString kOutputKey = QStringLiteral("SALIDA");
const QString kVoltageKey = QStringLiteral("VOLTAJE");
const QString kPeriodKey = QStringLiteral("PERIOD");

QString fileSection(int group)
{
    return QStringLiteral("GRUPO") + NumStr(group);
}

std::optional<qint16> int16Value(const QString &text)
{
    return ToInt16(ParseNumber(text));
}

std::optional<float> floatValue(const QString &text)
{
    return ToFloat32(ParseNumber(text));
}

template <typename T> void setIf(T &field, std::optional<T> value)
{
    if (value)
        field = *value;
}

} // namespace

QString GroupCore::name() const
{
    return QStringLiteral("Grupos");
}

void GroupCore::clear(ConfigStore &store) const
{
    store.Groups.fill(AnalogGroup{});
}

QStringList GroupCore::keywords() const
{
    return {kKeyword};
}

// "GROUP,<index>,<output>,<voltage>,<period>". Values outside the domains are
// carried; a line with a bad index or a number that does not fit is skipped whole.
void GroupCore::parseLine(ConfigStore &store, DownloadState &, const QString &, const QString &line,
                          quint32) const
{
    const std::optional<int> index = ItemIndex(line, AnalogGroup::kCount);
    const std::optional<qint16> output = int16Value(LineField(line, 3));
    const std::optional<qint16> voltage = int16Value(LineField(line, 4));
    const std::optional<float> period = floatValue(LineField(line, 5));
    if (!index || !output || !voltage || !period)
        return;
    store.Groups[*index] = AnalogGroup{*output, *voltage, *period};
}

QStringList GroupCore::downloadLines(const ConfigStore &store, quint32) const
{
    QStringList lines;
    for (int i = 0; i < AnalogGroup::kCount; ++i) {
        const AnalogGroup &group = store.Groups[i];
        lines << QStringList{kKeyword, QString::number(i), NumberText(group.Output),
                             NumberText(group.Voltage), NumberText(group.ActivePeriod)}
                     .join(QLatin1Char(','));
    }
    return lines;
}

void GroupCore::save(const ConfigStore &store, IniDocument &doc) const
{
    for (int i = 0; i < AnalogGroup::kCount; ++i) {
        const AnalogGroup &group = store.Groups[i];
        doc.writeValue(fileSection(i), kOutputKey, NumStr(group.Output));
        doc.writeValue(fileSection(i), kVoltageKey, NumStr(group.Voltage));
        doc.writeValue(fileSection(i), kPeriodKey, NumStr(group.ActivePeriod));
    }
}

void GroupCore::restore(ConfigStore &store, const IniDocument &doc) const
{
    clear(store);
    for (int i = 0; i < AnalogGroup::kCount; ++i) {
        AnalogGroup &group = store.Groups[i];
        setIf(group.Output, int16Value(doc.readValue(fileSection(i), kOutputKey)));
        setIf(group.Voltage, int16Value(doc.readValue(fileSection(i), kVoltageKey)));
        setIf(group.ActivePeriod, floatValue(doc.readValue(fileSection(i), kPeriodKey)));
    }
}

// No window edits the groups: their keys read by the names of the group's
// fields, the values as the file holds them.
std::optional<FieldTerm> GroupCore::fieldTerm(const IniDocument &side, const QString &item, const QString &key) const
{
    static const QHash<QString, KeyCaption> captions = {
        {"SALIDA", {"Alimentacion desde salida"}},
        {"VOLTAJE", {"Tension de excitacion"}},
        {"PERIOD", {"Periodo de activacion"}},
    };
    const QString number = recordNumber(item);
    if (number.isEmpty() || number.toInt() >= AnalogGroup::kCount)
        return std::nullopt;
    return captionedFieldTerm(side, fileSection(number.toInt()), item, key, captions);
}
