#include "unitstable.h"

#include <QFile>
#include <QSet>
#include <algorithm>
#include <memory>

#include "inidocument.h"
#include "linetexts.h"
#include "model/configstore.h"
#include "model/cp1252.h"
#include "model/dialnumber.h"
#include "sectionregistry.h"

namespace {

QString columnKey(const QString &section, const QString &key)
{
    return section + u'.' + key;
}

// The document restored into `store` and saved back as the program saves it.
IniDocument savedBack(const IniDocument &doc, const SectionRegistry &registry, ConfigStore &store)
{
    registry.clearAll(store);
    registry.restoreAll(store, doc);
    IniDocument saved;
    registry.saveAll(store, saved);
    return saved;
}

QString faultFormat(UnitsTableFault::Kind kind)
{
    using Kind = UnitsTableFault::Kind;
    switch (kind) {
    case Kind::EmptyTable:
        break;
    case Kind::Unreadable:
        return QStringLiteral("cannot read %1: %2");
    case Kind::UnknownColumn:
        return QStringLiteral("unknown column \"%1\"");
    case Kind::RepeatedColumn:
        return QStringLiteral("column \"%1\" sets a key already set");
    case Kind::NoNumberColumn:
        return QStringLiteral("no column \"%1\" for the phone numbers");
    case Kind::NoSerial:
        return QStringLiteral("no serial number");
    case Kind::RepeatedSerial:
        return QStringLiteral("serial %1 is on line %2 already");
    case Kind::PastLastColumn:
        return QStringLiteral("a value past the last column");
    case Kind::NoNumber:
        return QStringLiteral("no phone number");
    case Kind::TextCannotGo:
        return QStringLiteral("%1 %2 holds \"%3\", which its line to the unit cannot carry");
    case Kind::TemplateTextCannotGo:
        return QStringLiteral("template: %1 %2 holds \"%3\", which its line to the unit cannot carry");
    case Kind::NotKept:
        return QStringLiteral("\"%1\" would be written as \"%2\"");
    case Kind::ControlCharacter:
        return QStringLiteral("a control character (%1) in the cell");
    case Kind::NotDialable:
        return QStringLiteral("\"%1\" is not a number the modem can dial");
    case Kind::OutOfRange:
        return QStringLiteral("%1 %2 holds %3, outside %4");
    case Kind::TemplateOutOfRange:
        return QStringLiteral("template: %1 %2 holds %3, outside %4");
    }
    return QStringLiteral("the table is empty");
}

} // namespace

UnitsTableFault::UnitsTableFault(int line, int column, Kind kind, QStringList args)
    : line(line), column(column), kind(kind), args(std::move(args)), message(fillArgs(faultFormat(kind), this->args))
{
}

QString fillArgs(const QString &format, const QStringList &args)
{
    switch (args.size()) {
    case 0:
        return format;
    case 1:
        return format.arg(args.at(0));
    case 2:
        return format.arg(args.at(0), args.at(1));
    default:
        return format.arg(args.at(0), args.at(1), args.at(2));
    }
}

const QList<UnitsTable::Alias> &UnitsTable::aliases()
{
    static const QList<Alias> list = {
        {"name", "General", "NOMBRE"},          {"own_number", "General", "PTLF"},
        {"sms_centre", "General", "CSM"},       {"retry_time", "General", "RENVT"},
        {"retry_count", "General", "RENVN"},    {"apn", "GPRS", "APN_SERVER"},
        {"apn_user", "GPRS", "APN_USER"},       {"apn_password", "GPRS", "APN_PASS"},
        {"server", "GPRS", "SERVER_IP"},
    };
    return list;
}

