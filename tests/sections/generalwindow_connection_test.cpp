#include "generalwindow_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest/QTest>

#include "langfixture.h"
#include "sections/general/connectionpanel.h"
#include "sections/general/infoframe.h"

namespace {

QString clockAnswer(const QDateTime &clock)
{
    return QStringLiteral("A2") + clock.toString(QStringLiteral("yyMMddHHmmss"));
}

// A unit that answers everything the window asks on connecting.
class Connecting : public GeneralWindowTest {
protected:
    Connecting()
    {
        unit.answers = {
            {QStringLiteral("40"), {QStringLiteral("BF")}},
            {QStringLiteral("44"), {QStringLiteral("BB000VERSION,123"), QStringLiteral("BB001RSSI,99"),
                                    QStringLiteral("BB")}},
            {QStringLiteral("20"), {QStringLiteral("DF,1,2,3,4,5,6,7,8,9")}},
            {QStringLiteral("35"), {QStringLiteral("CA")}},
            {QStringLiteral("26"), {QStringLiteral("D9")}},
            {QStringLiteral("27"), {QStringLiteral("D8")}},
            {QStringLiteral("25"), {QStringLiteral("DA")}},
            {QStringLiteral("5D"), {clockAnswer(QDateTime::currentDateTime())}},
            {QStringLiteral("5C"), {QStringLiteral("A3")}},
        };
        // The test runs each tick itself.
        panel().TimerComms->stop();
        window->Timer1->stop();
        panel().Puerto->setCurrentText(QStringLiteral("ttyFAKE0"));
    }

    ConnectionPanel &panel() { return *window->connection(); }

    void connectUnit()
    {
        panel().IniCom->click();
        panel().TimerComms_Timer();
    }

    bool sent(const QString &prefix) const
    {
        return std::any_of(unit.received.begin(), unit.received.end(),
                           [&](const QString &c) { return c.startsWith(prefix); });
    }
};

} // namespace

TEST_F(Connecting, ConnectLoseTheLineThenDisconnect)
{
    connectUnit();

    EXPECT_TRUE(connection.isConnected());
    EXPECT_EQ(panel().ComStat->text(), QStringLiteral("Comunicacion iniciada"));
    EXPECT_EQ(panel().IniCom->text(), QStringLiteral("Cerrar comunicacion"));
    EXPECT_TRUE(panel().Leer->isEnabled());
    EXPECT_TRUE(panel().Escribir->isEnabled());
    EXPECT_EQ(unit.received.mid(0, 3), (QStringList{"40", "44", "20"}));
    EXPECT_TRUE(sent(QStringLiteral("5D")));
    EXPECT_TRUE(shown.empty());
    // The identity read after connecting reaches the information frame; the
    // unknown signal level stays inside the bar.
    EXPECT_EQ(window->info()->FirmText->text(), QStringLiteral("1.23"));
    EXPECT_LE(window->info()->RSSIBar->value(), window->info()->RSSIBar->maximum());

    // A dropped carrier is told once.
    port->setCarrier(true);
    port->setCarrier(false);
    EXPECT_EQ(messageTexts(), QStringList{QStringLiteral("Se corto la comunicacion")});

    // A vanished port ends the connection: the status names it, the buttons
    // return and the unit's values are no longer shown.
    port->vanish(QStringLiteral("Input/output error"));
    EXPECT_FALSE(connection.isConnected());
    EXPECT_EQ(panel().ComStat->text(), QStringLiteral("Se perdio el puerto ttyFAKE0"));
    EXPECT_EQ(panel().IniCom->text(), QStringLiteral("Iniciar comunicacion"));
    EXPECT_FALSE(panel().Leer->isEnabled());
    EXPECT_FALSE(panel().Escribir->isEnabled());
    EXPECT_TRUE(window->info()->FirmText->text().isEmpty());
}

TEST_F(Connecting, DisconnectEmptiesTheInformationFrame)
{
    connectUnit();
    ASSERT_EQ(window->info()->FirmText->text(), QStringLiteral("1.23"));
    connectUnit();
    EXPECT_FALSE(connection.isConnected());
    EXPECT_FALSE(port->isOpen());
    EXPECT_EQ(panel().ComStat->text(), QStringLiteral("Comunicacion no iniciada"));
    EXPECT_TRUE(window->info()->FirmText->text().isEmpty());

    // Nor does a unit that does not answer show the last one's values.
    connectUnit();
    unit.answers.remove(QStringLiteral("40"));
    connectUnit();
    connectUnit();
    EXPECT_FALSE(connection.isConnected());
    EXPECT_TRUE(window->info()->FirmText->text().isEmpty());
}

