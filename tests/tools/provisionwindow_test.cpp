#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include "files/configfile.h"
#include "files/sectionregistry.h"
#include "model/configstore.h"
#include "sections/sectionlist.h"
#include "sim/configstream.h"
#include "simulatedlink.h"
#include "tools/provisionwindow.h"

namespace {

// The window over the simulated unit (serial VS21-004217), with a template of
// a cleared configuration and the history in the test's folder.
class ProvisionWindowTest : public ::testing::Test {
protected:
    ProvisionWindowTest()
        : link({}, ConfigStream::defaults(UnitState::defaults().features)), history(path("history"))
    {
        QStandardPaths::setTestModeEnabled(true);
        registerSections(sections);
        link.unit.keepHistory(&history);
        ConfigStore store;
        sections.clearAll(store);
        EXPECT_TRUE(saveConfigFile(path("template.qcf"), store, sections));
        window = std::make_unique<ProvisionWindow>(
            link.unit, sections, [this] { return request; },
            [this](bool locked) { locks << locked; },
            [this](QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons) {
                shown << text;
                return QMessageBox::Ok;
            });
        window->PlantillaPath->setText(path("template.qcf"));
    }

    QString path(const QString &name) const { return dir.filePath(name); }

    void chooseTable(const QByteArray &csv)
    {
        QFile file(path("units.csv"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(csv);
        file.close();
        window->askOpenPath = [this](const QString &) { return path("units.csv"); };
        window->TablaBut_Click();
    }

    static QStringList rowsOf(const QTreeWidget *list)
    {
        QStringList rows;
        for (int r = 0; r < list->topLevelItemCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < list->columnCount(); ++c)
                cells << list->topLevelItem(r)->text(c);
            rows << cells.join(u'|');
        }
        return rows;
    }

    void waitForTheSecondUnit();

    QTemporaryDir dir;
    ConnectRequest request{QStringLiteral("SIM")}; // as the General window would connect
    SimulatedLink link;
    ServiceHistory history;
    SectionRegistry sections;
    QList<bool> locks;
    QStringList shown;
    std::unique_ptr<ProvisionWindow> window;
};

// The faults of a table are listed by row and column and keep Start off;
// once the table is right the queue shows each unit with its name, and the
// report is offered beside the table. Nothing starts over a modem, nor with
// a template that is no configuration file.
TEST_F(ProvisionWindowTest, NothingStartsWithAFaultOrOverAModem)
{
    chooseTable("serial;name;colour\nVS21-004217;Alpha;red\nVS21-004217;Beta;\n");
    EXPECT_EQ(rowsOf(window->Faltas), QStringList({"1|3|Columna desconocida \"colour\"",
                                                    "3|1|El numero de serie VS21-004217 ya esta en la fila 2"}));
    EXPECT_FALSE(window->Iniciar->isEnabled());
    // Each row of the table is in the queue, a repeated serial too.
    EXPECT_EQ(window->Cola->topLevelItemCount(), 2);

    chooseTable("serial;name\nVS21-004217;Alpha\nVS-2;\n");
    EXPECT_EQ(rowsOf(window->Faltas), QStringList());
    EXPECT_TRUE(window->Iniciar->isEnabled());
    // An empty cell keeps the template's name.
    const QString templateName = window->Cola->topLevelItem(1)->text(1);
    EXPECT_EQ(rowsOf(window->Cola),
              QStringList({"VS21-004217|Alpha|pendiente||", "VS-2|" + templateName + "|pendiente||"}));
    EXPECT_EQ(QDir::fromNativeSeparators(window->InformePath->text()), path("units-report.csv"));
    // A report named without extension gets the table's.
    window->askReportPath = [this](const QString &, const QString &) { return path("informe"); };
    window->InformeBut_Click();
    EXPECT_EQ(QDir::fromNativeSeparators(window->InformePath->text()), path("informe.csv"));

    // A batch is written over the cable: the same number would be called for every unit.
    request.modemNumber = QStringLiteral("600111001");
    window->Iniciar->click();
    EXPECT_EQ(shown, QStringList({"Las unidades se escriben por cable: desmarque Modem en la ventana General"}));
    EXPECT_FALSE(link.unit.isConnected());
    // Nor on the simulated unit, which each unit's disconnect would end and
    // each look for the next one start again.
    request = ConnectRequest{{}, true, {}};
    shown.clear();
    window->Iniciar->click();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown.first().contains("no la unidad simulada")) << qPrintable(shown.first());
    EXPECT_FALSE(link.unit.isConnected());

