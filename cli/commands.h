#pragma once

#include <QStringList>
#include <optional>

#include "clisession.h"

// Every option of velkan-cli as given, before any command takes its own.
// An option that takes a value is unset when not given at all.
struct CliSettings {
    QStringList arguments; // the command's name, then its arguments
    QStringList ports;
    std::optional<QString> modem;
    QString key;
    QString keyFile;
    bool json = false;
    bool verify = false;
    std::optional<QString> count;
    std::optional<QString> interval;
    std::optional<QString> timeout;
    QString report;
    bool again = false;
    bool allowUnlisted = false;
    std::optional<QString> modemColumn;
    std::optional<QString> progress;
    bool noHistory = false;
    QString technician;
    bool noBackup = false;
    bool fastLink = false;
    QStringList takes;
    std::optional<QString> takeJson;
    std::optional<QString> output;
    bool strict = false;
    QString trace;
    std::optional<QString> runStart;
    std::optional<QString> lang;
    std::optional<QString> history;
};

// A whole number of at least `min` from an option; true, leaving `value`,
// when the option was not given.
bool readNumber(const std::optional<QString> &text, int min, int &value);

// What a command gets from the command line, besides the link.
struct CommandArgs {
    QStringList positional; // after the command name
    bool json = false;
    int count = 0;          // 0: poll until interrupted
    int intervalMs = 500;
    bool verify = false;    // write-config: download again and compare
    bool backup = true;     // firmware: keep the configuration in the history first
    bool strict = false;    // a file value that was not taken stops the command
    QStringList takes;      // merge: "SECTION" or "SECTION.KEY" to take from OTHER
    QString takeJson;       // merge: a "diff --json" output whose rows are taken
    QString output;         // merge: the file written
    LinkOptions link;       // for commands that connect by themselves
    QString report;         // provision: the report file
    bool again = false;     // provision: write units the report has as applied
    bool allowUnlisted = false; // provision: units not in the table get the template
    QString modemColumn;    // provision: call each unit at the number in this column
    QStringList ports;      // provision: every --port, one worker each when more than one
    bool progressJson = false; // provision: one JSON line per event on standard output
    qint64 runStart = -1;   // provision, as a worker: the report's size when the shared run began
    QString lang;           // show, report: "es" or "en"
    QString historySerial;  // report: the unit whose service history tells the last write
};

using CommandFn = int (*)(CliSession &, const CommandArgs &);
struct CommandInfo;
// A family's options into the arguments of `command`: an empty text, or the
// usage error when an option is given to a command it does not belong to or
// holds what it cannot take.
using OptionsFn = QString (*)(const CommandInfo &command, const CliSettings &settings, CommandArgs &args);

struct CommandInfo {
    const char *name;
    const char *usage;    // arguments after the name
    const char *summary;
    int argCount;         // positional arguments required
    bool needsLink;
    CommandFn prepare;    // runs before connecting; may be null
    CommandFn run;        // null: not available in this build yet
    int optionalArgs = 0; // positional arguments that may follow the required ones

    bool is(const char *other) const { return qstrcmp(name, other) == 0; }
};

// The commands, in the order --help lists them.
const QList<CommandInfo> &commandTable();
// Each family's options, in the order they are checked.
const QList<OptionsFn> &commandOptions();
