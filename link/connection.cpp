// The ports worth trying and the clock check after connecting.
#include "connection.h"

#include <QCollator>
#include <QDir>
#include <QSerialPortInfo>
#include <algorithm>


namespace {

constexpr qint64 kClockTolerance = 10 * 60 * 1000;

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
