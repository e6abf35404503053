#include "configfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "inidocument.h"
#include "model/product.h"
#include "sectioncore.h"
#include "sectionregistry.h"

namespace {

const QString kMarkerSection = QStringLiteral("General");
const QString kMarkerKey = QStringLiteral("VERSION");
// Beside the marker: the unit whose configuration the file holds.
const QString kSourceKey = QStringLiteral("SERIE_ORIGEN");

bool failWith(FileFailure *failure, FileProblem problem, const QString &path, const QString &detail = {})
{
    if (failure)
        *failure = {problem, QDir::toNativeSeparators(path), detail};
    return false;
}

// Loads the file, has `write` put its sections in the document and saves it.
// Only a configuration of this product is merged into: notes or a table
// opened by mistake must never come back with sections appended.
template <typename Write>
bool saveInto(const QString &path, FileFailure *failure, const SaveTarget &target, Write write)
{
    if (path.isEmpty())
        return failWith(failure, FileProblem::NoName, path);
    // A file that cannot be read as text is not merged into, and so not replaced either.
    IniDocument doc;
    if (!doc.load(path, failure))
        return false;
    if (doc.readValue(kMarkerSection, kMarkerKey) != Product::ProductKey && QFileInfo(path).size() > 0) {
        if (!target.replaceOther)
            return failWith(failure, FileProblem::NotReplaced, path);
        doc.parse({});
    }
    doc.writeValue(kMarkerSection, kMarkerKey, Product::ProductKey);
    if (target.sourceSerial && (!target.sourceSerial->isEmpty() || doc.hasKey(kMarkerSection, kSourceKey)))
        doc.writeValue(kMarkerSection, kSourceKey, *target.sourceSerial);
    write(doc);
    return doc.save(path, failure);
}

} // namespace

bool saveConfigFile(const QString &path, const ConfigStore &store,
                    const SectionRegistry &registry, FileFailure *failure, const SaveTarget &target)
{
    return saveInto(path, failure, target, [&](IniDocument &doc) { registry.saveAll(store, doc); });
}

QString recordedSourceSerial(const IniDocument &doc)
{
    return doc.readValue(kMarkerSection, kSourceKey);
}

bool saveConfigSection(const QString &path, const ConfigStore &store, const SectionCore &core,
                       FileFailure *failure)
{
    return saveInto(path, failure, {}, [&](IniDocument &doc) { core.save(store, doc); });
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
                                QList<RestoreNote> *notes, QString *sourceSerial)
{
    IniDocument doc;
    const RestoreResult result = loadConfigDocument(path, doc, failure);
    if (result != RestoreResult::Restored)
        return result;
    registry.restoreAll(store, doc);
    if (notes)
        *notes = restoreNotes(doc, store, registry);
    if (sourceSerial)
        *sourceSerial = recordedSourceSerial(doc);
    return result;
}
