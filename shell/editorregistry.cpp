#include "editorregistry.h"

#include "files/sectionnames.h"
#include "files/sectionregistry.h"
#include "link/unitconnection.h"
#include "navigation.h"

const QStringList &EditorRegistry::downloadLoadOrder()
{
    static const QStringList order = {
        "Caudal", "CTimer", "E_Math", "E_Digital", "General", "LTimer", "WTimer",
        "MTimer", "Macros", "GPRS", "Flags", "E_OneWire", "SampleRate",
        // The voice list is not in the stream: it shows the list the download emptied.
        "Aut_Voz"};
    return order;
}

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
    QStringList treeWindows;
    for (const NavNode &node : navigationNodes(kProductLimits)) {
        if (!node.window.isEmpty())
            treeWindows << node.window;
    }
    return SectionNames::faults({{"Clear order", SectionRegistry::clearOrder()},
                                 {"Download reload order", downloadLoadOrder()},
                                 {"Navigation tree", treeWindows}},
                                SectionNames::sections() + SectionNames::tools(), names());
}

void EditorRegistry::clearAll(ConfigStore &store, const SectionRegistry &sections) const
{
    for (const QString &name : SectionRegistry::clearOrder()) {
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

QList<FieldFault> EditorRegistry::numberFaults() const
{
    QList<FieldFault> faults;
    for (const QString &name : editorOrder_) {
        if (SectionEditor *e = editor(name))
            faults += numberBoxFaults(e);
    }
    return faults;
}

QList<FieldFault> EditorRegistry::uploadFaults() const
{
    QList<FieldFault> faults = numberFaults();
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
    connect(&unit, &UnitConnection::configDownloaded, this, [this] { loadAll(downloadLoadOrder()); });
}
