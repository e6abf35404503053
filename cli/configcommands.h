#pragma once

#include "commands.h"

// read-config and write-config: the whole configuration between a file and the unit.
int readConfig(CliSession &session, const CommandArgs &args);
int restoreFile(CliSession &session, const CommandArgs &args);
int writeConfig(CliSession &session, const CommandArgs &args);
QString configOptions(const CommandInfo &command, const CliSettings &settings, CommandArgs &args);
