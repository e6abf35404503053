#pragma once

#include <QString>

class QLineEdit;

// Colours a numeric text box from the number check of its kind ("int" or
// "float"; any other kind counts as invalid): the normal background when the
// text is a valid number, red otherwise. Editors call it from their refresh
// timers; it only colours and never stops a value from being stored.
bool CheckNumberBox(QLineEdit *box, const QString &kind);

// The same colouring for a check of the caller's own (a number that must
// also fit its field).
bool ShowNumberValid(QLineEdit *box, bool valid);
