#pragma once

#include "commands.h"

// provision TEMPLATE.qcf UNITS.csv: the template with each unit's own values
// to one unit after another. The check runs before connecting; the run
// connects by itself, once per unit.
int checkProvision(CliSession &session, const CommandArgs &args);
int provision(CliSession &session, const CommandArgs &args);
