// The "Provisionar" window with two ports ticked, each with its own
// velkan-sim: the window runs velkan-cli workers and follows them.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest/QTest>
#include <memory>
#include <vector>

#include "../support/pseudoterminal.h"
#include "files/configfile.h"
#include "files/langtable.h"
#include "files/sectionregistry.h"
#include "link/comms.h"
#include "link/qtserialport.h"
#include "link/simulatedunit.h"
#include "link/unitconnection.h"
#include "model/configstore.h"
#include "sections/sectionlist.h"
#include "tools/provisionwindow.h"

namespace {

constexpr int kRunMs = 60000; // a loaded machine; the tests wait on conditions

class ProvisionWindowSim : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QFileInfo::exists(SimulatedUnit::defaultProgram()))
            GTEST_SKIP() << "velkan-sim is not built next to the tests";
        if (!pseudoTerminalsWork())
            GTEST_SKIP() << "pseudo-terminals are not available";
        ASSERT_TRUE(dir.isValid());
        setLang(&lang);
        // The workers keep their history copies here, not in the user's folder.
        savedDataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", path("data").toLocal8Bit());
        registerSections(sections);
        ConfigStore store;
        sections.clearAll(store);
        ASSERT_TRUE(saveConfigFile(path("template.qcf"), store, sections));
        window = std::make_unique<ProvisionWindow>(
            unit, sections, [] { return ConnectRequest{QStringLiteral("/dev/no-such-port")}; },
            [this](bool locked) { locks << locked; },
            [this](QMessageBox::Icon, const QString &text, QMessageBox::StandardButtons) {
                shown << text;
                return QMessageBox::Ok;
            });
        window->PlantillaPath->setText(path("template.qcf"));
        window->InformePath->setText(path("report.csv"));
    }

    void TearDown() override
    {
        window.reset();
        setLang(nullptr);
        qputenv("XDG_DATA_HOME", savedDataHome);
    }

    QString path(const QString &name) const { return dir.filePath(name); }

    void useTable(const QByteArray &csv)
    {
        QFile file(path("units.csv"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(csv);
        file.close();
        window->TablaPath->setText(path("units.csv"));
        window->reload();
        ASSERT_EQ(window->Faltas->topLevelItemCount(), 0);
    }

    // A unit reached as `port` in the test's folder, logging what it receives.
    void startUnit(const QString &serial, const QString &port, const QStringList &extra = {})
    {
        auto &sim = *units.emplace_back(std::make_unique<SimulatedUnit>());
        sim.setArguments(QStringList{"--serial", serial, "--link", path(port), "--log", path(port + ".json")} + extra);
        ASSERT_TRUE(sim.start()) << qPrintable(sim.errorString());
    }

    // The names the unit on `port` was sent, one per upload; read once its simulator ended.
    QStringList namesSent(const QString &port) const
    {
        QFile file(path(port + ".json"));
        QStringList names;
        if (!file.open(QIODevice::ReadOnly))
            return names;
        for (const QJsonValue &upload : QJsonDocument::fromJson(file.readAll())["uploads"].toArray())
            for (const QString &line : upload["lines"].toVariant().toStringList())
                if (line.contains("Alpha") || line.contains("Beta") || line.contains("Gamma"))
                    names << line;
        return names;
    }

    static QStringList rowsOf(const QTreeWidget *list)
    {
        QStringList rows;
        for (int r = 0; r < list->topLevelItemCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < list->columnCount(); ++c)
                cells << QFileInfo(list->topLevelItem(r)->text(c)).fileName(); // ports by their name
            rows << cells.join(u'|');
        }
        return rows;
    }

    QStringList reportRows() const
    {
        QFile file(path("report.csv"));
        QStringList rows;
        if (file.open(QIODevice::ReadOnly))
            for (const QString &line : QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts).mid(1))
                rows << line.section(',', 1, 2);
        rows.sort();
        return rows;
    }

    QTemporaryDir dir;
    QByteArray savedDataHome;
    LangTable lang{QStringLiteral("no-such-folder/Lang.txt")};
    SectionRegistry sections;
    Comms comms{std::make_unique<QtSerialPort>()};
    UnitConnection unit{comms};
    std::vector<std::unique_ptr<SimulatedUnit>> units;
    QList<bool> locks;
    QStringList shown;
    std::unique_ptr<ProvisionWindow> window;
};

