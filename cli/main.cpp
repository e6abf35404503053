// velkan-cli: the tool's device and file operations for scripts and batch work.
#include <QFileInfo>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSettings>

#include "commands.h"
#include "history/historyrepo.h"
#include "model/product.h"
#include "keyinput.h"

namespace {

QString helpText()
{
    QString text = QStringLiteral(
        "Configure and query a Velkan Sarn unit from the command line.\n\n"
        "Exit status: 0 success, 1 the unit did not answer or refused, 2 usage error, "
        "3 file error (also a value of a .qcf that was not taken: for write-config always, for the\n"
        "others with --strict; and a text that would split its line to the unit).\nCommands that read a .qcf warn on standard error of every value "
        "they could not take.\n\nCommands:\n");
    for (const CommandInfo &c : commandTable())
        text += QStringLiteral("  %1 %2\n      %3\n")
                    .arg(QString::fromLatin1(c.name), QString::fromLatin1(c.usage),
                         QString::fromLatin1(c.summary));
    text += QStringLiteral(
        "\nExamples:\n"
        "  velkan-cli ports\n"
        "  velkan-cli --port /dev/ttyUSB0 info --json\n"
        "  velkan-cli --port COM3 --modem +34600111222 --key-file unit.key read-config tank3.qcf\n"
        "  velkan-cli --port COM3 --modem +34600111222 --key - read-config tank3.qcf   (key typed, not shown)\n"
        "  velkan-cli --port /dev/ttyUSB0 write-config tank3.qcf\n"
        "  velkan-cli --port /dev/ttyUSB0 write-config --verify tank3.qcf\n"
        "  velkan-cli --port /dev/ttyUSB0 live --count 10 --interval 1000\n"
        "  velkan-cli --port /dev/ttyUSB0 set-clock\n"
        "  velkan-cli --port /dev/ttyUSB0 output 2 on\n"
        "  velkan-cli --port /dev/ttyUSB0 counter 0 1500\n"
        "  velkan-cli --port /dev/ttyUSB0 counter 3 -- -5      (\"--\" before a negative value)\n"
        "  velkan-cli --port /dev/ttyUSB0 voice-list read voice.qcf\n"
        "  velkan-cli --port /dev/ttyUSB0 voice-list write voice.qcf\n"
        "  velkan-cli --port /dev/ttyUSB0 firmware image.hex CopyFlash.hex\n"
        "  velkan-cli diff before.qcf after.qcf\n"
        "  velkan-cli merge unit.qcf office.qcf --take E_Digital --take GENERAL.RENVN -o new.qcf\n"
        "  velkan-cli history VS21-000777\n"
        "  velkan-cli --port /dev/ttyUSB0 provision site.qcf units.csv --report site-report.csv\n");
    return text;
}

const CommandInfo *findCommand(const QString &name)
{
    for (const CommandInfo &c : commandTable())
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

int usageError(const QString &message)
{
    printError(message + " (velkan-cli --help lists the commands)");
    return ExitUsage;
}

bool readNumber(const QCommandLineParser &p, const QString &option, int min, int &value)
{
    if (!p.isSet(option))
        return true;
    bool ok = false;
    value = p.value(option).toInt(&ok);
    return ok && value >= min;
}

} // namespace

// "Name <address>", a name alone, or the program's setting, or the system user.
static Technician technicianFrom(const QString &option)
{
    const QString text = option.trimmed();
    if (text.isEmpty()) {
        const QSettings settings(QSettings::UserScope, Product::CompanyName);
        const QString name = settings.value(QStringLiteral("TechnicianName")).toString().trimmed();
        if (name.isEmpty())
            return Technician::systemUser();
        return {name, settings.value(QStringLiteral("TechnicianEmail")).toString().trimmed()};
    }
    Technician given;
    Technician::parse(text, given);
    return given;
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("velkan-cli");
    QCoreApplication::setApplicationVersion(Product::Version);

    QCommandLineParser p;
    p.setApplicationDescription(helpText());
    p.addHelpOption();
    p.addVersionOption();
    p.addOptions({
        {"port", "Serial port of the unit or modem (COM3, /dev/ttyUSB0); provision takes it more than once, "
                 "one unit on each port at a time.", "DEV"},
        {"modem", "Call the unit through a GSM modem on the port.", "NUMBER"},
        {"key", "The unit's access key for --modem; \"-\" reads it from standard input (not echoed). "
                "A key written here stays in the process list and the shell's history: prefer \"-\" or --key-file.",
         "KEY"},
        {"key-file", "Read the access key for --modem from the first line of FILE.", "FILE"},
        {"json", "Machine output as JSON (info, live, diff)."},
        {"verify", "write-config: download the configuration again and compare it with what was sent."},
        {"count", "Number of polls for live (default: until interrupted).", "N"},
        {"interval", "Milliseconds between polls for live (default 500).", "MS"},
        {"timeout", "Milliseconds to wait for each answer (default 5000 on a cable, 10000 through a modem); "
                    "for firmware, every wait of the update (the erase takes up to 50000).",
         "MS"},
        {"report", "provision: the report file, continued by each run (default: UNITS-report.csv).", "FILE"},
        {"again", "provision: write the units the report has as applied once more."},
        {"allow-unlisted", "provision: write the template alone to a unit not in the table."},
        {"modem-column", "provision: call each unit through the modem on the port at the number in this column "
                         "of the table (with --key).", "NAME"},
        {"progress", "provision: \"json\" prints one JSON line per event (port, serial, state, differences, "
                     "history, detail) instead of the table.", "json"},
        {"no-history", "Keep no copy of this read-config or write-config in the service history."},
        {"technician", "The author of the service history's commits, \"Name <address>\" (default: the "
                       "technician set in the program, else the system user).", "NAME"},
        {"no-backup", "firmware: update without keeping the unit's configuration in the service history first."},
        {"fast-link", "For tests and diagnosis with a unit that answers at once, such as velkan-sim: every wait "
                      "of the link some twenty times shorter, the 1 s drain on connecting included; --timeout "
                      "still sets the answer waits."},
        {"take", "merge: a section or key to take from OTHER (repeat for more).", "SECTION[.KEY]"},
        {"take-json", "merge: take the rows of this diff --json output.", "FILE"},
        {{"o", "output"}, "merge: the file to write.", "OUT"},
        {"strict", "A value of a .qcf that is no number or is out of range stops the command (status 3) "
                   "before the unit is touched; so does, for write-config, a configuration of another unit."},
        {"trace", "Write the trace of the whole run (every frame to and from the unit, secrets masked) to FILE.",
         "FILE"},
    });
    // A provisioning run on several ports runs velkan-cli once per port with this.
    QCommandLineOption runStart("run-start", "A worker of a run on several ports.", "BYTES");
    runStart.setFlags(QCommandLineOption::HiddenFromHelp);
    p.addOption(runStart);
    p.addPositionalArgument("command", "The command to run, then its arguments.", "command [args...]");
    if (!p.parse(QCoreApplication::arguments()))
        return usageError(p.errorText());
    if (p.isSet("help")) {
        p.showHelp(ExitOk);
    }
    if (p.isSet("version"))
        p.showVersion();

    QStringList args = p.positionalArguments();
    if (args.isEmpty())
        return usageError("No command given.");
    const CommandInfo *command = findCommand(args.takeFirst());
    if (!command)
        return usageError("Unknown command.");
    if (!command->run)
        return usageError(QStringLiteral("The command %1 is not available in this version yet.")
                              .arg(QString::fromLatin1(command->name)));
    if (args.size() < command->argCount || args.size() > command->argCount + command->optionalArgs)
        return usageError(QStringLiteral("Usage: velkan-cli %1 %2")
                              .arg(QString::fromLatin1(command->name), QString::fromLatin1(command->usage)));

    if (p.isSet("verify") && QLatin1String(command->name) != QLatin1String("write-config"))
        return usageError("--verify belongs to write-config.");
    if (p.isSet("no-backup") && QLatin1String(command->name) != QLatin1String("firmware"))
        return usageError("--no-backup belongs to firmware.");

    CommandArgs commandArgs{args, p.isSet("json")};
    commandArgs.verify = p.isSet("verify");
    commandArgs.backup = !p.isSet("no-backup");
    commandArgs.strict = p.isSet("strict");
    commandArgs.takes = p.values("take");
    commandArgs.takeJson = p.value("take-json");
    commandArgs.output = p.value("output");
    const bool merging = QLatin1String(command->name) == QLatin1String("merge");
    if (merging != (p.isSet("output") && (p.isSet("take") || p.isSet("take-json"))))
        return usageError("--take or --take-json, and -o, belong to merge, which needs them.");
    if (!readNumber(p, "count", 1, commandArgs.count) || !readNumber(p, "interval", 0, commandArgs.intervalMs))
        return usageError("--count and --interval take a positive number.");

    const bool provisioning = QLatin1String(command->name) == QLatin1String("provision");
    commandArgs.ports = p.values("port");
    if (commandArgs.ports.size() > 1 && !provisioning)
        return usageError("Only provision takes --port more than once.");
    // A device is one port whatever the name it is given by (a link to it,
    // a relative path): two workers on one line would garble each other.
    QStringList devices;
    for (const QString &port : std::as_const(commandArgs.ports)) {
        const QString device = QFileInfo(port).canonicalFilePath();
        devices << (device.isEmpty() ? port : device);
    }
    if (devices.removeDuplicates() > 0)
        return usageError("A port is given twice (under the same or another name).");
    if (commandArgs.ports.size() > 1 && (p.isSet("modem") || p.isSet("modem-column")))
        return usageError("Several --port need a cable to each unit: no --modem or --modem-column.");
    if (p.isSet("progress") && (!provisioning || p.value("progress") != QLatin1String("json")))
        return usageError("--progress json belongs to provision.");
    commandArgs.progressJson = p.isSet("progress");
    if (p.isSet("run-start")) {
        bool ok = false;
        commandArgs.runStart = p.value("run-start").toLongLong(&ok);
        if (!ok || commandArgs.runStart < 0 || commandArgs.ports.size() != 1)
            return usageError("--run-start is for a worker of a run on several ports.");
    }

    LinkOptions link{commandArgs.ports.value(0), p.value("modem")};
    link.fastLink = p.isSet("fast-link");
    if (!readNumber(p, "timeout", 1, link.answerTimeoutMs))
        return usageError("--timeout takes a positive number of milliseconds.");
    commandArgs.report = p.value("report");
    commandArgs.again = p.isSet("again");
    commandArgs.allowUnlisted = p.isSet("allow-unlisted");
    commandArgs.modemColumn = p.value("modem-column");
    if (command->needsLink && link.port.isEmpty())
        return usageError("This command needs --port.");
    // Provisioning through the modem dials each unit itself, with the same key.
    if (!link.modemNumber.isEmpty() || !commandArgs.modemColumn.isEmpty()) {
        const KeyInput key = readAccessKey(p.value("key"), p.value("key-file"));
        if (!key.error.isEmpty())
            return usageError(key.error);
        if (key.key.isEmpty())
            return usageError("--modem needs --key-file, --key - or --key (there is no prompt).");
        link.key = key.key;
    }
    commandArgs.link = link;

    CliSession session;
    session.traceTo(p.value("trace"));
    QString badTechnician;
    Technician checked;
    if (!Technician::parse(p.value("technician"), checked, &badTechnician))
        return usageError("--technician: " + badTechnician + '.');
    session.setTechnician(technicianFrom(p.value("technician")));
    if (!p.isSet("no-history"))
        session.keepHistory();
    if (command->prepare) {
        if (const int status = command->prepare(session, commandArgs); status != ExitOk)
            return status;
    }
    if (command->needsLink && !session.connect(link))
        return ExitNoAnswer;
    return command->run(session, commandArgs);
}
