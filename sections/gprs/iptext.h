#pragma once

#include <QStringView>

// True for four numbers from 0 to 255 (one to three digits each) joined by
// dots, with nothing around them: the texts an address box can show. Any
// other stored address text (the default "0", an empty text, a host name)
// is shown and kept as it stands.
bool IsDottedAddress(QStringView text);

#include <array>
#include <optional>
#include <QtGlobal>

// The four values of a text IsDottedAddress accepts; none for any other text.
std::optional<std::array<quint8, 4>> DottedBytes(QStringView text);
