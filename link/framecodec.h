#pragma once

#include <QByteArray>
#include <QString>

// The unit's frame: "#", two upper-case hexadecimal checksum digits, ";", the
// payload and CR. The checksum is the byte sum of the payload modulo 256, over
// the Windows-1252 bytes actually sent.
namespace FrameCodec {

// Two upper-case digits, with a leading zero below 16.
QByteArray checksum(const QByteArray &payload);

// "#40" -> bytes "#64;40" followed by CR. The leading "#" of the command text
// is dropped; a text without one is framed whole.
QByteArray encode(const QString &command);

// The framed text without the CR, as the caller's text variable receives it.
QString framedText(const QString &command);

// Checks a received frame held without its CR ("#88;BF"): the payload's sum
// against the two digits at positions 2 and 3 (either case; a non-digit reads 0).
bool verify(const QByteArray &frame);

// The answer text a verified frame leaves in RxBuf: "#" and the payload.
QString answerText(const QByteArray &frame);

} // namespace FrameCodec
