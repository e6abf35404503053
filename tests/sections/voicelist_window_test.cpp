// The voice-call list window, offscreen, over the fake port with the
// simulated unit's engine behind it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <vector>

#include "files/langtable.h"
#include "files/sectionregistry.h"
#include "link/comms.h"
#include "link/fakeserialport.h"
#include "link/unitconnection.h"
#include "model/configstore.h"
#include "sections/sectionlist.h"
#include "sections/voicelist/voicelistwindow.h"
#include "shell/editorregistry.h"
#include "sim/configstream.h"
#include "sim/fakeportunit.h"
#include "sim/unitengine.h"

namespace {

struct ShownMessage {
    QMessageBox::Icon icon;
    QString text;
};

class VoiceListWindowTest : public ::testing::Test {
protected:
    VoiceListWindowTest()
        : port(new FakeSerialPort), comms(std::unique_ptr<SerialPort>(port)), connection(comms)
    {
        setLang(&lang);
        comms.timings = LinkTimings::fast();
        registerSections(sections);
        sections.clearAll(store);
        window = std::make_unique<Aut_Voz>(connection, store, sections,
                                           [this](QMessageBox::Icon icon, const QString &text,
                                                  QMessageBox::StandardButtons) {
                                               shown.push_back({icon, text});
                                               return QMessageBox::Ok;
                                           });
        window->Timer1->stop();
    }
    ~VoiceListWindowTest() override { setLang(nullptr); }

    // Connects to a simulated unit with these capabilities and this list.
    void connectUnit(quint32 features, const QStringList &numbers = {}, EngineSetup setup = {})
    {
        UnitState state = UnitState::defaults();
        state.features = features;
        state.voiceList = numbers;
        simulated.reset();
        engine = std::make_unique<UnitEngine>(state, ConfigStream::defaults(features), setup);
        simulated = std::make_unique<FakePortUnit>(*port, *engine);
        ASSERT_TRUE(connection.connectUnit({QStringLiteral("SIM")}));
        ASSERT_TRUE(connection.readInfo());
        window->Timer1_Timer();
    }

    void type(const QString &text, QPushButton *button)
    {
        window->PhoneText->setText(text);
        button->click();
    }

    QStringList rows() const
    {
        QStringList texts;
        for (int i = 0; i < window->PhoneList->count(); ++i)
            texts << window->PhoneList->item(i)->text();
        return texts;
    }

    LangTable lang{QStringLiteral("no-such-folder/Lang.txt")};
    FakeSerialPort *port;
    Comms comms;
    UnitConnection connection;
    std::unique_ptr<UnitEngine> engine;
    std::unique_ptr<FakePortUnit> simulated;
    ConfigStore store;
    SectionRegistry sections;
    std::vector<ShownMessage> shown;
    std::unique_ptr<Aut_Voz> window;
};

const QString kInvalid = QStringLiteral("Numero de telefono invalido");

TEST_F(VoiceListWindowTest, AddDeleteAndSearch)
{
    type("+34600111222", window->Add);
    type("+34600111222", window->Add); // duplicates are allowed
    type("", window->Add);
    type(" 600333444 ", window->Add);
    EXPECT_EQ(rows(), QStringList({"+34600111222", "+34600111222", "600333444"}));
    EXPECT_TRUE(window->PhoneText->text().isEmpty());
    EXPECT_TRUE(shown.empty());

    // A wrong number is told and kept for correcting.
    type("600-333", window->Add);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].icon, QMessageBox::Warning);
    EXPECT_EQ(shown[0].text, kInvalid);
    EXPECT_EQ(window->PhoneText->text(), "600-333");
    EXPECT_EQ(rows().size(), 3);

    type("600333444", window->SearchBut);
    EXPECT_EQ(window->PhoneList->currentRow(), 2);
    EXPECT_TRUE(window->PhoneList->currentItem()->isSelected());
    window->Del->click();
    EXPECT_EQ(rows(), QStringList({"+34600111222", "+34600111222"}));

    shown.clear();
    type("600", window->SearchBut); // rows are compared whole
    type("abc", window->SearchBut);
    type("", window->SearchBut);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].icon, QMessageBox::Warning);
    EXPECT_EQ(shown[0].text, "No se ha encontrado");
    EXPECT_EQ(shown[1].text, kInvalid);

    // Nothing selected: nothing deleted.
    window->PhoneList->clearSelection();
    window->Del->click();
    EXPECT_EQ(rows().size(), 2);

    // The 251st number is refused.
    for (int i = rows().size(); i < 250; ++i)
        type(QString::number(600000000 + i), window->Add);
    shown.clear();
    type("699999999", window->Add);
    EXPECT_EQ(rows().size(), 250);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].icon, QMessageBox::Information);
    EXPECT_EQ(shown[0].text, "Imposible añadir, se ha alcanzado el numero maximo de entradas en la lista de "
                             "numeros autorizados");
    EXPECT_TRUE(window->PhoneText->text().isEmpty());
}

