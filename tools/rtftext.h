#pragma once

#include <QByteArray>
#include <QString>

// Rich text of a plain console text: one fixed-pitch font, one paragraph per
// line, every character kept (NUL aside) and readable by any RTF reader.
namespace RtfText {

// The whole file.
QByteArray document(const QString &text);
// The text alone, as it stands between the header and the closing brace.
QByteArray body(const QString &text);

} // namespace RtfText
