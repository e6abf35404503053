#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <tuple>
#include "widgets/timebox.h"

#include "files/sectionregistry.h"
#include "model/configstore.h"
#include "link/devicevalues.h"
#include "sections/alarms/alarmcore.h"
#include "sections/alarms/alarmeditor.h"
#include "widgets/numberbox.h"
#include "widgets/flagcombo.h"
#include "widgets/scheduleframe.h"
#include "sections/sectionlist.h"

namespace {

// An alarm editor of one member over its own model, with the action editor
// played by the test.
class AlarmEditorTest : public ::testing::Test {
protected:
    AlarmEditorTest() { registerSections(sections); }

    AlarmEditor &open(AlarmMember member)
    {
        editor = std::make_unique<AlarmEditor>(alarmMember(member), store, sections,
                                               [this](ActionBuffer &buffer) {
                                                   handed.push_back(buffer.Codes);
                                                   if (operatorEdits)
                                                       operatorEdits(buffer);
                                               });
        return *editor;
    }
    AlarmConfig &flow(int channel, int slot) { return store.Flow[channel].Alarms[slot]; }

    static void type(QLineEdit *box, const QString &text)
    {
        box->clear();
        QTest::keyClicks(box, text);
    }

    ConfigStore store;
    SectionRegistry sections;
    std::unique_ptr<AlarmEditor> editor;
    std::vector<std::array<qint16, 9>> handed; // the buffer as each action editor got it
    std::function<void(ActionBuffer &)> operatorEdits;
};

TEST_F(AlarmEditorTest, TheRowShapesTheEditor)
{
    AlarmEditor &flags = open(AlarmMember::Flags);
    flags.ChangeIndex(5);
    EXPECT_EQ(flags.Titulo->text(), "Alarma en flag  5") << "the heading keeps its blank";
    EXPECT_FALSE(flags.Config[0]->isHidden());
    for (int slot = 1; slot < 4; ++slot)
        EXPECT_TRUE(flags.Config[slot]->isHidden()) << slot;
    EXPECT_EQ(flags.Minimo, nullptr);
    EXPECT_EQ(flags.Persist, nullptr);
    EXPECT_EQ(flags.Flag, nullptr);
    EXPECT_EQ(flags.BotonNormal, nullptr);
    EXPECT_EQ(flags.findChild<QGroupBox *>("FrameConsigna"), nullptr);

    AlarmEditor &meter = open(AlarmMember::Flow);
    EXPECT_EQ(meter.Titulo->text(), "Configuracion caudalimetro 0");
    EXPECT_EQ(meter.windowTitle(), "Configuracion entrada caudal");
    for (int slot = 0; slot < 4; ++slot)
        EXPECT_FALSE(meter.Config[slot]->isHidden()) << slot;
    ASSERT_NE(meter.Persist, nullptr);
    EXPECT_NE(meter.Flag, nullptr);
    EXPECT_NE(meter.BotonNormal, nullptr);
    QStringList captions;
    for (const QLabel *label : meter.findChild<QGroupBox *>("FrameConsigna")->findChildren<QLabel *>())
        captions << label->text();
    EXPECT_EQ(captions, (QStringList{"Minimo:", "Maximo:", "Histeresis:", "Persisten:"}));

    AlarmEditor &digital = open(AlarmMember::Digital);
    EXPECT_EQ(digital.Minimo, nullptr);
    ASSERT_NE(digital.Rearm, nullptr);
    EXPECT_EQ(digital.Titulo->text(), "Configuracion entrada digital  0");
}

TEST_F(AlarmEditorTest, SwitchingSlotsKeepsTheEditsOfEach)
{
    flow(1, 2).Enabled = flow(1, 3).Enabled = true;
    AlarmEditor &e = open(AlarmMember::Flow);
    e.ChangeIndex(1);
    e.Config[2]->click();
    type(e.TextoAlarma, "Caudal alto");
    type(e.Minimo, "12.5");
    e.Config[3]->click();
    EXPECT_EQ(e.ConfigIndex(), 3);
    EXPECT_EQ(e.TextoAlarma->text(), "");
    e.Config[2]->click();
    EXPECT_EQ(e.TextoAlarma->text(), "Caudal alto");
    EXPECT_EQ(e.Minimo->text(), "12.5");
    EXPECT_EQ(flow(1, 2).Text, "Caudal alto");
    EXPECT_EQ(flow(1, 2).Low, 12.5f);
    EXPECT_EQ(flow(1, 3).Text, "");
}

TEST_F(AlarmEditorTest, ChangeIndexStoresAndOpensTheChannelOnSlotZero)
{
    flow(0, 2).Enabled = true;
    flow(4, 0).Text = QStringLiteral("cuatro");
    AlarmEditor &e = open(AlarmMember::Flow);
    e.Config[2]->click();
    type(e.TextoAlarma, "dos");
    e.ChangeIndex(4);
    EXPECT_EQ(flow(0, 2).Text, "dos");
    EXPECT_EQ(e.ConfigIndex(), 0);
    EXPECT_TRUE(e.Config[0]->isChecked());
    EXPECT_EQ(e.TextoAlarma->text(), "cuatro");
    EXPECT_EQ(e.Titulo->text(), "Configuracion caudalimetro 4");

    e.ChangeIndex(8); // the spare meter has no editor page
    e.ChangeIndex(-1);
    EXPECT_EQ(e.ChannelIndex(), 4);
}

TEST_F(AlarmEditorTest, EnablingFollowsEveryChangeOfTheSlotShown)
{
    AlarmConfig &on = flow(0, 0);
    on.Enabled = true;
    on.Window.Always = false;
    flow(0, 1).Enabled = false;
    AlarmConfig &always = flow(0, 2);
    always.Enabled = true;
    always.Window.Always = true;
    AlarmEditor &e = open(AlarmMember::Flow);

    const auto state = [&e] {
        return std::array<bool, 4>{e.TextoAlarma->isEnabled() && e.Minimo->isEnabled()
                                       && e.NotSMS->isEnabled() && e.BotonNormal->isEnabled()
                                       && e.Flag->Combo->isEnabled(),
                                   e.Horario->HorarioHabil->isEnabled(),
                                   e.Horario->HoraInicio->isEnabled() && e.Horario->Days[3]->isEnabled(),
                                   e.Config[3]->isEnabled()};
    };
    using S = std::array<bool, 4>;
    EXPECT_EQ(state(), (S{true, true, true, true}));
    e.Config[1]->click();
    EXPECT_EQ(state(), (S{false, false, false, true})) << "a disabled slot shown";
    e.Config[2]->click();
    EXPECT_EQ(state(), (S{true, true, false, true})) << "an enabled slot with Siempre";
    e.Horario->HorarioHabil->click();
    EXPECT_EQ(state(), (S{true, true, true, true}));
    e.AlarmaHabil->click();
    EXPECT_EQ(state(), (S{false, false, false, true}));
}

TEST_F(AlarmEditorTest, FlagComboShowsTheFlagAndKeepsAValueItCannotShow)
{
    flow(0, 0).EnableFlag = 16;
    flow(0, 1).EnableFlag = 99;
    flow(0, 2).EnableFlag = 4;
    AlarmEditor &e = open(AlarmMember::Flow);
    EXPECT_EQ(e.Flag->Combo->currentText(), "F15");
    e.Config[1]->click();
    EXPECT_EQ(e.Flag->Combo->currentIndex(), -1);
    e.Config[2]->click();
    EXPECT_EQ(flow(0, 1).EnableFlag, 99);
    e.Flag->Combo->setCurrentIndex(0);
    e.StoreControls();
    EXPECT_EQ(flow(0, 2).EnableFlag, 0);

    e.ChangeIndex(1);
    EXPECT_EQ(e.Flag->Combo->count(), FlagCombo::kChoices) << "the list is never appended again";
}

// The choice shows the last switch set. Untouched, the store-back keeps the
// switches as they came (a file may hold another form of the same choice);
// a choice the operator makes is stored as the unit reports it back, so that
// a save from the editor and a download of the same unit hold the same keys.
TEST_F(AlarmEditorTest, NotificationIsStoredAsTheUnitReportsIt)
{
    struct Case {
        bool sms, voice, gprs;
        const char *shown;
    };
    const Case cases[] = {
        {false, false, false, "NotNone"},
        {true, false, false, "NotSMS"},
        {true, true, false, "NotVoz"},
        {false, true, false, "NotVoz"}, // as editors once saved it
        {true, false, true, "NotGPRS"},
    };
    const AlarmMemberRow &row = alarmMember(AlarmMember::Flags);
    const UploadContext context{Feature::FlagAlarms};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.shown);
        AlarmConfig &slot = store.Flags[3].Alarms[0];
        slot.Enabled = true;
        slot.NotifySms = c.sms;
        slot.NotifyVoice = c.voice;
        slot.NotifyGprs = c.gprs;
        AlarmEditor &e = open(AlarmMember::Flags);
        e.ChangeIndex(3);
        const auto *shown = e.findChild<QRadioButton *>(c.shown);
        EXPECT_TRUE(shown->isChecked());
        e.StoreControls();
        EXPECT_EQ(std::tuple(slot.NotifySms, slot.NotifyVoice, slot.NotifyGprs), std::tuple(c.sms, c.voice, c.gprs));

