#include "firmwaretransfer.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <cmath>

#include "comms.h"
#include "eventwait.h"
#include "serialport.h"

FirmwareFile readFirmwareFile(const QString &path)
{
    FirmwareFile file;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        file.problem = FirmwareFile::Unreadable;
        file.reason = f.errorString();
        return file;
    }
    // One byte over the limit tells a file that is too large, whatever its
    // reported size (a device or a pipe reports none).
    file.bytes = f.read(kFirmwareFileMax + 1);
    if (f.error() != QFileDevice::NoError) {
        file.problem = FirmwareFile::Unreadable;
        file.reason = f.errorString();
        file.bytes.clear();
    } else if (file.bytes.size() > kFirmwareFileMax) {
        file.problem = FirmwareFile::TooLarge;
        file.bytes.clear();
    } else if (file.bytes.isEmpty()) {
        file.problem = FirmwareFile::Empty;
    } else if (file.hex = checkIntelHex(file.bytes); !file.hex.ok()) {
        file.problem = FirmwareFile::NotIntelHex;
        file.bytes.clear();
    }
    return file;
}

bool isLoaderPath(const QString &path)
{
    return path.contains(QLatin1String("CopyFlash"), Qt::CaseSensitive);
}

// One raw stream on its way out: what the port has taken, what the line can
// have carried since, and whether the unit's "..." has come since the last check.
class FirmwareTransfer::Stream {
    static constexpr qint64 kMaxAhead = 1024;

public:
    Stream(SerialPort &port, const QByteArray &bytes, int baud)
        : port_(port), bytes_(bytes), bytesPerMs_(qMax(1, baud) / 10000.0),
          ahead_(qBound(qint64(1), qint64(baud / 10), kMaxAhead))
    {
        clock_.start();
    }

    qint64 total() const { return bytes_.size(); }
    bool allWritten() const { return written_ == bytes_.size(); }

    // Bytes the port has taken and the line could have carried by now.
    qint64 goneOut()
    {
        const qint64 now = clock_.elapsed();
        carried_ = qMin(double(written_), carried_ + (now - lastMs_) * bytesPerMs_);
        lastMs_ = now;
        return qMin(qint64(carried_), written_ - port_.bytesToWrite());
    }

    // Less than a second of line time ahead (about 1 KB at 9600 baud, and
    // never more on a faster line, so that the dots answer what the unit
    // has): the next block may go.
    bool roomForBlock() { return !allWritten() && written_ - goneOut() < ahead_; }

    bool writeBlock()
    {
        const QByteArray block = bytes_.mid(written_, kBlock);
        if (!port_.write(block))
            return false;
        written_ += block.size();
        return true;
    }

    // How long until the line has carried enough to write again, or to finish.
    int lineWaitMs()
    {
        const qint64 queued = written_ - goneOut();
        const qint64 toCarry = allWritten() ? queued : queued - ahead_ + 1;
        return qMax(1, int(std::ceil(qMax<qint64>(1, toCarry) / bytesPerMs_)));
    }

    // Reads what the unit sent; only whether "..." came is kept.
    void collect()
    {
        const qint64 available = port_.bytesAvailable();
        if (available <= 0)
            return;
        const QByteArray received = port_.read(available);
        if (dotsSeen_)
            return;
        tail_ += received;
        dotsSeen_ = tail_.contains("...");
        tail_ = tail_.right(2); // dots split over two reads still count
    }
    bool dotsSeen() const { return dotsSeen_; }
    void restartCheck()
    {
        dotsSeen_ = false;
        tail_.clear();
        checkedAt_ = goneOut();
    }
    qint64 sinceCheck() { return goneOut() - checkedAt_; }

private:
    SerialPort &port_;
    const QByteArray &bytes_;
    const double bytesPerMs_;
    const qint64 ahead_;
    QElapsedTimer clock_;
    qint64 lastMs_ = 0;
    qint64 written_ = 0;
    double carried_ = 0;
    qint64 checkedAt_ = 0;
    QByteArray tail_;
    bool dotsSeen_ = false;
};

qint64 FirmwareTransfer::lineSeconds(qint64 bytes, int baud)
{
    const qint64 bitsPerSecond = qMax(1, baud);
    return (bytes * 10 + bitsPerSecond - 1) / bitsPerSecond;
}

