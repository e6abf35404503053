#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QCheckBox>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include "../support/hextext.h"
#include "files/langtable.h"
#include "files/sectionregistry.h"
#include "files/servicehistory.h"
#include "sections/sectionlist.h"
#include "sim/configstream.h"
#include "simulatedlink.h"
#include "tools/firm.h"

namespace {

const QString kErrorText = QString::fromUtf8("¡Error!");
const QString kPowerWarning = QStringLiteral("NO CORTE LA ALIMENTACION MIENTRAS DURE LA ACTUALIZACION");

QString sha256(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

class FirmTest : public ::testing::Test {
protected:
    FirmTest() { registerSections(sections); }

    // language: the table the window follows instead of the link's own.
    void make(EngineSetup setup = {}, LangTable *language = nullptr)
    {
        firm.reset();
        sim = std::make_unique<SimulatedLink>(std::move(setup), ConfigStream::defaults(UnitState::defaults().features));
        if (language)
            setLang(language);
        sim->unit.keepHistory(&history);
        // Questions (Yes and No) apart from the boxes that only tell.
        firm = std::make_unique<Firm>(
            sim->unit, sections, [this](bool locked) { treeLocks << locked; },
            [this](QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons buttons) {
                if (!buttons.testFlag(QMessageBox::Yes)) {
                    messages << text;
                    return QMessageBox::Ok;
                }
                questions << text;
                return answers.isEmpty() ? QMessageBox::Yes : answers.takeFirst();
            });
        QObject::connect(&sim->unit, &UnitConnection::disconnected, [this] { ++disconnects; });
        // Whatever the run shows of itself, seen from the outside while it runs.
        QObject::connect(firm->PBar, &QProgressBar::valueChanged, [this](int value) {
            if (value > 0)
                startEnabledDuringRun |= firm->StarBut->isEnabled();
            if (onProgress)
                onProgress(value);
        });
    }

    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    void choose(const QByteArray &imageBytes, const QByteArray &loaderBytes)
    {
        image = imageBytes;
        loader = loaderBytes;
        firm->FirmPath->setText(writeFile("image.hex", image));
        firm->LoaderPath->setText(writeFile("CopyFlash_v2.hex", loader));
    }
    // Connects and reads the unit's identity, as the General window does,
    // then takes away what that wrote.
    void connectUnit()
    {
        ASSERT_TRUE(sim->connectUnit());
        ASSERT_TRUE(sim->unit.readInfo());
        sim->port->takeWritten();
    }
    QJsonArray streams() const { return sim->log.json().value("firmware").toArray(); }
    // How many frames of a command the unit has received.
    int received(const char *code) const
    {
        return sim->log.json().value("commands").toObject().value(QLatin1String(code)).toInt();
    }

    QTemporaryDir dir;
    SectionRegistry sections;
    ServiceHistory history{dir.filePath("history")};
    std::unique_ptr<SimulatedLink> sim;
    std::unique_ptr<Firm> firm;
    QByteArray image, loader;
    QStringList messages;
    QStringList questions;
    QList<QMessageBox::StandardButton> answers; // in turn; Yes when none is left
    QList<bool> treeLocks;
    int disconnects = 0;
    bool startEnabledDuringRun = false;
    std::function<void(int)> onProgress;
};

TEST_F(FirmTest, KeepsTheConfigurationThenSendsBothFilesWholeAndHandsTheUnitOver)
{
    make();
    connectUnit();
    choose(hexText(20000, 'A'), hexText(3000, 'L'));
    int eraseCommandsWhenKept = -1;
    QObject::connect(&sim->unit, &UnitConnection::historyRecorded,
                     [this, &eraseCommandsWhenKept] { eraseCommandsWhenKept = received("F0"); });
    firm->StarBut->click();

    ASSERT_TRUE(QTest::qWaitFor([this] { return streams().size() == 2; }, 5000)) << "the loader stream never ended";
    const QJsonArray logged = streams();
    EXPECT_EQ(logged.at(0)["part"].toString(), "image");
    EXPECT_EQ(logged.at(0)["length"].toInt(), image.size());
    EXPECT_EQ(logged.at(0)["sha256"].toString(), sha256(image));
    EXPECT_EQ(logged.at(1)["part"].toString(), "loader");
    EXPECT_EQ(logged.at(1)["length"].toInt(), loader.size());
    EXPECT_EQ(logged.at(1)["sha256"].toString(), sha256(loader));

    // One question naming the unit, both files with their sizes and the line time.
    ASSERT_EQ(questions.size(), 1) << qPrintable(questions.join("\n---\n"));
    for (const QString &part : {QStringLiteral("VS21-004217 (firmware 4.12)"),
                                QDir::toNativeSeparators(firm->FirmPath->text()) + QStringLiteral(": %1 bytes").arg(image.size()),
                                QDir::toNativeSeparators(firm->LoaderPath->text()) + QStringLiteral(": %1 bytes").arg(loader.size()),
                                QStringLiteral("0 min 01 s a 1000000 baudios")})
        EXPECT_TRUE(questions.at(0).contains(part)) << qPrintable(part) << "\n" << qPrintable(questions.at(0));
    // The configuration went into the history before the erase was asked for.
    EXPECT_EQ(eraseCommandsWhenKept, 0);
    EXPECT_EQ(received("F0"), 1);
    const QList<HistoryEntry> kept = history.entries(QStringLiteral("VS21-004217"));
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(kept.at(0).kind, HistoryKind::Read);

    EXPECT_EQ(firm->PBar->maximum(), image.size());
    EXPECT_EQ(firm->PBar->value(), image.size());
    EXPECT_FALSE(startEnabledDuringRun);
    EXPECT_EQ(treeLocks, (QList<bool>{true, false, true, false}));
    EXPECT_TRUE(firm->StarBut->isEnabled());
    EXPECT_TRUE(firm->FirmPath->isEnabled());
    EXPECT_EQ(disconnects, 1);
    EXPECT_FALSE(sim->unit.isConnected());
    EXPECT_EQ(firm->LabelInfo->text(), "Escribiendo imagen en flash, espere a que el led parpadee de nuevo...");
    EXPECT_EQ(messages, QStringList{kPowerWarning});
}

// The state line is shown again in the language chosen, while the update
// runs and after it, both ways.
TEST_F(FirmTest, TheStateFollowsALanguageChangeDuringAndAfterTheRun)
{
    QFile table(dir.filePath("Lang.txt"));
    ASSERT_TRUE(table.open(QIODevice::WriteOnly));
    table.write("{Espanol}{English}\r\n{Preparado}{Ready}\r\n{Cargando imagen...}{Loading the image...}\r\n"
                "{Escribiendo imagen en flash, espere a que el led parpadee de nuevo...}{Writing to flash...}\r\n");
    table.close();
    LangTable lang(table.fileName());
    ASSERT_TRUE(lang.Init());
    make({}, &lang);
    lang.selectLanguage(2);
    EXPECT_EQ(firm->LabelInfo->text(), "Ready");
    lang.selectLanguage(1);
    EXPECT_EQ(firm->LabelInfo->text(), "Preparado");

    connectUnit();
    choose(hexText(4000, 'A'), hexText(1000, 'L'));
    firm->BackupCheck->setChecked(false);
    QString during;
    onProgress = [&](int) {
        if (during.isEmpty()) {
            lang.selectLanguage(2);
            during = firm->LabelInfo->text();
        }
    };
    firm->StarBut->click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return streams().size() == 2; }, 5000));
    EXPECT_EQ(during, "Loading the image...");
    EXPECT_EQ(firm->LabelInfo->text(), "Writing to flash...");
    lang.selectLanguage(1);
    EXPECT_EQ(firm->LabelInfo->text(), "Escribiendo imagen en flash, espere a que el led parpadee de nuevo...");
    firm.reset();
    sim.reset();
}

