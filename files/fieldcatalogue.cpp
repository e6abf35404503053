#include "fieldcatalogue.h"

#include <QHash>
#include <algorithm>

#include "inidocument.h"
#include "langtable.h"
#include "linetexts.h"
#include "model/texthelpers.h"
#include "sectioncore.h"
#include "sectionregistry.h"

namespace {

// How the section names a key, or the key's own name where it does not.
FieldTerm termOf(const SectionCore *core, const QString &section, const IniDocument &side, const QString &item,
                 const QString &key)
{
    if (core) {
        if (std::optional<FieldTerm> named = core->fieldTerm(side, item, key))
            return *named;
    }
    const QString number = recordNumber(item);
    return {FieldCatalogue::sectionCaption(section) + (number.isEmpty() ? QString() : u' ' + number), key.trimmed(),
            editorValueText(side.readValue(item, key))};
}

CatalogueField fieldOf(const FieldTerm &term, const QString &section, const IniDocument &side, const QString &item,
                       const QString &key)
{
    return {section, FieldCatalogue::sectionCaption(section), item, key, term.record, term.field, term.value.trimmed(),
            term.unit, side.readValue(item, key), term.enabled, isSecretText(section, key)};
}

QString searchText(const CatalogueField &field)
{
    QString text = field.caption + u'\n' + field.record + u'\n' + field.key;
    if (!field.secret)
        text += u'\n' + field.shownValue();
    return searchFolded(text);
}

} // namespace

QString CatalogueField::valueWithUnit() const
{
    return FieldTerm{{}, {}, value, unit}.valueWithUnit();
}

QString CatalogueField::shownValue() const
{
    if (secret)
        return value.isEmpty() ? value : QStringLiteral("********");
    return valueWithUnit();
}

FieldCatalogue::FieldCatalogue(const SectionRegistry &sections, const ConfigStore &store)
{
    IniDocument whole;
    sections.saveAll(store, whole);
    // Sections under one caption (the flow meters and their totalisers) list
    // each record's keys together.
    QList<CatalogueField> group;
    const auto closeGroup = [&] {
        QHash<QString, int> firstSeen;
        for (const CatalogueField &field : std::as_const(group)) {
            if (!firstSeen.contains(field.record))
                firstSeen.insert(field.record, int(firstSeen.size()));
        }
        std::stable_sort(group.begin(), group.end(), [&](const CatalogueField &a, const CatalogueField &b) {
            return firstSeen.value(a.record) < firstSeen.value(b.record);
        });
        fields_ += group;
        group.clear();
    };
    for (const QString &section : sectionOrder()) {
        const SectionCore *core = sections.find(section);
        if (!core)
            continue;
        if (!group.isEmpty() && group.constFirst().sectionCaption != sectionCaption(section))
            closeGroup();
        IniDocument own;
        core->save(store, own);
        for (const QString &item : own.sectionNames()) {
            for (const auto &[key, value] : own.keyValues(item)) {
                // A spare record is kept in the file only: no window, no report, no search.
                const FieldTerm term = termOf(core, section, whole, item, key);
                if (!term.spare)
                    group << fieldOf(term, section, whole, item, key);
            }
        }
    }
    closeGroup();
    searchTexts_.reserve(fields_.size());
    for (const CatalogueField &field : std::as_const(fields_))
        searchTexts_ << searchText(field);
}

QList<const CatalogueField *> FieldCatalogue::find(const QString &text) const
{
    // Every word typed is to be found, in any of the texts: "ciclico 5 periodo".
    const QStringList words = searchFolded(text).split(u' ', Qt::SkipEmptyParts);
    QList<const CatalogueField *> enabled;
    QList<const CatalogueField *> disabled;
    for (qsizetype i = 0; i < fields_.size(); ++i) {
        const QString &searched = searchTexts_.at(i);
        if (std::all_of(words.begin(), words.end(), [&searched](const QString &word) { return searched.contains(word); }))
            (fields_.at(i).enabled ? enabled : disabled) << &fields_.at(i);
    }
    return enabled + disabled;
}

const QStringList &FieldCatalogue::sectionOrder()
{
    static const QStringList order = {
        "General", "CTimer", "WTimer", "MTimer", "LTimer", "E_OneWire", "E_Digital", "Caudal", "SampleRate",
        "E_Math", "Flags", "Aut_Voz", "GPRS", "Macros", "Grupos", "E_Analog", "CONF_MODBUS"};
    return order;
}

QString FieldCatalogue::sectionCaption(const QString &section)
{
    static const QHash<QString, QString> captions = {
        {"General", "General"},
        {"CTimer", "Temporizadores ciclicos"},
        {"WTimer", "Temporizadores semanales"},
        {"MTimer", "Temporizadores mensuales"},
        {"LTimer", "Temporizadores largos"},
        {"E_OneWire", "Sondas"},
        {"E_Digital", "E.Digitales"},
        {"Caudal", "Caudalimetros"},
        {"SampleRate", "Caudalimetros"},
        {"E_Math", "C.Matematicos"},
        {"Flags", "Flags"},
        {"Aut_Voz", "Autorizados Voz"},
        {"GPRS", "GPRS"},
        {"Macros", "Macros"},
        {"Grupos", "Grupos analogicos"},
        {"E_Analog", "Entradas analogicas"},
        {"CONF_MODBUS", "MODBUS"},
    };
    const auto caption = captions.constFind(section);
    return caption == captions.cend() ? section : Translate(*caption);
}

std::optional<CatalogueField> catalogueField(const SectionRegistry &sections, const QString &section,
                                             const IniDocument &side, const QString &item, const QString &key)
{
    const SectionCore *core = sections.find(section);
    const std::optional<FieldTerm> term = core ? core->fieldTerm(side, item, key) : std::nullopt;
    if (!term)
        return std::nullopt;
    return fieldOf(*term, section, side, item, key);
}

QString searchFolded(const QString &text)
{
    QString folded = text.normalized(QString::NormalizationForm_D);
    folded.removeIf([](QChar c) { return c.category() == QChar::Mark_NonSpacing; });
    return folded.toCaseFolded();
}

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
