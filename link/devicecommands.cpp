// The unit's stand-alone commands: identity stream, clock, counters, channel
// labels, live values, outputs.
#include "devicecommands.h"

#include <cmath>
#include <limits>
#include <optional>
#include <type_traits>

#include "comms.h"
#include "devicevalues.h"
#include "numberedstream.h"
#include "model/product.h"
#include "model/texthelpers.h"
#include "serialport.h"

namespace {

constexpr int kStreamAttempts = 3;

int twoDigits(const QString &text, int position)
{
    return static_cast<int>(ParseNumber(QStringView(text).mid(position, 2)));
}

// A numeric field rounded to the nearest whole number; 0 when it does not fit.
template <typename T>
T wholeField(const Comms &link, int field)
{
    const double value = std::nearbyint(ParseNumber(link.GetField(field)));
    if (!(value >= double(std::numeric_limits<T>::min()) && value <= double(std::numeric_limits<T>::max())))
        return 0;
    return static_cast<T>(value);
}

// A bit set sent as a whole number, signed or unsigned: either way its bits
// are the set ("-1" has every bit on). None when the number is wider than the set.
template <typename Bits>
std::optional<Bits> bitSet(double number)
{
    using Signed = std::make_signed_t<Bits>;
    const double value = std::nearbyint(number);
    if (!(value >= double(std::numeric_limits<Signed>::min()) && value <= double(std::numeric_limits<Bits>::max())))
        return std::nullopt;
    return static_cast<Bits>(static_cast<qint64>(value));
}

template <typename Bits>
Bits bitSetField(const Comms &link, int field)
{
    return bitSet<Bits>(ParseNumber(link.GetField(field))).value_or(0);
}

// A live counter as the unit sent it: plain digits exactly, whatever their
// width up to 64 bits (a unit counting unsigned passes 2147483647); any
// other number form rounded. 0 only for a field that holds no number that fits.
qint64 counterField(const Comms &link, int field)
{
    const QString text = link.GetField(field).trimmed();
    bool plain = false;
    const qint64 exact = text.toLongLong(&plain);
    if (plain)
        return exact;
    const double value = std::nearbyint(ParseNumber(text));
    // 2^63 itself is past the end of qint64.
    if (!(value >= -9223372036854775808.0 && value < 9223372036854775808.0))
        return 0;
    return static_cast<qint64>(value);
}

// A live reading with every digit a double keeps; 0 for one that is no finite number.
double liveField(const Comms &link, int field)
{
    const double value = ParseNumber(link.GetField(field));
    return std::isfinite(value) ? value : 0.0;
}

// Text fields of an answer: entry i from field first + stride * i.
template <std::size_t N>
void storeTexts(const Comms &link, std::array<QString, N> &texts, int count, int first, int stride)
{
    for (int i = 0; i < count; ++i)
        texts[i] = link.GetField(first + stride * i);
}

constexpr int kCounters = kCounterCount;
constexpr int kAnalogs = kProbeCount;
constexpr int kAuxiliaries = 4;
constexpr int kMathRegisters = 8;
constexpr int kMathCount = kProductLimits.MathCount;

} // namespace

QString ClockDigits(const QDateTime &clock)
{
    return clock.toString(QStringLiteral("yyMMddHHmmss"));
}

QDateTime ClockFromAnswer(const QString &answer)
{
    const QDate date = QDate(2000 + twoDigits(answer, 3), 1, 1)
                           .addMonths(twoDigits(answer, 5) - 1)
                           .addDays(twoDigits(answer, 7) - 1);
    const qint64 seconds = twoDigits(answer, 9) * 3600 + twoDigits(answer, 11) * 60 + twoDigits(answer, 13);
    return QDateTime(date, QTime(0, 0)).addSecs(seconds);
}

QString CounterCommand(qint16 index, qint32 value)
{
    return QStringLiteral("#41CNT%1=%2").arg(index).arg(value);
}