TEST_F(FirmTest, RefusesBeforeSendingAnything)
{
    const QString loaderName = QStringLiteral("El nombre del archivo del cargador debe contener \"CopyFlash\"");
    const struct {
        const char *what;
        bool connected;
        const char *imageName;  // null: the path box stays empty
        const char *loaderName; // a file of that name is written unless it is "missing"
        QByteArray loaderBytes;
        QString message;
    } cases[] = {
        {"not connected", false, "image.hex", "CopyFlash.hex", "x", "Debe iniciar la comunicacion primero"},
        {"empty image path", true, nullptr, "CopyFlash.hex", "x", "Debe seleccionar la ruta de los dos archivos"},
        {"loader.hex", true, "image.hex", "loader.hex", "x", loaderName},
        {"copyflash in lower case", true, "image.hex", "copyflash.hex", "x", loaderName},
        {"image missing", true, "missing", "CopyFlash.hex", "x", "No se puede leer el archivo"},
        {"loader empty", true, "image.hex", "CopyFlash.hex", "", "No se puede leer el archivo"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        messages.clear();
        make();
        if (c.connected)
            connectUnit();
        if (c.imageName)
            firm->FirmPath->setText(QLatin1String(c.imageName) == QLatin1String("missing")
                                        ? dir.filePath("no-such-image.hex")
                                        : writeFile(c.imageName, hexText(100, 'A')));
        firm->LoaderPath->setText(writeFile(c.loaderName, c.loaderBytes));
        firm->StarBut->click();
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages.at(0).startsWith(c.message)) << qPrintable(messages.at(0));
        EXPECT_EQ(sim->port->writtenBytes(), QByteArray());
        EXPECT_EQ(firm->LabelInfo->text(), "Preparado");
    }
    EXPECT_TRUE(questions.isEmpty());
}

