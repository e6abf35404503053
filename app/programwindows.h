#pragma once

#include <QString>

class Comms;
class EditorRegistry;
class FileCommands;
class SectionRegistry;
struct ConfigStore;

// What the windows of the program work on.
struct ProgramContext {
    Comms &comms;
    ConfigStore &store;
    const SectionRegistry &sections;
    FileCommands &files;
};

// Creates every editor and tool window of the program, once, and registers
// it by name. A new window is added here and nowhere else.
void createWindows(EditorRegistry &windows, const ProgramContext &context);

// The port the operator has chosen in the General window (empty when none).
QString chosenPort(const EditorRegistry &windows);

// Closes the link to the unit at shut-down, without a hang-up.
void closeLink(const EditorRegistry &windows);
