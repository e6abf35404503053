#include "configfile.h"

#include <QDir>
#include <QFile>

#include "inidocument.h"
#include "model/product.h"
#include "sectioncore.h"
#include "sectionregistry.h"

namespace {

const QString kMarkerSection = QStringLiteral("General");
const QString kMarkerKey = QStringLiteral("VERSION");

bool failWith(FileFailure *failure, FileProblem problem, const QString &path, const QString &detail = {})
{
    if (failure)
        *failure = {problem, QDir::toNativeSeparators(path), detail};
    return false;
}

// Loads the file, has `write` put its sections in the document and saves it.
template <typename Write>
bool saveInto(const QString &path, FileFailure *failure, Write write)
{
    if (path.isEmpty())
        return failWith(failure, FileProblem::NoName, path);
    // A file that cannot be read as text is not merged into, and so not replaced either.
    IniDocument doc;
    if (!doc.load(path, failure))
        return false;
    doc.writeValue(kMarkerSection, kMarkerKey, Product::ProductKey);
    write(doc);
    return doc.save(path, failure);
}

} // namespace

bool saveConfigFile(const QString &path, const ConfigStore &store,
                    const SectionRegistry &registry, FileFailure *failure)
{
    return saveInto(path, failure, [&](IniDocument &doc) { registry.saveAll(store, doc); });
}

bool saveConfigSection(const QString &path, const ConfigStore &store, const SectionCore &core,
                       FileFailure *failure)
{
    return saveInto(path, failure, [&](IniDocument &doc) { core.save(store, doc); });
}

RestoreResult loadConfigDocument(const QString &path, IniDocument &doc, FileFailure *failure)
{
    QFile file(path);
    if (!file.exists()) {
        // Opening it gives the system's own words for the missing file.
        file.open(QIODevice::ReadOnly);
        failWith(failure, FileProblem::Unreadable, path, file.errorString());
        return RestoreResult::NotConfigFile;
    }
    if (!doc.load(path, failure))
        return RestoreResult::Unreadable;
    if (doc.readValue(kMarkerSection, kMarkerKey) != Product::ProductKey) {
        doc.parse({});
        failWith(failure, FileProblem::NotConfiguration, path);
        return RestoreResult::NotConfigFile;
    }
    return RestoreResult::Restored;
}

RestoreResult restoreConfigFile(const QString &path, ConfigStore &store,
                                const SectionRegistry &registry, FileFailure *failure,
                                QList<RestoreNote> *notes)
{
    IniDocument doc;
    const RestoreResult result = loadConfigDocument(path, doc, failure);
    if (result != RestoreResult::Restored)
        return result;
    registry.restoreAll(store, doc);
    if (notes)
        *notes = restoreNotes(doc, store, registry);
    return result;
}
