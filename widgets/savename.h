#pragma once

#include <QDateTime>
#include <QString>

class QWidget;

// Names for the files the windows save (a terminal's text, a trace, a live
// log, a chart picture): the operator is offered one that tells the unit and
// the time, and a name typed without an extension gets the filter's.

// "prefix_SERIAL_yyyyMMdd-HHmmss.extension"; without a serial,
// "prefix_yyyyMMdd-HHmmss.extension". The serial keeps only letters, digits,
// "-" and "_" (anything else becomes "_").
QString suggestedFileName(const QString &prefix, const QString &serial, const QString &extension,
                          const QDateTime &time = QDateTime::currentDateTime());
// The extension of a dialog filter's first pattern: "Texto (*.rtf);;..." gives "rtf".
QString filterExtension(const QString &filter);
// The path as the operator gave it, with ".extension" added when its file
// name has none.
QString withExtension(const QString &path, const QString &extension);
// The save dialog: offers `suggested`, asks before replacing a file (the
// name completed with the extension included); empty when cancelled.
QString askSaveFile(QWidget *parent, const QString &filter, const QString &suggested);
