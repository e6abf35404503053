// Processor time the whole program spends while the operator does nothing:
// every window built and wired as velkan-sarn builds them, the General window
// shown, first with no unit, then connected to the simulated unit (which the
// General window polls for its identity once a second). Each phase is timed
// over 60 s (--seconds N to change it) in six slices; the figures are the
// share of one core over the whole phase and the median slice. Run it with
// QT_QPA_PLATFORM=offscreen on a machine without a display.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "app/programwindows.h"
#include "files/langtable.h"
#include "files/sectionregistry.h"
#include "link/comms.h"
#include "link/qtserialport.h"
#include "link/unitconnection.h"
#include "model/configstore.h"
#include "sections/general/connectionpanel.h"
#include "sections/general/generalwindow.h"
#include "sections/sectionlist.h"
#include "shell/editorregistry.h"
#include "shell/filecommands.h"
#include "shell/mainwindow.h"

namespace {

constexpr int kSlices = 6;

double processSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

void runEventsFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Share of one core, in percent, over the phase and its median slice.
void measure(const char *phase, int seconds)
{
    runEventsFor(2000); // whatever the last step started settles first
    std::vector<double> slices;
    QElapsedTimer wall;
    wall.start();
    const double start = processSeconds();
    for (int i = 0; i < kSlices; ++i) {
        const double before = processSeconds();
        const qint64 from = wall.elapsed();
        runEventsFor(seconds * 1000 / kSlices);
        slices.push_back(100.0 * (processSeconds() - before) / ((wall.elapsed() - from) / 1000.0));
    }
    const double whole = 100.0 * (processSeconds() - start) / (wall.elapsed() / 1000.0);
    std::nth_element(slices.begin(), slices.begin() + kSlices / 2, slices.end());
    std::printf("%-22s %.3f %% of a core over %.0f s (median of %d slices %.3f %%)\n", phase, whole,
                wall.elapsed() / 1000.0, kSlices, slices[kSlices / 2]);
    std::fflush(stdout);
}

bool connectSimulated(const EditorRegistry &windows, UnitConnection &unit)
{
    auto *general = qobject_cast<General *>(windows.editor(QStringLiteral("General")));
    if (!general)
        return false;
    choosePort(windows, QStringLiteral("@simulated"));
    QEventLoop loop;
    QObject::connect(&unit, &UnitConnection::connected, &loop, &QEventLoop::quit);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    general->connection()->IniCom_Click();
    loop.exec();
    return unit.isConnected();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int at = QCoreApplication::arguments().indexOf(QStringLiteral("--seconds"));
    const int seconds = at > 0 ? std::max(6, QCoreApplication::arguments().value(at + 1).toInt()) : 60;

    LangTable lang;
    setLang(&lang);
    lang.Init();
    ConfigStore store;
    SectionRegistry sections;
    registerSections(sections);
    Comms comms(std::make_unique<QtSerialPort>());
    UnitConnection unit(comms);

    EditorRegistry windows;
    MainWindow main(windows);
    FileCommands files(store, sections, windows, &main);
    createWindows(windows, {unit, store, sections, files, [&main](bool locked) { main.lockTree(locked); }});
    windows.followDownloads(unit);
    main.adoptWindows();
    windows.clearAll(store, sections);
    main.hideAll();
    main.show();
    QApplication::setActiveWindow(&main);
    main.Tree_NodeClick(QStringLiteral("General"));

    measure("before connecting", seconds);
    if (!connectSimulated(windows, unit)) {
        std::fprintf(stderr, "the simulated unit did not connect\n");
        unit.shutdown();
        return 1;
    }
    measure("connected", seconds);
    unit.shutdown();
    return 0;
}
