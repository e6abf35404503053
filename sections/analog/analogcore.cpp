#include "analogcore.h"

#include <optional>

#include "files/inidocument.h"
#include "model/configstore.h"
#include "model/texthelpers.h"
#include "sections/alarms/alarmcore.h"
#include "sections/common/downloadline.h"

namespace {

const QString kKeyword = QStringLiteral("ANALOG");
const QString kNameKey = QStringLiteral("NOMBRE");
const QString kUnitKey = QStringLiteral("UNIDAD");
const QString kInterfaceKey = QStringLiteral("INTERFAZ");
const QString kGroupKey = QStringLiteral("GRUPO");

// The scaling values: file keys in the record's order; the unit's line gives
// them as start, start equivalent, end, end equivalent.
struct Scale {
    QLatin1String fileKey;
    float AnalogInput::*field;
};
constexpr Scale kScaleKeys[] = {
    {QLatin1String("IE"), &AnalogInput::IE},
    {QLatin1String("FE"), &AnalogInput::FE},
    {QLatin1String("EqIE"), &AnalogInput::EqIE},
    {QLatin1String("EqFE"), &AnalogInput::EqFE},
};
constexpr float AnalogInput::*kLineScale[] = {&AnalogInput::IE, &AnalogInput::EqIE,
                                              &AnalogInput::FE, &AnalogInput::EqFE};
constexpr int kFirstScaleField = 7;

// The unit codes the pressure sensor as 4; the record keeps 7.
constexpr qint16 kPressureSensor = 7;
constexpr int kPressureSensorCode = 4;

const AlarmMemberRow &row()
{
    return alarmMember(AlarmMember::Analog);
}

// The record's interface for a code of the unit's line; none for a code the
// unit does not define, which leaves the interface as it was.
std::optional<qint16> interfaceOfCode(const QString &text)
{
    const double code = ParseNumber(text);
    if (code == kPressureSensorCode)
        return kPressureSensor;
    for (qint16 plain = 0; plain < kPressureSensorCode; ++plain) {
        if (code == plain)
            return plain;
    }
    return std::nullopt;
}

qint16 codeOfInterface(qint16 interface)
{
    return interface == kPressureSensor ? qint16(kPressureSensorCode) : interface;
}

template <typename T> void keepIf(T &field, std::optional<T> value)
{
    if (value)
        field = *value;
}

// "ANALOG,<index>,<name>,<unit>,<interface code>,<group>,<IE>,<EqIE>,<FE>,<EqFE>".
// A bad index or a number that does not fit skips the line whole.
void parseInput(ConfigStore &store, const QString &line)
{
    const std::optional<int> index = ItemIndex(line, int(store.Analog.size()));
    if (!index)
        return;
    AnalogInput input = store.Analog[*index];
    input.Name = LineField(line, 3);
    input.Unit = LineField(line, 4);
    keepIf(input.Interface, interfaceOfCode(LineField(line, 5)));
    const std::optional<qint16> group = ToInt16(ParseNumber(LineField(line, 6)));
    if (!group)
        return;
    input.Group = *group;
    for (int i = 0; i < int(std::size(kLineScale)); ++i) {
        const std::optional<float> value = ToFloat32(ParseNumber(LineField(line, kFirstScaleField + i)));
        if (!value)
            return;
        input.*kLineScale[i] = *value;
    }
    store.Analog[*index] = input;
}

QString inputLine(const AnalogInput &input, int index)
{
    QStringList fields{kKeyword, QString::number(index), input.Name, input.Unit,
                       QString::number(codeOfInterface(input.Interface)), QString::number(input.Group)};
    for (const auto field : kLineScale)
        fields << NumberText(input.*field);
    return fields.join(QLatin1Char(','));
}

} // namespace

QString AnalogCore::name() const
{
    return QStringLiteral("E_Analog");
}

void AnalogCore::clear(ConfigStore &store) const
{
    for (AnalogInput &input : store.Analog) {
        AnalogInput fresh;
        fresh.Alarms = input.Alarms;
        input = fresh;
    }
    clearAlarms(row(), store);
}

QStringList AnalogCore::keywords() const
{
    return QStringList{kKeyword} + alarmKeywords(row());
}

void AnalogCore::parseLine(ConfigStore &store, DownloadState &, const QString &keyword,
                           const QString &line, quint32) const
{
    if (keyword == kKeyword)
        parseInput(store, line);
    else
        parseAlarmLine(row(), store, keyword, line);
}

QStringList AnalogCore::downloadLines(const ConfigStore &store, quint32) const
{
    QStringList lines;
    for (int i = 0; i < int(store.Analog.size()); ++i)
        lines << inputLine(store.Analog[i], i) << alarmDownloadLines(row(), store, i);
    return lines;
}

// All four sections, whatever the product's analog count is.
void AnalogCore::save(const ConfigStore &store, IniDocument &doc) const
{
    for (int i = 0; i < int(store.Analog.size()); ++i) {
        const AnalogInput &input = store.Analog[i];
        const QString section = alarmFileSection(row(), i);
        doc.writeValue(section, kNameKey, input.Name);
        doc.writeValue(section, kUnitKey, input.Unit);
        doc.writeValue(section, kInterfaceKey, NumStr(input.Interface));
        for (const Scale &scale : kScaleKeys)
            doc.writeValue(section, scale.fileKey, NumStr(input.*scale.field));
        doc.writeValue(section, kGroupKey, NumStr(input.Group));
        saveAlarmKeys(row(), store, i, doc);
    }
}

void AnalogCore::restore(ConfigStore &store, const IniDocument &doc) const
{
    clear(store);
    for (int i = 0; i < int(store.Analog.size()); ++i) {
        AnalogInput &input = store.Analog[i];
        const QString section = alarmFileSection(row(), i);
        input.Name = doc.readValue(section, kNameKey);
        input.Unit = doc.readValue(section, kUnitKey);
        keepIf(input.Interface, ToInt16(ParseNumber(doc.readValue(section, kInterfaceKey))));
        for (const Scale &scale : kScaleKeys)
            keepIf(input.*scale.field, ToFloat32(ParseNumber(doc.readValue(section, scale.fileKey))));
        keepIf(input.Group, ToInt16(ParseNumber(doc.readValue(section, kGroupKey))));
        restoreAlarmKeys(row(), store, i, doc);
    }
}

std::optional<FieldTerm> AnalogCore::fieldTerm(const IniDocument &side, const QString &item, const QString &key) const
{
    return alarmFieldTerm(row(), side, item, key);
}
