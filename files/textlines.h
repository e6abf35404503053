#pragma once

#include <QList>
#include <QStringView>

// The lines of a text file's contents, without their CR LF or LF endings.
// A final line break does not start another line. The views point into text.
QList<QStringView> textLines(QStringView text);