// Two ports, one ticked from the list and one typed: each unit is written on
// its own port with its own row, the queue shows where, and the run ends by
// itself once the table is done. The click returns at once: the window waits
// on no link while the workers run.
TEST_F(ProvisionWindowSim, TwoPortsWriteTwoUnitsAtOnce)
{
    useTable("serial,name\nVS-1,Alpha\nVS-2,Beta\n");
    startUnit("VS-1", "p1");
    startUnit("VS-2", "p2");
    window->addPort(path("p1"), true);
    window->PuertoNuevo->setText(path("p2"));
    window->AgregarPuerto->click();
    ASSERT_EQ(window->chosenPorts(), QStringList({path("p1"), path("p2")}));

    window->Iniciar->click();
    EXPECT_TRUE(window->isRunning());
    EXPECT_FALSE(window->Iniciar->isEnabled());
    EXPECT_TRUE(window->Detener->isEnabled());
    EXPECT_FALSE(window->Puertos->isEnabled());
    EXPECT_EQ(locks, QList<bool>({true}));

    QTRY_VERIFY_WITH_TIMEOUT(!window->isRunning(), kRunMs);
    EXPECT_EQ(rowsOf(window->Cola), QStringList({"VS-1|Alpha|aplicada|0|p1", "VS-2|Beta|aplicada|0|p2"}));
    EXPECT_EQ(rowsOf(window->Puertos), QStringList({"p1|Terminado", "p2|Terminado"}));
    EXPECT_EQ(window->Estado->text(), "Provision terminada: cada unidad escrita quedo aplicada");
    EXPECT_EQ(locks, QList<bool>({true, false}));
    EXPECT_TRUE(window->Iniciar->isEnabled());
    EXPECT_TRUE(window->Puertos->isEnabled());
    EXPECT_EQ(shown, QStringList());
    EXPECT_EQ(reportRows(), QStringList({"VS-1,applied", "VS-2,applied"}));
    EXPECT_EQ(QDir(path("data/velkan-sarn/history/VS-1")).entryList(QDir::Files).size(), 1);

    for (auto &sim : units)
        sim->stop();
    EXPECT_EQ(namesSent("p1").size(), 1);
    EXPECT_TRUE(namesSent("p1").value(0).contains("Alpha"));
    EXPECT_EQ(namesSent("p2").size(), 1);
    EXPECT_TRUE(namesSent("p2").value(0).contains("Beta"));
}

// "Detener" while both ports write: each port finishes its unit, and none
// takes the next one.
TEST_F(ProvisionWindowSim, StopEndsEveryPortAfterItsCurrentUnit)
{
    useTable("serial,name\nVS-1,Alpha\nVS-2,Beta\nVS-3,Gamma\n");
    // Slow answers keep both writes going while the test looks.
    startUnit("VS-1", "p1", {"--slow", "20"});
    startUnit("VS-2", "p2", {"--slow", "20"});
    window->addPort(path("p1"), true);
    window->addPort(path("p2"), true);
    window->Iniciar->click();

    const auto status = [this](int row) { return window->Cola->topLevelItem(row)->text(2); };
    QTRY_VERIFY_WITH_TIMEOUT(status(0) == "escribiendo" && status(1) == "escribiendo", kRunMs);
    window->Detener->click();
    EXPECT_FALSE(window->Detener->isEnabled());
    EXPECT_EQ(window->Estado->text(), "Se detendra al terminar la unidad en curso");

    QTRY_VERIFY_WITH_TIMEOUT(!window->isRunning(), kRunMs);
    EXPECT_EQ(rowsOf(window->Cola),
              QStringList({"VS-1|Alpha|aplicada|0|p1", "VS-2|Beta|aplicada|0|p2", "VS-3|" + window->Cola->topLevelItem(2)->text(1) + "|pendiente||"}));
    EXPECT_EQ(reportRows(), QStringList({"VS-1,applied", "VS-2,applied"}));
    EXPECT_EQ(locks, QList<bool>({true, false}));
}

// One serial on both ports at once is written on one of them: the refusal on
// the other never shows over the write, and the row ends applied on its port.
TEST_F(ProvisionWindowSim, ASerialOnBothPortsShowsWhereItWasWritten)
{
    useTable("serial,name\nVS-1,Alpha\n");
    startUnit("VS-1", "p1", {"--slow", "20"});
    startUnit("VS-1", "p2", {"--slow", "20"});
    window->addPort(path("p1"), true);
    window->addPort(path("p2"), true);
    QStringList shownStates;
    QObject::connect(window->Cola, &QTreeWidget::itemChanged, window.get(), [&](QTreeWidgetItem *item, int column) {
        if (column == 2 && shownStates.value(shownStates.size() - 1) != item->text(2))
            shownStates << item->text(2);
    });
    window->Iniciar->click();
    QTRY_VERIFY_WITH_TIMEOUT(!window->isRunning(), kRunMs);
    EXPECT_EQ(shownStates, QStringList({"pendiente", "escribiendo", "aplicada"}));

    EXPECT_EQ(reportRows(), QStringList({"VS-1,applied", "VS-1,skipped"}));
    ASSERT_EQ(window->Cola->topLevelItemCount(), 1);
    const QString row = rowsOf(window->Cola).first();
    EXPECT_TRUE(row == "VS-1|Alpha|aplicada|0|p1" || row == "VS-1|Alpha|aplicada|0|p2") << qPrintable(row);
    EXPECT_EQ(window->Estado->text(), "Provision terminada: hay unidades que no quedaron aplicadas");
}

} // namespace
