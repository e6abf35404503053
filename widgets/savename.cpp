#include "savename.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

QString suggestedFileName(const QString &prefix, const QString &serial, const QString &extension,
                          const QDateTime &time)
{
    QString part;
    for (const QChar c : serial.trimmed())
        part += (c.isLetterOrNumber() && c.unicode() < 128) || c == u'-' || c == u'_' ? c : QChar(u'_');
    QStringList parts{prefix};
    if (!part.isEmpty())
        parts << part;
    parts << time.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    return parts.join(u'_') + u'.' + extension;
}

QString filterExtension(const QString &filter)
{
    return filter.section(QStringLiteral("(*."), 1, 1).section(u')', 0, 0).section(u' ', 0, 0);
}

QString withExtension(const QString &path, const QString &extension)
{
    if (path.isEmpty() || extension.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path.endsWith(u'.') ? path + extension : path + u'.' + extension;
}

QString askSaveFile(QWidget *parent, const QString &filter, const QString &suggested)
{
    QFileDialog dialog(parent, {}, {}, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // Qt's dialog completes the name before it asks about replacing it.
    const QString extension = filterExtension(filter);
    dialog.setDefaultSuffix(extension);
    dialog.selectFile(suggested);
    while (dialog.exec() == QDialog::Accepted) {
        const QString chosen = dialog.selectedFiles().value(0);
        // A name ending in a dot is taken as it stands by the dialog, then
        // completed by the caller: a file of the completed name is offered
        // again, so that the dialog asks before replacing it.
        const QString completed = withExtension(chosen, extension);
        if (completed == chosen || !QFileInfo::exists(completed))
            return chosen;
        dialog.selectFile(completed);
    }
    return {};
}
