#include "faultplan.h"

#include <QRegularExpression>

bool FaultPlan::parseAnswerList(const QString &text, QHash<QString, int> &into)
{
    static const QRegularExpression item(QStringLiteral("^([0-9A-Fa-f]{2})(?::(\\d+|all))?$"));
    for (const QString &part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch m = item.match(part.trimmed());
        if (!m.hasMatch())
            return false;
        const QString count = m.captured(2);
        into.insert(m.captured(1).toUpper(),
                    count.isEmpty() ? 1 : count == QLatin1String("all") ? -1 : count.toInt());
    }
    return true;
}