namespace {

// One "#BB" line of the identity stream into the device values.
void parseInfoLine(const QString &line, DeviceValues &device)
{
    const QString keyword = LineField(line, 1).mid(6);
    const QString value = LineField(line, 2);
    const double number = ParseNumber(value);
    if (keyword == QLatin1String("VERSION")) {
        device.FirmwareVersion = ToFloat32(number).value_or(0.0f);
    } else if (keyword == QLatin1String("FEATURES")) {
        if (const auto flags = bitSet<quint32>(number))
            device.DeviceFeatures = *flags;
    } else if (keyword == QLatin1String("SERIAL")) {
        device.SerialNumber = value;
    } else if (keyword == QLatin1String("VBAT")) {
        device.BatteryVoltage = ToFloat32(number).value_or(0.0f);
    } else if (keyword == QLatin1String("RSSI")) {
        device.SignalLevel = ToInt16(number).value_or(-1);
    } else if (keyword == QLatin1String("LOG.SIZE")) {
        device.LogSize = number;
    } else if (keyword == QLatin1String("LOG.USE")) {
        device.LogUsed = number;
    }
}

// The identity values of `from` into `to`; the live values, counters and clock stay.
void takeIdentity(DeviceValues &to, const DeviceValues &from)
{
    to.DeviceFeatures = from.DeviceFeatures;
    to.FirmwareVersion = from.FirmwareVersion;
    to.SerialNumber = from.SerialNumber;
    to.BatteryVoltage = from.BatteryVoltage;
    to.SignalLevel = from.SignalLevel;
    to.LogSize = from.LogSize;
    to.LogUsed = from.LogUsed;
}

} // namespace

bool ReadInfo(Comms &comms, DeviceValues &device)
{
    CommsBusyGuard busy(comms);
    if (!busy)
        return false;
    // Each attempt fills empty values, which replace the device's only when
    // the whole stream was read: never a mix of two units or two attempts.
    for (int attempt = 0; attempt < kStreamAttempts; ++attempt) {
        DeviceValues read;
        const bool complete = ReadNumberedStream(comms, QStringLiteral("#44"), QStringLiteral("#BB"),
                                                 [&read](const QString &line, int) {
                                                     parseInfoLine(line, read);
                                                     return true;
                                                 });
        if (complete) {
            takeIdentity(device, read);
            return true;
        }
    }
    return false;
}

bool ReadTotalCount(Comms &comms, DeviceValues &device)
{
    CommsBusyGuard busy(comms);
    if (!busy || !comms.answered(QStringLiteral("#20"), QStringLiteral("#DF"), kStreamAttempts))
        return false;
    for (int i = 0; i < kCounters; ++i)
        device.TotalCounts[i] = wholeField<qint32>(comms, i + 2);
    return true;
}

bool ReadDeviceRTC(Comms &comms, DeviceValues &device)
{
    CommsBusyGuard busy(comms);
    if (!busy || !comms.answered(QStringLiteral("#5D"), QStringLiteral("#A2"), kStreamAttempts))
        return false;
    device.DeviceClock = ClockFromAnswer(comms.RxBuf);
    return true;
}

bool WriteDeviceRTC(Comms &comms)
{
    CommsBusyGuard busy(comms);
    if (!busy)
        return false;
    comms.TxSer(QStringLiteral("#5C") + ClockDigits(QDateTime::currentDateTime()), comms.LinkTimeout);
    return comms.RxBuf == QLatin1String("#A3");
}

bool ReadIOParameter(Comms &comms, DeviceValues &device)
{
    CommsBusyGuard busy(comms);
    if (!busy)
        return false;
    LiveData &live = device.Live;
    if (comms.answered(QStringLiteral("#35"), QStringLiteral("#CA"), 1)) {
        storeTexts(comms, live.AnalogName, kAnalogs, 4, 4);
        storeTexts(comms, live.AnalogUnit, kAnalogs, 5, 4);
    }
    if (comms.answered(QStringLiteral("#26"), QStringLiteral("#D9"), 1))
        storeTexts(comms, live.CounterName, kCounters, 2, 1);
    if (comms.answered(QStringLiteral("#27"), QStringLiteral("#D8"), 1)) {
        storeTexts(comms, live.FlowName, kCounters, 2, 2);
        storeTexts(comms, live.FlowUnit, kCounters, 3, 2);
    }
    if (comms.answered(QStringLiteral("#25"), QStringLiteral("#DA"), 1)) {
        storeTexts(comms, live.AuxName, kAuxiliaries, 6, 6);
        storeTexts(comms, live.AuxUnit, kAuxiliaries, 7, 6);
    }
    if (device.has(Feature::MathChannels) && comms.answered(QStringLiteral("#2A"), QStringLiteral("#D5"), 1)) {
        storeTexts(comms, live.MathName, kMathCount, 4, 4);
        storeTexts(comms, live.MathUnit, kMathCount, 5, 4);
    }
    return true;
}

