#pragma once

#include <QString>

#include "files/servicehistory.h"

class DifferenceWindow;

// An operation of the history as the windows name it ("Lectura"), from its
// kind or from the word the files use ("read").
QString historyKindText(HistoryKind kind);
QString historyKindText(const QString &word);

// The values of a comparison of one unit's configurations tell, in their
// tips, who last changed their key on that unit and when, from the unit's
// copies in the history (as "velkan-cli history who" does).
void showKeyChanges(DifferenceWindow &window, const ServiceHistory &history, const QString &serial);
