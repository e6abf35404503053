#pragma once

#include <QString>

#include "filefailure.h"
#include "restorenotes.h"

struct ConfigStore;
class IniDocument;
class SectionCore;
class SectionRegistry;

// The whole configuration file at once. Both read the file with the
// document's caps and walk the sections in the file order.

// Writes the product marker and every section into the file at path. An
// existing file is updated, not emptied: keys and sections the program does
// not write stay. The file is written once, atomically; on failure the old
// file is untouched and failure tells why.
bool saveConfigFile(const QString &path, const ConfigStore &store,
                    const SectionRegistry &registry, FileFailure *failure = nullptr);

enum class RestoreResult {
    Restored,
    NotConfigFile, // missing file, or no product marker equal to the product key
    Unreadable, // not text, too large or unreadable; failure tells why
};

// Reads the whole model from the file at path once its product marker
// matches. Unless the result is Restored, the model is unchanged. Values the
// model could not take (see restoreNotes) go to notes when given.
RestoreResult restoreConfigFile(const QString &path, ConfigStore &store,
                                const SectionRegistry &registry, FileFailure *failure = nullptr,
                                QList<RestoreNote> *notes = nullptr);

// Reads the file at path into doc when it is a configuration file of this
// product; otherwise doc is left empty.
RestoreResult loadConfigDocument(const QString &path, IniDocument &doc, FileFailure *failure = nullptr);

// Writes the product marker and one section into the file at path, as
// saveConfigFile does for all of them: the rest of an existing file stays.
bool saveConfigSection(const QString &path, const ConfigStore &store, const SectionCore &core,
                       FileFailure *failure = nullptr);
