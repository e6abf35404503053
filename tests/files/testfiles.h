#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Raw bytes in and out of the files the tests prepare and inspect.
inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline QString testData(const char *name)
{
    return QStringLiteral(VELKAN_TEST_DATA "/") + QLatin1String(name);
}
