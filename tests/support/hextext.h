#pragma once

#include <QByteArray>
#include <QString>

// Intel HEX text of exactly `length` bytes (the last line cut short, without
// its line break), its data digits varying with `seed` so two files differ.
inline QByteArray hexText(int length, char seed)
{
    QByteArray text;
    for (int line = 0; text.size() < length; ++line) {
        const QByteArray address = QByteArray::number(line % 0x10000, 16).rightJustified(4, '0').toUpper();
        text += ":10" + address + "00" + QByteArray(32, char(seed + line % 7)) + "\r\n";
    }
    return text.left(length);
}
