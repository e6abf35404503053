// The math, flag and 1-Wire probe windows: their own fields around the alarm
// block, and "Leer ID" against the simulated unit on the in-memory port.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "files/sectionregistry.h"
#include "link/comms.h"
#include "link/fakeserialport.h"
#include "link/unitconnection.h"
#include "model/configstore.h"
#include "widgets/addressbox.h"
#include "sections/flags/flageditor.h"
#include "sections/math/matheditor.h"
#include "sections/onewire/onewirecore.h"
#include "sections/onewire/onewireeditor.h"
#include "sections/sectionlist.h"
#include "sim/fakeportunit.h"
#include "sim/unitengine.h"

namespace {

const QString kNoUnit = QStringLiteral("No hay comunicacion con el dispositivo");
const QString kReminder = QStringLiteral("Recuerde que solo debe haber una sonda conectada");

void type(QLineEdit *box, const QString &text)
{
    box->clear();
    QTest::keyClicks(box, text);
}

// The windows over their own model; the probe window has the simulated unit
// behind the in-memory port, connected once a test calls connectUnit.
class ChannelEditorsTest : public ::testing::Test {
protected:
    ChannelEditorsTest() { registerSections(sections); }

    void connectUnit(UnitState state = UnitState::defaults())
    {
        engine = std::make_unique<UnitEngine>(std::move(state), QStringList{});
        auto port = std::make_unique<FakeSerialPort>();
        unit = std::make_unique<FakePortUnit>(*port, *engine);
        comms = std::make_unique<Comms>(std::move(port));
        comms->timings = LinkTimings::fast();
        comms->LinkTimeout = 300;
        connection = std::make_unique<UnitConnection>(*comms);
        ASSERT_TRUE(connection->connectUnit({QStringLiteral("SIM"), false, {}}));
    }

    E_OneWire &probeWindow()
    {
        if (!connection) {
            comms = std::make_unique<Comms>(std::make_unique<FakeSerialPort>());
            connection = std::make_unique<UnitConnection>(*comms);
        }
        probes = std::make_unique<E_OneWire>(
            *connection, store, sections,
            [this](QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons) {
                messages << text;
                return QMessageBox::Ok;
            },
            [](ActionBuffer &) {});
        return *probes;
    }

    QStringList probeLine(int probe)
    {
        return OneWireCore().uploadLines(store, UploadContext{}).filter(
            QStringLiteral("ONEWCONF%1=").arg(probe));
    }

