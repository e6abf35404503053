// How long the configuration transfers take on a line paced like the real one:
// velkan-sim at 9600 baud (about 960 bytes per second each way) on a
// pseudo-terminal, the link on QSerialPort. Prints wall and processor time of
// each step; the waits block on the event loop, so processor time stays small.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <ctime>
#include <functional>

#include "files/sectionregistry.h"
#include "link/comms.h"
#include "link/devicecommands.h"
#include "link/unitconnection.h"
#include "link/qtserialport.h"
#include "link/simulatedunit.h"
#include "model/configstore.h"
#include "sections/sectionlist.h"

namespace {

bool timed(const char *step, const std::function<bool()> &run)
{
    QElapsedTimer wall;
    wall.start();
    const std::clock_t start = std::clock();
    const bool ok = run();
    std::printf("%-28s %7.2f s wall %6.3f s CPU  %s\n", step, wall.elapsed() / 1000.0,
                double(std::clock() - start) / CLOCKS_PER_SEC, ok ? "ok" : "FAILED");
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    SimulatedUnit sim;
    sim.setArguments({QStringLiteral("--baud"), QStringLiteral("9600")});
    if (!sim.start()) {
        std::fprintf(stderr, "velkan-sim: %s\n", qPrintable(sim.errorString()));
        return 1;
    }
    Comms comms(std::make_unique<QtSerialPort>());
    UnitConnection unit(comms);
    SectionRegistry sections;
    registerSections(sections);
    ConfigStore store;

    const bool ok = timed("connect (cable)", [&] { return unit.connectUnit({sim.devicePath(), false, {}}); })
                    && timed("identity stream", [&] { return unit.readInfo(); })
                    && timed("live values", [&] { return ReadRealTime(comms, unit.Device); })
                    && timed("configuration download", [&] { return unit.download(store, sections); })
                    && timed("configuration upload", [&] { return unit.upload(store, sections); });
    return ok ? 0 : 1;
}
