#include "unitcommands.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "commandsupport.h"
#include "link/devicecommands.h"
#include "link/livelog.h"

namespace {

// A 32-bit value as the unit meant it, without the noise of widening it to double.
double shortest(float value)
{
    return QString::number(value, 'g', 7).toDouble();
}

QJsonObject infoJson(const DeviceValues &d)
{
    QJsonObject features;
    for (const auto &f : Feature::kNames)
        features.insert(QString::fromLatin1(f.name), d.has(f.bit));
    const QDateTime now = QDateTime::currentDateTime();
    QJsonObject o{
        {"firmware", shortest(d.FirmwareVersion) / 100.0},
        {"serial", d.SerialNumber},
        {"battery_volts", shortest(d.BatteryVoltage)},
        {"signal_level", d.SignalLevel},
        {"log_size", d.LogSize},
        {"log_used", d.LogUsed},
        {"features_value", qint64(d.DeviceFeatures)},
        {"features", features},
    };
    if (d.DeviceClock.isValid()) {
        // The unit keeps the PC's local time; told in UTC, as every other time.
        o.insert("clock", LiveCsv::unitClock(d.DeviceClock));
        o.insert("clock_offset_seconds", now.secsTo(d.DeviceClock));
    }
    return o;
}

QJsonObject liveJson(const DeviceValues &d, bool math)
{
    // Counters and readings as the unit sent them (JSON writes a double in
    // its shortest round-trip form); times in UTC, as the CSV gives them.
    const LiveData &l = d.Live;
    QJsonArray counters, flows, probes, maths;
    for (int i = 0; i < kCounterCount; ++i) {
        counters << l.CounterValue[i];
        flows << l.FlowRate[i];
    }
    for (int i = 0; i < kProbeCount; ++i)
        probes << l.AnalogValue[i];
    QJsonObject o{{"time", LiveCsv::time(QDateTime::currentDateTimeUtc())},
                  {"unit_clock", LiveCsv::unitClock(d.DeviceClock)},
                  {"counters", counters}, {"flows", flows}, {"probes", probes},
                  {"digital", l.DigitalState}, {"outputs", l.OutputState},
                  {"flags", qint64(l.FlagState)}};
    if (math) {
        for (int i = 0; i < kProductLimits.MathCount; ++i)
            maths << l.MathValue[i];
        o.insert("math", maths);
    }
    return o;
}

bool parseInt(const QString &text, int min, int max, int &value)
{
    bool ok = false;
    value = text.toInt(&ok);
    return ok && value >= min && value <= max;
}

bool outputArgs(const CommandArgs &a, int &n, bool &on)
{
    const QString state = a.positional.at(1).toLower();
    on = state == "on";
    return parseInt(a.positional.at(0), 0, kProductLimits.OutputCount - 1, n) && (on || state == "off");
}

bool counterArgs(const CommandArgs &a, int &n, qint32 &value)
{
    bool ok = false;
    value = a.positional.at(1).toInt(&ok);
    return parseInt(a.positional.at(0), 0, kCounterCount - 1, n) && ok;
}

} // namespace

int ports(CliSession &s, const CommandArgs &)
{
    for (const QString &port : s.unit().scanPorts())
        out() << port << Qt::endl;
    return ExitOk;
}

int info(CliSession &s, const CommandArgs &a)
{
    if (!identified(s))
        return ExitNoAnswer;
    s.unit().exchange([&device = s.unit().Device](Comms &comms) { return ReadDeviceRTC(comms, device); });
    const QJsonObject o = infoJson(s.unit().Device);
    if (a.json) {
        out() << QJsonDocument(o).toJson(QJsonDocument::Compact) << Qt::endl;
        return ExitOk;
    }
    for (auto it = o.begin(); it != o.end(); ++it) {
        if (it.key() == "features") {
            QStringList on;
            const QJsonObject f = it.value().toObject();
            for (auto fi = f.begin(); fi != f.end(); ++fi)
                if (fi.value().toBool())
                    on << fi.key();
            out() << "features: " << on.join(' ') << Qt::endl;
        } else {
            out() << it.key() << ": " << it.value().toVariant().toString() << Qt::endl;
        }
    }
    return ExitOk;
}

int live(CliSession &s, const CommandArgs &a)
{
    if (!identified(s))
        return ExitNoAnswer;
    UnitConnection &unit = s.unit();
    DeviceValues &device = unit.Device;
    const bool math = device.has(Feature::MathChannels);
    unit.exchange([&device](Comms &comms) { return ReadIOParameter(comms, device); });
    if (!a.json)
        out() << LiveCsv::header(device.Live, math) << Qt::endl;
    for (int n = 0; a.count == 0 || n < a.count; ++n) {
        if (n > 0)
            s.comms().Delay(a.intervalMs);
        if (!unit.exchange([&device](Comms &comms) { return ReadRealTime(comms, device); })) {
            printError("The unit did not answer the live-value request.");
            return ExitNoAnswer;
        }
        unit.exchange([&device](Comms &comms) { return ReadDeviceRTC(comms, device); });
        if (a.json)
            out() << QJsonDocument(liveJson(device, math)).toJson(QJsonDocument::Compact) << Qt::endl;
        else
            out() << LiveCsv::row(QDateTime::currentDateTimeUtc(), device, math) << Qt::endl;
    }
    return ExitOk;
}

int setClock(CliSession &s, const CommandArgs &)
{
    if (s.unit().exchange([](Comms &comms) { return WriteDeviceRTC(comms); }))
        return ExitOk;
    printError("The unit did not accept the clock.");
    return ExitNoAnswer;
}

// Arguments are checked before connecting: a typing error needs no unit.
int checkOutput(CliSession &, const CommandArgs &a)
{
    int n = 0;
    bool on = false;
    if (outputArgs(a, n, on))
        return ExitOk;
    printError(QStringLiteral("Usage: output N on|off, N from 0 to %1.").arg(kProductLimits.OutputCount - 1));
    return ExitUsage;
}

int output(CliSession &s, const CommandArgs &a)
{
    int n = 0;
    bool on = false;
    outputArgs(a, n, on);
    // The unit's answer to the switch says nothing: the live states tell
    // whether the output followed.
    DeviceValues &device = s.unit().Device;
    if (s.unit().exchange([&](Comms &comms) {
            return SetSingleOutput(comms, qint16(n), on) && ReadRealTime(comms, device);
        }) && bool(device.Live.OutputState & (1u << n)) == on)
        return ExitOk;
    printError(QStringLiteral("The unit did not switch output %1 %2.").arg(n).arg(on ? "on" : "off"));
    return ExitNoAnswer;
}

int checkCounter(CliSession &, const CommandArgs &a)
{
    int n = 0;
    qint32 value = 0;
    if (counterArgs(a, n, value))
        return ExitOk;
    printError(QStringLiteral("Usage: counter N VALUE, N from 0 to %1, VALUE a 32-bit integer.").arg(kCounterCount - 1));
    return ExitUsage;
}

int counter(CliSession &s, const CommandArgs &a)
{
    int n = 0;
    qint32 value = 0;
    counterArgs(a, n, value);
    if (s.unit().exchange([&](Comms &comms) { return SetTotalCNT(comms, qint16(n), value); }))
        return ExitOk;
    printError("The unit did not accept the new count.");
    return ExitNoAnswer;
}

QString liveOptions(const CommandInfo &, const CliSettings &settings, CommandArgs &args)
{
    if (!readNumber(settings.count, 1, args.count) || !readNumber(settings.interval, 0, args.intervalMs))
        return QStringLiteral("--count takes a positive number, --interval 0 (no pause) or more.");
    return {};
}
