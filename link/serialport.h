#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include "linkerror.h"

// The serial port as the link sees it. The real port and the in-memory fake
// of the tests both implement it, so everything above runs unchanged on both.
class SerialPort : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Opens the port at 9600,N,8,1 with RTS/CTS handshaking, DTR asserted and
    // an 8192-byte receive buffer. On failure errorString() tells why.
    virtual bool open(const QString &name) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual QString portName() const = 0;

    virtual qint64 bytesAvailable() const = 0;
    virtual QByteArray read(qint64 maxSize) = 0;
    virtual bool write(const QByteArray &bytes) = 0;
    // Bytes written but not yet handed to the system.
    virtual qint64 bytesToWrite() const = 0;
    virtual QString errorString() const = 0;
    // What kind of failure the last open() was (PortMissing, PortInUse...).
    virtual LinkError openError() const = 0;

    // The carrier-detect line; false when the port cannot tell.
    virtual bool carrierDetect() const = 0;

signals:
    void readyRead();
    // Written bytes have been handed to the system.
    void bytesWritten(qint64 bytes);
    // The port went away while open (adapter pulled, peer gone); it is closed.
    void lost(const QString &reason);
    void carrierChanged(bool present);
};
