#include "programwindows.h"

#include <QApplication>
#include <QSettings>

#include "files/langtable.h"
#include "link/unitconnection.h"
#include "model/configstore.h"
#include "model/product.h"
#include "sections/general/connectionpanel.h"
#include "sections/general/generalwindow.h"
#include "sections/macros/macroswindow.h"
#include "sections/timers/timerwindow.h"
#include "sections/voicelist/voicelistwindow.h"
#include "sections/math/matheditor.h"
#include "sections/flags/flageditor.h"
#include "sections/onewire/onewireeditor.h"
#include "sections/gprs/gprswindow.h"
#include "sections/modbus/modbuscore.h"
#include "sections/flow/samplerateeditor.h"
#include "sections/flow/caudaleditor.h"
#include "tools/settotal.h"
#include "sections/digital/digitaleditor.h"
#include "shell/editorregistry.h"
#include "shell/filecommands.h"
#include "shell/langdialog.h"
#include "shell/qttranslation.h"
#include "shell/uploadgate.h"
#include "tools/realtimemonitor.h"
#include "tools/firm.h"
#include "tools/historywindow.h"
#include "tools/provisionwindow.h"
#include "tools/terminal.h"

namespace {

General *generalWindow(const EditorRegistry &windows)
{
    return qobject_cast<General *>(windows.editor("General"));
}

// Every path to the unit from the windows passes the one gate first.
void guardWrites(EditorRegistry &windows, const ProgramContext &context)
{
    auto *gate = new UploadGate(windows, context.store, context.sections, &windows);
    gate->openEditor = context.openEditor;
    if (auto *general = qobject_cast<General *>(windows.editor("General")))
        general->connection()->beforeUpload = [gate] { return gate->pass(UploadGate::configSections()); };
    if (auto *voice = qobject_cast<Aut_Voz *>(windows.editor("Aut_Voz")))
        voice->beforeWrite = [gate] { return gate->pass(UploadGate::voiceListSections()); };
}

} // namespace

void createWindows(EditorRegistry &windows, const ProgramContext &context)
{
    // Qt's own dialogs speak the language the windows are built in.
    QtTranslation::follow(Lang());
    context.files.unitIdentity = [&store = context.store, &unit = context.unit] {
        return UnitIdentity{store.General.UnitName, unit.Device.SerialNumber};
    };

    context.files.readyToSave = context.fieldsReady;
    GeneralCommands commands;
    commands.open = [&files = context.files] { files.openCommand(); };
    commands.save = [&files = context.files] { files.saveCommand(); };
    commands.saveAs = [&files = context.files] { files.saveAsCommand(); };
    commands.readyToReplace = [&files = context.files] { return files.settleChanges(); };
    commands.language = [] { LangDialog::askUser(Lang(), QApplication::activeWindow()); };
    commands.showDifferences = context.showDifferences;
    commands.readyToSend = context.uploadReady;
    commands.configSource = [&files = context.files] { return files.sourceSerial(); };
    windows.addEditor("General", new General(context.unit, context.store, context.sections, commands));
    windows.addTool("T_Real_Zelmor", new T_Real_Zelmor(context.unit));
    windows.addEditor("Macros", new Macros(context.store, context.sections));
    for (const TimerFamily &family : timerFamilies())
        windows.addEditor(QString(family.name), new TimerWindow(family, context.store, context.sections));
    windows.addEditor("Aut_Voz", new Aut_Voz(context.unit, context.store, context.sections));
    windows.addEditor("E_Math", new E_Math(context.store, context.sections));
    windows.addEditor("Flags", new Flags(context.store, context.sections));
    windows.addEditor("E_OneWire", new E_OneWire(context.unit, context.store, context.sections));
    windows.addEditor("GPRS", new GPRS(context.store, context.sections));

    // No window shows the MODBUS bus settings, so the program itself keeps a
    // unit that cannot be a bus slave in the master role: whenever its
    // identity arrives (on connecting and at each poll), and after a file
    // brought other settings.
    const auto keepMaster = [&unit = context.unit, &store = context.store] {
        ForceModbusMaster(store, unit.isConnected(), unit.Device.DeviceFeatures);
    };
    QObject::connect(&context.unit, &UnitConnection::infoChanged, &windows, keepMaster);
    QObject::connect(&context.files, &FileCommands::fileOpened, &windows, keepMaster);
    if (General *general = generalWindow(windows)) {
        QObject::connect(&context.files, &FileCommands::fileOpened, general->connection(),
                         &ConnectionPanel::sourceChanged);
    }
    windows.addEditor("SampleRate", new SampleRate(context.unit, context.store, context.sections));
    auto *caudal = new Caudal(context.unit, context.store, context.sections,
                              [&unit = context.unit](int meter) { runSetTotal(unit, meter); });
    caudal->configSource = [&files = context.files] { return files.sourceSerial(); };
    windows.addEditor("Caudal", caudal);
    windows.addEditor("E_Digital", new E_Digital(context.store, context.sections));
    windows.addTool("Terminal", new Terminal(context.unit));
    windows.addTool("Firm", new Firm(context.unit, context.sections, context.lockNavigation));
    auto *history = new HistoryWindow(context.unit, context.store, context.sections, context.files);
    // The technician, as velkan-cli also reads it: the author of the history's commits.
    history->loadTechnician = [] {
        const QSettings settings(QSettings::UserScope, Product::CompanyName);
        const QString name = settings.value(QStringLiteral("TechnicianName")).toString();
        const QString email = settings.value(QStringLiteral("TechnicianEmail")).toString();
        return email.isEmpty() ? name : name + QStringLiteral(" <") + email + u'>';
    };
    history->saveTechnician = [](const QString &text) {
        QSettings settings(QSettings::UserScope, Product::CompanyName);
        const qsizetype open = text.indexOf(u'<');
        const bool withEmail = open > 0 && text.endsWith(u'>');
        settings.setValue(QStringLiteral("TechnicianName"), withEmail ? text.left(open).trimmed() : text);
        settings.setValue(QStringLiteral("TechnicianEmail"),
                          withEmail ? text.mid(open + 1, text.size() - open - 2).trimmed() : QString());
    };
    history->showTechnician();
    windows.addTool("Historial", history);
    // A batch goes where "Iniciar comunicacion" would connect.
    const auto connectRequest = [&windows] {
        const General *general = generalWindow(windows);
        return general ? general->connection()->connectRequest() : ConnectRequest();
    };
    windows.addTool("Provisionar",
                    new ProvisionWindow(context.unit, context.sections, connectRequest, context.lockNavigation));
    guardWrites(windows, context);
}

QString chosenPort(const EditorRegistry &windows)
{
    const General *general = generalWindow(windows);
    return general ? general->connection()->portText() : QString();
}

QString portChoice(const EditorRegistry &windows)
{
    const General *general = generalWindow(windows);
    return general ? general->connection()->portChoice() : QString();
}

void choosePort(const EditorRegistry &windows, const QString &choice)
{
    if (General *general = generalWindow(windows))
        general->connection()->choosePort(choice);
}
