#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

#include "model/texthelpers.h"

namespace {

struct FloatCase {
    float value;
    const char *wire;
    const char *display;
};

TEST(NumStr, FloatsAsTheFileAndTheUnitCarryThem)
{
    const FloatCase cases[] = {
        {7.f, " 7", "7"},
        {-3.f, "-3", "-3"},
        {0.f, " 0", "0"},
        {-0.f, " 0", "0"},
        {0.5f, " .5", "0.5"},
        {-0.25f, "-.25", "-0.25"},
        {2.f, " 2", "2"},
        {12.5f, " 12.5", "12.5"},
        {100.f, " 100", "100"},
        {1000000.f, " 1000000", "1000000"},
        {9999999.f, " 9999999", "9999999"},
        {12345678.f, " 1.234568E+07", "1.234568E+07"},
        {10000000.f, " 1E+07", "1E+07"},
        {-2.5e9f, "-2.5E+09", "-2.5E+09"},
        {0.1f, " .1", "0.1"},
        {3.14159265f, " 3.141593", "3.141593"},
        {0.0001f, " .0001", "0.0001"},
        {0.00012345f, " .00012345", "0.00012345"},
        {0.00001f, " 1E-05", "1E-05"},
        {1e-40f, " 1E-40", "1E-40"},
        {FLT_MAX, " 3.402823E+38", "3.402823E+38"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(NumStr(c.value), QLatin1String(c.wire)) << c.wire;
        EXPECT_EQ(NumberText(c.value), QLatin1String(c.display)) << c.display;
    }
}

TEST(NumStr, IntegersAndWideValuesKeepAllDigits)
{
    EXPECT_EQ(NumStr(qint16(-32768)), "-32768");
    EXPECT_EQ(NumStr(7), " 7");
    EXPECT_EQ(NumStr(quint8(127)), " 127");
    EXPECT_EQ(NumStr(Q_INT64_C(9223372036854775807)), " 9223372036854775807");
    EXPECT_EQ(NumStr(4294967295.0), " 4294967295");
    EXPECT_EQ(NumStr(0.1), " .1");
    EXPECT_EQ(NumStr(1e15), " 1E+15");
    EXPECT_EQ(NumStr(1e-300), " 1E-300");
    EXPECT_EQ(NumberText(-12), "-12");
}

TEST(NumStr, ConcatenatedValuesFormABlankSeparatedList)
{
    QString list;
    for (qint16 code : {qint16(5), qint16(-1), qint16(12)})
        list += NumStr(code);
    EXPECT_EQ(list, " 5-1 12");
}

TEST(ParseNumber, ReadsTheOldBasicSyntax)
{
    const struct {
        const char *text;
        double value;
    } cases[] = {
        {"", 0},
        {"   ", 0},
        {" 12.5 ", 12.5},
        {"1,5", 1},
        {"&HFF", 255},
        {"&hff", 255},
        {"&O17", 15},
        {"&H", 0},
        {"&X1", 0},
        {"1D3", 1000},
        {"1e-2", 0.01},
        {"-.25", -0.25},
        {"+4", 4},
        {"5.", 5},
        {" 1.234568E+07", 12345680},
        {"1 2", 12},
        {"- 1 . 5", -1.5},
        {"12abc", 12},
        {"1E", 1},
        {"2E+x", 2},
        {"abc", 0},
        {"-", 0},
        {".", 0},
        {"1E400", std::numeric_limits<double>::infinity()},
        {"-1E400", -std::numeric_limits<double>::infinity()},
        {"0.0000001E400", std::numeric_limits<double>::infinity()},
        {"1000E-400", 0},
        {"1E99999999999999999", std::numeric_limits<double>::infinity()},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ParseNumber(QString::fromLatin1(c.text)), c.value) << c.text;
    EXPECT_FLOAT_EQ(float(ParseNumber(u" 1E-40")), 1e-40f);
}

TEST(ParseNumber, ReadsBackWhatNumStrWrites)
{
    // A spread over the magnitudes the fields hold, with 7-digit mantissas.
    for (int e = -45; e <= 38; ++e) {
        for (double mantissa : {1.0, 1.5, 2.718282, 9.999999, 4.194305}) {
            const float value = float(mantissa * std::pow(10.0, e));
            if (!std::isfinite(value))
                continue;
            for (float v : {value, -value}) {
                const QString text = NumStr(v);
                EXPECT_EQ(float(ParseNumber(text)), v) << qPrintable(text);
                EXPECT_EQ(float(ParseNumber(NumberText(v))), v) << qPrintable(text);
            }
        }
    }
    for (double v : {4294967295.0, 0.1, 123456789012345.0, 1e-300})
        EXPECT_EQ(ParseNumber(NumStr(v)), v);
}

TEST(NumberCheck, AcceptsOnlyOneCleanNumber)
{
    const struct {
        const char *text;
        bool decimal;
        bool integer;
    } cases[] = {
        {"1.5", true, false},
        {"1,5", false, false},
        {"", false, false},
        {"  ", false, false},
        {"+34600000000", true, true},
        {"1 2", false, false},
        {" 12 ", true, true},
        {"-.25", true, false},
        {"5.", true, false},
        {".", false, false},
        {"1E3", true, true},
        {"1E", false, false},
        {"&HFF", true, true},
        {"12abc", false, false},
        {"- 3", false, false},
    };
    for (const auto &c : cases) {
        const QString text = QString::fromLatin1(c.text);
        EXPECT_EQ(IsDecimalText(text), c.decimal) << c.text;
        EXPECT_EQ(IsIntegerText(text), c.integer) << c.text;
        EXPECT_EQ(CheckNumberText(text, u"float"), c.decimal) << c.text;
        EXPECT_EQ(CheckNumberText(text, u"int"), c.integer) << c.text;
        EXPECT_FALSE(CheckNumberText(text, u"real")) << c.text;
    }
}

TEST(FieldConversion, RoundsHalfToEvenAndRefusesWhatDoesNotFit)
{
    EXPECT_EQ(ToInt16(2.5), 2);
    EXPECT_EQ(ToInt16(3.5), 4);
    EXPECT_EQ(ToInt16(-0.5), 0);
    EXPECT_EQ(ToInt16(-1.5), -2);
    EXPECT_EQ(ToInt16(2.4999), 2);
    EXPECT_EQ(ToInt16(32767.4), 32767);
    EXPECT_EQ(ToInt16(32767.5), std::nullopt);
    EXPECT_EQ(ToInt16(-32768.5), -32768);
    EXPECT_EQ(ToInt16(-32769), std::nullopt);
    EXPECT_EQ(ToInt16(std::nan("")), std::nullopt);
    EXPECT_EQ(ToInt16(ParseNumber(u"1E400")), std::nullopt);
    EXPECT_EQ(ToInt32(2147483647.0), 2147483647);
    EXPECT_EQ(ToInt32(2147483648.0), std::nullopt);
    EXPECT_EQ(ToUInt32(4294967295.0), 4294967295u);
    EXPECT_EQ(ToUInt32(-1), std::nullopt);
    EXPECT_EQ(ToWeekdays(255), 255);
    EXPECT_EQ(ToWeekdays(256), std::nullopt);
    EXPECT_EQ(ToWeekdays(-1), std::nullopt);
    EXPECT_EQ(ToFloat32(0.1), 0.1f);
    EXPECT_EQ(ToFloat32(1e-50), 0.f);
    EXPECT_EQ(ToFloat32(1e39), std::nullopt);
    EXPECT_EQ(ToFloat32(-1e39), std::nullopt);
    EXPECT_EQ(ToFloat32(std::numeric_limits<double>::infinity()), std::nullopt);
}

} // namespace
