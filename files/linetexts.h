#pragma once

#include <QList>
#include <QString>
#include <QStringList>

struct ConfigStore;
class SectionRegistry;

// The texts that travel inside an upload line, and the characters that would
// end them early there. One table, read by the check before every upload and
// by the editors' boxes, so that what a box refuses and what the check
// refuses cannot drift apart.

enum class LineText {
    Field,    // a text inside a comma-separated line ("DINAME0=<name>,NC")
    MacroRow, // a macro pool row, whose body ends at its first "}"
};

// The characters a text of this kind cannot carry: "," inside a line, "}"
// inside a macro row's body. (Line breaks never reach a value: the file and
// the boxes keep every text on one line.)
QString lineSeparators(LineText kind);

// One field of the configuration that cannot go to the unit as it stands.
struct FieldFault {
    enum class Problem {
        Separator,  // the text holds a character its line cannot carry (detail: those characters)
        OutOfRange, // a number its window's box would show red (detail: the range, "0 - 65535")
    };
    QString section; // the registered section ("E_Digital")
    QString item;    // the file section holding the field ("DIGITAL 0")
    int slot = -1;   // the channel or item number; -1 for a section without them
    QString key;     // the file key ("NOMBRE", "TEXTO( 1)")
    QString text;    // the value as it stands
    Problem problem = Problem::Separator;
    QString detail;
};

// A password or any other text that must not leave the program in a trace,
// as it travels: the upload line that sets it ("APNPASS=" and the value to
// the line's end) and its field in the configuration stream ("GPRS" line,
// field 3 as LineField counts).
struct SecretLineField {
    QString section;      // the registered section ("GPRS")
    QString key;          // its file key ("APN_PASS")
    QString uploadPrefix; // the upload line up to the value; empty when it has none
    QString streamKeyword;
    int streamField = 0;  // 0 when the stream does not carry it
};

// Whether the table marks the file key's text as secret.
bool isSecretText(const QString &section, const QString &key);
// Where each text the table marks as secret travels, found by writing a marker
// into it and looking for the marker in what the section uploads and streams.
QList<SecretLineField> secretLineFields(const SectionRegistry &registry);

// Every field of the named sections that cannot go to the unit as it
// stands, in the file order: a text holding a character its upload line
// cannot carry, or a number outside the range its window's box accepts (the
// table of fieldRange, which the boxes read too). Empty when they can go. The configuration upload checks SectionRegistry::uploadOrder(); the
// voice-list write, its own section.
QList<FieldFault> lineTextFaults(const ConfigStore &store, const SectionRegistry &registry,
                                 const QStringList &sections);
