#include "commandsupport.h"

#include <QDir>

#include "files/configfile.h"

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

// What the unit is decides what a command shows or sends: without its identity
// such a command does not run. Output, counter, clock and firmware commands do not
// depend on it.
bool identified(const CliSession &s)
{
    if (s.identityRead())
        return true;
    printError("The unit did not tell its identity; nothing was done.");
    return false;
}

// The values of the files read by this run that the model did not take.
QList<RestoreNote> &fileNotes()
{
    static QList<RestoreNote> notes;
    return notes;
}

// One warning per value of the file that was not taken; with --strict they
// stop the command (file error) before the unit is touched.
bool acceptNotes(const QString &path, const QList<RestoreNote> &notes, const CommandArgs &a)
{
    for (const RestoreNote &n : notes) {
        const QString field = QStringLiteral("warning: %1: [%2] %3=%4 ")
                                  .arg(QDir::toNativeSeparators(path), n.section, n.key.trimmed(),
                                       n.kind == RestoreNote::Kind::NotTaken ? n.text : n.text.trimmed());
        switch (n.kind) {
        case RestoreNote::Kind::OutOfRange:
            printError(field + QStringLiteral("is outside the range its window takes (%1); "
                                              "it cannot be sent to a unit until mended")
                                   .arg(n.detail));
            break;
        case RestoreNote::Kind::Conflict:
            printError(field + QStringLiteral("is set beside %1=True, which its window does not show with it; "
                                              "it cannot be sent to a unit until one is chosen")
                                   .arg(n.detail.trimmed()));
            break;
        case RestoreNote::Kind::NotTaken:
            printError(field + QStringLiteral("was not taken (empty, no number, or out of range); "
                                              "it cannot be sent to a unit as the file holds it"));
            break;
        }
    }
    fileNotes() += notes;
    return notes.isEmpty() || !a.strict;
}

// A configuration file restored into `store`; false after saying why not.
bool restoreChecked(const QString &path, ConfigStore &store, const SectionRegistry &sections,
                    const CommandArgs &a, QString *sourceSerial, QList<RestoreNote> *notesOut)
{
    FileFailure failure;
    QList<RestoreNote> notes;
    if (restoreConfigFile(path, store, sections, &failure, &notes, sourceSerial) != RestoreResult::Restored) {
        printError(fileFailureMessage(failure));
        return false;
    }
    if (notesOut)
        *notesOut = notes;
    return acceptNotes(path, notes, a);
}

// One line per field that cannot go to the unit; true when there is none.
bool sendable(const QList<FieldFault> &faults)
{
    for (const FieldFault &f : faults)
        printError(QStringLiteral("error: ") + fieldFaultMessage(f));
    if (!faults.isEmpty())
        printError("Nothing was sent: mend these fields first.");
    return faults.isEmpty();
}

// A field of a tab-separated line: a tab in a value would start another field.
QString tabField(const ConfigDifference &d, ConfigDifference::Side absent, const QString &value)
{
    return d.side == absent ? QStringLiteral("(absent)") : QString(value).replace(u'\t', u' ');
}

bool readNumber(const std::optional<QString> &text, int min, int &value)
{
    if (!text)
        return true;
    bool ok = false;
    value = text->toInt(&ok);
    return ok && value >= min;
}
