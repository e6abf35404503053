#pragma once

#include <QList>
#include <QString>
#include <QStringList>

struct ConfigStore;
class IniDocument;
class SectionRegistry;

// A value of a configuration file that the restore did not take: a number
// that is no number, or does not fit its field, or a time that is no time,
// or an empty value where a number or a time belongs. The field keeps what
// the restore gave it (the default, or 0 for an empty value), as files have
// always relied on; until the operator gives it a value it cannot go to a
// unit, as the file holds something else.
// Or a number the field holds but its window's box does not accept (a port
// of 70000, a time base of -1): kept and shown red, and refused by the check
// before an upload until it is mended; `detail` then says what the box takes.
// Or a switch set beside another one its window cannot show with it (an
// alarm notified by voice and by GPRS): kept, and refused by the check
// before an upload until the operator chooses; `detail` names the other key.
struct RestoreNote {
    enum class Kind { NotTaken, OutOfRange, Conflict };
    QString section; // the file section ("GENERAL", "CAUDAL 2")
    QString key;
    QString text;    // the value as the file holds it
    Kind kind = Kind::NotTaken;
    QString detail;  // the range it lies outside ("0 - 65535"), or the key set beside it
    QString owner;   // the registered section whose key it is ("General", "Caudal")

    bool outOfRange() const { return kind == Kind::OutOfRange; }
};

// The keys of `file` whose values `restored` (the model restored from it)
// does not hold, in the file order. Each section writes the model again and
// every number or time it writes is matched with the file's text; missing
// keys are not listed (older files leave keys out and rely on them reading
// as 0), nor texts and switches, which always read, but a key present with
// an empty value where a number or a time belongs is. Only the named
// sections are matched when `sections` is given. Values taken but outside
// their box's range (fieldRange), and switches their window cannot show
// together (shownTogetherConflict), are listed too.
QList<RestoreNote> restoreNotes(const IniDocument &file, const ConfigStore &restored,
                                const SectionRegistry &registry, const QStringList &sections = {});
