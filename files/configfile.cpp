#include "configfile.h"

#include <QDir>
#include <QFile>

#include "inidocument.h"
#include "model/product.h"
#include "sectionregistry.h"

namespace {

const QString kMarkerSection = QStringLiteral("General");
const QString kMarkerKey = QStringLiteral("VERSION");

} // namespace

bool saveConfigFile(const QString &path, const ConfigStore &store,
                    const SectionRegistry &registry, FileFailure *failure)
{
    if (path.isEmpty()) {
        if (failure)
            *failure = {FileProblem::NoName, {}, {}};
        return false;
    }
    // A file that cannot be read as text is not merged into, and so not replaced either.
    IniDocument doc;
    if (!doc.load(path, failure))
        return false;
    doc.writeValue(kMarkerSection, kMarkerKey, Product::ProductKey);
    registry.saveAll(store, doc);
    return doc.save(path, failure);
}

RestoreResult restoreConfigFile(const QString &path, ConfigStore &store,
                                const SectionRegistry &registry, FileFailure *failure)
{
    QFile file(path);
    if (!file.exists()) {
        // Opening it gives the system's own words for the missing file.
        file.open(QIODevice::ReadOnly);
        if (failure)
            *failure = {FileProblem::Unreadable, QDir::toNativeSeparators(path), file.errorString()};
        return RestoreResult::NotConfigFile;
    }
    IniDocument doc;
    if (!doc.load(path, failure))
        return RestoreResult::Unreadable;
    if (doc.readValue(kMarkerSection, kMarkerKey) != Product::ProductKey) {
        if (failure)
            *failure = {FileProblem::NotConfiguration, QDir::toNativeSeparators(path), {}};
        return RestoreResult::NotConfigFile;
    }
    registry.restoreAll(store, doc);
    return RestoreResult::Restored;
}
