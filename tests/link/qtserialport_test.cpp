// The real port: failure texts, and (where pseudo-terminals exist) the
// settings, traffic and the loss of the peer.
#include <gtest/gtest.h>

#include <QSignalSpy>

#include "link/comms.h"
#include "link/qtserialport.h"

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <pty.h>
#include <QSocketNotifier>
#include <unistd.h>
#endif

namespace {

TEST(QtSerialPort, OpenFailureSaysWhatKindItIs)
{
#ifndef Q_OS_WIN
    EXPECT_EQ(QtSerialPort::openFailure(QSerialPort::PermissionError, "Permission error while locking the device"),
              LinkError::PortInUse);
    EXPECT_EQ(QtSerialPort::openFailure(QSerialPort::PermissionError, "Permission denied"), LinkError::PortPermission);
#endif
    EXPECT_EQ(QtSerialPort::openFailure(QSerialPort::DeviceNotFoundError, "No such file or directory"),
              LinkError::PortMissing);

    QtSerialPort port;
    EXPECT_FALSE(port.open("/nonexistent/ttyUSB9"));
    EXPECT_FALSE(port.errorString().isEmpty());
    EXPECT_EQ(port.openError(), LinkError::PortMissing);
    EXPECT_FALSE(port.isOpen());
}

#ifdef Q_OS_LINUX
// Both ends of a pseudo-terminal; the port opens the device end.
struct Pty {
    Pty()
    {
        char name[256] = {};
        if (openpty(&master, &device, name, nullptr, nullptr) == 0)
            path = QString::fromLocal8Bit(name);
    }
    ~Pty()
    {
        closeMaster();
        if (device >= 0)
            ::close(device);
    }
    void closeMaster()
    {
        if (master >= 0)
            ::close(master);
        master = -1;
    }
    QByteArray readMaster()
    {
        char buffer[256];
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        return n > 0 ? QByteArray(buffer, int(n)) : QByteArray();
    }
    int master = -1;
    int device = -1;
    QString path;
};

TEST(QtSerialPort, TalksOverAPseudoTerminalAndNoticesItsLoss)
{
    Pty pty;
    if (pty.path.isEmpty())
        GTEST_SKIP() << "no pseudo-terminal";
    QtSerialPort port;
    ASSERT_TRUE(port.open(pty.path)) << port.errorString().toStdString();
    QSignalSpy ready(&port, &SerialPort::readyRead);
    QSignalSpy lost(&port, &SerialPort::lost);

    ASSERT_EQ(::write(pty.master, "#88;BF\r", 7), 7);
    ASSERT_TRUE(ready.wait(2000));
    EXPECT_EQ(port.read(100), "#88;BF\r");

    ASSERT_TRUE(port.write("#64;40\r"));
    EXPECT_EQ(pty.readMaster(), "#64;40\r");

    pty.closeMaster();
    ::close(pty.device); // the port's own descriptor stays; only the peer is gone
    pty.device = -1;
    EXPECT_TRUE(lost.wait(2000));
    EXPECT_FALSE(port.isOpen());
}

TEST(QtSerialPort, CarriesAnExchangeOfTheLink)
{
    Pty pty;
    if (pty.path.isEmpty())
        GTEST_SKIP() << "no pseudo-terminal";
    // The unit's side: answers the liveness command.
    QSocketNotifier peer(pty.master, QSocketNotifier::Read);
    QByteArray heard;
    QObject::connect(&peer, &QSocketNotifier::activated, [&] {
        heard += pty.readMaster();
        if (heard.endsWith('\r'))
            ASSERT_EQ(::write(pty.master, "\n#88;BF\r", 8), 8);
    });
    Comms comms(std::make_unique<QtSerialPort>());
    ASSERT_TRUE(comms.port().open(pty.path));
    CommsBusyGuard held(comms);
    comms.TxSer(QStringLiteral("#40"), 2000);
    EXPECT_EQ(heard, "#64;40\r");
    EXPECT_EQ(comms.RxBuf, "#BF");
}
#endif

} // namespace