// The hang-up follows the call that was made, not the box ticked later.
TEST_F(Connecting, UntickingModemDuringACallStillHangsUp)
{
    QObject::connect(port, &FakeSerialPort::written, port, [this](const QByteArray &bytes) {
        if (bytes.startsWith("AT") && bytes.endsWith("\r"))
            port->feed(bytes.startsWith("ATD") ? "CONNECT 9600\r\n" : "OK\r\n");
    });
    connection.askPassWord = [] { return QStringLiteral("4321"); };
    unit.answers[QStringLiteral("11")] = {QStringLiteral("PassWord=1")};
    panel().ModemCheck->setChecked(true);
    panel().CallNum->setText(QStringLiteral("600123456"));
    connectUnit();
    ASSERT_TRUE(connection.isConnected());

    panel().ModemCheck->setChecked(false);
    port->takeWritten();
    connectUnit();
    EXPECT_FALSE(connection.isConnected());
    EXPECT_TRUE(port->writtenBytes().startsWith("+++")) << port->writtenBytes().constData();
    EXPECT_TRUE(port->writtenBytes().contains("ATH\r"));
}

// A modem call without a number to dial does not start: the operator is told
// why and taken to the number box.
TEST_F(Connecting, ModemWithoutANumberRefusesToStart)
{
    panel().ModemCheck->setChecked(true);
    panel().ModemCheck_Click();
    panel().CallNum->setText(QStringLiteral("  "));
    connectUnit();

    EXPECT_FALSE(connection.isConnected());
    EXPECT_FALSE(port->isOpen());
    EXPECT_TRUE(port->writtenBytes().isEmpty());
    const QString why = QStringLiteral("Escriba el numero al que debe llamar el modem.");
    EXPECT_EQ(messageTexts(), QStringList{why});
    EXPECT_EQ(panel().ComStat->text(), why);
    EXPECT_EQ(window->focusWidget(), panel().CallNum);
    EXPECT_EQ(panel().CallNumLabel->text(), QStringLiteral("Numero"));
    EXPECT_EQ(panel().CallNumLabel->buddy(), panel().CallNum);
    EXPECT_EQ(panel().IniCom->text(), QStringLiteral("Iniciar comunicacion"));
}

TEST_F(Connecting, PortThatDoesNotOpenShowsItsError)
{
    port->failNextOpen(QStringLiteral("Permission denied"), LinkError::PortPermission);
    connectUnit();

    EXPECT_FALSE(connection.isConnected());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown.front().text.startsWith(QStringLiteral("ttyFAKE0: "))) << shown.front().text.toStdString();
    EXPECT_TRUE(shown.front().text.contains(QStringLiteral("dialout")));
    EXPECT_EQ(panel().ComStat->text(), shown.front().text);
}

TEST_F(Connecting, ClockQuestionOnlyWhenTheClocksDisagree)
{
    const struct {
        qint64 offsetSeconds;
        QMessageBox::StandardButton reply;
        bool asked;
        bool set;
    } cases[] = {
        {0, QMessageBox::Yes, false, false},
        {-2 * 3600, QMessageBox::No, true, false},
        {11 * 60, QMessageBox::Yes, true, true},
    };
    for (const auto &c : cases) {
        unit.answers[QStringLiteral("5D")] = {
            clockAnswer(QDateTime::currentDateTime().addSecs(c.offsetSeconds))};
        unit.received.clear();
        shown.clear();
        answer = c.reply;
        connectUnit();
        ASSERT_TRUE(connection.isConnected());
        EXPECT_EQ(!shown.empty() && shown.front().icon == QMessageBox::Question, c.asked)
            << c.offsetSeconds;
        EXPECT_EQ(sent(QStringLiteral("5C")), c.set) << c.offsetSeconds;
        connectUnit(); // disconnect
    }
}

