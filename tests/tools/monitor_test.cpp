#include "toolunit.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QScrollBar>
#include <QGroupBox>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTabWidget>
#include <QTimer>
#include <QtTest/QTest>

#include "link/devicecommands.h"
#include "shell/formpage.h"
#include "shell/mainwindow.h"
#include "tools/digitdisplay.h"
#include "tools/led.h"
#include "tools/realtimemonitor.h"
#include "tools/trendpanel.h"

namespace {

const QDateTime kUnitClock(QDate(2012, 3, 5), QTime(14, 7, 9));

QList<int> litLamps(const QList<Led *> &lamps)
{
    QList<int> lit;
    for (int i = 0; i < lamps.size(); ++i) {
        if (lamps[i]->isLit())
            lit << i;
    }
    return lit;
}

QStringList texts(const QList<DigitDisplay *> &displays)
{
    QStringList shown;
    for (const DigitDisplay *d : displays)
        shown << d->text();
    return shown;
}

// The monitor over a table unit that reports a few labels, values and states;
// the test runs each tick itself and decides whether the monitor is active.
class MonitorTest : public ToolUnitTest {
protected:
    MonitorTest()
    {
        unit.answers = {
            {QStringLiteral("20"), {QStringLiteral("DF,2147483647,-2147483648,3,0,0,0,0,0,9")}},
            {QStringLiteral("22"), {QStringLiteral("DD,12345678,.5,0,0,0,0,0,0,0")}},
            {QStringLiteral("23"), {QStringLiteral("DC,5,3,32768,0,0,0,0")}},
            {QStringLiteral("36"), {QStringLiteral("C9,21.5,-.25,0,0")}},
            {QStringLiteral("29"), {QStringLiteral("D6,1.5,19.75,0,0")}},
            {QStringLiteral("28"), {QStringLiteral("D7,1,2,-2.25,.125,0,0,0,123456789012345")}},
            {QStringLiteral("5D"), {QStringLiteral("A2120305140709")}},
            {QStringLiteral("35"), {QStringLiteral("CA,x,x,Sonda 1,C,x,x,Sonda 2,%")}},
            {QStringLiteral("26"), {QStringLiteral("D9,Pozo 1,Pozo 2")}},
            {QStringLiteral("27"), {QStringLiteral("D8,Caudal 1,m3/h,Caudal 2,l/s")}},
            {QStringLiteral("2A"), {QStringLiteral("D5,x,x,Volumen,m3")}},
            {QStringLiteral("25"), {QStringLiteral("DA")}},
            {QStringLiteral("47"), {QStringLiteral("B8")}},
            {QStringLiteral("48"), {QStringLiteral("B7")}},
        };
        monitor.Timer1->stop();
        monitor.active = [this] { return active; };
    }

    // Connected, with the labels read as the General window reads them after connecting.
    void connectWithLabels(quint32 features = 0)
    {
        connectUnit();
        connection.Device.DeviceFeatures = features;
        ASSERT_TRUE(ReadIOParameter(comms, connection.Device));
        unit.received.clear();
    }

    // Every display in view shows the longest text of its kind of value whole.
    static void expectWidestTextsFit(const T_Real_Zelmor &form)
    {
        const auto widest = [](const QList<DigitDisplay *> &displays, const QString &text) {
            for (DigitDisplay *d : displays) {
                if (!d->isVisible())
                    continue;
                d->setText(text);
                EXPECT_LE(d->fontMetrics().horizontalAdvance(text), d->contentsRect().width())
                    << d->objectName().toStdString() << " cuts " << text.toStdString();
            }
        };
        widest(form.Digit_CNT, "-2147483648");
        for (const auto *displays : {&form.Digit_FL, &form.Digit_AN, &form.Digit_MAT})
            widest(*displays, "-1.234568E+07");
        widest(form.Digit_RMAT, "-1.23456789012345E+300");
    }