// More than the unit's flash takes, in records of 255 data bytes.
QByteArray oversizedImage()
{
    QByteArray text;
    for (qint64 data = 0; data <= kFirmwareFlashBytes; data += 255)
        text += hexRecord(0, quint16(data), QByteArray(255, 'F'));
    return text + hexRecord(1, 0, {});
}

TEST_F(FirmTest, RefusesFilesThatAreNotIntelHexWithTheLineAndReason)
{
    constexpr int kRecord = 45; // one 16-byte data record with its CR LF
    const QByteArray good = hexText(2000, 'A');
    QByteArray badChecksum = good;
    char &digit = badChecksum[kRecord * 3 - 3]; // the third record's checksum
    digit = digit == '0' ? '1' : '0';
    QRandomGenerator draw(11);
    QByteArray random(3000, '\0');
    for (char &b : random)
        b = char(draw.bounded(256));
    random[0] = '\x9c'; // whatever the draw, no start code
    const struct {
        const char *what;
        bool loaderSide;
        QByteArray bytes;
        QString told;
    } cases[] = {
        {"plain text", false, "Release notes\r\n", "Linea 1: no es un registro"},
        {"random bytes as the loader", true, random, "Linea 1: no es un registro"},
        {"bad checksum on one record", false, badChecksum, "Linea 3: la suma de comprobacion"},
        {"missing end record", true, good.left(kRecord * 10), "Linea 11: falta el registro de fin"},
        {"data after the end record", false, good + hexRecord(0, 0, "late"), "despues del registro de fin"},
        {"unknown record type", true, hexRecord(6, 0, "ab") + good, "Linea 1: tipo de registro desconocido"},
        {"empty file", false, "", "El archivo esta vacio"},
        {"oversized image", false, oversizedImage(), "no cabe en la flash"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        messages.clear();
        make();
        connectUnit();
        choose(c.loaderSide ? good : c.bytes, c.loaderSide ? c.bytes : good);
        firm->StarBut->click();

        ASSERT_EQ(messages.size(), 1);
        const QString path = c.loaderSide ? firm->LoaderPath->text() : firm->FirmPath->text();
        EXPECT_TRUE(messages.at(0).contains(QDir::toNativeSeparators(path))) << qPrintable(messages.at(0));
        EXPECT_TRUE(messages.at(0).contains(c.told)) << qPrintable(messages.at(0));
        EXPECT_EQ(sim->port->writtenBytes(), QByteArray());
        EXPECT_EQ(received("F0"), 0);
        EXPECT_EQ(firm->LabelInfo->text(), "Preparado");
    }
    EXPECT_TRUE(questions.isEmpty());
}

TEST_F(FirmTest, ConfirmationAnsweredNoSendsNothing)
{
    make();
    connectUnit();
    choose(hexText(2000, 'A'), hexText(500, 'L'));
    answers = {QMessageBox::No};
    firm->StarBut->click();
    EXPECT_EQ(questions.size(), 1);
    EXPECT_EQ(sim->port->writtenBytes(), QByteArray());
    EXPECT_TRUE(history.units().isEmpty());
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(firm->LabelInfo->text(), "Preparado");
}

TEST_F(FirmTest, FailedBackupStopsTheUpdateUnlessTheOperatorGoesOn)
{
    ServiceHistory blocked(writeFile("blocked", "a file where the folder should be"));
    const auto noDownload = [] {
        EngineSetup s;
        s.faults.drop.insert(QStringLiteral("42"), -1);
        return s;
    };
    const struct {
        const char *what;
        EngineSetup setup;
        bool historyBlocked;
        bool ticked;
        QMessageBox::StandardButton goOn;
        bool updated;
    } cases[] = {
        {"download fails, operator stops", noDownload(), false, true, QMessageBox::No, false},
        {"download fails, operator goes on", noDownload(), false, true, QMessageBox::Yes, true},
        {"history unwritable, operator stops", {}, true, true, QMessageBox::No, false},
        {"backup not ticked", {}, false, false, QMessageBox::No, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        messages.clear();
        questions.clear();
        make(c.setup);
        if (c.historyBlocked)
            sim->unit.keepHistory(&blocked);
        connectUnit();
        sim->comms.LinkTimeout = 20; // the dropped download fails quickly
        firm->BackupCheck->setChecked(c.ticked);
        choose(hexText(2000, 'A'), hexText(500, 'L'));
        answers = {QMessageBox::Yes, c.goOn};
        firm->StarBut->click();

        EXPECT_EQ(received("42") > 0, c.ticked);
        ASSERT_EQ(questions.size(), c.ticked ? 2 : 1);
        if (c.ticked)
            EXPECT_TRUE(questions.at(1).startsWith("No se pudo guardar la configuracion de la unidad en el historial"));
        EXPECT_EQ(received("F0"), c.updated ? 1 : 0);
        EXPECT_EQ(messages, c.updated ? QStringList{kPowerWarning} : QStringList{});
        if (!c.updated)
            EXPECT_EQ(firm->LabelInfo->text(), "Preparado");
        // A failed download leaves its trace in the unit's folder, but no copy.
        for (const QString &unit : history.units())
            EXPECT_TRUE(history.entries(unit).isEmpty()) << qPrintable(unit);
    }
}

TEST_F(FirmTest, UnitThatDoesNotConfirmAStepStopsTheRunThere)
{
    const auto noReady = [] {
        EngineSetup s;
        s.eraseDelayMs = 60000;
        return s;
    };
    const auto dropped = [](const char *code, int answers) {
        EngineSetup s;
        s.faults.drop.insert(QLatin1String(code), answers);
        return s;
    };
    const auto dotsStop = [](int after) {
        EngineSetup s;
        s.faults.dotsStopAfter = after;
        return s;
    };
    const struct {
        const char *what;
        EngineSetup setup;
        int imageLength;
        bool imageSent;
    } cases[] = {
        {"no #DWLD_ERASING", dropped("F0", 1), 2000, false},
        {"no #DWLD_READY", noReady(), 2000, false},
        {"no #DWLD_RAM_READY", dropped("F1", -1), 2000, true},
        {"dots stop after 4 000 image bytes", dotsStop(4000), 20000, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        messages.clear();
        make(c.setup);
        connectUnit();
        choose(hexText(c.imageLength, 'A'), hexText(3000, 'L'));
        firm->StarBut->click();

        EXPECT_EQ(firm->LabelInfo->text(), kErrorText);
        EXPECT_EQ(messages, QStringList{kErrorText});
        EXPECT_TRUE(sim->unit.isConnected());
        EXPECT_TRUE(firm->StarBut->isEnabled());
        const QByteArray written = sim->port->writtenBytes();
        EXPECT_EQ(written.contains(image.left(200)), c.imageSent);
        EXPECT_FALSE(written.contains(loader.left(200))) << "the loader went after the failure";
    }
    // The dots were checked once with success, and missed at the second check.
    EXPECT_GT(firm->PBar->value(), 2 * FirmwareTransfer::kCheckEvery);
    EXPECT_FALSE(sim->port->writtenBytes().contains(SimulatedLink::frame("#F1")));
}

TEST_F(FirmTest, ImageTooShortForTheCheckNeedsNoDots)
{
    EngineSetup setup;
    setup.faults.dotsStopAfter = 0;
    make(setup);
    connectUnit();
    choose(hexText(8000, 'A'), hexText(500, 'L'));
    firm->StarBut->click();
    EXPECT_EQ(messages, QStringList{kPowerWarning});
}

TEST_F(FirmTest, LinkGoneDuringAStreamEndsTheRunAsAFailure)
{
    const struct {
        const char *what;
        std::function<void()> arm;
        bool errorBox;
    } cases[] = {
        {"port lost in the image",
         [this] {
             onProgress = [this](int gone) {
                 if (gone > 5000)
                     sim->port->vanish(QStringLiteral("adapter pulled"));
             };
         },
         true},
        {"port lost in the loader",
         [this] {
             QObject::connect(sim->port, &FakeSerialPort::written, [this](const QByteArray &bytes) {
                 if (loader.startsWith(bytes))
                     sim->port->vanish(QStringLiteral("adapter pulled"));
             });
         },
         true},
        {"program closed in the image",
         [this] {
             onProgress = [this](int gone) {
                 if (gone > 5000)
                     sim->unit.shutdown();
             };
         },
         false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        messages.clear();
        onProgress = nullptr;
        make();
        connectUnit();
        choose(hexText(20000, 'A'), hexText(3000, 'L'));
        c.arm();
        firm->StarBut->click();

        EXPECT_EQ(firm->LabelInfo->text(), kErrorText);
        EXPECT_EQ(messages, c.errorBox ? QStringList{kErrorText} : QStringList{});
        EXPECT_FALSE(sim->unit.isConnected());
        EXPECT_TRUE(firm->StarBut->isEnabled());
        EXPECT_EQ(treeLocks.mid(treeLocks.size() - 2), (QList<bool>{true, false}));
    }
}

} // namespace
