#include "commands.h"

#include <algorithm>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <memory>

#include "files/configcompare.h"
#include "files/configfile.h"
#include "files/inidocument.h"
#include "files/linetexts.h"
#include "files/configmerge.h"
#include "files/sectionregistry.h"
#include "link/devicecommands.h"
#include "link/livelog.h"
#include "link/voicelisttransfer.h"
#include "model/voiceauthlist.h"
#include "sections/voicelist/voicelistcore.h"
#include "link/firmwaretransfer.h"
#include "historycommands.h"
#include "provisioncommand.h"

namespace {

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

// A 32-bit value as the unit meant it, without the noise of widening it to double.
double shortest(float value)
{
    return QString::number(value, 'g', 7).toDouble();
}

QJsonObject infoJson(const DeviceValues &d)
{
    QJsonObject features;
    for (const auto &f : Feature::kNames)
        features.insert(QString::fromLatin1(f.name), d.has(f.bit));
    const QDateTime now = QDateTime::currentDateTime();
    QJsonObject o{
        {"firmware", shortest(d.FirmwareVersion) / 100.0},
        {"serial", d.SerialNumber},
        {"battery_volts", shortest(d.BatteryVoltage)},
        {"signal_level", d.SignalLevel},
        {"log_size", d.LogSize},
        {"log_used", d.LogUsed},
        {"features_value", qint64(d.DeviceFeatures)},
        {"features", features},
    };
    if (d.DeviceClock.isValid()) {
        o.insert("clock", d.DeviceClock.toString(Qt::ISODate));
        o.insert("clock_offset_seconds", now.secsTo(d.DeviceClock));
    }
    return o;
}

// What the unit is decides what a command shows or sends: without its identity
// such a command does not run. Output, counter, clock and firmware commands do not
// depend on it.
bool identified(const CliSession &s)
{
    if (s.identityRead())
        return true;
    printError("The unit did not tell its identity; nothing was done.");
    return false;
}

int info(CliSession &s, const CommandArgs &a)
{
    if (!identified(s))
        return ExitNoAnswer;
    ReadDeviceRTC(s.comms(), s.unit().Device);
    const QJsonObject o = infoJson(s.unit().Device);
    if (a.json) {
        out() << QJsonDocument(o).toJson(QJsonDocument::Compact) << Qt::endl;
        return ExitOk;
    }
    for (auto it = o.begin(); it != o.end(); ++it) {
        if (it.key() == "features") {
            QStringList on;
            const QJsonObject f = it.value().toObject();
            for (auto fi = f.begin(); fi != f.end(); ++fi)
                if (fi.value().toBool())
                    on << fi.key();
            out() << "features: " << on.join(' ') << Qt::endl;
        } else {
            out() << it.key() << ": " << it.value().toVariant().toString() << Qt::endl;
        }
    }
    return ExitOk;
}

int readConfig(CliSession &s, const CommandArgs &a)
{
    if (!identified(s))
        return ExitNoAnswer;
    if (!s.unit().download(s.store(), s.sections(), s.progress())) {
        printError("The configuration download failed; nothing was written.");
        return ExitNoAnswer;
    }
    FileFailure failure;
    SaveTarget target;
    target.sourceSerial = s.unit().Device.SerialNumber.trimmed();
    if (!saveConfigFile(a.positional.at(0), s.store(), s.sections(), &failure, target)) {
        printError(fileFailureMessage(failure));
        return ExitFileError;
    }
    return ExitOk;
}

// The values of the files read by this run that the model did not take.
QList<RestoreNote> &fileNotes()
{
    static QList<RestoreNote> notes;
    return notes;
}

// The unit the file written to the unit came from, as it records it or as
// the service history's folder holding it says; empty when unknown.
QString &fileSource()
{
    static QString serial;
    return serial;
}

// One warning per value of the file that was not taken; with --strict they
// stop the command (file error) before the unit is touched.
bool acceptNotes(const QString &path, const QList<RestoreNote> &notes, const CommandArgs &a)
{
    for (const RestoreNote &n : notes) {
        if (n.outOfRange())
            printError(QStringLiteral("warning: %1: [%2] %3=%4 is outside the range its window takes (%5); "
                                      "it cannot be sent to a unit until mended")
                           .arg(QDir::toNativeSeparators(path), n.section, n.key.trimmed(), n.text.trimmed(), n.range));
        else
            printError(QStringLiteral("warning: %1: [%2] %3=%4 was not taken (no number, or out of range); "
                                      "the default is kept")
                           .arg(QDir::toNativeSeparators(path), n.section, n.key.trimmed(), n.text));
    }
    fileNotes() += notes;
    return notes.isEmpty() || !a.strict;
}

// A configuration file restored into `store`; false after saying why not.
bool restoreChecked(const QString &path, ConfigStore &store, const SectionRegistry &sections,
                    const CommandArgs &a, QString *sourceSerial = nullptr)
{
    FileFailure failure;
    QList<RestoreNote> notes;
    if (restoreConfigFile(path, store, sections, &failure, &notes, sourceSerial) != RestoreResult::Restored) {
        printError(fileFailureMessage(failure));
        return false;
    }
    return acceptNotes(path, notes, a);
}

// One line per field that cannot go to the unit; true when there is none.
bool sendable(const QList<FieldFault> &faults)
{
    for (const FieldFault &f : faults) {
        if (f.problem == FieldFault::Problem::OutOfRange)
            printError(QStringLiteral("error: [%1] %2=%3 is outside the range its window takes (%4)")
                           .arg(f.item, f.key.trimmed(), f.text.trimmed(), f.detail));
        else
            printError(QStringLiteral("error: [%1] %2=%3 holds \"%4\", which would split its line to the unit")
                           .arg(f.item, f.key.trimmed(), f.text, f.detail));
    }
    if (!faults.isEmpty())
        printError("Nothing was sent: mend these fields first.");
    return faults.isEmpty();
}

// A file that is not a configuration, or holds a text its upload line cannot
// carry, stops the command before anything is sent.
int restoreFile(CliSession &s, const CommandArgs &a)
{
    const QString path = a.positional.at(0);
    if (!restoreChecked(path, s.store(), s.sections(), a, &fileSource()))
        return ExitFileError;
    if (fileSource().isEmpty())
        fileSource() = s.history().unitOf(path);
    return sendable(lineTextFaults(s.store(), s.sections(), SectionRegistry::uploadOrder())) ? ExitOk
                                                                                               : ExitFileError;
}

QJsonValue jsonSide(const ConfigDifference &d, ConfigDifference::Side absent, const QString &value)
{
    return d.side == absent ? QJsonValue() : QJsonValue(value);
}

// A field of a tab-separated line: a tab in a value would start another field.
QString tabField(const ConfigDifference &d, ConfigDifference::Side absent, const QString &value)
{
    return d.side == absent ? QStringLiteral("(absent)") : QString(value).replace(u'\t', u' ');
}

// A configuration of another unit is written with a warning; with --strict, not at all.
bool acceptOtherUnit(CliSession &s, const CommandArgs &a)
{
    const QString source = fileSource().trimmed();
    const QString target = s.unit().Device.SerialNumber.trimmed();
    if (source.isEmpty() || target.isEmpty() || ServiceHistory::sameUnit(source, target))
        return true;
    printError(QStringLiteral("%1: %2 holds the configuration of unit %3, and the unit connected is %4.")
                   .arg(a.strict ? QStringLiteral("error") : QStringLiteral("warning"),
                        QDir::toNativeSeparators(a.positional.at(0)), source, target));
    if (a.strict)
        printError("Nothing was sent (--strict).");
    return !a.strict;
}

int writeConfig(CliSession &s, const CommandArgs &a)
{
    if (!identified(s))
        return ExitNoAnswer;
    if (!acceptOtherUnit(s, a))
        return ExitFileError;
    // A value of the file that was not taken would reach the unit as the
    // default kept in its place, which is not what the file says. (One the
    // model holds out of its window's range is named by the upload check.)
    const auto notTaken = std::count_if(fileNotes().cbegin(), fileNotes().cend(),
                                        [](const RestoreNote &n) { return !n.outOfRange(); });
    if (notTaken > 0) {
        printError(QStringLiteral("Nothing was sent: %1 values of the file cannot reach the unit as it holds them.")
                       .arg(notTaken));
        return ExitFileError;
    }
    if (!a.verify) {
        if (s.unit().upload(s.store(), s.sections(), s.progress()))
            return ExitOk;
        printError("The unit did not confirm the configuration upload.");
        return ExitNoAnswer;
    }
    bool uploaded = false;
    const QObject watch; // ends the connection with this function
    QObject::connect(&s.unit(), &UnitConnection::verifying, &watch, [&uploaded] { uploaded = true; });
    QList<ConfigDifference> differences;
    if (!s.unit().uploadVerified(s.store(), s.sections(), differences, s.progress())) {
        printError(uploaded ? QStringLiteral("The unit confirmed the upload, but the download that checks it failed: ")
                                  + linkFailureMessage(s.unit().lastError())
                            : QStringLiteral("The unit did not confirm the configuration upload."));
        return ExitNoAnswer;
    }
    if (differences.isEmpty()) {
        out() << "verified" << Qt::endl;
        return ExitOk;
    }
    using Side = ConfigDifference::Side;
    for (const ConfigDifference &d : differences)
        printError(QStringList{d.section, d.key, tabField(d, Side::RightOnly, d.left),
                               tabField(d, Side::LeftOnly, d.right)}
                       .join(u'\t'));
    return ExitDiffer;
}

int diff(CliSession &s, const CommandArgs &a)
{
    using Side = ConfigDifference::Side;
    auto left = std::make_unique<ConfigStore>();
    auto right = std::make_unique<ConfigStore>();
    if (!restoreChecked(a.positional.at(0), *left, s.sections(), a)
        || !restoreChecked(a.positional.at(1), *right, s.sections(), a))
        return ExitFileError;
    const QList<ConfigDifference> differences = compareConfigurations(*left, *right, s.sections());
    if (a.json) {
        QJsonArray rows;
        for (const ConfigDifference &d : differences)
            rows.append(QJsonObject{{"section", d.item}, {"registered_section", d.section}, {"key", d.key},
                                    {"a", jsonSide(d, Side::RightOnly, d.left)},
                                    {"b", jsonSide(d, Side::LeftOnly, d.right)}});
        out() << QJsonDocument(rows).toJson(QJsonDocument::Compact) << Qt::endl;
    } else {
        for (const ConfigDifference &d : differences)
            out() << QStringList{d.item, d.key, tabField(d, Side::RightOnly, d.left),
                                 tabField(d, Side::LeftOnly, d.right)}
                         .join(u'\t')
                  << Qt::endl;
    }
    return differences.isEmpty() ? ExitOk : ExitDiffer;
}

// BASE with the chosen sections or keys of OTHER, both as this program reads
// them, written to OUT through the restore rules: a value they refuse is
// warned of and BASE keeps its own.
int merge(CliSession &s, const CommandArgs &a)
{
    const SectionRegistry &sections = s.sections();
    auto base = std::make_unique<ConfigStore>();
    auto other = std::make_unique<ConfigStore>();
    if (!restoreChecked(a.positional.at(0), *base, sections, a)
        || !restoreChecked(a.positional.at(1), *other, sections, a))
        return ExitFileError;
    IniDocument from;
    sections.saveAll(*other, from);

    QList<TakeChoice> choices;
    if (!a.takeJson.isEmpty()) {
        QFile json(a.takeJson);
        if (!json.open(QIODevice::ReadOnly) || !takeChoicesFromJson(json.readAll(), choices)) {
            printError(QStringLiteral("Cannot use %1: it is no output of diff --json.").arg(a.takeJson));
            return ExitFileError;
        }
    }
    QStringList unknown;
    choices += takeChoices(a.takes, from, sections, unknown);
    if (!unknown.isEmpty()) {
        printError(QStringLiteral("%1 holds no %2.").arg(a.positional.at(1), unknown.join(QStringLiteral(", "))));
        return ExitUsage;
    }
    const TakeReport report = takeInto(*base, from, choices, sections);
    for (const RestoreNote &n : report.refused)
        printError(QStringLiteral("warning: [%1] %2=%3 was not taken (no number, or out of range); %4 keeps its value")
                       .arg(n.section, n.key.trimmed(), n.text, a.positional.at(0)));
    if (!report.refused.isEmpty() && a.strict)
        return ExitFileError;
    FileFailure failure;
    if (!saveConfigFile(a.output, *base, sections, &failure)) {
        printError(fileFailureMessage(failure));
        return ExitFileError;
    }
    printError(QStringLiteral("%1 values taken from %2.").arg(report.taken).arg(a.positional.at(1)));
    return ExitOk;
}

QJsonObject liveJson(const DeviceValues &d, bool math)
{
    // Counters and readings as the unit sent them (JSON writes a double in
    // its shortest round-trip form); times in UTC, as the CSV gives them.
    const LiveData &l = d.Live;
    QJsonArray counters, flows, probes, maths;
    for (int i = 0; i < kCounterCount; ++i) {
        counters << l.CounterValue[i];
        flows << l.FlowRate[i];
    }
    for (int i = 0; i < kProbeCount; ++i)
        probes << l.AnalogValue[i];
    QJsonObject o{{"time", LiveCsv::time(QDateTime::currentDateTimeUtc())},
                  {"unit_clock", LiveCsv::unitClock(d.DeviceClock)},
                  {"counters", counters}, {"flows", flows}, {"probes", probes},
                  {"digital", l.DigitalState}, {"outputs", l.OutputState},
                  {"flags", qint64(l.FlagState)}};
    if (math) {
        for (int i = 0; i < kProductLimits.MathCount; ++i)
            maths << l.MathValue[i];
        o.insert("math", maths);
    }
    return o;
}

int live(CliSession &s, const CommandArgs &a)
{
    if (!identified(s))
        return ExitNoAnswer;
    Comms &c = s.comms();
    DeviceValues &device = s.unit().Device;
    const bool math = device.has(Feature::MathChannels);
    ReadIOParameter(c, device);
    if (!a.json)
        out() << LiveCsv::header(device.Live, math) << Qt::endl;
    for (int n = 0; a.count == 0 || n < a.count; ++n) {
        if (n > 0)
            c.Delay(a.intervalMs);
        if (!ReadRealTime(c, device)) {
            printError("The unit did not answer the live-value request.");
            return ExitNoAnswer;
        }
        ReadDeviceRTC(c, device);
        if (a.json)
            out() << QJsonDocument(liveJson(device, math)).toJson(QJsonDocument::Compact) << Qt::endl;
        else
            out() << LiveCsv::row(QDateTime::currentDateTimeUtc(), device, math) << Qt::endl;
    }
    return ExitOk;
}

int setClock(CliSession &s, const CommandArgs &)
{
    if (WriteDeviceRTC(s.comms()))
        return ExitOk;
    printError("The unit did not accept the clock.");
    return ExitNoAnswer;
}

bool parseInt(const QString &text, int min, int max, int &value)
{
    bool ok = false;
    value = text.toInt(&ok);
    return ok && value >= min && value <= max;
}

bool outputArgs(const CommandArgs &a, int &n, bool &on)
{
    const QString state = a.positional.at(1).toLower();
    on = state == "on";
    return parseInt(a.positional.at(0), 0, kProductLimits.OutputCount - 1, n) && (on || state == "off");
}

// Arguments are checked before connecting: a typing error needs no unit.
int checkOutput(CliSession &, const CommandArgs &a)
{
    int n = 0;
    bool on = false;
    if (outputArgs(a, n, on))
        return ExitOk;
    printError(QStringLiteral("Usage: output N on|off, N from 0 to %1.").arg(kProductLimits.OutputCount - 1));
    return ExitUsage;
}

int output(CliSession &s, const CommandArgs &a)
{
    int n = 0;
    bool on = false;
    outputArgs(a, n, on);
    // The unit's answer to the switch says nothing: the live states tell
    // whether the output followed.
    DeviceValues &device = s.unit().Device;
    if (SetSingleOutput(s.comms(), qint16(n), on) && ReadRealTime(s.comms(), device)
        && bool(device.Live.OutputState & (1u << n)) == on)
        return ExitOk;
    printError(QStringLiteral("The unit did not switch output %1 %2.").arg(n).arg(on ? "on" : "off"));
    return ExitNoAnswer;
}

bool counterArgs(const CommandArgs &a, int &n, qint32 &value)
{
    bool ok = false;
    value = a.positional.at(1).toInt(&ok);
    return parseInt(a.positional.at(0), 0, kCounterCount - 1, n) && ok;
}

int checkCounter(CliSession &, const CommandArgs &a)
{
    int n = 0;
    qint32 value = 0;
    if (counterArgs(a, n, value))
        return ExitOk;
    printError(QStringLiteral("Usage: counter N VALUE, N from 0 to %1, VALUE a 32-bit integer.").arg(kCounterCount - 1));
    return ExitUsage;
}

int counter(CliSession &s, const CommandArgs &a)
{
    int n = 0;
    qint32 value = 0;
    counterArgs(a, n, value);
    if (SetTotalCNT(s.comms(), qint16(n), value))
        return ExitOk;
    printError("The unit did not accept the new count.");
    return ExitNoAnswer;
}

// The two firmware files, read whole before connecting.
struct FirmwareFiles {
    QByteArray image;
    QByteArray loader;
};

FirmwareFiles &firmwareFiles()
{
    static FirmwareFiles files;
    return files;
}

QString hexProblem(IntelHexCheck::Problem problem)
{
    switch (problem) {
    case IntelHexCheck::None:
        break;
    case IntelHexCheck::Empty:
        return QStringLiteral("the file is empty");
    case IntelHexCheck::NotARecord:
        return QStringLiteral("not a record (it does not start with \":\")");
    case IntelHexCheck::BadDigits:
        return QStringLiteral("a character that is not a hexadecimal digit");
    case IntelHexCheck::BadLength:
        return QStringLiteral("the record's length does not match its byte count");
    case IntelHexCheck::BadChecksum:
        return QStringLiteral("the checksum is wrong");
    case IntelHexCheck::UnknownType:
        return QStringLiteral("unknown record type");
    case IntelHexCheck::BadTypeLength:
        return QStringLiteral("an end or address record of the wrong length");
    case IntelHexCheck::NoEndRecord:
        return QStringLiteral("the end-of-file record is missing");
    case IntelHexCheck::DataAfterEnd:
        return QStringLiteral("data after the end-of-file record");
    case IntelHexCheck::TooLarge:
        return QStringLiteral("the image does not fit in the unit's flash (%1 bytes)").arg(kFirmwareFlashBytes);
    }
    return {};
}

QString fileProblem(const FirmwareFile &file)
{
    switch (file.problem) {
    case FirmwareFile::Empty:
        return QStringLiteral("the file is empty");
    case FirmwareFile::TooLarge:
        return QStringLiteral("the file is larger than 16 MB");
    case FirmwareFile::NotIntelHex:
        return QStringLiteral("not a valid Intel HEX file, line %1: %2")
            .arg(file.hex.line)
            .arg(hexProblem(file.hex.problem));
    default:
        return file.reason;
    }
}

int readFirmware(CliSession &, const CommandArgs &a)
{
    const QString imagePath = a.positional.at(0);
    const QString loaderPath = a.positional.at(1);
    if (!isLoaderPath(loaderPath)) {
        printError(QStringLiteral("The loader's file name must contain \"CopyFlash\" (exact case): %1").arg(loaderPath));
        return ExitUsage;
    }
    FirmwareFiles &files = firmwareFiles();
    for (const auto &[path, bytes] : {std::pair{imagePath, &files.image}, std::pair{loaderPath, &files.loader}}) {
        const FirmwareFile file = readFirmwareFile(path);
        if (!file.ok()) {
            const QString refused = file.problem == FirmwareFile::NotIntelHex
                                        ? QStringLiteral("Refused %1: %2. Nothing was sent.")
                                        : QStringLiteral("Cannot read %1: %2.");
            printError(refused.arg(path, fileProblem(file)));
            return ExitFileError;
        }
        *bytes = file.bytes;
    }
    return ExitOk;
}

QString firmwareFailure(const FirmwareResult &result)
{
    const QString failed = QStringLiteral("Firmware update failed: ");
    switch (result.failure) {
    case FirmwareFailure::None:
        return {};
    case FirmwareFailure::LinkBusy:
        return failed + QStringLiteral("the link is not free.");
    case FirmwareFailure::EraseNotConfirmed:
        return failed + QStringLiteral("the unit did not confirm the erase.");
    case FirmwareFailure::NotReadyAfterErase:
        return failed + QStringLiteral("the unit was not ready after erasing.");
    case FirmwareFailure::ImageNotAcknowledged:
        return failed + QStringLiteral("the unit did not acknowledge the image near byte %1.").arg(result.byte);
    case FirmwareFailure::LoaderNotAccepted:
        return failed + QStringLiteral("the unit did not accept the loader.");
    case FirmwareFailure::PortLost:
    case FirmwareFailure::Ended:
        return failed + QStringLiteral("the port was lost.");
    }
    return {};
}

// The unit's configuration into the service history before its flash is
// erased. Scripts get no question: without the copy nothing is sent.
int backUpFirst(CliSession &s)
{
    const QString unsent = QStringLiteral(" The firmware was not sent (--no-backup sends it without the copy).");
    if (!s.identityRead()) {
        printError(QStringLiteral("The unit did not tell its identity, so its configuration was not kept.") + unsent);
        return ExitNoAnswer;
    }
    const ConfigBackup backup = s.unit().backUpConfig(s.history(), s.sections(), s.progress());
    switch (backup.outcome) {
    case ConfigBackup::Kept:
        printError(QStringLiteral("The unit's configuration was kept in %1.")
                       .arg(QDir::toNativeSeparators(backup.entry.path)));
        return ExitOk;
    case ConfigBackup::NotDownloaded:
        printError(QStringLiteral("The configuration download failed.") + unsent);
        return ExitNoAnswer;
    case ConfigBackup::NotRecorded:
        printError(fileFailureMessage(backup.failure) + unsent);
        return ExitFileError;
    }
    return ExitNoAnswer;
}

int firmware(CliSession &s, const CommandArgs &a)
{
    if (a.backup) {
        if (const int status = backUpFirst(s); status != ExitOk)
            return status;
    }
    FirmwareTransfer transfer(s.comms());
    ProgressLine line;
    if (errorIsTerminal()) {
        QObject::connect(&transfer, &FirmwareTransfer::stepStarted, [&line](FirmwareStep step) {
            static const char *const names[] = {"erasing flash", "image", "loader"};
            line.show(QString::fromLatin1(names[int(step)]), true);
        });
        QObject::connect(&transfer, &FirmwareTransfer::imageProgress, [&line](qint64 goneOut, qint64 total) {
            line.show(QStringLiteral("image %1/%2 bytes").arg(goneOut).arg(total), goneOut == total);
        });
    }
    const FirmwareFiles &files = firmwareFiles();
    const FirmwareResult result = s.unit().updateFirmware(transfer, files.image, files.loader);
    line.clear();
    if (!result.ok()) {
        printError(firmwareFailure(result));
        return ExitNoAnswer;
    }
    printError("The unit has taken both files and is writing its flash: do not cut its power until its LED "
               "blinks again.");
    s.unit().disconnectUnit();
    return ExitOk;
}

int ports(CliSession &s, const CommandArgs &)
{
    for (const QString &port : s.unit().scanPorts())
        out() << port << Qt::endl;
    return ExitOk;
}

const SectionCore &voiceListCore(const CliSession &s)
{
    return *s.sections().find(QStringLiteral("Aut_Voz"));
}

int voiceFileError(const QString &path, const QString &reason)
{
    printError("Cannot use " + path + ": " + reason);
    return ExitFileError;
}

// The file is checked before connecting: a read keeps an existing file's other
// sections and its acknowledgement switch, which the unit does not hold, and a
// write needs a list the unit can take.
int checkVoiceList(CliSession &s, const CommandArgs &a)
{
    const QString action = a.positional.at(0);
    const QString path = a.positional.at(1);
    if (action != "read" && action != "write") {
        printError("Usage: velkan-cli voice-list read|write FILE.qcf");
        return ExitUsage;
    }
    if (action == "read" && QFileInfo(path).size() == 0)
        return ExitOk; // a new file, or an empty one
    IniDocument doc;
    FileFailure failure;
    if (loadConfigDocument(path, doc, &failure) != RestoreResult::Restored) {
        printError(fileFailureMessage(failure));
        return ExitFileError;
    }
    voiceListCore(s).restore(s.store(), doc);
    const QStringList voiceSection{voiceListCore(s).name()};
    if (!acceptNotes(path, restoreNotes(doc, s.store(), s.sections(), voiceSection), a))
        return ExitFileError;
    if (action == "read")
        return ExitOk;
    if (!sendable(lineTextFaults(s.store(), s.sections(), voiceSection)))
        return ExitFileError;
    if (!doc.hasSection(VoiceListCore::fileSection()))
        return voiceFileError(path, QStringLiteral("it holds no voice-call list."));
    VoiceAuthList &list = s.store().VoiceList;
    PackVoiceList(list);
    if (list.Count > VoiceAuthList::kMaxNumbers)
        return voiceFileError(path, QStringLiteral("it holds more than %1 voice-call numbers.")
                                        .arg(VoiceAuthList::kMaxNumbers));
    return ExitOk;
}

int voiceList(CliSession &s, const CommandArgs &a)
{
    if (!identified(s))
        return ExitNoAnswer;
    const DeviceValues &device = s.unit().Device;
    // The window disables its buttons for such a unit; nothing is sent.
    if (!device.has(Feature::MissedCallMacro)) {
        printError("The unit's firmware does not support the voice-call list.");
        return ExitNoAnswer;
    }
    VoiceAuthList &list = s.store().VoiceList;
    const QString path = a.positional.at(1);
    if (a.positional.at(0) == "write") {
        if (s.unit().writeVoiceList(list, s.progress()))
            return ExitOk;
        printError("The unit did not take the voice-call list.");
        return ExitNoAnswer;
    }
    if (!s.unit().readVoiceList(list, s.progress())) {
        printError("The voice-call list read failed; nothing was written.");
        return ExitNoAnswer;
    }
    FileFailure failure;
    if (!saveConfigSection(path, s.store(), voiceListCore(s), &failure)) {
        printError(fileFailureMessage(failure));
        return ExitFileError;
    }
    return ExitOk;
}

} // namespace

