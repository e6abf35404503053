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
    QString errorString() const override;
    bool carrierDetect() const override;

    // The operator's text for a failure to open: the port's own description,
    // and what to do when the port is in use or not permitted.
    static QString openFailureText(QSerialPort::SerialPortError error, const QString &portText);

private:
    void onError(QSerialPort::SerialPortError error);
    void pollCarrier();

    QSerialPort port_;
    QTimer carrierPoll_;
    bool carrier_ = false;
    bool carrierKnown_ = false;
    QString error_;
};
