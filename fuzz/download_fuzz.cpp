// A configuration download of arbitrary lines: each line, numbered as the unit
// numbers them, goes through the registry to the section owning its keyword;
// the model is then saved to a file document and turned into upload lines,
// which a second model reads back as the unit reads them.
#include <QByteArray>
#include <QList>
#include <memory>

#include "files/inidocument.h"
#include "files/sectionregistry.h"
#include "model/configstore.h"
#include "model/cp1252.h"
#include "sections/sectionlist.h"

namespace {
const SectionRegistry &registry()
{
    static const SectionRegistry *sections = [] {
        auto *all = new SectionRegistry;
        registerSections(*all);
        return all;
    }();
    return *sections;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    // Odd-sized inputs come from a unit with every optional feature, even-sized from one with none.
    const quint32 features = (size & 1) ? ~0u : 0u;
    auto store = std::make_unique<ConfigStore>();
    registry().clearAll(*store);
    DownloadState state;
    int number = 0;
    for (const QByteArray &raw : bytes.split('\n')) {
        const QString line = QStringLiteral("#BD%1").arg(++number % 1000, 3, 10, QLatin1Char('0'))
            + Cp1252::decode(raw);
        registry().readStreamLine(*store, state, line, features);
    }
    IniDocument doc;
    registry().saveAll(*store, doc);
    doc.serialize();
    auto unit = std::make_unique<ConfigStore>();
    registry().clearAll(*unit);
    for (const QString &line : registry().uploadLines(*store, UploadContext{features}))
        registry().applyUploadLine(*unit, line, features);
    return 0;
}
