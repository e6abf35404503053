#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// The unit's wire bytes, .qcf files and Lang.txt are 8-bit Windows-1252.
// Qt's own decoder for it depends on ICU, which not every Qt build has, so
// the conversion lives here, at the three boundaries that need it.
namespace Cp1252 {

// Characters without a Windows-1252 byte become '?'.
QByteArray encode(const QString &text);
// encode's bytes appended to out, for writers that build one buffer from many texts.
void appendEncoded(QByteArray &out, QStringView text);
QString decode(const QByteArray &bytes);

// One character's byte, or '?' when it has none.
char encodeChar(QChar c);
QChar decodeByte(unsigned char b);

} // namespace Cp1252
