// velkan-sim: a simulated unit on a pseudo-terminal, for trying the tool and
// for end-to-end tests without hardware. The first line of standard output is
// the device path to open; SIGTERM or SIGINT end it cleanly.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

#include "configstream.h"
#include "devicelink.h"
#include "model/product.h"
#include "ptyserver.h"
#include "unitengine.h"
#include "unitlog.h"

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

// SIGTERM and SIGINT wake the event loop through a socket pair and end it.
bool watchSignals(QCoreApplication &app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return false;
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGTERM, &action, nullptr) == 0 && ::sigaction(SIGINT, &action, nullptr) == 0;
}

// A unit started by the tool ends with it, even when the tool is killed.
void endWithParent()
{
#ifdef __linux__
    const pid_t parent = ::getppid();
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent)
        ::raise(SIGTERM);
#endif
}

int fail(const QString &message)
{
    QTextStream(stderr) << "velkan-sim: " << message << Qt::endl;
    return 2;
}

const char *const kExamples = R"(
A simulated unit on a pseudo-terminal. The first output line is the device
path to open in the tool; SIGTERM or Ctrl+C ends it.

Examples:
  velkan-sim                                 default unit on a cable
  velkan-sim --modem --key 4321              behind a modem, access key 4321
  velkan-sim --config plant.qcf --log rx.json   stream a saved configuration,
                                             record what the tool sends
  velkan-sim --lines unit.txt                stream keyword lines ("DNAME,Tank3")
  velkan-sim --corrupt 40 --drop 20:2        bad checksum on the first answer to
                                             #40, no answer to the first two #20
  velkan-sim --refuse-line 57 --refuse-attempts 3   refuse upload line 57 three times
  velkan-sim --serial VS-2 --link /tmp/unit   a unit with serial VS-2, also reached
                                             as /tmp/unit (the next unit takes it over)
  velkan-sim --baud 9600                     pace both directions like a real line
  velkan-sim --dots-stop 1000 --log rx.json  a firmware image whose dots stop
                                             after 1000 bytes
  velkan-sim --replay failed.trace           answer as the unit of a saved trace did

