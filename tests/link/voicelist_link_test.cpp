// The voice-call list's write and read over the fake port, against the
// simulated unit's engine or, for malformed replies, a scripted unit.
#include <gtest/gtest.h>

#include "link/fakeserialport.h"
#include "link/voicelisttransfer.h"
#include "model/voiceauthlist.h"
#include "scriptedunit.h"
#include "sim/fakeportunit.h"
#include "sim/unitengine.h"

namespace {

// The simulated unit behind the fake port; the scripted unit has no answers
// of its own and only records the commands.
struct SimVoiceLink {
    explicit SimVoiceLink(const QStringList &numbers = {}, int macro = -1, bool badCrcOnce = false)
        : engine(state(numbers, macro), {}, setup(badCrcOnce)),
          port(*new FakeSerialPort),
          comms(std::unique_ptr<SerialPort>(&port)),
          recorder(port),
          unit(port, engine)
    {
        port.open(QStringLiteral("SIM"));
        comms.timings = LinkTimings::fast();
        comms.LinkTimeout = 300;
    }

    static UnitState state(const QStringList &numbers, int macro)
    {
        UnitState s = UnitState::defaults();
        s.voiceList = numbers;
        s.voiceMacro = macro;
        return s;
    }
    static EngineSetup setup(bool badCrcOnce)
    {
        EngineSetup s;
        s.faults.badCrcOnce = badCrcOnce;
        return s;
    }

    bool write(const VoiceAuthList &list)
    {
        return WriteAutVoz(comms, list, Feature::FastLineAck,
                           [this](int value, int maximum) { progress.append({value, maximum}); });
    }
    bool read(VoiceAuthList &list)
    {
        return ReadAutVozList(comms, list, [this](int value, int maximum) { progress.append({value, maximum}); });
    }

