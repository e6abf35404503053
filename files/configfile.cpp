#include "configfile.h"

#include "inidocument.h"
#include "model/product.h"
#include "sectioncore.h"
#include "sectionregistry.h"

namespace {

const QString kMarkerSection = QStringLiteral("General");
const QString kMarkerKey = QStringLiteral("VERSION");

// Loads the file, has `write` put its sections in the document and saves it.
template <typename Write>
bool saveInto(const QString &path, QString *error, Write write)
{
    if (path.isEmpty()) {
        if (error)
            *error = QStringLiteral("No se ha indicado el nombre del archivo");
        return false;
    }
    // A file that cannot be read as text is not merged into, and so not replaced either.
    IniDocument doc;
    if (!doc.load(path, error))
        return false;
    doc.writeValue(kMarkerSection, kMarkerKey, Product::ProductKey);
    write(doc);
    return doc.save(path, error);
}

} // namespace

bool saveConfigFile(const QString &path, const ConfigStore &store,
                    const SectionRegistry &registry, QString *error)
{
    return saveInto(path, error, [&](IniDocument &doc) { registry.saveAll(store, doc); });
}

bool saveConfigSection(const QString &path, const ConfigStore &store, const SectionCore &core,
                       QString *error)
{
    return saveInto(path, error, [&](IniDocument &doc) { core.save(store, doc); });
}

RestoreResult loadConfigDocument(const QString &path, IniDocument &doc, QString *error)
{
    if (!doc.load(path, error))
        return RestoreResult::Unreadable;
    if (doc.readValue(kMarkerSection, kMarkerKey) != Product::ProductKey) {
        doc.parse({});
        return RestoreResult::NotConfigFile;
    }
    return RestoreResult::Restored;
}

RestoreResult restoreConfigFile(const QString &path, ConfigStore &store,
                                const SectionRegistry &registry, QString *error)
{
    IniDocument doc;
    const RestoreResult result = loadConfigDocument(path, doc, error);
    if (result == RestoreResult::Restored)
        registry.restoreAll(store, doc);
    return result;
}
