#include "comms.h"

#include <QElapsedTimer>

#include "eventwait.h"
#include "framecodec.h"
#include "model/cp1252.h"
#include "model/texthelpers.h"
#include "serialport.h"

namespace {

// Longest frame or modem line kept; a stream without CR must not grow memory.
constexpr int kMaxLine = 4096;
constexpr int kWriteAttempts = 4;
constexpr int kModemLineAttempts = 4;

const QString kRetryLine = QStringLiteral("+CME ERROR: 515");

} // namespace

Comms::Comms(std::unique_ptr<SerialPort> port, QObject *parent)
    : QObject(parent),
      port_(std::move(port))
{
    connect(port_.get(), &SerialPort::lost, this, &Comms::portLost);
    // The port reports changes only, so every report of a low line is one drop.
    connect(port_.get(), &SerialPort::carrierChanged, this, [this](bool present) {
        if (!present)
            emit carrierLost();
    });
}

Comms::~Comms()
{
    emit waitsEnded();
    port_->close();
}

SerialPort &Comms::port()
{
    return *port_;
}

void Comms::shutdown()
{
    stopWaits();
    port_->close();
}

void Comms::stopWaits()
{
    waitsStopped_ = true;
    emit waitsEnded();
}

void Comms::resumeWaits()
{
    waitsStopped_ = false;
}

// An exchange outside the guard could land inside another one's answer;
// one after stopWaits() would carry on what the operator stopped.
bool Comms::exchangeAllowed() const
{
    return busy_ && !waitsStopped_ && port_->isOpen();
}

void Comms::TxSer(QString &text, int timeOut)
{
    if (!exchangeAllowed())
        return;
    const QByteArray frame = FrameCodec::encode(text);
    text = FrameCodec::framedText(text);
    if (timeOut < 1) {
        writeTraced(frame);
        return;
    }
    // Answers still queued from an earlier exchange must not pass for this one.
    drainFrames(timings.drainRead);
    for (int attempt = 0; attempt < kWriteAttempts && port_->isOpen() && !waitsStopped_; ++attempt) {
        writeTraced(frame);
        if (RxSer(timeOut))
            return;
    }
}

void Comms::TxSer(const QString &text, int timeOut)
{
    QString framed = text;
    TxSer(framed, timeOut);
}

bool Comms::RxSer(int timeOut)
{
    if (!exchangeAllowed())
        return false;
    QByteArray frame;
    if (!readLine(timeOut, [](unsigned char byte) { return byte == '#'; }, frame)) {
        if (!draining_)
            trace_.timedOut();
        RxBuf.clear();
        return false;
    }
    return acceptFrame(frame);
}

void Comms::drainFrames(int readTimeOut)
{
    QElapsedTimer elapsed;
    elapsed.start();
    draining_ = true;
    while (RxSer(readTimeOut) && elapsed.elapsed() < timings.drainLimit) {
    }
    draining_ = false;
}

bool Comms::writeTraced(const QByteArray &bytes)
{
    trace_.sent(bytes);
    return port_->write(bytes);
}

// Reads one line ended by CR (not kept) into `line`: bytes are skipped until
// one that `starts` a line. False on time-out, on the loss of the port, or as
// soon as the line outgrows the cap.
bool Comms::readLine(int timeOut, bool (*starts)(unsigned char), QByteArray &line)
{
    const QDeadlineTimer deadline(qMax(0, timeOut), Qt::PreciseTimer);
    line.clear();
    do {
        char byte;
        while (readByte(byte)) {
            if (line.isEmpty()) {
                if (starts(static_cast<unsigned char>(byte)))
                    line += byte;
            } else if (byte == '\r') {
                return true;
            } else if (line.size() >= kMaxLine) {
                return false;
            } else {
                line += byte;
            }
        }
    } while (waitForInput(deadline));
    return false;
}

QString Comms::GetChar(int timeOut)
{
    if (!exchangeAllowed())
        return {};
    const QDeadlineTimer deadline(qMax(0, timeOut), Qt::PreciseTimer);
    do {
        char byte;
        if (readByte(byte)) {
            traceLoose(byte);
            return QString(Cp1252::decodeByte(static_cast<unsigned char>(byte)));
        }
    } while (waitForInput(deadline));
    return {};
}

