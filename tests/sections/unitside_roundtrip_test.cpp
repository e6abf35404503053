// The unit's side of the upload against the tool's side, over every
// registered section: each line a configuration uploads is read by a unit,
// and what the unit then holds, and what it reports in a download, uploads
// the same lines again. A section registered later is covered by registering it.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "files/configfile.h"
#include "files/sectionregistry.h"
#include "link/devicevalues.h"
#include "model/configstore.h"
#include "sections/sectionlist.h"

namespace {

using Store = std::unique_ptr<ConfigStore>;

quint32 allFeatures()
{
    quint32 all = 0;
    for (const Feature::Named &flag : Feature::kNames)
        all |= flag.bit;
    return all;
}

struct FeatureSet {
    const char *name;
    quint32 flags;
};

const FeatureSet kFeatureSets[] = {
    {"no flags", 0},
    {"every flag", allFeatures()},
    {"mixed flags", Feature::RetrySettings | Feature::GprsSettings | Feature::MathChannels
                        | Feature::WideChannelMask | Feature::MonthlyTimers | Feature::PulseWeight},
};

struct UnitSideTest : ::testing::Test {
    UnitSideTest() { registerSections(registry); }

    Store cleared() const
    {
        auto store = std::make_unique<ConfigStore>();
        registry.clearAll(*store);
        return store;
    }

    Store rich() const
    {
        Store store = cleared();
        EXPECT_EQ(restoreConfigFile(QStringLiteral(VELKAN_TEST_DATA "/rich_config.qcf"), *store, registry),
                  RestoreResult::Restored);
        return store;
    }

    // The rich configuration with slots turned off and lists emptied.
    Store sparse() const
    {
        Store store = rich();
        store->CyclicTimers[1].Enabled = false;
        store->LongTimers[0].Enabled = false;
        store->Flow[0].Alarms[1].Enabled = false;
        store->Flow[0].Interface = 0;
        store->Digital[0].Alarms[0].Enabled = false;
        store->Flags[0].Alarms[0].Enabled = false;
        store->OneWire[0].Interface = OneWireProbe::kDisabled;
        store->Math[0].Interface = MathChannel::kDisabled;
        store->Macros.Rows.fill(QString());
        for (AuthorisedPhone &phone : store->General.Phones)
            phone.Number.clear();
        store->Gprs.GprsEnabled = false;
        store->Gprs.ApnServer.clear();
        return store;
    }

    // A unit after Clear that was sent `lines`; each must be read by a section.
    Store unitAfter(const QStringList &lines, quint32 features) const
    {
        Store unit = cleared();
        for (const QString &line : lines) {
            EXPECT_TRUE(registry.applyUploadLine(*unit, line, features))
                << "no section reads \"" << line.toStdString() << '"';
        }
        return unit;
    }

    // What the tool holds after downloading from `unit`.
    Store downloadedFrom(const ConfigStore &unit, quint32 features) const
    {
        Store fresh = cleared();
        DownloadState state;
        for (const QString &name : registry.names()) {
            for (const QString &line : registry.find(name)->downloadLines(unit, features))
                registry.readStreamLine(*fresh, state, QStringLiteral("#BD000") + line, features);
        }
        return fresh;
    }

    // The first line the two configurations upload differently, with its
    // section; empty when they upload the same lines.
    QString firstDifference(const ConfigStore &sent, const ConfigStore &other,
                            const UploadContext &context) const
    {
        for (const QString &name : SectionRegistry::uploadOrder()) {
            const SectionCore *core = registry.find(name);
            if (!core)
                continue;
            const QStringList expected = core->uploadLines(sent, context);
            const QStringList actual = core->uploadLines(other, context);
            for (qsizetype i = 0; i < std::max(expected.size(), actual.size()); ++i) {
                const QString want = i < expected.size() ? expected[i] : QStringLiteral("(no line)");
                const QString got = i < actual.size() ? actual[i] : QStringLiteral("(no line)");
                if (want != got)
                    return QStringLiteral("%1 line %2: sent \"%3\", gives \"%4\"").arg(name).arg(i).arg(want, got);
            }
        }
        return {};
    }

    // Every line the store gives the unit and the tool, to tell whether it changed.
    QStringList snapshot(const ConfigStore &store) const
    {
        QStringList lines = registry.uploadLines(store, UploadContext{allFeatures()});
        for (const QString &name : registry.names())
            lines += registry.find(name)->downloadLines(store, allFeatures());
        return lines;
    }

