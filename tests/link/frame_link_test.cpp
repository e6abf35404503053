// Framed exchanges and waits: what goes on the wire, retries, drains,
// noise, time-outs and the loss of the port.
#include <gtest/gtest.h>

#include <QTimer>

#include <QSignalSpy>

#include "link/fakeserialport.h"
#include "scriptedunit.h"

namespace {

QByteArray hex(const char *bytes)
{
    return QByteArray::fromHex(bytes);
}

// Raw exchanges run only inside an operation that holds the link.
struct HeldLink : UnitLink {
    CommsBusyGuard held{comms};
};

TEST(FrameLink, SendsTheFramedCommandAndReturnsTheFramedText)
{
    const struct {
        QString command;
        QByteArray wire;
    } cases[] = {
        {"#40", hex("2336343b34300d")},
        {"#01AT+CSQ", QByteArray("#08;01AT+CSQ\r")}, // sum 8: leading zero kept
        {QStringLiteral("#01\u20AC"), QByteArray("#E1;01\x80\r")}, // over the byte sent, 0x80
        {"#", QByteArray("#00;\r")},
    };
    for (const auto &c : cases) {
        HeldLink link;
        QString text = c.command;
        link.comms.TxSer(text, 0);
        EXPECT_EQ(link.port.takeWritten(), c.wire) << c.command.toStdString();
        EXPECT_EQ(text, QString::fromLatin1(c.wire.chopped(1)).replace(QChar(0x80), QChar(0x20AC)));
    }
}

TEST(FrameLink, GoodAnswerLeavesItsPayloadInRxBuf)
{
    HeldLink link;
    link.unit.on("#40", {hex("2338383b42460d")});
    link.comms.TxSer(QStringLiteral("#40"), 1000);
    EXPECT_EQ(link.comms.RxBuf, "#BF");
    EXPECT_EQ(link.unit.count("#40"), 1);
}

TEST(FrameLink, WritesFourTimesUntilAGoodFrameArrives)
{
    const struct {
        const char *name;
        QList<QByteArray> replies;
        int writes;
        QString rxBuf;
    } cases[] = {
        {"silence", {{}}, 4, ""},
        {"bad checksum", {ScriptedUnit::corrupt("#BF")}, 4, ""},
        {"bad, then good", {ScriptedUnit::corrupt("#BF"), ScriptedUnit::frame("#BF")}, 2, "#BF"},
        {"three silent, then good", {{}, {}, {}, ScriptedUnit::frame("#BF")}, 4, "#BF"},
    };
    for (const auto &c : cases) {
        HeldLink link;
        link.unit.on("#40", c.replies);
        link.comms.TxSer(QStringLiteral("#40"), link.comms.LinkTimeout);
        EXPECT_EQ(link.unit.count("#40"), c.writes) << c.name;
        EXPECT_EQ(link.comms.RxBuf, c.rxBuf) << c.name;
    }
}

TEST(FrameLink, DrainsQueuedFramesBeforeAWaitedCommand)
{
    HeldLink link;
    link.port.feed(ScriptedUnit::frame("#BF") + ScriptedUnit::frame("#BB000VERSION,100"));
    link.unit.answer("#20", "#DF,7");
    link.comms.TxSer(QStringLiteral("#20"), 1000);
    EXPECT_EQ(link.comms.RxBuf, "#DF,7");
    EXPECT_EQ(link.unit.received, QStringList{"#20"});
}

TEST(FrameLink, TimeOutZeroWritesOnceAndKeepsRxBuf)
{
    HeldLink link;
    link.comms.RxBuf = "#BF";
    link.port.feed(ScriptedUnit::frame("#DF,1"));
    link.comms.TxSer(QStringLiteral("#20"), 0);
    EXPECT_EQ(link.unit.count("#20"), 1);
    EXPECT_EQ(link.comms.RxBuf, "#BF");
    EXPECT_GT(link.port.bytesAvailable(), 0); // nothing was read
}

TEST(FrameLink, ClosedPortSendsNothingAndKeepsRxBuf)
{
    HeldLink link;
    link.port.close();
    link.comms.RxBuf = "#BF";
    QString text = "#40";
    link.comms.TxSer(text, 1000);
    EXPECT_FALSE(link.comms.RxSer(1000));
    EXPECT_TRUE(link.port.writtenBytes().isEmpty());
    EXPECT_EQ(link.comms.RxBuf, "#BF");
    EXPECT_EQ(text, "#40");
}

TEST(FrameLink, SkipsWhatComesBeforeTheFrame)
{
    const struct {
        const char *name;
        QByteArray before;
    } cases[] = {
        {"line feed left by the last answer", "\n"},
        {"blanks and noise", "  \x01\xff noise\r\n"},
        {"tail of a cut frame", "88;BF\r"},
    };
    for (const auto &c : cases) {
        HeldLink link;
        link.port.feed(c.before + ScriptedUnit::frame("#DF,10,20"));
        EXPECT_TRUE(link.comms.RxSer(1000)) << c.name;
        EXPECT_EQ(link.comms.RxBuf, "#DF,10,20") << c.name;
    }
}

TEST(FrameLink, BadFrameFailsAtOnceWithoutTakingTheNextOne)
{
    HeldLink link;
    link.comms.RxBuf = "old";
    link.port.feed(ScriptedUnit::corrupt("#BF") + ScriptedUnit::frame("#BE1"));
    EXPECT_FALSE(link.comms.RxSer(1000));
    EXPECT_EQ(link.comms.RxBuf, "");
    EXPECT_TRUE(link.comms.RxSer(1000));
    EXPECT_EQ(link.comms.RxBuf, "#BE1");
}

TEST(FrameLink, ShortOrCutFramesAreNotAnswers)
{
    for (const QByteArray &bytes : {QByteArray("#8;\r"), QByteArray("#88;BF"), QByteArray("#88;B#F\r")}) {
        HeldLink link;
        link.port.feed(bytes);
        EXPECT_FALSE(link.comms.RxSer(30)) << bytes.constData();
        EXPECT_EQ(link.comms.RxBuf, "");
    }
}

TEST(FrameLink, EndlessStreamWithoutCarriageReturnIsCapped)
{
    HeldLink link;
    link.port.feed('#' + QByteArray(100000, 'x') + ScriptedUnit::frame("#BF"));
    EXPECT_FALSE(link.comms.RxSer(1000));
    EXPECT_TRUE(link.comms.RxBuf.isEmpty());
    EXPECT_TRUE(link.comms.RxSer(1000)); // the stream resynchronises on the next "#"
    EXPECT_EQ(link.comms.RxBuf, "#BF");

    link.port.feed(QByteArray(100000, 'A') + ScriptedUnit::line("OK"));
    EXPECT_FALSE(link.comms.RxGsm(1000));
    EXPECT_TRUE(link.comms.RxBuf.isEmpty());
}

TEST(FrameLink, FieldsOfRxBuf)
{
    Comms comms(std::make_unique<FakeSerialPort>());
    comms.RxBuf = "#DF,10,20";
    EXPECT_EQ(comms.GetField(1), "#DF");
    EXPECT_EQ(comms.GetField(3), "20");
    EXPECT_EQ(comms.GetField(5), "");
    comms.RxBuf = "#BB012VBAT,3.61";
    EXPECT_EQ(comms.GetField(1), "#BB012VBAT");
    EXPECT_EQ(comms.GetField(2), "3.61");
    comms.RxBuf = "#BD031MACROS,2,{A,B}";
    EXPECT_EQ(comms.GetField1(2), "A,B");
}

TEST(FrameLink, GetCharReturnsOneCharacterOrNothing)
{
    HeldLink link;
    link.port.feed("\x80z");
    EXPECT_EQ(link.comms.GetChar(1000), QString(QChar(0x20AC)));
    EXPECT_EQ(link.comms.GetChar(1000), "z");
    EXPECT_EQ(link.comms.GetChar(20), "");
}

TEST(FrameLink, VanishingPortEndsTheWaitAndFailsTheExchange)
{
    HeldLink link;
    QSignalSpy lost(&link.comms, &Comms::portLost);
    link.comms.RxBuf = "#BF";
    link.unit.onCommand = [&](const QString &) {
        QTimer::singleShot(10, &link.port, [&] { link.port.vanish("Device removed"); });
    };
    link.comms.TxSer(QStringLiteral("#40"), 60000);
    EXPECT_EQ(link.comms.RxBuf, "");
    EXPECT_EQ(link.unit.count("#40"), 1);
    ASSERT_EQ(lost.size(), 1);
    EXPECT_EQ(lost.at(0).at(0).toString(), "Device removed");
    EXPECT_FALSE(link.port.isOpen());
}

TEST(FrameLink, CarrierLossIsReportedOncePerDrop)
{
    HeldLink link;
    QSignalSpy lost(&link.comms, &Comms::carrierLost);
    link.port.setCarrier(true);
    link.port.setCarrier(false);
    EXPECT_EQ(lost.size(), 1);
    link.port.setCarrier(true);
    EXPECT_EQ(lost.size(), 1);
    link.port.setCarrier(false);
    EXPECT_EQ(lost.size(), 2);
}

TEST(FrameLink, DelayLetsOtherTimersRun)
{
    HeldLink link;
    bool fired = false;
    QTimer::singleShot(5, [&] { fired = true; });
    link.comms.Delay(30);
    EXPECT_TRUE(fired);
}

} // namespace

namespace {

TEST(FrameLink, RawExchangesOutsideTheGuardAreRefused)
{
    UnitLink link;
    link.unit.on("#40", {ScriptedUnit::frame("#BF")});
    link.port.feed("x#00;\r");
    link.comms.TxSer(QStringLiteral("#40"), 1000);
    link.comms.TxGsm(QStringLiteral("ATH"), 1000);
    EXPECT_FALSE(link.comms.writeRaw("+"));
    EXPECT_FALSE(link.comms.RxSer(20));
    EXPECT_FALSE(link.comms.RxGsm(20));
    EXPECT_EQ(link.comms.GetChar(20), "");
    EXPECT_TRUE(link.port.takeWritten().isEmpty());
    EXPECT_EQ(link.unit.count("#40"), 0);
}

} // namespace
