#include "macrorows.h"

#include <QMap>
#include <QRegularExpression>

#include "files/inidocument.h"
#include "model/macropool.h"
#include "model/texthelpers.h"

namespace {

const QString kNameMark = QStringLiteral(",NAME=");
// Adding advances the number box up to these and no further.
constexpr int kLastMacroNumber = 39;
constexpr int kLastEquationNumber = 15;

MacroRowResult refused(MacroRefusal refusal)
{
    return {QString(), refusal, false};
}

// The checks every new row passes once it is built.
MacroRowResult checked(const QString &row, const QString &body, int rowsInPool)
{
    if (rowsInPool >= MacroPool::kRows)
        return refused(MacroRefusal::PoolFull);
    if (body.contains(QLatin1Char('}')))
        return refused(MacroRefusal::Brace);
    if (row.size() > IniDocument::kMaxValueLength)
        return refused(MacroRefusal::TooLong);
    return {row, MacroRefusal::None, false};
}

// The text from `from` up to the next "}" (or the end).
QString untilBrace(const QString &row, qsizetype from)
{
    const qsizetype close = row.indexOf(QLatin1Char('}'), from);
    return row.mid(from, close < 0 ? -1 : close - from);
}

// Where a body starts: just after its opening mark, or at the start of a row
// that lacks the mark.
qsizetype bodyStart(qsizetype found, qsizetype markLength)
{
    return found < 0 ? 0 : found + markLength;
}

} // namespace

MacroRowResult buildMacroRow(int number, const QString &command, const QString &name,
                             int rowsInPool)
{
    if (command.isEmpty())
        return refused(MacroRefusal::EmptyCommand);
    QString body = command;
    if (!name.isEmpty())
        body += kNameMark + name;
    const QString row = QStringLiteral("MACRO") + QString::number(number) + QStringLiteral("={")
                        + body + QLatin1Char('}');
    return checked(row, body, rowsInPool);
}

MacroRowResult buildEquationRow(int number, const QString &expression, const QString &name,
                                int rowsInPool)
{
    if (expression.isEmpty())
        return refused(MacroRefusal::EmptyCommand);
    if (number > kLastEquationNumber)
        return refused(MacroRefusal::EquationNumber);
    const QString row = QStringLiteral("F") + QString::number(number) + QStringLiteral("={")
                        + expression + QLatin1Char('}');
    MacroRowResult result = checked(row, expression, rowsInPool);
    result.nameDiscarded = result.refusal == MacroRefusal::None && !name.isEmpty();
    return result;
}

QString macroRefusalText(MacroRefusal refusal, const TextTranslator &translate)
{
    switch (refusal) {
    case MacroRefusal::EquationNumber:
        return translate(QStringLiteral("Debe seleccionar un numero de ecuacion menor a"))
               + NumStr(kLastEquationNumber + 1);
    case MacroRefusal::PoolFull:
        return translate(QStringLiteral("No se pueden añadir mas de")) + NumStr(MacroPool::kRows)
               + translate(QStringLiteral(" filas"));
    case MacroRefusal::Brace:
        return translate(QStringLiteral("El texto no puede contener")) + QStringLiteral(" }");
    case MacroRefusal::TooLong:
        return translate(QStringLiteral("La fila no puede superar"))
               + NumStr(IniDocument::kMaxValueLength) + translate(QStringLiteral(" caracteres"));
    case MacroRefusal::None:
    case MacroRefusal::EmptyCommand:
        break;
    }
    return {};
}

bool macroUploadNoticeShown(int rowsInPool)
{
    return rowsInPool > MacroPool::kUploadedRows;
}

int nextMacroNumber(int number, bool equation)
{
    return number < (equation ? kLastEquationNumber : kLastMacroNumber) ? number + 1 : number;
}

std::optional<int> macroNumberOf(const QString &row)
{
    static const QRegularExpression number(QStringLiteral("^MACRO(\\d{1,2})="));
    const QRegularExpressionMatch match = number.match(row);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toInt();
}

std::optional<int> freeMacroNumber(const QStringList &rows, int asked)
{
    QList<int> taken;
    for (const QString &row : rows) {
        if (const std::optional<int> n = macroNumberOf(row))
            taken << *n;
    }
    if (asked >= 0 && asked <= kLastMacroNumber && !taken.contains(asked))
        return asked;
    for (int n = 0; n <= kLastMacroNumber; ++n) {
        if (!taken.contains(n))
            return n;
    }
    return std::nullopt;
}

QList<int> repeatedMacroNumbers(const QStringList &rows)
{
    QMap<int, int> counts;
    for (const QString &row : rows) {
        if (const std::optional<int> n = macroNumberOf(row))
            ++counts[*n];
    }
    QList<int> repeated;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > 1)
            repeated << it.key();
    }
    return repeated;
}

MacroRowParts splitMacroRow(const QString &row)
{
    if (!row.contains(QLatin1String("MACRO"))) {
        const qsizetype open = row.indexOf(QLatin1Char('{'));
        return {untilBrace(row, bodyStart(open, 1)), QString()};
    }
    const qsizetype nameAt = row.indexOf(kNameMark);
    if (nameAt >= 0) {
        const qsizetype start = bodyStart(row.lastIndexOf(QLatin1Char('{'), nameAt), 1);
        return {row.mid(start, nameAt - start), untilBrace(row, nameAt + kNameMark.size())};
    }
    const qsizetype open = row.indexOf(QLatin1String("={"));
    return {untilBrace(row, bodyStart(open, 2)), QString()};
}

int macroMemoryLeft(const QStringList &rows)
{
    int used = 0;
    for (const QString &row : rows)
        used += int(row.size());
    return MacroPool::kMemoryBudget - used;
}

QString macroMemoryText(const QStringList &rows, const TextTranslator &translate)
{
    return translate(QStringLiteral("Memoria restante")) + NumStr(macroMemoryLeft(rows));
}
