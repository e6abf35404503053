#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include "files/intelhex.h"

class Comms;
class QElapsedTimer;

// A firmware image or flash-copy loader, read whole and checked as Intel HEX
// before anything is sent.
struct FirmwareFile {
    enum Problem { None, Unreadable, Empty, TooLarge, NotIntelHex };

    QByteArray bytes;
    Problem problem = None;
    QString reason;    // the system's words when Unreadable
    IntelHexCheck hex; // the fault and its line when NotIntelHex
    bool ok() const { return problem == None; }
};

// Larger files are refused: no image of the unit comes near it.
constexpr qint64 kFirmwareFileMax = 16 * 1024 * 1024;

FirmwareFile readFirmwareFile(const QString &path);

// The loader is recognised by its name, exactly as written.
bool isLoaderPath(const QString &path);

// The step of an update, as the operator is told it.
enum class FirmwareStep { Erasing, Image, Loader };

// Why an update stopped.
enum class FirmwareFailure {
    None,
    LinkBusy,             // the port is closed or another exchange runs
    EraseNotConfirmed,    // "#F0" not answered "#DWLD_ERASING"
    NotReadyAfterErase,   // no "#DWLD_READY"
    ImageNotAcknowledged, // the progress dots stopped
    LoaderNotAccepted,    // "#F1" not answered "#DWLD_RAM_READY"
    PortLost,             // the port went away or a write failed
    Ended,                // the program closed the link
};

struct FirmwareResult {
    FirmwareFailure failure = FirmwareFailure::None;
    qint64 byte = 0; // for a stream that failed: its bytes gone out by then
    bool ok() const { return failure == FirmwareFailure::None; }
};

// Replaces the unit's firmware: erase, the image, then the loader into RAM,
// which copies the image into flash on its own once the link is closed. The
// two files go out as they are, outside the frames, paced to the line: a
// block is written only while less than a second of line time is ahead of
// what the line can have carried, so progress, the check of the unit's dots
// and the commands after a stream follow what the unit really has.
class FirmwareTransfer : public QObject {
    Q_OBJECT
public:
    explicit FirmwareTransfer(Comms &comms, QObject *parent = nullptr);

    // Holds the link for the whole run. On success the loader has left the
    // port; the caller then closes the link.
    FirmwareResult run(const QByteArray &image, const QByteArray &loader);

    // Whole seconds the line takes to carry `bytes` at `baud` (ten bits a byte).
    static qint64 lineSeconds(qint64 bytes, int baud);

    // Image bytes after which the unit's dots must have been seen again.
    static constexpr qint64 kCheckEvery = 8192;
    // Largest write to the port.
    static constexpr qint64 kBlock = 256;

signals:
    void stepStarted(FirmwareStep step);
    // Image bytes gone out of the total.
    void imageProgress(qint64 goneOut, qint64 total);

private:
    class Stream;
    FirmwareResult sendStream(const QByteArray &bytes, bool image);
    bool waitForDots(Stream &stream);
    void endedBy(int waitResult);
    FirmwareResult failed(FirmwareFailure failure, qint64 byte = 0) const;

    Comms &comms_;
    bool ended_ = false;
};