    bool active = true;
    T_Real_Zelmor monitor{connection};
};

TEST_F(MonitorTest, OneTickReadsTheUnitAndShowsLabelsValuesLampsAndClock)
{
    connectWithLabels();
    monitor.Timer1_Timer();

    EXPECT_EQ(unit.received, (QStringList{"20", "22", "23", "36", "5D"}));
    EXPECT_EQ(monitor.Label_CNT_Name[1]->text(), "Pozo 2");
    EXPECT_EQ(monitor.Label_FL_Name[1]->text(), "Caudal 2");
    EXPECT_EQ(monitor.Label_FL_Unit[0]->text(), "m3/h");
    EXPECT_EQ(monitor.Label_AN_Name[1]->text(), "Sonda 2");
    EXPECT_EQ(monitor.Label_AN_Unit[1]->text(), "%");
    EXPECT_EQ(texts(monitor.Digit_CNT).mid(0, 3), (QStringList{"2147483647", "-2147483648", "3"}));
    EXPECT_EQ(monitor.Digit_CNT[8]->text(), "9");
    EXPECT_EQ(texts(monitor.Digit_FL).mid(0, 2), (QStringList{"1.234568E+07", "0.5"}));
    EXPECT_EQ(texts(monitor.Digit_AN).mid(0, 2), (QStringList{"21.5", "-0.25"}));
    EXPECT_EQ(litLamps(monitor.Led_D), (QList<int>{0, 2}));
    EXPECT_EQ(litLamps(monitor.Led_O), (QList<int>{0, 1}));
    EXPECT_EQ(litLamps(monitor.Led_F), (QList<int>{15}));
    EXPECT_EQ(monitor.RTCText->text(), "RTC: " + QLocale::system().toString(kUnitClock, QLocale::ShortFormat));
    // Without math channels the math displays stay as they were.
    EXPECT_EQ(texts(monitor.Digit_MAT), QStringList(4));
}

TEST_F(MonitorTest, MathValuesFollowTheCapabilityWhileMathLabelsAlwaysRefresh)
{
    connectWithLabels(Feature::MathChannels);
    monitor.Timer1_Timer();
    EXPECT_EQ(unit.received, (QStringList{"20", "22", "23", "29", "28", "36", "5D"}));
    EXPECT_EQ(monitor.Label_MAT_Name[0]->text(), "Volumen");
    EXPECT_EQ(monitor.Label_MAT_Unit[0]->text(), "m3");
    EXPECT_EQ(texts(monitor.Digit_MAT), (QStringList{"1.5", "19.75", "0", "0"}));
    EXPECT_EQ(monitor.Digit_RMAT[2]->text(), "-2.25");
    EXPECT_EQ(monitor.Digit_RMAT[3]->text(), "0.125");
    EXPECT_EQ(monitor.Digit_RMAT[7]->text(), "123456789012345");

    // The capability cleared: values and registers keep their text, labels follow.
    connection.Device.DeviceFeatures = 0;
    connection.Device.Live.MathName[0] = QStringLiteral("Nivel");
    unit.answers[QStringLiteral("29")] = {QStringLiteral("D6,9,9,9,9")};
    monitor.Timer1_Timer();
    EXPECT_EQ(monitor.Label_MAT_Name[0]->text(), "Nivel");
    EXPECT_EQ(texts(monitor.Digit_MAT), (QStringList{"1.5", "19.75", "0", "0"}));
    EXPECT_EQ(monitor.Digit_RMAT[2]->text(), "-2.25");
}

TEST_F(MonitorTest, ASilentUnitLeavesEveryDisplayAsItWas)
{
    connectWithLabels(Feature::MathChannels);
    monitor.Timer1_Timer();
    const auto snapshot = [this] {
        return QStringList{texts(monitor.Digit_CNT).join('|'), texts(monitor.Digit_FL).join('|'),
                           texts(monitor.Digit_AN).join('|'), texts(monitor.Digit_MAT).join('|'),
                           texts(monitor.Digit_RMAT).join('|'), monitor.Label_CNT_Name[0]->text(),
                           monitor.RTCText->text()};
    };
    const QStringList before = snapshot();
    const QList<int> lamps = litLamps(monitor.Led_D) + litLamps(monitor.Led_O) + litLamps(monitor.Led_F);

    silence();
    monitor.Timer1_Timer();
    EXPECT_TRUE(unit.received.contains("20")) << "the tick asked the unit";
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(litLamps(monitor.Led_D) + litLamps(monitor.Led_O) + litLamps(monitor.Led_F), lamps);
}

// The monitor polls only as the window in use, decided as the General window
// decides it: shown, with its frame active.
TEST_F(MonitorTest, PollsOnlyWhileConnectedShownAndActive)
{
    T_Real_Zelmor shown(connection);
    shown.Timer1->stop();
    QWidget other;
    struct Case {
        const char *name;
        std::function<void()> arrange;
        bool polls;
    };
    const Case cases[] = {
        {"not connected", [] {}, false},
        {"hidden", [&] { connectUnit(); }, false},
        {"another window active",
         [&] {
             shown.show();
             other.show();
             other.activateWindow();
             ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
         },
         false},
        {"shown and active",
         [&] {
             shown.activateWindow();
             ASSERT_TRUE(QTest::qWaitForWindowActive(&shown));
         },
         true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        c.arrange();
        unit.received.clear();
        shown.Timer1_Timer();
        EXPECT_EQ(!unit.received.isEmpty(), c.polls) << unit.received.join(' ').toStdString();
    }
}

// The output boxes show the states the unit reports (outputs 0 and 1 on);
// a click asks for the state clicked, and the next read shows what the unit did.
TEST_F(MonitorTest, OutputBoxesShowTheReportedStatesAndAClickAsksForTheStateClicked)
{
    const auto ticked = [this] {
        QList<int> on;
        for (int i = 0; i < monitor.CheckCambiarEstado.size(); ++i) {
            if (monitor.CheckCambiarEstado[i]->isChecked())
                on << i;
        }
        return on;
    };
    connectWithLabels();
    monitor.Timer1_Timer();
    EXPECT_EQ(ticked(), (QList<int>{0, 1}));

    monitor.CheckCambiarEstado[1]->click();
    monitor.CheckCambiarEstado[3]->click();
    unit.received.clear();
    unit.answers[QStringLiteral("23")] = {QStringLiteral("DC,5,9,32768,0,0,0,0")};
    monitor.Timer1_Timer();
    EXPECT_EQ(unit.received.mid(0, 3), (QStringList{"481", "473", "20"}));
    EXPECT_EQ(ticked(), (QList<int>{0, 3})) << "as the unit reports, not as clicked";
    EXPECT_EQ(ticked(), litLamps(monitor.Led_O));

    unit.received.clear();
    monitor.Timer1_Timer();
    EXPECT_EQ(unit.received.value(0), "20") << "a request goes out once";
}

// A switch asked for one unit is not sent to the next one connected.
TEST_F(MonitorTest, DisconnectingWithdrawsTheSwitchesNotYetSent)
{
    connectWithLabels();
    monitor.CheckCambiarEstado[4]->click();
    connection.disconnectUnit();
    EXPECT_FALSE(monitor.CheckCambiarEstado[4]->isChecked());
    connectWithLabels();
    monitor.Timer1_Timer();
    EXPECT_EQ(unit.received.value(0), "20");
}

// A click is a request that stays until it has been sent: a tick that finds
// the link held by another exchange, or that comes while the last one waits,
// leaves it for the next tick that runs.
TEST_F(MonitorTest, ARequestIsNeverDroppedAndTicksNeverOverlap)
{
    connectWithLabels();
    monitor.CheckCambiarEstado[1]->click();
    {
        CommsBusyGuard other(comms);
        monitor.Timer1_Timer();
    }
    EXPECT_TRUE(unit.received.isEmpty());
    EXPECT_TRUE(monitor.CheckCambiarEstado[1]->isChecked());

    // Ticked while the tick waits for the unit: the tick that fires meanwhile
    // neither sends nor shows anything of its own.
    QString shownMeanwhile = QStringLiteral("not ticked");
    QObject::connect(port, &FakeSerialPort::written, port, [&](const QByteArray &bytes) {
        if (bytes.endsWith(";20\r") && shownMeanwhile == "not ticked") {
            QTimer::singleShot(0, &monitor, [&] {
                monitor.CheckCambiarEstado[4]->click();
                monitor.Timer1_Timer();
                shownMeanwhile = monitor.Digit_CNT[0]->text();
            });
        }
    });
    const QString shownBefore = monitor.Digit_CNT[0]->text();
    monitor.Timer1_Timer();
    EXPECT_EQ(shownMeanwhile, shownBefore);
    EXPECT_EQ(unit.received, (QStringList{"471", "20", "22", "23", "36", "5D"}));
    EXPECT_TRUE(monitor.CheckCambiarEstado[4]->isChecked()) << "asked for, not sent yet";

    unit.received.clear();
    monitor.Timer1_Timer();
    EXPECT_EQ(unit.received.value(0), "474");
    EXPECT_FALSE(monitor.CheckCambiarEstado[4]->isChecked()) << "the unit still reports it off";
}

// The trends record the monitor's answered polls only: pausing freezes the
// chart while the polls go on, and another unit starts a new set, ending the
// log of the last one with a word to the operator.
TEST_F(MonitorTest, TrendsFollowThePollsPauseAndStartAfreshForAnotherUnit)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    connectWithLabels();
    connection.Device.SerialNumber = QStringLiteral("A-1");
    TrendPanel &trends = *monitor.Trends;
    QStringList told;
    trends.message = [&](QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons) {
        told << text;
        return QMessageBox::Ok;
    };
    trends.askSavePath = [&](const QString &, const QString &) { return dir.filePath("log.csv"); };
    const LiveSeries counter{LiveSeries::Counter, 0};
    trends.tick(counter, true);
    trends.LogButton_Click();
    const auto points = [&] { return trends.lines(counter).value(0)->count(); };

    monitor.Timer1_Timer();
    monitor.Timer1_Timer();
    trends.redraw();
    EXPECT_EQ(points(), 2);
    EXPECT_EQ(trends.log().rows(), 2);

    trends.PauseButton->click();
    EXPECT_EQ(trends.PauseButton->text(), "Seguir");
    monitor.Timer1_Timer();
    trends.redraw();
    EXPECT_EQ(points(), 2) << "paused";
    EXPECT_EQ(trends.samples().size(), 3);
    EXPECT_EQ(trends.log().rows(), 3) << "the log goes on while paused";
    trends.PauseButton->click();
    EXPECT_EQ(points(), 3);

    // A poll the unit did not answer is no sample.
    const auto answers = unit.answers;
    silence();
    monitor.Timer1_Timer();
    EXPECT_EQ(trends.samples().size(), 3);

    unit.answers = answers;
    connection.Device.SerialNumber = QStringLiteral("B-2");
    monitor.Timer1_Timer();
    EXPECT_EQ(trends.samples().size(), 1);
    EXPECT_FALSE(trends.log().isOpen());
    EXPECT_EQ(told, QStringList{"Otra unidad: registro detenido"});
    EXPECT_TRUE(trends.LogStatus->text().contains("3 filas")) << qPrintable(trends.LogStatus->text());
}

// The form's captions and controls as the designed form has them.
TEST_F(MonitorTest, TheFormHasItsCaptionsAndControls)
{
    EXPECT_EQ(monitor.size(), MainWindow::kClientSize);
    EXPECT_EQ(monitor.Titulo->text(), "Tiempo real");
    EXPECT_EQ(monitor.SSTab1->count(), 4);
    EXPECT_EQ(monitor.SSTab1->tabText(3), "Tendencias");
    EXPECT_EQ(monitor.SSTab1->tabText(1), "C.Matematicos");
    EXPECT_FALSE(monitor.SSTab1->isTabEnabled(2));
    EXPECT_EQ(monitor.Frame2->title(), "Entradas / Salidas digitales");
    EXPECT_EQ(monitor.RTCText->text(), "RTC: ");
    EXPECT_EQ(monitor.Label2[5]->text(), "5");
    EXPECT_NE(monitor.findChild<Led *>("Led_O(5)"), nullptr);
}

// On its page in the client area, whatever fixed font the machine resolves,
// every frame, lamp and display is whole and can be reached: inside the page,
// or inside the range its scroll bars cover, and each display is wide enough
// for the longest text its values can have. With the test fonts the form
// fits without scrolling.
TEST_F(MonitorTest, EveryControlIsWholeAndReachableOnItsPageWhateverTheFixedFont)
{
    const QFont testFixed = QApplication::font("DigitDisplay");
    const struct {
        const char *name;
        QString family;
        qreal scale;
        bool fits;
    } cases[] = {
        {"test fixed font", testFixed.family(), 1.0, true},
        {"Noto Sans Mono", QStringLiteral("Noto Sans Mono"), 1.0, false},
        {"fixed font twice as large", testFixed.family(), 2.0, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QFont fixed = testFixed;
        fixed.setFamilies({c.family});
        fixed.setPointSizeF(testFixed.pointSizeF() * c.scale);
        QApplication::setFont(fixed, "DigitDisplay");
        QWidget client;
        client.resize(MainWindow::kClientSize);
        auto *shown = new T_Real_Zelmor(connection);
        T_Real_Zelmor &form = *shown;
        form.Timer1->stop();
        FormPage page(shown, &client);
        page.setGeometry(client.rect());
        form.show();
        client.show();
        ASSERT_TRUE(page.isVisible());

        for (int tab : {0, 1}) {
            form.SSTab1->setCurrentIndex(tab);
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
            const QImage shot = page.grab().toImage();
            shot.save(QDir::temp().filePath(QStringLiteral("monitor-%1-%2.png").arg(c.name).arg(tab)));
            ASSERT_FALSE(shot.isNull());
            const QSize needed = form.minimumSizeHint();
            const QSize view = page.viewport()->size();
            if (c.fits) {
                EXPECT_LE(needed.width(), MainWindow::kClientSize.width());
                EXPECT_LE(needed.height(), MainWindow::kClientSize.height());
            }
            // The form is never squeezed below what it needs, and the scroll
            // bars reach all of it.
            EXPECT_GE(form.width(), needed.width());
            EXPECT_GE(form.height(), needed.height());
            EXPECT_GE(page.horizontalScrollBar()->maximum(), form.width() - view.width());
            EXPECT_GE(page.verticalScrollBar()->maximum(), form.height() - view.height());
            expectWidestTextsFit(form);
            for (const QWidget *w : form.SSTab1->currentWidget()->findChildren<QWidget *>()) {
                const QRect inForm(w->mapTo(&form, QPoint(0, 0)), w->size());
                EXPECT_TRUE(form.rect().contains(inForm)) << w->objectName().toStdString();
            }
        }
    }
    QApplication::setFont(testFixed, "DigitDisplay");
}

} // namespace
