#pragma once

#include <QStringList>

#include "clisession.h"

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
};

using CommandFn = int (*)(CliSession &, const CommandArgs &);

struct CommandInfo {
    const char *name;
    const char *usage;    // arguments after the name
    const char *summary;
    int argCount;         // positional arguments required
    bool needsLink;
    CommandFn prepare;    // runs before connecting; may be null
    CommandFn run;        // null: not available in this build yet
    int optionalArgs = 0; // positional arguments that may follow the required ones
};

// The commands, in the order --help lists them.
const QList<CommandInfo> &commandTable();
