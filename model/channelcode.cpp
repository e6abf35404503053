#include "channelcode.h"

#include <algorithm>

qint16 NameToCode(QStringView name)
{
    for (const ChannelCode &row : kChannelCodes) {
        const QLatin1String prefix(row.Prefix);
        if (!name.startsWith(prefix))
            continue;
        const QStringView number = name.sliced(prefix.size());
        // Plain digits only, and no leading zero: toInt alone would take "+3" or "03".
        const bool plain = !number.isEmpty() && (number.size() == 1 || number[0] != u'0')
                           && std::all_of(number.begin(), number.end(),
                                          [](QChar c) { return c >= u'0' && c <= u'9'; });
        bool ok = false;
        const int n = plain ? number.toInt(&ok) : -1;
        if (ok && n >= row.FirstNumber && n < row.FirstNumber + row.Count)
            return qint16(row.FirstCode + n - row.FirstNumber);
    }
    return 0;
}

QString CodeToName(int code)
{
    for (const ChannelCode &row : kChannelCodes) {
        const int offset = code - row.FirstCode;
        if (offset >= 0 && offset < row.Count)
            return QLatin1String(row.Prefix) + QString::number(row.FirstNumber + offset);
    }
    return {};
}
