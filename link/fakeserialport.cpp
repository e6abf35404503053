#include "fakeserialport.h"

#include <QMetaObject>
#include <utility>

FakeSerialPort::FakeSerialPort(QObject *parent)
    : SerialPort(parent)
{
}

bool FakeSerialPort::open(const QString &name)
{
    close();
    if (!nextOpenError_.isEmpty()) {
        error_ = std::exchange(nextOpenError_, QString());
        openError_ = nextOpenKind_;
        return false;
    }
    if (!available_.isEmpty() && !available_.contains(name)) {
        error_ = QStringLiteral("No such file or directory");
        openError_ = LinkError::PortMissing;
        return false;
    }
    error_.clear();
    openError_ = LinkError::None;
    name_ = name;
    open_ = true;
    ++openCount_;
    return true;
}

void FakeSerialPort::close()
{
    open_ = false;
    incoming_.clear();
    readPos_ = 0;
}

bool FakeSerialPort::isOpen() const
{
    return open_;
}

QString FakeSerialPort::portName() const
{
    return name_;
}

qint64 FakeSerialPort::bytesAvailable() const
{
    return incoming_.size() - readPos_;
}

QByteArray FakeSerialPort::read(qint64 maxSize)
{
    const QByteArray bytes = incoming_.mid(readPos_, maxSize);
    readPos_ += bytes.size();
    if (readPos_ == incoming_.size()) {
        incoming_.clear();
        readPos_ = 0;
    }
    return bytes;
}

bool FakeSerialPort::write(const QByteArray &bytes)
{
    if (!open_)
        return false;
    written_ += bytes;
    emit written(bytes);
    // Reported later, as a real port reports them, and once per batch.
    if (takenQueued_ == 0) {
        QMetaObject::invokeMethod(this, [this] {
            if (const qint64 taken = std::exchange(takenQueued_, 0); open_)
                emit bytesWritten(taken);
        }, Qt::QueuedConnection);
    }
    takenQueued_ += bytes.size();
    return true;
}

QString FakeSerialPort::errorString() const
{
    return error_;
}

bool FakeSerialPort::carrierDetect() const
{
    return carrier_;
}

void FakeSerialPort::feed(const QByteArray &bytes)
{
    if (!open_ || bytes.isEmpty())
        return;
    incoming_ += bytes;
    if (readyQueued_)
        return;
    readyQueued_ = true;
    QMetaObject::invokeMethod(this, [this] {
        readyQueued_ = false;
        if (open_ && bytesAvailable() > 0)
            emit readyRead();
    }, Qt::QueuedConnection);
}

QByteArray FakeSerialPort::takeWritten()
{
    return std::exchange(written_, QByteArray());
}

void FakeSerialPort::setCarrier(bool present)
{
    if (present == carrier_)
        return;
    carrier_ = present;
    if (open_)
        emit carrierChanged(present);
}

void FakeSerialPort::failNextOpen(const QString &text, LinkError kind)
{
    nextOpenKind_ = kind;
    nextOpenError_ = text;
}

void FakeSerialPort::setAvailablePorts(const QStringList &names)
{
    available_ = names;
}

void FakeSerialPort::vanish(const QString &reason)
{
    if (!open_)
        return;
    close();
    error_ = reason;
    emit lost(reason);
}
