// The MODBUS bus settings' core: the unit's line, the file keys, the master role.
#include <gtest/gtest.h>

#include "files/inidocument.h"
#include "link/devicevalues.h"
#include "model/configstore.h"
#include "model/texthelpers.h"
#include "sections/modbus/modbuscore.h"

namespace {

const ModbusCore core;

ConfigStore cleared()
{
    ConfigStore store;
    core.clear(store);
    return store;
}

void feed(ConfigStore &store, const QString &line, quint32 features)
{
    DownloadState state;
    core.parseLine(store, state, LineField(line, 1), QStringLiteral("#BD040") + line, features);
}

IniDocument fileOf(const char *text)
{
    IniDocument doc;
    doc.parse(QByteArray("[MODBUS]\r\n") + text);
    return doc;
}

QString savedValue(const ConfigStore &store, const QString &key)
{
    IniDocument doc;
    core.save(store, doc);
    return doc.readValue(QStringLiteral("MODBUS"), key);
}

struct Bus {
    qint32 baud;
    bool master;
    qint16 address;
};

void expectBus(const ModbusBus &bus, Bus expected)
{
    EXPECT_EQ(bus.BaudRate, expected.baud);
    EXPECT_EQ(bus.Master, expected.master);
    EXPECT_EQ(bus.SlaveAddress, expected.address);
}

TEST(ModbusCore, DownloadLineAgainstTheSlaveCapability)
{
    const struct {
        const char *line;
        quint32 features;
        Bus expected;
    } cases[] = {
        // Without the slave role the unit is master and the address stays.
        {"MODBUS.PRM,9600,1,5", 0, {9600, true, 1}},
        {"MODBUS.PRM,9600,1,5", Feature::ModbusSlave, {9600, false, 5}},
        {"MODBUS.PRM,9600,0,5", Feature::ModbusSlave, {9600, true, 5}},
        {"MODBUS.PRM,5000,2,7", Feature::ModbusSlave, {5000, false, 7}},
        // A number that does not fit its field skips the whole line.
        {"MODBUS.PRM,99999999999,1,5", Feature::ModbusSlave, {1200, true, 1}},
        {"MODBUS.PRM,9600,1,70000", Feature::ModbusSlave, {1200, true, 1}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        ConfigStore store = cleared();
        feed(store, QString::fromLatin1(c.line), c.features);
        expectBus(store.Modbus, c.expected);
    }
}

TEST(ModbusCore, SaveWritesTheLastStandardRate)
{
    ConfigStore store = cleared();
    feed(store, QStringLiteral("MODBUS.PRM,9600,1,5"), Feature::ModbusSlave);
    feed(store, QStringLiteral("MODBUS.PRM,5000,1,5"), Feature::ModbusSlave);
    EXPECT_EQ(store.Modbus.BaudRate, 5000);

    IniDocument doc;
    core.save(store, doc);
    EXPECT_EQ(doc.serialize(), "[MODBUS]\r\nBAUD= 9600\r\nMASTER=False\r\nSLAVE_ADDRESS= 5\r\n");

    // A file without "BAUD" leaves 0 in the model; the save falls back to Clear's rate.
    core.restore(store, fileOf("MASTER=True\r\nSLAVE_ADDRESS= 3\r\n"));
    expectBus(store.Modbus, {0, true, 3});
    IniDocument fallback;
    core.save(store, fallback);
    EXPECT_TRUE(fallback.serialize().startsWith("[MODBUS]\r\nBAUD= 1200\r\n"));
}

TEST(ModbusCore, Restore)
{
    const struct {
        const char *what;
        const char *file;
        Bus expected;
    } cases[] = {
        {"every key", "BAUD= 19200\r\nMASTER=False\r\nSLAVE_ADDRESS= 9\r\n", {19200, false, 9}},
        {"no MASTER: master at address 0", "BAUD= 4800\r\nSLAVE_ADDRESS= 9\r\n", {4800, true, 0}},
        {"empty MASTER", "BAUD= 4800\r\nMASTER=\r\nSLAVE_ADDRESS= 9\r\n", {4800, true, 0}},
        {"out of range keeps Clear's", "BAUD= 1E12\r\nMASTER=False\r\nSLAVE_ADDRESS= 40000\r\n",
         {1200, false, 1}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ConfigStore store;
        store.Modbus = {57600, false, 33, 57600};
        core.restore(store, fileOf(c.file));
        expectBus(store.Modbus, c.expected);
    }
}

TEST(ModbusCore, UnitLineDownloadsBackToTheSameSettings)
{
    ConfigStore source = cleared();
    source.Modbus = {38400, false, 17, 38400};
    EXPECT_EQ(core.downloadLines(source, Feature::ModbusSlave), QStringList{"MODBUS.PRM,38400,1,17"});
    ConfigStore copy = cleared();
    feed(copy, core.downloadLines(source, Feature::ModbusSlave).first(), Feature::ModbusSlave);
    expectBus(copy.Modbus, {38400, false, 17});
}

TEST(ModbusCore, ForcedMasterOnlyWhileAUnitWithoutTheSlaveRoleIsConnected)
{
    const struct {
        bool connected;
        quint32 features;
        bool master;
    } cases[] = {
        {true, 0, true},
        {true, Feature::GprsSettings, true},
        {true, Feature::ModbusSlave, false},
        {false, 0, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.connected << " " << c.features);
        ConfigStore store = cleared();
        core.restore(store, fileOf("BAUD= 9600\r\nMASTER=False\r\nSLAVE_ADDRESS= 2\r\n"));
        ForceModbusMaster(store, c.connected, c.features);
        EXPECT_EQ(savedValue(store, QStringLiteral("MASTER")), BoolText(c.master));
    }
}

} // namespace
