#pragma once

#include "commands.h"

// firmware IMAGE.hex LOADER.hex: both files are read and checked before
// connecting; the unit's configuration is kept in the history first.
int readFirmware(CliSession &session, const CommandArgs &args);
int firmware(CliSession &session, const CommandArgs &args);
QString firmwareOptions(const CommandInfo &command, const CliSettings &settings, CommandArgs &args);
