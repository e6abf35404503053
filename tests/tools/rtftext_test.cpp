#include <gtest/gtest.h>

#include "tools/rtftext.h"

namespace {

TEST(RtfText, EscapesEveryCharacterAReaderCouldMisread)
{
    const struct {
        QString text;
        QByteArray rtf;
    } cases[] = {
        {QStringLiteral("a\\b{c}d"), "a\\\\b\\{c\\}d"},
        {QString::fromUtf8("café"), "caf\\'e9"},
        {QString::fromUtf8("€"), "\\'80"},
        {QString::fromUtf8("ā"), "\\u257?"},
        {QString::fromUtf8("\xF0\x9F\x98\x80"), "\\u-10179?\\u-8704?"}, // beyond 16 bits: two escapes
        {QStringLiteral("x\r\n y"), "x\\par\r\n y"},
        {QStringLiteral("x\ny\rz"), "x\\par\r\ny\\par\r\nz"},
        {QStringLiteral("a\tb"), "a\\tab b"},
        {QString(QChar(0)) + QStringLiteral("n") + QChar(0), "n"},
        {QStringLiteral("\x01"), "\\'01"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(RtfText::body(c.text), c.rtf) << qPrintable(c.text);
}

TEST(RtfText, DocumentDeclaresTheCodePageAndOneFixedPitchFont)
{
    const QByteArray rtf = RtfText::document(QStringLiteral("x"));
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fmodern"));
    EXPECT_EQ(rtf.count("\\f0\\"), 2); // one font, declared and used
    EXPECT_TRUE(rtf.endsWith(" x}\r\n"));
}

} // namespace
