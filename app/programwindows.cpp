#include "programwindows.h"

#include <QApplication>

#include "files/langtable.h"
#include "link/unitconnection.h"
#include "model/configstore.h"
#include "sections/general/connectionpanel.h"
#include "sections/general/generalwindow.h"
#include "shell/editorregistry.h"
#include "shell/filecommands.h"
#include "shell/langdialog.h"
#include "shell/qttranslation.h"
#include "tools/firm.h"
#include "tools/terminal.h"

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
    windows.addTool("Terminal", new Terminal(context.unit));
    windows.addTool("Firm", new Firm(context.unit, context.lockNavigation));
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
