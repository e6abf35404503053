// 1-Wire probes' core: the probe line and its four alarm lines, the "ONEWIRE"
// answer, the file keys.
#include <gtest/gtest.h>

#include <QRegularExpression>

#include "channel_cores_fixture.h"
#include "sections/onewire/onewirecore.h"

namespace {

const OneWireCore core;
const UploadContext kNone{0, kProductLimits};

OneWireProbe probe(const char *name, const char *unit, qint16 interface, const char *a1, const char *a2)
{
    OneWireProbe p;
    p.Name = QString::fromLatin1(name);
    p.Unit = QString::fromLatin1(unit);
    p.Interface = interface;
    p.Address1 = QString::fromLatin1(a1);
    p.Address2 = QString::fromLatin1(a2);
    return p;
}

QStringList disabledAlarms(int probe)
{
    QStringList lines;
    for (int slot = 0; slot < 4; ++slot)
        lines << QStringLiteral("-ALMOW%1,INDEX= %2").arg(probe).arg(slot);
    return lines;
}

TEST(OneWireCore, UploadSendsEachProbeThenItsFourAlarmLines)
{
    ConfigStore store = clearedBy(core);
    store.OneWire[0] = probe("Hum", "%HR", OneWireProbe::kHumidity, "000.000.000.000", "000.000.000.000");
    store.OneWire[1] = probe("Off", "C", OneWireProbe::kDisabled, "1.2.3.4", "5.6.7.8");
    store.OneWire[2] = probe("T", "C", OneWireProbe::kTemperature, "040.001.002.003", "004.005.006.007");
    store.OneWire[3] = probe("X", "u", 7, "0", "0"); // never stored from the editor: Clear's address
    EXPECT_EQ(core.uploadLines(store, kNone),
              QStringList{"ONEWCONF0=Hum,UNIT=%HR,ONEWADD=000.000.000.000.000.000.000.000,1WHUM"}
                  + disabledAlarms(0) + QStringList{"DISONEW1"} + disabledAlarms(1)
                  + QStringList{"ONEWCONF2=T,UNIT=C,ONEWADD=040.001.002.003.004.005.006.007,1WTEMP"}
                  + disabledAlarms(2) + QStringList{"ONEWCONF3=X,UNIT=u,ONEWADD=0.0"} + disabledAlarms(3));

    ProductLimits none = kProductLimits;
    none.OneWireCount = 0;
    EXPECT_TRUE(core.uploadLines(store, UploadContext{0, none}).isEmpty());
}

TEST(OneWireCore, AnswerSetsKindAddressAndAddressMode)
{
    const QString zeros = QStringLiteral(",000,000,000,000,000,000,000,000");
    ConfigStore store = clearedBy(core);
    OneWireProbe &p = store.OneWire[2];
    p.UseId = true;
    feed(core, store, QStringLiteral("ONEWIRE,2,Temp,C,1") + zeros);
    EXPECT_EQ(p.Name, "Temp");
    EXPECT_EQ(p.Unit, "C");
    EXPECT_EQ(p.Interface, OneWireProbe::kTemperature);
    EXPECT_EQ(p.Address1, "000.000.000.000");
    EXPECT_FALSE(p.UseId);

    feed(core, store, "ONEWIRE,2,Temp,C,2,000,000,000,000,000,000,001,000");
    EXPECT_EQ(p.Interface, OneWireProbe::kHumidity);
    EXPECT_EQ(p.Address2, "000.000.001.000");
    EXPECT_TRUE(p.UseId);

    feed(core, store, "ONEWIRE,2,Temp,C,3,40,170,187,204,0,0,0,45");
    EXPECT_EQ(p.Interface, OneWireProbe::kHumidity) << "an unknown kind leaves the probe's";
    EXPECT_EQ(p.Address1, "40.170.187.204") << "values are kept as they come";
    feed(core, store, QStringLiteral("ONEWIRE,2,Temp,C,0") + zeros);
    EXPECT_EQ(p.Interface, OneWireProbe::kDisabled);
    EXPECT_FALSE(p.UseId);
}

TEST(OneWireCore, AnswersNamingNoProbeOrWithAnUnfittingKindAreSkipped)
{
    for (const char *line : {"ONEWIRE,4,X,u,1,1,1,1,1,1,1,1,1", "ONEWIRE,x,X,u,1,1,1,1,1,1,1,1,1",
                             "ONEWIRE,1,X,u,70000,1,1,1,1,1,1,1,1"}) {
        ConfigStore store = clearedBy(core);
        feed(core, store, QString::fromLatin1(line));
        for (const OneWireProbe &p : store.OneWire) {
            EXPECT_TRUE(p.Name.isEmpty()) << line;
            EXPECT_EQ(p.Address1, "0") << line;
        }
    }
}

TEST(OneWireCore, UnitLinesLeaveOutProbesAtClearAndReadBack)
{
    ConfigStore store = clearedBy(core);
    store.OneWire[1] = probe("T", "C", OneWireProbe::kTemperature, "40.170.187.204", "0.0.0.45");
    store.OneWire[3] = probe("H", "%", OneWireProbe::kHumidity, "0", "0");
    const QStringList lines = core.downloadLines(store, 0).filter(QRegularExpression("^ONEWIRE,"));
    EXPECT_EQ(lines, QStringList({"ONEWIRE,1,T,C,1,040,170,187,204,000,000,000,045",
                                  "ONEWIRE,3,H,%,2,000,000,000,000,000,000,000,000"}));
    ConfigStore read = clearedBy(core);
    for (const QString &line : core.downloadLines(store, 0))
        feed(core, read, line);
    EXPECT_EQ(read.OneWire[1].Address2, "000.000.000.045");
    EXPECT_TRUE(read.OneWire[1].UseId);
    EXPECT_EQ(read.OneWire[3].Interface, OneWireProbe::kHumidity);
    EXPECT_EQ(read.OneWire[0].Address1, "0");
}

TEST(OneWireCore, FileKeysAndASectionNameWithoutTheBlank)
{
    ConfigStore store = clearedBy(core);
    store.OneWire[3] = probe("T", "C", OneWireProbe::kTemperature, "040.001.002.003", "004.005.006.007");
    store.OneWire[3].UseId = true;
    IniDocument doc;
    core.save(store, doc);
    const QStringList lines = sectionLines(doc, QStringLiteral("1WIRE 3"));
    ASSERT_GE(lines.size(), 8);
    EXPECT_EQ(lines.mid(0, 8), QStringList({"[1WIRE 3]", "NOMBRE=T", "UNIDAD=C", "INTERFAZ= 4", "ID=True",
                                             "ADDRESS1=040.001.002.003", "ADDRESS2=004.005.006.007",
                                             "HABIL( 0)=False"}));

    ConfigStore restored = clearedBy(core);
    core.restore(restored, doc);
    EXPECT_EQ(restored.OneWire[3].Address2, "004.005.006.007");
    EXPECT_TRUE(restored.OneWire[3].UseId);
    EXPECT_EQ(restored.OneWire[3].Interface, OneWireProbe::kTemperature);
    IniDocument again;
    core.save(restored, again);
    EXPECT_EQ(again.serialize(), doc.serialize());

    IniDocument noBlank;
    noBlank.parse("[1WIRE3]\r\nNOMBRE=T\r\nINTERFAZ= 4\r\nID=True\r\n");
    ConfigStore other = clearedBy(core);
    core.restore(other, noBlank);
    EXPECT_TRUE(other.OneWire[3].Name.isEmpty());
    EXPECT_EQ(other.OneWire[3].Interface, 0);
    EXPECT_FALSE(other.OneWire[3].UseId) << "a missing key reads as False";
}

} // namespace
