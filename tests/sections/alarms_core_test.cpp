// The alarm machinery of every alarm-capable kind: Clear, file keys, upload
// lines, the unit's answers and their parser.
#include <gtest/gtest.h>

#include <QLocale>

#include <functional>

#include "files/inidocument.h"
#include "link/devicevalues.h"
#include "model/configstore.h"
#include "model/texthelpers.h"
#include "sections/alarms/alarmcore.h"
#include "inikeys.h"

namespace {

using M = AlarmMember;

const UploadContext kAllFeatures{Feature::MathChannels | Feature::FlagAlarms, kProductLimits};

// Every field of the alarm block as text, so that two slots compare at once
// and a failure shows which field differs.
QString describe(const AlarmConfig &a)
{
    const auto codes = [](const ActionList &list) {
        QStringList out;
        for (const qint16 code : list)
            out << QString::number(code);
        return out.join(QLatin1Char(' '));
    };
    return QStringList{QStringLiteral("on=%1 rest=%2 renv=%3 sms=%4 voz=%5 gprs=%6")
                           .arg(a.Enabled).arg(a.RestoreMessage).arg(a.Resend)
                           .arg(a.NotifySms).arg(a.NotifyVoice).arg(a.NotifyGprs),
                       QStringLiteral("text=") + a.Text,
                       QStringLiteral("low=%1 high=%2 hist=%3 pers=%4 rearm=%5")
                           .arg(a.Low).arg(a.High).arg(a.Hysteresis).arg(a.Persistence)
                           .arg(a.Rearm),
                       QStringLiteral("always=%1 start=%2 stop=%3 week=%4")
                           .arg(a.Window.Always).arg(TimeText(a.Window.Start))
                           .arg(TimeText(a.Window.Stop)).arg(a.Window.Weekdays),
                       QStringLiteral("flag=%1").arg(a.EnableFlag),
                       QStringLiteral("hi=") + codes(a.ActionsHigh),
                       QStringLiteral("lo=") + codes(a.ActionsLow),
                       QStringLiteral("no=") + codes(a.ActionsNormal)}
        .join(QLatin1Char('\n'));
}

// A slot whose fields all differ. Only the fields the member carries are set,
// so that what comes back through the file or the unit can equal it; `variant`
// makes each slot of a channel different.
AlarmConfig sampleFor(const AlarmMemberRow &row, int variant = 0)
{
    AlarmConfig a;
    a.Enabled = a.RestoreMessage = a.Resend = true;
    a.NotifyGprs = true;
    a.Text = QStringLiteral("Nivel alto %1").arg(variant);
    if (row.layout->segments.size() == 4) {
        a.High = 50 + variant;
        a.Low = 1.5f;
        a.Hysteresis = 2;
        a.Persistence = 3;
    } else if (!row.layout->segments.empty()) {
        a.Persistence = 3;
        a.Rearm = 4.5f + variant;
    }
    a.Window = {false, QTime(8, 5), QTime(17, 30, 15), 21};
    if (row.layout->enableFlag)
        a.EnableFlag = 12;
    a.ActionsHigh = {5, 0, 12, 0, 0, 0, 0, 0};
    a.ActionsLow = {7, 0, 0, 0, 0, 0, 0, qint16(variant)};
    if (row.layout->actions.size() == 3)
        a.ActionsNormal = {0, 0, 0, 0, 0, 0, 0, 9};
    return a;
}

// ---- Upload lines ----

TEST(AlarmUpload, EachMemberWritesItsEnabledAndDisabledLine)
{
    const QString window =
        QStringLiteral(",SREST,RESEND,GPRS,START=8:05:00,STOP=17:30:15,WEEK=1010100");
    const struct {
        M member;
        int slot;
        QString enabled;
        QString disabled;
    } cases[] = {
        {M::Flow, 1,
         "+ALMFLOW2=Nivel alto 0,INDEX= 1,MAX= 50,MIN= 1.5,HIST= 2,P= 3" + window
             + ",EQ= 12,ACTHI= 5 12,ACTLO= 7,ACTNOM= 9",
         "-ALMFLOW2,INDEX= 1"},
        {M::Digital, 3,
         "+ALMD2=Nivel alto 0,INDEX= 3,PC= 3,PO= 4.5" + window
             + ",EQ= 12,ACTCLOSE= 5 12,ACTOPEN= 7",
         "-ALMD2,INDEX= 3"},
        {M::Math, 0,
         "+ALMM2=Nivel alto 0,INDEX= 0,MAX= 50,MIN= 1.5,HIST= 2,P= 3" + window
             + ",EQ= 12,ACTHI= 5 12,ACTLO= 7,ACTNOM= 9",
         "-ALMM2,INDEX= 0"},
        {M::Flags, 0, "+ALMF2=Nivel alto 0,INDEX= 0" + window + ",ACTHI= 5 12,ACTLO= 7",
         "-ALMF2,INDEX= 0"},
        {M::OneWire, 2,
         "+ALMOW2=Nivel alto 0,INDEX= 2,MAX= 50,MIN= 1.5,HIST= 2,P= 3" + window
             + ",EQ= 12,ACTHI= 5 12,ACTLO= 7,ACTNOM= 9",
         "-ALMOW2,INDEX= 2"},
    };
    for (const auto &c : cases) {
        const AlarmMemberRow &row = alarmMember(c.member);
        ConfigStore store;
        clearAlarms(row, store);
        alarmSlots(row, store, 2)[c.slot] = sampleFor(row);

        const QStringList lines = alarmUploadLines(row, store, 2, kAllFeatures);
        ASSERT_EQ(lines.size(), row.slotCount) << c.enabled.toStdString();
        EXPECT_EQ(lines[c.slot], c.enabled);

        alarmSlots(row, store, 2)[c.slot].Enabled = false;
        EXPECT_EQ(alarmUploadLines(row, store, 2, kAllFeatures)[c.slot], c.disabled);
    }
}

TEST(AlarmUpload, WorkedExampleAndSegmentRules)
{
    const AlarmMemberRow &flow = alarmMember(M::Flow);
    ConfigStore store;
    clearAlarms(flow, store);
    AlarmConfig &slot = alarmSlots(flow, store, 2)[1];
    slot.Enabled = true;
    slot.NotifySms = true;
    slot.Text = QStringLiteral("Caudal alto");
    slot.High = 50;
    slot.Hysteresis = 2;
    slot.Persistence = 3;
    slot.ActionsHigh = {5, 0, 12, 0, 0, 0, 0, 0};
    const auto line = [&] { return alarmUploadLines(flow, store, 2, {})[1]; };

    // Always: no window; SMS: no notification segment; empty lists leave their keys bare.
    EXPECT_EQ(line(), "+ALMFLOW2=Caudal alto,INDEX= 1,MAX= 50,MIN= 0,HIST= 2,P= 3,EQ= 0,"
                      "ACTHI= 5 12,ACTLO=,ACTNOM=");

    slot.Window.Always = false;
    slot.Window.Weekdays = 0;
    EXPECT_TRUE(line().contains(",START=0:00:00,STOP=0:00:00,WEEK=0000000,EQ="));

    slot.NotifySms = false;
    slot.Resend = true;
    EXPECT_TRUE(line().contains(",RESEND,NOSEND,START="));
}

TEST(AlarmUpload, OnlyTheUnitsChannelsAndOnlyWithTheirCapability)
{
    const quint32 none = 0;
    const quint32 all = kAllFeatures.features;
    const struct {
        M member;
        quint32 features;
        int channels;
    } cases[] = {
        {M::Flow, none, 8},    // never the spare meter
        {M::Digital, none, 8}, // never DI8
        {M::Math, none, 0},    {M::Math, Feature::MathChannels, 4},
        {M::Flags, none, 0},   {M::Flags, Feature::FlagAlarms, 16},
        {M::OneWire, none, 4}, {M::Analog, all, 0},
    };
    for (const auto &c : cases) {
        const AlarmMemberRow &row = alarmMember(c.member);
        ConfigStore store;
        clearAlarms(row, store);
        const UploadContext context{c.features, kProductLimits};
        EXPECT_EQ(uploadedAlarmChannels(row, context), c.channels) << row.fileWord.data();
        for (int channel = 0; channel < row.records; ++channel) {
            const int expected = channel < c.channels ? row.slotCount : 0;
            EXPECT_EQ(alarmUploadLines(row, store, channel, context).size(), expected)
                << row.fileWord.data() << channel;
        }
    }

    // Flags past 9 carry both digits right after the keyword.
    const AlarmMemberRow &flags = alarmMember(M::Flags);
    ConfigStore store;
    alarmSlots(flags, store, 12)[0] = sampleFor(flags);
    EXPECT_TRUE(alarmUploadLines(flags, store, 12, kAllFeatures)[0].startsWith("+ALMF12=Nivel"));
}

// ---- Configuration file ----

QStringList expectedKeys(const QStringList &words, const QStringList &actionWords, int slotCount)
{
    QStringList keys;
    for (int c = 0; c < slotCount; ++c) {
        for (const QString &word : words)
            keys << QStringLiteral("%1 %2)").arg(word).arg(c);
        for (const QString &word : actionWords) {
            for (int s = 0; s < 8; ++s)
                keys << QStringLiteral("%1 %2 %3)").arg(word).arg(c).arg(s);
        }
    }
    return keys;
}

TEST(AlarmFile, KeysOfEverySlotInTheirOrder)
{
    const QStringList head{"HABIL(", "REST(", "RENV(", "SMS(", "VOZ(", "GPRS(", "TEXTO("};
    const QStringList window{"SIEMPRE(", "INICIO(", "FINAL(", "SEMANA("};
    const QStringList thresholds{"MINIMO(", "MAXIMO(", "HISTERESIS(", "PERSISTENCIA("};
    const QStringList full = head + thresholds + window + QStringList{"FLAG("};
    const QStringList digital =
        head + QStringList{"PERSIST(", "REARM("} + window + QStringList{"FLAG("};
    const QStringList three{"ACTHI(", "ACTLO(", "ACTNO("};
    const QStringList two{"ACTHI(", "ACTLO("};
    const struct {
        M member;
        QString section;
        QStringList keys;
    } cases[] = {
        {M::Flow, "CAUDAL 1", expectedKeys(full, three, 4)},
        {M::Digital, "DIGITAL 1", expectedKeys(digital, two, 4)},
        {M::Math, "MATH 1", expectedKeys(full, three, 1)},
        {M::Flags, "FLAG 1", expectedKeys(head + window, two, 1)},
        {M::OneWire, "1WIRE 1", expectedKeys(full, three, 4)},
        {M::Analog, "ANALOG 1", expectedKeys(full, three, 4)},
    };
    for (const auto &c : cases) {
        const AlarmMemberRow &row = alarmMember(c.member);
        ConfigStore store; // disabled, all zero: every key is written anyway
        IniDocument doc;
        saveAlarmKeys(row, store, 1, doc);
        EXPECT_EQ(alarmFileSection(row, 1), c.section);
        EXPECT_EQ(keysOf(doc, c.section), c.keys) << c.section.toStdString();
    }
}

TEST(AlarmFile, SaveThenRestoreGivesEverySlotBack)
{
    for (const AlarmMemberRow &row : alarmMembers()) {
        ConfigStore saved;
        clearAlarms(row, saved);
        for (int c = 0; c < row.slotCount; ++c)
            alarmSlots(row, saved, 1)[c] = sampleFor(row, c);
        IniDocument doc;
        saveAlarmKeys(row, saved, 1, doc);
        IniDocument reread;
        reread.parse(doc.serialize());

        ConfigStore restored;
        clearAlarms(row, restored);
        restoreAlarmKeys(row, restored, 1, reread);
        for (int c = 0; c < row.slotCount; ++c) {
            EXPECT_EQ(describe(alarmSlots(row, restored, 1)[c]), describe(sampleFor(row, c)))
                << row.fileWord.data() << " slot " << c;
        }
    }
    IniDocument doc;
    ConfigStore store;
    saveAlarmKeys(alarmMember(M::Flow), store, 0, doc);
    EXPECT_EQ(doc.readValue("CAUDAL 0", "ACTHI( 0 3)"), "0");
}

TEST(AlarmFile, MissingAndUnreadableValues)
{
    const AlarmMemberRow &flow = alarmMember(M::Flow);
    IniDocument doc;
    doc.writeValue("CAUDAL 0", "HABIL( 0)", "True");
    doc.writeValue("CAUDAL 0", "INICIO( 0)", "25:00:00");
    doc.writeValue("CAUDAL 0", "SEMANA( 1)", " 300");
    doc.writeValue("CAUDAL 0", "SIEMPRE( 1)", "True");
    doc.writeValue("CAUDAL 0", "FLAG( 1)", " 99");
    doc.writeValue("CAUDAL 0", "MAXIMO( 1)", " 1E+39");
    doc.writeValue("CAUDAL 0", "INICIO( 1)", "7:30:00");

    ConfigStore store;
    clearAlarms(flow, store);
    alarmSlots(flow, store, 0)[1].High = 8;
    restoreAlarmKeys(flow, store, 0, doc);
    const auto alarms = alarmSlots(flow, store, 0);

    // Missing keys read as false and 0, not as Clear's values.
    EXPECT_TRUE(alarms[0].Enabled);
    EXPECT_FALSE(alarms[0].Window.Always);
    EXPECT_EQ(alarms[0].Window.Weekdays, 0);
    EXPECT_EQ(alarms[0].Window.Start, QTime(0, 0)); // unreadable: Clear's time stays
    // Values that do not fit keep what the field held; a flag past F15 is kept as read.
    EXPECT_EQ(alarms[1].Window.Weekdays, 127);
    EXPECT_EQ(alarms[1].High, 8.f);
    EXPECT_EQ(alarms[1].EnableFlag, 99);
    EXPECT_TRUE(alarms[1].Window.Always);
    EXPECT_EQ(alarms[1].Window.Start, QTime(7, 30));
}

TEST(AlarmClear, EverySlotOfEveryRecordActionsIncluded)
{
    for (const AlarmMemberRow &row : alarmMembers()) {
        ConfigStore store;
        const int last = row.records - 1; // DI8 and the spare meter too
        AlarmConfig &slot = alarmSlots(row, store, last)[row.slotCount - 1];
        slot = sampleFor(row);
        clearAlarms(row, store);
        EXPECT_FALSE(slot.Enabled);
        EXPECT_TRUE(slot.Window.Always);
        EXPECT_EQ(slot.Window.Weekdays, 127);
        EXPECT_TRUE(slot.Text.isEmpty());
        EXPECT_EQ(slot.ActionsHigh, ActionList{}) << row.fileWord.data();
        EXPECT_EQ(slot.ActionsNormal, ActionList{}) << row.fileWord.data();
    }
}

// ---- The unit's answers ----

// Feeds one answer as the download delivers it; false when the row does not take it.
bool feed(const AlarmMemberRow &row, ConfigStore &store, const QString &answer)
{
    return parseAlarmLine(row, store, LineField(answer, 1), QStringLiteral("#BD012") + answer);
}

TEST(AlarmAnswers, TheUnitsLinesReadBackEqual)
{
    for (const AlarmMemberRow &row : alarmMembers()) {
        ConfigStore unit;
        clearAlarms(row, unit);
        for (int c = 0; c < row.slotCount; ++c)
            alarmSlots(row, unit, 1)[c] = sampleFor(row, c);
        const QStringList lines = alarmDownloadLines(row, unit, 1);
        ASSERT_EQ(lines.size(), 2 * row.slotCount);
        EXPECT_EQ(LineField(lines[0], 1), row.answerWord + ".ALM");

        ConfigStore tool;
        clearAlarms(row, tool);
        for (const QString &line : lines)
            EXPECT_TRUE(feed(row, tool, line)) << line.toStdString();
        for (int c = 0; c < row.slotCount; ++c) {
            EXPECT_EQ(describe(alarmSlots(row, tool, 1)[c]), describe(alarmSlots(row, unit, 1)[c]))
                << row.fileWord.data() << " slot " << c;
        }
    }
    EXPECT_EQ(alarmKeywords(alarmMember(M::OneWire)), QStringList({"ONEWIRE.ALM", "ONEWIRE.ACT"}));
}

TEST(AlarmAnswers, TheUnitReportsWeekAndWholeDayForItsState)
{
    const AlarmMemberRow &flags = alarmMember(M::Flags);
    ConfigStore store;
    clearAlarms(flags, store);
    AlarmConfig &slot = alarmSlots(flags, store, 0)[0];
    slot.Window.Weekdays = 3; // Always ignores it; the unit reports every day
    slot.NotifySms = slot.NotifyVoice = slot.RestoreMessage = slot.Resend = slot.NotifyGprs = true;
    EXPECT_EQ(alarmDownloadLines(flags, store, 0)[0], "FLAG.ALM,0,0,,0,86400,0,31");
    slot.Enabled = true;
    EXPECT_EQ(alarmDownloadLines(flags, store, 0)[0], "FLAG.ALM,0,0,,0,86400,127,31");
}

TEST(AlarmAnswers, FieldsAndTheStatesTheyGive)
{
    const struct {
        M member;
        QString answer;
        std::function<void(AlarmConfig &)> expect; // applied to a cleared slot
    } cases[] = {
        // Every day, the whole day: Always, and the end of the day stays inside it.
        {M::Flow, "CAUDAL.ALM,1,2,Alto,1.5,50,2,0,86400,127,1,3,4",
         [](AlarmConfig &a) {
             a.Enabled = a.NotifySms = true;
             a.Text = "Alto";
             a.Low = 1.5f, a.High = 50, a.Hysteresis = 2, a.Persistence = 4;
             a.Window = {true, QTime(0, 0), QTime(23, 59, 59), 127};
             a.EnableFlag = 3;
         }},
        {M::Flow, "CAUDAL.ALM,1,2,Alto,0,0,0,0,86398,255,6,0,0",
         [](AlarmConfig &a) {
             a.Enabled = a.NotifyVoice = a.RestoreMessage = true;
             a.Text = "Alto";
             a.Window = {false, QTime(0, 0), QTime(23, 59, 58), 255};
         }},
        // An empty weekday mask is a disabled slot.
        {M::Flow, "CAUDAL.ALM,1,2,Alto,0,0,0,3600,7200,0,24,0,0",
         [](AlarmConfig &a) {
             a.Resend = a.NotifyGprs = true;
             a.Text = "Alto";
             a.Window = {false, QTime(1, 0), QTime(2, 0), 0};
         }},
        {M::Digital, "DIGITAL.ALM,1,2,Puerta,2.5,1.5,60,120,31,0,16",
         [](AlarmConfig &a) {
             a.Enabled = true;
             a.Text = "Puerta";
             a.Persistence = 2.5f, a.Rearm = 1.5f;
             a.Window = {false, QTime(0, 1), QTime(0, 2), 31};
             a.EnableFlag = 16;
         }},
        {M::Flags, "FLAG.ALM,1,0,Flag,0,86399,127,17",
         [](AlarmConfig &a) {
             a.Enabled = a.NotifySms = a.NotifyGprs = true;
             a.Text = "Flag";
             a.Window = {true, QTime(0, 0), QTime(23, 59, 59), 127};
         }},
        // Three lists: high, normal, low per action slot; a short answer reads 0.
        {M::Flow, "CAUDAL.ACT,1,2,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22",
         [](AlarmConfig &a) {
             a.ActionsHigh = {1, 4, 7, 10, 13, 16, 19, 22};
             a.ActionsNormal = {2, 5, 8, 11, 14, 17, 20, 0};
             a.ActionsLow = {3, 6, 9, 12, 15, 18, 21, 0};
         }},
        // Two lists: high, low per action slot.
        {M::Digital, "DIGITAL.ACT,1,2,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16",
         [](AlarmConfig &a) {
             a.ActionsHigh = {1, 3, 5, 7, 9, 11, 13, 15};
             a.ActionsLow = {2, 4, 6, 8, 10, 12, 14, 16};
         }},
    };
    // The unit writes "." whatever the PC's locale; a decimal comma must not change that.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    for (const auto &c : cases) {
        const AlarmMemberRow &row = alarmMember(c.member);
        const int slot = row.slotCount == 1 ? 0 : 2;
        ConfigStore store;
        clearAlarms(row, store);
        AlarmConfig expected = alarmSlots(row, store, 1)[slot];
        c.expect(expected);
        EXPECT_TRUE(feed(row, store, c.answer));
        EXPECT_EQ(describe(alarmSlots(row, store, 1)[slot]), describe(expected))
            << c.answer.toStdString();
    }
    QLocale::setDefault(before);
}

