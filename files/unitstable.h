#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "csv.h"
#include "sectioncore.h"

class IniDocument;
class SectionRegistry;

// A fault of a units table, at a line of the file (1: the header) and a
// column (1: the serial); 0 where a fault has no line or no column.
struct UnitsTableFault {
    // What is wrong; `args` fill the %1, %2, %3 of its text, so that a window
    // can say it in its own language.
    enum class Kind {
        EmptyTable, Unreadable, UnknownColumn, RepeatedColumn, NoNumberColumn, NoSerial, RepeatedSerial,
        PastLastColumn, NoNumber, TextCannotGo, TemplateTextCannotGo, NotKept, ControlCharacter, NotDialable,
        OutOfRange, TemplateOutOfRange
    };

    UnitsTableFault() = default;
    UnitsTableFault(int line, int column, Kind kind, QStringList args = {});

    int line = 0;
    int column = 0;
    Kind kind = Kind::EmptyTable;
    QStringList args;
    QString message; // the text in English, as velkan-cli prints it

    friend bool operator==(const UnitsTableFault &, const UnitsTableFault &) = default;
};

// A text with its %1, %2, %3 filled from `args` in one pass (an argument
// that holds "%2" stays as it is).
QString fillArgs(const QString &format, const QStringList &args);

// A column of a units table: the configuration file key it sets.
struct UnitsColumn {
    QString header;  // as written in the table
    QString section; // file section ("General")
    QString key;     // file key ("NOMBRE")
    bool usable = false; // a known key that no other column sets
};

// One unit: its serial and a cell per column after the serial (empty: the
// template's value stays).
struct UnitsRow {
    int line = 0;
    QString serial;
    QStringList cells;
};

// A table of units, one row per unit, for writing one template to many units
// with each unit's own values, read as CsvText reads it (a row of empty cells
// is no row). The first column is the serial number; the others are named
// "Section.KEY" or by one of the aliases. No cell may hold a control
// character (a line break inside quotes included): every cell ends up in a
// line to the unit or, for the phone number, in a command to the modem.
class UnitsTable {
public:
    // The short names of the common keys: alias, section, key.
    struct Alias {
        const char *name;
        const char *section;
        const char *key;
    };
    static const QList<Alias> &aliases();

    // Reads the table; faults of its shape (columns without a known key,
    // cells past the header's columns, empty or repeated serials) are kept
    // in faults(), as is a table without a unit. `knownKeys` holds
    // "Section.KEY" names, any case. A column headed `numberColumn` holds each
    // unit's phone number and sets no key; when one is named, the table must
    // have it and every row a number the modem can dial (isDialable()).
    static UnitsTable parse(const QByteArray &bytes, const QStringList &knownKeys,
                            const QString &numberColumn = {});
    // Reads the file at path; a file that cannot be read is one fault.
    static UnitsTable load(const QString &path, const QStringList &knownKeys, const QString &numberColumn = {});

    const QList<UnitsColumn> &columns() const { return columns_; }
    const QList<UnitsRow> &rows() const { return rows_; }
    const QList<UnitsTableFault> &faults() const { return faults_; }
    // The row of a serial, or null.
    const UnitsRow *find(const QString &serial) const;
    // The row's phone number from the number column; empty without one.
    QString number(const UnitsRow &row) const;

    // The template with the row's non-empty cells written over it.
    IniDocument unitDocument(const IniDocument &templ, const UnitsRow &row) const;

private:
    void readHeader(const QStringList &header, const QStringList &knownKeys, const QString &numberColumn);
    void readRow(int line, const QStringList &cells);
    void checkControlCharacters(const CsvRecord &record);

    QList<UnitsColumn> columns_;
    int numberColumn_ = -1; // index into the cells
    QList<UnitsRow> rows_;
    QList<UnitsTableFault> faults_;
};

// The "Section.KEY" names the program writes to a configuration file: those
// of a cleared model and of the template restored.
QStringList knownFileKeys(const IniDocument &templ, const SectionRegistry &registry);

// The values the configuration would not hold as given: the document (a
// template with a row written over it) restored into a scratch model and
// saved back, each non-empty cell compared with what the save writes for its
// column's key. One entry per column: empty when the cell is kept or empty,
// else what the key would hold instead (a value the restore refused or replaced).
QList<std::optional<QString>> valuesNotKept(const IniDocument &doc, const QList<UnitsColumn> &columns,
                                           const QStringList &cells, const SectionRegistry &registry);

// The headers of the columns whose value the unit would not receive: with
// its cell alone written over the template, the upload under `context` is the
// template's own although the file's value differs (a setting the unit's
// firmware does not take).
QStringList columnsNotSent(const IniDocument &templ, const QList<UnitsColumn> &columns, const QStringList &cells,
                           const SectionRegistry &registry, const UploadContext &context);

// Every fault of the table with the template, shape and values, by line then
// column: empty when every unit may be written.
QList<UnitsTableFault> checkUnitsTable(const UnitsTable &table, const IniDocument &templ,
                                       const SectionRegistry &registry);
