#pragma once

#include <QList>
#include <QTextStream>

#include "commands.h"
#include "files/configcompare.h"
#include "files/linetexts.h"
#include "files/restorenotes.h"

// What the command families share: standard output, the identity check, and
// how a configuration file a command reads is checked and told.

QTextStream &out();
bool identified(const CliSession &s);
QList<RestoreNote> &fileNotes();
bool acceptNotes(const QString &path, const QList<RestoreNote> &notes, const CommandArgs &a);
// The file's values not taken go to `notes` when asked.
bool restoreChecked(const QString &path, ConfigStore &store, const SectionRegistry &sections,
                    const CommandArgs &a, QString *sourceSerial = nullptr, QList<RestoreNote> *notes = nullptr);
bool sendable(const QList<FieldFault> &faults);
QString tabField(const ConfigDifference &d, ConfigDifference::Side absent, const QString &value);
