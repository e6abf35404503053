#pragma once

#include <QStringList>

#include "serialport.h"

// An in-memory port. Whoever plays the unit listens to written() and answers
// with feed(); fed bytes arrive through a queued readyRead, as from a real port.
class FakeSerialPort : public SerialPort {
    Q_OBJECT
public:
    explicit FakeSerialPort(QObject *parent = nullptr);

    bool open(const QString &name) override;
    void close() override;
    bool isOpen() const override;
    QString portName() const override;
    qint64 bytesAvailable() const override;
    QByteArray read(qint64 maxSize) override;
    bool write(const QByteArray &bytes) override;
    // The fake takes every write at once.
    qint64 bytesToWrite() const override { return 0; }
    QString errorString() const override;
    LinkError openError() const override { return openError_; }
    bool carrierDetect() const override;

    // The unit's side.
    void feed(const QByteArray &bytes);
    QByteArray writtenBytes() const { return written_; }
    QByteArray takeWritten();
    void setCarrier(bool present);

    // Faults. The next open fails with this text (empty: opens again).
    void failNextOpen(const QString &text, LinkError kind = LinkError::PortOther);
    // Only these names open (empty: every name does).
    void setAvailablePorts(const QStringList &names);
    // The port goes away: closed, and lost() is emitted.
    void vanish(const QString &reason);

    int openCount() const { return openCount_; }

signals:
    // Every write, for the unit's side to answer.
    void written(const QByteArray &bytes);

private:
    QByteArray incoming_;
    qint64 readPos_ = 0;
    QByteArray written_;
    QString name_;
    QString error_;
    QString nextOpenError_;
    LinkError nextOpenKind_ = LinkError::PortOther;
    LinkError openError_ = LinkError::None;
    QStringList available_;
    bool open_ = false;
    bool carrier_ = false;
    bool readyQueued_ = false;
    qint64 takenQueued_ = 0;
    int openCount_ = 0;
};