TEST_F(Connecting, UploadRunsBeforeDownloadInTheSameTick)
{
    unit.answers[QStringLiteral("45")] = {QStringLiteral("BA1")};
    unit.answers[QStringLiteral("46")] = {QStringLiteral("B91")};
    unit.answers[QStringLiteral("42")] = {QStringLiteral("BD000DNAME,Tank3"), QStringLiteral("BD")};
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    connectUnit();
    ASSERT_TRUE(connection.isConnected());
    unit.received.clear();

    panel().Leer->click();
    panel().Escribir->click();
    panel().TimerComms_Timer();

    const auto firstOf = [&](const QString &prefix) {
        for (int i = 0; i < unit.received.size(); ++i)
            if (unit.received[i].startsWith(prefix))
                return i;
        return -1;
    };
    ASSERT_GE(firstOf(QStringLiteral("45000")), 0);
    ASSERT_GE(firstOf(QStringLiteral("42")), 0);
    EXPECT_LT(firstOf(QStringLiteral("46")), firstOf(QStringLiteral("42")));
    EXPECT_EQ(panel().ComStat->text(), QStringLiteral("Configuracion descargada con exito"));
    EXPECT_EQ(store.General.UnitName, QStringLiteral("Tank3"));
    EXPECT_TRUE(window->isEnabled());
    EXPECT_TRUE(panel().Leer->isEnabled());
    // The identity poll of the tick follows the transfers.
    EXPECT_EQ(unit.received.last().left(2), QStringLiteral("44"));
}

// Quitting the program makes every nested wait return at once, without the
// unit's answer or the time-out; closing the link at shut-down must end the
// exchange still waiting, or the tick would spin for ever.
TEST_F(Connecting, ClosingTheLinkAtShutdownEndsAWaitingTick)
{
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    connectUnit();
    ASSERT_TRUE(connection.isConnected());
    unit.answers.remove(QStringLiteral("44")); // the identity poll now waits

    QTimer::singleShot(50, window.get(), [this] {
        connection.shutdown();
        QCoreApplication::quit();
    });
    panel().TimerComms_Timer();

    EXPECT_FALSE(port->isOpen());
    EXPECT_FALSE(panel().TimerComms->isActive());
    // Leave the application able to wait again for the tests that follow.
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
}

// However the link ends (the firmware tool hands the unit over to its loader,
// the port goes away while idle or in the middle of a download), what needs
// the unit is disabled until the next connection, and a download asked for
// is dropped rather than left waiting on a closed link.
TEST_F(Connecting, ALinkThatDropsDisablesWhatNeedsTheUnit)
{
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    bool loseInDownload = false;
    QObject::connect(port, &FakeSerialPort::written, port, [&](const QByteArray &bytes) {
        if (loseInDownload && bytes.endsWith(";42\r"))
            QTimer::singleShot(0, port, [this] { port->vanish(QStringLiteral("Input/output error")); });
    });
    const QString lost = QStringLiteral("Se perdio el puerto ttyFAKE0");
    const struct {
        const char *name;
        std::function<void()> drop;
        QString status;
    } cases[] = {
        {"firmware hand-over", [&] { connection.disconnectUnit(); }, QStringLiteral("Comunicacion no iniciada")},
        {"port lost", [&] { port->vanish(QStringLiteral("Input/output error")); }, lost},
        {"port lost in a download", [&] { loseInDownload = true; panel().TimerComms_Timer(); },
         QStringLiteral("Error! ") + lost},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        loseInDownload = false;
        connectUnit();
        ASSERT_TRUE(connection.isConnected());
        panel().Leer->click();
        c.drop();

        EXPECT_FALSE(connection.isConnected());
        EXPECT_EQ(panel().ComStat->text(), c.status);
        EXPECT_EQ(panel().ComStat->toolTip(), c.status);
        EXPECT_FALSE(panel().Leer->isEnabled());
        EXPECT_FALSE(panel().Escribir->isEnabled());
        EXPECT_EQ(panel().IniCom->text(), QStringLiteral("Iniciar comunicacion"));
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        // Nothing asked before the drop reaches the next unit.
        connectUnit();
        ASSERT_TRUE(connection.isConnected());
        unit.received.clear();
        panel().TimerComms_Timer();
        EXPECT_FALSE(unit.received.contains(QStringLiteral("42")));
        EXPECT_TRUE(panel().Leer->isEnabled());
        EXPECT_TRUE(panel().Escribir->isEnabled());
        connection.disconnectUnit();
    }
}