    ConfigStore store;
    SectionRegistry sections;
    std::unique_ptr<UnitEngine> engine;
    std::unique_ptr<FakePortUnit> unit;
    std::unique_ptr<Comms> comms;
    std::unique_ptr<UnitConnection> connection;
    std::unique_ptr<E_OneWire> probes;
    QStringList messages;
};

TEST_F(ChannelEditorsTest, LeerIdFillsTheBoxesAndTheModelFollowsAtTheStoreBack)
{
    ASSERT_NO_FATAL_FAILURE(connectUnit());
    OneWireProbe &p = store.OneWire[1];
    p.UseId = true;
    p.Interface = OneWireProbe::kTemperature;
    E_OneWire &w = probeWindow();
    w.ChangeIndex(1);
    w.BotonLeerId->click();
    EXPECT_EQ(messages, QStringList{kReminder});
    EXPECT_EQ(w.ID0->text(), "040.170.187.204");
    EXPECT_EQ(w.ID1->text(), "000.000.000.045");
    EXPECT_EQ(p.Address1, "0") << "the model changes only at the store-back";

    w.StoreControls();
    EXPECT_EQ(p.Address1, "040.170.187.204");
    EXPECT_EQ(probeLine(1), QStringList{"ONEWCONF1=,UNIT=,ONEWADD=040.170.187.204.000.000.000.045,1WTEMP"});
}

TEST_F(ChannelEditorsTest, LeerIdWithoutAUnitBusyOrMalformedChangesNothing)
{
    UnitState sevenBytes = UnitState::defaults();
    sevenBytes.probeId = {40, 170, 187, 204, 0, 0, 0};
    UnitState notAByte = UnitState::defaults();
    notAByte.probeId = {40, 170, 300, 204, 0, 0, 0, 45};
    const struct {
        const char *name;
        std::optional<UnitState> unit; // none: no unit connected
        bool busy;
        QStringList messages;
    } cases[] = {
        {"no unit", std::nullopt, false, {kNoUnit}},
        {"busy", UnitState::defaults(), true, {kReminder}},
        {"seven values", sevenBytes, false, {kReminder}},
        {"not a byte", notAByte, false, {kReminder}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        connection.reset();
        messages.clear();
        if (c.unit)
            ASSERT_NO_FATAL_FAILURE(connectUnit(*c.unit));
        store.OneWire[0].UseId = true;
        store.OneWire[0].Address1 = QStringLiteral("1.2.3.4");
        E_OneWire &w = probeWindow();
        std::optional<CommsBusyGuard> other;
        if (c.busy)
            other.emplace(*comms);
        w.BotonLeerId->click();
        EXPECT_EQ(messages, c.messages);
        EXPECT_EQ(w.ID0->text(), "001.002.003.004");
        EXPECT_EQ(w.ID1->text(), "000.000.000.000");
        w.StoreControls();
        EXPECT_EQ(store.OneWire[0].Address1, "1.2.3.4");
        EXPECT_EQ(store.OneWire[0].Address2, "0");
    }
}

TEST_F(ChannelEditorsTest, AReadIsNotShownAgainAfterTheUnitIsGone)
{
    ASSERT_NO_FATAL_FAILURE(connectUnit());
    store.OneWire[0].UseId = true;
    E_OneWire &w = probeWindow();
    w.BotonLeerId->click();
    ASSERT_EQ(w.ID0->text(), "040.170.187.204");
    w.ChangeIndex(1);
    w.ChangeIndex(0);
    connection->disconnectUnit();
    store.OneWire[0].Address1 = QStringLiteral("9.9.9.9");
    w.ChangeIndex(1);
    w.ChangeIndex(0);
    messages.clear();
    w.BotonLeerId->click();
    EXPECT_EQ(messages, QStringList{kNoUnit});
    EXPECT_EQ(w.ID0->text(), "009.009.009.009");
}

TEST_F(ChannelEditorsTest, AddressModes)
{
    OneWireProbe &p = store.OneWire[2];
    p.Interface = OneWireProbe::kHumidity;
    p.UseId = false;
    p.Address1 = QStringLiteral("040.001.002.003");
    p.Address2 = QStringLiteral("004.005.006.007");
    E_OneWire &w = probeWindow();
    w.ChangeIndex(2);
    // Single-probe mode shows the stored address, in disabled boxes.
    EXPECT_TRUE(w.OptionNoId->isChecked());
    EXPECT_EQ(w.ID0->text(), "040.001.002.003");
    EXPECT_EQ(w.ID1->text(), "004.005.006.007");
    EXPECT_FALSE(w.ID0->isEnabled());
    EXPECT_FALSE(w.BotonLeerId->isEnabled());
    w.StoreControls();
    EXPECT_EQ(p.Address1, "040.001.002.003") << "only the operator's choice zeroes it";

    w.OptionId->click();
    EXPECT_TRUE(w.ID1->isEnabled());
    EXPECT_TRUE(w.BotonLeerId->isEnabled());
    w.OptionNoId->click();
    EXPECT_FALSE(w.ID1->isEnabled());
    EXPECT_EQ(w.ID0->text(), "000.000.000.000");
    w.StoreControls();
    EXPECT_FALSE(p.UseId);
    EXPECT_EQ(probeLine(2), QStringList{"ONEWCONF2=,UNIT=,ONEWADD=000.000.000.000.000.000.000.000,1WHUM"});

    // A probe never stored back from the boxes keeps Clear's address.
    store.OneWire[3].Interface = OneWireProbe::kTemperature;
    store.OneWire[3].UseId = true;
    w.ChangeIndex(3);
    EXPECT_TRUE(w.ID0->isEnabled());
    EXPECT_EQ(w.ID0->text(), "000.000.000.000");
    w.ChangeIndex(0);
    EXPECT_EQ(probeLine(3), QStringList{"ONEWCONF3=,UNIT=,ONEWADD=0.0,1WTEMP"});
}

TEST_F(ChannelEditorsTest, AnInterfaceNoOptionOffersSurvivesAVisit)
{
    store.OneWire[0].Interface = OneWireProbe::kTemperature;
    store.OneWire[1].Interface = 7;
    E_OneWire &w = probeWindow();
    w.ChangeIndex(1);
    for (QRadioButton *option : w.FrameInterfaz->findChildren<QRadioButton *>())
        EXPECT_FALSE(option->isChecked()) << qPrintable(option->objectName());
    w.ChangeIndex(0);
    EXPECT_EQ(store.OneWire[1].Interface, 7);
    w.findChild<QRadioButton *>("Int_1WHum")->click();
    w.ChangeIndex(1);
    EXPECT_EQ(store.OneWire[0].Interface, OneWireProbe::kHumidity);

    store.Math[0].Interface = MathChannel::kEnabled;
    store.Math[1].Interface = 3;
    E_Math math(store, sections, [](ActionBuffer &) {});
    math.ChangeIndex(1);
    math.ChangeIndex(0);
    EXPECT_EQ(store.Math[1].Interface, 3);
    math.findChild<QRadioButton *>("Int_NoHabil")->click();
    math.ChangeIndex(1);
    EXPECT_EQ(store.Math[0].Interface, MathChannel::kDisabled);
}

TEST_F(ChannelEditorsTest, MathTextsRefuseCommasAndStoredTextsStayWhole)
{
    store.Math[2].Equation = QStringLiteral("MAX(FL0,FL1)+FL2*FL3-FL4/FL5+FL6+FL7");
    store.Math[2].Name = QStringLiteral("Nombre,largo");
    E_Math w(store, sections, [](ActionBuffer &) {});
    w.ChangeIndex(2);
    EXPECT_EQ(w.Ecuacion->text(), store.Math[2].Equation) << "shown whole beyond the box's limit";
    w.ChangeIndex(1);
    EXPECT_EQ(store.Math[2].Equation, "MAX(FL0,FL1)+FL2*FL3-FL4/FL5+FL6+FL7");
    EXPECT_EQ(store.Math[2].Name, "Nombre,largo");

    for (QLineEdit *box : {w.Ecuacion, w.Nombre, w.Unidad})
        type(box, "A,B");
    w.findChild<QRadioButton *>("Int_Habil")->click();
    w.ChangeIndex(0);
    EXPECT_EQ(store.Math[1].Equation, "AB");
    EXPECT_EQ(store.Math[1].Name, "AB");
    EXPECT_EQ(store.Math[1].Unit, "AB");
    EXPECT_EQ(store.Math[1].Interface, MathChannel::kEnabled);
}

TEST_F(ChannelEditorsTest, TitlesOfTheWindows)
{
    Flags flags(store, sections, [](ActionBuffer &) {});
    flags.ChangeIndex(12);
    EXPECT_EQ(flags.Titulo->text(), "Alarma en flag  12");
    EXPECT_EQ(flags.windowTitle(), "Alarma en flag");
    E_Math math(store, sections, [](ActionBuffer &) {});
    math.ChangeIndex(3);
    EXPECT_EQ(math.Titulo->text(), "Configuracion canal matematico  3");
    EXPECT_EQ(math.windowTitle(), "Configuracion canal matematico");
    EXPECT_EQ(probeWindow().windowTitle(), "Configuracion sondas 1Wire");
}

} // namespace
