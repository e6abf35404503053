#include "fieldtext.h"

#include <algorithm>
#include <utility>

#include "files/inidocument.h"
#include "files/langtable.h"
#include "model/actioncatalogue.h"
#include "model/macropool.h"
#include "model/schedulewindow.h"
#include "model/texthelpers.h"
#include "sections/macros/macrorows.h"
#include "sections/timers/timerfamily.h"

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

// The captions of the boxes ticked in `bits`, translated, joined by commas.
QString tickedDays(quint32 bits, const QStringList &captions)
{
    QStringList days;
    for (int bit = 0; bit < captions.size(); ++bit) {
        if (dayBitSet(bits, bit))
            days << Translate(captions.at(bit));
    }
    return days.join(QStringLiteral(", "));
}

// A whole number of the file; none for any other text.
std::optional<qint64> fileWhole(const QString &fileText)
{
    if (!IsIntegerText(fileText.trimmed()))
        return std::nullopt;
    return qint64(ParseNumber(fileText));
}

} // namespace

std::optional<FieldTerm> captionedFieldTerm(const IniDocument &side, const QString &section, const QString &item,
                                            const QString &key, const QHash<QString, KeyCaption> &captions,
                                            const QString &record)
{
    if (item != section)
        return std::nullopt;
    const QString text = side.readValue(item, key);
    FieldTerm term{record, key.trimmed(), editorValueText(text)};
    if (const auto caption = captions.constFind(key); caption != captions.cend()) {
        term.field = keyCaptionText(*caption);
        if (caption->unit)
            term.unit = Translate(QString::fromUtf8(caption->unit)).trimmed();
        return term;
    }
    const auto [stem, place] = listPlace(key);
    if (const auto caption = captions.constFind(stem); !place.isEmpty() && caption != captions.cend())
        term.field = keyCaptionText(*caption) + QStringLiteral(" (%1)").arg(place);
    return term;
}

QString numberedRecord(const QString &caption, int number)
{
    return Translate(caption).trimmed() + u' ' + QString::number(number);
}

bool fileFlagSet(const IniDocument &side, const QString &item, const QString &key)
{
    return side.readValue(item, key) == QLatin1String("True");
}

QString weekdaysValue(const QString &fileText)
{
    const std::optional<qint64> bits = fileWhole(fileText);
    return bits ? tickedDays(quint32(*bits), weekdayCaptions()) : fileText;
}

QString monthDaysValue(const QString &fileText)
{
    const std::optional<qint64> bits = fileWhole(fileText);
    return bits ? tickedDays(quint32(*bits), monthDayCaptions()) : fileText;
}

QString timeValue(const QString &fileText)
{
    const std::optional<QTime> time = TimeFromText(fileText);
    return time ? TimeText(*time) : fileText;
}

QString flagChoiceValue(const QString &fileText)
{
    const std::optional<qint64> choice = fileWhole(fileText);
    if (!choice || *choice < 0 || *choice >= kFlagChoices)
        return fileText;
    return *choice == 0 ? QStringLiteral("TRUE") : QStringLiteral("F%1").arg(*choice - 1);
}

bool actionSet(const QString &fileText)
{
    return fileWhole(fileText).value_or(1) != 0;
}

QString actionValue(const IniDocument &side, const QString &fileText)
{
    const std::optional<qint64> code = fileWhole(fileText);
    if (!code)
        return fileText;
    if (*code == 0)
        return {};
    const ActionEntry *entry = FindAction(qint16(std::clamp<qint64>(*code, -1, 0x7fff)));
    if (!entry)
        return QString::number(*code);
    // The runs of macros are the only actions whose number names an item of this configuration.
    if (entry->text == QLatin1String("Ejecutar macro"))
        return Translate(entry->text) + u' ' + macroReference(side, entry->suffix).section(u' ', 1);
    QString text = Translate(entry->text);
    if (entry->suffix != ActionEntry::kNoSuffix)
        text += u' ' + QString::number(entry->suffix);
    return text;
}

QString interfaceValue(const QString &fileText, std::initializer_list<InterfaceChoice> choices)
{
    const std::optional<qint64> value = fileWhole(fileText);
    for (const InterfaceChoice &choice : choices) {
        if (value == choice.value)
            return Translate(QString::fromUtf8(choice.caption));
    }
    return editorValueText(fileText);
}

QString macroReference(const IniDocument &side, int number)
{
    QString name;
    for (const auto &[key, row] : side.keyValues(QStringLiteral("MACROS"))) {
        if (macroNumberOf(row) == number)
            name = splitMacroRow(row).name.trimmed();
    }
    const QString reference = QStringLiteral("Macro %1").arg(number);
    return name.isEmpty() ? reference : reference + QStringLiteral(" (%1)").arg(name);
}
