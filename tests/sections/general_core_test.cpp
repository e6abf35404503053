// The general section's core: download lines, upload lines, file keys, Clear.
#include <gtest/gtest.h>

#include "files/inidocument.h"
#include "link/devicevalues.h"
#include "model/configstore.h"
#include "model/channelcode.h"
#include "model/texthelpers.h"
#include "sections/general/generalcore.h"

namespace {

using Mask = std::vector<QString>;

const GeneralCore core;

// Feeds one stream line as the download delivers it.
void feed(ConfigStore &store, const QString &line, quint32 features = 0)
{
    DownloadState state;
    core.parseLine(store, state, LineField(line, 1), QStringLiteral("#BD000") + line, features);
}

void setMask(AuthorisedPhone &phone, qint16 mode, const Mask &names)
{
    phone.MaskMode = mode;
    phone.Mask.fill(AuthorisedPhone::kEmptySlot);
    for (size_t j = 0; j < names.size(); ++j)
        phone.Mask[j] = NameToCode(names[j]);
}

Mask maskNames(const AuthorisedPhone &phone)
{
    Mask names;
    for (int j = 0; j < AuthorisedPhone::kMaskSlots; ++j) {
        if (phone.Mask[j] != AuthorisedPhone::kEmptySlot)
            names.push_back(CodeToName(phone.Mask[j]));
    }
    return names;
}

AuthorisedPhone &phone(ConfigStore &store, int slot, const QString &number, qint16 priority,
                       qint16 privilege)
{
    AuthorisedPhone &p = store.General.Phones[slot];
    p.Number = number;
    p.Priority = priority;
    p.Privilege = privilege;
    return p;
}

// A configuration that uses every field.
ConfigStore sampleStore()
{
    ConfigStore store;
    core.clear(store);
    GeneralSettings &g = store.General;
    g.UnitName = QStringLiteral("Depósito 3");
    g.SmsCentre = QStringLiteral("+34607003110");
    g.OwnNumber = QStringLiteral("+34600111222");
    g.RestoreText = QStringLiteral("Normal");
    g.ResendMinutes = 10;
    g.ResendCount = 3;
    setMask(phone(store, 0, QStringLiteral("+34600000001"), 0, 2), 0, {});
    setMask(phone(store, 1, QStringLiteral("+34600000002"), 3, 1), 1, {"DI2", "DI5", "AI1"});
    setMask(phone(store, 4, QStringLiteral("600000005"), 8, 3), 2, {"DI0", "FG12", "FL0"});
    phone(store, 20, QStringLiteral("+34600000099"), 1, 1); // spare slot
    return store;
}

void expectSameGeneral(const GeneralSettings &a, const GeneralSettings &b)
{
    EXPECT_EQ(a.UnitName, b.UnitName);
    EXPECT_EQ(a.SmsCentre, b.SmsCentre);
    EXPECT_EQ(a.OwnNumber, b.OwnNumber);
    EXPECT_EQ(a.RestoreText, b.RestoreText);
    EXPECT_EQ(a.ResendMinutes, b.ResendMinutes);
    EXPECT_EQ(a.ResendCount, b.ResendCount);
    for (int slot = 0; slot < GeneralSettings::kUsedPhoneSlots; ++slot) {
        SCOPED_TRACE(slot);
        const AuthorisedPhone &p = a.Phones[slot], &q = b.Phones[slot];
        EXPECT_EQ(p.Number, q.Number);
        if (p.Number.isEmpty())
            continue;
        EXPECT_EQ(p.Priority, q.Priority);
        EXPECT_EQ(p.Privilege, q.Privilege);
        EXPECT_EQ(p.MaskMode, q.MaskMode);
        EXPECT_EQ(maskNames(p), maskNames(q));
    }
}

} // namespace

TEST(GeneralCore, ClearResetsSettingsAndNumbersButKeepsPhoneDetails)
{
    ConfigStore store = sampleStore();
    store.General.ResendMinutes = 99;
    core.clear(store);
    const GeneralSettings &g = store.General;
    EXPECT_TRUE(g.UnitName.isEmpty() && g.SmsCentre.isEmpty() && g.OwnNumber.isEmpty()
                && g.RestoreText.isEmpty());
    EXPECT_EQ(g.ResendMinutes, 10);
    EXPECT_EQ(g.ResendCount, 3);
    for (const AuthorisedPhone &p : g.Phones)
        EXPECT_TRUE(p.Number.isEmpty());
    EXPECT_EQ(g.Phones[4].Priority, 8);
    EXPECT_EQ(g.Phones[4].MaskMode, 2);
    EXPECT_EQ(maskNames(g.Phones[4]), (Mask{"DI0", "FG12", "FL0"}));
}

