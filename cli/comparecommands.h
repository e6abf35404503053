#pragma once

#include "commands.h"

// diff and merge: configuration files compared and combined, no unit needed.
int diff(CliSession &session, const CommandArgs &args);
int merge(CliSession &session, const CommandArgs &args);
QString mergeOptions(const CommandInfo &command, const CliSettings &settings, CommandArgs &args);
