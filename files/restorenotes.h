#pragma once

#include <QList>
#include <QString>
#include <QStringList>

struct ConfigStore;
class IniDocument;
class SectionRegistry;

// A value of a configuration file that the restore did not take: a number
// that is no number, or does not fit its field, or a time that is no time.
// The field keeps its default instead, as files have always relied on.
struct RestoreNote {
    QString section; // the file section ("GENERAL", "CAUDAL 2")
    QString key;
    QString text;    // the value as the file holds it
};

// The keys of `file` whose values `restored` (the model restored from it)
// does not hold, in the file order. Each section writes the model again and
// every number or time it writes is matched with the file's text; missing
// and empty keys are not listed, nor texts and switches, which always read.
// Only the named sections are matched when `sections` is given.
QList<RestoreNote> restoreNotes(const IniDocument &file, const ConfigStore &restored,
                                const SectionRegistry &registry, const QStringList &sections = {});
