#include "flowcore.h"

#include <optional>

#include <QHash>

#include "files/inidocument.h"
#include "link/devicevalues.h"
#include "model/configstore.h"
#include "model/texthelpers.h"
#include "sections/alarms/alarmcore.h"
#include "sections/common/downloadline.h"
#include "sections/common/fieldtext.h"
#include "sections/common/uploadline.h"

namespace {

const QString kAnswer = QStringLiteral("CAUDAL");

const AlarmMemberRow &flowRow()
{
    return alarmMember(AlarmMember::Flow);
}

template <typename T> void keepIf(T &field, std::optional<T> value)
{
    if (value)
        field = *value;
}

// A disabled meter reports (and is sent) a time base of 0 whatever it holds.
qint16 sentTimeBase(const FlowMeter &meter)
{
    return meter.Interface != 0 ? meter.TimeBase : 0;
}

QString flowConfLine(const FlowMeter &meter, int index)
{
    QString line = QStringLiteral("FLOWCONF") + QString::number(index) + QLatin1Char('=')
                   + meter.Name + QStringLiteral(",UNIT=") + meter.Unit;
    if (meter.Interface != 0)
        line += QStringLiteral(",TB=") + NumStr(meter.TimeBase) + QStringLiteral(",REGDAYMIN");
    else
        line += QStringLiteral(",TB=0");
    return line + QStringLiteral(",RATIO=") + NumberText(meter.Ratio);
}

// "CAUDAL,<index>,<name>,<unit>,<time base>,<ratio>": a line whose numbers do
// not fit their fields is skipped whole.
void parseMeter(ConfigStore &store, const QString &line)
{
    const std::optional<int> index = ItemIndex(line, int(store.Flow.size()));
    const std::optional<qint16> timeBase = ToInt16(ParseNumber(LineField(line, 5)));
    const std::optional<float> ratio = ToFloat32(ParseNumber(LineField(line, 6)));
    if (!index || !timeBase || !ratio)
        return;
    FlowMeter &meter = store.Flow[*index];
    meter.Name = LineField(line, 3);
    meter.Unit = LineField(line, 4);
    meter.TimeBase = *timeBase;
    meter.Ratio = *ratio;
    meter.Interface = *timeBase != 0 ? FlowMeter::kEnabled : 0;
}

int uploadedMeters(quint32 features)
{
    return uploadedAlarmChannels(flowRow(), UploadContext{features});
}

// "FLOWCONF<i>=<name>,UNIT=<unit>,TB=<time base>[,REGDAYMIN],RATIO=<ratio>":
// the unit counts while the time base is above 0, as it reports.
bool applyConfLine(ConfigStore &store, const QString &line, quint32 features)
{
    const std::optional<UploadHead> head =
        ReadUploadHead(line, QStringLiteral("FLOWCONF"), uploadedMeters(features), QLatin1Char('='));
    if (!head)
        return false;
    UploadFields fields(head->rest);
    const QString name = *fields.takeFirst();
    const std::optional<QString> unit = fields.take(u"UNIT=");
    const std::optional<qint16> timeBase = UploadInt16(fields.take(u"TB="));
    fields.takeWord(u"REGDAYMIN");
    const std::optional<float> ratio = UploadFloat(fields.take(u"RATIO="));
    if (!unit || !timeBase || !ratio || !fields.empty())
        return false;
    FlowMeter &meter = store.Flow[head->index];
    meter.Name = name;
    meter.Unit = *unit;
    meter.TimeBase = *timeBase;
    meter.Ratio = *ratio;
    meter.Interface = *timeBase != 0 ? FlowMeter::kEnabled : 0;
    return true;
}

// "TOTALRATIO<i>=<weight>", sent to units that take pulse weights.
bool applyWeightLine(ConfigStore &store, const QString &line, quint32 features)
{
    if (!(features & Feature::PulseWeight))
        return false;
    const std::optional<UploadHead> head =
        ReadUploadHead(line, QStringLiteral("TOTALRATIO"), uploadedMeters(features), QLatin1Char('='));
    const std::optional<float> weight = head ? UploadFloat(head->rest) : std::nullopt;
    if (!weight)
        return false;
    store.Flow[head->index].TotalRatio = *weight;
    return true;
}

} // namespace

QString FlowCore::name() const
{
    return QStringLiteral("Caudal");
}

void FlowCore::clear(ConfigStore &store) const
{
    for (FlowMeter &meter : store.Flow) {
        meter.Name.clear();
        meter.Unit.clear();
        meter.Interface = 0;
        meter.Ratio = 1;
        meter.TimeBase = 0;
    }
    clearAlarms(flowRow(), store);
}

QStringList FlowCore::keywords() const
{
    return QStringList{kAnswer} + alarmKeywords(flowRow());
}