FirmwareTransfer::FirmwareTransfer(Comms &comms, QObject *parent)
    : QObject(parent), comms_(comms)
{
    connect(&comms_, &Comms::waitsEnded, this, [this] { ended_ = true; });
}

FirmwareResult FirmwareTransfer::failed(FirmwareFailure failure, qint64 byte) const
{
    if (ended_)
        return {FirmwareFailure::Ended, byte};
    if (!comms_.port().isOpen())
        return {FirmwareFailure::PortLost, byte};
    return {failure, byte};
}

// A wait that ended with the port still open: the program is quitting.
void FirmwareTransfer::endedBy(int waitResult)
{
    if (waitResult == EventWait::Ended && comms_.port().isOpen())
        ended_ = true;
}

FirmwareResult FirmwareTransfer::run(const QByteArray &image, const QByteArray &loader)
{
    ended_ = false;
    CommsBusyGuard busy(comms_);
    if (!busy)
        return {FirmwareFailure::LinkBusy};
    const LinkTimings &t = comms_.timings;

    emit stepStarted(FirmwareStep::Erasing);
    comms_.TxSer(QStringLiteral("#F0"), t.firmwareErase);
    if (comms_.RxBuf != QLatin1String("#DWLD_ERASING"))
        return failed(FirmwareFailure::EraseNotConfirmed);
    comms_.RxSer(t.firmwareReady);
    if (comms_.RxBuf != QLatin1String("#DWLD_READY"))
        return failed(FirmwareFailure::NotReadyAfterErase);

    emit stepStarted(FirmwareStep::Image);
    if (const FirmwareResult r = sendStream(image, true); !r.ok())
        return r;
    comms_.RxSer(t.firmwareImageEnd);

    emit stepStarted(FirmwareStep::Loader);
    comms_.TxSer(QStringLiteral("#F1"), t.firmwareRamReady);
    if (comms_.RxBuf != QLatin1String("#DWLD_RAM_READY"))
        return failed(FirmwareFailure::LoaderNotAccepted);
    return sendStream(loader, false);
}

// Sends every byte of the stream and returns once the last has gone out. The
// image's progress is reported, and past every kCheckEvery bytes gone out the
// unit must have sent its dots.
FirmwareResult FirmwareTransfer::sendStream(const QByteArray &bytes, bool image)
{
    SerialPort &port = comms_.port();
    Stream stream(port, bytes, comms_.timings.firmwareBaud);
    qint64 reported = -1;
    forever {
        if (ended_ || !port.isOpen())
            return failed(FirmwareFailure::PortLost, stream.goneOut());
        stream.collect();
        const qint64 goneOut = stream.goneOut();
        if (image && goneOut != reported)
            emit imageProgress(reported = goneOut, stream.total());
        if (image && stream.sinceCheck() > kCheckEvery) {
            if (!stream.dotsSeen() && !waitForDots(stream))
                return failed(FirmwareFailure::ImageNotAcknowledged, stream.goneOut());
            stream.restartCheck();
            continue;
        }
        if (goneOut == stream.total())
            return {};
        if (stream.roomForBlock()) {
            if (!stream.writeBlock())
                return failed(FirmwareFailure::PortLost, goneOut);
            continue;
        }
        EventWait wait;
        wait.wakeOn(&port, &SerialPort::readyRead);
        wait.wakeOn(&port, &SerialPort::bytesWritten);
        wait.endOn(&port, &SerialPort::lost);
        wait.endOn(&comms_, &Comms::waitsEnded);
        endedBy(wait.run(stream.lineWaitMs()));
    }
}

// Writing stops until the dots come, or the unit's time for them runs out.
bool FirmwareTransfer::waitForDots(Stream &stream)
{
    SerialPort &port = comms_.port();
    const QDeadlineTimer deadline(comms_.timings.firmwareDots, Qt::PreciseTimer);
    forever {
        stream.collect();
        if (stream.dotsSeen())
            return true;
        if (ended_ || !port.isOpen() || deadline.hasExpired())
            return false;
        EventWait wait;
        wait.wakeOn(&port, &SerialPort::readyRead);
        wait.endOn(&port, &SerialPort::lost);
        wait.endOn(&comms_, &Comms::waitsEnded);
        endedBy(wait.run(int(deadline.remainingTime())));
    }
}
