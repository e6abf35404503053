#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>
#include <memory>

#include "files/configcompare.h"
#include "files/langtable.h"
#include "files/sectionregistry.h"
#include "link/comms.h"
#include "link/fakeserialport.h"
#include "link/unitconnection.h"
#include "model/configstore.h"
#include "sections/general/connectionpanel.h"
#include "sections/general/generalwindow.h"
#include "sections/sectionlist.h"
#include "sim/configstream.h"
#include "sim/fakeportunit.h"
#include "sim/unitengine.h"

namespace {

// "Escribir conf." on the simulated unit's engine: the window first reads the
// unit's configuration, so that what it sends is what the unit started with.
class VerifiedUploadTest : public ::testing::Test {
protected:
    VerifiedUploadTest() : port(new FakeSerialPort), comms(std::unique_ptr<SerialPort>(port)), connection(comms)
    {
        setLang(&lang);
        comms.timings = LinkTimings::fast();
        registerSections(sections);
        sections.clearAll(store);
        QObject::connect(&connection, &UnitConnection::configDownloaded, [this] { ++downloads; });
    }
    ~VerifiedUploadTest() override { setLang(nullptr); }

    // hook: the program shows the differences in a window of its own.
    void start(EngineSetup setup = {}, bool hook = true)
    {
        const UnitState state = UnitState::defaults();
        engine = std::make_unique<UnitEngine>(state, ConfigStream::defaults(state.features), std::move(setup));
        host = std::make_unique<FakePortUnit>(*port, *engine);
        GeneralCommands commands;
        if (hook)
                commands.showDifferences = [this](const QString &title, const QList<ConfigDifference> &found) {
                shownTitle = title;
                differences = found;
            };
        window = std::make_unique<General>(connection, store, sections, commands,
                                           [this](QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons) {
                                               messages << text;
                                               return QMessageBox::No;
                                           });
        panel().TimerComms->stop();
        window->Timer1->stop();
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        panel().Puerto->setCurrentText(QStringLiteral("SIM"));
        panel().IniCom->click();
        panel().TimerComms_Timer();
        ASSERT_TRUE(connection.isConnected());
        panel().Leer->click();
        panel().TimerComms_Timer();
        ASSERT_EQ(panel().ComStat->text(), QStringLiteral("Configuracion descargada con exito"));
        downloads = 0;
    }

    void upload()
    {
        panel().Escribir->click();
        panel().TimerComms_Timer();
    }

    ConnectionPanel &panel() { return *window->connection(); }

    LangTable lang{QStringLiteral("no-such-folder/Lang.txt")};
    FakeSerialPort *port;
    Comms comms;
    UnitConnection connection;
    std::unique_ptr<UnitEngine> engine;
    std::unique_ptr<FakePortUnit> host;
    ConfigStore store;
    SectionRegistry sections;
    std::unique_ptr<General> window;
    QStringList messages;
    QString shownTitle;
    QList<ConfigDifference> differences;
    int downloads = 0;
};

TEST_F(VerifiedUploadTest, UploadEndsVerifiedWithoutTouchingTheEditors)
{
    start();
    const QString name = store.General.UnitName;
    upload();

    EXPECT_EQ(panel().ComStat->text(), QStringLiteral("Configuracion verificada"));
    EXPECT_TRUE(shownTitle.isEmpty());
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();
    // The check's download goes to a model of its own.
    EXPECT_EQ(downloads, 0);
    EXPECT_EQ(store.General.UnitName, name);
    EXPECT_EQ(panel().PBar->value(), 0);
    EXPECT_TRUE(panel().Escribir->isEnabled());
}

TEST_F(VerifiedUploadTest, AUnitThatHoldsSomethingElseShowsTheDifferences)
{
    EngineSetup setup;
    setup.alterations = {QStringLiteral("RETRYMAX= 9")};
    start(std::move(setup));
    upload();

    EXPECT_EQ(panel().ComStat->text(), QStringLiteral("La unidad no tiene lo enviado"));
    EXPECT_EQ(shownTitle, QStringLiteral("La unidad no tiene lo enviado"));
    ASSERT_EQ(differences.size(), 1);
    EXPECT_EQ(differences[0].key, QStringLiteral("RETRYMAX"));
    EXPECT_EQ(differences[0].right, QStringLiteral("RETRYMAX= 9"));
    EXPECT_EQ(downloads, 0);
}

// The hook unset, the window says how many lines differ.
TEST_F(VerifiedUploadTest, WithoutADifferenceWindowAMessageGivesTheCount)
{
    EngineSetup setup;
    setup.alterations = {QStringLiteral("RETRYMAX= 9")};
    start(std::move(setup), false);
    upload();

    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].endsWith(QStringLiteral("Lineas distintas: 1"))) << messages[0].toStdString();
}

} // namespace
