#pragma once

#include <QString>

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
