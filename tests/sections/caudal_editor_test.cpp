// The flow meter window: its own fields, the limits in engineering units,
// the totalizer hand-over and the calculator.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "../link/scriptedunit.h"
#include "link/fakeserialport.h"
#include "files/sectionregistry.h"
#include "link/devicevalues.h"
#include "model/configstore.h"
#include "sections/flow/ayuda.h"
#include "sections/flow/caudaleditor.h"
#include "sections/sectionlist.h"

namespace {

class CaudalWindow : public ::testing::Test {
protected:
    CaudalWindow()
    {
        registerSections(sections);
        sections.clearAll(store);
    }

    Caudal &open(SetTotalizer setTotal = {})
    {
        editor = std::make_unique<Caudal>(link.connection, store, sections, std::move(setTotal),
                                          [](ActionBuffer &) {});
        return *editor;
    }
    AlarmConfig &slot0(int meter = 0) { return store.Flow[meter].Alarms[0]; }
    // Meter 0 counting and its first alarm on, so that every box takes typing.
    void enableMeter0()
    {
        store.Flow[0].Interface = FlowMeter::kEnabled;
        slot0().Enabled = true;
    }
    void reportFeatures(quint32 features) { link.connection.Device.DeviceFeatures = features; }

    static void type(QLineEdit *box, const QString &text)
    {
        box->clear();
        QTest::keyClicks(box, text);
    }

