#include "linetexts.h"

#include <QRegularExpression>

#include "fieldranges.h"
#include "inidocument.h"
#include "model/configstore.h"
#include "model/texthelpers.h"
#include "sectioncore.h"
#include "sectionregistry.h"

#include <algorithm>
#include <iterator>
#include <memory>

namespace {

// A text field of the file as its section writes it: the key itself, or the
// key followed by an element or slot number ("TEXTO( 2)", "TEL 3").
// An empty word stands for every key of the section.
struct TextKey {
    QLatin1String section;
    QLatin1String word;
    LineText kind = LineText::Field;
    bool secret = false; // masked wherever the link records what passed
};

const TextKey kTextKeys[] = {
    {QLatin1String("General"), QLatin1String("NOMBRE")},
    {QLatin1String("General"), QLatin1String("CSM")},
    {QLatin1String("General"), QLatin1String("PTLF")},
    {QLatin1String("General"), QLatin1String("RESTORE")},
    {QLatin1String("Caudal"), QLatin1String("NOMBRE")},
    {QLatin1String("Caudal"), QLatin1String("UNIDAD")},
    {QLatin1String("Caudal"), QLatin1String("TEXTO(")},
    {QLatin1String("E_Digital"), QLatin1String("NOMBRE")},
    {QLatin1String("E_Digital"), QLatin1String("TEXTO(")},
    {QLatin1String("E_Math"), QLatin1String("NOMBRE")},
    {QLatin1String("E_Math"), QLatin1String("UNIDAD")},
    {QLatin1String("E_Math"), QLatin1String("ECUACION")},
    {QLatin1String("E_Math"), QLatin1String("TEXTO(")},
    {QLatin1String("E_OneWire"), QLatin1String("NOMBRE")},
    {QLatin1String("E_OneWire"), QLatin1String("UNIDAD")},
    {QLatin1String("E_OneWire"), QLatin1String("ADDRESS1")},
    {QLatin1String("E_OneWire"), QLatin1String("ADDRESS2")},
    {QLatin1String("E_OneWire"), QLatin1String("TEXTO(")},
    {QLatin1String("Flags"), QLatin1String("TEXTO(")},
    {QLatin1String("GPRS"), QLatin1String("APN_SERVER")},
    {QLatin1String("GPRS"), QLatin1String("APN_PASS"), LineText::Field, true},
    {QLatin1String("GPRS"), QLatin1String("APN_USER")},
    {QLatin1String("GPRS"), QLatin1String("SERVER_IP")},
    {QLatin1String("GPRS"), QLatin1String("FTP_IP")},
    {QLatin1String("GPRS"), QLatin1String("FTP_PATH")},
    {QLatin1String("GPRS"), QLatin1String("FTP_USER")},
    {QLatin1String("GPRS"), QLatin1String("FTP_PASS"), LineText::Field, true},
    {QLatin1String("Macros"), QLatin1String(""), LineText::MacroRow},
    {QLatin1String("Aut_Voz"), QLatin1String("TEL")},
};

bool matches(const TextKey &text, const QString &section, const QString &key)
{
    if (text.section != section || !key.startsWith(text.word, Qt::CaseInsensitive))
        return false;
    const QStringView rest = QStringView(key).mid(text.word.size());
    return text.word.isEmpty() || rest.isEmpty() || rest.startsWith(u' ') || rest.startsWith(u'(');
}

const TextKey *textKey(const QString &section, const QString &key)
{
    for (const TextKey &text : kTextKeys) {
        if (matches(text, section, key))
            return &text;
    }
    return nullptr;
}

// The characters of `value` that its line cannot carry, each once. A macro
// row's own closing "}" is its end, not a separator.
QString separatorsIn(LineText kind, QString value)
{
    if (kind == LineText::MacroRow && value.endsWith(u'}'))
        value.chop(1);
    QString found;
    for (const QChar c : lineSeparators(kind)) {
        if (value.contains(c))
            found += c;
    }
    return found;
}

// The number closing a file section or key name ("DIGITAL 3", "TEL 5"); -1 when none.
int trailingNumber(const QString &name)
{
    static const QRegularExpression number(QStringLiteral("(\\d+)\\)?$"));
    const QRegularExpressionMatch match = number.match(name);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

} // namespace

bool isSecretText(const QString &section, const QString &key)
{
    const TextKey *text = textKey(section, key);
    return text && text->secret;
}

QList<SecretLineField> secretLineFields(const SectionRegistry &registry)
{
    // Letters only: every text field takes it as it stands.
    const QString marker = QStringLiteral("QzSecretMarkerQz");
    const UploadContext everything{~quint32(0), kProductLimits};
    QList<SecretLineField> fields;
    for (const QString &name : SectionRegistry::fileOrder()) {
        const SectionCore *core = registry.find(name);
        // Only the sections holding a secret are asked for their lines.
        const bool holdsSecret = std::any_of(std::begin(kTextKeys), std::end(kTextKeys), [&name](const TextKey &text) {
            return text.secret && text.section == name;
        });
        if (!core || !holdsSecret)
            continue;
        auto store = std::make_unique<ConfigStore>();
        core->clear(*store);
        IniDocument doc;
        core->save(*store, doc);
        for (const QString &item : doc.sectionNames()) {
            for (const auto &[key, value] : doc.keyValues(item)) {
                if (!isSecretText(name, key))
                    continue;
                IniDocument marked = doc;
                marked.writeValue(item, key, marker);
                core->restore(*store, marked);
                SecretLineField field{name, key, {}, {}, 0};
                for (const QString &line : core->uploadLines(*store, everything))
                    if (line.endsWith(marker))
                        field.uploadPrefix = line.chopped(marker.size());
                for (const QString &line : core->downloadLines(*store, everything.features)) {
                    for (int n = 2; n <= line.count(u',') + 1; ++n)
                        if (LineField(line, n) == marker) {
                            field.streamKeyword = LineField(line, 1);
                            field.streamField = n;
                        }
                }
                fields << field;
            }
        }
    }
    return fields;
}

QString lineSeparators(LineText kind)
{
    return kind == LineText::MacroRow ? QStringLiteral("}") : QStringLiteral(",");
}

QList<FieldFault> lineTextFaults(const ConfigStore &store, const SectionRegistry &registry,
                                 const QStringList &sections)
{
    QList<FieldFault> faults;
    for (const QString &name : SectionRegistry::fileOrder()) {
        const SectionCore *core = registry.find(name);
        if (!core || !sections.contains(name))
            continue;
        // The file form holds every text as it stands, under the key that names it.
        IniDocument doc;
        core->save(store, doc);
        for (const QString &item : doc.sectionNames()) {
            for (const auto &[key, value] : doc.keyValues(item)) {
                const TextKey *text = textKey(name, key);
                const QString found = text ? separatorsIn(text->kind, value) : QString();
                const std::optional<NumberRange> range =
                    text ? std::nullopt : valueOutsideRange(name, doc, item, key);
                const bool outside = range.has_value();
                if (found.isEmpty() && !outside)
                    continue;
                const int slot = trailingNumber(item) >= 0 ? trailingNumber(item) : trailingNumber(key);
                if (outside)
                    faults.append({name, item, slot, key, value, FieldFault::Problem::OutOfRange, rangeText(*range)});
                else
                    faults.append({name, item, slot, key, value, FieldFault::Problem::Separator, found});
            }
        }
    }
    return faults;
}