UnitsTable UnitsTable::parse(const QByteArray &bytes, const QStringList &knownKeys, const QString &numberColumn)
{
    UnitsTable table;
    const QList<CsvRecord> records = CsvText::read(bytes).records;
    if (records.size() < 2) {
        table.faults_ << UnitsTableFault{records.isEmpty() ? 1 : 2, 0, UnitsTableFault::Kind::EmptyTable};
        if (records.isEmpty())
            return table;
    }
    table.readHeader(records.first().cells, knownKeys, numberColumn);
    for (qsizetype i = 1; i < records.size(); ++i)
        table.readRow(records.at(i).line, records.at(i).cells);
    for (const CsvRecord &record : records)
        table.checkControlCharacters(record);
    std::stable_sort(table.faults_.begin(), table.faults_.end(), [](const UnitsTableFault &a, const UnitsTableFault &b) {
        return std::pair(a.line, a.column) < std::pair(b.line, b.column);
    });
    return table;
}

UnitsTable UnitsTable::load(const QString &path, const QStringList &knownKeys, const QString &numberColumn)
{
    QFile file(path);
    if (file.size() > IniDocument::kMaxFileSize || !file.open(QIODevice::ReadOnly)) {
        UnitsTable table;
        const QString reason = file.isOpen() || file.exists() ? QStringLiteral("too large or unreadable")
                                                              : file.errorString();
        table.faults_ << UnitsTableFault{0, 0, UnitsTableFault::Kind::Unreadable, {path, reason}};
        return table;
    }
    return parse(file.readAll(), knownKeys, numberColumn);
}

void UnitsTable::readHeader(const QStringList &header, const QStringList &knownKeys, const QString &numberColumn)
{
    QSet<QString> known;
    for (const QString &k : knownKeys)
        known.insert(k.toCaseFolded());
    QSet<QString> seen;
    for (qsizetype i = 1; i < header.size(); ++i) {
        const QString name = header.at(i).trimmed();
        if (!numberColumn.isEmpty() && name.compare(numberColumn, Qt::CaseInsensitive) == 0 && numberColumn_ < 0) {
            numberColumn_ = int(columns_.size());
            columns_ << UnitsColumn{name, {}, {}};
            continue;
        }
        UnitsColumn column{name, {}, {}};
        for (const Alias &a : aliases())
            if (name.compare(QLatin1String(a.name), Qt::CaseInsensitive) == 0)
                column = {name, QString::fromLatin1(a.section), QString::fromLatin1(a.key)};
        const qsizetype dot = name.indexOf(u'.');
        if (column.key.isEmpty() && dot > 0)
            column = {name, name.left(dot).trimmed(), name.mid(dot + 1).trimmed()};
        column.usable = !column.key.isEmpty() && known.contains(columnKey(column.section, column.key).toCaseFolded());
        const QString full = columnKey(column.section, column.key).toCaseFolded();
        if (!column.usable)
            faults_ << UnitsTableFault{1, int(i) + 1, UnitsTableFault::Kind::UnknownColumn, {name}};
        else if (seen.contains(full))
            faults_ << UnitsTableFault{1, int(i) + 1, UnitsTableFault::Kind::RepeatedColumn, {name}};
        column.usable = column.usable && !seen.contains(full);
        seen.insert(full);
        columns_ << column;
    }
    if (!numberColumn.isEmpty() && numberColumn_ < 0)
        faults_ << UnitsTableFault{1, 0, UnitsTableFault::Kind::NoNumberColumn, {numberColumn}};
}

void UnitsTable::readRow(int line, const QStringList &cells)
{
    UnitsRow row{line, cells.value(0).trimmed(), cells.mid(1)};
    if (row.serial.isEmpty())
        faults_ << UnitsTableFault{line, 1, UnitsTableFault::Kind::NoSerial};
    else if (find(row.serial))
        faults_ << UnitsTableFault{line, 1, UnitsTableFault::Kind::RepeatedSerial,
                                   {row.serial, QString::number(find(row.serial)->line)}};
    for (qsizetype i = columns_.size(); i < row.cells.size(); ++i)
        if (!row.cells.at(i).trimmed().isEmpty())
            faults_ << UnitsTableFault{line, int(i) + 2, UnitsTableFault::Kind::PastLastColumn};
    row.cells.resize(columns_.size());
    if (numberColumn_ >= 0 && number(row).isEmpty())
        faults_ << UnitsTableFault{line, numberColumn_ + 2, UnitsTableFault::Kind::NoNumber};
    else if (numberColumn_ >= 0 && !isDialable(number(row)) && !hasControlCharacter(number(row)))
        faults_ << UnitsTableFault{line, numberColumn_ + 2, UnitsTableFault::Kind::NotDialable, {number(row)}};
    rows_ << row;
}

