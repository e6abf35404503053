#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "app/programwindows.h"
#include "files/inidocument.h"
#include "files/sectionregistry.h"
#include "link/comms.h"
#include "link/devicevalues.h"
#include "link/fakeserialport.h"
#include "link/unitconnection.h"
#include "model/configstore.h"
#include "model/product.h"
#include "sections/sectionlist.h"
#include "shell/editorregistry.h"
#include "shell/filecommands.h"
#include "shell/mainwindow.h"
#include "sim/fakeportunit.h"
#include "sim/unitengine.h"

namespace {

// While a unit that cannot be a bus slave is connected, the bus settings a
// file brought are saved with the master role once the unit's identity
// arrives (on connecting and at each poll), or at once when the file is opened.
TEST(ModbusMaster, ForcedOnlyForAConnectedUnitWithoutTheSlaveCapability)
{
    const quint32 otherFeatures = Feature::GprsSettings;
    enum class Brought { ByRestore, ByOpen };
    const struct {
        const char *name;
        bool connect;
        quint32 features;
        Brought brought;
        QString savedMaster;
    } cases[] = {
        {"connected, no slave capability, identity polled", true, otherFeatures, Brought::ByRestore, "True"},
        {"connected, no slave capability, file opened", true, otherFeatures, Brought::ByOpen, "True"},
        {"connected, slave capability", true, otherFeatures | Feature::ModbusSlave, Brought::ByRestore, "False"},
        {"connected, slave capability, file opened", true, otherFeatures | Feature::ModbusSlave, Brought::ByOpen,
         "False"},
        {"not connected", false, otherFeatures, Brought::ByRestore, "False"},
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
        const QByteArray busSettings = "[MODBUS]\r\nBAUD= 9600\r\nMASTER=False\r\nSLAVE_ADDRESS= 5\r\n";
        if (c.brought == Brought::ByOpen) {
            QTemporaryDir dir;
            QFile file(dir.filePath(QStringLiteral("bus.qcf")));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("[General]\r\nVERSION=" + Product::ProductKey.toLatin1() + "\r\n" + busSettings);
            file.close();
            files.warn = [](const QString &) {};
            ASSERT_TRUE(files.openFile(file.fileName()));
        } else {
            IniDocument file;
            file.parse(busSettings);
            modbus->restore(store, file);
            emit unit.infoChanged();
        }

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
