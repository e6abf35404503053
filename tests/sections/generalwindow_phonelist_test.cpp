#include "generalwindow_fixture.h"

#include <QCheckBox>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "link/devicevalues.h"
#include "sections/general/phonelisteditor.h"

namespace {

struct AddCase {
    const char *name;
    QString number;
    int presetRows;      // rows already in the list
    bool mask;           // CheckMask ticked
    int channels;        // MaskSelection rows selected, from the top
    int expectedRows;
    QString lastRow;     // expected last row when one was added
    QString message;     // expected message, empty for none
    bool fieldsReset;
};

void PrintTo(const AddCase &c, std::ostream *os)
{
    *os << c.name;
}

class AddEntry : public GeneralWindowTest, public ::testing::WithParamInterface<AddCase> {};

} // namespace

TEST_P(AddEntry, FollowsTheListRules)
{
    const AddCase &c = GetParam();
    PhoneListEditor &phones = *window->phones();
    QStringList preset;
    for (int i = 0; i < c.presetRows; ++i)
        preset << QStringLiteral("+3460000%1,Prio=0,PRV2,MASKMODE0").arg(i, 4, 10, QLatin1Char('0'));
    phones.setRows(preset);

    phones.NewTlf->setText(c.number);
    phones.PrioBox->setCurrentIndex(3);
    phones.Privilegios->setCurrentIndex(0);
    phones.CheckMask->setChecked(c.mask);
    phones.CheckMask_Click();
    phones.MaskExclude->setChecked(c.mask);
    for (int i = 0; i < c.channels; ++i)
        phones.MaskSelection->item(i)->setSelected(true);

    phones.Anadir->click();

    EXPECT_EQ(phones.ListaTlf->count(), c.expectedRows);
    if (!c.lastRow.isEmpty())
        EXPECT_EQ(phones.rows().last(), c.lastRow);
    EXPECT_EQ(messageTexts(), c.message.isEmpty() ? QStringList() : QStringList{c.message});
    if (c.fieldsReset) {
        EXPECT_TRUE(phones.NewTlf->text().isEmpty());
        EXPECT_EQ(phones.PrioBox->currentIndex(), 0);
        EXPECT_EQ(phones.Privilegios->currentIndex(), 1);
        EXPECT_FALSE(phones.CheckMask->isChecked());
        EXPECT_TRUE(phones.MaskSelection->selectedItems().isEmpty());
        EXPECT_TRUE(phones.MaskInclude->isChecked());
        EXPECT_FALSE(phones.MaskSelection->isEnabled());
    } else {
        EXPECT_EQ(phones.NewTlf->text(), c.number);
        EXPECT_EQ(phones.MaskSelection->selectedItems().size(), c.channels);
    }
}

