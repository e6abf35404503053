#pragma once

#include <QString>
#include <QStringList>

#include "files/inidocument.h"
#include "files/sectioncore.h"
#include "model/configstore.h"
#include "model/texthelpers.h"

// A configuration with one section cleared, and the unit's lines fed to it.
inline ConfigStore clearedBy(const SectionCore &core)
{
    ConfigStore store;
    core.clear(store);
    return store;
}

inline void feed(const SectionCore &core, ConfigStore &store, const QString &line)
{
    DownloadState state;
    core.parseLine(store, state, LineField(line, 1), QStringLiteral("#BD012") + line, 0);
}

// The file lines of one section, "[MATH 0]" included.
inline QStringList sectionLines(const IniDocument &doc, const QString &section)
{
    const QStringList all = QString::fromLatin1(doc.serialize()).split(QStringLiteral("\r\n"));
    const qsizetype start = all.indexOf(QLatin1Char('[') + section + QLatin1Char(']'));
    QStringList lines;
    for (qsizetype i = start; start >= 0 && i < all.size() && !all[i].isEmpty(); ++i) {
        if (i > start && all[i].startsWith(QLatin1Char('[')))
            break;
        lines << all[i];
    }
    return lines;
}
