#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

#include "files/linetexts.h"

class EditorRegistry;
class SectionRegistry;
struct ConfigStore;

// The operator's words for one field that cannot go to the unit, translated:
// "[DIGITAL 0] NOMBRE: "Bomba,NC" contiene ",""
QString fieldFaultText(const FieldFault &fault);

// The one rule before anything goes to the unit from the windows: every
// editor stores its boxes into the model, in the file order, as a save does;
// then the model is checked. velkan-cli runs the same check (lineTextFaults)
// on the file it restores.
class UploadGate : public QObject {
    Q_OBJECT
public:
    UploadGate(const EditorRegistry &editors, const ConfigStore &store, const SectionRegistry &sections,
               QObject *parent = nullptr);

    // What a configuration upload and a voice-list write check.
    static const QStringList &configSections();
    static const QStringList &voiceListSections();

    // The editors' boxes into the model, then the faults of those sections.
    QList<FieldFault> check(const QStringList &sections) const;
    // check(); when it finds faults, the operator is told all of them at once
    // and the editor of the first one is opened. True when nothing stops the
    // operation.
    bool pass(const QStringList &sections) const;

    // Where the faults are told (a message box unless replaced) and how an
    // editor is opened on a channel (-1: the section's first).
    std::function<void(const QString &message)> warn;
    std::function<void(const QString &section, int slot)> openEditor;

private:
    const EditorRegistry &editors_;
    const ConfigStore &store_;
    const SectionRegistry &sections_;
};
