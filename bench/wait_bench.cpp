// How much processor time a wait costs: the link waits 5 s for an answer that
// never comes. A wait blocks on the event loop, so this should stay near zero
// (well under 0.05 s).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <ctime>
#include <memory>

#include "link/comms.h"
#include "link/fakeserialport.h"

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    auto port = std::make_unique<FakeSerialPort>();
    port->open(QStringLiteral("bench"));
    Comms comms(std::move(port));
    CommsBusyGuard held(comms);

    QElapsedTimer wall;
    wall.start();
    const std::clock_t start = std::clock();
    const bool answered = comms.RxSer(5000);
    const double cpu = double(std::clock() - start) / CLOCKS_PER_SEC;

    std::printf("wait of 5 s without an answer: %.3f s of CPU over %.3f s (answered: %s)\n", cpu,
                wall.elapsed() / 1000.0, answered ? "yes" : "no");
    return 0;
}
