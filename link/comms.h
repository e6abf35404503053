#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>

#include "devicevalues.h"

class SerialPort;
class SectionRegistry;
struct ConfigStore;
struct DownloadState;

// The link to the one connected unit: it owns the serial port, the receive
// buffer and the answer time-out. Every wait runs a nested event loop woken by
// data, the time-out or a port error, so other timers keep running meanwhile.
class Comms : public QObject {
    Q_OBJECT
public:
    explicit Comms(std::unique_ptr<SerialPort> port, QObject *parent = nullptr);
    ~Comms() override;

    SerialPort &port();

    // Frames and waits.
    void TxSer(QString &text, int timeOut); // text becomes the framed text
    void TxSer(const QString &text, int timeOut);
    bool RxSer(int timeOut);
    QString GetChar(int timeOut);
    void Delay(int timeOut);
    QString GetField(int field) const;
    QString GetField1(int field) const;

    // Connection.
    // The port names that open (PortCandidates() by default); empty while
    // the port is open, since trying a port would close it.
    QStringList ScanPorts();
    QStringList ScanPorts(const QStringList &candidates);
    // False with LastError set when the port does not open; false with the
    // port closed when the unit does not answer.
    bool StartComs(const QString &portName, const QString &addres);
    void CloseComs(bool modem);
    void TxGsm(const QString &text, int timeOut);
    bool RxGsm(int timeOut);

    // Device commands.
    void ReadInfo();
    bool ReadTotalCount();
    void ReadDeviceRTC();
    bool WriteDeviceRTC();
    bool ReadIOParameter();
    bool ReadRealTime();
    bool SetSingleOutput(qint16 output, bool value);
    bool SetTotalCNT(qint16 index, qint32 newVal);

    // Configuration transfer.
    bool ReadConf(ConfigStore &store, const SectionRegistry &sections);
    bool WriteConf(const ConfigStore &store, const SectionRegistry &sections);

    QString RxBuf;
    QString TxBuf;
    QString PassWord;
    bool CommsBusy = false;
    qint32 LinkTimeout = 5000;
    bool Connected = false;
    bool ConfigDownloading = false;
    DeviceValues Device;

    // Asks the operator for the access key; empty when cancelled.
    std::function<QString()> askPassWord;
    // The port's own description of why StartComs could not open it; empty
    // when the last StartComs opened the port.
    QString LastError;

signals:
    void progressChanged(int value, int maximum);
    void infoChanged();          // identity values updated
    void carrierLost();          // "Se corto la comunicacion"
    void portLost(const QString &reason); // the port went away; it is closed
    void configDownloaded();     // editors reload the model

private:
    bool SendConfigLine();
    bool closingConfirmed(int linesSent);
    bool ParseInfoLine(int &expected);
    bool ReadConfAttempt(ConfigStore &store, const SectionRegistry &sections);
    bool ParseConfigLine(ConfigStore &store, const SectionRegistry &sections, DownloadState &state);

    // Configuration transfer state: the download's next sequence number, the
    // upload's line counter and the progress maximum of the running transfer.
    qint16 expectedLine_ = 0;
    qint16 lineCounter_ = 0;
    int progressMaximum_ = 0;

    // The one time-out of every wait, and the reads built on it.
    void armTimer(int timeOut);
    bool waitForInput();
    bool readByte(char &byte);
    bool readLine(int timeOut, bool (*starts)(unsigned char), QByteArray &line);
    bool acceptFrame(const QByteArray &frame);
    void onCarrierChanged(bool present);

    // Connection and device commands.
    void LogIn();
    bool linkFree() const; // not busy, port open
    bool answered(const QString &command, const QString &answer, int attempts);

    std::unique_ptr<SerialPort> port_;
    QTimer MainTimer;
};