namespace {

// While the unit is being detected the button reads as a cancel and stops
// the detection; nothing is reported as a failure.
TEST_F(Connecting, DetectionCanBeCancelled)
{
    unit.answers.remove(QStringLiteral("40"));
    panel().IniCom->click();
    EXPECT_EQ(panel().IniCom->text(), QStringLiteral("Cancelar"));
    EXPECT_TRUE(panel().ComStat->text().contains(QStringLiteral("ttyFAKE0"))) << panel().ComStat->text().toStdString();
    QTimer::singleShot(30, window.get(), [this] { panel().IniCom->click(); });
    panel().TimerComms_Timer();

    EXPECT_FALSE(connection.isConnected());
    EXPECT_LE(unit.received.count(QStringLiteral("40")), 1);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(panel().IniCom->text(), QStringLiteral("Iniciar comunicacion"));
    EXPECT_EQ(panel().ComStat->text(), QStringLiteral("Comunicacion no iniciada"));
}

// A download shows the preset that matches the downloaded SMS centre, as an
// opened file does, and the bar is empty again once the transfer is over.
TEST_F(Connecting, DownloadMatchesThePresetAndEmptiesTheBar)
{
    unit.answers[QStringLiteral("42")] = {QStringLiteral("BD000SMC,+34607003110"), QStringLiteral("BD")};
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    connectUnit();
    ASSERT_TRUE(connection.isConnected());
    window->CSMOtro->setChecked(true);
    window->SMSCBox->setEnabled(true);

    panel().Leer->click();
    EXPECT_EQ(panel().ComStat->text(), QStringLiteral("Descargando configuracion..."));
    EXPECT_FALSE(panel().Leer->isEnabled());
    QObject::connect(&connection, &UnitConnection::configDownloaded, window.get(), [this] { window->LoadData(); });
    panel().TimerComms_Timer();

    EXPECT_EQ(store.General.SmsCentre, QStringLiteral("+34607003110"));
    EXPECT_TRUE(window->CSMVoda->isChecked());
    EXPECT_FALSE(window->SMSCBox->isEnabled());
    EXPECT_EQ(panel().PBar->value(), 0);
}

TEST_F(Connecting, PortChoiceComesBackSimulatedUnitIncluded)
{
    panel().choosePort(QStringLiteral("/dev/pts/7"));
    EXPECT_EQ(panel().portChoice(), QStringLiteral("/dev/pts/7"));
    panel().Puerto->setCurrentIndex(panel().Puerto->findText(QStringLiteral("Unidad simulada")));
    const QString simulated = panel().portChoice();
    panel().choosePort(QStringLiteral("/dev/pts/7"));
    panel().choosePort(simulated);
    EXPECT_EQ(panel().Puerto->currentText(), QStringLiteral("Unidad simulada"));
}

// A language change renames the simulated unit's entry, never the port
// chosen: a device path typed over that entry stays, and so does the entry.
TEST_F(Connecting, ALanguageChangeKeepsTheChosenPort)
{
    panel().SearchBut_Click();
    const int simulated = panel().Puerto->findText(QStringLiteral("Unidad simulada"));
    ASSERT_GE(simulated, 0);
    for (const QString &choice : {QStringLiteral("/dev/pts/7"), QStringLiteral("Unidad simulada")}) {
        SCOPED_TRACE(choice.toStdString());
        panel().Puerto->setCurrentIndex(simulated);
        panel().Puerto->setEditText(choice);
        const QString kept = panel().portChoice();
        {
            EnglishTable english({"{Unidad simulada}{Simulated unit}"});
            window->LoadText();
            EXPECT_EQ(panel().portChoice(), kept);
            EXPECT_EQ(panel().Puerto->currentText(), choice == "/dev/pts/7" ? choice : QStringLiteral("Simulated unit"));
            EXPECT_EQ(panel().connectRequest().simulated, choice != "/dev/pts/7");
        }
        setLang(&lang);
        window->LoadText();
        EXPECT_EQ(panel().Puerto->currentText(), choice);
        EXPECT_EQ(panel().portChoice(), kept);
    }
}

// One unit's configuration is written to another only after a question that
// names both; the same unit, or a configuration of no known unit, goes at once.
TEST_F(Connecting, WritingAnotherUnitsConfigurationAsksFirst)
{
    unit.answers[QStringLiteral("44")] = {QStringLiteral("BB000VERSION,123"), QStringLiteral("BB001SERIAL,UB-0002"),
                                          QStringLiteral("BB")};
    connectUnit();
    ASSERT_EQ(connection.Device.SerialNumber, QStringLiteral("UB-0002"));
    const struct {
        const char *source;
        QMessageBox::StandardButton answer;
        bool asked;
        bool requested;
    } cases[] = {
        {"UA-0001", QMessageBox::No, true, false},
        {"UA-0001", QMessageBox::Yes, true, true},
        {"UB-0002", QMessageBox::Ok, false, true},
        {"", QMessageBox::Ok, false, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.source);
        configSource = QString::fromLatin1(c.source);
        answer = c.answer;
        shown.clear();
        panel().Escribir->setEnabled(true);
        panel().Escribir->click();
        ASSERT_EQ(shown.size(), c.asked ? 1u : 0u);
        if (c.asked) {
            EXPECT_TRUE(shown[0].text.contains(QStringLiteral("UA-0001"))) << shown[0].text.toStdString();
            EXPECT_TRUE(shown[0].text.contains(QStringLiteral("UB-0002")));
        }
        EXPECT_EQ(!panel().Escribir->isEnabled(), c.requested) << "a requested upload waits for the tick";
    }
}

// "Buscar puertos" keeps the operator's choice while the new list offers it;
// a choice it no longer offers gives way to the first entry.
TEST_F(Connecting, SearchingPortsKeepsTheChoiceStillOffered)
{
    panel().SearchBut_Click();
    const QStringList offered = [this] {
        QStringList names;
        for (int i = 0; i < panel().Puerto->count(); ++i)
            names << panel().Puerto->itemText(i);
        return names;
    }();
    QStringList choices{QStringLiteral("Unidad simulada")};
    if (offered.size() > 2)
        choices << offered.at(offered.size() - 2); // a port of this machine, not the first
    for (const QString &choice : choices) {
        panel().Puerto->setCurrentIndex(panel().Puerto->findText(choice));
        panel().SearchBut_Click();
        EXPECT_EQ(panel().Puerto->currentText(), choice);
    }
    panel().Puerto->setEditText(QStringLiteral("/dev/no-such-port"));
    panel().SearchBut_Click();
    EXPECT_EQ(panel().Puerto->currentIndex(), 0);
}

// However long the status grows (a long typed port in the detection text),
// it keeps one line: the buttons stay where the pointer expects them, and the
// tooltip holds the whole text.
TEST_F(Connecting, ALongStatusNeverMovesTheButtons)
{
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const auto places = [this] {
        QApplication::processEvents();
        return QList<QRect>{panel().IniCom->geometry(), panel().Leer->geometry(), panel().Escribir->geometry(),
                            panel().PBar->geometry(), panel().ComStat->geometry(), panel().geometry()};
    };
    const QList<QRect> before = places();
    const QString path = QStringLiteral("/dev/serial/by-id/usb-Adapter_Serial_Converter_0123456789-if00-port0");
    panel().Puerto->setEditText(path);
    unit.answers.remove(QStringLiteral("40"));
    panel().IniCom->click();
    EXPECT_EQ(places(), before);
    EXPECT_TRUE(panel().ComStat->toolTip().contains(path));
    // The box has room for a usual device path, and its tooltip holds any path whole.
    EXPECT_GE(panel().Puerto->lineEdit()->width(),
              panel().Puerto->fontMetrics().horizontalAdvance(QStringLiteral("/dev/ttyUSB10")));
    EXPECT_EQ(panel().Puerto->toolTip(), path);
    panel().IniCom->click(); // withdraw the request
}

TEST_F(Connecting, WeakSignalIsShownInRed)
{
    unit.answers[QStringLiteral("44")] = {QStringLiteral("BB000RSSI,7"), QStringLiteral("BB")};
    connectUnit();
    EXPECT_TRUE(window->info()->Label9->styleSheet().contains(QStringLiteral("red")));
    EXPECT_FALSE(window->info()->Label9->toolTip().isEmpty());
    unit.answers[QStringLiteral("44")] = {QStringLiteral("BB000RSSI,20"), QStringLiteral("BB")};
    connection.readInfo();
    EXPECT_TRUE(window->info()->Label9->toolTip().isEmpty());
}

} // namespace
