#include <gtest/gtest.h>

#include <QJsonArray>
#include <QTemporaryDir>

#include "link/devicevalues.h"
#include "sim/configstream.h"
#include "sim/faultplan.h"
#include "sim/unitstate.h"

namespace {

TEST(UnitStateFile, OverlaysNamedValuesAndKeepsSizes)
{
    UnitState state = UnitState::defaults();
    QString error;
    ASSERT_TRUE(state.apply({{"features", QJsonArray{"MathChannels", "ExtendedPhoneMask"}},
                             {"counters", QJsonArray{7, 8}},
                             {"flowNames", QJsonArray{"Entrada"}},
                             {"voiceList", QJsonArray{"+3460"}},
                             {"clockOffsetSeconds", -3600}},
                            &error))
        << qPrintable(error);
    EXPECT_EQ(state.features, Feature::MathChannels | Feature::ExtendedPhoneMask);
    EXPECT_EQ(state.counters.size(), 9);
    EXPECT_EQ(state.counters.mid(0, 3), (QList<double>{7, 8, 0}));
    EXPECT_EQ(state.flowNames.value(1), UnitState::defaults().flowNames.value(1));
    EXPECT_EQ(state.voiceList, QStringList{"+3460"});
    EXPECT_EQ(state.clockOffsetSeconds, -3600);
}

TEST(UnitStateFile, NamesWhatItCannotUse)
{
    QJsonArray tooMany;
    for (int i = 0; i < 251; ++i)
        tooMany << QString::number(i);
    const struct {
        QJsonObject json;
        const char *named;
    } cases[] = {
        {{{"colour", 1}}, "colour"},
        {{{"features", QJsonArray{"Teleport"}}}, "features"},
        {{{"signalLevel", "high"}}, "signalLevel"},
        {{{"voiceList", tooMany}}, "voiceList"},
    };
    for (const auto &c : cases) {
        UnitState state = UnitState::defaults();
        QString error;
        EXPECT_FALSE(state.apply(c.json, &error));
        EXPECT_TRUE(error.contains(QLatin1String(c.named))) << qPrintable(error);
    }
}

TEST(ConfigStreamLines, SkipsBlanksAndCommentsAndReadsWindows1252)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("unit.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("; a comment\r\nDNAME,Ca\xF1o\r\n\r\n  SMC,+34609090909\n");
    file.close();
    QStringList lines;
    ASSERT_TRUE(ConfigStream::fromLinesFile(file.fileName(), lines));
    EXPECT_EQ(lines, (QStringList{QStringLiteral("DNAME,Ca\u00F1o"), "SMC,+34609090909"}));
    EXPECT_FALSE(ConfigStream::fromLinesFile(dir.filePath("missing.txt"), lines));
}

TEST(ConfigStreamFile, StreamsWhatTheSectionsRestoredFromAConfigurationFile)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("plant.qcf"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[VERSION]\r\nVERSION=4.4\r\n[GENERAL]\r\nNOMBRE=Tank3\r\nRENVT= 10\r\n");
    file.close();
    QStringList lines;
    ASSERT_TRUE(ConfigStream::fromConfigFile(file.fileName(), UnitState::defaults().features, lines));
    EXPECT_TRUE(lines.contains(QStringLiteral("DNAME,Tank3"))) << qPrintable(lines.join('|'));
    EXPECT_TRUE(lines.contains(QStringLiteral("RENVT,600"))) << qPrintable(lines.join('|'));
    EXPECT_FALSE(ConfigStream::fromConfigFile(dir.filePath("missing.qcf"), 0, lines));
}

TEST(FaultPlanOptions, ReadsAnswerLists)
{
    QHash<QString, int> faults;
    ASSERT_TRUE(FaultPlan::parseAnswerList("40,2a:3,20:all", faults));
    EXPECT_EQ(faults, (QHash<QString, int>{{"40", 1}, {"2A", 3}, {"20", -1}}));
    for (const char *bad : {"4", "40:x", "#40", "40:-1"})
        EXPECT_FALSE(FaultPlan::parseAnswerList(bad, faults)) << bad;
}

} // namespace
