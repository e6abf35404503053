#include "fieldtext.h"

#include "files/langtable.h"
#include "model/texthelpers.h"

QString editorValueText(const QString &fileText)
{
    if (fileText == QLatin1String("True"))
        return Translate(QStringLiteral("Si"));
    if (fileText == QLatin1String("False"))
        return Translate(QStringLiteral("No"));
    // Only the point without its zero differs from the editors' form; any
    // other text (a phone number's leading zeros included) stays as it is.
    const QString text = fileText.trimmed();
    const bool bare = text.startsWith(u'.') || text.startsWith(QLatin1String("-."));
    if (bare && IsDecimalText(text))
        return NumberText(ParseNumber(text));
    return fileText;
}

QString recordNumber(const QString &item)
{
    qsizetype start = item.size();
    while (start > 0 && item.at(start - 1).isDigit())
        --start;
    return item.mid(start);
}

QString fieldCaption(const QString &caption)
{
    QString name = Translate(caption).trimmed();
    if (name.endsWith(u':'))
        name.chop(1);
    return name;
}
