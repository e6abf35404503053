#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

#include "model/product.h"

struct ConfigStore;
class IniDocument;

// What a download attempt shares between the lines of one stream.
struct DownloadState {
    int macroFreeRow = 0; // next free row of the macro pool
};

// What decides which upload lines a section sends.
struct UploadContext {
    quint32 features = 0; // the unit's capability flags, as last reported
    ProductLimits limits = kProductLimits;
};

// One file key as the section's editor shows it, every text translated: the
// record ("Configuracion caudalimetro 2"), the field ("Configuracion 1 -
// Maximo") and the value in the editor's units. An empty record leaves the
// record to the window's naming (the section and the record's number).
struct FieldTerm {
    QString record;
    QString field;
    QString value;
};

// One configuration section as the download, the upload and the file see it.
// Implementations are stateless: everything lives in ConfigStore.
class SectionCore {
public:
    virtual ~SectionCore() = default;

    // The section's name, as the shell and the registry orders know it ("General", "Caudal").
    virtual QString name() const = 0;

    // Defaults of the whole section.
    virtual void clear(ConfigStore &store) const = 0;

    // Download keywords this section parses, and the parser of one stream line
    // (line: the answer text such as "#BD012DNAME,Tank3"; keyword already cut out).
    virtual QStringList keywords() const { return {}; }
    virtual void parseLine(ConfigStore &, DownloadState &, const QString & /*keyword*/,
                           const QString & /*line*/, quint32 /*features*/) const {}

    // The unit's side: the stream lines (keyword and fields, without "#BDnnn")
    // that a unit holding this configuration sends. The simulated unit uses it.
    virtual QStringList downloadLines(const ConfigStore &, quint32 /*features*/) const { return {}; }

    // The lines this section uploads, in order, without the "#45nnn" prefix.
    virtual QStringList uploadLines(const ConfigStore &, const UploadContext &) const { return {}; }

    // The unit's side of the upload: what a unit holding `store` does with one
    // of the lines uploadLines() gives (without "#45nnn"). False when the line
    // is not this section's or cannot be read; the store is then unchanged.
    virtual bool applyUploadLine(ConfigStore &, const QString & /*line*/, quint32 /*features*/) const
    {
        return false;
    }

    // File keys. restore() follows the restore contract: Clear, read every key,
    // skip values that do not convert.
    virtual void save(const ConfigStore &, IniDocument &) const {}
    virtual void restore(ConfigStore &, const IniDocument &) const {}

    // How the editor names the key of file section `item` and shows its value
    // in `side` (a file this section wrote, whose other keys may scale the
    // value); none for a key the section does not name.
    virtual std::optional<FieldTerm> fieldTerm(const IniDocument & /*side*/, const QString & /*item*/,
                                               const QString & /*key*/) const
    {
        return std::nullopt;
    }
};
