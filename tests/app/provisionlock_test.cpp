// A batch from the "Provisionar" window runs on the program's one connection,
// where the General window connects, and locks the tree as transfers do.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QJsonArray>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest/QTest>

#include "app/programwindows.h"
#include "files/configfile.h"
#include "files/langtable.h"
#include "files/sectionregistry.h"
#include "link/comms.h"
#include "link/fakeserialport.h"
#include "link/unitconnection.h"
#include "model/configstore.h"
#include "sections/general/connectionpanel.h"
#include "sections/general/generalwindow.h"
#include "sections/sectionlist.h"
#include "shell/editorregistry.h"
#include "shell/filecommands.h"
#include "shell/mainwindow.h"
#include "sim/configstream.h"
#include "sim/fakeportunit.h"
#include "sim/unitengine.h"
#include "sim/unitlog.h"
#include "tools/provisionwindow.h"

namespace {

// The unit the operator has connected is the first of the batch; the General
// window shows the connection the batch ended.
TEST(ProvisionWindowInProgram, AConnectedUnitIsWrittenWithTheTreeLocked)
{
    QStandardPaths::setTestModeEnabled(true);
    LangTable lang(QStringLiteral("no-such-folder/Lang.txt"));
    setLang(&lang);
    {
        UnitLog log;
        UnitEngine engine(UnitState::defaults(), ConfigStream::defaults(UnitState::defaults().features), {}, &log);
        auto *port = new FakeSerialPort;
        FakePortUnit host(*port, engine);
        Comms comms{std::unique_ptr<SerialPort>(port)};
        comms.timings = LinkTimings::fast();
        UnitConnection unit(comms);
        ConfigStore store;
        SectionRegistry sections;
        registerSections(sections);
        EditorRegistry windows;
        MainWindow main(windows);
        FileCommands files(store, sections, windows, &main);
        createWindows(windows, {unit, store, sections, files, [&main](bool locked) { main.lockTree(locked); }});
        main.adoptWindows();
        main.followTransfers(unit);
        windows.clearAll(store, sections);
        auto *general = qobject_cast<General *>(windows.editor(QStringLiteral("General")));
        general->connection()->TimerComms->stop();
        general->connection()->Puerto->setCurrentText(QStringLiteral("SIM"));
        int connects = 0;
        QObject::connect(&unit, &UnitConnection::connected, &main, [&connects] { ++connects; });

        QTemporaryDir dir;
        ASSERT_TRUE(saveConfigFile(dir.filePath("template.qcf"), store, sections));
        QFile table(dir.filePath("units.csv"));
        ASSERT_TRUE(table.open(QIODevice::WriteOnly));
        table.write("serial,name\nVS21-004217,Alpha\n");
        table.close();

        main.show();
        main.Tree_NodeClick(QStringLiteral("General"));
        ConnectionPanel &panel = *general->connection();
        panel.IniCom->click();
        panel.TimerComms_Timer();
        ASSERT_TRUE(unit.isConnected());
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
        EXPECT_EQ(panel.IniCom->text(), QStringLiteral("Iniciar comunicacion"));
    }
    setLang(nullptr);
}

} // namespace
