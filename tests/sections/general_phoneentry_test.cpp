// The phone entry text of the phone list rows and the file values.
#include <gtest/gtest.h>

#include "model/channelcode.h"
#include "model/texthelpers.h"
#include "sections/general/phoneentry.h"

namespace {

AuthorisedPhone makePhone(const QString &number, qint16 priority, qint16 privilege, qint16 mode,
                          std::initializer_list<qint16> codes)
{
    AuthorisedPhone phone;
    phone.Number = number;
    phone.Priority = priority;
    phone.Privilege = privilege;
    phone.MaskMode = mode;
    int slot = 0;
    for (qint16 code : codes)
        phone.Mask[slot++] = code;
    return phone;
}

} // namespace

TEST(PhoneEntry, TextAndBackAgain)
{
    struct Case {
        AuthorisedPhone phone;
        QString text;
    };
    const Case cases[] = {
        {makePhone("+34600111222", 0, 2, 0, {}), "+34600111222,Prio=0,PRV2,MASKMODE0"},
        {makePhone("600111222", 8, 3, 1, {24, 73, 97, 105}),
         "600111222,Prio=8,PRV3,MASKMODE1,DI3,FG12,DI8,PB0"},
        // slots without a channel name are left out of the text
        {makePhone("+3460", 1, 0, 2, {20, 12, 255, 0}), "+3460,Prio=1,PRV0,MASKMODE2,FL0,AI0"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(phoneEntryText(c.phone), c.text);
        AuthorisedPhone back = makePhone("x", 5, 1, 1, {61, 62, 63, 64, 65, 66});
        storePhoneEntry(c.text, back);
        EXPECT_EQ(phoneEntryText(back), c.text);
    }
}

TEST(PhoneEntry, StoreKeepsFieldsWhoseItemIsUnknownAndEmptiesTheRestOfTheMask)
{
    AuthorisedPhone phone = makePhone("+3411", 4, 2, 1, {21, 22, 23, 24, 25});
    storePhoneEntry("+3422,Prio=9,PRV,MASKMODE3,FG0,,XX9,DI7", phone);
    EXPECT_EQ(phone.Number, "+3422");
    EXPECT_EQ(phone.Priority, 4);
    EXPECT_EQ(phone.Privilege, 2);
    EXPECT_EQ(phone.MaskMode, 1);
    const std::array<qint16, 5> expected{61, 255, 255, 28, 255}; // an unknown name is no channel
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), phone.Mask.begin()));
    EXPECT_TRUE(std::all_of(phone.Mask.begin() + 4, phone.Mask.begin() + 16,
                            [](qint16 code) { return code == 255; }));

    storePhoneEntry(QString(), phone);
    EXPECT_TRUE(phone.Number.isEmpty());
    EXPECT_EQ(phone.Mask[0], 255);
}

TEST(PhoneEntry, Items)
{
    EXPECT_EQ(priorityItem("Prio=0"), 0);
    EXPECT_EQ(priorityItem("Prio=8"), 8);
    EXPECT_EQ(privilegeItem("PRV3"), 3);
    EXPECT_EQ(maskModeItem("MASKMODE2"), 2);
    for (const char *text : {"Prio=9", "prio=1", "Prio=", "Prio=10", "PRV4", "PRV-", "MASKMODE3",
                             " PRV1", ""}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(priorityItem(text) || privilegeItem(text) || maskModeItem(text));
    }
}
