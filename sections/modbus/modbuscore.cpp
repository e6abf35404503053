#include "modbuscore.h"

#include <algorithm>
#include <array>
#include <optional>

#include "files/inidocument.h"
#include "link/devicevalues.h"
#include "model/configstore.h"
#include "model/texthelpers.h"

namespace {

const QString kSection = QStringLiteral("MODBUS");
const QString kKeyword = QStringLiteral("MODBUS.PRM");
const QString kBaudKey = QStringLiteral("BAUD");
const QString kMasterKey = QStringLiteral("MASTER");
const QString kAddressKey = QStringLiteral("SLAVE_ADDRESS");

constexpr std::array<qint32, 7> kRates{1200, 2400, 4800, 9600, 19200, 38400, 57600};

bool isStandardRate(qint32 rate)
{
    return std::find(kRates.begin(), kRates.end(), rate) != kRates.end();
}

// Any rate is kept; only a standard one becomes the rate the file falls back to.
void setBaudRate(ModbusBus &bus, qint32 rate)
{
    bus.BaudRate = rate;
    if (isStandardRate(rate))
        bus.SavedBaudRate = rate;
}

} // namespace

QString ModbusCore::name() const
{
    return QStringLiteral("CONF_MODBUS");
}

void ModbusCore::clear(ConfigStore &store) const
{
    ModbusBus &bus = store.Modbus;
    setBaudRate(bus, 1200);
    bus.Master = true;
    bus.SlaveAddress = 1;
}

QStringList ModbusCore::keywords() const
{
    return {kKeyword};
}

// "MODBUS.PRM,<baud>,<0 master | other slave>,<slave address>". The role and
// address count only for a unit that can be a slave. A number that does not
// fit its field skips the whole line.
void ModbusCore::parseLine(ConfigStore &store, DownloadState &, const QString &, const QString &line,
                           quint32 features) const
{
    ModbusBus &bus = store.Modbus;
    const std::optional<qint32> rate = ToInt32(ParseNumber(LineField(line, 2)));
    if (!rate)
        return;
    if (!(features & Feature::ModbusSlave)) {
        setBaudRate(bus, *rate);
        bus.Master = true;
        return;
    }
    const std::optional<qint16> address = ToInt16(ParseNumber(LineField(line, 4)));
    if (!address)
        return;
    setBaudRate(bus, *rate);
    bus.Master = ParseNumber(LineField(line, 3)) == 0;
    bus.SlaveAddress = *address;
}

QStringList ModbusCore::downloadLines(const ConfigStore &store, quint32) const
{
    const ModbusBus &bus = store.Modbus;
    return {kKeyword + QStringLiteral(",%1,%2,%3").arg(bus.BaudRate).arg(bus.Master ? 0 : 1).arg(bus.SlaveAddress)};
}

void ModbusCore::save(const ConfigStore &store, IniDocument &doc) const
{
    const ModbusBus &bus = store.Modbus;
    doc.writeValue(kSection, kBaudKey, NumStr(isStandardRate(bus.BaudRate) ? bus.BaudRate : bus.SavedBaudRate));
    doc.writeValue(kSection, kMasterKey, BoolText(bus.Master));
    doc.writeValue(kSection, kAddressKey, NumStr(bus.SlaveAddress));
}

// A file without "MASTER" predates the slave role: master, address 0.
void ModbusCore::restore(ConfigStore &store, const IniDocument &doc) const
{
    clear(store);
    ModbusBus &bus = store.Modbus;
    if (const std::optional<qint32> rate = ToInt32(ParseNumber(doc.readValue(kSection, kBaudKey))))
        setBaudRate(bus, *rate);
    const QString master = doc.readValue(kSection, kMasterKey);
    if (master.isEmpty()) {
        bus.Master = true;
        bus.SlaveAddress = 0;
        return;
    }
    bus.Master = TextBool(master);
    if (const std::optional<qint16> address = ToInt16(ParseNumber(doc.readValue(kSection, kAddressKey))))
        bus.SlaveAddress = *address;
}

void ForceModbusMaster(ConfigStore &store, bool unitConnected, quint32 unitFeatures)
{
    if (unitConnected && !(unitFeatures & Feature::ModbusSlave))
        store.Modbus.Master = true;
}
