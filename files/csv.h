#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// One record of a CSV text: the line it starts on (from 1) and its cells.
struct CsvRecord {
    int line = 0;
    QStringList cells;
};

// RFC 4180 records: quoted cells may hold the separator, doubled quotes and
// line breaks; CR LF, LF and CR end a record; blank lines are skipped.
QList<CsvRecord> splitCsvRecords(const QString &text, QChar separator);
// A cell for a line separated by `separator`: quoted when it holds the
// separator, a quote or a line break.
QString csvField(const QString &text, QChar separator = u',');

// A CSV file as a spreadsheet leaves it, read back: UTF-8 (a byte-order mark
// dropped) or Windows-1252, separated by commas or semicolons, whichever the
// first non-blank line uses more outside quotes. Records of nothing but
// separators of either kind, quotes and spaces (";;;;" or ",,,," of an empty
// spreadsheet row) are no records.
struct CsvText {
    QChar separator = u',';
    bool utf8 = true;         // false: the bytes were Windows-1252
    bool byteOrderMark = false;
    QByteArray lineEnd = "\n"; // what the first line ends with
    bool endsWithLineEnd = true; // false when the last line has no ending
    QList<CsvRecord> records;

    static CsvText read(const QByteArray &bytes);
    // A line of `cells` as this text writes it: its separator, its encoding
    // and its line ending.
    QByteArray line(const QStringList &cells) const;
};
