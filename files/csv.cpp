#include "csv.h"

#include <QStringDecoder>
#include <algorithm>

#include "model/cp1252.h"

namespace {

// The separator the first non-blank line uses more, outside quotes: ';' or
// ','. Empty lines before the header say nothing about it.
QChar detectSeparator(const QString &text)
{
    int commas = 0, semicolons = 0;
    bool quoted = false, started = false;
    for (const QChar c : text) {
        if (!started && c.isSpace())
            continue;
        started = true;
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && (c == u'\n' || c == u'\r'))
            break;
        else if (!quoted && c == u',')
            ++commas;
        else if (!quoted && c == u';')
            ++semicolons;
    }
    return semicolons > commas ? u';' : u',';
}

// A record of nothing but separators (either kind: a spreadsheet may save an
// empty row with the other one), quotes and spaces.
bool blank(const CsvRecord &record)
{
    return std::all_of(record.cells.cbegin(), record.cells.cend(), [](const QString &cell) {
        return std::all_of(cell.cbegin(), cell.cend(), [](QChar c) {
            return c.isSpace() || c == u',' || c == u';' || c == u'"';
        });
    });
}

} // namespace

QList<CsvRecord> splitCsvRecords(const QString &text, QChar separator)
{
    QList<CsvRecord> records;
    CsvRecord record{1, {}};
    QString cell;
    bool quoted = false, wasQuoted = false;
    int line = 1;
    const auto endRecord = [&] {
        if (!record.cells.isEmpty() || !cell.isEmpty() || wasQuoted) {
            record.cells << cell;
            records << record;
        }
        cell.clear();
        wasQuoted = false;
        record = {line, {}};
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"')
                cell += text.at(++i);
            else if (c == u'"')
                quoted = false;
            else
                cell += c;
            if (c == u'\n' || (c == u'\r' && (i + 1 == text.size() || text.at(i + 1) != u'\n')))
                ++line;
        } else if (c == u'"' && cell.trimmed().isEmpty()) {
            quoted = wasQuoted = true;
            cell.clear();
        } else if (c == separator) {
            record.cells << cell;
            cell.clear();
            wasQuoted = false;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            ++line;
            endRecord();
        } else {
            cell += c;
        }
    }
    endRecord();
    return records;
}

QString csvField(const QString &text, QChar separator)
{
    if (!text.contains(separator) && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    return u'"' + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

CsvText CsvText::read(const QByteArray &bytes)
{
    CsvText csv;
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        csv.utf8 = false;
        text = Cp1252::decode(bytes);
    } else if (text.startsWith(QChar(0xFEFF))) {
        csv.byteOrderMark = true;
        text.remove(0, 1);
    }
    csv.separator = detectSeparator(text);
    const qsizetype end = bytes.indexOf('\n');
    const qsizetype cr = bytes.indexOf('\r');
    if (cr >= 0 && (end < 0 || cr < end))
        csv.lineEnd = end == cr + 1 ? "\r\n" : "\r";
    csv.endsWithLineEnd = bytes.isEmpty() || bytes.endsWith('\n') || bytes.endsWith('\r');
    for (CsvRecord &record : splitCsvRecords(text, csv.separator))
        if (!blank(record))
            csv.records << std::move(record);
    return csv;
}

QByteArray CsvText::line(const QStringList &cells) const
{
    QStringList fields;
    for (const QString &cell : cells)
        fields << csvField(cell, separator);
    const QString text = fields.join(separator);
    return (utf8 ? text.toUtf8() : Cp1252::encode(text)) + lineEnd;
}
