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
