// The four timer families' core: upload, download, the unit's lines, file keys.
// The cases name a family by its kind; every behaviour runs through the one
// implementation the family table drives.
#include <gtest/gtest.h>

#include <functional>

#include "files/inidocument.h"
#include "files/sectionregistry.h"
#include "link/devicevalues.h"
#include "model/configstore.h"
#include "model/texthelpers.h"
#include "sections/sectionlist.h"
#include "sections/timers/timercore.h"

namespace {

using Change = std::function<void(TimerValues &)>;

const TimerFamily &family(TimerKind kind)
{
    return timerFamily(kind);
}

ConfigStore clearedStore()
{
    ConfigStore store;
    for (const TimerFamily &f : timerFamilies())
        clearTimers(store, f);
    return store;
}

// Every timer of every family holds values no line or file case produces by itself.
ConfigStore markedStore()
{
    ConfigStore store;
    TimerValues marked;
    marked.Enabled = true;
    marked.Seconds = 7;
    marked.Days = 7;
    marked.Start = QTime(1, 0);
    marked.Stop = QTime(2, 0);
    marked.Weekdays = 3;
    marked.DayMask = 3;
    marked.Flag = 5;
    marked.Actions.fill(7);
    for (const TimerFamily &f : timerFamilies()) {
        for (int i = 0; i < kTimerCount; ++i)
            setTimerValues(store, f, i, marked);
    }
    return store;
}

// Hands one stream line to the family whose keyword it carries.
void feed(ConfigStore &store, const QString &line)
{
    const QString keyword = LineField(line, 1);
    DownloadState state;
    for (const TimerFamily &row : timerFamilies()) {
        const TimerCore core(row);
        if (core.keywords().contains(keyword))
            core.parseLine(store, state, keyword, QStringLiteral("#BD000") + line, 0);
    }
}

// Compares the fields the family holds.
void expectSameTimer(const TimerFamily &f, const TimerValues &a, const TimerValues &b)
{
    EXPECT_EQ(a.Enabled, b.Enabled);
    EXPECT_EQ(a.Actions, b.Actions);
    if (f.has(TimerField::Seconds))
        EXPECT_EQ(a.Seconds, b.Seconds);
    if (f.has(TimerField::Days))
        EXPECT_EQ(a.Days, b.Days);
    if (f.has(TimerField::Always))
        EXPECT_EQ(a.Always, b.Always);
    if (f.has(TimerField::Start))
        EXPECT_EQ(a.Start, b.Start);
    if (f.has(TimerField::Stop))
        EXPECT_EQ(a.Stop, b.Stop);
    if (f.has(TimerField::Weekdays))
        EXPECT_EQ(a.Weekdays, b.Weekdays);
    if (f.has(TimerField::DayMask))
        EXPECT_EQ(a.DayMask, b.DayMask);
    if (f.has(TimerField::Flag))
        EXPECT_EQ(a.Flag, b.Flag);
}

void expectSameStore(const ConfigStore &a, const ConfigStore &b)
{
    for (const TimerFamily &f : timerFamilies()) {
        for (int i = 0; i < kTimerCount; ++i) {
            SCOPED_TRACE(QString(f.name).toStdString() + std::to_string(i));
            expectSameTimer(f, timerValues(a, f, i), timerValues(b, f, i));
        }
    }
}

void change(ConfigStore &store, TimerKind kind, int index, const Change &edit)
{
    TimerValues values = timerValues(store, family(kind), index);
    edit(values);
    setTimerValues(store, family(kind), index, values);
}

const UploadContext kMonthlyUnit{Feature::MonthlyTimers};

// ---- Clear ----

TEST(TimerCore, ClearSetsDefaultsAndEmptiesActionsAndTheCyclicFlag)
{
    ConfigStore store = markedStore();
    for (const TimerFamily &f : timerFamilies())
        TimerCore(f).clear(store);
    const CyclicTimer &c = store.CyclicTimers[15];
    EXPECT_FALSE(c.Enabled);
    EXPECT_EQ(c.Period, 0.f);
    EXPECT_TRUE(c.Window.Always);
    EXPECT_EQ(c.Window.Start, QTime(0, 0));
    EXPECT_EQ(c.Window.Stop, QTime(0, 0));
    EXPECT_EQ(c.Window.Weekdays, 127);
    EXPECT_EQ(c.EnableFlag, 0);
    EXPECT_FALSE(store.WeeklyTimers[0].Enabled);
    EXPECT_EQ(store.WeeklyTimers[0].Time, QTime(0, 0));
    EXPECT_EQ(store.WeeklyTimers[0].Weekdays, 127);
    EXPECT_EQ(store.MonthlyTimers[0].DayMask, 0u);
    EXPECT_EQ(store.LongTimers[0].Period, 0);
    for (const TimerFamily &f : timerFamilies())
        EXPECT_EQ(timerValues(store, f, 4).Actions, ActionList{}) << f.name.data();
}

// ---- Upload ----

TEST(TimerCore, UploadLines)
{
    const struct {
        TimerKind kind;
        int index;
        Change edit;
        const char *line;
    } cases[] = {
        {TimerKind::Cyclic, 3, [](TimerValues &v) { v.Enabled = true; v.Seconds = 60; v.Flag = 3; v.Actions = {5, 17}; },
         "CT3= 60,EQ= 3,ACT= 5 17"},
        {TimerKind::Cyclic, 3,
         [](TimerValues &v) {
             v.Enabled = true; v.Seconds = 60; v.Flag = 3; v.Actions = {5, 17};
             v.Always = false; v.Start = QTime(8, 0); v.Stop = QTime(18, 30); v.Weekdays = 31;
         },
         "CT3= 60,START=8:00:00,STOP=18:30:00,WEEK=1111100,EQ= 3,ACT= 5 17"},
        {TimerKind::Cyclic, 1, [](TimerValues &v) { v.Enabled = true; v.Seconds = 2.5f; v.Weekdays = 0; },
         "CT1= 2.5,EQ= 0,ACT="},
        {TimerKind::Cyclic, 2, [](TimerValues &v) { v.Enabled = true; v.Seconds = -4; },
         "CT2=-4,EQ= 0,ACT="},
        {TimerKind::Long, 0, [](TimerValues &v) { v.Enabled = true; v.Days = 3; }, "LT0= 259200,ACT="},
        {TimerKind::Long, 0, [](TimerValues &v) { v.Enabled = true; v.Days = 32767; }, "LT0= 2831068800,ACT="},
        {TimerKind::Long, 1, [](TimerValues &v) { v.Enabled = true; v.Days = 1; v.Actions = {4, 0, 0, 9, 0, 0, 0, 11}; },
         "LT1= 86400,ACT= 4 9 11"},
        {TimerKind::Monthly, 4,
         [](TimerValues &v) { v.Enabled = true; v.Start = QTime(6, 0); v.DayMask = 2147500033u; v.Actions = {1, 42, 109}; },
         "MT4=6:00:00,MASK= 2147500033,ACT= 1 42 109"},
        {TimerKind::Monthly, 5, [](TimerValues &v) { v.Enabled = true; v.DayMask = 1u << 31; },
         "MT5=0:00:00,MASK= 2147483648,ACT="},
        {TimerKind::Monthly, 6, [](TimerValues &v) { v.Enabled = true; v.DayMask = 0xffffffffu; },
         "MT6=0:00:00,MASK= 4294967295,ACT="},
        {TimerKind::Weekly, 0, [](TimerValues &v) { v.Enabled = true; v.Start = QTime(7, 30); v.Weekdays = 21; v.Actions = {79}; },
         "WT0=7:30:00,WEEK=1010100,ACT= 79"},
        {TimerKind::Cyclic, 5, [](TimerValues &v) { v.Seconds = 60; v.Actions = {5}; }, "-CT5"},
        {TimerKind::Weekly, 5, [](TimerValues &v) { v.Weekdays = 3; }, "-WT5"},
        {TimerKind::Monthly, 5, [](TimerValues &v) { v.DayMask = 3; }, "-MT5"},
        {TimerKind::Long, 15, [](TimerValues &v) { v.Days = 3; }, "-LT15"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        ConfigStore store = clearedStore();
        change(store, c.kind, c.index, c.edit);
        const QStringList lines = TimerCore(family(c.kind)).uploadLines(store, kMonthlyUnit);
        ASSERT_EQ(lines.size(), kTimerCount);
        EXPECT_EQ(lines[c.index], QLatin1String(c.line));
    }
}

TEST(TimerCore, UploadSendsTheFamiliesAfterThePhonesAndMonthlyOnlyWhenTheUnitHasThem)
{
    SectionRegistry sections;
    registerSections(sections);
    ConfigStore store = clearedStore();
    sections.clearAll(store);
    store.General.Phones[0].Number = QStringLiteral("+34600000001");

    const QStringList without = sections.uploadLines(store, UploadContext{});
    EXPECT_FALSE(std::any_of(without.begin(), without.end(),
                             [](const QString &line) { return line.startsWith(QLatin1String("MT")) || line.startsWith(QLatin1String("-MT")); }));

    const QStringList with = sections.uploadLines(store, kMonthlyUnit);
    const qsizetype first = with.indexOf(QStringLiteral("-LT0"));
    ASSERT_GT(first, 0);
    EXPECT_TRUE(with[first - 1].startsWith(QLatin1String("+TLF=")));
    QStringList expected;
    for (const char *prefix : {"-LT", "-CT", "-WT", "-MT"}) {
        for (int i = 0; i < kTimerCount; ++i)
            expected << QLatin1String(prefix) + QString::number(i);
    }
    EXPECT_EQ(with.mid(first, expected.size()), expected);
    EXPECT_EQ(without.mid(first, 48), expected.mid(0, 48));
}

// ---- Download ----

TEST(TimerCore, DownloadLines)
{
    auto keep = Change(); // the line is skipped: the timer keeps what it had
    const struct {
        const char *line;
        TimerKind kind;
        int index;
        Change edit;
    } cases[] = {
        {"CTIMER,2,127,0,86399,60,3", TimerKind::Cyclic, 2,
         [](TimerValues &v) {
             v.Weekdays = 127; v.Start = QTime(0, 0); v.Stop = QTime(23, 59, 59); v.Seconds = 60; v.Flag = 3;
             v.Always = true;
         }},
        {"CTIMER,2,127,0,86340,60,3", TimerKind::Cyclic, 2,
         [](TimerValues &v) {
             v.Weekdays = 127; v.Start = QTime(0, 0); v.Stop = QTime(23, 59); v.Seconds = 60; v.Flag = 3;
         }},
        {"CTIMER,2,127,0,86400,60,0", TimerKind::Cyclic, 2,
         [](TimerValues &v) {
             v.Weekdays = 127; v.Start = QTime(0, 0); v.Stop = QTime(23, 59, 59); v.Seconds = 60; v.Flag = 0;
             v.Always = true;
         }},
        {"CTIMER,3,255,0,86399,60,0", TimerKind::Cyclic, 3,
         [](TimerValues &v) {
             v.Weekdays = 255; v.Start = QTime(0, 0); v.Stop = QTime(23, 59, 59); v.Seconds = 60; v.Flag = 0;
             v.Always = true;
         }},
        {"CTIMER,3,31,28800,66600,0,1", TimerKind::Cyclic, 3,
         [](TimerValues &v) {
             v.Weekdays = 31; v.Start = QTime(8, 0); v.Stop = QTime(18, 30); v.Seconds = 0; v.Flag = 1;
             v.Enabled = false;
         }},
        {"CTIMER,3,0,0,86399,60,1", TimerKind::Cyclic, 3,
         [](TimerValues &v) {
             v.Weekdays = 0; v.Start = QTime(0, 0); v.Stop = QTime(23, 59, 59); v.Seconds = 60; v.Flag = 1;
             v.Enabled = false;
         }},
        {"CTIMER,3,1,3600,7200,2.5,16", TimerKind::Cyclic, 3,
         [](TimerValues &v) {
             v.Weekdays = 1; v.Start = QTime(1, 0); v.Stop = QTime(2, 0); v.Seconds = 2.5f; v.Flag = 16;
         }},
        {"CTIMER,3,1,90000,7200,60,1", TimerKind::Cyclic, 3, keep},
        {"CTIMER,3,1,0,7200,60,17", TimerKind::Cyclic, 3, keep},
        {"CTIMER,3,1,0,7200,1E39,1", TimerKind::Cyclic, 3, keep},
        {"CTIMER,16,127,0,86399,60,3", TimerKind::Cyclic, 15, keep},
        {"CTIMER,x,127,0,86399,60,3", TimerKind::Cyclic, 0, keep},
        {"CTIMER,4", TimerKind::Cyclic, 4, // absent numbers read as 0
         [](TimerValues &v) {
             v.Weekdays = 0; v.Start = QTime(0, 0); v.Stop = QTime(0, 0); v.Seconds = 0; v.Flag = 0;
             v.Enabled = false;
         }},
        {"LTIMER,0,90000", TimerKind::Long, 0, [](TimerValues &v) { v.Days = 1; }},
        {"LTIMER,0,129600", TimerKind::Long, 0, [](TimerValues &v) { v.Days = 1; }},
        {"LTIMER,0,86399", TimerKind::Long, 0, [](TimerValues &v) { v.Days = 0; }},
        {"LTIMER,0,1", TimerKind::Long, 0, [](TimerValues &v) { v.Days = 0; }},
        {"LTIMER,0,0.5", TimerKind::Long, 0, [](TimerValues &v) { v.Days = 0; v.Enabled = false; }},
        {"LTIMER,0,0", TimerKind::Long, 0, [](TimerValues &v) { v.Days = 0; v.Enabled = false; }},
        {"LTIMER,0,2831068800", TimerKind::Long, 0, [](TimerValues &v) { v.Days = 32767; }},
        {"LTIMER,0,4000000000", TimerKind::Long, 0, keep},
        {"MTIMER,1,2147483648,43200", TimerKind::Monthly, 1,
         [](TimerValues &v) { v.DayMask = 2147483648u; v.Start = QTime(12, 0); }},
        {"MTIMER,1,0,43200", TimerKind::Monthly, 1,
         [](TimerValues &v) { v.DayMask = 0; v.Start = QTime(12, 0); v.Enabled = false; }},
        {"MTIMER,1,-1,43200", TimerKind::Monthly, 1, keep},
        {"MTIMER,1,4294967296,43200", TimerKind::Monthly, 1, keep},
        {"WTIMER,1,0,28800", TimerKind::Weekly, 1,
         [](TimerValues &v) { v.Weekdays = 0; v.Start = QTime(8, 0); v.Enabled = false; }},
        {"WTIMER,1,84,28800", TimerKind::Weekly, 1, [](TimerValues &v) { v.Weekdays = 84; v.Start = QTime(8, 0); }},
        {"WTIMER,1,300,28800", TimerKind::Weekly, 1, keep},
        {"WTIMER.ACTION,1,5,0,0,7,0,0,0,99", TimerKind::Weekly, 1,
         [](TimerValues &v) { v.Actions = {5, 0, 0, 7, 0, 0, 0, 99}; }},
        {"LTIMER.ACTION,2,5", TimerKind::Long, 2, [](TimerValues &v) { v.Actions = {5}; }},
        {"CTIMER.ACTION,2,5,40000,0,0,0,0,0,0", TimerKind::Cyclic, 2, keep},
        {"MTIMER.ACTION,16,5,0,0,0,0,0,0,0", TimerKind::Monthly, 15, keep},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        ConfigStore store = markedStore();
        TimerValues expected = timerValues(store, family(c.kind), c.index);
        if (c.edit)
            c.edit(expected);
        feed(store, QLatin1String(c.line));
        expectSameTimer(family(c.kind), timerValues(store, family(c.kind), c.index), expected);
    }
}

TEST(TimerCore, ClearAndDownloadLeaveNothingOfATimerTheUnitDoesNotReport)
{
    ConfigStore store = markedStore();
    TimerCore cyclic(family(TimerKind::Cyclic));
    cyclic.clear(store);
    feed(store, QStringLiteral("CTIMER,3,127,0,86399,60,2"));
    feed(store, QStringLiteral("CTIMER.ACTION,3,1,0,0,0,0,0,0,0"));
    EXPECT_EQ(store.CyclicTimers[4].Actions, ActionList{});
    EXPECT_EQ(store.CyclicTimers[4].EnableFlag, 0);
    EXPECT_FALSE(store.CyclicTimers[4].Enabled);
    EXPECT_EQ(store.CyclicTimers[3].EnableFlag, 2);
    EXPECT_EQ(store.CyclicTimers[3].Actions, ActionList({1}));
}

// ---- The unit's side ----

// What the unit's lines cannot carry: the window of an "always" cyclic timer,
// and the period, days or day mask that a disabled timer sends as 0.
ConfigStore normalised(ConfigStore store)
{
    for (CyclicTimer &t : store.CyclicTimers) {
        if (t.Window.Always)
            t.Window = {true, QTime(0, 0), QTime(23, 59, 59), 127};
        if (!t.Enabled)
            t.Period = 0;
    }
    for (WeeklyTimer &t : store.WeeklyTimers) {
        if (!t.Enabled)
            t.Weekdays = 0;
    }
    for (MonthlyTimer &t : store.MonthlyTimers) {
        if (!t.Enabled)
            t.DayMask = 0;
    }
    for (LongTimer &t : store.LongTimers) {
        if (!t.Enabled)
            t.Period = 0;
    }
    return store;
}

TEST(TimerCore, DownloadingTheUnitsLinesGivesTheModelBack)
{
    ConfigStore sent = clearedStore();
    sent.CyclicTimers[0] = {true, 12345678, {false, QTime(8, 0, 1), QTime(23, 59, 59), 0x95}, 16,
                            {1, 2, 3, 4, 5, 6, 7, 32767}};
    sent.CyclicTimers[1] = {true, 0.1f, {}, 2, {}};
    sent.CyclicTimers[1].Window.clear();
    sent.CyclicTimers[2] = {true, 60, {true, QTime(5, 0), QTime(6, 0), 3}, 0, {}};
    sent.CyclicTimers[3] = {false, 60, {false, QTime(1, 0), QTime(0, 0), 5}, 0, {}};
    sent.WeeklyTimers[0] = {true, QTime(23, 59, 59), 255, {-3}};
    sent.WeeklyTimers[1] = {false, QTime(7, 0), 5, {}};
    sent.MonthlyTimers[0] = {true, QTime(6, 0), 0xffffffffu, {9}};
    sent.MonthlyTimers[1] = {false, QTime(6, 0), 2147500033u, {}};
    sent.LongTimers[0] = {true, 32767, {}};
    sent.LongTimers[1] = {true, 0, {}};
    sent.LongTimers[2] = {false, 12, {}};

    ConfigStore received = markedStore();
    for (const TimerFamily &f : timerFamilies()) {
        for (const QString &line : TimerCore(f).downloadLines(sent, 0))
            feed(received, line);
    }
    expectSameStore(received, normalised(sent));
}

TEST(TimerCore, UnitLinesOfOneTimer)
{
    ConfigStore store = clearedStore();
    store.CyclicTimers[3] = {true, 2.5f, {false, QTime(8, 0), QTime(18, 30), 31}, 3, {5, 17}};
    store.LongTimers[1] = {true, 0, {}};
    store.MonthlyTimers[0] = {true, QTime(6, 0), 2147500033u, {}};
    EXPECT_EQ(TimerCore(family(TimerKind::Cyclic)).downloadLines(store, 0).mid(6, 2),
              QStringList({"CTIMER,3,31,28800,66600,2.5,3", "CTIMER.ACTION,3,5,17,0,0,0,0,0,0"}));
    EXPECT_EQ(TimerCore(family(TimerKind::Long)).downloadLines(store, 0)[2], QStringLiteral("LTIMER,1,1"));
    EXPECT_EQ(TimerCore(family(TimerKind::Monthly)).downloadLines(store, 0)[0],
              QStringLiteral("MTIMER,0,2147500033,21600"));
}

// ---- File ----

ConfigStore sampleStore()
{
    ConfigStore store = clearedStore();
    store.CyclicTimers[12] = {true, 60, {false, QTime(8, 0), QTime(18, 30), 31}, 3, {5, 17}};
    store.CyclicTimers[1] = {true, 1.5f, {}, 20, {}};
    store.CyclicTimers[1].Window.clear();
    store.WeeklyTimers[0] = {true, QTime(7, 30), 21, {79}};
    store.MonthlyTimers[0] = {true, QTime(6, 0), 2147500033u, {1, 42, 109}};
    store.LongTimers[0] = {true, 32767, {0, 0, 0, 4}};
    return store;
}

QString sectionText(const IniDocument &doc, const QString &section)
{
    const QString text = QString::fromLatin1(doc.serialize());
    const qsizetype start = text.indexOf(QLatin1Char('[') + section + QLatin1Char(']'));
    const qsizetype end = text.indexOf(QLatin1Char('['), start + 1);
    return text.mid(start, end < 0 ? -1 : end - start);
}

QString actionKeys(const QStringList &codes)
{
    QString text;
    for (int slot = 0; slot < 8; ++slot)
        text += QStringLiteral("ACT( %1)=%2\r\n").arg(slot).arg(codes.value(slot, QStringLiteral(" 0")));
    return text;
}

TEST(TimerCore, FileSectionsHoldTheKeysInOrder)
{
    IniDocument doc;
    const ConfigStore store = sampleStore();
    for (const TimerFamily &f : timerFamilies())
        TimerCore(f).save(store, doc);
    const struct {
        QString section;
        QString text;
    } cases[] = {
        {"CTIMER 12", "[CTIMER 12]\r\nHABIL=True\r\nPERIOD= 60\r\nSIEMPRE=False\r\nINICIO=8:00:00\r\n"
                      "FINAL=18:30:00\r\nSEMANA= 31\r\nEQ= 3\r\n" + actionKeys({" 5", " 17"})},
        {"WTIMER 0", "[WTIMER 0]\r\nHABIL=True\r\nINICIO=7:30:00\r\nSEMANA= 21\r\n" + actionKeys({" 79"})},
        {"MTIMER 0", "[MTIMER 0]\r\nHABIL=True\r\nINICIO=6:00:00\r\nMES= 2147500033\r\n"
                     + actionKeys({" 1", " 42", " 109"})},
        {"LTIMER 0", "[LTIMER 0]\r\nHABIL=True\r\nPERIOD= 32767\r\n" + actionKeys({" 0", " 0", " 0", " 4"})},
        {"LTIMER 15", "[LTIMER 15]\r\nHABIL=False\r\nPERIOD= 0\r\n" + actionKeys({})},
    };
    for (const auto &c : cases)
        EXPECT_EQ(sectionText(doc, c.section), c.text);
}

TEST(TimerCore, SaveRestoreAndSaveAgainGiveTheSameFile)
{
    IniDocument first;
    const ConfigStore store = sampleStore();
    for (const TimerFamily &f : timerFamilies())
        TimerCore(f).save(store, first);
    ConfigStore restored = markedStore();
    for (const TimerFamily &f : timerFamilies())
        TimerCore(f).restore(restored, first);
    expectSameStore(restored, store);
    IniDocument second;
    for (const TimerFamily &f : timerFamilies())
        TimerCore(f).save(restored, second);
    EXPECT_EQ(second.serialize(), first.serialize());
}

// A section holding one key: the others are missing and read as empty, 0 or
// false; a value that does not convert keeps Clear's.
TEST(TimerCore, RestoreReadsEachKeyOnItsOwn)
{
    auto missing = [](TimerValues &v) {
        v.Enabled = false; v.Always = false; v.Weekdays = 0; v.Flag = 0; v.Actions = {};
    };
    const struct {
        TimerKind kind;
        const char *key;
        const char *value;
        Change edit; // on top of the missing keys
    } cases[] = {
        {TimerKind::Cyclic, "INICIO", "25:00:00", {}},
        {TimerKind::Cyclic, "INICIO", "8:05:00", [](TimerValues &v) { v.Start = QTime(8, 5); }},
        {TimerKind::Cyclic, "SEMANA", " 300", [](TimerValues &v) { v.Weekdays = 127; }},
        {TimerKind::Cyclic, "PERIOD", " 1E39", {}},
        {TimerKind::Cyclic, "PERIOD", " 2.5", [](TimerValues &v) { v.Seconds = 2.5f; }},
        {TimerKind::Cyclic, "SIEMPRE", "True", [](TimerValues &v) { v.Always = true; }},
        {TimerKind::Cyclic, "EQ", " 40", [](TimerValues &v) { v.Flag = 40; }},
        // Clear empties the actions: a code that does not fit leaves its slot empty.
        {TimerKind::Cyclic, "ACT( 7)", " 70000", {}},
        {TimerKind::Monthly, "MES", "-1", {}},
        {TimerKind::Monthly, "MES", " 4294967295", [](TimerValues &v) { v.DayMask = 0xffffffffu; }},
        {TimerKind::Weekly, "HABIL", "true", {}},
        {TimerKind::Long, "PERIOD", " 40000", {}},
        {TimerKind::Long, "PERIOD", "x", {}},
        {TimerKind::Long, "ACT( 2)", " 9", [](TimerValues &v) { v.Actions = {0, 0, 9}; }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.value);
        const TimerFamily &f = family(c.kind);
        IniDocument doc;
        doc.writeValue(QString(f.word) + QStringLiteral(" 2"), QLatin1String(c.key), QLatin1String(c.value));
        ConfigStore store = markedStore();
        TimerCore(f).restore(store, doc);
        TimerValues expected = timerValues(clearedStore(), f, 2);
        missing(expected);
        if (c.edit)
            c.edit(expected);
        expectSameTimer(f, timerValues(store, f, 2), expected);
    }
}

TEST(TimerCore, LongPeriodOfTheFileUploadsInSixtyFourBits)
{
    IniDocument doc;
    doc.writeValue(QStringLiteral("LTIMER 0"), QStringLiteral("HABIL"), QStringLiteral("True"));
    doc.writeValue(QStringLiteral("LTIMER 0"), QStringLiteral("PERIOD"), QStringLiteral(" 32767"));
    ConfigStore store;
    const TimerCore core(family(TimerKind::Long));
    core.restore(store, doc);
    EXPECT_EQ(core.uploadLines(store, {})[0], QStringLiteral("LT0= 2831068800,ACT="));
}

// ---- Helpers the editor shares ----

TEST(TimerFamily, DayBoxesAndPages)
{
    quint32 mask = 0;
    mask = withDayBit(mask, 0, true);
    mask = withDayBit(mask, MonthlyTimer::kLastDayBit, true);
    EXPECT_EQ(mask, 2147483649u);
    EXPECT_TRUE(dayBitSet(2147500033u, 14));
    EXPECT_TRUE(dayBitSet(2147500033u, 31));
    EXPECT_FALSE(dayBitSet(2147500033u, 1));
    EXPECT_EQ(withDayBit(mask, 31, false), 1u);

    for (int index : {-4, 1, 3, 16, 17})
        EXPECT_FALSE(timerPageStart(index)) << index;
    for (int index : {0, 4, 8, 12})
        EXPECT_EQ(timerPageStart(index), index);
    EXPECT_EQ(timerPageTitle(family(TimerKind::Cyclic), 4), QStringLiteral("Configuracion temporizadores ciclicos 4 a 7"));
}

TEST(TimerFamily, EnablingFollowsTheTimerAndTheCyclicWindow)
{
    const TimerFamily &cyclic = family(TimerKind::Cyclic);
    const TimerFamily &weekly = family(TimerKind::Weekly);
    EXPECT_TRUE(timerControlEnabled(cyclic, TimerField::Enabled, false, true));
    EXPECT_FALSE(timerControlEnabled(cyclic, TimerField::Seconds, false, false));
    EXPECT_TRUE(timerControlEnabled(cyclic, TimerField::Seconds, true, true));
    EXPECT_TRUE(timerControlEnabled(cyclic, TimerField::Flag, true, true));
    EXPECT_FALSE(timerControlEnabled(cyclic, TimerField::Start, true, true));
    EXPECT_FALSE(timerControlEnabled(cyclic, TimerField::Weekdays, true, true));
    EXPECT_TRUE(timerControlEnabled(cyclic, TimerField::Stop, true, false));
    EXPECT_TRUE(timerControlEnabled(weekly, TimerField::Weekdays, true, true)); // no "Siempre" there
    EXPECT_FALSE(timerControlEnabled(weekly, TimerField::Actions, false, false));
}

TEST(TimerFamily, PeriodBoxStoresWhatParseNumberReadsWithinTheFieldsRange)
{
    TimerValues values;
    const TimerFamily &cyclic = family(TimerKind::Cyclic);
    const TimerFamily &longTimer = family(TimerKind::Long);
    EXPECT_TRUE(storeTimerPeriod(cyclic, values, u"12345678"));
    EXPECT_EQ(values.Seconds, 12345678.f);
    EXPECT_TRUE(storeTimerPeriod(cyclic, values, u"abc"));
    EXPECT_EQ(values.Seconds, 0.f);
    EXPECT_TRUE(storeTimerPeriod(longTimer, values, u"2.5"));
    EXPECT_EQ(values.Days, 2);
    EXPECT_FALSE(storeTimerPeriod(longTimer, values, u"32768"));
    EXPECT_EQ(values.Days, 2);
    values.Days = 32767;
    EXPECT_EQ(timerPeriodText(longTimer, values), QStringLiteral(" 32767"));
}

} // namespace
