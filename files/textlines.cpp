#include "textlines.h"

QList<QStringView> textLines(QStringView text)
{
    QList<QStringView> lines;
    while (!text.isEmpty()) {
        const qsizetype end = text.indexOf(u'\n');
        QStringView line = end < 0 ? text : text.left(end);
        text = end < 0 ? QStringView() : text.mid(end + 1);
        if (line.endsWith(u'\r'))
            line.chop(1);
        lines.append(line);
    }
    return lines;
}