TEST(GeneralCore, UploadToExtendedUnitWithRetrySettings)
{
    const ConfigStore store = sampleStore();
    const UploadContext context{Feature::RetrySettings | Feature::ExtendedPhoneMask};
    const QStringList expected = {
        "ID=Depósito 3", "CSM=+34607003110", "PTLF=+34600111222", "REST=Normal",
        "RETRYMAX= 3", "RETRYTIME= 600", "CLRTLF",
        "+TLF=+34600000001,Prio=0,PRV2,MASKMODE0",
        "+TLF=+34600000002,Prio=3,PRV1,MASK= 23 26 1 255 255 255 255 255 255 255 255 255 255 255"
        " 255 255,MASKMODE1",
        "+TLF=600000005,Prio=8,PRV3,MASK= 21 73 12 255 255 255 255 255 255 255 255 255 255 255"
        " 255 255,MASKMODE2",
    };
    EXPECT_EQ(core.uploadLines(store, context), expected);
}

TEST(GeneralCore, UploadToLegacyUnitSendsOnlyDigitalAndAnalogItems)
{
    ConfigStore store = sampleStore();
    setMask(store.General.Phones[4], 1, {"FL0", "DI2"});
    const QStringList expected = {
        "ID=Depósito 3", "CSM=+34607003110", "PTLF=+34600111222", "REST=Normal", "CLRTLF",
        "+TLF=+34600000001,Prio=0,PRV2",
        "+TLF=+34600000002,Prio=3,PRV1,D2,D5,A1",
        "+TLF=600000005,Prio=8,PRV3,D2",
    };
    EXPECT_EQ(core.uploadLines(store, UploadContext{}), expected);
}

TEST(GeneralCore, DownloadSettingsLines)
{
    struct Case {
        QString line;
        QString name;
        qint32 minutes;
        qint16 count;
    };
    const Case cases[] = {
        {"DNAME,Tank3", "Tank3", 10, 3},
        {"DNAME,Tank,3", "Tank", 10, 3}, // a comma cuts the text
        {"RENVT,600", "", 10, 3},
        {"RENVT,150", "", 2, 3},         // 2.5 minutes round to even
        {"RENVT,90", "", 2, 3},
        {"RENVT,210", "", 4, 3},
        {"RENVN,7", "", 10, 7},
        {"RENVN,70000", "", 10, 3},      // does not fit: kept
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        ConfigStore store;
        core.clear(store);
        feed(store, c.line);
        EXPECT_EQ(store.General.UnitName, c.name);
        EXPECT_EQ(store.General.ResendMinutes, c.minutes);
        EXPECT_EQ(store.General.ResendCount, c.count);
    }
    ConfigStore store;
    feed(store, "SMC,+34609090909");
    feed(store, "PTLF,+34600111222");
    feed(store, "REST,Vuelta a normal");
    EXPECT_EQ(store.General.SmsCentre, "+34609090909");
    EXPECT_EQ(store.General.OwnNumber, "+34600111222");
    EXPECT_EQ(store.General.RestoreText, "Vuelta a normal");
}

