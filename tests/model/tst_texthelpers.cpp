#include <gtest/gtest.h>

#include "model/channelcode.h"
#include "model/crc16.h"
#include "model/texthelpers.h"

namespace {

TEST(BoolText, OnlyTheExactTrueTextIsTrue)
{
    EXPECT_EQ(BoolText(true), "True");
    EXPECT_EQ(BoolText(false), "False");
    EXPECT_TRUE(TextBool(u"True"));
    for (const char *text : {"TRUE", "true", "", "-1", "True "})
        EXPECT_FALSE(TextBool(QString::fromLatin1(text))) << text;
}

TEST(TimeText, WritesAndReadsTheTimeOfDay)
{
    const struct {
        QTime time;
        const char *text;
    } cases[] = {
        {QTime(0, 0), "0:00:00"},
        {QTime(8, 5, 0), "8:05:00"},
        {QTime(23, 59, 59), "23:59:59"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(TimeText(c.time), QLatin1String(c.text));
        EXPECT_EQ(TimeFromText(QString::fromLatin1(c.text)), c.time) << c.text;
    }
    EXPECT_EQ(TimeText(QTime()), "0:00:00");
    EXPECT_EQ(TimeFromText(u" 08:05 "), QTime(8, 5));
    for (const char *bad : {"", "24:00:00", "8:5:00", "8:05:60", "8", "8:05:00:00", "a:05:00", "-1:05"})
        EXPECT_EQ(TimeFromText(QString::fromLatin1(bad)), std::nullopt) << bad;
}

TEST(SecondsToTime, KeepsTheEndOfTheDayInsideIt)
{
    EXPECT_EQ(SecondsToTime(0), QTime(0, 0));
    EXPECT_EQ(SecondsToTime(29100), QTime(8, 5));
    EXPECT_EQ(SecondsToTime(86399), QTime(23, 59, 59));
    EXPECT_EQ(SecondsToTime(86400), QTime(23, 59, 59));
    EXPECT_EQ(SecondsToTime(86401), std::nullopt);
    EXPECT_EQ(SecondsToTime(-1), std::nullopt);
}

TEST(WeekBitsText, MondayFirstAndBitSevenHidden)
{
    EXPECT_EQ(WeekBitsText(0), "0000000");
    EXPECT_EQ(WeekBitsText(31), "1111100");
    EXPECT_EQ(WeekBitsText(127), "1111111");
    EXPECT_EQ(WeekBitsText(0x80 | 0x40), "0000001");
}

TEST(Fields, CommaFieldsCountFromOne)
{
    const struct {
        const char *text;
        int n;
        const char *field;
    } cases[] = {
        {"#BB012VBAT,3.61", 1, "#BB012VBAT"},
        {"#BB012VBAT,3.61", 2, "3.61"},
        {"#DF,10,20", 3, "20"},
        {"#DF,10,20", 4, ""},
        {"#DF,10,20", 5, ""},
        {"#DF,10,20", 0, "#DF"},
        {"a,b,,d", 3, ""},
        {"a,b,,d", 4, "d"},
        {"", 1, ""},
        {"a,", 2, ""},
    };
    for (const auto &c : cases) {
        const QString text = QLatin1String(c.text);
        EXPECT_EQ(LineField(text, c.n), QLatin1String(c.field)) << c.text << " " << c.n;
        EXPECT_EQ(CsvField(text, c.n), QLatin1String(c.field)) << c.text << " " << c.n;
    }
}

TEST(Fields, BraceFieldsKeepTheirCommas)
{
    const struct {
        const char *text;
        int n;
        const char *field;
    } cases[] = {
        {"#BD031MACROS,2,{A,B}", 2, "A,B"},
        {"#BD031MACROS,2,{A,B}", 1, "#BD031MACROS,2,{A,B"},
        {"#BD031MACROS,2,{A,B", 2, "A,B"},
        {"#BD031MACROS,2,{A,B}", 3, ""},
        {"x{1}{2,3}", 3, "2,3"},
        {"no braces", 2, ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(BraceField(QString::fromLatin1(c.text), c.n), QLatin1String(c.field)) << c.text << " " << c.n;
}

TEST(Fields, CommaToDotReplacesEveryComma)
{
    EXPECT_EQ(CommaToDot(u"1,23"), "1.23");
    EXPECT_EQ(CommaToDot(u",a,,"), ".a..");
}

TEST(ChannelCode, NamesAndCodesMatchBothWays)
{
    const struct {
        const char *name;
        int code;
    } table[] = {
        {"AI0", 0}, {"AI3", 3}, {"FL0", 12}, {"FL7", 19}, {"DI0", 21}, {"DI7", 28},
        {"MB0", 29}, {"MB31", 60}, {"FG0", 61}, {"FG15", 76}, {"DI8", 97},
        {"PB0", 105}, {"PB3", 108},
    };
    for (const auto &c : table) {
        EXPECT_EQ(NameToCode(QString::fromLatin1(c.name)), c.code) << c.name;
        EXPECT_EQ(CodeToName(c.code), QLatin1String(c.name)) << c.code;
    }
    for (int code : {-1, 4, 11, 20, 77, 96, 98, 104, 109, 32767})
        EXPECT_EQ(CodeToName(code), "") << code;
    for (const char *name : {"", "XX1", "di3", "DI9", "DI03", "DI+3", "AI4", "FG16", "PB", "MB32 "})
        EXPECT_EQ(NameToCode(QString::fromLatin1(name)), 0) << name;
}

TEST(Crc16, StandardCheckValue)
{
    EXPECT_EQ(Crc16("123456789"), 0x4B37);
    EXPECT_EQ(Crc16(QByteArrayView()), 0xFFFF);
    EXPECT_EQ(Crc16Update(0xFFFF, '1'), Crc16("1"));
}

} // namespace
