// velkan-cli: the tool's device and file operations for scripts and batch work.
#include <QCommandLineParser>
#include <QCoreApplication>

#include "commands.h"
#include "model/product.h"

namespace {

QString helpText()
{
    QString text = QStringLiteral(
        "Configure and query a Velkan Sarn unit from the command line.\n\n"
        "Exit status: 0 success, 1 the unit did not answer or refused, 2 usage error, "
        "3 file error.\n\nCommands:\n");
    for (const CommandInfo &c : commandTable())
        text += QStringLiteral("  %1 %2\n      %3\n")
                    .arg(QString::fromLatin1(c.name), QString::fromLatin1(c.usage),
                         QString::fromLatin1(c.summary));
    text += QStringLiteral(
        "\nExamples:\n"
        "  velkan-cli ports\n"
        "  velkan-cli --port /dev/ttyUSB0 info --json\n"
        "  velkan-cli --port COM3 --modem +34600111222 --key 1234 read-config tank3.qcf\n"
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
        {"port", "Serial port of the unit or modem (COM3, /dev/ttyUSB0).", "DEV"},
        {"modem", "Call the unit through a GSM modem on the port.", "NUMBER"},
        {"key", "The unit's access key (required with --modem).", "KEY"},
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
        {"no-history", "Keep no copy of this read-config or write-config in the service history."},
    });
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

    CommandArgs commandArgs{args, p.isSet("json")};
    commandArgs.verify = p.isSet("verify");
    if (!readNumber(p, "count", 1, commandArgs.count) || !readNumber(p, "interval", 0, commandArgs.intervalMs))
        return usageError("--count and --interval take a positive number.");

    LinkOptions link{p.value("port"), p.value("modem"), p.value("key")};
    if (!readNumber(p, "timeout", 1, link.answerTimeoutMs))
        return usageError("--timeout takes a positive number of milliseconds.");
    commandArgs.link = link;
    commandArgs.report = p.value("report");
    commandArgs.again = p.isSet("again");
    commandArgs.allowUnlisted = p.isSet("allow-unlisted");
    commandArgs.modemColumn = p.value("modem-column");
    if (command->needsLink && link.port.isEmpty())
        return usageError("This command needs --port.");
    if (!link.modemNumber.isEmpty() && link.key.isEmpty())
        return usageError("--modem needs --key (there is no prompt).");

    CliSession session;
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
