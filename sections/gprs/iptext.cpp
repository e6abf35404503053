#include "iptext.h"

#include <QList>

bool IsDottedAddress(QStringView text)
{
    const QList<QStringView> parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    for (QStringView part : parts) {
        if (part.isEmpty() || part.size() > 3)
            return false;
        for (QChar c : part) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
        }
        if (part.toInt() > 255)
            return false;
    }
    return true;
}

std::optional<std::array<quint8, 4>> DottedBytes(QStringView text)
{
    if (!IsDottedAddress(text))
        return std::nullopt;
    std::array<quint8, 4> bytes{};
    const QList<QStringView> parts = text.split(QLatin1Char('.'));
    for (int i = 0; i < int(bytes.size()); ++i)
        bytes[i] = quint8(parts[i].toInt());
    return bytes;
}
