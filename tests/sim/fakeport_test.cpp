#include <gtest/gtest.h>

#include "files/sectionregistry.h"
#include "link/comms.h"
#include "link/devicecommands.h"
#include "link/fakeserialport.h"
#include "link/unitconnection.h"
#include "model/configstore.h"
#include "sections/sectionlist.h"
#include "sim/configstream.h"
#include "sim/fakeportunit.h"
#include "sim/unitengine.h"

namespace {

// The link's own code against the engine, in memory: a modem call with its
// key, the identity stream, and a slow answer that still comes in time.
TEST(FakePortUnitTest, ServesTheLinkThroughTheInMemoryPort)
{
    EngineSetup setup;
    setup.modem = true;
    setup.dialDelayMs = 50;
    setup.faults.slowMs = 150;
    UnitEngine engine(UnitState::defaults(), {QStringLiteral("DNAME,Tank3")}, setup);
    auto port = std::make_unique<FakeSerialPort>();
    FakePortUnit unit(*port, engine);
    Comms comms(std::move(port));
    UnitConnection connection(comms);
    connection.askPassWord = [] { return QStringLiteral("1234"); };

    ASSERT_TRUE(connection.connectUnit({QStringLiteral("SIM"), false, QStringLiteral("600123456")}));
    connection.readInfo();
    EXPECT_EQ(connection.Device.SerialNumber, UnitState::defaults().serialNumber);
    EXPECT_TRUE(SetTotalCNT(comms, 4, 77));
    EXPECT_EQ(engine.state().counters.value(4), 77);
}

} // namespace

namespace {

// The default configuration, downloaded by the link and parsed by the section
// cores, reads back the same phones whichever mask form the unit uses.
TEST(FakePortUnitTest, DefaultConfigurationDownloadsInEveryPhoneMaskForm)
{
    const quint32 base = UnitState::defaults().features
                         & ~(Feature::ExtendedPhoneMask | Feature::WideChannelMask);
    for (const quint32 features : {base | Feature::ExtendedPhoneMask, base | Feature::WideChannelMask, base}) {
        SCOPED_TRACE(features);
        UnitState state = UnitState::defaults();
        state.features = features;
        UnitEngine engine(state, ConfigStream::defaults(features));
        auto port = std::make_unique<FakeSerialPort>();
        FakePortUnit unit(*port, engine);
        Comms comms(std::move(port));
        UnitConnection connection(comms);
        ASSERT_TRUE(comms.port().open(QStringLiteral("SIM")));
        connection.readInfo();
        ASSERT_EQ(connection.Device.DeviceFeatures, features);

        SectionRegistry sections;
        registerSections(sections);
        ConfigStore store;
        ASSERT_TRUE(connection.download(store, sections));
        EXPECT_EQ(store.General.UnitName, QStringLiteral("Deposito Norte"));
        EXPECT_EQ(store.General.ResendMinutes, 10);
        const AuthorisedPhone &open = store.General.Phones[0];
        EXPECT_EQ(open.Number, QStringLiteral("+34600123456"));
        EXPECT_EQ(open.MaskMode, 0);
        const AuthorisedPhone &masked = store.General.Phones[1];
        EXPECT_EQ(masked.MaskMode, 1);
        EXPECT_EQ(masked.Mask[0], 21); // DI0
        EXPECT_EQ(masked.Mask[1], 22); // DI1
        EXPECT_EQ(masked.Mask[2], AuthorisedPhone::kEmptySlot);
    }
}

} // namespace
