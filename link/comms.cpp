#include "comms.h"

#include <QEventLoop>

#include "framecodec.h"
#include "model/cp1252.h"
#include "model/texthelpers.h"
#include "serialport.h"

namespace {

// Longest frame or modem line kept; a stream without CR must not grow memory.
constexpr int kMaxLine = 4096;
constexpr int kDrainTimeout = 100;
constexpr int kWriteAttempts = 4;

} // namespace

Comms::Comms(std::unique_ptr<SerialPort> port, QObject *parent)
    : QObject(parent),
      port_(std::move(port))
{
    MainTimer.setSingleShot(true);
    MainTimer.setTimerType(Qt::PreciseTimer);
    connect(port_.get(), &SerialPort::lost, this, &Comms::portLost);
    connect(port_.get(), &SerialPort::carrierChanged, this, &Comms::onCarrierChanged);
}

Comms::~Comms()
{
    port_->close();
}

SerialPort &Comms::port()
{
    return *port_;
}

void Comms::TxSer(QString &text, int timeOut)
{
    if (!port_->isOpen())
        return;
    const QByteArray frame = FrameCodec::encode(text);
    text = FrameCodec::framedText(text);
    if (timeOut < 1) {
        port_->write(frame);
        return;
    }
    // Answers still queued from an earlier exchange must not pass for this one.
    while (RxSer(kDrainTimeout)) {
    }
    for (int attempt = 0; attempt < kWriteAttempts && port_->isOpen(); ++attempt) {
        port_->write(frame);
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
    if (!port_->isOpen())
        return false;
    QByteArray frame;
    if (!readLine(timeOut, [](unsigned char byte) { return byte == '#'; }, frame)) {
        RxBuf.clear();
        return false;
    }
    return acceptFrame(frame);
}

// Reads one line ended by CR (not kept) into `line`: bytes are skipped until
// one that `starts` a line. False on time-out, on the loss of the port, or as
// soon as the line outgrows the cap.
bool Comms::readLine(int timeOut, bool (*starts)(unsigned char), QByteArray &line)
{
    armTimer(timeOut);
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
    } while (waitForInput());
    return false;
}

QString Comms::GetChar(int timeOut)
{
    if (!port_->isOpen())
        return {};
    armTimer(timeOut);
    do {
        char byte;
        if (readByte(byte))
            return QString(Cp1252::decodeByte(static_cast<unsigned char>(byte)));
    } while (waitForInput());
    return {};
}

void Comms::Delay(int timeOut)
{
    armTimer(timeOut);
    QEventLoop loop;
    connect(&MainTimer, &QTimer::timeout, &loop, &QEventLoop::quit);
    // Once the program quits, exec() returns -1 at once: the wait ends there.
    while (MainTimer.isActive() && loop.exec() == 0) {
    }
}

QString Comms::GetField(int field) const
{
    return LineField(RxBuf, field);
}

QString Comms::GetField1(int field) const
{
    return BraceField(RxBuf, field);
}

void Comms::armTimer(int timeOut)
{
    MainTimer.stop();
    MainTimer.start(qMax(0, timeOut));
}

// Blocks on the event loop until data arrives, the time-out expires or the
// port goes away. False once the time-out has expired or the port is closed.
bool Comms::waitForInput()
{
    if (!MainTimer.isActive() || !port_->isOpen())
        return false;
    QEventLoop loop;
    connect(&MainTimer, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(port_.get(), &SerialPort::readyRead, &loop, &QEventLoop::quit);
    connect(port_.get(), &SerialPort::lost, &loop, &QEventLoop::quit);
    // Once the program quits, exec() returns -1 at once: the wait ends there.
    return loop.exec() == 0 && MainTimer.isActive() && port_->isOpen();
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
        RxBuf.clear();
        return false;
    }
    RxBuf = FrameCodec::answerText(frame);
    return true;
}

// Sends a command until its answer begins with the expected code.
bool Comms::answered(const QString &command, const QString &answer, int attempts)
{
    for (int attempt = 0; attempt < attempts; ++attempt) {
        TxSer(command, LinkTimeout);
        if (port_->isOpen() && RxBuf.startsWith(answer))
            return true;
    }
    return false;
}

// The port reports changes only, so every report of a low line is one drop.
void Comms::onCarrierChanged(bool present)
{
    if (!present)
        emit carrierLost();
}
