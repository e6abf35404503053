#include "editorregistry.h"

#include "files/sectionnames.h"
#include "files/sectionregistry.h"
#include "link/unitconnection.h"
#include "navigation.h"

void EditorRegistry::addEditor(const QString &name, SectionEditor *editor)
{
    if (!editors_.contains(name))
        editorOrder_.append(name);
    editors_.insert(name, editor);
}

void EditorRegistry::addTool(const QString &name, QWidget *tool)
{
    if (!tools_.contains(name))
        toolOrder_.append(name);
    tools_.insert(name, tool);
}

SectionEditor *EditorRegistry::editor(const QString &name) const
{
    return editors_.value(name);
}

QWidget *EditorRegistry::window(const QString &name) const
{
    if (SectionEditor *e = editor(name))
        return e;
    return tools_.value(name);
}

QList<QWidget *> EditorRegistry::windows() const
{
    QList<QWidget *> all;
    for (const QString &name : editorOrder_ + toolOrder_) {
        if (QWidget *w = window(name))
            all.append(w);
    }
    return all;
}

QStringList EditorRegistry::names() const
{
    return editorOrder_ + toolOrder_;
}

QStringList EditorRegistry::nameFaults() const
{
    QStringList faults = SectionNames::faults({{"Clear order", SectionNames::clearOrder()},
                                               {"Download reload order", SectionNames::reloadOrder()},
                                               {"Navigation tree", SectionNames::treeOrder()}},
                                              SectionNames::sections() + SectionNames::tools(), names());
    QStringList treeWindows;
    for (const NavNode &node : navigationNodes(kProductLimits))
        treeWindows << node.window;
    for (const QString &name : SectionNames::treeOrder()) {
        if (!treeWindows.contains(name))
            faults << QStringLiteral("The navigation tree has no node for \"%1\"").arg(name);
    }
    return faults;
}

void EditorRegistry::clearAll(ConfigStore &store, const SectionRegistry &sections) const
{
    for (const QString &name : SectionNames::clearOrder()) {
        if (SectionEditor *e = editor(name))
            e->Clear();
        else if (const SectionCore *core = sections.find(name))
            core->clear(store);
    }
}

void EditorRegistry::storeAll(const QStringList &order) const
{
    for (const QString &name : order) {
        if (SectionEditor *e = editor(name))
            e->StoreControls();
    }
}

QList<BoxFault> EditorRegistry::numberFaults() const
{
    QList<BoxFault> faults;
    for (const QString &name : editorOrder_) {
        if (SectionEditor *e = editor(name))
            faults += numberBoxFaults(e);
    }
    return faults;
}

QList<BoxFault> EditorRegistry::uploadFaults() const
{
    QList<BoxFault> faults = numberFaults();
    for (const QString &name : editorOrder_) {
        if (SectionEditor *e = editor(name))
            faults += e->uploadFaults();
    }
    return faults;
}

void EditorRegistry::loadAll(const QStringList &order) const
{
    for (const QString &name : order) {
        if (SectionEditor *e = editor(name))
            e->LoadData();
    }
}

void EditorRegistry::followDownloads(UnitConnection &unit)
{
    connect(&unit, &UnitConnection::configDownloaded, this, [this] { loadAll(SectionNames::reloadOrder()); });
}
