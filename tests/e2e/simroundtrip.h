#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "../support/pseudoterminal.h"
#include "files/configfile.h"
#include "files/sectionregistry.h"
#include "link/comms.h"
#include "link/unitconnection.h"
#include "link/qtserialport.h"
#include "link/simulatedunit.h"
#include "model/configstore.h"
#include "sections/sectionlist.h"

// What velkan-sim received when the tool downloaded a stream of keyword
// lines from it, saved the download to a .qcf file, restored the file into a
// cleared model and uploaded that.
struct SimRoundTrip {
    quint32 features = 0; // the unit's capabilities, as it reported them
    QStringList received; // the upload lines, in order
    bool matched = false; // the closing count matched the lines
    QByteArray savedFile; // the .qcf file the download was saved to
};

// Fails the calling test (use it under ASSERT_NO_FATAL_FAILURE) when a step
// fails, and skips it where velkan-sim or pseudo-terminals are missing.
// simArguments go to velkan-sim as well ("--features", ...).
inline void runSimRoundTrip(const QString &linesFile, SimRoundTrip &trip,
                            const QStringList &simArguments = {})
{
    if (!QFileInfo::exists(SimulatedUnit::defaultProgram()))
        GTEST_SKIP() << "velkan-sim is not built next to the tests";
    if (!pseudoTerminalsWork())
        GTEST_SKIP() << "pseudo-terminals are not available";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString log = dir.filePath(QStringLiteral("log.json"));

    SimulatedUnit sim;
    sim.setArguments(QStringList{QStringLiteral("--lines"), linesFile, QStringLiteral("--log"), log}
                     + simArguments);
    ASSERT_TRUE(sim.start()) << qPrintable(sim.errorString());
    auto comms = std::make_unique<Comms>(std::make_unique<QtSerialPort>());
    comms->timings = LinkTimings::fast();
    auto connection = std::make_unique<UnitConnection>(*comms);
    ASSERT_TRUE(connection->connectUnit({sim.devicePath(), false, {}}));
    comms->LinkTimeout = 1000;
    connection->readInfo();
    trip.features = connection->Device.DeviceFeatures;

    SectionRegistry sections;
    registerSections(sections);
    ConfigStore store;
    sections.clearAll(store);
    ASSERT_TRUE(connection->download(store, sections));
    const QString file = dir.filePath(QStringLiteral("unit.qcf"));
    ASSERT_TRUE(saveConfigFile(file, store, sections));
    QFile saved(file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    trip.savedFile = saved.readAll();
    ConfigStore restored;
    sections.clearAll(restored);
    ASSERT_EQ(restoreConfigFile(file, restored, sections), RestoreResult::Restored);
    ASSERT_TRUE(connection->upload(restored, sections));
    connection.reset();
    comms.reset();
    sim.stop();

    QFile logFile(log);
    ASSERT_TRUE(logFile.open(QIODevice::ReadOnly));
    const QJsonArray uploads = QJsonDocument::fromJson(logFile.readAll()).object()[QLatin1String("uploads")].toArray();
    ASSERT_EQ(uploads.size(), 1);
    trip.matched = uploads.at(0)[QLatin1String("matched")].toBool();
    for (const QJsonValue &line : uploads.at(0)[QLatin1String("lines")].toArray())
        trip.received << line.toString();
}
