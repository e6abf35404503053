#include "unitstate.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <functional>
#include <type_traits>

#include "link/devicevalues.h"

namespace {

constexpr int kVoiceListMax = 250;

QStringList numbered(const QString &stem, int count)
{
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << stem + QString::number(i);
    return names;
}

// Element-wise overlay: the list keeps its size, the file's values replace the first ones.
template <typename T, typename Convert>
bool overlay(QList<T> &target, const QJsonValue &value, Convert convert)
{
    if (!value.isArray())
        return false;
    const QJsonArray array = value.toArray();
    for (int i = 0; i < array.size() && i < target.size(); ++i)
        target[i] = convert(array.at(i));
    return true;
}

bool readFeatures(const QJsonValue &value, quint32 &features)
{
    if (value.isDouble()) {
        features = static_cast<quint32>(value.toDouble());
        return true;
    }
    if (!value.isArray())
        return false;
    quint32 bits = 0;
    for (const QJsonValue &item : value.toArray()) {
        bool known = false;
        for (const Feature::Named &named : Feature::kNames) {
            if (item.toString() == QLatin1String(named.name)) {
                bits |= named.bit;
                known = true;
            }
        }
        if (!known)
            return false;
    }
    features = bits;
    return true;
}

} // namespace

UnitState UnitState::defaults()
{
    UnitState s;
    s.features = Feature::RetrySettings | Feature::GprsSettings | Feature::FlagAlarms
                 | Feature::FtpSettings | Feature::MathChannels | Feature::DigitalNormallyClosed
                 | Feature::WideChannelMask | Feature::FastLineAck | Feature::MonthlyTimers
                 | Feature::MissedCallMacro | Feature::ModbusSlave | Feature::ExtendedPhoneMask
                 | Feature::PulseWeight;
    s.serialNumber = QStringLiteral("VS21-004217");
    s.batteryVoltage = 3.61;
    s.signalLevel = 21;
    s.logSize = 20000;
    s.logUsed = 1873;

    s.counters = {152340, 98211, 0, 0, 0, 0, 0, 0, 0};
    s.flowRates = {12.5, 7.25, 0, 0, 0, 0, 0, 0, 0};
    s.digitalStates = 0x05;
    s.outputStates = 0x01;
    s.flagStates = 0x0003;
    s.auxValues = {0, 0, 0, 0};
    s.mathValues = {250551, 19.75, 0, 0};
    s.mathRegisters = {0, 1.5, -2.25, 1000, 0, 0, 0, 0};
    s.analogValues = {0, 0, 0, 0};

    s.counterNames = {QStringLiteral("Pozo 1"), QStringLiteral("Pozo 2")};
    s.counterNames += numbered(QStringLiteral("Contador "), 9).mid(2);
    s.flowNames = s.counterNames;
    s.flowUnits = {QStringLiteral("m3/h"), QStringLiteral("m3/h")};
    s.flowUnits += QStringList(7, QStringLiteral("l/s"));
    s.mathNames = {QStringLiteral("Volumen total"), QStringLiteral("Temp. media"),
                   QStringLiteral("Math 2"), QStringLiteral("Math 3")};
    s.mathUnits = {QStringLiteral("m3"), QStringLiteral("C"), QString(), QString()};
    s.analogNames = numbered(QStringLiteral("Analog "), 4);
    s.analogUnits = QStringList(4, QStringLiteral("mA"));
    s.auxNames = numbered(QStringLiteral("Aux "), 4);
    s.auxUnits = QStringList(4, QStringLiteral("V"));

    s.voiceList = {QStringLiteral("+34600123456"), QStringLiteral("+34600654321")};
    s.voiceMacro = 2;
    s.accessKey = QStringLiteral("1234");
    s.probeId = {40, 170, 187, 204, 0, 0, 0, 45};
    return s;
}