An accepted configuration upload changes what the unit holds: the next
download streams it. Upload lines no section reads are logged as
"notUnderstood".)";

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velkan-sim"));
    QCoreApplication::setApplicationVersion(Product::Version);

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kExamples));
    parser.addHelpOption();
    parser.addVersionOption();
    const auto option = [&parser](const QString &name, const QString &help, const QString &value = {}) {
        parser.addOption(value.isEmpty() ? QCommandLineOption(name, help)
                                         : QCommandLineOption(name, help, value));
        return name;
    };
    const QString config = option(QStringLiteral("config"), QStringLiteral("Stream this configuration file for #42."), QStringLiteral("FILE.qcf"));
    const QString lines = option(QStringLiteral("lines"), QStringLiteral("Stream these keyword lines for #42."), QStringLiteral("FILE"));
    const QString stateFile = option(QStringLiteral("state"), QStringLiteral("Unit state (identity, values, labels, voice list) as JSON."), QStringLiteral("FILE.json"));
    const QString logFile = option(QStringLiteral("log"), QStringLiteral("Record what the unit receives, as JSON; each firmware stream with its length, SHA-256 and the arrival times of its first and last bytes (firstByteMs, lastByteMs)."), QStringLiteral("FILE.json"));
    const QString modem = option(QStringLiteral("modem"), QStringLiteral("Answer as a Hayes modem first, then ask for the access key."));
    const QString key = option(QStringLiteral("key"), QStringLiteral("Access key for modem calls (empty: none)."), QStringLiteral("KEY"));
    const QString features = option(QStringLiteral("features"), QStringLiteral("Capability flags reported in FEATURES."), QStringLiteral("N"));
    const QString baud = option(QStringLiteral("baud"), QStringLiteral("Pace both directions at this line speed (9600: about 960 bytes/s)."), QStringLiteral("N"));
    const QString dialResult = option(QStringLiteral("dial-result"), QStringLiteral("The modem's answer to ATD (default CONNECT 9600; BUSY, NO CARRIER...)."), QStringLiteral("TEXT"));
    const QString dialDelay = option(QStringLiteral("dial-delay"), QStringLiteral("Milliseconds before the answer to ATD."), QStringLiteral("MS"));
    const QString eraseDelay = option(QStringLiteral("erase-delay"), QStringLiteral("Milliseconds the flash erase takes."), QStringLiteral("MS"));
    const QString corrupt = option(QStringLiteral("corrupt"), QStringLiteral("Wrong checksum on answers: CODE[:N|:all],... (first N answers to #CODE)."), QStringLiteral("LIST"));
    const QString drop = option(QStringLiteral("drop"), QStringLiteral("Leave answers out: CODE[:N|:all],..."), QStringLiteral("LIST"));
    const QString skipSeq = option(QStringLiteral("skip-seq"), QStringLiteral("Jump over a line number in the first K #42 streams."), QStringLiteral("K"));
    const QString refuseLine = option(QStringLiteral("refuse-line"), QStringLiteral("Answer #BA0 to upload line N."), QStringLiteral("N"));
    const QString refuseAttempts = option(QStringLiteral("refuse-attempts"), QStringLiteral("Upload attempts on which --refuse-line applies (default 1)."), QStringLiteral("K"));
    const QString withhold = option(QStringLiteral("withhold-b91"), QStringLiteral("Leave the first K upload closings unanswered."), QStringLiteral("K"));
    const QString noise = option(QStringLiteral("noise"), QStringLiteral("Send stray bytes and line feeds before each answer."));
    const QString slow = option(QStringLiteral("slow"), QStringLiteral("Wait this long before each answer."), QStringLiteral("MS"));
    const QString silentAfter = option(QStringLiteral("silent-after"), QStringLiteral("Stop answering after N frames."), QStringLiteral("N"));
    const QString badCrc = option(QStringLiteral("bad-crc-once"), QStringLiteral("Report a wrong voice-list CRC the first time."));
    const QString stuckOutputs = option(QStringLiteral("stuck-outputs"), QStringLiteral("Answer output switches without switching (a relay that sticks)."));
    const QString dotsStop = option(QStringLiteral("dots-stop"), QStringLiteral("Stop the firmware image's progress dots after N image bytes."), QStringLiteral("N"));
    const QString alter = option(QStringLiteral("alter"), QStringLiteral("After every accepted configuration upload, also apply this upload line, so that the unit holds something else than was sent (\"RETRYMAX= 9\"); may be repeated."), QStringLiteral("LINE"));
    const QString replay = option(QStringLiteral("replay"), QStringLiteral("Play the unit's side of a saved line trace: after each line the tool writes, the answers the trace recorded, with their gaps."), QStringLiteral("TRACE"));
    const QString link = option(QStringLiteral("link"), QStringLiteral("Also reach the unit through this symbolic link, taken over from any earlier unit and removed at the end."), QStringLiteral("PATH"));
    const QString serial = option(QStringLiteral("serial"), QStringLiteral("The unit's serial number (over the state file's)."), QStringLiteral("TEXT"));
    const QString withParent = option(QStringLiteral("exit-with-parent"), QStringLiteral("End when the program that started this one ends (Linux)."));
    parser.process(app);

    const auto intValue = [&parser](const QString &name, int &target) {
        if (!parser.isSet(name))
            return true;
        bool ok = false;
        target = parser.value(name).toInt(&ok);
        return ok && target >= 0;
    };

    UnitState state = UnitState::defaults();
    QString error;
    if (parser.isSet(stateFile) && !state.loadFile(parser.value(stateFile), &error))
        return fail(QStringLiteral("%1: %2").arg(parser.value(stateFile), error));
    if (parser.isSet(serial))
        state.serialNumber = parser.value(serial);
    if (parser.isSet(key))
        state.accessKey = parser.value(key);
    if (parser.isSet(features)) {
        bool ok = false;
        state.features = parser.value(features).toUInt(&ok, 0);
        if (!ok)
            return fail(QStringLiteral("--features needs a number"));
    }

    if (parser.isSet(config) && parser.isSet(lines))
        return fail(QStringLiteral("--config and --lines are two sources of one stream: give one"));
    // The default unit streams every item as a unit holding it would, so that
    // a download after an upload differs only where the upload changed something.
    QStringList configLines = ConfigStream::asHeld(ConfigStream::defaults(state.features), state.features);
    if (parser.isSet(config) && !ConfigStream::fromConfigFile(parser.value(config), state.features, configLines, &error))
        return fail(QStringLiteral("%1: %2").arg(parser.value(config), error));
    if (parser.isSet(lines) && !ConfigStream::fromLinesFile(parser.value(lines), configLines, &error))
        return fail(QStringLiteral("%1: %2").arg(parser.value(lines), error));
    if (configLines.isEmpty())
        QTextStream(stderr) << "velkan-sim: the configuration stream is empty" << Qt::endl;

    EngineSetup setup;
    setup.modem = parser.isSet(modem);
    if (parser.isSet(dialResult))
        setup.dialResult = parser.value(dialResult);
    FaultPlan &faults = setup.faults;
    faults.noise = parser.isSet(noise);
    faults.badCrcOnce = parser.isSet(badCrc);
    faults.stuckOutputs = parser.isSet(stuckOutputs);
    setup.alterations = parser.values(alter);
    int lineSpeed = 0;
    const bool numbersOk = intValue(baud, lineSpeed) && intValue(dialDelay, setup.dialDelayMs)
                           && intValue(eraseDelay, setup.eraseDelayMs)
                           && intValue(skipSeq, faults.skipSequenceAttempts)
                           && intValue(refuseLine, faults.refuseLine)
                           && intValue(refuseAttempts, faults.refuseAttempts)
                           && intValue(withhold, faults.withholdClosing) && intValue(slow, faults.slowMs)
                           && intValue(silentAfter, faults.silentAfter)
                           && intValue(dotsStop, faults.dotsStopAfter);
    if (!numbersOk)
        return fail(QStringLiteral("a numeric option has a value that is not a number"));
    if (!FaultPlan::parseAnswerList(parser.value(corrupt), faults.corrupt)
        || !FaultPlan::parseAnswerList(parser.value(drop), faults.drop))
        return fail(QStringLiteral("--corrupt and --drop take CODE[:N|:all],..."));

    UnitLog log(parser.value(logFile));
    UnitEngine engine(state, configLines, setup, &log);
    if (parser.isSet(replay)) {
        TraceReplay script;
        if (!script.load(parser.value(replay), &error))
            return fail(QStringLiteral("%1: %2").arg(parser.value(replay), error));
        engine.replay(std::move(script));
    }
    PtyServer server(engine, lineSpeed);
    if (!server.open())
        return fail(server.errorString());
    DeviceLink deviceLink;
    if (parser.isSet(link) && !deviceLink.create(parser.value(link), server.devicePath()))
        return fail(deviceLink.errorString());
    if (!watchSignals(app))
        return fail(QStringLiteral("cannot watch signals"));
    if (parser.isSet(withParent))
        endWithParent();

    std::printf("%s\n", qPrintable(server.devicePath()));
    std::fflush(stdout);

    const int result = app.exec();
    engine.lineQuiet();
    return result;
}
