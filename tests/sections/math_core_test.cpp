// Math channels' core: the channel line and its alarm line, the "MATH" answer,
// the file keys.
#include <gtest/gtest.h>

#include "channel_cores_fixture.h"
#include "link/devicevalues.h"
#include "sections/math/mathcore.h"

namespace {

const MathCore core;
const UploadContext kMath{Feature::MathChannels, kProductLimits};

TEST(MathCore, UploadSendsEachChannelThenItsAlarmLine)
{
    ConfigStore store = clearedBy(core);
    store.Math[0] = {"Suma", "m3", MathChannel::kEnabled, "FL0+FL1", {}};
    store.Math[1].Interface = 7; // not a value the editor offers: still on
    store.Math[2] = {"Resto", "l", MathChannel::kDisabled, "FL2", {}};
    store.Math[3].Alarms[0].Enabled = true;
    store.Math[3].Alarms[0].Text = QStringLiteral("Alto");
    store.Math[3].Alarms[0].High = 5;
    EXPECT_EQ(core.uploadLines(store, kMath),
              QStringList({"MCCONF0=Suma,UNIT=m3,EQ=FL0+FL1", "-ALMM0,INDEX= 0",
                           "MCCONF1=,UNIT=,EQ=", "-ALMM1,INDEX= 0",
                           "DISMC2", "-ALMM2,INDEX= 0",
                           "DISMC3", "+ALMM3=Alto,INDEX= 0,MAX= 5,MIN= 0,HIST= 0,P= 0,NOSEND,EQ= 0,"
                                     "ACTHI=,ACTLO=,ACTNOM="}));
    EXPECT_TRUE(core.uploadLines(store, UploadContext{Feature::FlagAlarms, kProductLimits}).isEmpty());
}

TEST(MathCore, AnswerSetsTheChannelAndOnlyCodesOneAndZeroSwitchIt)
{
    ConfigStore store = clearedBy(core);
    feed(core, store, "MATH,1,Suma,m3,FL0+FL1,1");
    const MathChannel &channel = store.Math[1];
    EXPECT_EQ(channel.Name, "Suma");
    EXPECT_EQ(channel.Unit, "m3");
    EXPECT_EQ(channel.Equation, "FL0+FL1");
    EXPECT_EQ(channel.Interface, MathChannel::kEnabled);

    feed(core, store, "MATH,1,Suma,m3,FL0+FL1,2");
    EXPECT_EQ(channel.Interface, MathChannel::kEnabled);
    feed(core, store, "MATH,1,Suma,m3,FL0+FL1,0");
    EXPECT_EQ(channel.Interface, MathChannel::kDisabled);

    // A comma in the equation splits it: the rest is read as the enable code.
    store.Math[2].Interface = MathChannel::kEnabled;
    feed(core, store, "MATH,2,Max,m3,MAX(FL0,FL1),1");
    EXPECT_EQ(store.Math[2].Equation, "MAX(FL0");
    EXPECT_EQ(store.Math[2].Interface, MathChannel::kDisabled);
}

TEST(MathCore, AnswersNamingNoChannelOrWithAnUnfittingCodeAreSkipped)
{
    for (const char *line : {"MATH,4,X,u,e,1", "MATH,-1,X,u,e,1", "MATH,1.5,X,u,e,1", "MATH,,X,u,e,1",
                             "MATH,1,X,u,e,70000"}) {
        ConfigStore store = clearedBy(core);
        feed(core, store, QString::fromLatin1(line));
        for (const MathChannel &channel : store.Math) {
            EXPECT_TRUE(channel.Name.isEmpty()) << line;
            EXPECT_EQ(channel.Interface, 0) << line;
        }
    }
}

TEST(MathCore, UnitLinesReadBackToTheSameChannels)
{
    ConfigStore store = clearedBy(core);
    store.Math[0] = {"Suma", "m3", MathChannel::kEnabled, "FL0+FL1", {}};
    store.Math[3] = {"Off", "C", MathChannel::kDisabled, "PB0*2", {}};
    store.Math[3].Alarms[0].clear();
    store.Math[3].Alarms[0].Enabled = true;
    EXPECT_TRUE(core.downloadLines(store, Feature::FlagAlarms).isEmpty());
    const QStringList lines = core.downloadLines(store, Feature::MathChannels);
    EXPECT_EQ(lines.first(), "MATH,0,Suma,m3,FL0+FL1,1");
    ConfigStore read = clearedBy(core);
    for (const QString &line : lines)
        feed(core, read, line);
    for (int i = 0; i < int(store.Math.size()); ++i) {
        EXPECT_EQ(read.Math[i].Name, store.Math[i].Name);
        EXPECT_EQ(read.Math[i].Interface, store.Math[i].Interface);
        EXPECT_EQ(read.Math[i].Equation, store.Math[i].Equation);
    }
    EXPECT_TRUE(read.Math[3].Alarms[0].Enabled);
}

TEST(MathCore, FileKeysThenAlarmKeysAndRoundTrip)
{
    ConfigStore store = clearedBy(core);
    store.Math[0] = {"Suma", "m3", MathChannel::kEnabled, "FL0+FL1", {}};
    store.Math[0].Alarms[0].Text = QStringLiteral("Alto");
    IniDocument doc;
    core.save(store, doc);
    const QStringList lines = sectionLines(doc, QStringLiteral("MATH 0"));
    ASSERT_GE(lines.size(), 8);
    EXPECT_EQ(lines.mid(0, 8), QStringList({"[MATH 0]", "NOMBRE=Suma", "UNIDAD=m3", "INTERFAZ= 6",
                                             "ECUACION=FL0+FL1", "HABIL( 0)=False", "REST( 0)=False",
                                             "RENV( 0)=False"}));
    EXPECT_TRUE(doc.hasSection(QStringLiteral("MATH 3")));

    ConfigStore restored = clearedBy(core);
    restored.Math[1].Name = QStringLiteral("stale");
    core.restore(restored, doc);
    EXPECT_EQ(restored.Math[0].Name, "Suma");
    EXPECT_EQ(restored.Math[0].Interface, MathChannel::kEnabled);
    EXPECT_EQ(restored.Math[0].Equation, "FL0+FL1");
    EXPECT_EQ(restored.Math[0].Alarms[0].Text, "Alto");
    EXPECT_TRUE(restored.Math[1].Name.isEmpty());
    IniDocument again;
    core.save(restored, again);
    EXPECT_EQ(again.serialize(), doc.serialize());
}

} // namespace
