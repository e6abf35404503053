#pragma once

#include <QString>
#include <optional>

#include "filefailure.h"
#include "restorenotes.h"

struct ConfigStore;
class IniDocument;
class SectionCore;
class SectionRegistry;

// The whole configuration file at once. Both read the file with the
// document's caps and walk the sections in the file order.

// What a save may do with the file already at its path, and what it records
// beside the sections.
struct SaveTarget {
    // A file there that holds no configuration of this product (notes, a
    // table) is replaced whole instead of refused. Only for a name the
    // operator chose and confirmed replacing.
    bool replaceOther = false;
    // The serial number of the unit the configuration came from; empty for
    // none (a recorded one is emptied). Unset: left as the file has it.
    std::optional<QString> sourceSerial;
};

// Writes the product marker and every section into the file at path. An
// existing configuration file is updated, not emptied: keys and sections the
// program does not write stay. A file of another kind is never merged into:
// the save is refused (NotReplaced) unless the target allows replacing it.
// An empty file counts as none. The file is written once, atomically; on
// failure the old file is untouched and failure tells why.
bool saveConfigFile(const QString &path, const ConfigStore &store,
                    const SectionRegistry &registry, FileFailure *failure = nullptr,
                    const SaveTarget &target = {});

// The serial number of the unit a configuration file says it came from;
// empty when it records none.
QString recordedSourceSerial(const IniDocument &doc);

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
                                QList<RestoreNote> *notes = nullptr, QString *sourceSerial = nullptr);

// Reads the file at path into doc when it is a configuration file of this
// product; otherwise doc is left empty.
RestoreResult loadConfigDocument(const QString &path, IniDocument &doc, FileFailure *failure = nullptr);

// Writes the product marker and one section into the file at path, as
// saveConfigFile does for all of them: the rest of an existing file stays.
bool saveConfigSection(const QString &path, const ConfigStore &store, const SectionCore &core,
                       FileFailure *failure = nullptr);
