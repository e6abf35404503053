#include "onewirecore.h"

#include <optional>

#include "files/inidocument.h"
#include "model/configstore.h"
#include "model/texthelpers.h"
#include "sections/alarms/alarmcore.h"
#include "sections/common/channellabels.h"
#include "sections/common/downloadline.h"
#include "sections/gprs/iptext.h"

namespace {

const QString kKeyword = QStringLiteral("ONEWIRE");
const QString kDefaultAddress = QStringLiteral("0");
constexpr int kFirstAddressField = 6; // of the "ONEWIRE" answer; four fields per half
constexpr int kAddressBytes = 4;

const AlarmMemberRow &row()
{
    return alarmMember(AlarmMember::OneWire);
}

// The probe's kind as the unit codes it: 0 none, 1 temperature, 2 humidity.
struct ProbeKind {
    int code;
    qint16 interface;
};
constexpr ProbeKind kKinds[] = {
    {0, OneWireProbe::kDisabled},
    {1, OneWireProbe::kTemperature},
    {2, OneWireProbe::kHumidity},
};

QString addressFromFields(const QString &line, int firstField)
{
    QStringList values;
    for (int i = 0; i < kAddressBytes; ++i)
        values << LineField(line, firstField + i);
    return values.join(QLatin1Char('.'));
}

// The four values of one half as the unit sends them, three digits each; a
// text that is no address reads as zeros.
QStringList addressFields(const QString &address)
{
    QStringList fields;
    for (const quint8 value : DottedBytes(address).value_or(std::array<quint8, kAddressBytes>{}))
        fields << QStringLiteral("%1").arg(value, 3, 10, QLatin1Char('0'));
    return fields;
}

bool atClear(const OneWireProbe &probe)
{
    return probe.Name.isEmpty() && probe.Unit.isEmpty()
           && probe.Interface == OneWireProbe::kDisabled && probe.Address1 == kDefaultAddress
           && probe.Address2 == kDefaultAddress;
}

QString kindSuffix(qint16 interface)
{
    switch (interface) {
    case OneWireProbe::kTemperature: return QStringLiteral(",1WTEMP");
    case OneWireProbe::kHumidity: return QStringLiteral(",1WHUM");
    default: return {};
    }
}

// One half of an address as the unit holds it: four bytes, three digits each.
QString unitAddress(const QString &half)
{
    return addressFields(half).join(QLatin1Char('.'));
}

// The kind word of a probe line (",1WTEMP"), taken: kDisabled without one,
// none for more than one.
std::optional<qint16> takeKind(UploadFields &fields)
{
    qint16 found = OneWireProbe::kDisabled;
    for (const ProbeKind &kind : kKinds) {
        const QString suffix = kindSuffix(kind.interface);
        if (suffix.isEmpty() || !fields.takeWord(suffix.sliced(1)))
            continue;
        if (found != OneWireProbe::kDisabled)
            return std::nullopt;
        found = kind.interface;
    }
    return found;
}

// ",ONEWADD=<a1.a2.a3.a4.b1.b2.b3.b4>[,1WTEMP|,1WHUM]" of a "ONEWCONF" line.
// The unit keeps the address as eight bytes (a half that is no address as
// zeros) and a probe of no kind it knows as off, as it reports them.
bool readProbe(OneWireProbe &probe, UploadFields &fields)
{
    const std::optional<QString> address = fields.take(u"ONEWADD=");
    const std::optional<qint16> interface = takeKind(fields);
    if (!address || !interface)
        return false;
    const QStringList bytes = address->split(QLatin1Char('.'));
    probe.Interface = *interface;
    probe.Address1 = unitAddress(bytes.mid(0, kAddressBytes).join(QLatin1Char('.')));
    probe.Address2 = unitAddress(bytes.mid(kAddressBytes).join(QLatin1Char('.')));
    probe.UseId = !(probe.Address1 == kSingleProbeAddress && probe.Address2 == kSingleProbeAddress);
    return true;
}

} // namespace

QString OneWireCore::name() const
{
    return QStringLiteral("E_OneWire");
}

void OneWireCore::clear(ConfigStore &store) const
{
    for (OneWireProbe &probe : store.OneWire) {
        probe.Name.clear();
        probe.Unit.clear();
        probe.Interface = OneWireProbe::kDisabled;
        probe.Address1 = kDefaultAddress;
        probe.Address2 = kDefaultAddress;
    }
    clearAlarms(row(), store);
}

QStringList OneWireCore::keywords() const
{
    return QStringList{kKeyword} + alarmKeywords(row());
}

