#include "downloadline.h"

#include "model/texthelpers.h"

std::optional<int> ItemIndex(const QString &line, int count)
{
    return FieldIndex(line, 2, count);
}

std::optional<int> FieldIndex(const QString &line, int field, int count)
{
    const QString text = LineField(line, field);
    if (!IsIntegerText(text))
        return std::nullopt;
    const std::optional<qint16> number = ToInt16(ParseNumber(text));
    if (!number || *number < 0 || *number >= count)
        return std::nullopt;
    return *number;
}

bool CheckSiempre(qint32 StartSOD, qint32 StopSOD, quint8 Week)
{
    constexpr quint8 kEveryDay = 0x7f;
    return (Week & kEveryDay) == kEveryDay && StartSOD == 0 && StopSOD >= 86399;
}