        for (QRadioButton *choice : {e.NotNone, e.NotSMS, e.NotVoz, e.NotGPRS}) {
            SCOPED_TRACE(choice->objectName().toStdString());
            choice->click();
            e.StoreControls();
            auto unit = std::make_unique<ConfigStore>();
            for (const QString &line : alarmUploadLines(row, store, 3, context))
                ASSERT_TRUE(applyAlarmUploadLine(row, *unit, line, context.features));
            const AlarmConfig &reported = unit->Flags[3].Alarms[0];
            EXPECT_EQ(std::tuple(slot.NotifySms, slot.NotifyVoice, slot.NotifyGprs),
                      std::tuple(reported.NotifySms, reported.NotifyVoice, reported.NotifyGprs));
        }
    }
}

TEST_F(AlarmEditorTest, ActionButtonsHandTheRecordsListOverWithoutAStoreBack)
{
    AlarmConfig &slot = store.Flags[0].Alarms[0];
    slot.Enabled = true;
    slot.ActionsHigh = {5, 0, 12, 0, 0, 0, 0, 0};
    slot.ActionsLow = {7, 0, 0, 0, 0, 0, 0, 0};
    store.ActionBuffer.Codes[8] = 3;
    AlarmEditor &e = open(AlarmMember::Flags);
    type(e.TextoAlarma, "sin guardar");

    operatorEdits = [](ActionBuffer &buffer) { buffer.Codes = {9, 10, 0, 0, 0, 0, 0, 0, 0}; };
    e.BotonAlto->click();
    ASSERT_EQ(handed.size(), 1u);
    EXPECT_EQ(handed[0], (std::array<qint16, 9>{5, 0, 12, 0, 0, 0, 0, 0, 3}));
    EXPECT_EQ(slot.ActionsHigh, (ActionList{9, 10, 0, 0, 0, 0, 0, 0}));

    operatorEdits = nullptr; // cancelled: the buffer stays
    e.BotonBajo->click();
    EXPECT_EQ(slot.ActionsLow, (ActionList{7, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(slot.Text, "") << "the typed text waits for a store-back";
    EXPECT_EQ(e.TextoAlarma->text(), "sin guardar");
}

TEST_F(AlarmEditorTest, TheTextKeepsALongStoredTextAndRefusesCommas)
{
    const QString sixty(60, QLatin1Char('x'));
    flow(0, 0).Text = sixty;
    flow(0, 0).Enabled = true;
    AlarmEditor &e = open(AlarmMember::Flow);
    EXPECT_EQ(e.TextoAlarma->text(), sixty);
    e.StoreControls();
    EXPECT_EQ(flow(0, 0).Text, sixty);

    type(e.TextoAlarma, "a,b");
    EXPECT_EQ(e.TextoAlarma->text(), "ab");
}

TEST_F(AlarmEditorTest, NumberBoxesShowTheFieldsAndStoreOnlyWhatWasEdited)
{
    AlarmConfig &slot = flow(0, 0);
    slot.Enabled = true;
    slot.High = 123456789.f; // shown rounded: a store-back must not round it
    slot.Low = 2;
    AlarmEditor &e = open(AlarmMember::Flow);
    EXPECT_EQ(e.Maximo->text(), "1.234568E+08");
    type(e.Minimo, "3,5"); // the decimal comma is refused: red, and nothing stored
    EXPECT_EQ(e.Minimo->palette().color(QPalette::Base), QColor(255, 0, 0));
    EXPECT_FALSE(e.Minimo->toolTip().isEmpty());
    EXPECT_NE(e.Maximo->palette().color(QPalette::Base), QColor(255, 0, 0));
    e.StoreControls();
    EXPECT_EQ(slot.High, 123456789.f);
    EXPECT_EQ(slot.Low, 2.f);
    type(e.Minimo, "3.5");
    e.StoreControls();
    EXPECT_EQ(slot.Low, 3.5f);
}

// A kind with a field and a conversion of its own, as the member editors add them.
class ScaledEditor : public AlarmEditor {
public:
    ScaledEditor(ConfigStore &store, const SectionRegistry &sections)
        : AlarmEditor(alarmMember(AlarmMember::Flow), store, sections, [](ActionBuffer &) {}),
          Interface(new QLineEdit)
    {
        auto *frame = new QGroupBox;
        frame->setObjectName("FrameInterfaz");
        Interface->setParent(frame);
        addKindFrame(frame);
        makeNumberBox(Interface, NumberRanges::Count16, "Interfaz");
        reload();
    }

    QLineEdit *Interface;
    float ratio = 2;
    std::vector<bool> editedSeen;
    std::map<int, int> interfaces; // channel -> value, the kind's record

protected:
    void loadKindFields() override { Interface->setText(QString::number(InterfaceValue)); }
    void storeKindFields() override { InterfaceValue = Interface->text().toInt(); }
    std::optional<int> recordInterface() const override
    {
        const auto found = interfaces.find(ChannelIndex());
        return found == interfaces.end() ? 0 : found->second;
    }
    void storeInterface(int value) override { interfaces[ChannelIndex()] = value; }
    float shownNumber(float AlarmConfig::*field, const AlarmConfig &slot) const override
    {
        return slot.*field * ratio;
    }
    void storeNumbers(AlarmConfig &slot, std::span<const AlarmNumberBox> boxes) override
    {
        for (const AlarmNumberBox &b : boxes) {
            editedSeen.push_back(b.edited);
            if (b.edited)
                slot.*b.field = b.box->text().toFloat() / ratio;
        }
    }
};

TEST_F(AlarmEditorTest, KindHooksLoadStoreAndConvert)
{
    flow(0, 0).Low = 5;
    flow(0, 0).Enabled = true;
    ScaledEditor e(store, sections);
    e.interfaces = {{0, 6}, {1, 0}};
    e.LoadData();
    EXPECT_EQ(e.Interface->text(), "6");
    EXPECT_EQ(e.Minimo->text(), "10");
    EXPECT_NE(e.findChild<QGroupBox *>("FrameInterfaz"), nullptr);

    type(e.Minimo, "30");
    e.ChangeIndex(1);
    EXPECT_EQ(flow(0, 0).Low, 15.f);
    EXPECT_EQ(e.editedSeen, (std::vector<bool>{true, false, false, false}));
    EXPECT_EQ(e.interfaces[0], 6);
    EXPECT_EQ(e.Interface->text(), "0") << "the interface value comes from the record shown";

    type(e.Interface, "x");
    EXPECT_EQ(e.Interface->palette().color(QPalette::Base), QColor(255, 0, 0));
}

} // namespace
