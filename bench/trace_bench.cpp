// What the link's trace costs a download at full speed: downloads from the
// simulated unit on the in-memory port, timed, and the same number of trace
// items recorded alone, timed; medians of the runs.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "files/sectionregistry.h"
#include "link/comms.h"
#include "link/fakeserialport.h"
#include "link/unitconnection.h"
#include "model/configstore.h"
#include "sections/sectionlist.h"
#include "sim/configstream.h"
#include "sim/fakeportunit.h"
#include "sim/unitengine.h"

namespace {

constexpr int kRuns = 21;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const quint32 features = UnitState::defaults().features;
    UnitEngine engine(UnitState::defaults(), ConfigStream::asHeld(ConfigStream::defaults(features), features));
    auto *port = new FakeSerialPort;
    FakePortUnit host(*port, engine);
    Comms comms{std::unique_ptr<SerialPort>(port)};
    comms.timings = LinkTimings::fast();
    UnitConnection unit(comms);
    SectionRegistry sections;
    registerSections(sections);
    if (!unit.connectUnit({QStringLiteral("SIM")}) || !unit.readInfo())
        return 1;

    std::vector<double> downloads, rings;
    qsizetype items = 0;
    for (int run = 0; run < kRuns; ++run) {
        ConfigStore store;
        comms.trace().clear();
        QElapsedTimer timer;
        timer.start();
        if (!unit.download(store, sections))
            return 1;
        downloads.push_back(timer.nsecsElapsed() / 1e6);

        // The same items again, into a ring of their own: the trace's whole share.
        const QList<TraceItem> recorded = comms.trace().items();
        items = recorded.size();
        LinkTrace ring;
        timer.restart();
        for (const TraceItem &item : recorded) {
            if (item.sent)
                ring.sent(item.bytes);
            else
                ring.received(item.bytes, item.reading);
        }
        rings.push_back(timer.nsecsElapsed() / 1e6);
    }
    const double download = median(downloads), ring = median(rings);
    std::printf("download at full speed: median %.2f ms over %d runs, %lld trace items each\n", download, kRuns,
                static_cast<long long>(items));
    std::printf("recording those items in the ring: median %.3f ms (%.2f%% of the download)\n", ring,
                100.0 * ring / download);
    return 0;
}
