#include "atomicsave.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

namespace {

void removeLeftovers(const QFileInfo &file)
{
    const QRegularExpression temporary(QStringLiteral("^%1\\.([A-Za-z]{6})$")
                                           .arg(QRegularExpression::escape(file.fileName())));
    QDir folder = file.absoluteDir();
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        const QString letters = temporary.match(name).captured(1);
        if (!letters.isEmpty() && letters != letters.toLower() && letters != letters.toUpper())
            folder.remove(name);
    }
}

} // namespace

bool SaveWholeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    removeLeftovers(QFileInfo(path));
    return true;
}
