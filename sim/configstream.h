#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Where the simulated unit's configuration comes from: the keyword lines it
// streams for "#42" ("DNAME,Tank3"), without the "#BDnnn" numbering.
class SectionRegistry;
struct ConfigStore;

namespace ConfigStream {

// A small, realistic unit: named channels, a few alarms, timers and phones,
// with the phone masks in the form a unit with these capabilities sends.
QStringList defaults(quint32 features);

// A plain file of keyword lines, one per line (Windows-1252); blank lines
// and lines starting with ";" are skipped.
bool fromLinesFile(const QString &path, QStringList &lines, QString *error = nullptr);

// A configuration file restored through the section cores, then written out
// as each section's download lines for a unit with these capabilities.
// Keyword lines read into a model as a download reads them.
ConfigStore readLines(const SectionRegistry &registry, const QStringList &lines, quint32 features);

// The lines as a unit that holds them streams them back: every item of every
// section, in the form its sections send, such as disabled alarm slots.
QStringList asHeld(const QStringList &lines, quint32 features);

// What a unit holding `store` streams: each section's download lines, in the
// file's order of the sections.
QStringList fromStore(const SectionRegistry &registry, const ConfigStore &store, quint32 features);

bool fromConfigFile(const QString &path, quint32 features, QStringList &lines,
                    QString *error = nullptr);

} // namespace ConfigStream
