#include "sampleratecore.h"

#include <algorithm>
#include <optional>

#include "files/inidocument.h"
#include "model/configstore.h"
#include "model/texthelpers.h"
#include "sections/alarms/alarmcore.h"
#include "sections/common/downloadline.h"
#include "sections/common/fieldtext.h"

namespace {

const QString kRate = QStringLiteral("SRATE");
const QString kWeight = QStringLiteral("TOTALRATIO");

// The meters whose weight the section sets, saves and restores; the spare
// record's weight only comes from the unit.
int weightedMeters(const ConfigStore &store)
{
    return std::min(int(kProductLimits.FlowCount), int(store.Flow.size()));
}

QString fileSection(int meter)
{
    return alarmFileSection(alarmMember(AlarmMember::Flow), meter);
}

} // namespace

QString SampleRateCore::totalizerCaption(int meter)
{
    // Each caption is one entry of the language table.
    return QStringLiteral("Totalizador %1, un pulso equivale a:").arg(meter);
}

QString SampleRateCore::weightText(const QString &number)
{
    return number + QStringLiteral("m3");
}

QString SampleRateCore::name() const
{
    return QStringLiteral("SampleRate");
}

void SampleRateCore::clear(ConfigStore &store) const
{
    store.SampleRate = kLowRate;
    for (int i = 0; i < weightedMeters(store); ++i)
        store.Flow[i].TotalRatio = 1;
}

QStringList SampleRateCore::keywords() const
{
    return {kRate, kWeight};
}

void SampleRateCore::parseLine(ConfigStore &store, DownloadState &, const QString &keyword,
                               const QString &line, quint32) const
{
    if (keyword == kRate) {
        // The unit reports 1 for the high rate; anything else is the low one.
        store.SampleRate = ParseNumber(LineField(line, 2)) == 1 ? kHighRate : kLowRate;
        return;
    }
    const std::optional<int> index = ItemIndex(line, int(store.Flow.size()));
    const std::optional<float> weight = ToFloat32(ParseNumber(LineField(line, 3)));
    if (index && weight)
        store.Flow[*index].TotalRatio = *weight;
}

QStringList SampleRateCore::downloadLines(const ConfigStore &store, quint32) const
{
    QStringList lines{kRate + (store.SampleRate == kHighRate ? QStringLiteral(",1")
                                                             : QStringLiteral(",0"))};
    for (int i = 0; i < int(store.Flow.size()); ++i)
        lines << kWeight + QLatin1Char(',') + QString::number(i) + QLatin1Char(',')
                     + NumberText(store.Flow[i].TotalRatio);
    return lines;
}

void SampleRateCore::save(const ConfigStore &store, IniDocument &doc) const
{
    for (int i = 0; i < weightedMeters(store); ++i)
        doc.writeValue(fileSection(i), kWeight, NumStr(store.Flow[i].TotalRatio));
}

void SampleRateCore::restore(ConfigStore &store, const IniDocument &doc) const
{
    clear(store);
    for (int i = 0; i < weightedMeters(store); ++i) {
        // A missing key reads as "" and gives 0, not Clear's 1.
        if (const auto weight = ToFloat32(ParseNumber(doc.readValue(fileSection(i), kWeight))))
            store.Flow[i].TotalRatio = *weight;
    }
}

std::optional<FieldTerm> SampleRateCore::fieldTerm(const IniDocument &side, const QString &item, const QString &key) const
{
    const QString number = recordNumber(item);
    const int meter = number.toInt();
    if (number.isEmpty() || meter >= kProductLimits.FlowCount || item != fileSection(meter) || key != kWeight)
        return std::nullopt;
    const QString text = side.readValue(item, key);
    return FieldTerm{{}, fieldCaption(totalizerCaption(meter)), text.isEmpty() ? text : weightText(editorValueText(text))};
}
