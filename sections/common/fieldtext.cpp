#include "fieldtext.h"

#include <utility>

#include "files/inidocument.h"
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

namespace {

QString keyCaptionText(const KeyCaption &caption)
{
    const QString field = fieldCaption(QString::fromUtf8(caption.caption));
    return caption.frame ? fieldCaption(QString::fromUtf8(caption.frame)) + QStringLiteral(" - ") + field : field;
}

// A key of a list splits into its stem and its place: "TEL 3" into "TEL" and
// "3", "LINE( 12)" into "LINE" and "12". No place for any other key.
std::pair<QString, QString> listPlace(const QString &key)
{
    const qsizetype open = key.lastIndexOf(u'(');
    if (key.endsWith(u')') && open > 0) {
        const QString place = key.mid(open + 1).chopped(1).trimmed();
        if (!place.isEmpty() && recordNumber(place) == place)
            return {key.left(open).trimmed(), place};
        return {};
    }
    const QString place = recordNumber(key);
    return {key.chopped(place.size()).trimmed(), place};
}

} // namespace

std::optional<FieldTerm> captionedFieldTerm(const IniDocument &side, const QString &section, const QString &item,
                                            const QString &key, const QHash<QString, KeyCaption> &captions)
{
    if (item != section)
        return std::nullopt;
    const QString text = side.readValue(item, key);
    FieldTerm term{{}, key.trimmed(), editorValueText(text)};
    if (const auto caption = captions.constFind(key); caption != captions.cend()) {
        term.field = keyCaptionText(*caption);
        if (caption->unit && !text.trimmed().isEmpty())
            term.value += u' ' + Translate(QString::fromUtf8(caption->unit)).trimmed();
        return term;
    }
    const auto [stem, place] = listPlace(key);
    if (const auto caption = captions.constFind(stem); !place.isEmpty() && caption != captions.cend())
        term.field = keyCaptionText(*caption) + QStringLiteral(" (%1)").arg(place);
    return term;
}
