#pragma once

#include <QByteArray>

// One Intel HEX record with its checksum, CR LF ended.
inline QByteArray hexRecord(quint8 type, quint16 address, const QByteArray &data)
{
    QByteArray bytes;
    bytes.append(char(data.size())).append(char(address >> 8)).append(char(address & 0xFF)).append(char(type));
    bytes.append(data);
    quint8 sum = 0;
    for (char b : std::as_const(bytes))
        sum += quint8(b);
    bytes.append(char(quint8(-sum)));
    return ':' + bytes.toHex().toUpper() + "\r\n";
}

// Intel HEX text of 16-byte data records and the end record, at least
// `length` bytes long, its data varying with `seed` so two files differ.
inline QByteArray hexText(int length, char seed)
{
    const QByteArray end = hexRecord(1, 0, {});
    QByteArray text;
    for (int line = 0; text.size() + end.size() < length; ++line)
        text += hexRecord(0, quint16(line * 16), QByteArray(16, char(seed + line % 7)));
    return text + end;
}
