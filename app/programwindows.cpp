#include "programwindows.h"

#include <QApplication>

#include "files/langtable.h"
#include "link/unitconnection.h"
#include "model/configstore.h"
#include "sections/general/connectionpanel.h"
#include "sections/general/generalwindow.h"
#include "sections/flow/samplerateeditor.h"
#include "sections/flow/caudaleditor.h"
#include "sections/digital/digitaleditor.h"
#include "shell/editorregistry.h"
#include "shell/filecommands.h"
#include "shell/langdialog.h"
#include "shell/qttranslation.h"

void createWindows(EditorRegistry &windows, const ProgramContext &context)
{
    // Qt's own dialogs speak the language the windows are built in.
    QtTranslation::follow(Lang());
    context.files.unitIdentity = [&store = context.store, &unit = context.unit] {
        return UnitIdentity{store.General.UnitName, unit.Device.SerialNumber};
    };

    GeneralCommands commands;
    commands.open = [&files = context.files] { files.openCommand(); };
    commands.save = [&files = context.files] { files.saveCommand(); };
    commands.language = [] { LangDialog::askUser(Lang(), QApplication::activeWindow()); };
    windows.addEditor("General", new General(context.unit, context.store, context.sections, commands));
    windows.addEditor("SampleRate", new SampleRate(context.unit, context.store, context.sections));
    windows.addEditor("Caudal", new Caudal(context.unit, context.store, context.sections));
    windows.addEditor("E_Digital", new E_Digital(context.store, context.sections));
}

namespace {

const General *generalWindow(const EditorRegistry &windows)
{
    return qobject_cast<const General *>(windows.editor("General"));
}

} // namespace

QString chosenPort(const EditorRegistry &windows)
{
    const General *general = generalWindow(windows);
    return general ? general->connection()->portText() : QString();
}