void FlowCore::parseLine(ConfigStore &store, DownloadState &, const QString &keyword,
                         const QString &line, quint32) const
{
    if (keyword == kAnswer)
        parseMeter(store, line);
    else
        parseAlarmLine(flowRow(), store, keyword, line);
}

QStringList FlowCore::downloadLines(const ConfigStore &store, quint32) const
{
    QStringList lines;
    for (int i = 0; i < int(store.Flow.size()); ++i) {
        const FlowMeter &meter = store.Flow[i];
        lines << QStringList{kAnswer, QString::number(i), meter.Name, meter.Unit,
                             QString::number(sentTimeBase(meter)), NumberText(meter.Ratio)}
                     .join(QLatin1Char(','));
        lines << alarmDownloadLines(flowRow(), store, i);
    }
    return lines;
}

QStringList FlowCore::uploadLines(const ConfigStore &store, const UploadContext &context) const
{
    QStringList lines;
    // The meters uploaded are the ones whose alarm lines go: FL0 to FlowCount - 1.
    const int count = uploadedAlarmChannels(flowRow(), context);
    for (int i = 0; i < count; ++i) {
        const FlowMeter &meter = store.Flow[i];
        lines << flowConfLine(meter, i);
        if (context.features & Feature::PulseWeight)
            lines << QStringLiteral("TOTALRATIO") + QString::number(i) + QLatin1Char('=')
                         + NumStr(meter.TotalRatio);
        lines << alarmUploadLines(flowRow(), store, i, context);
    }
    return lines;
}

bool FlowCore::applyUploadLine(ConfigStore &store, const QString &line, quint32 features) const
{
    return applyConfLine(store, line, features) || applyWeightLine(store, line, features)
           || applyAlarmUploadLine(flowRow(), store, line, features);
}

void FlowCore::save(const ConfigStore &store, IniDocument &doc) const
{
    for (int i = 0; i < int(store.Flow.size()); ++i) {
        const FlowMeter &meter = store.Flow[i];
        const QString section = alarmFileSection(flowRow(), i);
        doc.writeValue(section, QStringLiteral("NOMBRE"), meter.Name);
        doc.writeValue(section, QStringLiteral("UNIDAD"), meter.Unit);
        doc.writeValue(section, QStringLiteral("INTERFAZ"), NumStr(meter.Interface));
        doc.writeValue(section, QStringLiteral("TIMEBASE"), NumStr(meter.TimeBase));
        doc.writeValue(section, QStringLiteral("RATIO"), NumStr(meter.Ratio));
        saveAlarmKeys(flowRow(), store, i, doc);
    }
}

void FlowCore::restore(ConfigStore &store, const IniDocument &doc) const
{
    clear(store);
    for (int i = 0; i < int(store.Flow.size()); ++i) {
        FlowMeter &meter = store.Flow[i];
        const QString section = alarmFileSection(flowRow(), i);
        auto read = [&](const char *key) { return doc.readValue(section, QLatin1String(key)); };
        meter.Name = read("NOMBRE");
        meter.Unit = read("UNIDAD");
        // A missing key reads as "" and gives 0, as the file has always done.
        keepIf(meter.Interface, ToInt16(ParseNumber(read("INTERFAZ"))));
        keepIf(meter.TimeBase, ToInt16(ParseNumber(read("TIMEBASE"))));
        keepIf(meter.Ratio, ToFloat32(ParseNumber(read("RATIO"))));
        restoreAlarmKeys(flowRow(), store, i, doc);
    }
}

std::optional<FieldTerm> FlowCore::fieldTerm(const IniDocument &side, const QString &item, const QString &key) const
{
    float AlarmConfig::*number = nullptr;
    std::optional<FieldTerm> term = alarmFieldTerm(flowRow(), side, item, key, &number);
    if (!term)
        return term;
    static const QHash<QString, QString> captions = {
        {"NOMBRE", "Nombre"}, {"UNIDAD", "Unidad"}, {"INTERFAZ", "Interfaz"},
        {"TIMEBASE", "Base de tiempo"}, {"RATIO", "Un pulso equivale a:"}};
    if (const auto caption = captions.constFind(key); caption != captions.cend())
        term->field = fieldCaption(*caption);
    if (number == &AlarmConfig::Low || number == &AlarmConfig::High || number == &AlarmConfig::Hysteresis) {
        // The product in single precision, as the window shows it.
        const float pulses = float(ParseNumber(side.readValue(item, key)));
        const float ratio = float(ParseNumber(side.readValue(item, QStringLiteral("RATIO"))));
        const QString unit = side.readValue(item, QStringLiteral("UNIDAD")).trimmed();
        term->value = NumberText(pulses * ratio) + (unit.isEmpty() ? QString() : u' ' + unit);
    }
    return term;
}
