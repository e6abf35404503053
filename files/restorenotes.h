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
// Or a number the field holds but its window's box does not accept (a port
// of 70000, a time base of -1): kept and shown red, and refused by the check
// before an upload until it is mended; `range` then says what the box takes.
struct RestoreNote {
    QString section; // the file section ("GENERAL", "CAUDAL 2")
    QString key;
    QString text;    // the value as the file holds it
    QString range;   // empty: not taken; else the range it lies outside ("0 - 65535")

    bool outOfRange() const { return !range.isEmpty(); }
};

// The keys of `file` whose values `restored` (the model restored from it)
// does not hold, in the file order. Each section writes the model again and
// every number or time it writes is matched with the file's text; missing
// and empty keys are not listed, nor texts and switches, which always read.
// Only the named sections are matched when `sections` is given. Values
// taken but outside their box's range (fieldRange) are listed too.
QList<RestoreNote> restoreNotes(const IniDocument &file, const ConfigStore &restored,
                                const SectionRegistry &registry, const QStringList &sections = {});
