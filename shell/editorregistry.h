#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "sectioneditor.h"

class UnitConnection;
class SectionRegistry;
struct ConfigStore;

// The windows of the GUI by name: each configuration section's editor (named
// as its section core, "General", "CTimer", "SampleRate"...) and the tool
// windows ("T_Real_Zelmor", "Firm", "Terminal"). The program registers every
// window here once; start-up reset, navigation, the file commands and the
// reload after a download all walk this registry.
class EditorRegistry : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void addEditor(const QString &name, SectionEditor *editor);
    void addTool(const QString &name, QWidget *tool);

    SectionEditor *editor(const QString &name) const;
    // An editor or a tool window; null when the window does not exist.
    QWidget *window(const QString &name) const;
    // Every registered window, editors first, each in the order registered.
    QList<QWidget *> windows() const;
    // Their names, in the same order.
    QStringList names() const;
    // Faults of the walks over windows (start-up Clear, the reload after a
    // download, the navigation tree) against the product's section and window
    // names and the registered windows (see SectionNames::faults); empty when none.
    QStringList nameFaults() const;

    // Defaults of the whole model in the start-up order: an editor clears its
    // section and shows it; a section without an editor is cleared by its core.
    void clearAll(ConfigStore &store, const SectionRegistry &sections) const;
    // Controls into the model, then the model back into the controls.
    void storeAll(const QStringList &order) const;
    // The number boxes of every editor that refuse their text (numberBoxFaults),
    // editors in the order registered.
    QList<BoxFault> numberFaults() const;
    // The number faults, then what each editor refuses to send (uploadFaults).
    QList<BoxFault> uploadFaults() const;
    void loadAll(const QStringList &order) const;

    // Editors show the model again whenever a download succeeds.
    void followDownloads(UnitConnection &unit);

private:
    QHash<QString, QPointer<SectionEditor>> editors_;
    QHash<QString, QPointer<QWidget>> tools_;
    QStringList editorOrder_;
    QStringList toolOrder_;
};