TEST(AlarmAnswers, LinesThatDoNotFitAreSkippedWhole)
{
    const struct {
        M member;
        QString answer;
    } cases[] = {
        {M::Flow, "CAUDAL.ALM,9,0,X,1,1,1,0,86400,127,1,1,1"},    // no such record
        {M::Flow, "CAUDAL.ALM,one,0,X,1,1,1,0,86400,127,1,1,1"},
        {M::Flow, "CAUDAL.ALM,0,4,X,1,1,1,0,86400,127,1,1,1"},    // no such slot
        {M::Flow, "CAUDAL.ALM,0,-1,X,1,1,1,0,86400,127,1,1,1"},
        {M::Flags, "FLAG.ALM,0,1,X,0,86400,127,1"},
        {M::Flow, "CAUDAL.ALM,0,0,X,1E+39,1,1,0,86400,127,1,1,1"}, // past a float
        {M::Flow, "CAUDAL.ALM,0,0,X,1,1,1,0,86400,127,1,1,1E+39"},
        {M::Flow, "CAUDAL.ALM,0,0,X,1,1,1,-1,86400,127,1,1,1"},    // seconds of day
        {M::Flow, "CAUDAL.ALM,0,0,X,1,1,1,0,86401,127,1,1,1"},
        {M::Flow, "CAUDAL.ALM,0,0,X,1,1,1,0,86400,256,1,1,1"},     // weekday mask
        {M::Flow, "CAUDAL.ALM,0,0,X,1,1,1,0,86400,-1,1,1,1"},
        {M::Flow, "CAUDAL.ALM,0,0,X,1,1,1,0,86400,127,1,17,1"},    // enable flag
        {M::Digital, "DIGITAL.ALM,0,0,X,1,1,0,86400,127,1,-1"},
        {M::Flow, "CAUDAL.ALM,0,0,X,1,1,1,0,86400,127,40000,1,1"}, // notification bits
        {M::Flow, "CAUDAL.ACT,9,0,1,2,3"},
        {M::Flow, "CAUDAL.ACT,0,4,1,2,3"},
        {M::Flow, "CAUDAL.ACT,0,0,1,2,3,4,5,40000"},                // an action code
        {M::Flags, "FLAG.ACT,0,0,1,2,1E+09"},
    };
    for (const auto &c : cases) {
        const AlarmMemberRow &row = alarmMember(c.member);
        ConfigStore store;
        clearAlarms(row, store);
        for (int channel = 0; channel < row.records; ++channel) {
            for (int s = 0; s < row.slotCount; ++s)
                alarmSlots(row, store, channel)[s] = sampleFor(row, s);
        }
        EXPECT_TRUE(feed(row, store, c.answer));
        for (int channel = 0; channel < row.records; ++channel) {
            for (int s = 0; s < row.slotCount; ++s) {
                EXPECT_EQ(describe(alarmSlots(row, store, channel)[s]), describe(sampleFor(row, s)))
                    << c.answer.toStdString();
            }
        }
    }
}

TEST(AlarmAnswers, OtherKeywordsAndChannelsAreNotTaken)
{
    ConfigStore store;
    EXPECT_TRUE(alarmDownloadLines(alarmMember(M::Flow), store, 9).isEmpty());
    EXPECT_TRUE(alarmDownloadLines(alarmMember(M::Flags), store, -1).isEmpty());
    EXPECT_FALSE(feed(alarmMember(M::Flow), store, "CAUDAL,0,Pozo"));
    EXPECT_FALSE(feed(alarmMember(M::Flow), store, "DIGITAL.ALM,0,0,X,1,1,0,86400,127,1,1"));
    // The spare meter's record is filled like any other.
    EXPECT_TRUE(feed(alarmMember(M::Flow), store, "CAUDAL.ALM,8,3,Spare,0,0,0,0,86400,1,0,0,0"));
    EXPECT_EQ(store.Flow[8].Alarms[3].Text, "Spare");
}

} // namespace
