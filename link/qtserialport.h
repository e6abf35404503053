#pragma once

#include <QSerialPort>
#include <QTimer>

#include "serialport.h"

// The real port. Carrier detect has no change notification in QSerialPort, so
// it is polled while the port is open.
class QtSerialPort : public SerialPort {
    Q_OBJECT
public:
    explicit QtSerialPort(QObject *parent = nullptr);
    ~QtSerialPort() override;

    bool open(const QString &name) override;
    void close() override;
    bool isOpen() const override;
    QString portName() const override;
    qint64 bytesAvailable() const override;
    QByteArray read(qint64 maxSize) override;
    bool write(const QByteArray &bytes) override;
    qint64 bytesToWrite() const override;
    QString errorString() const override;
    bool carrierDetect() const override;

    LinkError openError() const override;

    // The kind of a failure to open, from the port's error and its own words.
    static LinkError openFailure(QSerialPort::SerialPortError error, const QString &portText);

private:
    void onError(QSerialPort::SerialPortError error);
    void pollCarrier();

    QSerialPort port_;
    QTimer carrierPoll_;
    bool carrier_ = false;
    bool carrierKnown_ = false;
    QString error_;
    LinkError openError_ = LinkError::None;
};
