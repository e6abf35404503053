#include "firmwarecommand.h"

#include <QDir>

#include "link/firmwaretransfer.h"

namespace {

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

} // namespace

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

QString firmwareOptions(const CommandInfo &command, const CliSettings &settings, CommandArgs &args)
{
    if (settings.noBackup && !command.is("firmware"))
        return QStringLiteral("--no-backup belongs to firmware.");
    args.backup = !settings.noBackup;
    return {};
}
