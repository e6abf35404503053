#pragma once

#include <QHash>
#include <QString>

#include <initializer_list>
#include <optional>

#include "files/fieldcatalogue.h"
#include "files/sectioncore.h"

// How the section cores name their file keys and show their values, shared by
// every core's fieldTerm.

// A caption of the language table as a field's name: translated, without
// the trailing ":" of a form's label.
QString fieldCaption(const QString &caption);

// How an editor names one file key: the caption beside its box, the frame it
// stands in where two frames hold like captions, and the unit beside the box.
struct KeyCaption {
    const char *caption;
    const char *frame = nullptr;
    const char *unit = nullptr;
};

// The term of a key of the one-record file section `section`, named by
// `captions` and set in `record` (already translated). A key the table lacks
// is looked up without its trailing number, which then follows the caption as
// a place in a list ("TEL 3" shows as "Telefono (3)"); a key neither names
// keeps its own. The value shows in the editors' form, the unit beside it
// ("LINE( 3)" reads as a list's place too). None for any other file section.
std::optional<FieldTerm> captionedFieldTerm(const IniDocument &side, const QString &section, const QString &item,
                                            const QString &key, const QHash<QString, KeyCaption> &captions,
                                            const QString &record);

// A record's name: its caption translated and its number ("Caudalimetro 2").
QString numberedRecord(const QString &caption, int number);

// Whether a flag key of the file reads "True".
bool fileFlagSet(const IniDocument &side, const QString &item, const QString &key);

// ---- Values in the editors' form ----
// A weekday mask as the day boxes ticked: "Lun, Mar, Mie" (translated).
QString weekdaysValue(const QString &fileText);
// A monthly timer's day mask as its day boxes: "1, 15, Ultimo del mes".
QString monthDaysValue(const QString &fileText);
// A time of day as the time boxes show it ("8:05:00").
QString timeValue(const QString &fileText);
// An enabling flag as its list shows it: 0 is "TRUE", n is "F" + (n - 1).
QString flagChoiceValue(const QString &fileText);
// Whether an action key holds an action: a free slot of a list is not in use.
bool actionSet(const QString &fileText);
// An action code as the action editor names it ("Ejecutar macro 3"), a macro
// run by it with the name the pool gives it in `side`; the code alone for
// one the catalogue lacks, "" for an empty slot.
QString actionValue(const IniDocument &side, const QString &fileText);
// An interface choice as its option reads (translated); the number for
// one no option holds.
struct InterfaceChoice {
    qint16 value;
    const char *caption;
};
QString interfaceValue(const QString &fileText, std::initializer_list<InterfaceChoice> choices);
// A macro by its number and, when the pool in `side` names it, its name:
// "Macro 12 (bomba)".
QString macroReference(const IniDocument &side, int number);
