#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The product's configuration sections and windows, by the names that the
// registries and every ordered walk use. Sections this program does not build
// yet are named here too, so that the walks can already list them.
namespace SectionNames {

// Every configuration section, with or without an editor.
const QStringList &sections();
// The windows that are no section: monitor, firmware update, terminal, service history.
const QStringList &tools();

// One ordered walk and the names it lists.
struct NameList {
    QString walk;
    QStringList names;
};

// What is wrong between the walks and what was registered, one line per fault;
// empty when nothing is. A listed name that is not in `known` is a fault (a
// misspelt entry would silently skip its section), and so is a registered name
// that no walk lists (that section would never be cleared, saved or shown).
QStringList faults(const QList<NameList> &walks, const QStringList &known,
                   const QStringList &registered);

} // namespace SectionNames
