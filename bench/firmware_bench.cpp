// How long a firmware update takes on a line paced like the real one:
// velkan-sim at 9600 baud on a pseudo-terminal, the link on QSerialPort, a
// generated image (100 000 bytes unless given) and a 2 000-byte loader.
//
// First it checks that velkan-sim holds the line rate: a stream written as
// fast as the pseudo-terminal takes it must arrive within 1% of its wire time.
// Then it runs the update and prints the image's duration as the unit
// received it (first to last byte, from velkan-sim's log) against its wire
// time, the whole update's wall time step by step with the fixed waits named,
// and the processor time (the waits block on the event loop).
//
//   firmware_bench [IMAGE_BYTES [RATE_CHECK_BYTES]]
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>

#include "link/comms.h"
#include "link/firmwaretransfer.h"
#include "link/qtserialport.h"
#include "link/serialport.h"
#include "link/simulatedunit.h"
#include "link/unitconnection.h"

namespace {

constexpr int kBaud = 9600;
constexpr int kLoaderBytes = 2000;

double wireSeconds(qint64 bytes)
{
    return bytes * 10.0 / kBaud;
}

QByteArray hexImage(int length, char seed)
{
    QByteArray text;
    for (int line = 0; text.size() < length; ++line) {
        const QByteArray address = QByteArray::number(line % 0x10000, 16).rightJustified(4, '0').toUpper();
        text += ":10" + address + "00" + QByteArray(32, char(seed + line % 7)) + "\r\n";
    }
    return text.left(length);
}

// velkan-sim paced to the line, logging into `log`.
bool startSim(SimulatedUnit &sim, const QString &log)
{
    sim.setArguments({QStringLiteral("--baud"), QString::number(kBaud), QStringLiteral("--log"), log});
    if (sim.start())
        return true;
    std::fprintf(stderr, "velkan-sim: %s\n", qPrintable(sim.errorString()));
    return false;
}

// The image stream velkan-sim recorded: milliseconds from its first to its last byte.
qint64 imageSpanMs(SimulatedUnit &sim, const QString &log, qint64 expectedLength)
{
    sim.stop();
    QFile file(log);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QJsonArray streams = QJsonDocument::fromJson(file.readAll()).object().value("firmware").toArray();
    for (const QJsonValue &s : streams) {
        if (s["part"].toString() == QLatin1String("image") && s["length"].toInteger() == expectedLength)
            return s["lastByteMs"].toInteger() - s["firstByteMs"].toInteger();
    }
    return -1;
}

// A stream handed to the port in one write, then "#F1" once it is through.
bool rateCheck(const QString &folder, int bytes)
{
    SimulatedUnit sim;
    const QString log = folder + "/rate.json";
    if (!startSim(sim, log))
        return false;
    Comms comms(std::make_unique<QtSerialPort>());
    UnitConnection unit(comms);
    if (!unit.connectUnit({sim.devicePath(), false, {}}))
        return false;
    const QByteArray stream = hexImage(bytes, 'R');
    {
        CommsBusyGuard busy(comms);
        comms.TxSer(QStringLiteral("#F0"), 10000);
        comms.RxSer(50000);
        comms.port().write(stream);
        // Qt hands the rest to the system as it drains; "#F1" goes once the
        // line has had time for the stream (written into a full system
        // buffer, it would read as a lost port).
        comms.Delay(int(wireSeconds(bytes) * 1000) + 1000);
        comms.TxSer(QStringLiteral("#F1"), 10000);
    }
    unit.disconnectUnit();
    const qint64 span = imageSpanMs(sim, log, bytes);
    if (span < 0) {
        std::printf("rate check: the stream was not recorded\n");
        return false;
    }
    const double wire = wireSeconds(bytes - 1);
    std::printf("velkan-sim rate: %d bytes written at once, first to last byte %.2f s, wire time %.2f s "
                "(%+.2f%%, must be within 1%%)\n",
                bytes, span / 1000.0, wire, (span / 1000.0 / wire - 1) * 100);
    return std::abs(span / 1000.0 / wire - 1) <= 0.01;
}

struct StepClock {
    QElapsedTimer wall;
    qint64 erased = 0, imageGone = 0, loaderStep = 0, end = 0;
};

bool update(const QString &folder, int imageBytes)
{
    SimulatedUnit sim;
    const QString log = folder + "/update.json";
    if (!startSim(sim, log))
        return false;
    Comms comms(std::make_unique<QtSerialPort>());
    UnitConnection unit(comms);
    if (!unit.connectUnit({sim.devicePath(), false, {}}))
        return false;
    const QByteArray image = hexImage(imageBytes, 'A');
    const QByteArray loader = hexImage(kLoaderBytes, 'L');

    FirmwareTransfer transfer(comms);
    StepClock clock;
    QObject::connect(&transfer, &FirmwareTransfer::stepStarted, [&clock](FirmwareStep step) {
        if (step == FirmwareStep::Image)
            clock.erased = clock.wall.elapsed();
        else if (step == FirmwareStep::Loader)
            clock.loaderStep = clock.wall.elapsed();
    });
    QObject::connect(&transfer, &FirmwareTransfer::imageProgress, [&clock](qint64 gone, qint64 total) {
        if (gone == total)
            clock.imageGone = clock.wall.elapsed();
    });
    const std::clock_t cpuStart = std::clock();
    clock.wall.start();
    const FirmwareResult result = transfer.run(image, loader);
    clock.end = clock.wall.elapsed();
    const double cpu = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    unit.disconnectUnit();
    if (!result.ok()) {
        std::printf("update FAILED (step %d near byte %lld)\n", int(result.failure), result.byte);
        return false;
    }
    const qint64 span = imageSpanMs(sim, log, imageBytes);
    const double wire = wireSeconds(imageBytes);
    const LinkTimings t;
    std::printf("image as the unit received it: %.2f s for %d bytes, wire time %.2f s, ratio %.4f "
                "(target at most 1.02)\n",
                span / 1000.0, imageBytes, wire, span / 1000.0 / wire);
    std::printf("whole update: %.2f s wall, %.3f s CPU\n", clock.end / 1000.0, cpu);
    std::printf("  erase (#F0, then the unit's erase)      %7.2f s\n", clock.erased / 1000.0);
    std::printf("  image stream, to its last byte gone out %7.2f s\n", (clock.imageGone - clock.erased) / 1000.0);
    std::printf("  fixed wait after the image (not examined, %d ms) %7.2f s\n", t.firmwareImageEnd,
                (clock.loaderStep - clock.imageGone) / 1000.0);
    std::printf("  #F1 (drain of %d ms first) and the loader %7.2f s\n", t.drainRead,
                (clock.end - clock.loaderStep) / 1000.0);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int imageBytes = args.size() > 1 ? args.at(1).toInt() : 100000;
    const int rateBytes = args.size() > 2 ? args.at(2).toInt() : 20000;
    QTemporaryDir folder;
    if (imageBytes <= 0 || rateBytes <= 0 || !folder.isValid()) {
        std::fprintf(stderr, "usage: firmware_bench [IMAGE_BYTES [RATE_CHECK_BYTES]]\n");
        return 2;
    }
    const bool rateHeld = rateCheck(folder.path(), rateBytes);
    if (!rateHeld)
        std::printf("velkan-sim does not hold the line rate: the figures below are not comparable\n");
    return update(folder.path(), imageBytes) && rateHeld ? 0 : 1;
}