TEST(GeneralCore, DownloadPhoneLine)
{
    const quint32 wide = Feature::WideChannelMask;
    const quint32 extended = Feature::ExtendedPhoneMask;
    struct Case {
        QString line;
        quint32 features;
        qint16 maskMode;
        Mask mask;
    };
    const Case cases[] = {
        {"TLF,3,+34600000001,2,1,261", 0, 1, {"DI0", "DI2", "AI0"}},
        {"TLF,3,+34600000001,2,1,65535", 0, 0, {}},
        {"TLF,3,+34600000001,2,1,-1", wide, 0, {}},
        {"TLF,3,+34600000001,2,1,4095", wide, 1,
         {"DI0", "DI1", "DI2", "DI3", "DI4", "DI5", "DI6", "DI7", "AI0", "AI1", "AI2", "AI3"}},
        {"TLF,3,+34600000001,2,1,0", 0, 1, {}},
        {"TLF,3,+34600000001,2,1,0,2,21,76,97,255,255,255,255,255,255,255,255,255,255,255,255,255",
         extended, 2, {"DI0", "FG15", "DI8"}},
        // codes the unit left out stay empty instead of naming AI0
        {"TLF,3,+34600000001,2,1,0,1,105", extended, 1, {"PB0"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        ConfigStore store;
        setMask(store.General.Phones[3], 2, {"FG1", "FG2"}); // left over from before
        feed(store, c.line, c.features);
        const AuthorisedPhone &p = store.General.Phones[3];
        EXPECT_EQ(p.Number, "+34600000001");
        EXPECT_EQ(p.Priority, 2);
        EXPECT_EQ(p.Privilege, 1);
        EXPECT_EQ(p.MaskMode, c.maskMode);
        EXPECT_EQ(maskNames(p), c.mask);
    }
}

TEST(GeneralCore, DownloadPhoneLineThatNamesNoSlotOrNumberChangesNothing)
{
    const QString lines[] = {
        "TLF,3,12,2,1,261",      // number too short
        "TLF,3,,2,1,261",
        "TLF,x,+34600000001,2,1,261",
        "TLF,,+34600000001,2,1,261",
        "TLF,21,+34600000001,2,1,261",
        "TLF,-1,+34600000001,2,1,261",
        "TLF,99999,+34600000001,2,1,261",
    };
    for (const QString &line : lines) {
        SCOPED_TRACE(line.toStdString());
        ConfigStore store = sampleStore();
        const ConfigStore before = store;
        feed(store, line, Feature::ExtendedPhoneMask);
        for (int slot = 0; slot < GeneralSettings::kPhoneSlots; ++slot) {
            EXPECT_EQ(store.General.Phones[slot].Number, before.General.Phones[slot].Number);
            EXPECT_EQ(store.General.Phones[slot].Mask, before.General.Phones[slot].Mask);
        }
    }
    ConfigStore store;
    feed(store, "TLF,20,+34600000001,2,1,261");
    EXPECT_EQ(store.General.Phones[20].Number, "+34600000001");
}

TEST(GeneralCore, UnitLinesDownloadBackToTheSameModel)
{
    const quint32 featureSets[] = {
        Feature::ExtendedPhoneMask,
        Feature::ExtendedPhoneMask | Feature::WideChannelMask,
        0,
        Feature::WideChannelMask,
    };
    for (const quint32 features : featureSets) {
        SCOPED_TRACE(features);
        ConfigStore source = sampleStore();
        if (!(features & Feature::ExtendedPhoneMask)) // the legacy form carries only these
            setMask(source.General.Phones[4], 1, {"DI1", "AI2"});
        ConfigStore copy;
        core.clear(copy);
        for (const QString &line : core.downloadLines(source, features))
            feed(copy, line, features);
        expectSameGeneral(copy.General, source.General);
        EXPECT_TRUE(copy.General.Phones[20].Number.isEmpty());
    }
}

TEST(GeneralCore, FileSaveAndRestoreRoundTrip)
{
    const ConfigStore source = sampleStore();
    IniDocument doc;
    core.save(source, doc);
    IniDocument reread;
    reread.parse(doc.serialize());
    EXPECT_EQ(reread.readValue("GENERAL", "RENVT"), "10");
    EXPECT_EQ(reread.readValue("GENERAL", "TLFM 1"), "+34600000002,Prio=3,PRV1,MASKMODE1,DI2,DI5,AI1");
    EXPECT_TRUE(reread.readValue("GENERAL", "TLFM 2").isEmpty());
    EXPECT_TRUE(reread.readValue("GENERAL", "TLFM 20").isEmpty());

    ConfigStore restored = sampleStore();
    restored.General.Phones[2].Number = QStringLiteral("+34999"); // cleared by the restore
    core.restore(restored, reread);
    expectSameGeneral(restored.General, source.General);
}

TEST(GeneralCore, RestoreOlderPhoneKeys)
{
    IniDocument doc;
    doc.parse("[GENERAL]\r\nNOMBRE=Pozo\r\nRENVT=abc\r\nRENVN= 5\r\n"
              "TLF 0=+34600000001,Prio=4,PRV3\r\n"
              "TLF 2=+34600000003,Prio=1,PRV0,D1,A3,D7\r\n"
              "TLF 3=+34600000004,Prio=9,PRVX,X1,D0\r\n");
    ConfigStore store = sampleStore();
    AuthorisedPhone &old = phone(store, 3, QStringLiteral("+34999"), 5, 2);
    setMask(old, 2, {"FG1", "FG2"});
    core.restore(store, doc);
    const GeneralSettings &g = store.General;
    EXPECT_EQ(g.UnitName, "Pozo");
    EXPECT_EQ(g.ResendMinutes, 0);
    EXPECT_EQ(g.ResendCount, 5);
    EXPECT_TRUE(g.SmsCentre.isEmpty());

    EXPECT_EQ(g.Phones[0].Number, "+34600000001");
    EXPECT_EQ(g.Phones[0].Priority, 4);
    EXPECT_EQ(g.Phones[0].Privilege, 3);
    EXPECT_EQ(g.Phones[0].MaskMode, 0);
    EXPECT_TRUE(maskNames(g.Phones[0]).empty());

    EXPECT_TRUE(g.Phones[1].Number.isEmpty());
    EXPECT_EQ(g.Phones[2].MaskMode, 1);
    EXPECT_EQ(maskNames(g.Phones[2]), (Mask{"DI1", "AI3", "DI7"}));

    // unknown items keep the old priority and privilege, and no stale channel
    EXPECT_EQ(g.Phones[3].Priority, 5);
    EXPECT_EQ(g.Phones[3].Privilege, 2);
    EXPECT_EQ(maskNames(g.Phones[3]), (Mask{"DI0"}));
}

TEST(GeneralCore, OneNewPhoneKeyHidesEveryOlderKey)
{
    IniDocument doc;
    doc.parse("[GENERAL]\r\nTLFM 5=+34600000006,Prio=2,PRV1,MASKMODE1,FG0\r\n"
              "TLF 0=+34600000001,Prio=4,PRV3\r\nTLF 5=+34600000009,Prio=1,PRV0,D1\r\n");
    ConfigStore store;
    core.restore(store, doc);
    EXPECT_TRUE(store.General.Phones[0].Number.isEmpty());
    EXPECT_EQ(store.General.Phones[5].Number, "+34600000006");
    EXPECT_EQ(maskNames(store.General.Phones[5]), (Mask{"FG0"}));
}
