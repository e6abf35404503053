#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "files/langtable.h"
#include "files/sectionregistry.h"
#include "link/comms.h"
#include "link/unitconnection.h"
#include "link/qtserialport.h"
#include "link/simulatedunit.h"
#include "model/configstore.h"
#include "sections/general/connectionpanel.h"
#include "sections/general/generalwindow.h"
#include "sections/general/infoframe.h"
#include "sections/sectionlist.h"

// The port list's simulated unit, through a real port and velkan-sim.
TEST(GeneralWindowSimulated, ConnectsToTheSimulatedUnitAndStopsItOnDisconnect)
{
    if (!QFileInfo(SimulatedUnit::defaultProgram()).isExecutable())
        GTEST_SKIP() << "velkan-sim is not built";
    LangTable lang(QStringLiteral("no-such-folder/Lang.txt"));
    setLang(&lang);
    Comms comms(std::make_unique<QtSerialPort>());
    UnitConnection connection(comms);
    ConfigStore store;
    SectionRegistry sections;
    registerSections(sections);
    QStringList messages;
    General window(connection, store, sections, GeneralCommands{},
                   [&](QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons) {
                       messages << text;
                       return QMessageBox::No;
                   });
    ConnectionPanel &panel = *window.connection();
    panel.TimerComms->stop();
    window.Timer1->stop();

    panel.Puerto->setCurrentIndex(panel.Puerto->findText(QStringLiteral("Unidad simulada")));
    ASSERT_GE(panel.Puerto->currentIndex(), 0);
    panel.IniCom->click();
    panel.TimerComms_Timer();

    ASSERT_TRUE(connection.isConnected()) << messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(panel.ComStat->text(), QStringLiteral("Comunicacion iniciada"));
    EXPECT_FALSE(window.info()->FirmText->text().isEmpty());
    // The serial port names a device by its name under /dev.
    QString device = comms.port().portName();
    if (!device.startsWith(QLatin1Char('/')))
        device.prepend(QStringLiteral("/dev/"));
    EXPECT_TRUE(QFileInfo::exists(device)) << device.toStdString();

    panel.IniCom->click();
    panel.TimerComms_Timer();
    EXPECT_FALSE(connection.isConnected());
    EXPECT_FALSE(QFileInfo::exists(device)) << "velkan-sim still serves " << device.toStdString();
    setLang(nullptr);
}
