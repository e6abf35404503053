#include "actionlist.h"

#include "texthelpers.h"

QString ActionListText(const ActionList &list)
{
    QString text;
    for (const qint16 code : list) {
        if (code > 0)
            text += NumStr(code);
    }
    return text;
}

std::optional<ActionList> ActionListFromText(QStringView text)
{
    const QList<QStringView> codes = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    ActionList list{};
    if (codes.size() > qsizetype(list.size()))
        return std::nullopt;
    for (qsizetype slot = 0; slot < codes.size(); ++slot) {
        const std::optional<qint16> code =
            IsIntegerText(codes[slot]) ? ToInt16(ParseNumber(codes[slot])) : std::nullopt;
        if (!code || *code <= 0)
            return std::nullopt;
        list[slot] = *code;
    }
    return list;
}
