#pragma once

#include <QString>
#include <QtGlobal>

// GPRS data connection and FTP upload settings. The unit reports them on one
// comma-separated line in this order (the APN password before the user).
struct GprsConfig {
    QString ApnServer;
    QString ApnPassword;
    QString ApnUser;
    qint16 ApnRetries = 0;
    qint16 ApnRetryTime = 0;   // seconds
    qint16 ApnTimeout = 0;     // seconds
    bool KeepConnected = false;
    QString ServerIp;          // dotted address as typed, or whatever the unit holds
    qint32 ServerPort = 0;
    qint16 ServerTimeout = 0;  // seconds
    bool GprsEnabled = false;
    QString FtpIp;
    QString FtpPath;
    QString FtpUser;
    QString FtpPassword;
    qint16 FtpRetries = 0;
    qint16 FtpRetryTime = 0;   // seconds

    friend bool operator==(const GprsConfig &, const GprsConfig &) = default;
};
