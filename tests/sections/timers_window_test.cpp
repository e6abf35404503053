#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include "widgets/timebox.h"
#include <QTimer>
#include <memory>

#include "files/langtable.h"
#include "files/sectionregistry.h"
#include "model/configstore.h"
#include "widgets/flagcombo.h"
#include "widgets/scheduleframe.h"
#include "sections/sectionlist.h"
#include "sections/timers/timerwindow.h"

namespace {

class TimerWindowTest : public ::testing::Test {
protected:
    TimerWindowTest()
    {
        setLang(&lang);
        registerSections(sections);
    }
    ~TimerWindowTest() override { setLang(nullptr); }

    TimerWindow &open(TimerKind kind, int page = 0)
    {
        window = std::make_unique<TimerWindow>(timerFamily(kind), store, sections);
        window->ChangeIndex(page);
        return *window;
    }

    static bool red(const QLineEdit *box) { return box->palette().color(QPalette::Base) == QColor(255, 0, 0); }

    LangTable lang{QStringLiteral("no-such-folder/Lang.txt")};
    ConfigStore store;
    SectionRegistry sections;
    std::unique_ptr<TimerWindow> window;
};

TEST_F(TimerWindowTest, PageShowsItsTitleAndFramesAndOnlyPageStartsChangeIt)
{
    TimerWindow &w = open(TimerKind::Cyclic, 8);
    EXPECT_EQ(w.Titulo->text(), "Configuracion temporizadores ciclicos 8 a 11");
    for (int k = 0; k < kTimersPerPage; ++k)
        EXPECT_EQ(w.element(k).FrameTimer->title(), "Temporizador " + QString::number(8 + k));
    EXPECT_EQ(w.element(0).FrameAcciones->title(), "Acciones a ejecutar");
    EXPECT_EQ(w.element(0).FrameHorario->title(), "Rango horario de habilitacion");

    for (int index : {5, -4, 16, 13}) {
        w.ChangeIndex(index);
        EXPECT_EQ(w.firstTimer(), 8) << index;
    }
    w.ChangeIndex(12);
    EXPECT_EQ(w.element(3).FrameTimer->title(), "Temporizador 15");
}

// Which of the optional controls each form has.
TEST_F(TimerWindowTest, EachFormHasTheControlsOfItsFamily)
{
    struct Case {
        TimerKind kind;
        bool period, always, start, stop, weekdays, month, flag, schedule;
    };
    const Case cases[] = {
        {TimerKind::Cyclic, true, true, true, true, true, false, true, true},
        {TimerKind::Weekly, false, false, true, false, true, false, false, true},
        {TimerKind::Monthly, false, false, true, false, false, true, false, true},
        // A long timer has no time of day: no frame with a time window's heading.
        {TimerKind::Long, true, false, false, false, false, false, false, false},
    };
    auto shown = [](const QWidget *control) { return control && !control->isHidden(); };
    for (const Case &c : cases) {
        const TimerElement &e = open(c.kind).element(3);
        const ScheduleFrame *s = e.Schedule;
        const std::string name = window->objectName().toStdString();
        EXPECT_EQ(shown(e.Period), c.period) << name;
        EXPECT_EQ(s && shown(s->HorarioHabil), c.always) << name;
        EXPECT_EQ(s && shown(s->HoraInicio), c.start) << name;
        EXPECT_EQ(s && shown(s->HoraFinal), c.stop) << name;
        EXPECT_EQ(s && shown(s->Days[6]), c.weekdays) << name;
        EXPECT_EQ(shown(e.MonthDays[31]), c.month) << name;
        EXPECT_EQ(shown(e.Flag), c.flag) << name;
        EXPECT_EQ(shown(e.FrameHorario), c.schedule) << name;
        if (e.Period)
            EXPECT_FALSE(e.FrameHorario && e.FrameHorario->isAncestorOf(e.Period)) << name;
        EXPECT_TRUE(shown(e.BotonEditar));
    }
    EXPECT_EQ(open(TimerKind::Monthly).element(0).FrameHorario->title(), "Dias / Hora de ejecucion");
}

// A Period box shows a value longer than the box takes by typing; storing
// without an edit must keep it whole.
TEST_F(TimerWindowTest, StoreWithoutEditsKeepsValuesTheBoxCouldNotHoldAndAnEditIsStored)
{
    store.LongTimers[5].Period = 32767;
    store.CyclicTimers[1].Period = 12345678;

    TimerWindow &longForm = open(TimerKind::Long, 4);
    EXPECT_EQ(longForm.element(1).Period->text(), " 32767");
    longForm.StoreControls();
    EXPECT_EQ(store.LongTimers[5].Period, 32767);
    longForm.element(1).Period->setText(QStringLiteral("12"));
    longForm.StoreControls();
    EXPECT_EQ(store.LongTimers[5].Period, 12);

    TimerWindow &cyclic = open(TimerKind::Cyclic);
    cyclic.StoreControls();
    EXPECT_EQ(store.CyclicTimers[1].Period, 12345678.0f);
    cyclic.element(1).Period->setText(QStringLiteral("abc"));
    cyclic.StoreControls();
    EXPECT_EQ(store.CyclicTimers[1].Period, 12345678.0f) << "a refused text stores nothing";
}

TEST_F(TimerWindowTest, ChangeIndexStoresThePageLeftAndShowsTheNext)
{
    store.WeeklyTimers[4].Time = QTime(6, 30);
    store.WeeklyTimers[4].Weekdays = 0b0000101;
    store.WeeklyTimers[2].Weekdays = 127;
    TimerWindow &w = open(TimerKind::Weekly);
    w.element(2).TimerHabil->setChecked(true);
    w.element(2).Schedule->HoraInicio->setTime(QTime(7, 30));
    w.element(2).Schedule->Days[6]->setChecked(false);

    w.ChangeIndex(4);
    EXPECT_TRUE(store.WeeklyTimers[2].Enabled);
    EXPECT_EQ(store.WeeklyTimers[2].Time, QTime(7, 30));
    EXPECT_EQ(store.WeeklyTimers[2].Weekdays, 63);
    EXPECT_EQ(w.element(0).Schedule->HoraInicio->time(), QTime(6, 30));
    EXPECT_TRUE(w.element(0).Schedule->Days[0]->isChecked());
    EXPECT_FALSE(w.element(0).Schedule->Days[1]->isChecked());
    EXPECT_TRUE(w.element(0).Schedule->Days[2]->isChecked());
}

// Day 1 and the last day are bits 0 and 31: the mask needs every unsigned bit.
TEST_F(TimerWindowTest, MonthDayBoxesCarryAllThirtyTwoBits)
{
    TimerWindow &w = open(TimerKind::Monthly);
    w.element(0).MonthDays[0]->setChecked(true);
    w.element(0).MonthDays[31]->setChecked(true);
    w.StoreControls();
    EXPECT_EQ(store.MonthlyTimers[0].DayMask, 2147483649u);

    store.MonthlyTimers[1].DayMask = 2147500033u;
    w.LoadData();
    QStringList ticked;
    for (QCheckBox *box : w.element(1).MonthDays) {
        if (box->isChecked())
            ticked << box->text();
    }
    EXPECT_EQ(ticked, QStringList({"1", "15", "Ultimo del mes"}));
}

TEST_F(TimerWindowTest, SiempreAndTimerHabilEnableTheCyclicControls)
{
    TimerWindow &w = open(TimerKind::Cyclic);
    const TimerElement &e = w.element(0);
    auto windowEnabled = [&] {
        bool all = e.Schedule->HoraInicio->isEnabled() && e.Schedule->HoraFinal->isEnabled();
        for (QCheckBox *day : e.Schedule->Days)
            all = all && day->isEnabled();
        return all;
    };
    auto windowDisabled = [&] {
        bool none = !e.Schedule->HoraInicio->isEnabled() && !e.Schedule->HoraFinal->isEnabled();
        for (QCheckBox *day : e.Schedule->Days)
            none = none && !day->isEnabled();
        return none;
    };

    // Clear's timer: disabled, always.
    w.Clear();
    EXPECT_TRUE(windowDisabled());
    EXPECT_FALSE(e.Period->isEnabled());
    EXPECT_FALSE(e.Schedule->HorarioHabil->isEnabled());
    EXPECT_FALSE(e.BotonEditar->isEnabled());

    e.TimerHabil->click();
    EXPECT_TRUE(e.Period->isEnabled());
    EXPECT_TRUE(e.Schedule->HorarioHabil->isEnabled());
    EXPECT_TRUE(e.BotonEditar->isEnabled());
    EXPECT_TRUE(windowDisabled());
    e.Schedule->HorarioHabil->click();
    EXPECT_TRUE(windowEnabled());
    e.Schedule->HorarioHabil->click();
    EXPECT_TRUE(windowDisabled());

    // LoadData of a timer with a window enables it.
    store.CyclicTimers[0].Enabled = true;
    store.CyclicTimers[0].Window.Always = false;
    w.LoadData();
    EXPECT_TRUE(windowEnabled());
    store.CyclicTimers[0].Window.Always = true;
    w.LoadData();
    EXPECT_TRUE(windowDisabled());
}

TEST_F(TimerWindowTest, TimerHabilEnablesEveryOtherControlOfEachForm)
{
    for (const TimerFamily &family : timerFamilies()) {
        const TimerElement &e = open(family.kind).element(2);
        QList<QWidget *> controls = {e.Period, e.BotonEditar, e.MonthDays[0], e.MonthDays[31], e.Flag};
        if (e.Schedule) {
            e.Schedule->HorarioHabil->setChecked(false);
            controls << e.Schedule->HoraInicio << e.Schedule->Days[0];
        }
        controls.removeAll(nullptr);
        for (bool on : {true, false}) {
            e.TimerHabil->setChecked(on);
            for (QWidget *control : controls)
                EXPECT_EQ(control->isEnabled(), on) << qPrintable(control->objectName());
            EXPECT_TRUE(e.TimerHabil->isEnabled());
        }
    }
}

TEST_F(TimerWindowTest, FlagComboShowsAndStoresTheCyclicFlag)
{
    store.CyclicTimers[1].EnableFlag = 3;
    store.CyclicTimers[2].EnableFlag = 40; // from a file: no item shows it
    TimerWindow &w = open(TimerKind::Cyclic);
    FlagCombo *combo = w.element(1).Flag->Combo;
    EXPECT_EQ(combo->currentText(), "F2");
    EXPECT_EQ(combo->count(), 17);

    combo->setCurrentIndex(combo->findText(QStringLiteral("TRUE")));
    w.StoreControls();
    EXPECT_EQ(store.CyclicTimers[1].EnableFlag, 0);
    combo->setCurrentIndex(combo->findText(QStringLiteral("F2")));
    w.StoreControls();
    EXPECT_EQ(store.CyclicTimers[1].EnableFlag, 3);

    EXPECT_EQ(w.element(2).Flag->Combo->currentIndex(), -1);
    EXPECT_EQ(store.CyclicTimers[2].EnableFlag, 40);
}

// The editor works on the record directly: the codes of the element's timer
// go to the buffer and come back, and nothing else is stored on the way.
TEST_F(TimerWindowTest, BotonEditarEditsTheActionsOfTheElementsTimer)
{
    store.WeeklyTimers[6].Actions = {5, 0, 17};
    store.ActionBuffer.Codes[8] = 99;
    ActionBuffer seen;
    bool accept = true;
    window = std::make_unique<TimerWindow>(timerFamily(TimerKind::Weekly), store, sections,
                                           [&](ActionBuffer &buffer) {
                                               seen = buffer;
                                               if (accept)
                                                   buffer.Codes = {42, 7, 0, 0, 0, 0, 0, 0, 1};
                                           });
    window->ChangeIndex(4);
    window->element(2).TimerHabil->setChecked(true); // not stored by the button

    window->element(2).BotonEditar->click();
    EXPECT_EQ(seen.Codes, (std::array<qint16, 9>{5, 0, 17, 0, 0, 0, 0, 0, 99}));
    EXPECT_EQ(store.WeeklyTimers[6].Actions, (ActionList{42, 7}));
    EXPECT_FALSE(store.WeeklyTimers[6].Enabled);

    accept = false;
    window->element(2).BotonEditar->click();
    EXPECT_EQ(seen.Codes[0], 42);
    EXPECT_EQ(store.WeeklyTimers[6].Actions, (ActionList{42, 7}));
    EXPECT_EQ(store.WeeklyTimers[5].Actions, ActionList{});
}

// A cyclic period takes decimals (the unit takes them and reports them
// back); a long timer's, whole days only.
TEST_F(TimerWindowTest, PeriodBoxesRefuseWhatIsNoNumberOfTheirField)
{
    TimerWindow &cyclic = open(TimerKind::Cyclic);
    QLineEdit *period = cyclic.element(0).Period;
    store.CyclicTimers[0].Period = 30;
    period->setText(QStringLiteral("-1"));
    EXPECT_TRUE(red(period));
    cyclic.StoreControls();
    EXPECT_EQ(store.CyclicTimers[0].Period, 30.f) << "a refused text stores nothing";
    period->setText(QStringLiteral("2.5"));
    EXPECT_FALSE(red(period));
    cyclic.StoreControls();
    EXPECT_EQ(store.CyclicTimers[0].Period, 2.5f);

    TimerWindow &longForm = open(TimerKind::Long);
    for (const char *text : {"x", "2.5", "-1", "1,5"}) {
        longForm.element(3).Period->setText(QString::fromLatin1(text));
        EXPECT_TRUE(red(longForm.element(3).Period)) << text;
    }
}

} // namespace
