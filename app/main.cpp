// velkan-sarn: the configuration and maintenance tool for the unit.
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFontDatabase>
#include <QStatusBar>
#include <cstdio>

#include "files/langtable.h"
#include "files/sectionregistry.h"
#include "files/servicehistory.h"
#include "link/comms.h"
#include "link/unitconnection.h"
#include "link/qtserialport.h"
#include "model/configstore.h"
#include "programwindows.h"
#include "sections/general/linkfailuretext.h"
#include "sections/sectionlist.h"
#include "shell/accesskeyprompt.h"
#include "shell/differencewindow.h"
#include "shell/editorregistry.h"
#include "shell/filecommands.h"
#include "shell/langdialog.h"
#include "shell/mainwindow.h"
#include "shell/usersettings.h"

namespace {

// With VELKAN_TRACE_STARTUP set, prints the wall-clock time (ms since the
// epoch) of the first paint of anything in the main window, to time the
// start from outside (bench/first_paint.sh).
class FirstPaintTrace : public QObject {
public:
    explicit FirstPaintTrace(QWidget *window) : window_(window) {}
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()
            && static_cast<QWidget *>(watched)->window() == window_) {
            fprintf(stderr, "first-paint %lld\n", QDateTime::currentMSecsSinceEpoch());
            qApp->removeEventFilter(this);
        }
        return false;
    }

private:
    QWidget *window_;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont), "DigitDisplay");

    LangTable lang;
    setLang(&lang);
    lang.Init();

    ConfigStore store;
    SectionRegistry sections;
    registerSections(sections);

    Comms comms(std::make_unique<QtSerialPort>());
    UnitConnection unit(comms);
    // Passwords stay out of the trace whatever sends them, the terminal included.
    unit.maskSecretsOf(sections);
    ServiceHistory history(ServiceHistory::defaultRoot());
    unit.keepHistory(&history);
    unit.askPassWord = [&unit] {
        const UnitConnection::KeyPrompt prompt = unit.keyPrompt();
        return AccessKeyPrompt::ask(QApplication::activeWindow(), prompt.refused ? prompt.triesLeft : 0);
    };

    UserSettings settings;
    settings.applyAtStartup(lang, [&lang] {
        if (!lang.languageChoices().isEmpty())
            LangDialog::askUser(lang);
    });
    settings.followLanguage(lang);

    EditorRegistry windows;
    MainWindow main(windows);
    FileCommands files(store, sections, windows, &main, &settings);
    files.historyUnit = [&history](const QString &path) { return history.unitOf(path); };
    const auto showDifferences = [&main, &windows, &sections, &store](const QString &title,
                                                                      const QList<ConfigDifference> &differences) {
        DifferenceWindow *window = DifferenceWindow::open(differences, title, Translate(QStringLiteral("Enviado")),
                                                          Translate(QStringLiteral("En la unidad")), &main);
        window->showFieldCaptions(windows);
        window->showFieldTerms(sections, store);
    };
    const auto fieldsReady = [&main, &windows] { return !main.refuseFaults(windows.numberFaults()); };
    const auto uploadReady = [&main, &windows] { return !main.refuseFaults(windows.uploadFaults()); };
    createWindows(windows, {unit, store, sections, files, [&main](bool locked) { main.lockTree(locked); },
                            showDifferences,
                            [&main](const QString &section, int slot) { main.openEditor(section, slot); },
                            fieldsReady, uploadReady});
    windows.followDownloads(unit);
    choosePort(windows, settings.lastPort());
    main.adoptWindows();
    main.followFiles(files);
    windows.clearAll(store, sections);
    files.markUnchanged();
    QObject::connect(&unit, &UnitConnection::configDownloaded, &files, &FileCommands::unitLoaded);
    main.showRoot();

    main.setNavigationLock([&unit] { return unit.downloading(); });
    main.followTransfers(unit);
    QObject::connect(&unit, &UnitConnection::refused, &main,
                     [&main](const LinkFailure &failure) { main.statusBar()->showMessage(LinkFailureText(failure)); });
    QObject::connect(&unit, &UnitConnection::traceKept, &main, [&main](const QString &path) {
        main.statusBar()->showMessage(Translate(QStringLiteral("Traza de la transferencia fallida guardada en")) + u' '
                                      + QDir::toNativeSeparators(path));
    });
    main.setShutdown([&] {
        settings.storeAtShutdown(chosenPort(windows), lang.LangSel);
        settings.setLastPort(portChoice(windows));
        unit.shutdown();
    });

    FirstPaintTrace trace(&main);
    if (qEnvironmentVariableIsSet("VELKAN_TRACE_STARTUP"))
        app.installEventFilter(&trace);
    main.show();
    return app.exec();
}
