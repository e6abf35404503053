#include "qtserialport.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcPort, "velkan.port", QtInfoMsg)

namespace {

constexpr int kReadBufferSize = 8192;
constexpr int kCarrierPollMs = 250;

} // namespace

QtSerialPort::QtSerialPort(QObject *parent)
    : SerialPort(parent)
{
    connect(&port_, &QSerialPort::readyRead, this, &SerialPort::readyRead);
    connect(&port_, &QSerialPort::bytesWritten, this, &SerialPort::bytesWritten);
    connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialPort::onError);
    carrierPoll_.setInterval(kCarrierPollMs);
    connect(&carrierPoll_, &QTimer::timeout, this, &QtSerialPort::pollCarrier);
}

QtSerialPort::~QtSerialPort() = default;

bool QtSerialPort::open(const QString &name)
{
    close();
    error_.clear();
    openError_ = LinkError::None;
    port_.setPortName(name);
    port_.setBaudRate(QSerialPort::Baud9600);
    port_.setParity(QSerialPort::NoParity);
    port_.setDataBits(QSerialPort::Data8);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::HardwareControl);
    port_.setReadBufferSize(kReadBufferSize);
    if (!port_.open(QIODevice::ReadWrite)) {
        error_ = port_.errorString();
        openError_ = openFailure(port_.error(), error_);
        return false;
    }
    // Pseudo-terminals refuse the modem-line calls; the port works without them.
    port_.setDataTerminalReady(true);
    port_.clearError();
    carrierKnown_ = false;
    pollCarrier();
    return true;
}

void QtSerialPort::close()
{
    carrierPoll_.stop();
    if (port_.isOpen())
        port_.close();
}

bool QtSerialPort::isOpen() const
{
    return port_.isOpen();
}

QString QtSerialPort::portName() const
{
    return port_.portName();
}

qint64 QtSerialPort::bytesAvailable() const
{
    return port_.bytesAvailable();
}

QByteArray QtSerialPort::read(qint64 maxSize)
{
    return port_.read(maxSize);
}

bool QtSerialPort::write(const QByteArray &bytes)
{
    if (!port_.isOpen())
        return false;
    const bool written = port_.write(bytes) == bytes.size();
    // Hand the bytes to the system now rather than at the next event-loop pass.
    port_.flush();
    return written;
}

qint64 QtSerialPort::bytesToWrite() const
{
    return port_.bytesToWrite();
}

QString QtSerialPort::errorString() const
{
    return error_.isEmpty() ? port_.errorString() : error_;
}

bool QtSerialPort::carrierDetect() const
{
    return carrier_;
}

LinkError QtSerialPort::openError() const
{
    return openError_;
}

LinkError QtSerialPort::openFailure(QSerialPort::SerialPortError error, const QString &portText)
{
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return LinkError::PortMissing;
    case QSerialPort::OpenError: // already open, by this program
        return LinkError::PortInUse;
    case QSerialPort::PermissionError:
#ifdef Q_OS_WIN
        return LinkError::PortInUse;
#else
        // A lock held by another program reads as a permission error here.
        return portText.contains(QLatin1String("locking"), Qt::CaseInsensitive) ? LinkError::PortInUse
                                                                                 : LinkError::PortPermission;
#endif
    default:
        return LinkError::PortOther;
    }
}

void QtSerialPort::onError(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::NoError:
        return;
    case QSerialPort::UnsupportedOperationError:
        qCDebug(lcPort) << "ignored:" << port_.errorString();
        return;
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
        // The device is gone (adapter pulled, peer closed). Reads would fail
        // again at every pass of the event loop: close now.
        if (!port_.isOpen())
            return;
        qCWarning(lcPort) << "port lost:" << error << port_.errorString();
        error_ = port_.errorString();
        close();
        emit lost(error_);
        return;
    default:
        // Failures to open reach the caller through errorString().
        if (port_.isOpen())
            qCWarning(lcPort) << error << port_.errorString();
        return;
    }
}

void QtSerialPort::pollCarrier()
{
    if (!port_.isOpen())
        return;
    const QSerialPort::PinoutSignals pins = port_.pinoutSignals();
    if (port_.error() == QSerialPort::UnsupportedOperationError) {
        // No modem lines here (a pseudo-terminal): nothing to watch.
        port_.clearError();
        carrierPoll_.stop();
        return;
    }
    const bool present = pins.testFlag(QSerialPort::DataCarrierDetectSignal);
    if (carrierKnown_ && present != carrier_) {
        carrier_ = present;
        emit carrierChanged(present);
    }
    carrier_ = present;
    carrierKnown_ = true;
    if (!carrierPoll_.isActive())
        carrierPoll_.start();
}
