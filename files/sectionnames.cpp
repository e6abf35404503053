#include "sectionnames.h"

#include <algorithm>

namespace SectionNames {

const QStringList &sections()
{
    static const QStringList names = {
        "General", "CTimer", "WTimer", "MTimer", "LTimer", "E_Analog", "E_Digital",
        "Caudal", "SampleRate", "E_Math", "Flags", "E_OneWire", "Grupos", "CONF_MODBUS",
        "Macros", "GPRS", "Aut_Voz"};
    return names;
}

const QStringList &tools()
{
    static const QStringList names = {"T_Real_Zelmor", "Firm", "Terminal", "Historial"};
    return names;
}

QStringList faults(const QList<NameList> &walks, const QStringList &known,
                   const QStringList &registered)
{
    QStringList found;
    for (const NameList &walk : walks) {
        for (const QString &name : walk.names) {
            if (!known.contains(name))
                found << QStringLiteral("%1 lists \"%2\", which is no known name").arg(walk.walk, name);
        }
    }
    for (const QString &name : registered) {
        const bool listed = std::any_of(walks.begin(), walks.end(), [&](const NameList &walk) {
            return walk.names.contains(name);
        });
        if (!listed)
            found << QStringLiteral("\"%1\" is registered but no walk lists it").arg(name);
    }
    return found;
}

} // namespace SectionNames
