#include "downloadline.h"

#include "model/texthelpers.h"

std::optional<int> ItemIndex(const QString &line, int count)
{
    const QString field = LineField(line, 2);
    if (!IsIntegerText(field))
        return std::nullopt;
    const std::optional<qint16> number = ToInt16(ParseNumber(field));
    if (!number || *number < 0 || *number >= count)
        return std::nullopt;
    return *number;
}

bool CheckSiempre(qint32 StartSOD, qint32 StopSOD, quint8 Week)
{
    constexpr quint8 kEveryDay = 0x7f;
    return (Week & kEveryDay) == kEveryDay && StartSOD == 0 && StopSOD >= 86399;
}
