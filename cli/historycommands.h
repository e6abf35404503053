#pragma once

#include "commands.h"

// velkan-cli history: the units, a unit's copies with their technicians,
// the remote, the sync, and who last changed a key; velkan-cli units: the fleet.
int historyCommand(CliSession &s, const CommandArgs &a);
int unitsCommand(CliSession &s, const CommandArgs &a);
