#pragma once

#include <QString>
#include <QStringList>

#include "files/inidocument.h"

// The key names of one file section, in the order the document holds them.
inline QStringList keysOf(const IniDocument &doc, const QString &section)
{
    QStringList keys;
    bool inside = false;
    for (const QString &line : QString::fromLatin1(doc.serialize()).split(QStringLiteral("\r\n"))) {
        if (line.startsWith(QLatin1Char('[')))
            inside = line == QLatin1Char('[') + section + QLatin1Char(']');
        else if (inside && line.contains(QLatin1Char('=')))
            keys << line.section(QLatin1Char('='), 0, 0);
    }
    return keys;
}
