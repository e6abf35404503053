// Port search, cable and modem connection with the login, hang-up, and the
// clock tolerance.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTimer>

#include "link/connection.h"
#include "link/unitconnection.h"
#include "link/fakeserialport.h"
#include "scriptedunit.h"

namespace {

const QStringList kModemSetup{"ATE0", "AT\\Q3", "AT\\N5", "AT+IFC=2,2"};

ConnectRequest cable(const QString &port)
{
    return {port, false, {}};
}

ConnectRequest modem(const QString &port, const QString &number)
{
    return {port, false, number};
}

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
    EXPECT_EQ(link.connection.scanPorts({"COM1", "COM3", "/dev/ttyS0", "/dev/ttyUSB0"}),
              (QStringList{"COM3", "/dev/ttyUSB0"}));
    EXPECT_FALSE(link.port.isOpen());

    link.port.open("COM3");
    EXPECT_TRUE(link.connection.scanPorts({"COM3"}).isEmpty()); // connected: the port stays open
    EXPECT_EQ(link.port.portName(), "COM3");
    EXPECT_TRUE(link.port.isOpen());
}

TEST(Connection, CableConnectDrainsThenAsksForLiveness)
{
    UnitLink link;
    link.port.close();
    link.unit.answer("#40", "#BF");
    // Left over from an earlier session, arriving once the port is open.
    QTimer::singleShot(0, &link.port, [&] { link.port.feed(ScriptedUnit::frame("#BB000SERIAL,1")); });

    QSignalSpy connected(&link.connection, &UnitConnection::connected);
    EXPECT_TRUE(link.connection.connectUnit(cable("COM1")));
    EXPECT_TRUE(link.connection.isConnected());
    EXPECT_TRUE(link.port.isOpen());
    EXPECT_EQ(link.comms.LinkTimeout, link.comms.timings.cableAnswer);
    EXPECT_FALSE(link.comms.CommsBusy());
    EXPECT_EQ(link.unit.received, QStringList{"#40"});
    EXPECT_FALSE(link.connection.lastError());
    EXPECT_EQ(connected.size(), 1);
}

TEST(Connection, WrongLivenessAnswerClosesThePort)
{
    UnitLink link;
    link.port.close();
    link.unit.answer("#40", "#BE");
    EXPECT_FALSE(link.connection.connectUnit(cable("COM1")));
    EXPECT_FALSE(link.connection.isConnected());
    EXPECT_FALSE(link.port.isOpen());
    EXPECT_EQ(link.unit.count("#40"), 1);
    EXPECT_EQ(link.connection.lastError().error, LinkError::NoAnswer);
    EXPECT_EQ(link.connection.lastError().port, "COM1");
}

TEST(Connection, PortThatDoesNotOpenLeavesItsReason)
{
    UnitLink link;
    link.port.close();
    link.port.failNextOpen("Permission error while locking the device", LinkError::PortInUse);
    EXPECT_FALSE(link.connection.connectUnit(cable("/dev/ttyUSB0")));
    const LinkFailure failure = link.connection.lastError();
    EXPECT_EQ(failure.error, LinkError::PortInUse);
    EXPECT_EQ(failure.port, "/dev/ttyUSB0");
    EXPECT_EQ(failure.detail, "Permission error while locking the device");
    EXPECT_TRUE(link.unit.received.isEmpty());
}

// A number with more than dial characters never reaches the modem, wherever
// it came from: a CR would end the dial command and start another.
TEST(Connection, ANumberWithMoreThanDialCharactersIsNotDialled)
{
    for (const char *number : {"600111222\rAT&F", "600111222;AT", "600 111 222"}) {
        UnitLink link;
        link.port.close();
        modemAnswersSetup(link.unit);
        EXPECT_FALSE(link.connection.connectUnit(modem("COM1", number)));
        EXPECT_EQ(link.connection.lastError().error, LinkError::BadNumber) << number;
        EXPECT_EQ(link.connection.lastError().port, "COM1");
        EXPECT_TRUE(link.unit.received.isEmpty()) << number;
        EXPECT_FALSE(link.port.isOpen());
    }
}

TEST(Connection, ModemDial)
{
    const struct {
        const char *name;
        QList<QByteArray> dialReplies;
        bool connected;
        int dials;
        LinkError error;
    } cases[] = {
        {"connect with speed", {ScriptedUnit::line("CONNECT 9600")}, true, 1, LinkError::None},
        {"busy", {ScriptedUnit::line("BUSY")}, false, 1, LinkError::ModemBusy},
        {"no carrier after noise", {"\r\n  " + ScriptedUnit::line("NO CARRIER")}, false, 1,
         LinkError::ModemNoCarrier},
        {"no dial tone", {ScriptedUnit::line("NO DIALTONE")}, false, 1, LinkError::ModemNoDialtone},
        {"silent modem", {QByteArray()}, false, 4, LinkError::NoAnswer},
        {"retry on +CME ERROR: 515",
         {ScriptedUnit::line("+CME ERROR: 515"), ScriptedUnit::line("CONNECT")}, true, 2, LinkError::None},
    };
    for (const auto &c : cases) {
        UnitLink link;
        link.port.close();
        modemAnswersSetup(link.unit);
        link.unit.on("ATD5551234", c.dialReplies);
        link.unit.answer("#11" "4321", "#PassWord=1");
        link.unit.answer("#40", "#BF");
        link.connection.askPassWord = [] { return QStringLiteral("4321"); };

        EXPECT_EQ(link.connection.connectUnit(modem("COM2", "5551234")), c.connected) << c.name;
        EXPECT_EQ(link.connection.lastError().error, c.error) << c.name;
        EXPECT_EQ(link.port.isOpen(), c.connected) << c.name;
        EXPECT_EQ(link.unit.count("ATD5551234"), c.dials) << c.name;
        QStringList expected = kModemSetup;
        expected << "ATD5551234";
        if (c.connected)
            expected << "#114321" << "#40";
        EXPECT_EQ(link.unit.distinctReceived(), expected) << c.name;
        EXPECT_EQ(link.comms.LinkTimeout, link.comms.timings.modemAnswer) << c.name;
    }
}

