// The voice-call list: its CRC, the pack step, Clear and the "AUT_VOZ" keys.
#include <gtest/gtest.h>

#include "files/inidocument.h"
#include "model/configstore.h"
#include "model/cp1252.h"
#include "model/crc16.h"
#include "sections/voicelist/voicelistcore.h"

namespace {

const VoiceListCore core;

VoiceAuthList listOf(const QStringList &numbers)
{
    VoiceAuthList list;
    for (int i = 0; i < numbers.size(); ++i)
        list.Numbers[i] = numbers[i];
    list.Count = qint16(numbers.size());
    return list;
}

TEST(VoiceList, Crc)
{
    EXPECT_EQ(VoiceListCrc(listOf({})), 0xFFFF);
    EXPECT_EQ(VoiceListCrc(listOf({"123"})), 0x7A75);
    EXPECT_EQ(VoiceListCrc(listOf({"+34600", "7788"})), Crc16("+346007788"));
    EXPECT_EQ(VoiceListCrc(listOf({QStringLiteral("9\u00f1")})), Crc16("9\xF1"));
    // Only the first Count entries count.
    VoiceAuthList list = listOf({"123", "456"});
    list.Count = 1;
    EXPECT_EQ(VoiceListCrc(list), 0x7A75);
}

TEST(VoiceList, PackMovesNumbersToTheFront)
{
    VoiceAuthList list;
    list.Numbers[3] = QStringLiteral("111");
    list.Numbers[7] = QStringLiteral("222");
    list.Numbers[250] = QStringLiteral("333");
    PackVoiceList(list);
    EXPECT_EQ(list.Count, 3);
    EXPECT_EQ(list.Numbers[0], "111");
    EXPECT_EQ(list.Numbers[1], "222");
    EXPECT_EQ(list.Numbers[2], "333");
    EXPECT_TRUE(list.Numbers[3].isEmpty() && list.Numbers[250].isEmpty());
    EXPECT_EQ(list.ListCrc, Crc16("111222333"));
}

TEST(VoiceListCore, ClearEmptiesTheListButKeepsTheAcknowledgement)
{
    ConfigStore store;
    store.VoiceList = listOf({"123", "456"});
    store.VoiceList.CallMacro = 5;
    store.VoiceList.SendAck = true;
    store.VoiceList.ListCrc = 0x1234;
    core.clear(store);
    EXPECT_TRUE(std::all_of(store.VoiceList.Numbers.begin(), store.VoiceList.Numbers.end(),
                            [](const QString &n) { return n.isEmpty(); }));
    EXPECT_EQ(store.VoiceList.Count, 0);
    EXPECT_EQ(store.VoiceList.CallMacro, -1);
    EXPECT_EQ(store.VoiceList.ListCrc, 0xFFFF);
    EXPECT_TRUE(store.VoiceList.SendAck);
}

TEST(VoiceListCore, FileKeysInOrderAndSlotsKept)
{
    ConfigStore store;
    core.clear(store);
    store.VoiceList.Numbers[0] = QStringLiteral("+34600111222");
    store.VoiceList.Numbers[2] = QStringLiteral("600\u00f1");
    store.VoiceList.Numbers[250] = QStringLiteral("999");
    store.VoiceList.SendAck = true;
    IniDocument doc;
    core.save(store, doc);
    const QStringList lines = Cp1252::decode(doc.serialize()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1 + 2 + 251);
    EXPECT_EQ(lines.mid(0, 6), QStringList({"[AUT_VOZ]", "MACRO=-1", "SEND_ACK=True", "TEL 0=+34600111222",
                                             "TEL 1=", QStringLiteral("TEL 2=600\u00f1")}));
    EXPECT_EQ(lines.last(), "TEL 250=999");

    ConfigStore restored;
    core.restore(restored, doc);
    EXPECT_EQ(restored.VoiceList.Numbers, store.VoiceList.Numbers);
    EXPECT_TRUE(restored.VoiceList.SendAck);
    EXPECT_EQ(restored.VoiceList.CallMacro, -1);
}

TEST(VoiceListCore, MacroRestore)
{
    const struct {
        const char *file;
        qint16 macro;
    } cases[] = {
        {"", -1},                 // no key: an old file holds no macro
        {"MACRO=\r\n", -1},
        {"MACRO= 12\r\n", 12},
        {"MACRO= 0\r\n", 0},
        {"MACRO= 39\r\n", 39},
        {"MACRO= 55\r\n", -1},    // no macro to select for it
        {"MACRO=-2\r\n", -1},
        {"MACRO=abc\r\n", -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        IniDocument doc;
        doc.parse(QByteArray("[AUT_VOZ]\r\nSEND_ACK=False\r\n") + c.file);
        ConfigStore store;
        store.VoiceList.CallMacro = 7;
        core.restore(store, doc);
        EXPECT_EQ(store.VoiceList.CallMacro, c.macro);
    }
}

} // namespace
