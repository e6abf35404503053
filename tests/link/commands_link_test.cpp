// The unit's stand-alone commands and the information frame texts.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <optional>

#include "link/connection.h"
#include "link/devicecommands.h"
#include "link/deviceinfotext.h"
#include "link/fakeserialport.h"
#include "scriptedunit.h"

namespace {

// The "#44" answer: numbered "BB" lines, then the bare end marker.
QList<QByteArray> infoStream(const QStringList &lines, const QList<int> &numbers = {})
{
    QByteArray bytes;
    for (int i = 0; i < lines.size(); ++i)
        bytes += ScriptedUnit::frame(QStringLiteral("#BB%1").arg(numbers.value(i, i), 3, 10, QLatin1Char('0')) + lines[i]);
    return {bytes + ScriptedUnit::frame("#BB")};
}

TEST(Commands, IdentityStreamFillsTheDeviceValues)
{
    UnitLink link;
    QSignalSpy changed(&link.connection, &UnitConnection::infoChanged);
    link.unit.on("#44", infoStream({"VERSION,123", "FEATURES,65536", "SERIAL,VS-0042", "VBAT,3.61", "RSSI,17",
                                    "GPS,off", "LOG.SIZE,20000", "LOG.USE,1234"}));
    link.connection.readInfo();
    const DeviceValues &d = link.connection.Device;
    EXPECT_EQ(d.FirmwareVersion, 123.0f);
    EXPECT_EQ(d.DeviceFeatures, quint32(Feature::ExtendedPhoneMask));
    EXPECT_EQ(d.SerialNumber, "VS-0042");
    EXPECT_EQ(d.BatteryVoltage, 3.61f);
    EXPECT_EQ(d.SignalLevel, 17);
    EXPECT_EQ(d.LogSize, 20000.0);
    EXPECT_EQ(d.LogUsed, 1234.0);
    EXPECT_EQ(link.unit.count("#44"), 1);
    EXPECT_EQ(changed.size(), 1);
    EXPECT_FALSE(link.comms.CommsBusy());
}

// A stream that never comes whole changes nothing: no mix of two units'
// identities, nor of a unit's and the empty values of a new connection.
TEST(Commands, IdentityStreamWithAGapIsRequestedAgainAndChangesNothing)
{
    UnitLink link;
    link.unit.on("#44", infoStream({"SERIAL,first", "VBAT,3.3", "FEATURES,1"}));
    ASSERT_TRUE(ReadInfo(link.comms, link.connection.Device));
    link.unit.on("#44", infoStream({"SERIAL,second", "FEATURES,2", "VBAT,4.1"}, {0, 1, 3}));
    EXPECT_FALSE(ReadInfo(link.comms, link.connection.Device));
    EXPECT_EQ(link.unit.count("#44"), 4);
    const DeviceValues &d = link.connection.Device;
    EXPECT_EQ(d.SerialNumber, "first");
    EXPECT_EQ(d.DeviceFeatures, 1u);
    EXPECT_EQ(d.BatteryVoltage, 3.3f);

    DeviceValues fresh;
    EXPECT_FALSE(ReadInfo(link.comms, fresh));
    EXPECT_TRUE(fresh.SerialNumber.isEmpty());
    EXPECT_EQ(fresh.DeviceFeatures, 0u);
}

TEST(Commands, FeaturesKeepAll32Bits)
{
    for (const auto &[text, flags] : {std::pair{"4294967295", 0xFFFFFFFFu}, {"-1", 0xFFFFFFFFu}, {"64.4", 64u}}) {
        UnitLink link;
        link.unit.on("#44", infoStream({QStringLiteral("FEATURES,") + text}));
        ReadInfo(link.comms, link.connection.Device);
        EXPECT_EQ(link.connection.Device.DeviceFeatures, flags) << text;
    }
}

TEST(Commands, TotalCountsAreReadUpToThreeTimes)
{
    UnitLink link;
    link.unit.on("#20", {{}, ScriptedUnit::frame("#DF,1,2,3,-4,5,6,7,8,1500")});
    EXPECT_TRUE(ReadTotalCount(link.comms, link.connection.Device));
    EXPECT_EQ(link.connection.Device.TotalCounts[3], -4);
    EXPECT_EQ(link.connection.Device.TotalCounts[8], 1500);

    UnitLink short_;
    short_.connection.Device.TotalCounts.fill(9);
    short_.unit.answer("#20", "#DF,1,2");
    EXPECT_TRUE(ReadTotalCount(short_.comms, short_.connection.Device));
    EXPECT_EQ(short_.connection.Device.TotalCounts[1], 2);
    EXPECT_EQ(short_.connection.Device.TotalCounts[2], 0); // missing fields read as 0

    UnitLink silent;
    silent.connection.Device.TotalCounts.fill(9);
    EXPECT_FALSE(ReadTotalCount(silent.comms, silent.connection.Device));
    EXPECT_EQ(silent.unit.count("#20"), 12); // 3 sends of 4 writes each
    EXPECT_EQ(silent.connection.Device.TotalCounts[0], 9);
}

TEST(Commands, ClockAnswers)
{
    const struct {
        QString answer;
        QDateTime clock;
    } cases[] = {
        {"#A2120305140709", QDateTime(QDate(2012, 3, 5), QTime(14, 7, 9))},
        {"#A2121301000000", QDateTime(QDate(2013, 1, 1), QTime(0, 0, 0))}, // month 13
        {"#A2240229236000", QDateTime(QDate(2024, 3, 1), QTime(0, 0, 0))}, // minute 60
    };
    for (const auto &c : cases)
        EXPECT_EQ(ClockFromAnswer(c.answer), c.clock) << c.answer.toStdString();
    EXPECT_EQ(ClockDigits(QDateTime(QDate(2012, 3, 5), QTime(14, 7, 9))), "120305140709");
}

TEST(Commands, ReadsAndSetsTheClock)
{
    UnitLink link;
    link.unit.answer("#5D", "#A2120305140709");
    ReadDeviceRTC(link.comms, link.connection.Device);
    EXPECT_EQ(link.connection.Device.DeviceClock, QDateTime(QDate(2012, 3, 5), QTime(14, 7, 9)));

    link.unit.onCommand = [&](const QString &command) {
        if (command.startsWith("#5C"))
            link.unit.answer(command, "#A3");
    };
    const QDateTime before = QDateTime::currentDateTime();
    EXPECT_TRUE(WriteDeviceRTC(link.comms));
    const QString sent = link.unit.received.last();
    ASSERT_EQ(sent.size(), 15);
    EXPECT_FALSE(ClockOutOfSync(ClockFromAnswer("#A2" + sent.mid(3)), before));
}

TEST(Commands, LabelsAreStoredOnlyFromTheirOwnAnswers)
{
    UnitLink link;
    link.connection.Device.Live.AuxName[0] = "kept";
    link.unit.answer("#35", "#CA,x,x,AN0,V,x,x,AN1,mA");
    link.unit.answer("#26", "#D9,C0,C1,C2");
    link.unit.answer("#27", "#D8,F0,l/s,F1,m3/h");
    link.unit.answer("#25", "#DE,wrong");
    link.unit.answer("#2A", "#D5,x,x,M0,bar");
    EXPECT_TRUE(ReadIOParameter(link.comms, link.connection.Device));
    const LiveData &live = link.connection.Device.Live;
    EXPECT_EQ(live.AnalogName[1], "AN1");
    EXPECT_EQ(live.AnalogUnit[1], "mA");
    EXPECT_EQ(live.CounterName[2], "C2");
    EXPECT_EQ(live.CounterName[3], "");
    EXPECT_EQ(live.FlowUnit[1], "m3/h");
    EXPECT_EQ(live.AuxName[0], "kept");
    EXPECT_EQ(live.MathName[0], ""); // no math channels reported
    EXPECT_EQ(link.unit.distinctReceived(), (QStringList{"#35", "#26", "#27", "#25"}));

    link.connection.Device.DeviceFeatures = Feature::MathChannels;
    EXPECT_TRUE(ReadIOParameter(link.comms, link.connection.Device));
    EXPECT_EQ(live.MathName[0], "M0");
    EXPECT_EQ(live.MathUnit[0], "bar");
}

TEST(Commands, LiveValues)
{
    UnitLink link;
    link.unit.answer("#20", "#DF,10,20");
    link.unit.answer("#22", "#DD,1.5");
    link.unit.answer("#23", "#DC,5,3,65536,0.25,x,x,-2");
    link.unit.answer("#36", "#C9,1,2,3,4.5");
    EXPECT_TRUE(ReadRealTime(link.comms, link.connection.Device));
    EXPECT_EQ(link.unit.distinctReceived(), (QStringList{"#20", "#22", "#23", "#36"}));
    const LiveData &live = link.connection.Device.Live;
    EXPECT_EQ(live.CounterValue[1], 20);
    EXPECT_EQ(live.FlowRate[0], 1.5f);
    EXPECT_EQ(live.DigitalState, 5);
    EXPECT_EQ(live.OutputState, 3);
    EXPECT_EQ(live.FlagState, 65536u);
    EXPECT_EQ(live.AuxValue[0], 0.25f);
    EXPECT_EQ(live.AuxValue[3], -2.0f);
    EXPECT_EQ(live.AnalogValue[3], 4.5f);

    link.unit.received.clear();
    link.connection.Device.DeviceFeatures = Feature::MathChannels;
    link.unit.answer("#29", "#D6,1.25,2");
    link.unit.answer("#28", "#D7,123456789012,-0.5");
    EXPECT_TRUE(ReadRealTime(link.comms, link.connection.Device));
    EXPECT_EQ(link.unit.distinctReceived(), (QStringList{"#20", "#22", "#23", "#29", "#28", "#36"}));
    EXPECT_EQ(live.MathValue[0], 1.25f);
    EXPECT_EQ(live.MathRegister[0], " 123456789012");
    EXPECT_EQ(live.MathRegister[1], "-.5");
}

TEST(Commands, StateBitSetsKeepTheirBitsSignedOrUnsigned)
{
    UnitLink link;
    link.unit.answer("#23", "#DC,-1,65535,-2147483648");
    EXPECT_TRUE(ReadRealTime(link.comms, link.connection.Device));
    const LiveData &live = link.connection.Device.Live;
    EXPECT_EQ(live.DigitalState, 0xFFFF);
    EXPECT_EQ(live.OutputState, 0xFFFF);
    EXPECT_EQ(live.FlagState, 0x80000000u);

    link.unit.answer("#23", "#DC,65536,-32769,4294967296");
    EXPECT_TRUE(ReadRealTime(link.comms, link.connection.Device));
    EXPECT_EQ(live.DigitalState, 0); // wider than the set: no state rather than a wrong one
    EXPECT_EQ(live.OutputState, 0);
    EXPECT_EQ(live.FlagState, 0u);
}

TEST(Commands, LiveValuesGoOnPastAMissingAnswer)
{
    UnitLink link;
    link.connection.Device.Live.CounterValue[0] = 77;
    link.unit.answer("#22", "#DD,1");
    link.unit.answer("#23", "#DC,1,0,0");
    link.unit.answer("#36", "#C9,1");
    EXPECT_TRUE(ReadRealTime(link.comms, link.connection.Device));
    EXPECT_EQ(link.unit.distinctReceived(), (QStringList{"#20", "#22", "#23", "#36"}));
    EXPECT_EQ(link.connection.Device.Live.CounterValue[0], 77);

    UnitLink noStates;
    EXPECT_FALSE(ReadRealTime(noStates.comms, noStates.connection.Device)); // the states decide the result
}

TEST(Commands, OutputsAndCounters)
{
    EXPECT_EQ(CounterCommand(2, 1500), "#41CNT2=1500");
    EXPECT_EQ(CounterCommand(2, -5), "#41CNT2=-5");

    UnitLink link;
    link.unit.answer("#41CNT2=1500", "#BE1");
    link.unit.answer("#41CNT3=-5", "#BE0");
    EXPECT_TRUE(SetTotalCNT(link.comms, 2, 1500));
    EXPECT_FALSE(SetTotalCNT(link.comms, 3, -5));
    link.unit.answer("#473", "#B8");
    link.unit.answer("#480", "#B7");
    EXPECT_TRUE(SetSingleOutput(link.comms, 3, true));
    EXPECT_TRUE(SetSingleOutput(link.comms, 0, false));
    EXPECT_EQ(link.unit.received, (QStringList{"#41CNT2=1500", "#41CNT3=-5", "#473", "#480"}));
}

TEST(Commands, RefusedWhileBusyOrClosed)
{
    for (const bool busy : {true, false}) {
        UnitLink link;
        link.unit.answer("#20", "#DF,1");
        link.unit.answer("#5C", "#A3");
        link.unit.answer("#41CNT1=1", "#BE1");
        link.unit.answer("#FA", "#05001,2,3,4,5,6,7,8");
        link.comms.RxBuf = "#BE1"; // a stale answer must not pass for a new one
        std::optional<CommsBusyGuard> other;
        if (busy)
            other.emplace(link.comms);
        else
            link.port.close();
        EXPECT_FALSE(ReadTotalCount(link.comms, link.connection.Device));
        EXPECT_FALSE(WriteDeviceRTC(link.comms));
        EXPECT_FALSE(ReadIOParameter(link.comms, link.connection.Device));
        EXPECT_FALSE(ReadRealTime(link.comms, link.connection.Device));
        EXPECT_FALSE(SetSingleOutput(link.comms, 1, true));
        EXPECT_FALSE(SetTotalCNT(link.comms, 1, 1));
        EXPECT_FALSE(ReadProbeId(link.comms));
        ReadInfo(link.comms, link.connection.Device);
        ReadDeviceRTC(link.comms, link.connection.Device);
        EXPECT_TRUE(link.port.writtenBytes().isEmpty());
        EXPECT_EQ(link.comms.CommsBusy(), busy);
    }
}

TEST(Commands, ProbeIdComesOnlyFromAWholeAnswerToItsCommand)
{
    const struct {
        QList<QByteArray> replies;
        std::optional<ProbeId> id;
    } cases[] = {
        {{ScriptedUnit::frame("#05040,170,187,204,000,000,000,045")}, ProbeId{40, 170, 187, 204, 0, 0, 0, 45}},
        {{ScriptedUnit::frame("#05255,0,1,2,3,4,5,6,7")}, ProbeId{255, 0, 1, 2, 3, 4, 5, 6}}, // a ninth field is not read
        {{{}, ScriptedUnit::frame("#05001,2,3,4,5,6,7,8")}, ProbeId{1, 2, 3, 4, 5, 6, 7, 8}}, // sent again after silence
        {{ScriptedUnit::frame("#05040,170,187,204,0,0,0")}, std::nullopt},   // seven values
        {{ScriptedUnit::frame("#05040,170,256,204,0,0,0,45")}, std::nullopt}, // not a byte
        {{ScriptedUnit::frame("#05040,170,1.5,204,0,0,0,45")}, std::nullopt}, // not whole
        {{ScriptedUnit::frame("#05040,170,,204,0,0,0,45")}, std::nullopt},    // empty
        {{ScriptedUnit::frame("#0540,170,187,204,0,0,0,45")}, std::nullopt},  // first value cut short
        {{ScriptedUnit::frame("#06040,170,187,204,0,0,0,45")}, std::nullopt}, // another answer
        {{QByteArray()}, std::nullopt},                                       // none
    };
    for (const auto &c : cases) {
        UnitLink link;
        link.unit.on("#FA", c.replies);
        link.comms.RxBuf = "#05009,9,9,9,9,9,9,9"; // an earlier answer must not pass for this one
        EXPECT_EQ(ReadProbeId(link.comms), c.id) << c.replies.value(0).constData();
        EXPECT_GE(link.unit.count("#FA"), 1);
        EXPECT_FALSE(link.comms.CommsBusy());
    }
}

TEST(Commands, InformationFrameTexts)
{
    EXPECT_EQ(FirmwareText(123), "1.23");
    EXPECT_EQ(FirmwareText(5), "0.05");
    EXPECT_EQ(FirmwareText(1000), "10.00");
    EXPECT_EQ(BatteryText(3.61f), " 3.61V");
    EXPECT_EQ(LogRecordsText(20000), " 20000 Registros");
    const struct {
        qint16 level;
        int bar;
        QString label;
    } signal[] = {{0, 0, "(0)"}, {17, 17, "(17)"}, {32, 32, "(32)"}, {99, 0, "(?)"}, {-1, 0, "(?)"}, {33, 0, "(?)"}};
    for (const auto &s : signal) {
        EXPECT_EQ(SignalBarValue(s.level), s.bar) << s.level;
        EXPECT_EQ(SignalLabel(s.level), s.label) << s.level;
    }
}

} // namespace