TEST(Connection, LoginAsksThreeTimesThenLivenessDecides)
{
    const struct {
        const char *name;
        QStringList keys; // what the operator types at each prompt ("" cancels)
        QStringList told; // what each prompt is told: tries left, and "refused" after a refused key
        QStringList sent;
    } cases[] = {
        {"cancelled three times", {"", "", ""}, {"3", "2", "1"}, {"#40"}},
        {"wrong, then right", {"1", "4321"}, {"3", "2 refused"}, {"#111", "#114321", "#40"}},
        {"wrong three times", {"1", "2", "3"}, {"3", "2 refused", "1 refused"}, {"#111", "#112", "#113", "#40"}},
        {"cancelled, then wrong", {"", "1", "4321"}, {"3", "2", "1 refused"}, {"#111", "#114321", "#40"}},
    };
    // Whatever the login gave, the liveness answer decides.
    for (const auto &c : cases) {
        UnitLink link;
        link.port.close();
        modemAnswersSetup(link.unit);
        link.unit.on("ATD1", {ScriptedUnit::line("CONNECT 9600")});
        for (const QString &key : c.keys)
            link.unit.answer("#11" + key, key == "4321" ? "#PassWord=1" : "#PassWord=0");
        link.unit.answer("#40", "#BF");
        QStringList told;
        link.connection.askPassWord = [&] {
            const UnitConnection::KeyPrompt prompt = link.connection.keyPrompt();
            told << QString::number(prompt.triesLeft) + (prompt.refused ? " refused" : "");
            return c.keys.value(told.size() - 1);
        };

        EXPECT_TRUE(link.connection.connectUnit(modem("COM2", "1"))) << c.name;
        EXPECT_EQ(told, c.told) << c.name;
        EXPECT_EQ(link.unit.distinctReceived().mid(kModemSetup.size() + 1), c.sent) << c.name;
    }
}

TEST(Connection, RefusedKeyIsToldApartFromSilence)
{
    UnitLink link;
    link.port.close();
    modemAnswersSetup(link.unit);
    link.unit.on("ATD1", {ScriptedUnit::line("CONNECT 9600")});
    link.unit.answer("#111", "#PassWord=0");
    link.connection.askPassWord = [] { return QStringLiteral("1"); };
    EXPECT_FALSE(link.connection.connectUnit(modem("COM2", "1")));
    EXPECT_EQ(link.connection.lastError().error, LinkError::Refused);
}

// The hang-up follows how the connection was made, whatever is asked later.
TEST(Connection, DisconnectHangsUpOnlyAModemCall)
{
    UnitLink link;
    link.port.close();
    modemAnswersSetup(link.unit);
    link.unit.on("ATD1", {ScriptedUnit::line("CONNECT 9600")});
    link.unit.answer("#40", "#BF");
    link.unit.on("ATH", {ScriptedUnit::line("OK")});
    ASSERT_TRUE(link.connection.connectUnit(modem("COM2", "1")));
    link.port.takeWritten();
    QSignalSpy disconnected(&link.connection, &UnitConnection::disconnected);
    link.connection.disconnectUnit();
    EXPECT_EQ(link.port.writtenBytes(), "+++ATH\r");
    EXPECT_FALSE(link.port.isOpen());
    EXPECT_EQ(disconnected.size(), 1);

    UnitLink byCable;
    byCable.port.close();
    byCable.unit.answer("#40", "#BF");
    ASSERT_TRUE(byCable.connection.connectUnit(cable("COM1")));
    byCable.port.takeWritten();
    byCable.connection.disconnectUnit();
    EXPECT_TRUE(byCable.port.writtenBytes().isEmpty());
    EXPECT_FALSE(byCable.port.isOpen());
}

TEST(Connection, LostPortEndsTheConnection)
{
    UnitLink link;
    link.port.close();
    link.unit.answer("#40", "#BF");
    ASSERT_TRUE(link.connection.connectUnit(cable("COM1")));
    QSignalSpy lost(&link.connection, &UnitConnection::portLost);
    QSignalSpy disconnected(&link.connection, &UnitConnection::disconnected);
    link.port.vanish("unplugged");
    EXPECT_FALSE(link.connection.isConnected());
    EXPECT_EQ(lost.size(), 1);
    EXPECT_EQ(disconnected.size(), 1);
    EXPECT_EQ(link.connection.lastError().error, LinkError::PortLost);
    EXPECT_EQ(link.connection.lastError().port, "COM1");
}

TEST(Connection, ModemLineSkipsLeadingBlanksAndLineFeeds)
{
    UnitLink link;
    CommsBusyGuard held(link.comms);
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
