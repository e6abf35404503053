#include "programicon.h"

#include <QCoreApplication>
#include <QDir>

// The built-in icon lives in this static library's resources, which a
// program only links when something refers to them.
static void initResources()
{
    Q_INIT_RESOURCE(shell);
}

QIcon programIcon()
{
    static const QIcon icon = [] {
        initResources();
        const QString sitePath = QDir(QCoreApplication::applicationDirPath()).filePath("orvane.ico");
        QIcon site(sitePath);
        if (!site.availableSizes().isEmpty())
            return site;
        return QIcon(QStringLiteral(":/shell/orvane.png"));
    }();
    return icon;
}
