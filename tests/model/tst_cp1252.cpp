#include <gtest/gtest.h>

#include "model/cp1252.h"

namespace {

TEST(Cp1252, SpanishTextBothWays)
{
    const struct {
        QString text;
        QByteArray bytes;
    } cases[] = {
        {QStringLiteral("Añadir"), QByteArray("A\xF1" "adir")},
        {QStringLiteral("¡Error!"), QByteArray("\xA1" "Error!")},
        {QStringLiteral("Configuración"), QByteArray("Configuraci\xF3n")},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Cp1252::encode(c.text), c.bytes);
        EXPECT_EQ(Cp1252::decode(c.bytes), c.text);
    }
}

TEST(Cp1252, HighControlBytesBothWays)
{
    // Bytes 0x80 to 0x9F; the five the code page leaves open keep their C1 control.
    const char16_t expected[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    for (int b = 0x80; b <= 0x9F; ++b) {
        const QChar c(expected[b - 0x80]);
        EXPECT_EQ(Cp1252::decodeByte(uchar(b)), c) << std::hex << b;
        EXPECT_EQ(uchar(Cp1252::encodeChar(c)), b) << std::hex << b;
    }
}

TEST(Cp1252, EveryByteSurvivesARoundTrip)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    EXPECT_EQ(Cp1252::encode(Cp1252::decode(all)), all);
}

TEST(Cp1252, CharactersWithoutAByteBecomeOneQuestionMark)
{
    EXPECT_EQ(Cp1252::encode(QStringLiteral("a\u0080b\u4E2Dc")), QByteArray("a?b?c"));
    EXPECT_EQ(Cp1252::encode(QString::fromUcs4(U"x\U0001F600y")), QByteArray("x?y"));
}

} // namespace