// The mask list starts with DI0..DI7, FL0..FL7, then the probes and flags.
INSTANTIATE_TEST_SUITE_P(
    PhoneList, AddEntry,
    ::testing::Values(
        AddCase{"EmptyNumberAddsNothing", "", 0, true, 2, 0, "", "", true},
        AddCase{"MaskClearedCarriesNoChannels", "+34600111222", 0, false, 3, 1,
                "+34600111222,Prio=3,PRV3,MASKMODE0", "", true},
        AddCase{"SixteenChannelsAccepted", "600111222", 1, true, 16, 2,
                "600111222,Prio=3,PRV3,MASKMODE2,DI0,DI1,DI2,DI3,DI4,DI5,DI6,DI7,"
                "FL0,FL1,FL2,FL3,FL4,FL5,FL6,FL7",
                "", true},
        AddCase{"SeventeenChannelsRefused", "600111222", 1, true, 17, 1, "",
                "No puede añadir mas de 16 canales a la mascara", false},
        AddCase{"NotANumber", "600 111 222", 0, false, 0, 0, "",
                "Error, no es un numero de telefono correcto", false},
        AddCase{"ListFull", "600111222", 20, false, 0, 20, "", "Lista llena", true}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(GeneralWindowTest, EditingARowThenAddingKeepsBothRows)
{
    PhoneListEditor &phones = *window->phones();
    const QString row = QStringLiteral("+34600111222,Prio=5,PRV1,MASKMODE2,DI3,FG12");
    phones.setRows({row});
    phones.ListaTlf->setCurrentRow(0);
    phones.ListaTlf_DblClick();

    EXPECT_EQ(phones.NewTlf->text(), QStringLiteral("+34600111222"));
    EXPECT_EQ(phones.PrioBox->currentData().toInt(), 5);
    EXPECT_EQ(phones.Privilegios->currentData().toInt(), 1);
    EXPECT_TRUE(phones.CheckMask->isChecked());
    EXPECT_TRUE(phones.MaskExclude->isChecked());
    QStringList selected;
    for (const QListWidgetItem *item : phones.MaskSelection->selectedItems())
        selected << item->text();
    EXPECT_EQ(selected, (QStringList{QStringLiteral("DI3, Dig. In"), QStringLiteral("FG12, Flag")}));

    phones.Anadir->click();
    EXPECT_EQ(phones.rows(), (QStringList{row, row}));
}

TEST_F(GeneralWindowTest, ControlsRoundTripThroughTheModel)
{
    store.General.UnitName = QStringLiteral("Tank3");
    store.General.ResendMinutes = 15;
    store.General.ResendCount = 4;
    store.General.Phones[0].Number = QStringLiteral("+34600111222");
    store.General.Phones[3].Number = QStringLiteral("+34600333444");
    window->LoadData();
    EXPECT_EQ(window->phones()->ListaTlf->count(), 2);

    window->RENVT->setText(QStringLiteral("12x"));
    window->phones()->ListaTlf->setCurrentRow(0);
    window->phones()->Borrar->click();
    window->StoreControls();

    EXPECT_EQ(store.General.UnitName, QStringLiteral("Tank3"));
    EXPECT_EQ(store.General.ResendMinutes, 15); // refused: nothing stored
    EXPECT_EQ(window->RENVT->palette().color(QPalette::Base), QColor(255, 0, 0));
    EXPECT_NE(window->RENVN->palette().color(QPalette::Base), QColor(255, 0, 0));
    EXPECT_EQ(store.General.Phones[0].Number, QStringLiteral("+34600333444"));
    EXPECT_TRUE(store.General.Phones[1].Number.isEmpty());
    EXPECT_TRUE(store.General.Phones[3].Number.isEmpty());
}

// The window stores its controls every tick: a box must not cut what it was given.
TEST_F(GeneralWindowTest, TextsLongerThanTheirBoxesSurviveTheStoreBack)
{
    store.General.UnitName = QString(60, u'n');
    store.General.RestoreText = QString(30, u'r');
    window->LoadData();
    window->Timer1_Timer();
    EXPECT_EQ(window->NameBox->text(), QString(60, u'n'));
    EXPECT_EQ(store.General.UnitName, QString(60, u'n'));
    EXPECT_EQ(store.General.RestoreText, QString(30, u'r'));
}

TEST_F(GeneralWindowTest, SmsCentrePresets)
{
    const struct {
        QString number;
        QRadioButton *button;
        bool boxEnabled;
    } cases[] = {
        {QStringLiteral("+34609090909"), window->CSMMovi, false},
        {QStringLiteral("+34607003110"), window->CSMVoda, false},
        {QStringLiteral("+34656000311"), window->CSMAmen, false},
        {QStringLiteral("+34600000000"), window->CSMOtro, true},
    };
    for (const auto &c : cases) {
        window->SMSCBox->setText(c.number);
        window->CSMCheck();
        EXPECT_TRUE(c.button->isChecked()) << c.number.toStdString();
        EXPECT_EQ(window->SMSCBox->isEnabled(), c.boxEnabled);
        EXPECT_EQ(window->SMSCBox->text(), c.number);
    }
    window->CSMAmen->click();
    EXPECT_EQ(window->SMSCBox->text(), QStringLiteral("+34656000311"));
}

TEST_F(GeneralWindowTest, LegacyMaskWarningOnlyWhenConnectedWithoutExtendedMask)
{
    const struct {
        bool connected;
        quint32 features;
        bool shown;
    } cases[] = {
        {false, 0, false},
        {true, 0, true},
        {true, Feature::ExtendedPhoneMask, false},
        {true, Feature::WideChannelMask, true},
    };
    unit.answers[QStringLiteral("40")] = {QStringLiteral("BF")};
    for (const auto &c : cases) {
        if (c.connected && !connection.isConnected())
            ASSERT_TRUE(connection.connectUnit({QStringLiteral("fake"), false, {}}));
        connection.Device.DeviceFeatures = c.features;
        window->Timer1_Timer();
        EXPECT_EQ(!window->Warning->isHidden(), c.shown) << c.connected << " " << c.features;
        EXPECT_EQ(!window->WarningText->isHidden(), c.shown);
    }
    connection.disconnectUnit();
}

TEST_F(GeneralWindowTest, RefreshDoesNotStoreDuringADownload)
{
    window->NameBox->setText(QStringLiteral("typed"));
    unit.answers[QStringLiteral("40")] = {QStringLiteral("BF")};
    unit.answers[QStringLiteral("42")] = {QStringLiteral("BD000DNAME,Tank3"), QStringLiteral("BD")};
    ASSERT_TRUE(connection.connectUnit({QStringLiteral("fake"), false, {}}));
    QString storedMeanwhile = QStringLiteral("not run");
    QObject::connect(port, &FakeSerialPort::written, window.get(), [&](const QByteArray &bytes) {
        if (bytes.contains(";42")) {
            window->Timer1_Timer();
            storedMeanwhile = store.General.UnitName;
        }
    });
    ASSERT_TRUE(connection.download(store, sections));
    EXPECT_TRUE(storedMeanwhile.isEmpty());
    EXPECT_EQ(store.General.UnitName, QStringLiteral("Tank3"));
}

TEST_F(GeneralWindowTest, ToolbarRunsTheShellCommands)
{
    onOpen = [this] {
        store.General.SmsCentre = QStringLiteral("+34607003110");
        store.General.Phones[0].Number = QStringLiteral("+34600111222");
        store.General.Phones[1].Number = QStringLiteral("+34600333444");
        window->LoadData();
    };
    for (const char *name : {"Guardar", "Idioma", "Abrir"})
        window->findChild<QAction *>(QString::fromLatin1(name))->trigger();

    EXPECT_EQ(run, (QStringList{"Guardar", "Idioma", "Abrir"}));
    // After opening a file the preset of the SMS centre and the first phone are selected.
    EXPECT_TRUE(window->CSMVoda->isChecked());
    EXPECT_FALSE(window->SMSCBox->isEnabled());
    EXPECT_EQ(window->phones()->ListaTlf->currentRow(), 0);
}
