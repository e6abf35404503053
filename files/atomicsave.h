#pragma once

#include <QByteArray>
#include <QString>

// Writes a whole file atomically: the bytes go to a temporary file beside it,
// which is flushed and then renamed over it, so that the file is always the
// old one or the new one, whenever the program stops. False with `error` set
// when the file cannot be written; it is then left as it was.
//
// A save killed at the wrong moment can leave its temporary file behind: the
// file's name, a dot and six letters ("unit.qcf.kXpQzT"). A successful save
// removes those of its own file. Six letters all of one case are kept, since
// an operator may well name a copy so ("unit.qcf.backup"); a rare leftover
// with such a name stays.
bool SaveWholeFile(const QString &path, const QByteArray &bytes, QString *error = nullptr);