    SectionRegistry registry;
};

TEST_F(UnitSideTest, AUnitHoldsAndReportsWhatItWasSent)
{
    const std::pair<const char *, std::function<Store()>> configurations[] = {
        {"defaults", [&] { return cleared(); }},
        {"rich", [&] { return rich(); }},
        {"sparse", [&] { return sparse(); }},
    };
    for (const auto &[configName, make] : configurations) {
        const Store model = make();
        for (const FeatureSet &set : kFeatureSets) {
            SCOPED_TRACE(std::string(configName) + ", " + set.name);
            const UploadContext context{set.flags};
            const QStringList sent = registry.uploadLines(*model, context);
            const Store unit = unitAfter(sent, set.flags);
            EXPECT_EQ(firstDifference(*model, *unit, context).toStdString(), "") << "held by the unit";
            EXPECT_EQ(firstDifference(*model, *downloadedFrom(*unit, set.flags), context).toStdString(), "")
                << "downloaded from the unit";
        }
    }
}

// Lines a unit cannot take: a bad number, an item out of range, a missing
// field, a capability the unit lacks, a full list, an unknown line. Each is
// refused whole and leaves the unit as it was.
TEST_F(UnitSideTest, ALineThatDoesNotReadIsRefusedAndChangesNothing)
{
    const quint32 all = allFeatures();
    const quint32 legacy = all & ~quint32(Feature::ExtendedPhoneMask);
    const std::pair<QString, quint32> refused[] = {
        {"", all},
        {"HELLO", all},
        // General
        {"RETRYMAX=x", all},
        {"RETRYMAX= 3", 0},
        {"RETRYTIME= 999999999999", all},
        {"+TLF=,Prio=1,PRV1,MASKMODE0", all},
        {"+TLF=+34600000009,Prio=x,PRV1,MASKMODE0", all},
        {"+TLF=+34600000009,Prio=1,MASKMODE0", all},
        {"+TLF=+34600000009,Prio=1,PRV1,MASK= 21 22,MASKMODE1", all},
        {"+TLF=+34600000009,Prio=1,PRV1", all},
        {"+TLF=+34600000009,Prio=1,PRV1,Z9", legacy},
        // Macros
        {"MACRO={OUT0=1}", all},
        {"MACRO99999={OUT0=1}", all},
        {"MACRO3=OUT0=1", all},
        // Timers
        {"CT16= 10,EQ= 0,ACT=", all},
        {"CT3=x,EQ= 0,ACT=", all},
        {"CT3= 10,START=8:00:00,EQ= 0,ACT=", all},
        {"CT3= 10,EQ= 17,ACT=", all},
        {"CT3= 10,EQ= 0", all},
        {"CT3= 10,EQ= 0,ACT= 1 2 3 4 5 6 7 8 9", all},
        {"CT3= 10,EQ= 0,ACT= 0", all},
        {"-CT", all},
        {"-CT3x", all},
        {"WT2=25:00:00,WEEK=1111111,ACT=", all},
        {"WT2=8:00:00,WEEK=11111,ACT=", all},
        {"MT0=8:00:00,MASK= 1,ACT=", 0},
        {"LT0= 86400,ACT=,EXTRA", all},
        // Alarms
        {"+ALMD8=x,INDEX= 0,PC= 1,PO= 1,EQ= 0,ACTCLOSE=,ACTOPEN=", all},
        {"+ALMD0=x,INDEX= 4,PC= 1,PO= 1,EQ= 0,ACTCLOSE=,ACTOPEN=", all},
        {"+ALMD0=x,PC= 1,PO= 1,EQ= 0,ACTCLOSE=,ACTOPEN=", all},
        {"+ALMD0=x,INDEX= 0,PC=x,PO= 1,EQ= 0,ACTCLOSE=,ACTOPEN=", all},
        {"+ALMD0=x,INDEX= 0,PC= 1,PO= 1,EQ= 0,ACTCLOSE=", all},
        {"+ALMD0=x,INDEX= 0,PC= 1,PO= 1,EQ= 0,ACTCLOSE=,ACTOPEN=,LOUD", all},
        {"+ALMFLOW0=x,INDEX= 0,MAX= 1,MIN= 0,HIST= 0,P= 0,WEEK=1111111,EQ= 0,ACTHI=,ACTLO=,ACTNOM=", all},
        {"-ALMD0", all},
        {"-ALMD0,INDEX=x", all},
        {"-ALMF0,INDEX= 0", 0},
        {"-ALMM0,INDEX= 0", 0},
        // Channels
        {"DINAME8=Fallo", all},
        {"DINAME0=Puerta,NC", 0},
        {"DINAME=Puerta", all},
        {"FLOWCONF0=a,UNIT=u,TB=x,RATIO=1", all},
        {"FLOWCONF0=a,UNIT=u,TB= 60", all},
        {"FLOWCONF8=a,UNIT=u,TB=0,RATIO=1", all},
        {"TOTALRATIO0=x", all},
        {"TOTALRATIO8= 1", all},
        {"TOTALRATIO0= 1", 0},
        {"ONEWCONF4=a,UNIT=u,ONEWADD=0.0", all},
        {"ONEWCONF0=a,UNIT=u", all},
        {"ONEWCONF0=a,UNIT=u,ONEWADD=0.0,1WTEMP,1WHUM", all},
        {"DISONEW9", all},
        {"MCCONF0=a,UNIT=u,EQ=FL0", 0},
        {"DISMC4", all},
        // GPRS
        {"APNRETRIES=x", all},
        {"APNALCON=2", all},
        {"GPRSEN", 0},
        {"FTPIP=10.0.0.1", Feature::GprsSettings},
    };
    const Store unit = rich();
    const QStringList before = snapshot(*unit);
    for (const auto &[line, features] : refused) {
        SCOPED_TRACE(line.toStdString());
        EXPECT_FALSE(registry.applyUploadLine(*unit, line, features));
        ASSERT_EQ(snapshot(*unit), before);
    }

    // A full phone list and a full macro pool take nothing more.
    for (int slot = 0; slot < GeneralSettings::kUsedPhoneSlots; ++slot)
        unit->General.Phones[slot].Number = QStringLiteral("+3460000%1").arg(slot);
    for (int row = 0; row < MacroPool::kUploadedRows; ++row)
        unit->Macros.Rows[row] = QStringLiteral("MACRO%1={OUT0=1}").arg(row);
    const QStringList full = snapshot(*unit);
    EXPECT_FALSE(registry.applyUploadLine(*unit, "+TLF=+34600000099,Prio=1,PRV1,MASKMODE0", all));
    EXPECT_FALSE(registry.applyUploadLine(*unit, "MACRO50={OUT1=1}", all));
    EXPECT_EQ(snapshot(*unit), full);
}

} // namespace
