#include "macrocore.h"

#include <algorithm>
#include <limits>

#include "files/inidocument.h"
#include "model/configstore.h"
#include "model/texthelpers.h"
#include "sections/common/downloadline.h"
#include "sections/common/fieldtext.h"

namespace {

const QString kMacroKeyword = QStringLiteral("MACROS");
const QString kEquationKeyword = QStringLiteral("F");
const QString kMacroPrefix = QStringLiteral("MACRO");
const QString kEquationPrefix = QStringLiteral("F");
const QString kFileSection = QStringLiteral("MACROS");
const QString kClearPool = QStringLiteral("CLEARMACRO");
// Macro and equation numbers are the unit's business: any number from 0 to
// 32767 is kept, whatever the editor offers.
constexpr int kItemNumbers = std::numeric_limits<qint16>::max() + 1;

QString fileKey(int row)
{
    return QStringLiteral("LINE(") + NumStr(row) + QLatin1Char(')');
}

// "MACRO3={A,B}" -> "MACROS,3,{A,B}": the stream line the unit sends for a
// row. Rows of any other shape are nothing the unit could hold.
QString streamLine(const QString &row)
{
    const bool macro = row.startsWith(kMacroPrefix);
    const QString &prefix = macro ? kMacroPrefix : kEquationPrefix;
    const int open = row.indexOf(QLatin1String("={"));
    if (!row.startsWith(prefix) || open < 0)
        return {};
    const QString number = row.mid(prefix.size(), open - prefix.size());
    if (!IsIntegerText(number))
        return {};
    return (macro ? kMacroKeyword : kEquationKeyword) + QLatin1Char(',') + number + QLatin1Char(',')
        + row.mid(open + 1);
}

// The pool row a stream line stands for ("MACROS,3,{A,B}" gives "MACRO3={A,B}",
// with or without the answer's prefix); none when its number is out of range.
std::optional<QString> poolRow(const QString &keyword, const QString &line)
{
    const std::optional<int> number = ItemIndex(line, kItemNumbers);
    if (!number)
        return std::nullopt;
    const QString &prefix = keyword == kMacroKeyword ? kMacroPrefix : kEquationPrefix;
    return prefix + QString::number(*number) + QStringLiteral("={") + BraceField(line, 2) + QLatin1Char('}');
}

} // namespace

QString MacroCore::name() const
{
    return QStringLiteral("Macros");
}

void MacroCore::clear(ConfigStore &store) const
{
    store.Macros.Rows.fill(QString());
}

QStringList MacroCore::keywords() const
{
    return {kMacroKeyword, kEquationKeyword};
}

// Each line takes the next free row, whatever its number; lines past the last
// row are dropped.
void MacroCore::parseLine(ConfigStore &store, DownloadState &state, const QString &keyword,
                          const QString &line, quint32) const
{
    if (state.macroFreeRow < 0 || state.macroFreeRow >= MacroPool::kRows)
        return;
    if (const std::optional<QString> row = poolRow(keyword, line))
        store.Macros.Rows[state.macroFreeRow++] = *row;
}

QStringList MacroCore::downloadLines(const ConfigStore &store, quint32) const
{
    QStringList lines;
    for (const QString &row : store.Macros.Rows) {
        const QString line = streamLine(row);
        if (!line.isEmpty())
            lines << line;
    }
    return lines;
}

QStringList MacroCore::uploadLines(const ConfigStore &store, const UploadContext &) const
{
    QStringList lines{kClearPool};
    for (int row = 0; row < MacroPool::kUploadedRows; ++row) {
        if (!store.Macros.Rows[row].isEmpty())
            lines << store.Macros.Rows[row];
    }
    return lines;
}

// "CLEARMACRO" empties the pool; a row takes the first free one of the rows
// the unit keeps, as the unit would list it back.
bool MacroCore::applyUploadLine(ConfigStore &store, const QString &line, quint32) const
{
    auto &rows = store.Macros.Rows;
    if (line == kClearPool) {
        rows.fill(QString());
        return true;
    }
    const QString stream = streamLine(line);
    const std::optional<QString> row = stream.isEmpty() ? std::nullopt : poolRow(LineField(stream, 1), stream);
    const auto free = std::find(rows.begin(), rows.begin() + MacroPool::kUploadedRows, QString());
    if (!row || free == rows.begin() + MacroPool::kUploadedRows)
        return false;
    *free = *row;
    return true;
}

void MacroCore::save(const ConfigStore &store, IniDocument &doc) const
{
    for (int row = 0; row < MacroPool::kRows; ++row)
        doc.writeValue(kFileSection, fileKey(row), store.Macros.Rows[row]);
}

void MacroCore::restore(ConfigStore &store, const IniDocument &doc) const
{
    clear(store);
    for (int row = 0; row < MacroPool::kRows; ++row)
        store.Macros.Rows[row] = doc.readValue(kFileSection, fileKey(row));
}

// Each line of the pool shows as the pool list shows it.
std::optional<FieldTerm> MacroCore::fieldTerm(const IniDocument &side, const QString &item, const QString &key) const
{
    static const QHash<QString, KeyCaption> captions = {{"LINE", {"Macro / Equacion:"}}};
    return captionedFieldTerm(side, kFileSection, item, key, captions);
}
