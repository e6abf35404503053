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
    LastWrite last;
    for (const HistoryEntry &entry : history.entries(serial)) {
        if (entry.kind == HistoryKind::Read)
            continue;
        sections.clearAll(*copy);
        if (restoreConfigFile(entry.path, *copy, sections) != RestoreResult::Restored) {
            last.unreadable << entry.path;
            continue;
        }
        if (compareConfigurations(store, *copy, sections).isEmpty()) {
            last.found = true;
            last.kind = entry.kind;
            last.time = entry.time;
            last.path = entry.path;
            return last;
        }
    }
    return last;
}