TEST_F(VoiceListWindowTest, MacroAndListBetweenModelAndControls)
{
    store.VoiceList.Numbers[3] = "600111222";
    store.VoiceList.Numbers[7] = "600333444";
    store.VoiceList.CallMacro = 12;
    store.VoiceList.SendAck = true;
    window->LoadData();
    EXPECT_EQ(rows(), QStringList({"600111222", "600333444"}));
    EXPECT_EQ(window->PNMacro->currentIndex(), 13);
    EXPECT_EQ(window->PNMacro->currentText(), " 12");
    EXPECT_TRUE(window->ACKCheck->isChecked());
    window->LoadText(); // as after a change of language
    EXPECT_EQ(window->PNMacro->currentIndex(), 13);
    EXPECT_EQ(window->PNMacro->count(), 41);

    // Stored from the item's place: item 1 is macro 0, item 0 none.
    for (const auto &[item, macro] : {std::pair{1, 0}, {0, -1}, {40, 39}}) {
        window->PNMacro->setCurrentIndex(item);
        window->StoreControls();
        EXPECT_EQ(store.VoiceList.CallMacro, macro) << item;
    }
    // The rows go to the front, with their count and CRC.
    EXPECT_EQ(store.VoiceList.Numbers[0], "600111222");
    EXPECT_EQ(store.VoiceList.Numbers[1], "600333444");
    EXPECT_EQ(store.VoiceList.Numbers[7], QString());
    EXPECT_EQ(store.VoiceList.Count, 2);
    EXPECT_EQ(store.VoiceList.ListCrc, UnitEngine::listCrc({"600111222", "600333444"}));

    window->Clear();
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_EQ(window->PNMacro->currentIndex(), 0);
    EXPECT_TRUE(window->ACKCheck->isChecked()); // the switch is not part of Clear
}

TEST_F(VoiceListWindowTest, TransferButtonsFollowTheUnitAndItsFirmware)
{
    const auto state = [this] {
        return std::tuple{window->ReadBut->isEnabled(), window->WriteBut->isEnabled(), !window->Warning->isHidden(),
                          !window->WarningText->isHidden()};
    };
    EXPECT_EQ(state(), std::tuple(false, false, false, false)) << "not connected";
    EXPECT_EQ(window->WarningText->text(), "La version de firmware del Velkan Sarn no soporta la funcion de "
                                           "ejecucion de macro por llamada perdida");

    connectUnit(Feature::FastLineAck);
    EXPECT_EQ(state(), std::tuple(false, false, true, true)) << "without the macro on a call";

    connection.disconnectUnit();
    window->Timer1_Timer();
    connectUnit(Feature::MissedCallMacro);
    EXPECT_EQ(state(), std::tuple(true, true, false, false)) << "with it";

    connection.disconnectUnit();
    window->Timer1_Timer();
    EXPECT_EQ(state(), std::tuple(false, false, false, false)) << "disconnected again";
}

TEST_F(VoiceListWindowTest, WriteAndReadThroughTheButtons)
{
    connectUnit(Feature::MissedCallMacro | Feature::FastLineAck, {"+34600123456"});
    EXPECT_EQ(window->StateLabel->text(), "Preparado");

    // While a transfer runs, the clock of the window keeps its buttons off and
    // the pointer is the hourglass.
    std::vector<bool> duringTransfer;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        window->Timer1_Timer();
        duringTransfer.push_back(window->ReadBut->isEnabled() || window->WriteBut->isEnabled()
                                 || window->Add->isEnabled() || !QApplication::overrideCursor());
    });
    probe.start(0);

    type("600111222", window->Add);
    type("600333444", window->Add);
    window->PNMacro->setCurrentIndex(13);
    window->WriteBut->click();
    EXPECT_EQ(window->StateLabel->text(), "Lista escrita con exito");
    EXPECT_EQ(engine->state().voiceList, QStringList({"600111222", "600333444"}));
    EXPECT_EQ(engine->state().voiceMacro, 12);

    window->PhoneList->clear();
    window->PNMacro->setCurrentIndex(0);
    window->ReadBut->click();
    EXPECT_EQ(window->StateLabel->text(), "Lista leida con exito");
    EXPECT_EQ(rows(), QStringList({"600111222", "600333444"}));
    EXPECT_EQ(window->PNMacro->currentIndex(), 13);

    probe.stop();
    ASSERT_FALSE(duringTransfer.empty());
    EXPECT_EQ(std::count(duringTransfer.begin(), duringTransfer.end(), true), 0);
    EXPECT_TRUE(window->ReadBut->isEnabled());
    EXPECT_TRUE(window->Add->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // The status keeps the last result through a change of language.
    window->LoadText();
    EXPECT_EQ(window->StateLabel->text(), "Lista leida con exito");
}

TEST_F(VoiceListWindowTest, FailedReadShowsErrorAndKeepsTheRows)
{
    QStringList tooMany;
    for (int i = 0; i < 251; ++i)
        tooMany << QString::number(600000000 + i);
    connectUnit(Feature::MissedCallMacro, tooMany);
    type("600111222", window->Add);
    window->StoreControls();

    window->ReadBut->click();
    EXPECT_EQ(window->StateLabel->text(), "Error!");
    EXPECT_EQ(rows(), QStringList({"600111222"}));
    EXPECT_EQ(store.VoiceList.Numbers[0], "600111222");
    EXPECT_EQ(store.VoiceList.Count, 1);
}

// The configuration does not carry the list: a download empties it, and the
// window shows that at once, so that storing its rows cannot bring them back.
TEST_F(VoiceListWindowTest, DownloadEmptiesTheShownListOnlyWhenItSucceeds)
{
    for (const bool succeeds : {false, true}) {
        SCOPED_TRACE(succeeds);
        EngineSetup setup;
        setup.faults.skipSequenceAttempts = succeeds ? 0 : 100;
        connectUnit(Feature::MissedCallMacro, {}, setup);
        EditorRegistry windows;
        windows.addEditor(QStringLiteral("Aut_Voz"), window.get());
        windows.followDownloads(connection);
        window->PhoneList->clear();
        type("600111222", window->Add);
        window->StoreControls();

        EXPECT_EQ(connection.download(store, sections), succeeds);
        window->StoreControls(); // the window loses the activation
        EXPECT_EQ(rows(), succeeds ? QStringList() : QStringList({"600111222"}));
        EXPECT_EQ(store.VoiceList.Count, succeeds ? 0 : 1);
        connection.disconnectUnit();
    }
}

} // namespace
