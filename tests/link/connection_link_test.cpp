// Port search, cable and modem connection with the login, hang-up, and the
// clock tolerance.
#include <gtest/gtest.h>

#include <QSignalSpy>

#include "link/connection.h"
#include "link/fakeserialport.h"
#include "scriptedunit.h"

namespace {

const QStringList kModemSetup{"ATE0", "AT\\Q3", "AT\\N5", "AT+IFC=2,2"};

// A unit behind a modem that answers every setup line with OK.
void modemAnswersSetup(ScriptedUnit &unit)
{
    for (const QString &setup : kModemSetup)
        unit.on(setup, {ScriptedUnit::line("OK")});
}

TEST(Connection, ScanKeepsThePortsThatOpen)
{
    UnitLink link;
    link.port.close();
    link.port.setAvailablePorts({"/dev/ttyUSB0", "COM3"});
    EXPECT_EQ(link.comms.ScanPorts({"COM1", "COM3", "/dev/ttyS0", "/dev/ttyUSB0"}),
              (QStringList{"COM3", "/dev/ttyUSB0"}));
    EXPECT_FALSE(link.port.isOpen());

    link.port.open("COM3");
    EXPECT_TRUE(link.comms.ScanPorts({"COM3"}).isEmpty()); // connected: the port stays open
    EXPECT_EQ(link.port.portName(), "COM3");
    EXPECT_TRUE(link.port.isOpen());
}

TEST(Connection, CableConnectDrainsThenAsksForLiveness)
{
    UnitLink link;
    link.port.close();
    link.comms.CommsBusy = true;
    link.unit.answer("#40", "#BF");
    // Left over from an earlier session, arriving once the port is open.
    QTimer::singleShot(0, &link.port, [&] { link.port.feed(ScriptedUnit::frame("#BB000SERIAL,1")); });

    EXPECT_TRUE(link.comms.StartComs("COM1", ""));
    EXPECT_TRUE(link.port.isOpen());
    EXPECT_EQ(link.comms.LinkTimeout, 5000);
    EXPECT_FALSE(link.comms.CommsBusy);
    EXPECT_EQ(link.unit.received, QStringList{"#40"});
    EXPECT_TRUE(link.comms.LastError.isEmpty());
}

TEST(Connection, WrongLivenessAnswerClosesThePort)
{
    UnitLink link;
    link.port.close();
    link.unit.answer("#40", "#BE");
    EXPECT_FALSE(link.comms.StartComs("COM1", ""));
    EXPECT_FALSE(link.port.isOpen());
    EXPECT_EQ(link.unit.count("#40"), 1);
}

TEST(Connection, PortThatDoesNotOpenLeavesItsReason)
{
    UnitLink link;
    link.port.close();
    link.port.failNextOpen("Permission error while locking the device");
    EXPECT_FALSE(link.comms.StartComs("/dev/ttyUSB0", ""));
    EXPECT_EQ(link.comms.LastError, "Permission error while locking the device");
    EXPECT_TRUE(link.unit.received.isEmpty());
}

TEST(Connection, ModemDial)
{
    const struct {
        const char *name;
        QList<QByteArray> dialReplies;
        bool connected;
        int dials;
    } cases[] = {
        {"connect with speed", {ScriptedUnit::line("CONNECT 9600")}, true, 1},
        {"busy", {ScriptedUnit::line("BUSY")}, false, 1},
        {"no carrier after noise", {"\r\n  " + ScriptedUnit::line("NO CARRIER")}, false, 1},
        {"retry on +CME ERROR: 515",
         {ScriptedUnit::line("+CME ERROR: 515"), ScriptedUnit::line("CONNECT")}, true, 2},
    };
    for (const auto &c : cases) {
        UnitLink link;
        link.port.close();
        modemAnswersSetup(link.unit);
        link.unit.on("ATD5551234", c.dialReplies);
        link.unit.answer("#11" "4321", "#PassWord=1");
        link.unit.answer("#40", "#BF");
        link.comms.askPassWord = [] { return QStringLiteral("4321"); };

        EXPECT_EQ(link.comms.StartComs("COM2", "5551234"), c.connected) << c.name;
        EXPECT_EQ(link.port.isOpen(), c.connected) << c.name;
        EXPECT_EQ(link.unit.count("ATD5551234"), c.dials) << c.name;
        QStringList expected = kModemSetup;
        expected << "ATD5551234";
        if (c.connected)
            expected << "#114321" << "#40";
        EXPECT_EQ(link.unit.distinctReceived(), expected) << c.name;
        EXPECT_EQ(link.comms.LinkTimeout, 10000) << c.name;
    }
}

TEST(Connection, LoginAsksThreeTimesThenLivenessDecides)
{
    const struct {
        const char *name;
        QStringList keys; // what the operator types at each prompt ("" cancels)
        int prompts;
        QStringList sent;
    } cases[] = {
        {"cancelled three times", {"", "", ""}, 3, {"#40"}},
        {"wrong, then right", {"1", "4321"}, 2, {"#111", "#114321", "#40"}},
        {"wrong three times", {"1", "2", "3"}, 3, {"#111", "#112", "#113", "#40"}},
    };
    for (const auto &c : cases) {
        UnitLink link;
        link.port.close();
        modemAnswersSetup(link.unit);
        link.unit.on("ATD1", {ScriptedUnit::line("CONNECT 9600")});
        for (const QString &key : c.keys)
            link.unit.answer("#11" + key, key == "4321" ? "#PassWord=1" : "#PassWord=0");
        link.unit.answer("#40", "#BF");
        int prompts = 0;
        link.comms.askPassWord = [&] { return c.keys.value(prompts++); };

        EXPECT_TRUE(link.comms.StartComs("COM2", "1")) << c.name;
        EXPECT_EQ(prompts, c.prompts) << c.name;
        EXPECT_EQ(link.unit.distinctReceived().mid(kModemSetup.size() + 1), c.sent) << c.name;
    }
}

TEST(Connection, ModemHangUpSendsTheEscapeThenATH)
{
    UnitLink link;
    link.unit.on("ATH", {ScriptedUnit::line("OK")});
    link.comms.CloseComs(true);
    EXPECT_EQ(link.port.writtenBytes(), "+++ATH\r");
    EXPECT_FALSE(link.port.isOpen());

    UnitLink cable;
    cable.comms.CloseComs(false);
    EXPECT_TRUE(cable.port.writtenBytes().isEmpty());
    EXPECT_FALSE(cable.port.isOpen());
}

TEST(Connection, ModemLineSkipsLeadingBlanksAndLineFeeds)
{
    UnitLink link;
    link.port.feed("\n \r\nOK\r\nRING\r\n");
    EXPECT_TRUE(link.comms.RxGsm(1000));
    EXPECT_EQ(link.comms.RxBuf, "OK");
    EXPECT_TRUE(link.comms.RxGsm(1000));
    EXPECT_EQ(link.comms.RxBuf, "RING");
    EXPECT_FALSE(link.comms.RxGsm(20));
    EXPECT_EQ(link.comms.RxBuf, "");
}

TEST(Connection, ClockQuestionOnlyPastTenMinutes)
{
    const QDateTime pc(QDate(2024, 6, 1), QTime(12, 0, 0));
    const struct {
        qint64 offsetMs;
        bool ask;
    } cases[] = {
        {0, false},
        {10 * 60 * 1000, false},
        {-10 * 60 * 1000, false},
        {10 * 60 * 1000 + 1000, true},
        {-(10 * 60 * 1000 + 1000), true},
        {3 * 3600 * 1000, true},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ClockOutOfSync(pc.addMSecs(c.offsetMs), pc), c.ask) << c.offsetMs;
    EXPECT_FALSE(ClockOutOfSync(QDateTime(), pc));
}

} // namespace
