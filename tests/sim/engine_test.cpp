#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QJsonArray>

#include "enginedriver.h"
#include "link/devicevalues.h"
#include "sim/unitlog.h"

namespace {

// The default unit without the fast line acknowledgement: it answers every upload line.
UnitState answeringEveryLine()
{
    UnitState state = UnitState::defaults();
    state.features &= ~Feature::FastLineAck;
    return state;
}

class EngineTest : public ::testing::Test {
protected:
    void make(EngineSetup setup = {}, UnitState state = answeringEveryLine())
    {
        engine = std::make_unique<UnitEngine>(
            state, QStringList{"DNAME,Tank3", "SMC,+34609090909", "PTLF,+34600111222", "RENVN,3"},
            setup, &log);
        engine->setClock([] { return QDateTime(QDate(2026, 12, 9), QTime(23, 0, 0)); });
    }
    QList<SimReply> raw(const QByteArray &bytes, qint64 after = 10)
    {
        now += after;
        return engine->feed(bytes, now);
    }
    QStringList send(const QString &command, qint64 after = 10)
    {
        return answersIn(raw(FrameCodec::encode(command), after));
    }
    QJsonArray logged(const char *list) const { return log.json().value(QLatin1String(list)).toArray(); }

    UnitLog log;
    std::unique_ptr<UnitEngine> engine;
    qint64 now = 100000;
};

QString field(const QString &answer, int n) // the tool's GetField: 1-based, comma-separated
{
    return answer.split(QLatin1Char(',')).value(n - 1);
}

TEST_F(EngineTest, LivenessOnTheWireMatchesTheWorkedExample)
{
    make();
    QByteArray sent;
    for (const SimReply &reply : raw(QByteArray::fromHex("2336343B34300D")))
        sent += reply.bytes;
    EXPECT_EQ(sent.toHex(' '), QByteArray("23 38 38 3b 42 46 0d"));
}

TEST_F(EngineTest, ValuesAndLabelsSitInTheFieldsTheToolReads)
{
    UnitState state = UnitState::defaults();
    state.counters = {10, 11, 12, 13, 14, 15, 16, 17, 18};
    state.flowRates = {0.5, 1.5, 2.5, 3.5, 4.5, 5.5, 6.5, 7.5, 8.5};
    state.mathValues = {-1.25, 2, 3, 4};
    state.mathRegisters = {100, 101, 102, 103, 104, 105, 106, 107};
    state.analogValues = {4.5, 5.5, 6.5, 7.5};
    make({}, state);

    struct Case {
        const char *command, *code;
        QStringList expected;
        int first, step; // entry i at field first + step * i
    };
    const auto texts = [](const QList<double> &values) {
        QStringList t;
        for (double v : values)
            t << QString::number(v);
        return t;
    };
    const Case cases[] = {
        {"#20", "#DF", texts(state.counters), 2, 1},
        {"#22", "#DD", texts(state.flowRates), 2, 1},
        {"#29", "#D6", texts(state.mathValues), 2, 1},
        {"#28", "#D7", texts(state.mathRegisters), 2, 1},
        {"#36", "#C9", texts(state.analogValues), 2, 1},
        {"#26", "#D9", state.counterNames, 2, 1},
        {"#27", "#D8", state.flowNames, 2, 2},
        {"#27", "#D8", state.flowUnits, 3, 2},
        {"#2A", "#D5", state.mathNames, 4, 4},
        {"#2A", "#D5", state.mathUnits, 5, 4},
        {"#35", "#CA", state.analogNames, 4, 4},
        {"#35", "#CA", state.analogUnits, 5, 4},
        {"#25", "#DA", state.auxNames, 6, 6},
        {"#25", "#DA", state.auxUnits, 7, 6},
    };
    for (const Case &c : cases) {
        const QStringList answers = send(QLatin1String(c.command));
        ASSERT_EQ(answers.size(), 1) << c.command;
        EXPECT_EQ(field(answers.first(), 1), QLatin1String(c.code)) << c.command;
        for (int i = 0; i < c.expected.size(); ++i)
            EXPECT_EQ(field(answers.first(), c.first + c.step * i), c.expected.at(i)) << c.command << " entry " << i;
    }
    const QString states = send(QStringLiteral("#23")).value(0);
    EXPECT_EQ(states.section(QLatin1Char(','), 0, 3), QStringLiteral("#DC,5,1,3"));
}

TEST_F(EngineTest, ClockRunsAtAnOffsetThatASetChanges)
{
    make();
    EXPECT_EQ(send("#5D"), QStringList{"#A2261209230000"});
    EXPECT_EQ(send("#5C120305140709"), QStringList{"#A3"});
    EXPECT_EQ(send("#5D"), QStringList{"#A2120305140709"});
    // Month 13 and a short text are not clock settings: no answer, no change.
    EXPECT_TRUE(send("#5C121305140709").isEmpty());
    EXPECT_TRUE(send("#5C1203").isEmpty());
    EXPECT_EQ(send("#5D"), QStringList{"#A2120305140709"});
    EXPECT_EQ(logged("clockSets").size(), 1);
}

TEST_F(EngineTest, OutputsAndCounterPresetsChangeWhatIsReported)
{
    make();
    EXPECT_EQ(send("#473"), QStringList{"#B8"});
    EXPECT_EQ(send("#480"), QStringList{"#B7"});
    EXPECT_EQ(field(send("#23").value(0), 3), QStringLiteral("8"));
    EXPECT_EQ(send("#41CNT2=-1500"), QStringList{"#BE1"});
    EXPECT_EQ(field(send("#20").value(0), 4), QStringLiteral("-1500"));
    EXPECT_EQ(send("#41CNT9=1"), QStringList{"#BE0"});
    EXPECT_EQ(send("#41UNKNOWN=1"), QStringList{"#BE0"});
    EXPECT_EQ(logged("outputs").size(), 2);
    EXPECT_EQ(logged("counterPresets").size(), 1);
}

TEST_F(EngineTest, StreamsAreNumberedAndEnded)
{
    make();
    const QStringList info = send("#44");
    ASSERT_EQ(info.size(), 8);
    EXPECT_EQ(info.first(), QStringLiteral("#BB000VERSION,412"));
    EXPECT_EQ(info.at(1), QStringLiteral("#BB001FEATURES,%1").arg(engine->state().features));
    EXPECT_EQ(info.last(), QStringLiteral("#BB"));

    EXPECT_EQ(send("#42"), (QStringList{"#BD000DNAME,Tank3", "#BD001SMC,+34609090909",
                                        "#BD002PTLF,+34600111222", "#BD003RENVN,3", "#BD"}));
}

TEST_F(EngineTest, DownloadJumpsALineNumberOnTheFirstAttemptsOnly)
{
    EngineSetup setup;
    setup.faults.skipSequenceAttempts = 1;
    make(setup);
    const auto numbers = [](const QStringList &answers) {
        QStringList n;
        for (const QString &a : answers)
            n << a.mid(3, 3);
        return n;
    };
    EXPECT_EQ(numbers(send("#42")), (QStringList{"000", "001", "003", "004", ""}));
    EXPECT_EQ(numbers(send("#42")), (QStringList{"000", "001", "002", "003", ""}));
}

TEST_F(EngineTest, UploadAcceptsLinesInSequenceAndConfirmsAMatchingCount)
{
    make();
    EXPECT_EQ(send("#45000ID=Tank3"), QStringList{"#BA1"});
    EXPECT_EQ(send("#45001CSM=+34609090909"), QStringList{"#BA1"});
    EXPECT_EQ(send("#46002"), QStringList{"#B91"});
    // A count that does not match, and a line out of sequence.
    EXPECT_EQ(send("#45000ID=Tank3"), QStringList{"#BA1"});
    EXPECT_EQ(send("#46002"), QStringList{"#B90"});
    EXPECT_EQ(send("#45000ID=Tank3"), QStringList{"#BA1"});
    EXPECT_EQ(send("#45002REST=x"), QStringList{"#BA0"});

    const QJsonArray uploads = logged("uploads");
    ASSERT_EQ(uploads.size(), 3);
    EXPECT_EQ(uploads.at(0)["lines"].toArray(), (QJsonArray{"ID=Tank3", "CSM=+34609090909"}));
    EXPECT_TRUE(uploads.at(0)["matched"].toBool());
    EXPECT_FALSE(uploads.at(1)["matched"].toBool());
    EXPECT_EQ(uploads.at(2)["refusedLine"].toInt(), 2);
}

TEST_F(EngineTest, OutOfSequenceLineIsRefusedAndAbandonedLinesNotAnswered)
{
    make({}, UnitState::defaults());
    EXPECT_EQ(send("#45000ID=Tank3"), QStringList{"#BA1"});
    EXPECT_EQ(send("#45002REST=x"), QStringList{"#BA0"});
    EXPECT_TRUE(send("#45003CLRTLF").isEmpty()); // the attempt was already refused
    EXPECT_EQ(send("#45000ID=Tank3"), QStringList{"#BA1"});
    EXPECT_EQ(send("#46001"), QStringList{"#B91"});
}

TEST_F(EngineTest, RefusedLineAndWithheldClosingFollowTheirAttemptCounts)
{
    EngineSetup setup;
    setup.faults.refuseLine = 1;
    setup.faults.refuseAttempts = 2;
    setup.faults.withholdClosing = 1;
    make(setup);
    for (int attempt = 1; attempt <= 2; ++attempt) {
        EXPECT_EQ(send("#45000ID=A"), QStringList{"#BA1"});
        EXPECT_EQ(send("#45001CSM=B"), QStringList{"#BA0"}) << "attempt " << attempt;
    }
    for (const char *closingAnswer : {"", "#B91"}) {
        EXPECT_EQ(send("#45000ID=A"), QStringList{"#BA1"});
        EXPECT_EQ(send("#45001CSM=B"), QStringList{"#BA1"});
        EXPECT_EQ(send("#46002").join(QString()), QLatin1String(closingAnswer));
    }
    const QJsonArray uploads = logged("uploads");
    ASSERT_EQ(uploads.size(), 4);
    EXPECT_FALSE(uploads.at(2)["answered"].toBool());
    EXPECT_TRUE(uploads.at(3)["matched"].toBool());
}

TEST_F(EngineTest, VoiceListIsWrittenReadAndCheckedByCrc)
{
    make();
    EXPECT_EQ(send("#41CLRTEL"), QStringList{"#BE1"});
    EXPECT_EQ(send("#45000+TEL=123"), QStringList{"#BA1"});
    EXPECT_EQ(send("#45001+TEL=+34600"), QStringList{"#BA1"});
    EXPECT_EQ(send("#46002"), QStringList{"#B91"});
    EXPECT_EQ(send("#41VCAUTMACRO=12"), QStringList{"#BE1"});
    EXPECT_EQ(send("#41VCAUTMACRO=40"), QStringList{"#BE0"});
    EXPECT_EQ(send("#4F"), (QStringList{"#B00", "#B01123", "#B01+34600", "#B02", "#B0312"}));
    const quint16 crc = UnitEngine::listCrc({"123", "+34600"});
    EXPECT_EQ(send("#4E"), QStringList{QStringLiteral("#B1%1").arg(crc, 4, 16, QLatin1Char('0')).toUpper()});

    // An empty list: cleared, closed with no lines, macro cleared.
    EXPECT_EQ(send("#41CLRTEL"), QStringList{"#BE1"});
    EXPECT_EQ(send("#46000"), QStringList{"#B91"});
    EXPECT_EQ(send("#41CLRVCAUTMACRO"), QStringList{"#BE1"});
    EXPECT_EQ(send("#4F"), (QStringList{"#B00", "#B02", "#B03"}));
    EXPECT_EQ(send("#4E"), QStringList{"#B1FFFF"});
    EXPECT_EQ(logged("voiceWrites").size(), 2);
    EXPECT_EQ(logged("voiceReads").size(), 2);
}

TEST(EngineCrc, IsTheModbusCrcOverTheNumbersWithoutSeparators)
{
    EXPECT_EQ(UnitEngine::listCrc({}), 0xFFFF);
    EXPECT_EQ(UnitEngine::listCrc({"123456789"}), 0x4B37);
    EXPECT_EQ(UnitEngine::listCrc({"1234", "56789"}), 0x4B37);
}

TEST_F(EngineTest, AnswerFaults)
{
    EngineSetup setup;
    setup.faults.corrupt = {{"40", 1}};
    setup.faults.drop = {{"20", 2}};
    setup.faults.badCrcOnce = true;
    make(setup);
    EXPECT_EQ(send("#40"), QStringList{"<bad>"});
    EXPECT_EQ(send("#40"), QStringList{"#BF"});
    EXPECT_TRUE(send("#20").isEmpty());
    EXPECT_TRUE(send("#20").isEmpty());
    EXPECT_EQ(send("#20").size(), 1);
    const QStringList first = send("#4E"), second = send("#4E");
    EXPECT_NE(first, second);
    EXPECT_EQ(second.value(0).mid(3).toUInt(nullptr, 16), UnitEngine::listCrc(engine->state().voiceList));
}

TEST_F(EngineTest, NoiseSlownessAndSilence)
{
    EngineSetup setup;
    setup.faults.noise = true;
    setup.faults.slowMs = 700;
    setup.faults.silentAfter = 2;
    make(setup);
    const QList<SimReply> replies = raw(FrameCodec::encode("#40"));
    ASSERT_EQ(replies.size(), 1);
    EXPECT_EQ(replies.first().delayMs, 700);
    const QByteArray before = replies.first().bytes.left(replies.first().bytes.indexOf('#'));
    EXPECT_TRUE(before.contains('\n'));
    EXPECT_EQ(answersIn(replies), QStringList{"#BF"});
    EXPECT_EQ(send("#40"), QStringList{"#BF"});
    EXPECT_TRUE(send("#40").isEmpty());
}

TEST_F(EngineTest, ModemDialsAsksForTheKeyAndHangsUp)
{
    EngineSetup setup;
    setup.modem = true;
    setup.dialDelayMs = 250;
    make(setup);
    EXPECT_EQ(answersIn(raw(FrameCodec::encode("#40"))), QStringList()); // the modem ignores frames
    const QList<SimReply> echoed = raw("ATE0\r");
    EXPECT_EQ(echoed.value(0).bytes, QByteArray("ATE0\r"));
    EXPECT_EQ(raw("AT+IFC=2,2\r").value(1).bytes, QByteArray("\r\nOK\r\n"));
    const QList<SimReply> dial = raw("ATD600123456\r");
    EXPECT_EQ(dial.value(1).delayMs, 250);
    EXPECT_EQ(dial.value(1).bytes, QByteArray("\r\nCONNECT 9600\r\n"));

    EXPECT_EQ(send("#40"), QStringList{"#PassWord=0"}); // not before the key
    EXPECT_EQ(send("#119999"), QStringList{"#PassWord=0"});
    EXPECT_EQ(send("#111234"), QStringList{"#PassWord=1"});
    EXPECT_EQ(send("#40"), QStringList{"#BF"});

    // "+++" without the guard time is data; with it, the modem takes commands again.
    EXPECT_TRUE(raw("+++", 10).isEmpty());
    EXPECT_EQ(send("#40"), QStringList{"#BF"});
    raw("+", 1000);
    raw("+", 200);
    EXPECT_EQ(raw("+", 200).value(0).bytes, QByteArray("\r\nOK\r\n"));
    EXPECT_EQ(raw("ATH\r", 1000).value(1).bytes, QByteArray("\r\nOK\r\n"));
    EXPECT_FALSE(engine->online());
    EXPECT_EQ(logged("logins").size(), 2);
    EXPECT_EQ(logged("hangups").size(), 1);
}

TEST_F(EngineTest, ModemReportsAChosenDialFailure)
{
    EngineSetup setup;
    setup.modem = true;
    setup.dialResult = QStringLiteral("BUSY");
    make(setup);
    EXPECT_EQ(raw("ATD600123456\r").value(1).bytes, QByteArray("\r\nBUSY\r\n"));
    EXPECT_FALSE(engine->online());
    EXPECT_TRUE(send("#111234").isEmpty());
}

TEST_F(EngineTest, FirmwareImageAndLoaderAreAcknowledgedAndHashed)
{
    EngineSetup setup;
    setup.eraseDelayMs = 300;
    setup.faults.dotsStopAfter = 600;
    make(setup);
    const QList<SimReply> erase = raw(FrameCodec::encode("#F0"));
    ASSERT_EQ(erase.size(), 2);
    EXPECT_EQ(answersIn({erase.at(0)}), QStringList{"#DWLD_ERASING"});
    EXPECT_EQ(erase.at(1).delayMs, 300);
    EXPECT_EQ(answersIn({erase.at(1)}), QStringList{"#DWLD_READY"});

    QByteArray image;
    while (image.size() < 1100)
        image += ":10000000214601360121470136007EFE09D2190140\r\n";
    image.truncate(1100);
    // One dot per 512 bytes, none past the fault's 600 bytes.
    QByteArray dots;
    const qint64 firstArrival = now + 10;
    QList<SimReply> replies = raw(image.left(700));
    replies += raw(image.mid(700), 250);
    for (const SimReply &reply : replies)
        dots += reply.bytes;
    EXPECT_EQ(dots, QByteArray("."));

    EXPECT_EQ(send("#F1"), QStringList{"#DWLD_RAM_READY"});
    EXPECT_TRUE(raw(":00000001FF\r").isEmpty());
    engine->lineQuiet();
    EXPECT_EQ(send("#40"), QStringList{"#BF"}); // back to frames after the loader

    const QJsonArray firmware = logged("firmware");
    ASSERT_EQ(firmware.size(), 2);
    EXPECT_EQ(firmware.at(0)["part"].toString(), QStringLiteral("image"));
    EXPECT_EQ(firmware.at(0)["length"].toInt(), 1100);
    EXPECT_EQ(firmware.at(0)["sha256"].toString(),
              QString::fromLatin1(QCryptographicHash::hash(image, QCryptographicHash::Sha256).toHex()));
    EXPECT_EQ(firmware.at(0)["firstByteMs"].toInteger(), firstArrival);
    EXPECT_EQ(firmware.at(0)["lastByteMs"].toInteger(), firstArrival + 250);
    EXPECT_EQ(firmware.at(1)["length"].toInt(), 12);
}

} // namespace