bool UnitState::apply(const QJsonObject &json, QString *error)
{
    using Setter = std::function<bool(const QJsonValue &)>;
    const auto number = [](auto &target) -> Setter {
        return [&target](const QJsonValue &v) {
            target = static_cast<std::remove_reference_t<decltype(target)>>(v.toDouble());
            return v.isDouble();
        };
    };
    const auto text = [](QString &target) -> Setter {
        return [&target](const QJsonValue &v) {
            target = v.toString();
            return v.isString();
        };
    };
    const auto numbers = [](auto &target) -> Setter {
        return [&target](const QJsonValue &v) {
            return overlay(target, v, [](const QJsonValue &item) {
                return static_cast<typename std::remove_reference_t<decltype(target)>::value_type>(
                    item.toDouble());
            });
        };
    };
    const auto texts = [](QStringList &target) -> Setter {
        return [&target](const QJsonValue &v) {
            return overlay(target, v, [](const QJsonValue &item) { return item.toString(); });
        };
    };

    const QHash<QString, Setter> setters = {
        {QStringLiteral("firmwareVersion"), number(firmwareVersion)},
        {QStringLiteral("features"), [this](const QJsonValue &v) { return readFeatures(v, features); }},
        {QStringLiteral("serialNumber"), text(serialNumber)},
        {QStringLiteral("batteryVoltage"), number(batteryVoltage)},
        {QStringLiteral("signalLevel"), number(signalLevel)},
        {QStringLiteral("logSize"), number(logSize)},
        {QStringLiteral("logUsed"), number(logUsed)},
        {QStringLiteral("clockOffsetSeconds"), number(clockOffsetSeconds)},
        {QStringLiteral("counters"), numbers(counters)},
        {QStringLiteral("flowRates"), numbers(flowRates)},
        {QStringLiteral("digitalStates"), number(digitalStates)},
        {QStringLiteral("outputStates"), number(outputStates)},
        {QStringLiteral("flagStates"), number(flagStates)},
        {QStringLiteral("auxValues"), numbers(auxValues)},
        {QStringLiteral("mathValues"), numbers(mathValues)},
        {QStringLiteral("mathRegisters"), numbers(mathRegisters)},
        {QStringLiteral("analogValues"), numbers(analogValues)},
        {QStringLiteral("counterNames"), texts(counterNames)},
        {QStringLiteral("flowNames"), texts(flowNames)},
        {QStringLiteral("flowUnits"), texts(flowUnits)},
        {QStringLiteral("mathNames"), texts(mathNames)},
        {QStringLiteral("mathUnits"), texts(mathUnits)},
        {QStringLiteral("analogNames"), texts(analogNames)},
        {QStringLiteral("analogUnits"), texts(analogUnits)},
        {QStringLiteral("auxNames"), texts(auxNames)},
        {QStringLiteral("auxUnits"), texts(auxUnits)},
        {QStringLiteral("voiceList"), [this](const QJsonValue &v) {
             const QJsonArray numbers = v.toArray();
             voiceList.clear();
             for (int i = 0; i < numbers.size() && i < kVoiceListMax; ++i)
                 voiceList << numbers.at(i).toString();
             return v.isArray() && numbers.size() <= kVoiceListMax;
         }},
        {QStringLiteral("voiceMacro"), number(voiceMacro)},
        {QStringLiteral("accessKey"), text(accessKey)},
        {QStringLiteral("probeId"), numbers(probeId)},
    };

    QStringList bad;
    for (auto it = json.begin(); it != json.end(); ++it) {
        const auto setter = setters.constFind(it.key());
        if (setter == setters.constEnd() || !(*setter)(it.value()))
            bad << it.key();
    }
    if (!bad.isEmpty() && error)
        *error = QStringLiteral("bad or unknown state values: %1").arg(bad.join(QStringLiteral(", ")));
    return bad.isEmpty();
}

bool UnitState::loadFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!doc.isObject()) {
        if (error)
            *error = parseError.error != QJsonParseError::NoError ? parseError.errorString()
                                                                   : QStringLiteral("not a JSON object");
        return false;
    }
    return apply(doc.object(), error);
}
