#pragma once

#include <QHash>
#include <QString>

#include <optional>

#include "files/sectioncore.h"

// A value of the configuration file as the editors show it: a number in the
// editors' form (".5" shows as "0.5"), "True" and "False" as "Si" and "No"
// (translated), any other text as it is.
QString editorValueText(const QString &fileText);

// The number of a file section's record ("CAUDAL 2" gives "2"); empty when
// the name ends in no number.
QString recordNumber(const QString &item);

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
// `captions`. A key the table lacks is looked up without its trailing number,
// which then follows the caption as a place in a list ("TEL 3" shows as
// "Telefono (3)"); a key neither names keeps its own. The value shows in the
// editors' form with the unit after it ("LINE( 3)" reads as a list's place
// too). None for any other file section.
std::optional<FieldTerm> captionedFieldTerm(const IniDocument &side, const QString &section, const QString &item,
                                            const QString &key, const QHash<QString, KeyCaption> &captions);