// "ONEWIRE,index,name,unit,kind,a1,a2,a3,a4,b1,b2,b3,b4": the address values
// are kept as they come; a probe whose eight values are all "000" is alone on
// the bus.
void OneWireCore::parseLine(ConfigStore &store, DownloadState &, const QString &keyword,
                            const QString &line, quint32) const
{
    if (keyword != kKeyword) {
        parseAlarmLine(row(), store, keyword, line);
        return;
    }
    const std::optional<int> index = ItemIndex(line, int(store.OneWire.size()));
    const std::optional<qint16> code = ToInt16(ParseNumber(LineField(line, 5)));
    if (!index || !code)
        return;
    OneWireProbe &probe = store.OneWire[*index];
    probe.Name = LineField(line, 3);
    probe.Unit = LineField(line, 4);
    for (const ProbeKind &kind : kKinds) {
        if (kind.code == *code)
            probe.Interface = kind.interface;
    }
    probe.Address1 = addressFromFields(line, kFirstAddressField);
    probe.Address2 = addressFromFields(line, kFirstAddressField + kAddressBytes);
    probe.UseId = !(probe.Address1 == kSingleProbeAddress && probe.Address2 == kSingleProbeAddress);
}

QStringList OneWireCore::downloadLines(const ConfigStore &store, quint32) const
{
    QStringList lines;
    for (int i = 0; i < int(store.OneWire.size()); ++i) {
        const OneWireProbe &probe = store.OneWire[i];
        if (!atClear(probe)) {
            int code = 0;
            for (const ProbeKind &kind : kKinds) {
                if (kind.interface == probe.Interface)
                    code = kind.code;
            }
            lines << (QStringList{kKeyword, QString::number(i), probe.Name, probe.Unit,
                                  QString::number(code)}
                      + addressFields(probe.Address1) + addressFields(probe.Address2))
                         .join(QLatin1Char(','));
        }
        lines += alarmDownloadLines(row(), store, i);
    }
    return lines;
}

QStringList OneWireCore::uploadLines(const ConfigStore &store, const UploadContext &context) const
{
    QStringList lines;
    const int count = uploadedAlarmChannels(row(), context);
    for (int i = 0; i < count; ++i) {
        const OneWireProbe &probe = store.OneWire[i];
        if (probe.Interface != OneWireProbe::kDisabled)
            lines << QStringLiteral("ONEWCONF%1=").arg(i) + probe.Name + QStringLiteral(",UNIT=")
                         + probe.Unit + QStringLiteral(",ONEWADD=") + probe.Address1
                         + QLatin1Char('.') + probe.Address2 + kindSuffix(probe.Interface);
        else
            lines << QStringLiteral("DISONEW%1").arg(i);
        lines += alarmUploadLines(row(), store, i, context);
    }
    return lines;
}

// "ONEWCONF<i>=<name>,UNIT=<unit>,ONEWADD=..." sets probe i, "DISONEW<i>" turns it off.
bool OneWireCore::applyUploadLine(ConfigStore &store, const QString &line, quint32 features) const
{
    const int count = uploadedAlarmChannels(row(), UploadContext{features});
    return applyChannelLabelLine(store.OneWire, count, line, QStringLiteral("ONEWCONF"),
                                 QStringLiteral("DISONEW"), readProbe)
           || applyAlarmUploadLine(row(), store, line, features);
}

void OneWireCore::save(const ConfigStore &store, IniDocument &doc) const
{
    for (int i = 0; i < int(store.OneWire.size()); ++i) {
        const OneWireProbe &probe = store.OneWire[i];
        const QString section = alarmFileSection(row(), i);
        saveChannelLabels(probe, section, doc);
        doc.writeValue(section, QStringLiteral("ID"), BoolText(probe.UseId));
        doc.writeValue(section, QStringLiteral("ADDRESS1"), probe.Address1);
        doc.writeValue(section, QStringLiteral("ADDRESS2"), probe.Address2);
        saveAlarmKeys(row(), store, i, doc);
    }
}

void OneWireCore::restore(ConfigStore &store, const IniDocument &doc) const
{
    clear(store);
    for (int i = 0; i < int(store.OneWire.size()); ++i) {
        OneWireProbe &probe = store.OneWire[i];
        const QString section = alarmFileSection(row(), i);
        restoreChannelLabels(probe, section, doc);
        probe.UseId = TextBool(doc.readValue(section, QStringLiteral("ID")));
        probe.Address1 = doc.readValue(section, QStringLiteral("ADDRESS1"));
        probe.Address2 = doc.readValue(section, QStringLiteral("ADDRESS2"));
        restoreAlarmKeys(row(), store, i, doc);
    }
}

std::optional<FieldTerm> OneWireCore::fieldTerm(const IniDocument &side, const QString &item, const QString &key) const
{
    return alarmFieldTerm(row(), side, item, key);
}
