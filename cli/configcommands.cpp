#include "configcommands.h"

#include <QDir>
#include <algorithm>

#include "commandsupport.h"
#include "files/configfile.h"
#include "files/sectionregistry.h"
#include "files/uploadcompare.h"

namespace {

// The unit the file written to the unit came from, as it records it or as
// the service history's folder holding it says; empty when unknown.
QString &fileSource()
{
    static QString serial;
    return serial;
}

// A configuration of another unit is written with a warning; with --strict, not at all.
bool acceptOtherUnit(CliSession &s, const CommandArgs &a)
{
    const UnitOrigin origin = unitOrigin(fileSource(), s.unit().Device.SerialNumber);
    if (origin == UnitOrigin::Unrecorded || origin == UnitOrigin::Same)
        return true;
    const QString held = origin == UnitOrigin::Other
                             ? QStringLiteral("holds the configuration of unit %1")
                             : QStringLiteral("records its unit as \"%1\", which is no serial number");
    printError(QStringLiteral("%1: %2 %3, and the unit connected is %4.")
                   .arg(a.strict ? QStringLiteral("error") : QStringLiteral("warning"),
                        QDir::toNativeSeparators(a.positional.at(0)), held.arg(shownSerial(fileSource())),
                        shownSerial(s.unit().Device.SerialNumber)));
    if (a.strict)
        printError("Nothing was sent (--strict).");
    return !a.strict;
}

} // namespace

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

// A file that is not a configuration, or holds a text its upload line cannot
// carry, stops the command before anything is sent.
int restoreFile(CliSession &s, const CommandArgs &a)
{
    const QString path = a.positional.at(0);
    if (!restoreChecked(path, s.store(), s.sections(), a, &fileSource()))
        return ExitFileError;
    if (normalSerial(fileSource()).isEmpty())
        fileSource() = s.history().unitOf(path);
    return sendable(lineTextFaults(s.store(), s.sections(), SectionRegistry::uploadOrder())) ? ExitOk
                                                                                               : ExitFileError;
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
    const auto notTaken = std::count_if(fileNotes().cbegin(), fileNotes().cend(), [](const RestoreNote &n) {
        return n.kind == RestoreNote::Kind::NotTaken;
    });
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

QString configOptions(const CommandInfo &command, const CliSettings &settings, CommandArgs &args)
{
    if (settings.verify && !command.is("write-config"))
        return QStringLiteral("--verify belongs to write-config.");
    args.verify = settings.verify;
    return {};
}
