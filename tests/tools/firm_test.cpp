#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include "../support/hextext.h"
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
    void make(EngineSetup setup = {})
    {
        firm.reset();
        sim = std::make_unique<SimulatedLink>(std::move(setup));
        firm = std::make_unique<Firm>(
            sim->unit, [this](bool locked) { treeLocks << locked; },
            [this](QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons) {
                messages << text;
                return QMessageBox::Ok;
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
    // Connects, then takes away what connecting wrote.
    void connectUnit()
    {
        ASSERT_TRUE(sim->connectUnit());
        sim->port->takeWritten();
    }
    QJsonArray streams() const { return sim->log.json().value("firmware").toArray(); }

    QTemporaryDir dir;
    std::unique_ptr<SimulatedLink> sim;
    std::unique_ptr<Firm> firm;
    QByteArray image, loader;
    QStringList messages;
    QList<bool> treeLocks;
    int disconnects = 0;
    bool startEnabledDuringRun = false;
    std::function<void(int)> onProgress;
};

TEST_F(FirmTest, SendsBothFilesWholeThenHandsTheUnitOver)
{
    make();
    connectUnit();
    choose(hexText(20000, 'A'), hexText(3000, 'L'));
    firm->StarBut->click();

    ASSERT_TRUE(QTest::qWaitFor([this] { return streams().size() == 2; }, 5000)) << "the loader stream never ended";
    const QJsonArray logged = streams();
    EXPECT_EQ(logged.at(0)["part"].toString(), "image");
    EXPECT_EQ(logged.at(0)["length"].toInt(), 20000);
    EXPECT_EQ(logged.at(0)["sha256"].toString(), sha256(image));
    EXPECT_EQ(logged.at(1)["part"].toString(), "loader");
    EXPECT_EQ(logged.at(1)["length"].toInt(), 3000);
    EXPECT_EQ(logged.at(1)["sha256"].toString(), sha256(loader));

    EXPECT_EQ(firm->PBar->maximum(), 20000);
    EXPECT_EQ(firm->PBar->value(), 20000);
    EXPECT_FALSE(startEnabledDuringRun);
    EXPECT_EQ(treeLocks, (QList<bool>{true, false}));
    EXPECT_TRUE(firm->StarBut->isEnabled());
    EXPECT_TRUE(firm->FirmPath->isEnabled());
    EXPECT_EQ(disconnects, 1);
    EXPECT_FALSE(sim->unit.isConnected());
    EXPECT_EQ(firm->LabelInfo->text(), "Escribiendo imagen en flash, espere a que el led parpadee de nuevo...");
    EXPECT_EQ(messages, QStringList{kPowerWarning});
}

TEST_F(FirmTest, RefusesBeforeSendingAnything)
{
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
        {"loader.hex", true, "image.hex", "loader.hex", "x", "Debe seleccionar la ruta de los dos archivos"},
        {"copyflash in lower case", true, "image.hex", "copyflash.hex", "x", "Debe seleccionar la ruta de los dos archivos"},
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
