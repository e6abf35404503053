#include "configfile.h"

#include "inidocument.h"
#include "model/product.h"
#include "sectionregistry.h"

namespace {

const QString kMarkerSection = QStringLiteral("General");
const QString kMarkerKey = QStringLiteral("VERSION");

} // namespace

bool saveConfigFile(const QString &path, const ConfigStore &store,
                    const SectionRegistry &registry, QString *error)
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
    registry.saveAll(store, doc);
    return doc.save(path, error);
}

RestoreResult restoreConfigFile(const QString &path, ConfigStore &store,
                                const SectionRegistry &registry, QString *error)
{
    IniDocument doc;
    if (!doc.load(path, error))
        return RestoreResult::Unreadable;
    if (doc.readValue(kMarkerSection, kMarkerKey) != Product::ProductKey)
        return RestoreResult::NotConfigFile;
    registry.restoreAll(store, doc);
    return RestoreResult::Restored;
}
