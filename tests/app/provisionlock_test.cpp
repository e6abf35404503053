// A batch from the "Provisionar" window runs on the program's one connection,
// where the General window connects, and locks the tree as transfers do.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTreeWidget>

#include "files/configfile.h"
#include "simulatedprogram.h"
#include "tools/provisionwindow.h"

namespace {

class ProvisionWindowInProgram : public SimulatedProgramTest {};

// The unit the operator has connected is the first of the batch; the General
// window shows the connection the batch ended.
TEST_F(ProvisionWindowInProgram, AConnectedUnitIsWrittenWithTheTreeLocked)
{
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir dir;
    ASSERT_TRUE(saveConfigFile(dir.filePath("template.qcf"), store, sections));
    QFile table(dir.filePath("units.csv"));
    ASSERT_TRUE(table.open(QIODevice::WriteOnly));
    table.write("serial,name\nVS21-004217,Alpha\n");
    table.close();
    int connects = 0;
    QObject::connect(&unit, &UnitConnection::connected, &main, [&connects] { ++connects; });

    main.show();
    main.Tree_NodeClick(QStringLiteral("General"));
    connectUnit();
    main.Tree_NodeClick(QStringLiteral("Provisionar"));
    auto *window = qobject_cast<ProvisionWindow *>(windows.window(QStringLiteral("Provisionar")));
    ASSERT_TRUE(window && window->isVisible());
    window->PlantillaPath->setText(dir.filePath("template.qcf"));
    window->TablaPath->setText(dir.filePath("units.csv"));
    window->reload();

    QList<bool> treeWhileWriting;
    QObject::connect(&unit, &UnitConnection::transferChanged, &main, [&](TransferKind kind) {
        if (kind != TransferKind::Upload)
            return;
        treeWhileWriting << main.tree()->isEnabled();
        main.Tree_NodeClick(QStringLiteral("General"));
    });
    window->Iniciar->click();

    EXPECT_EQ(treeWhileWriting, QList<bool>({false}));
    EXPECT_TRUE(window->isVisible()) << "a node click during the write must not leave the window";
    EXPECT_TRUE(main.tree()->isEnabled());
    EXPECT_EQ(window->Cola->topLevelItem(0)->text(2), QStringLiteral("aplicada"));
    EXPECT_EQ(log.json()[QLatin1String("uploads")].toArray().size(), 1);
    EXPECT_EQ(connects, 1);
    EXPECT_FALSE(unit.isConnected());
    EXPECT_EQ(panel().IniCom->text(), QStringLiteral("Iniciar comunicacion"));
}

} // namespace