// A record's line is where it starts: a quoted line break inside a cell is
// itself the fault, so the place is the line and column the cell starts on.
void UnitsTable::checkControlCharacters(const CsvRecord &record)
{
    for (qsizetype i = 0; i < record.cells.size(); ++i) {
        const QString &cell = record.cells.at(i);
        const auto found = std::find_if(cell.cbegin(), cell.cend(), isControlCharacter);
        // The unit's lines are Windows-1252: a character it cannot hold
        // would arrive as "?".
        const QString kept = Cp1252::decode(Cp1252::encode(cell));
        if (found != cell.cend())
            faults_ << UnitsTableFault{record.line, int(i) + 1, UnitsTableFault::Kind::ControlCharacter,
                                       {controlCharacterName(*found)}};
        else if (kept != cell)
            faults_ << UnitsTableFault{record.line, int(i) + 1, UnitsTableFault::Kind::NotKept,
                                       {cell.trimmed(), kept.trimmed()}};
    }
}

QString UnitsTable::number(const UnitsRow &row) const
{
    return numberColumn_ < 0 ? QString() : row.cells.at(numberColumn_).trimmed();
}

const UnitsRow *UnitsTable::find(const QString &serial) const
{
    for (const UnitsRow &row : rows_)
        if (row.serial == serial)
            return &row;
    return nullptr;
}

IniDocument UnitsTable::unitDocument(const IniDocument &templ, const UnitsRow &row) const
{
    IniDocument doc = templ;
    for (qsizetype i = 0; i < columns_.size(); ++i)
        if (columns_.at(i).usable && !row.cells.at(i).trimmed().isEmpty())
            doc.writeValue(columns_.at(i).section, columns_.at(i).key, row.cells.at(i).trimmed());
    return doc;
}

QStringList knownFileKeys(const IniDocument &templ, const SectionRegistry &registry)
{
    auto store = std::make_unique<ConfigStore>();
    IniDocument written;
    registry.clearAll(*store);
    registry.saveAll(*store, written);
    registry.restoreAll(*store, templ);
    registry.saveAll(*store, written);
    QStringList keys;
    for (const QString &section : written.sectionNames())
        for (const auto &[key, value] : written.keyValues(section))
            keys << columnKey(section, key);
    return keys;
}

QList<std::optional<QString>> valuesNotKept(const IniDocument &doc, const QList<UnitsColumn> &columns,
                                           const QStringList &cells, const SectionRegistry &registry)
{
    auto store = std::make_unique<ConfigStore>();
    const IniDocument saved = savedBack(doc, registry, *store);
    QList<std::optional<QString>> changed;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const QString cell = columns.at(i).usable ? cells.at(i).trimmed() : QString();
        const QString kept = saved.readValue(columns.at(i).section, columns.at(i).key);
        changed << (cell.isEmpty() || kept == cell ? std::nullopt : std::optional(kept));
    }
    return changed;
}

namespace {

// What the document uploads, and the value its save writes for a key.
std::pair<QStringList, QString> uploadedAndSaved(const IniDocument &doc, const UnitsColumn &column,
                                                 const SectionRegistry &registry, const UploadContext &context)
{
    auto store = std::make_unique<ConfigStore>();
    const IniDocument saved = savedBack(doc, registry, *store);
    return {registry.uploadLines(*store, context), saved.readValue(column.section, column.key)};
}

} // namespace

QStringList columnsNotSent(const IniDocument &templ, const QList<UnitsColumn> &columns, const QStringList &cells,
                           const SectionRegistry &registry, const UploadContext &context)
{
    QStringList notSent;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const UnitsColumn &column = columns.at(i);
        if (!column.usable || cells.at(i).trimmed().isEmpty())
            continue;
        IniDocument doc = templ;
        doc.writeValue(column.section, column.key, cells.at(i).trimmed());
        const auto [templLines, templValue] = uploadedAndSaved(templ, column, registry, context);
        const auto [lines, value] = uploadedAndSaved(doc, column, registry, context);
        if (lines == templLines && value != templValue)
            notSent << column.header;
    }
    return notSent;
}

