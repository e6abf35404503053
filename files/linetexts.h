#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "restorenotes.h"

struct ConfigStore;
class IniDocument;
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
        Conflict,   // a switch set beside one its window cannot show with it (detail: that key)
        NotTaken,   // a value of the open file that was not taken, not given another since
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
// cannot carry, a number outside the range its window's box accepts (the
// table of fieldRange, which the boxes read too), or a switch set beside one
// its window cannot show with it (shownTogetherConflict). Empty when they
// can go. The configuration upload checks SectionRegistry::uploadOrder(); the
// voice-list write, its own section.
QList<FieldFault> lineTextFaults(const ConfigStore &store, const SectionRegistry &registry,
                                 const QStringList &sections);

// The values of a file that the restore did not take (restore notes of that
// kind) and whose field the model of the named sections still holds as the
// restore left it (`restored`, the model as its sections wrote it then): an
// upload would send what the restore put in their place, not what the file
// says. A field given a value since is no longer one.
QList<FieldFault> untakenFaults(const QList<RestoreNote> &notes, const IniDocument &restored,
                                const ConfigStore &store, const SectionRegistry &registry,
                                const QStringList &sections);

// Every field of `doc` restored into `store` that cannot reach the unit as
// `doc` holds it: the values the restore did not take, then lineTextFaults of
// the upload's sections.
QList<FieldFault> documentFaults(const IniDocument &doc, const ConfigStore &store, const SectionRegistry &registry);

// The fault as the command line and the reports say it, in English:
// "[GPRS] SERVER_PORT=70000 is outside the range its window takes (0 - 65535)".
QString fieldFaultMessage(const FieldFault &fault);
