#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The product's configuration sections and windows, by the names that the
// registries use, and every ordered walk over them, side by side. Sections
// this program does not build yet are named here too, so that the walks can
// already list them.
namespace SectionNames {

// Every configuration section, with or without an editor.
const QStringList &sections();
// The windows that are no section: monitor, firmware update, terminal, service history.
const QStringList &tools();

// Start-up reset and Clear: each section's defaults, its editor showing them.
const QStringList &clearOrder();
// The sections of a .qcf file, saved and restored.
const QStringList &fileOrder();
// The lines sent to the unit.
const QStringList &uploadOrder();
// The editors showing the model again after a download.
const QStringList &reloadOrder();
// The windows of the navigation tree, top to bottom.
const QStringList &treeOrder();

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
