#include "rtftext.h"

#include "model/cp1252.h"

namespace {

const QByteArray kHeader = QByteArrayLiteral(
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fmodern\\fcharset0 Courier New;}}\r\n\\f0\\fs20 ");

void appendHex(QByteArray &out, unsigned char byte)
{
    out += "\\'";
    out += QByteArray::number(byte, 16).rightJustified(2, '0');
}

// A UTF-16 unit the code page has no byte for, as a signed 16-bit number,
// with '?' for readers that do not know Unicode.
void appendUnicode(QByteArray &out, char16_t unit)
{
    out += "\\u";
    out += QByteArray::number(qint16(unit));
    out += '?';
}

} // namespace

namespace RtfText {

QByteArray body(const QString &text)
{
    QByteArray out;
    out.reserve(text.size() + text.size() / 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        if (u == u'\r' || u == u'\n') {
            // CR, LF and CR LF each end one line.
            if (u == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            out += "\\par\r\n";
        } else if (u == 0) {
            continue;
        } else if (u == u'\t') {
            out += "\\tab ";
        } else if (u == u'\\' || u == u'{' || u == u'}') {
            out += '\\';
            out += char(u);
        } else if (u < 0x20 || u == 0x7F) {
            appendHex(out, uchar(u));
        } else if (u < 0x80) {
            out += char(u);
        } else if (const char byte = Cp1252::encodeChar(c); byte != '?') {
            appendHex(out, uchar(byte));
        } else {
            // Characters beyond 16 bits go as their two surrogates.
            appendUnicode(out, u);
        }
    }
    return out;
}

QByteArray document(const QString &text)
{
    return kHeader + body(text) + "}\r\n";
}

} // namespace RtfText
