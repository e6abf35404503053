#include <gtest/gtest.h>

#include <QDir>
#include <QJsonArray>

#include "files/sectionregistry.h"
#include "link/comms.h"
#include "link/fakeserialport.h"
#include "link/unitconnection.h"
#include "model/configstore.h"
#include "sections/sectionlist.h"
#include "sim/configstream.h"
#include "sim/fakeportunit.h"
#include "sim/unitengine.h"
#include "sim/unitlog.h"

namespace {

quint32 everyFeature()
{
    quint32 all = 0;
    for (const Feature::Named &named : Feature::kNames)
        all |= named.bit;
    return all;
}

// A configuration with something in every section: the unit-line fixtures,
// read as a download reads them.
ConfigStore richConfiguration(const SectionRegistry &sections, quint32 features)
{
    ConfigStore store;
    sections.clearAll(store);
    DownloadState state;
    const QStringList files = QDir(QStringLiteral(VELKAN_TEST_DATA)).entryList({QStringLiteral("*_unit_lines.txt")});
    for (const QString &name : files) {
        QStringList lines;
        EXPECT_TRUE(ConfigStream::fromLinesFile(QStringLiteral(VELKAN_TEST_DATA "/") + name, lines));
        for (const QString &line : std::as_const(lines))
            sections.readStreamLine(store, state, QStringLiteral("#BD000") + line, features);
    }
    return store;
}

// The upload lines of the first upload that no section of the unit read.
QStringList notUnderstood(const UnitLog &log)
{
    const QJsonArray uploads = log.json().value(QStringLiteral("uploads")).toArray();
    QStringList lines;
    for (const QJsonValue &line : uploads.first()[QStringLiteral("notUnderstood")].toArray())
        lines << line.toString();
    return lines;
}

// A unit on the in-memory port that starts with the default configuration.
struct MemoryUnit {
    explicit MemoryUnit(quint32 features, EngineSetup setup = {})
        : engine(stateWith(features), ConfigStream::defaults(features), std::move(setup), &log)
    {
        auto fake = std::make_unique<FakeSerialPort>();
        host = std::make_unique<FakePortUnit>(*fake, engine);
        comms = std::make_unique<Comms>(std::move(fake));
        comms->timings = LinkTimings::fast();
        connection = std::make_unique<UnitConnection>(*comms);
    }
    static UnitState stateWith(quint32 features)
    {
        UnitState state = UnitState::defaults();
        state.features = features;
        return state;
    }

    UnitLog log;
    UnitEngine engine;
    std::unique_ptr<FakePortUnit> host;
    std::unique_ptr<Comms> comms;
    std::unique_ptr<UnitConnection> connection;
};

// The strongest round trip a section has: model, upload, unit, download,
// model. Over what the stream carries, the two models upload the same lines,
// and the unit reads every line it was sent.
TEST(UnitMemoryTest, WhatIsUploadedIsWhatTheNextDownloadGives)
{
    SectionRegistry sections;
    registerSections(sections);
    for (const quint32 features : {UnitState::defaults().features, everyFeature(), 0u}) {
        SCOPED_TRACE(features);
        MemoryUnit unit(features);
        ASSERT_TRUE(unit.connection->connectUnit({QStringLiteral("SIM"), false, {}}));
        unit.connection->readInfo();
        const ConfigStore sent = richConfiguration(sections, features);
        ASSERT_TRUE(unit.connection->upload(sent, sections));

        ConfigStore held;
        ASSERT_TRUE(unit.connection->download(held, sections));
        const UploadContext context{features};
        const QStringList sentLines = sections.uploadLines(sent, context);
        const QStringList heldLines = sections.uploadLines(held, context);
        for (int i = 0; i < qMax(sentLines.size(), heldLines.size()); ++i)
            ASSERT_EQ(heldLines.value(i).toStdString(), sentLines.value(i).toStdString()) << "upload line " << i;
        EXPECT_EQ(notUnderstood(unit.log).join(QLatin1Char('\n')).toStdString(), "");
    }
}

// An alteration after the upload is what the next download reports; a line no
// section reads changes nothing and is logged.
TEST(UnitMemoryTest, AlterationsChangeWhatTheUnitHoldsAndUnreadLinesAreLogged)
{
    SectionRegistry sections;
    registerSections(sections);
    EngineSetup setup;
    setup.alterations = {QStringLiteral("RETRYMAX= 9"), QStringLiteral("NOSUCHLINE=1")};
    MemoryUnit unit(UnitState::defaults().features, setup);
    ASSERT_TRUE(unit.connection->connectUnit({QStringLiteral("SIM"), false, {}}));
    unit.connection->readInfo();
    ConfigStore store;
    ASSERT_TRUE(unit.connection->download(store, sections));
    ASSERT_NE(store.General.ResendCount, 9);
    ASSERT_TRUE(unit.connection->upload(store, sections));
    ASSERT_TRUE(unit.connection->download(store, sections));
    EXPECT_EQ(store.General.ResendCount, 9);
    EXPECT_EQ(notUnderstood(unit.log).join(QLatin1Char('\n')).toStdString(), "NOSUCHLINE=1");
}

} // namespace
