#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "servicehistory.h"

struct ConfigStore;
class SectionRegistry;

// The newest write to a unit, as its service history keeps it, of the
// configuration a report shows.
struct LastWrite {
    bool found = false; // false: the history holds no write of this configuration
    HistoryKind kind = HistoryKind::Write;
    QDateTime time;
    QString path;
    QStringList unreadable; // copies written to the unit that could not be read, newest first
};

// The newest write of `store` among the unit's copies: a copy written to
// the unit whose configuration the sections save alike. Copies that cannot
// be read are named, not passed over in silence.
LastWrite lastWriteOf(const ServiceHistory &history, const QString &serial, const ConfigStore &store,
                      const SectionRegistry &sections);
