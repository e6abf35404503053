#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "restorenotes.h"

struct ConfigStore;
class IniDocument;
class SectionRegistry;

// What a merge takes from the other configuration: a whole file section
// ("CAUDAL 2") or one of its keys.
struct TakeChoice {
    QString item;
    QString key; // empty: every key of the item
};

// "--take" arguments, "SECTION" or "SECTION.KEY", where SECTION is a
// registered section ("Caudal": every file section it writes) or a file
// section ("CAUDAL 2"); matched without regard to case against `written`,
// the other configuration as the sections write it. Unknown names go to
// `unknown` and take nothing.
QList<TakeChoice> takeChoices(const QStringList &arguments, const IniDocument &written,
                              const SectionRegistry &registry, QStringList &unknown);

// The rows of "diff --json" as choices: file section and key ("" for a whole
// section on one side). False when the text is not such an array.
bool takeChoicesFromJson(const QByteArray &json, QList<TakeChoice> &choices);

// Copies the chosen values of `from` into `into`; the number of keys that
// changed or were added.
int takeValues(const QList<TakeChoice> &choices, const IniDocument &from, IniDocument &into);

// What a take did: the values copied, and those the restore rules refused,
// which the configuration keeps as it had them.
struct TakeReport {
    int taken = 0;
    QList<RestoreNote> refused;
};

// The chosen values of `from` (another configuration as the sections write
// it) into `store`, through the restore rules of a configuration file.
TakeReport takeInto(ConfigStore &store, const IniDocument &from, const QList<TakeChoice> &choices,
                    const SectionRegistry &registry);
