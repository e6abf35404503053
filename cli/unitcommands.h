#pragma once

#include "commands.h"

// The device commands: ports, info, live, set-clock, output and counter.
int ports(CliSession &session, const CommandArgs &args);
int info(CliSession &session, const CommandArgs &args);
int live(CliSession &session, const CommandArgs &args);
int setClock(CliSession &session, const CommandArgs &args);
int checkOutput(CliSession &session, const CommandArgs &args);
int output(CliSession &session, const CommandArgs &args);
int checkCounter(CliSession &session, const CommandArgs &args);
int counter(CliSession &session, const CommandArgs &args);
QString liveOptions(const CommandInfo &command, const CliSettings &settings, CommandArgs &args);
