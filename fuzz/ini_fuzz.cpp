// An arbitrary configuration file: read, every section restored from it, then saved back.
#include <QByteArray>
#include <memory>

#include "files/inidocument.h"
#include "files/sectionregistry.h"
#include "model/configstore.h"
#include "sections/sectionlist.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const SectionRegistry *sections = [] {
        auto *all = new SectionRegistry;
        registerSections(*all);
        return all;
    }();
    IniDocument doc;
    doc.parse(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    auto store = std::make_unique<ConfigStore>();
    sections->restoreAll(*store, doc);
    sections->saveAll(*store, doc);
    doc.serialize();
    return 0;
}