    UnitLink link;
    ConfigStore store;
    SectionRegistry sections;
    std::unique_ptr<Caudal> editor;
};

TEST_F(CaudalWindow, LimitsShowInEngineeringUnitsAndStoreBackInPulses)
{
    enableMeter0();
    store.Flow[0].Ratio = 2.5f;
    slot0().Low = 4;
    slot0().High = 40;
    slot0().Hysteresis = 2;
    slot0().Persistence = 3;
    Caudal &caudal = open();
    EXPECT_EQ(caudal.Minimo->text(), "10");
    EXPECT_EQ(caudal.Maximo->text(), "100");
    EXPECT_EQ(caudal.Histeresis->text(), "5");
    EXPECT_EQ(caudal.Persist->text(), "3"); // cycles of the time base, never scaled

    type(caudal.Minimo, "10");
    type(caudal.Histeresis, "7.5");
    type(caudal.Persist, "4");
    caudal.StoreControls();
    EXPECT_EQ(slot0().Low, 4.f);
    EXPECT_EQ(slot0().High, 40.f);
    EXPECT_EQ(slot0().Hysteresis, 3.f);
    EXPECT_EQ(slot0().Persistence, 4.f);

    // A new ratio turns the values the operator sees into pulses again.
    type(caudal.Ratio, "5");
    caudal.StoreControls();
    EXPECT_EQ(store.Flow[0].Ratio, 5.f);
    EXPECT_EQ(slot0().Low, 2.f);
    EXPECT_EQ(slot0().High, 20.f);
    EXPECT_EQ(slot0().Hysteresis, 1.5f);
}

TEST_F(CaudalWindow, UnscaledUnitsKeepLowAndHighAsTypedButNotTheHysteresis)
{
    reportFeatures(Feature::FlowLimitsRaw);
    enableMeter0();
    store.Flow[0].Ratio = 2.5f;
    slot0().Low = 4;
    slot0().Hysteresis = 2;
    Caudal &caudal = open();
    EXPECT_EQ(caudal.Minimo->text(), "4");
    EXPECT_EQ(caudal.Histeresis->text(), "5");
    type(caudal.Minimo, "6");
    type(caudal.Histeresis, "10");
    caudal.StoreControls();
    EXPECT_EQ(slot0().Low, 6.f);
    EXPECT_EQ(slot0().Hysteresis, 4.f);
}

TEST_F(CaudalWindow, OpeningAndLeavingAMeterChangesNothing)
{
    store.Flow[0].Ratio = 0.001f;
    store.Flow[0].TimeBase = 60;
    store.Flow[0].Interface = FlowMeter::kEnabled;
    slot0().Low = 725;
    slot0().Hysteresis = 3;
    Caudal &caudal = open();
    caudal.StoreControls();
    reportFeatures(Feature::FlowLimitsRaw); // a unit connected meanwhile
    caudal.ChangeIndex(1);
    EXPECT_EQ(slot0().Low, 725.f);
    EXPECT_EQ(slot0().Hysteresis, 3.f);
    EXPECT_EQ(store.Flow[0].Ratio, 0.001f);
    EXPECT_EQ(store.Flow[0].TimeBase, 60);
}

TEST_F(CaudalWindow, ANewRatioConvertsWithTheScaleTheLimitsWereShownIn)
{
    enableMeter0();
    store.Flow[0].Ratio = 2.5f;
    slot0().Low = 4;
    Caudal &caudal = open();
    reportFeatures(Feature::FlowLimitsRaw);
    type(caudal.Ratio, "5");
    caudal.StoreControls();
    EXPECT_EQ(slot0().Low, 2.f); // the 10 shown, in pulses of the new ratio
}

TEST_F(CaudalWindow, ARatioOfZeroKeepsTheLimits)
{
    enableMeter0();
    store.Flow[0].Ratio = 0; // a file without "RATIO"
    slot0().Low = 4;
    slot0().Hysteresis = 2;
    Caudal &caudal = open();
    EXPECT_EQ(caudal.Minimo->text(), "0");
    type(caudal.Minimo, "8");
    type(caudal.Histeresis, "8");
    caudal.StoreControls();
    EXPECT_EQ(slot0().Low, 4.f);
    EXPECT_EQ(slot0().Hysteresis, 2.f);
}

TEST_F(CaudalWindow, InterfaceOptionsEnableTheMeterAndAnUnknownValueSurvives)
{
    store.Flow[0].Interface = FlowMeter::kEnabled;
    store.Flow[1].Interface = 3; // INTERFAZ= 3 in a file
    Caudal &caudal = open();
    EXPECT_TRUE(caudal.Int_Habil->isChecked());
    EXPECT_TRUE(caudal.HelpBut->isEnabled());

    caudal.ChangeIndex(1);
    EXPECT_FALSE(caudal.Int_Habil->isChecked());
    EXPECT_FALSE(caudal.Int_NoHabil->isChecked());
    caudal.ChangeIndex(2);
    EXPECT_EQ(store.Flow[1].Interface, 3);

    caudal.Int_NoHabil->click();
    for (const char *frame : {"FrameNombre", "FrameUnidad", "FrameTimeBase", "FrameRatio"})
        EXPECT_FALSE(caudal.findChild<QGroupBox *>(frame)->isEnabled()) << frame;
    EXPECT_FALSE(caudal.HelpBut->isEnabled());
    caudal.Int_Habil->click();
    EXPECT_TRUE(caudal.findChild<QGroupBox *>("FrameRatio")->isEnabled());
    caudal.StoreControls();
    EXPECT_EQ(store.Flow[2].Interface, FlowMeter::kEnabled);
}

TEST_F(CaudalWindow, NamesTakeNoCommaAndStoredTextsSurvive)
{
    enableMeter0();
    store.Flow[1].Interface = FlowMeter::kEnabled;
    const QString longName(40, QLatin1Char('x'));
    store.Flow[0].Name = longName;
    store.Flow[0].Unit = "m3,h";
    Caudal &caudal = open();
    EXPECT_EQ(caudal.Nombre->text(), longName);
    caudal.ChangeIndex(1);
    EXPECT_EQ(store.Flow[0].Name, longName);
    EXPECT_EQ(store.Flow[0].Unit, "m3,h");

    QTest::keyClicks(caudal.Nombre, "Pozo,3");
    QTest::keyClicks(caudal.Unidad, "l,s");
    caudal.StoreControls();
    EXPECT_EQ(store.Flow[1].Name, "Pozo3");
    EXPECT_EQ(store.Flow[1].Unit, "ls");
}

TEST_F(CaudalWindow, TimerShowsTheUnitAndMarksATimeBaseThatDoesNotFit)
{
    enableMeter0();
    Caudal &caudal = open();
    const QColor normal = caudal.TimeBase->palette().color(QPalette::Base);
    type(caudal.Unidad, "m3/h");
    type(caudal.TimeBase, "100000");
    caudal.refresh();
    EXPECT_EQ(caudal.RatioUnit->text(), "m3/h");
    EXPECT_EQ(caudal.TimeBase->palette().color(QPalette::Base), QColor(255, 0, 0));
    type(caudal.TimeBase, "60");
    EXPECT_EQ(caudal.TimeBase->palette().color(QPalette::Base), normal);
}

// A ratio written with the PC's decimal comma, or a bad time base, must not
// reach the model: the meter and its limits keep what they held.
TEST_F(CaudalWindow, RefusedNumbersStoreNothing)
{
    enableMeter0();
    store.Flow[0].Ratio = 2;
    store.Flow[0].TimeBase = 60;
    store.Flow[0].Alarms[0].High = 50;
    Caudal &caudal = open();
    type(caudal.Ratio, "0,02");
    type(caudal.TimeBase, "abc");
    type(caudal.Maximo, "1x2,5");
    for (QLineEdit *box : {caudal.Ratio, caudal.TimeBase, caudal.Maximo})
        EXPECT_EQ(box->palette().color(QPalette::Base), QColor(255, 0, 0)) << box->objectName().toStdString();
    caudal.StoreControls();
    EXPECT_EQ(store.Flow[0].Ratio, 2.f);
    EXPECT_EQ(store.Flow[0].TimeBase, 60);
    EXPECT_EQ(store.Flow[0].Alarms[0].High, 50.f);
    type(caudal.Ratio, "0");
    EXPECT_EQ(caudal.Ratio->palette().color(QPalette::Base), QColor(255, 0, 0)) << "a ratio of 0 turns every limit into 0";
}

// The counter lives in the unit: "Modificar" is there only while one is connected.
TEST_F(CaudalWindow, ModificarHandsTheMeterOverAndShowsItsCountAgain)
{
    EXPECT_FALSE(open().BotonModificar->isEnabled());

    QList<int> handed;
    Caudal &caudal = open([&](int meter) {
        handed << meter;
        link.connection.Device.TotalCounts[meter] = 1234;
    });
    EXPECT_FALSE(caudal.BotonModificar->isEnabled());
    link.port.close();
    link.unit.answer("#40", "#BF");
    ASSERT_TRUE(link.connection.connectUnit({QStringLiteral("COM1")}));
    EXPECT_TRUE(caudal.BotonModificar->isEnabled());
    caudal.ChangeIndex(3);
    EXPECT_EQ(caudal.TotalText->text(), " 0");
    caudal.BotonModificar->click();
    EXPECT_EQ(handed, QList<int>{3});
    EXPECT_EQ(caudal.TotalText->text(), " 1234");
    // Beside another unit's configuration the counter is not shown.
    link.connection.Device.SerialNumber = QStringLiteral("UA-0001");
    QString source = QStringLiteral("UB-0002");
    caudal.configSource = [&source] { return source; };
    caudal.ChangeIndex(3);
    EXPECT_EQ(caudal.TotalText->text(), "");
    source = QStringLiteral("UA-0001");
    caudal.ChangeIndex(3);
    EXPECT_EQ(caudal.TotalText->text(), " 1234");
    link.connection.disconnectUnit();
    EXPECT_FALSE(caudal.BotonModificar->isEnabled());
    caudal.ChangeIndex(3);
    EXPECT_EQ(caudal.TotalText->text(), "") << "nor the counter of a unit gone";
}

TEST_F(CaudalWindow, AyudaOpensTheCalculatorWithoutBlocking)
{
    enableMeter0();
    Caudal &caudal = open();
    caudal.HelpBut->click();
    ASSERT_NE(caudal.helper(), nullptr);
    EXPECT_TRUE(caudal.helper()->isVisible());
    EXPECT_FALSE(caudal.helper()->isModal());
    caudal.HelpBut->click();
    EXPECT_EQ(caudal.findChildren<Ayuda *>().size(), 1);
}

} // namespace
