#include <gtest/gtest.h>

#include <QTimer>

#include "app/programwindows.h"
#include "files/inidocument.h"
#include "files/sectionregistry.h"
#include "link/comms.h"
#include "link/devicevalues.h"
#include "link/fakeserialport.h"
#include "link/unitconnection.h"
#include "model/configstore.h"
#include "sections/sectionlist.h"
#include "shell/editorregistry.h"
#include "shell/filecommands.h"
#include "shell/mainwindow.h"
#include "sim/fakeportunit.h"
#include "sim/unitengine.h"

namespace {

// The program's once-a-second rule: while a unit that cannot be a bus slave
// is connected, the bus settings a file brought are saved with the master role.
TEST(ModbusMasterTimer, ForcesTheMasterRoleOnlyForAConnectedUnitWithoutTheSlaveCapability)
{
    const quint32 otherFeatures = Feature::GprsSettings;
    const struct {
        const char *name;
        bool connect;
        quint32 features;
        QString savedMaster;
    } cases[] = {
        {"connected, no slave capability", true, otherFeatures, "True"},
        {"connected, slave capability", true, otherFeatures | Feature::ModbusSlave, "False"},
        {"not connected", false, otherFeatures, "False"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        UnitEngine engine(UnitState::defaults(), {});
        auto port = std::make_unique<FakeSerialPort>();
        FakePortUnit simulated(*port, engine);
        Comms comms(std::move(port));
        comms.timings = LinkTimings::fast();
        UnitConnection unit(comms);
        ConfigStore store;
        SectionRegistry sections;
        registerSections(sections);
        EditorRegistry windows;
        MainWindow main(windows);
        FileCommands files(store, sections, windows, &main);
        createWindows(windows, {unit, store, sections, files});
        main.adoptWindows(); // the windows go with the frame, not after the model they show
        if (c.connect)
            ASSERT_TRUE(unit.connectUnit({QStringLiteral("SIM"), false, {}}));
        unit.Device.DeviceFeatures = c.features;

        const SectionCore *modbus = sections.find(QStringLiteral("CONF_MODBUS"));
        ASSERT_NE(modbus, nullptr);
        IniDocument file;
        file.parse("[MODBUS]\r\nBAUD= 9600\r\nMASTER=False\r\nSLAVE_ADDRESS= 5\r\n");
        modbus->restore(store, file);

        auto *timer = windows.findChild<QTimer *>(QStringLiteral("ModbusMasterTimer"));
        ASSERT_NE(timer, nullptr);
        EXPECT_EQ(timer->interval(), 1000);
        EXPECT_TRUE(timer->isActive());
        QMetaObject::invokeMethod(timer, "timeout");

        IniDocument saved;
        modbus->save(store, saved);
        EXPECT_EQ(saved.readValue(QStringLiteral("MODBUS"), QStringLiteral("MASTER")), c.savedMaster);
    }
}

// Every window the program registers stands in the walks that reach it, so a
// misspelt name cannot silently leave one out.
TEST(ProgramWindows, EveryRegisteredWindowIsInTheWalks)
{
    Comms comms(std::make_unique<FakeSerialPort>());
    UnitConnection unit(comms);
    ConfigStore store;
    SectionRegistry sections;
    registerSections(sections);
    EditorRegistry windows;
    MainWindow main(windows);
    FileCommands files(store, sections, windows, &main);
    createWindows(windows, {unit, store, sections, files});
    main.adoptWindows();
    EXPECT_EQ(windows.nameFaults(), QStringList());
    EXPECT_EQ(sections.nameFaults(), QStringList());
}

} // namespace
