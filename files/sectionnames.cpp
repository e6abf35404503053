#include "sectionnames.h"

#include <algorithm>

// Every list a new section or window goes into. The orders are the unit's and
// the files' own: a section keeps its place in each, whatever the others say.
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
    static const QStringList names = {"T_Real_Zelmor", "Firm", "Terminal", "Historial", "Provisionar"};
    return names;
}

const QStringList &clearOrder()
{
    static const QStringList order = {
        "Caudal", "CTimer", "E_Analog", "E_Math", "E_Digital", "General", "Grupos", "LTimer",
        "WTimer", "MTimer", "Macros", "GPRS", "Flags", "E_OneWire", "Aut_Voz", "CONF_MODBUS",
        "SampleRate"};
    return order;
}

const QStringList &fileOrder()
{
    static const QStringList order = {
        "E_Analog", "Caudal", "E_Digital", "CTimer", "WTimer", "MTimer", "LTimer", "General",
        "Grupos", "Macros", "GPRS", "Flags", "E_Math", "Aut_Voz", "CONF_MODBUS", "E_OneWire",
        "SampleRate"};
    return order;
}

const QStringList &uploadOrder()
{
    // The flow meters' core also sends the sample-rate section's weight line
    // between each meter's settings and its alarms.
    static const QStringList order = {
        "General", "LTimer", "CTimer", "WTimer", "MTimer", "E_Digital", "Caudal",
        "Flags", "E_OneWire", "E_Math", "Macros", "GPRS"};
    return order;
}

const QStringList &reloadOrder()
{
    static const QStringList order = {
        "Caudal", "CTimer", "E_Math", "E_Digital", "General", "LTimer", "WTimer",
        "MTimer", "Macros", "GPRS", "Flags", "E_OneWire", "SampleRate",
        // The voice list is not in the stream: it shows the list the download emptied.
        "Aut_Voz"};
    return order;
}

const QStringList &treeOrder()
{
    // The flow-meter branch is the sample-rate window's node; the meters hang under it.
    static const QStringList order = {
        "General", "CTimer", "WTimer", "MTimer", "LTimer", "E_OneWire", "E_Digital",
        "SampleRate", "Caudal", "E_Math", "Flags", "Aut_Voz", "GPRS", "Macros",
        "T_Real_Zelmor", "Firm", "Terminal", "Historial", "Provisionar"};
    return order;
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