    UnitEngine engine;
    FakeSerialPort &port;
    Comms comms;
    ScriptedUnit recorder;
    FakePortUnit unit;
    QList<std::pair<int, int>> progress;
};

// A list as the editor stores it: `entries` from slot 0, Count covering them all.
VoiceAuthList listOf(const QStringList &entries, qint16 macro = VoiceAuthList::kNoMacro)
{
    VoiceAuthList list;
    for (int i = 0; i < entries.size(); ++i)
        list.Numbers[i] = entries[i];
    list.Count = qint16(entries.size());
    list.CallMacro = macro;
    list.ListCrc = VoiceListCrc(list);
    return list;
}

TEST(VoiceListWrite, SendsTheNumbersTheCloseTheCrcCheckAndTheMacro)
{
    const struct {
        const char *name;
        QStringList entries;
        qint16 macro;
        bool badCrcOnce;
        QStringList sent;
    } cases[] = {
        {"empty list", {}, -1, false, {"#41CLRTEL", "#46000", "#4E", "#41CLRVCAUTMACRO"}},
        {"free slot skipped",
         {"600111222", "", "+34600333444"},
         12,
         false,
         {"#41CLRTEL", "#45000+TEL=600111222", "#45001+TEL=+34600333444", "#46002", "#4E",
          "#41VCAUTMACRO=12"}},
        {"wrong CRC once",
         {"123"},
         0,
         true,
         {"#41CLRTEL", "#45000+TEL=123", "#46001", "#4E", "#41CLRTEL", "#45000+TEL=123", "#46001", "#4E",
          "#41VCAUTMACRO=0"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        SimVoiceLink link({"old"}, 5, c.badCrcOnce);
        const VoiceAuthList list = listOf(c.entries, c.macro);

        EXPECT_TRUE(link.write(list));
        EXPECT_EQ(link.recorder.received, c.sent);
        QStringList expected = c.entries;
        expected.removeAll(QString());
        EXPECT_EQ(link.engine.state().voiceList, expected);
        EXPECT_EQ(link.engine.state().voiceMacro, c.macro);
        EXPECT_EQ(link.progress.first(), std::make_pair(0, int(c.entries.size())));
        EXPECT_EQ(link.progress.last(), std::make_pair(int(c.entries.size()), int(c.entries.size())));
        EXPECT_FALSE(link.comms.CommsBusy());
    }
}

TEST(VoiceListWrite, ThreeFailedAttemptsGiveFalseAndReleaseTheLink)
{
    UnitLink link;
    link.unit.answer("#41CLRTEL", "#BE1");
    link.unit.answer("#46000", "#B91");
    link.unit.answer("#4E", "#B10000"); // an empty list's CRC is FFFF

    EXPECT_FALSE(WriteAutVoz(link.comms, VoiceAuthList{}, 0));
    EXPECT_EQ(link.unit.count("#41CLRTEL"), 3);
    EXPECT_EQ(link.unit.count("#41CLRVCAUTMACRO"), 0);
    EXPECT_FALSE(link.comms.CommsBusy());

    // Another exchange holds the link: nothing is sent.
    link.unit.received.clear();
    CommsBusyGuard other(link.comms);
    EXPECT_FALSE(WriteAutVoz(link.comms, VoiceAuthList{}, 0));
    VoiceAuthList list;
    EXPECT_FALSE(ReadAutVozList(link.comms, list));
    EXPECT_TRUE(link.unit.received.isEmpty());
}

TEST(VoiceListRead, TakesTheUnitsListAndMacro)
{
    const struct {
        QStringList numbers;
        int macro;
    } cases[] = {
        {{"+34600123456", "ñ600"}, 12},
        {{}, -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.macro);
        SimVoiceLink link(c.numbers, c.macro);
        VoiceAuthList list = listOf({"a", "b", "c"}, 3);
        list.SendAck = true;

        ASSERT_TRUE(link.read(list));
        for (int i = 0; i < VoiceAuthList::kSlots; ++i)
            EXPECT_EQ(list.Numbers[i], c.numbers.value(i)) << i;
        EXPECT_EQ(list.Count, c.numbers.size());
        EXPECT_EQ(list.CallMacro, c.macro);
        EXPECT_EQ(list.ListCrc, UnitEngine::listCrc(c.numbers));
        EXPECT_TRUE(list.SendAck); // the unit does not hold it
        EXPECT_EQ(link.progress.last(), std::make_pair(250, 250));
    }
}

// Replies that fail every attempt leave the list exactly as it was.
TEST(VoiceListRead, BadRepliesFailAndChangeNothing)
{
    const auto frames = [](const QStringList &texts) {
        QByteArray bytes;
        for (const QString &text : texts)
            bytes += ScriptedUnit::frame(text);
        return bytes;
    };
    const struct {
        const char *name;
        QStringList stream;
    } cases[] = {
        {"macro not a number", {"#B00", "#B01123", "#B02", "#B03x"}},
        {"macro out of range", {"#B00", "#B01123", "#B02", "#B0340"}},
        {"no end marker", {"#B00", "#B01123", "#B03"}},
        {"no macro", {"#B00", "#B01123", "#B02"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        UnitLink link;
        link.unit.on("#4F", {frames(c.stream)});
        link.unit.answer("#4E", "#B17A75");
        VoiceAuthList list = listOf({"keep"}, 7);
        const VoiceAuthList before = list;

        EXPECT_FALSE(ReadAutVozList(link.comms, list));
        EXPECT_EQ(link.unit.count("#4F"), 3);
        EXPECT_EQ(list.Numbers, before.Numbers);
        EXPECT_EQ(list.Count, before.Count);
        EXPECT_EQ(list.CallMacro, before.CallMacro);
        EXPECT_EQ(list.ListCrc, before.ListCrc);
        EXPECT_FALSE(link.comms.CommsBusy());
    }

    // The unit can hold no more than 250 numbers; a 251st is a fault.
    QStringList numbers;
    for (int i = 0; i < 251; ++i)
        numbers << QString::number(600000000 + i);
    SimVoiceLink link(numbers, 1);
    VoiceAuthList list = listOf({"keep"}, 7);
    EXPECT_FALSE(link.read(list));
    EXPECT_EQ(list.Numbers[0], "keep");
    EXPECT_EQ(list.Numbers[250], QString());
    EXPECT_EQ(list.Count, 1);
}

// "12448" has the CRC A001: a value above 7FFF, in either case of digit.
TEST(VoiceListRead, CrcReplyNeedsExactlyFourHexDigits)
{
    const struct {
        const char *reply;
        bool ok;
    } cases[] = {
        {"#B1A001", true}, {"#B1a001", true}, {"#B1A00", false}, {"#B1A0010", false}, {"#B1A00G", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.reply);
        UnitLink link;
        link.unit.on("#4F", {ScriptedUnit::frame("#B00") + ScriptedUnit::frame("#B0112448")
                             + ScriptedUnit::frame("#B02") + ScriptedUnit::frame("#B03")});
        link.unit.answer("#4E", c.reply);
        VoiceAuthList list;

        EXPECT_EQ(ReadAutVozList(link.comms, list), c.ok);
        EXPECT_EQ(list.Count, c.ok ? 1 : 0);
        EXPECT_EQ(list.ListCrc, c.ok ? 0xA001 : 0xFFFF);
    }
}

} // namespace