namespace {

// The texts of a unit's document that its upload lines cannot carry: a
// fault at the cell that set it, or at the template (line 0) when no cell did.
QList<UnitsTableFault> separatorFaults(const IniDocument &doc, const UnitsRow &row,
                                       const QList<UnitsColumn> &columns, const SectionRegistry &registry)
{
    auto store = std::make_unique<ConfigStore>();
    savedBack(doc, registry, *store);
    QList<UnitsTableFault> faults;
    for (const FieldFault &field : lineTextFaults(*store, registry, SectionRegistry::uploadOrder())) {
        using Kind = UnitsTableFault::Kind;
        const bool range = field.problem == FieldFault::Problem::OutOfRange;
        const QStringList args = range ? QStringList{field.item, field.key, field.text.trimmed(), field.detail}
                                       : QStringList{field.item, field.key, field.detail};
        UnitsTableFault fault{0, 0, range ? Kind::TemplateOutOfRange : Kind::TemplateTextCannotGo, args};
        for (qsizetype i = 0; i < columns.size(); ++i) {
            const UnitsColumn &column = columns.at(i);
            if (!row.cells.at(i).trimmed().isEmpty() && column.section.compare(field.item, Qt::CaseInsensitive) == 0
                && column.key.compare(field.key, Qt::CaseInsensitive) == 0)
                fault = {row.line, int(i) + 2, range ? Kind::OutOfRange : Kind::TextCannotGo, args};
        }
        if (!faults.contains(fault))
            faults << fault;
    }
    return faults;
}

} // namespace

QList<UnitsTableFault> checkUnitsTable(const UnitsTable &table, const IniDocument &templ,
                                       const SectionRegistry &registry)
{
    QList<UnitsTableFault> faults = table.faults();
    // A cell with a control character or a character the unit cannot hold
    // has its fault; what the configuration would make of it says nothing more.
    QSet<std::pair<int, int>> controlled;
    for (const UnitsTableFault &fault : table.faults())
        if (fault.kind == UnitsTableFault::Kind::ControlCharacter || fault.kind == UnitsTableFault::Kind::NotKept)
            controlled.insert({fault.line, fault.column});
    // The template's values reach every unit as the cells do: a control
    // character in one is a fault of the template, shown by name.
    const QStringList known = knownFileKeys(templ, registry);
    for (const QString &section : templ.sectionNames())
        for (const auto &[key, value] : templ.keyValues(section)) {
            if (!hasControlCharacter(value) || !known.contains(columnKey(section, key), Qt::CaseInsensitive))
                continue;
            QString shown;
            for (const QChar c : value)
                shown += isControlCharacter(c) ? u'<' + controlCharacterName(c) + u'>' : QString(c);
            faults << UnitsTableFault{0, 0, UnitsTableFault::Kind::TemplateTextCannotGo, {section, key, shown}};
        }
    const auto add = [&](const UnitsTableFault &fault) {
        if (!controlled.contains({fault.line, fault.column}) && !faults.contains(fault))
            faults << fault;
    };
    for (const UnitsRow &row : table.rows()) {
        const IniDocument doc = table.unitDocument(templ, row);
        for (const UnitsTableFault &fault : separatorFaults(doc, row, table.columns(), registry))
            add(fault);
        const auto changed = valuesNotKept(doc, table.columns(), row.cells, registry);
        for (qsizetype i = 0; i < changed.size(); ++i)
            if (changed.at(i))
                add(UnitsTableFault{row.line, int(i) + 2, UnitsTableFault::Kind::NotKept,
                                    {row.cells.at(i).trimmed(), *changed.at(i)}});
    }
    std::stable_sort(faults.begin(), faults.end(), [](const UnitsTableFault &a, const UnitsTableFault &b) {
        return std::pair(a.line, a.column) < std::pair(b.line, b.column);
    });
    return faults;
}
