#pragma once

#include "commands.h"

// voice-list read|write FILE.qcf: the file is checked before connecting.
int checkVoiceList(CliSession &session, const CommandArgs &args);
int voiceList(CliSession &session, const CommandArgs &args);
