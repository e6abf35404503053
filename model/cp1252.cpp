#include "cp1252.h"

#include <array>

namespace {

// Code points of bytes 0x80 to 0x9F; 0 marks the five bytes the code page leaves undefined,
// which decode to the C1 control of the same number so that a round trip keeps them.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

} // namespace

namespace Cp1252 {

QChar decodeByte(unsigned char b)
{
    if (b >= 0x80 && b <= 0x9F && kHighControls[b - 0x80] != 0)
        return QChar(kHighControls[b - 0x80]);
    return QChar(char16_t(b));
}

char encodeChar(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return char(u);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        const char16_t mapped = kHighControls[i] != 0 ? kHighControls[i] : char16_t(0x80 + i);
        if (mapped == u)
            return char(0x80 + i);
    }
    return '?';
}

void appendEncoded(QByteArray &out, QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        // A character outside the 16-bit range is one character: one '?'.
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        out.append(encodeChar(text[i]));
    }
}

QByteArray encode(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    appendEncoded(out, text);
    return out;
}

QString decode(const QByteArray &bytes)
{
    // Latin-1 agrees with the code page everywhere but 0x80 to 0x9F.
    QString out = QString::fromLatin1(bytes);
    for (QChar &c : out) {
        if (c.unicode() >= 0x80 && c.unicode() <= 0x9F)
            c = decodeByte(static_cast<unsigned char>(c.unicode()));
    }
    return out;
}

} // namespace Cp1252
