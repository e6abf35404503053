#pragma once

#include <QCoreApplication>
#include <memory>

#include "commands.h"

// velkan-cli show: a configuration file's fields as a person reads them,
// filtered as the program's search filters.
int showCommand(CliSession &s, const CommandArgs &a);
// velkan-cli report: the commissioning report of a configuration file as a PDF.
int reportCommand(CliSession &s, const CommandArgs &a);
// --lang for show and report, --history for report.
QString readOptions(const CommandInfo &command, const CliSettings &settings, CommandArgs &args);

// The application object for these arguments: the report lays out text with
// the system's fonts, which needs the GUI side of Qt (offscreen when no
// platform is asked for); every other command runs without it.
std::unique_ptr<QCoreApplication> cliApplication(int &argc, char **argv);