    window->PlantillaPath->setText(path("missing.qcf"));
    window->reload();
    ASSERT_EQ(window->Faltas->topLevelItemCount(), 1);
    EXPECT_TRUE(window->Faltas->topLevelItem(0)->text(2).startsWith("No es un archivo de configuracion valido"));
    EXPECT_FALSE(window->Iniciar->isEnabled());
}

// "Detener" pressed while the unit is being written ends the run after that
// unit: it holds its row, the queue and the report say so, and the next unit
// stays pending. The tree is locked for the run, and given back.
TEST_F(ProvisionWindowTest, StopDuringAnUploadEndsAfterThatUnit)
{
    chooseTable("serial,name\nVS21-004217,Alpha\nVS-2,Beta\n");
    QList<bool> lockedWhileWriting;
    QObject::connect(&link.unit, &UnitConnection::transferChanged, window.get(), [&](TransferKind kind) {
        if (kind != TransferKind::Upload)
            return;
        lockedWhileWriting << locks.value(locks.size() - 1);
        window->Detener->click();
    });
    window->Iniciar->click();

    EXPECT_EQ(lockedWhileWriting, QList<bool>({true}));
    EXPECT_EQ(locks, QList<bool>({true, false}));
    EXPECT_FALSE(link.unit.isConnected());
    EXPECT_EQ(rowsOf(window->Cola), QStringList({"VS21-004217|Alpha|aplicada|0|SIM", "VS-2|Beta|pendiente||"}));
    EXPECT_TRUE(window->Iniciar->isEnabled());
    EXPECT_FALSE(window->Detener->isEnabled());
    EXPECT_EQ(window->Estado->text(), "Provision terminada: cada unidad escrita quedo aplicada");
    EXPECT_EQ(shown, QStringList());

    const QJsonArray uploads = link.log.json()[QLatin1String("uploads")].toArray();
    ASSERT_EQ(uploads.size(), 1);
    EXPECT_TRUE(uploads.first()[QLatin1String("lines")].toVariant().toStringList().join(u'\n').contains("Alpha"));

    QFile report(path("units-report.csv"));
    ASSERT_TRUE(report.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(report.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    const QStringList cells = lines.at(1).split(u',');
    ASSERT_EQ(cells.size(), 6) << qPrintable(lines.at(1));
    EXPECT_EQ(cells.mid(1, 3), QStringList({"VS21-004217", "applied", "0"}));
    EXPECT_TRUE(QFile::exists(cells.at(4))) << qPrintable(cells.at(4));

    // Read again, the queue shows what the report has as applied.
    window->reload();
    EXPECT_EQ(window->Cola->topLevelItem(0)->text(2), "aplicada");
}

// A table of two units where the report has the connected one applied: the
// run skips it and waits for the other.
void ProvisionWindowTest::waitForTheSecondUnit()
{
    chooseTable("serial\nVS21-004217\nVS-2\n");
    QFile report(path("units-report.csv"));
    ASSERT_TRUE(report.open(QIODevice::WriteOnly));
    report.write("time,serial,status,differences,history,detail\n2026-12-10T09:00:00Z,VS21-004217,applied,0,,\n");
    report.close();
    window->reload();
}

// A waiting run ends on "Detener", with the operator told to connect the
// next unit; a unit the report has as applied is skipped.
TEST_F(ProvisionWindowTest, AWaitingRunEndsOnStop)
{
    waitForTheSecondUnit();

    QStringList told;
    QObject::connect(&link.unit, &UnitConnection::disconnected, window.get(), [&] {
        told << window->Estado->text();
        if (told.size() == 2)
            window->Detener->click();
    });
    window->Iniciar->click();

    ASSERT_EQ(told.size(), 2);
    EXPECT_EQ(told.at(1), "Unidad VS21-004217 terminada. Conecte la siguiente unidad en SIM.");
    const QString name = window->Cola->topLevelItem(0)->text(1);
    EXPECT_EQ(rowsOf(window->Cola),
              QStringList({"VS21-004217|" + name + "|omitida||SIM", "VS-2|" + name + "|pendiente||"}));
    EXPECT_EQ(window->Cola->topLevelItem(0)->toolTip(2), "applied before");
    EXPECT_TRUE(link.log.json()[QLatin1String("uploads")].toArray().isEmpty());
}

// The program quitting while a run waits for the next unit ends the run,
// instead of looking for a unit again and again with waits that return at once.
TEST_F(ProvisionWindowTest, TheProgramQuittingEndsAWaitingRun)
{
    waitForTheSecondUnit();
    int looks = 0;
    QObject::connect(&link.unit, &UnitConnection::infoChanged, window.get(), [&] {
        if (++looks == 100)
            window->Detener->click(); // the run would not end by itself
    });
    int disconnects = 0;
    QObject::connect(&link.unit, &UnitConnection::disconnected, window.get(), [&] {
        if (++disconnects == 2)
            QCoreApplication::exit();
    });
    QTimer::singleShot(0, window->Iniciar, &QPushButton::click);
    QCoreApplication::exec();

    EXPECT_EQ(disconnects, 2);
    EXPECT_LT(looks, 100);
    EXPECT_TRUE(window->Iniciar->isEnabled());
}

} // namespace
