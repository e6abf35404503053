#include "devicelink.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

DeviceLink::~DeviceLink()
{
    if (!path_.isEmpty() && QFileInfo(path_).symLinkTarget() == target_)
        QFile::remove(path_);
}

bool DeviceLink::create(const QString &path, const QString &target)
{
    const QByteArray temporary = QFile::encodeName(path + QStringLiteral(".new"));
    ::unlink(temporary.constData());
    if (::symlink(QFile::encodeName(target).constData(), temporary.constData()) != 0
        || ::rename(temporary.constData(), QFile::encodeName(path).constData()) != 0) {
        error_ = QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(strerror(errno)));
        ::unlink(temporary.constData());
        return false;
    }
    path_ = path;
    target_ = target;
    return true;
}