void Comms::traceLoose(char byte)
{
    const bool ends = byte == '\r' || byte == '\n';
    if (!ends)
        loose_ += byte;
    if (loose_.isEmpty() || (!ends && loose_.size() < kMaxLine))
        return;
    const TraceReading reading = !loose_.startsWith('#')       ? TraceReading::Line
                                 : FrameCodec::verify(loose_) ? TraceReading::Accepted
                                                              : TraceReading::BadChecksum;
    trace_.received(loose_, reading);
    loose_.clear();
}

void Comms::Delay(int timeOut)
{
    if (waitsStopped_)
        return;
    EventWait wait;
    wait.endOn(this, &Comms::waitsEnded);
    wait.run(timeOut);
}

QString Comms::GetField(int field) const
{
    return LineField(RxBuf, field);
}

QString Comms::GetField1(int field) const
{
    return BraceField(RxBuf, field);
}

void Comms::TxGsm(const QString &text, int timeOut)
{
    if (!exchangeAllowed())
        return;
    const QElapsedTimer started = [] { QElapsedTimer t; t.start(); return t; }();
    draining_ = true;
    while (RxGsm(timings.modemDrainRead) && started.elapsed() < timings.drainLimit) {
    }
    draining_ = false;
    const QByteArray line = Cp1252::encode(text) + '\r';
    for (int attempt = 0; attempt < kModemLineAttempts && port_->isOpen() && !waitsStopped_; ++attempt) {
        writeTraced(line);
        if (timeOut < 1)
            return;
        if (RxGsm(timeOut) && RxBuf != kRetryLine)
            return;
    }
}

bool Comms::RxGsm(int timeOut)
{
    if (!exchangeAllowed())
        return false;
    QByteArray line;
    // A line starts at its first printable, non-blank character.
    if (!readLine(timeOut, [](unsigned char byte) { return byte >= 33 && byte <= 126; }, line)) {
        if (!draining_)
            trace_.timedOut();
        RxBuf.clear();
        return false;
    }
    trace_.received(line, draining_ ? TraceReading::Drained : TraceReading::Line);
    RxBuf = Cp1252::decode(line);
    return true;
}

bool Comms::writeRaw(const QByteArray &bytes)
{
    return exchangeAllowed() && writeTraced(bytes);
}

bool Comms::answered(const QString &command, const QString &answer, int attempts)
{
    for (int attempt = 0; attempt < attempts; ++attempt) {
        TxSer(command, LinkTimeout);
        if (port_->isOpen() && RxBuf.startsWith(answer))
            return true;
        if (!RxBuf.isEmpty())
            trace_.markUnexpected();
    }
    return false;
}

bool Comms::linkFree() const
{
    return !busy_ && port_->isOpen();
}

// Blocks until data arrives, the deadline passes or the port goes away.
// False once the deadline has passed or the port is closed.
bool Comms::waitForInput(const QDeadlineTimer &deadline)
{
    if (waitsStopped_ || !port_->isOpen() || deadline.hasExpired())
        return false;
    EventWait wait;
    wait.wakeOn(port_.get(), &SerialPort::readyRead);
    wait.endOn(port_.get(), &SerialPort::lost);
    wait.endOn(this, &Comms::waitsEnded);
    return wait.run(int(deadline.remainingTime())) == EventWait::Woken && port_->isOpen();
}

bool Comms::readByte(char &byte)
{
    if (!port_->isOpen() || port_->bytesAvailable() <= 0)
        return false;
    const QByteArray one = port_->read(1);
    if (one.isEmpty())
        return false;
    byte = one.at(0);
    return true;
}

bool Comms::acceptFrame(const QByteArray &frame)
{
    if (!FrameCodec::verify(frame)) {
        trace_.received(frame, TraceReading::BadChecksum);
        RxBuf.clear();
        return false;
    }
    trace_.received(frame, draining_ ? TraceReading::Drained : TraceReading::Accepted);
    RxBuf = FrameCodec::answerText(frame);
    return true;
}

void Comms::setBusy(bool busy)
{
    if (busy_ == busy)
        return;
    busy_ = busy;
    emit busyChanged(busy);
}

CommsBusyGuard::CommsBusyGuard(Comms &comms)
    : comms_(comms),
      acquired_(comms.linkFree())
{
    if (acquired_)
        comms_.setBusy(true);
}

CommsBusyGuard::~CommsBusyGuard()
{
    if (acquired_)
        comms_.setBusy(false);
}
