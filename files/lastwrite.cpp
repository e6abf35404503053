#include "lastwrite.h"

#include <memory>

#include "configcompare.h"
#include "configfile.h"
#include "model/configstore.h"
#include "sectionregistry.h"

LastWrite lastWriteOf(const ServiceHistory &history, const QString &serial, const ConfigStore &store,
                      const SectionRegistry &sections)
{
    if (serial.trimmed().isEmpty())
        return {};
    auto copy = std::make_unique<ConfigStore>();
    for (const HistoryEntry &entry : history.entries(serial)) {
        if (entry.kind == HistoryKind::Read)
            continue;
        sections.clearAll(*copy);
        if (restoreConfigFile(entry.path, *copy, sections) != RestoreResult::Restored)
            continue;
        if (compareConfigurations(store, *copy, sections).isEmpty())
            return {true, entry.kind, entry.time, entry.path};
    }
    return {};
}
