// The unit's stand-alone commands: identity stream, clock, counters, channel
// labels, live values, outputs.
#include "devicecommands.h"

#include <cmath>
#include <limits>
#include <optional>
#include <type_traits>

#include "comms.h"
#include "model/product.h"
#include "model/texthelpers.h"
#include "serialport.h"

namespace {

constexpr int kStreamAttempts = 3;

// Holds CommsBusy for one operation.
class BusyLink {
public:
    explicit BusyLink(bool &busy)
        : busy_(busy)
    {
        busy_ = true;
    }
    ~BusyLink() { busy_ = false; }
    BusyLink(const BusyLink &) = delete;
    BusyLink &operator=(const BusyLink &) = delete;

private:
    bool &busy_;
};

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

float floatField(const Comms &link, int field)
{
    return ToFloat32(ParseNumber(link.GetField(field))).value_or(0.0f);
}

// Text fields of an answer: entry i from field first + stride * i.
template <std::size_t N>
void storeTexts(const Comms &link, std::array<QString, N> &texts, int count, int first, int stride)
{
    for (int i = 0; i < count; ++i)
        texts[i] = link.GetField(first + stride * i);
}

constexpr int kCounters = 9;
constexpr int kAnalogs = 4;
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

bool Comms::linkFree() const
{
    return !CommsBusy && port_->isOpen();
}

void Comms::ReadInfo()
{
    if (!linkFree())
        return;
    BusyLink busy(CommsBusy);
    bool parsed = false;
    for (int attempt = 0; attempt < kStreamAttempts && !parsed; ++attempt) {
        int expected = 0;
        TxSer(QStringLiteral("#44"), LinkTimeout);
        if (!RxBuf.startsWith(QLatin1String("#BB")))
            continue;
        while (!RxBuf.isEmpty() && RxBuf != QLatin1String("#BB")) {
            parsed = ParseInfoLine(expected);
            if (!parsed)
                break;
            RxSer(LinkTimeout);
        }
    }
    emit infoChanged();
}

bool Comms::ParseInfoLine(int &expected)
{
    if (!RxBuf.startsWith(QLatin1String("#BB")) || ParseNumber(QStringView(RxBuf).mid(3, 3)) != expected)
        return false;
    ++expected;
    const QString keyword = GetField(1).mid(6);
    const QString value = GetField(2);
    const double number = ParseNumber(value);
    if (keyword == QLatin1String("VERSION")) {
        Device.FirmwareVersion = ToFloat32(number).value_or(0.0f);
    } else if (keyword == QLatin1String("FEATURES")) {
        if (const auto flags = bitSet<quint32>(number))
            Device.DeviceFeatures = *flags;
    } else if (keyword == QLatin1String("SERIAL")) {
        Device.SerialNumber = value;
    } else if (keyword == QLatin1String("VBAT")) {
        Device.BatteryVoltage = ToFloat32(number).value_or(0.0f);
    } else if (keyword == QLatin1String("RSSI")) {
        Device.SignalLevel = ToInt16(number).value_or(-1);
    } else if (keyword == QLatin1String("LOG.SIZE")) {
        Device.LogSize = number;
    } else if (keyword == QLatin1String("LOG.USE")) {
        Device.LogUsed = number;
    }
    return true;
}

bool Comms::ReadTotalCount()
{
    if (!linkFree())
        return false;
    BusyLink busy(CommsBusy);
    if (!answered(QStringLiteral("#20"), QStringLiteral("#DF"), kStreamAttempts))
        return false;
    for (int i = 0; i < kCounters; ++i)
        Device.TotalCounts[i] = wholeField<qint32>(*this, i + 2);
    return true;
}

void Comms::ReadDeviceRTC()
{
    if (!linkFree())
        return;
    BusyLink busy(CommsBusy);
    if (answered(QStringLiteral("#5D"), QStringLiteral("#A2"), kStreamAttempts))
        Device.DeviceClock = ClockFromAnswer(RxBuf);
}

bool Comms::WriteDeviceRTC()
{
    if (!linkFree())
        return false;
    BusyLink busy(CommsBusy);
    TxSer(QStringLiteral("#5C") + ClockDigits(QDateTime::currentDateTime()), LinkTimeout);
    return RxBuf == QLatin1String("#A3");
}

bool Comms::ReadIOParameter()
{
    if (!linkFree())
        return false;
    BusyLink busy(CommsBusy);
    LiveData &live = Device.Live;
    if (answered(QStringLiteral("#35"), QStringLiteral("#CA"), 1)) {
        storeTexts(*this, live.AnalogName, kAnalogs, 4, 4);
        storeTexts(*this, live.AnalogUnit, kAnalogs, 5, 4);
    }
    if (answered(QStringLiteral("#26"), QStringLiteral("#D9"), 1))
        storeTexts(*this, live.CounterName, kCounters, 2, 1);
    if (answered(QStringLiteral("#27"), QStringLiteral("#D8"), 1)) {
        storeTexts(*this, live.FlowName, kCounters, 2, 2);
        storeTexts(*this, live.FlowUnit, kCounters, 3, 2);
    }
    if (answered(QStringLiteral("#25"), QStringLiteral("#DA"), 1)) {
        storeTexts(*this, live.AuxName, kAuxiliaries, 6, 6);
        storeTexts(*this, live.AuxUnit, kAuxiliaries, 7, 6);
    }
    if (Device.has(Feature::MathChannels) && answered(QStringLiteral("#2A"), QStringLiteral("#D5"), 1)) {
        storeTexts(*this, live.MathName, kMathCount, 4, 4);
        storeTexts(*this, live.MathUnit, kMathCount, 5, 4);
    }
    return true;
}

bool Comms::ReadRealTime()
{
    if (!linkFree())
        return false;
    BusyLink busy(CommsBusy);
    LiveData &live = Device.Live;
    if (answered(QStringLiteral("#20"), QStringLiteral("#DF"), 1)) {
        for (int i = 0; i < kCounters; ++i)
            live.CounterValue[i] = wholeField<qint32>(*this, i + 2);
    }
    if (answered(QStringLiteral("#22"), QStringLiteral("#DD"), 1)) {
        for (int i = 0; i < kCounters; ++i)
            live.FlowRate[i] = floatField(*this, i + 2);
    }
    const bool states = answered(QStringLiteral("#23"), QStringLiteral("#DC"), 1);
    if (states) {
        live.DigitalState = bitSetField<quint16>(*this, 2);
        live.OutputState = bitSetField<quint16>(*this, 3);
        live.FlagState = bitSetField<quint32>(*this, 4);
        for (int i = 0; i < kAuxiliaries; ++i)
            live.AuxValue[i] = floatField(*this, i + 5);
    }
    if (Device.has(Feature::MathChannels)) {
        if (answered(QStringLiteral("#29"), QStringLiteral("#D6"), 1)) {
            for (int i = 0; i < kMathCount; ++i)
                live.MathValue[i] = floatField(*this, i + 2);
        }
        if (answered(QStringLiteral("#28"), QStringLiteral("#D7"), 1)) {
            for (int i = 0; i < kMathRegisters; ++i)
                live.MathRegister[i] = NumStr(ParseNumber(GetField(i + 2)));
        }
    }
    if (answered(QStringLiteral("#36"), QStringLiteral("#C9"), 1)) {
        for (int i = 0; i < kAnalogs; ++i)
            live.AnalogValue[i] = floatField(*this, i + 2);
    }
    return states;
}

bool Comms::SetSingleOutput(qint16 output, bool value)
{
    if (!linkFree())
        return false;
    BusyLink busy(CommsBusy);
    TxSer((value ? QStringLiteral("#47") : QStringLiteral("#48")) + QString::number(output), LinkTimeout);
    return true;
}

bool Comms::SetTotalCNT(qint16 index, qint32 newVal)
{
    if (!linkFree())
        return false;
    BusyLink busy(CommsBusy);
    TxSer(CounterCommand(index, newVal), LinkTimeout);
    return RxBuf == QLatin1String("#BE1");
}
