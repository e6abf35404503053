// Opening and closing the link: port search, cable and modem connection with
// the access-key login, hang-up, and the modem's plain text lines.
#include "connection.h"

#include <QCollator>
#include <QDir>
#include <QSerialPortInfo>
#include <algorithm>

#include "comms.h"
#include "model/cp1252.h"
#include "serialport.h"

namespace {

constexpr int kCableTimeout = 5000;
constexpr int kModemTimeout = 10000;
constexpr int kDialExtra = 30000;
constexpr int kSetupTimeout = 1000;
constexpr int kCableDrainTimeout = 1000;
constexpr int kModemDrainTimeout = 100;
constexpr int kHangUpTimeout = 5000;
constexpr int kLoginAttempts = 3;
constexpr int kLineAttempts = 4;
constexpr qint64 kClockTolerance = 10 * 60 * 1000;

const QString kRetryLine = QStringLiteral("+CME ERROR: 515");

} // namespace

QStringList PortCandidates()
{
    QStringList names;
#ifdef Q_OS_WIN
    for (int number = 1; number <= 256; ++number)
        names << QStringLiteral("COM%1").arg(number);
#else
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        names << info.systemLocation();
    const QDir dev(QStringLiteral("/dev"));
    const QStringList nodes = dev.entryList(
        {QStringLiteral("ttyS*"), QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*")}, QDir::System);
    for (const QString &node : nodes)
        names << dev.filePath(node);
    names.removeDuplicates();
    QCollator collator;
    collator.setNumericMode(true);
    std::sort(names.begin(), names.end(), collator);
#endif
    return names;
}

bool ClockOutOfSync(const QDateTime &deviceClock, const QDateTime &pcClock)
{
    if (!deviceClock.isValid() || !pcClock.isValid())
        return false;
    return qAbs(deviceClock.msecsTo(pcClock)) > kClockTolerance;
}

QStringList Comms::ScanPorts()
{
    return ScanPorts(PortCandidates());
}

QStringList Comms::ScanPorts(const QStringList &candidates)
{
    // Trying a port closes the open one: never while connected.
    if (port_->isOpen())
        return {};
    QStringList found;
    for (const QString &name : candidates) {
        if (port_->open(name)) {
            port_->close();
            found << name;
        }
    }
    return found;
}

bool Comms::StartComs(const QString &portName, const QString &addres)
{
    LastError.clear();
    if (!port_->open(portName)) {
        LastError = port_->errorString();
        if (LastError.isEmpty())
            LastError = portName;
        return false;
    }
    if (!addres.isEmpty()) {
        LinkTimeout = kModemTimeout;
        for (const char *setup : {"ATE0", "AT\\Q3", "AT\\N5", "AT+IFC=2,2"})
            TxGsm(QString::fromLatin1(setup), kSetupTimeout);
        TxGsm(QStringLiteral("ATD") + addres, LinkTimeout + kDialExtra);
        if (!RxBuf.startsWith(QLatin1String("CONNECT"))) {
            port_->close();
            return false;
        }
        LogIn();
    } else {
        LinkTimeout = kCableTimeout;
        while (RxSer(kCableDrainTimeout)) {
        }
    }
    TxSer(QStringLiteral("#40"), LinkTimeout);
    if (port_->isOpen() && RxBuf.startsWith(QLatin1String("#BF"))) {
        CommsBusy = false;
        return true;
    }
    port_->close();
    return false;
}

// Up to three prompts; after them the liveness command decides, whatever the
// outcome of the login.
void Comms::LogIn()
{
    for (int attempt = 0; attempt < kLoginAttempts; ++attempt) {
        PassWord.clear();
        if (askPassWord)
            PassWord = askPassWord();
        if (PassWord.isEmpty())
            continue;
        TxSer(QStringLiteral("#11") + PassWord, LinkTimeout);
        if (RxBuf == QLatin1String("#PassWord=1"))
            return;
    }
}

void Comms::CloseComs(bool modem)
{
    if (modem && port_->isOpen()) {
        // The modem leaves data mode on "+++" framed by a second of silence.
        Delay(1000);
        for (int plus = 0; plus < 3; ++plus) {
            port_->write("+");
            Delay(plus < 2 ? 200 : 1000);
        }
        TxGsm(QStringLiteral("ATH"), kHangUpTimeout);
    }
    port_->close();
}

void Comms::TxGsm(const QString &text, int timeOut)
{
    if (!port_->isOpen())
        return;
    while (RxGsm(kModemDrainTimeout)) {
    }
    const QByteArray line = Cp1252::encode(text) + '\r';
    for (int attempt = 0; attempt < kLineAttempts && port_->isOpen(); ++attempt) {
        port_->write(line);
        if (timeOut < 1)
            return;
        if (RxGsm(timeOut) && RxBuf != kRetryLine)
            return;
    }
}

bool Comms::RxGsm(int timeOut)
{
    if (!port_->isOpen())
        return false;
    QByteArray line;
    // A line starts at its first printable, non-blank character.
    if (!readLine(timeOut, [](unsigned char byte) { return byte >= 33 && byte <= 126; }, line)) {
        RxBuf.clear();
        return false;
    }
    RxBuf = Cp1252::decode(line);
    return true;
}
