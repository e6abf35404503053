#include "framecodec.h"

#include "model/cp1252.h"

namespace {

int byteSum(const QByteArray &bytes)
{
    int sum = 0;
    for (char c : bytes)
        sum += static_cast<unsigned char>(c);
    return sum % 256;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return 0;
}

QByteArray payloadOf(const QString &command)
{
    const QByteArray bytes = Cp1252::encode(command);
    return bytes.startsWith('#') ? bytes.mid(1) : bytes;
}

} // namespace

namespace FrameCodec {

QByteArray checksum(const QByteArray &payload)
{
    return QByteArray::number(256 + byteSum(payload), 16).toUpper().right(2);
}

QByteArray encode(const QString &command)
{
    const QByteArray payload = payloadOf(command);
    return '#' + checksum(payload) + ';' + payload + '\r';
}

QString framedText(const QString &command)
{
    const QByteArray framed = encode(command);
    return Cp1252::decode(framed.left(framed.size() - 1));
}

bool verify(const QByteArray &frame)
{
    if (frame.size() < 5)
        return false;
    const int expected = hexDigit(frame.at(1)) * 16 + hexDigit(frame.at(2));
    return byteSum(frame.mid(4)) == expected;
}

QString answerText(const QByteArray &frame)
{
    return QStringLiteral("#") + Cp1252::decode(frame.mid(4));
}

} // namespace FrameCodec
