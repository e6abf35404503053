#pragma once

#include <QString>

struct FileFailure;

// The operator's words for what went wrong with a file: the reason and the
// file (only the file when it is no configuration).
QString fileFailureText(const FileFailure &failure);

// "Text|pattern|Text|pattern" filter lists as the file dialogs take them.
QString dialogFilter(const QString &pipeFilter);
// The filter in the language in use; the Spanish one when a translation
// lost its patterns, so that the dialog never goes without any.
QString translatedFilter(const QString &pipeFilter);
// Configuration files, then every file.
QString configFileFilter();
