#pragma once

#include <QList>
#include <QString>
#include <functional>

#include "files/fieldranges.h"

class QLineEdit;
class QWidget;

// Colours a numeric text box from the number check of its kind ("int" or
// "float"; any other kind counts as invalid): the normal background when the
// text is a valid number, red otherwise.
bool CheckNumberBox(QLineEdit *box, const QString &kind);

// The same colouring for a check of the caller's own (a number that must
// also fit its field).
bool ShowNumberValid(QLineEdit *box, bool valid);

// The ranges come from the file's one table of number keys (fieldRange).

// Why a text is no number of the range, in the operator's words (translated);
// empty when it is one. The decimal comma of some PCs is refused with its own
// reason: the unit and the files read only the point.
QString numberTextFault(const QString &text, const NumberRange &range);

// Makes box a number box of the field called caption (a text of the language
// table; a trailing ":" is left out of messages). Every change of its text
// checks it: a text that is no number of the range turns the box red, with
// the reason as its tooltip. Editors store nothing from such a box
// (numberBoxFault), and the save, the upload and leaving the window refuse
// to go on while one is left (numberBoxFaults).
void makeNumberBox(QLineEdit *box, const NumberRange &range, const QString &caption);
// The same for the file key `key` of registered section `section`, with the
// range the file's table gives it (fieldRange).
void makeNumberBox(QLineEdit *box, const QString &section, const QString &key, const QString &caption);
// Makes box the text of a time of day for the field called caption: the
// same colouring, tooltip and refusal as a number box, for a text that
// TimeFromText cannot read ("H:MM:SS" or "H:MM").
void makeTimeField(QLineEdit *box, const QString &caption);
// Makes box a field of the caller's own check: check(text) gives why the
// text cannot be kept (translated), empty when it can. The same colouring,
// tooltip and refusal as a number box.
void makeCheckedField(QLineEdit *box, const QString &caption, std::function<QString(const QString &)> check);
// Names the field of a number box or time field anew (a window that shows
// another kind of record in it).
void setFieldCaption(QLineEdit *box, const QString &caption);
// Why a text is no time of day (translated); empty when it is one.
QString timeTextFault(const QString &text);

// The reason the box's text is refused; empty when the box takes it or is
// neither a number box, a time field nor a checked field.
QString numberBoxFault(const QLineEdit *box);

// A field that stops the configuration from being saved or sent: the window
// holding it, the box, the field's caption and the reason (both translated).
struct BoxFault {
    QWidget *window = nullptr;
    QWidget *box = nullptr;
    QString field;
    QString reason;
};

// The number boxes and time fields of the window (its children included)
// that refuse their text, in the order built. A disabled box is left out:
// the operator cannot mend it, and its text is not stored.
QList<BoxFault> numberBoxFaults(QWidget *window);
// "Window - caption: reason" lines, one a fault, for a message.
QString faultLines(const QList<BoxFault> &faults);