const QList<CommandInfo> &commandTable()
{
    static const QList<CommandInfo> table = {
        {"ports", "", "list the serial ports, one per line", 0, false, nullptr, ports},
        {"info", "[--json]", "the unit's identity, capabilities and clock", 0, true, nullptr, info},
        {"read-config", "FILE.qcf", "download the whole configuration and save it", 1, true, nullptr, readConfig},
        {"write-config", "[--verify] FILE.qcf",
         "restore FILE and upload it to the unit; with --verify, download it again and compare:\n"
         "      \"verified\" when the unit holds what was sent, else exit status 1 and the differing\n"
         "      upload lines on standard error, one per line: section, key, sent, held, tab-separated;\n"
         "      a text holding the separator of its upload line stops it (status 3) before anything is sent;\n"
         "      a configuration of another unit (read from it, or its copy in the service history) is\n"
         "      written with a warning, or with --strict not at all (status 3)",
         1, true, restoreFile, writeConfig},
        {"live", "[--json] [--count N] [--interval MS]", "poll the live values (CSV by default)", 0, true, nullptr, live},
        {"set-clock", "", "set the unit's clock to this computer's clock", 0, true, nullptr, setClock},
        {"output", "N on|off", "switch output N", 2, true, checkOutput, output},
        {"counter", "N VALUE", "preset totalizer counter N", 2, true, checkCounter, counter},
        {"voice-list", "read|write FILE.qcf",
         "read the unit's voice-call list into FILE, or write FILE's list to the unit;\n"
         "      read-config saves an empty voice list, so run voice-list read after it on one file",
         2, true, checkVoiceList, voiceList},
        {"diff", "[--json] A.qcf B.qcf",
         "list what the two configuration files hold differently, one per line: file section, key,\n"
         "      A's value, B's value, tab-separated (\"(absent)\" for a side without it; a whole section\n"
         "      on one side only is one line with no key); exit status 0 equal, 1 they differ",
         2, false, nullptr, diff},
        {"merge", "BASE.qcf OTHER.qcf (--take SECTION[.KEY] ... | --take-json FILE) -o OUT.qcf",
         "write BASE with the chosen sections or keys taken from OTHER into OUT; SECTION is a section\n"
         "      of the program (Caudal, GPRS) or of the file (\"CAUDAL 2\"); --take-json takes the rows of\n"
         "      a diff --json output, so that a script can review and choose",
         2, false, nullptr, merge},
        {"history", "[SERIAL | remote URL | sync | who SERIAL SECTION.KEY]",
         "list the units with a service history, one per line, or SERIAL's copies newest first: UTC time,\n"
         "      read|write|write-verified|write-differs, file, technician, tab-separated (read-config and\n"
         "      write-config keep a copy in the per-user data folder unless --no-history is given; each copy is\n"
         "      a commit of the folder's git repository, authored by --technician). \"remote URL\" sets the\n"
         "      team's repository (a folder, file://, git://, ssh:// or https:// with the token in\n"
         "      VELKAN_HISTORY_TOKEN); \"sync\" shares the copies both ways, the only time the network is used;\n"
         "      \"who\" gives the UTC time, technician, operation, value and file of the copy from which the\n"
         "      unit holds the key's present value",
         0, false, nullptr, historyCommand, 3},
        {"units", "",
         "the fleet: every unit of the service history with its name, last operation, its UTC time and\n"
         "      technician, the firmware at last contact and how the last write ended, tab-separated",
         0, false, nullptr, unitsCommand},
        {"firmware", "[--no-backup] IMAGE.hex LOADER.hex",
         "replace the unit's firmware (LOADER's name contains \"CopyFlash\"); both files must be Intel HEX,\n"
         "      else exit status 3 and nothing is sent. The unit's configuration is kept in the service\n"
         "      history first, and the update stops when that fails, unless --no-backup is given",
         2, true, readFirmware, firmware},
        {"provision", "TEMPLATE.qcf UNITS.csv [--report FILE] [--again] [--allow-unlisted] [--modem-column NAME] "
                      "[--progress json]",
         "write TEMPLATE with each unit's own values from UNITS (CSV: the serial, then \"Section.KEY\"\n"
         "      columns or the aliases name, own_number, sms_centre, retry_time, retry_count, apn,\n"
         "      apn_user, apn_password, server; an empty cell keeps the template's value) to one unit\n"
         "      after another on the port, each checked by a download and kept in the service history;\n"
         "      the table is checked whole first. The report (time, serial, status, differences,\n"
         "      history, detail) continues from run to run; units it has as applied are skipped.\n"
         "      Ends when every unit is applied, or on Ctrl-C after the current unit; exit status 1\n"
         "      when a unit failed. With --modem-column, calls each unit through the modem on the\n"
         "      port at the number in that column (the access key from --key), one after another.\n"
         "      With --port given several times, every port runs its own queue at the same time over\n"
         "      the same table and report: a unit is written once whichever port it comes to, and a\n"
         "      serial met on two ports at once is written on the first and refused on the other.\n"
         "      A port that fails or is lost does not stop the others; exit status 0 only when every\n"
         "      port ended well. --progress json prints one JSON line per event instead of the table",
         2, false, checkProvision, provision},
    };
    return table;
}