bool ReadRealTime(Comms &comms, DeviceValues &device)
{
    CommsBusyGuard busy(comms);
    if (!busy)
        return false;
    LiveData &live = device.Live;
    if (comms.answered(QStringLiteral("#20"), QStringLiteral("#DF"), 1)) {
        for (int i = 0; i < kCounters; ++i)
            live.CounterValue[i] = counterField(comms, i + 2);
    }
    if (comms.answered(QStringLiteral("#22"), QStringLiteral("#DD"), 1)) {
        for (int i = 0; i < kCounters; ++i)
            live.FlowRate[i] = liveField(comms, i + 2);
    }
    const bool states = comms.answered(QStringLiteral("#23"), QStringLiteral("#DC"), 1);
    if (states) {
        live.DigitalState = bitSetField<quint16>(comms, 2);
        live.OutputState = bitSetField<quint16>(comms, 3);
        live.FlagState = bitSetField<quint32>(comms, 4);
        for (int i = 0; i < kAuxiliaries; ++i)
            live.AuxValue[i] = liveField(comms, i + 5);
    }
    if (device.has(Feature::MathChannels)) {
        if (comms.answered(QStringLiteral("#29"), QStringLiteral("#D6"), 1)) {
            for (int i = 0; i < kMathCount; ++i)
                live.MathValue[i] = liveField(comms, i + 2);
        }
        if (comms.answered(QStringLiteral("#28"), QStringLiteral("#D7"), 1)) {
            for (int i = 0; i < kMathRegisters; ++i)
                live.MathRegister[i] = NumStr(ParseNumber(comms.GetField(i + 2)));
        }
    }
    if (comms.answered(QStringLiteral("#36"), QStringLiteral("#C9"), 1)) {
        for (int i = 0; i < kAnalogs; ++i)
            live.AnalogValue[i] = liveField(comms, i + 2);
    }
    return states;
}

bool SetSingleOutput(Comms &comms, qint16 output, bool value)
{
    CommsBusyGuard busy(comms);
    if (!busy)
        return false;
    comms.TxSer((value ? QStringLiteral("#47") : QStringLiteral("#48")) + QString::number(output), comms.LinkTimeout);
    return true;
}

bool SetTotalCNT(Comms &comms, qint16 index, qint32 newVal)
{
    CommsBusyGuard busy(comms);
    if (!busy)
        return false;
    comms.TxSer(CounterCommand(index, newVal), comms.LinkTimeout);
    return comms.RxBuf == QLatin1String("#BE1");
}

namespace {

// One value of the probe's identification number: a whole number 0-255.
std::optional<quint8> probeByte(const QString &text)
{
    if (!IsIntegerText(text))
        return std::nullopt;
    const double value = ParseNumber(text);
    if (value < 0 || value > 255)
        return std::nullopt;
    return quint8(value);
}

} // namespace

std::optional<ProbeId> ReadProbeId(Comms &comms)
{
    CommsBusyGuard busy(comms);
    if (!busy)
        return std::nullopt;
    const QString code = QStringLiteral("#05");
    comms.TxSer(QStringLiteral("#FA"), comms.timings.probeIdAnswer);
    // A drained frame left in RxBuf by a port lost mid-exchange is no answer.
    if (!comms.port().isOpen() || !comms.RxBuf.startsWith(code))
        return std::nullopt;
    // The first value is glued to the answer code: the last three characters of field 1.
    const QString first = comms.GetField(1);
    if (first.size() < code.size() + 3)
        return std::nullopt;
    ProbeId id{};
    for (int i = 0; i < int(id.size()); ++i) {
        const std::optional<quint8> value = probeByte(i == 0 ? first.right(3) : comms.GetField(i + 1));
        if (!value)
            return std::nullopt;
        id[i] = *value;
    }
    return id;
}
