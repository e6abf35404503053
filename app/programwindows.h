#pragma once

#include <QList>
#include <QString>
#include <functional>

class UnitConnection;
class EditorRegistry;
class FileCommands;
class SectionRegistry;
struct ConfigDifference;
struct ConfigStore;

// What the windows of the program work on.
struct ProgramContext {
    UnitConnection &unit;
    ConfigStore &store;
    const SectionRegistry &sections;
    FileCommands &files;
    // Greys the navigation tree while a tool keeps the operator in its window.
    std::function<void(bool)> lockNavigation = {};
    // Shows differences the program found, such as those of a verified
    // upload; when unset the window that found them says how many.
    std::function<void(const QString &title, const QList<ConfigDifference> &)> showDifferences = {};
    // Opens a section's editor on a channel, where a refused upload sends the operator.
    std::function<void(const QString &section, int slot)> openEditor = {};
    // Asked before a save, and before an upload: false when a field holds
    // what cannot be kept or sent, after telling the operator. Unset: nothing
    // is checked.
    std::function<bool()> fieldsReady = {};
    std::function<bool()> uploadReady = {};
};

// Creates every editor and tool window of the program, once, and registers
// it by name. A new window is added here and nowhere else.
void createWindows(EditorRegistry &windows, const ProgramContext &context);

// The port the operator has chosen in the General window (empty when none).
QString chosenPort(const EditorRegistry &windows);
// The port list's choice as the settings keep it between runs, and back.
QString portChoice(const EditorRegistry &windows);
void choosePort(const EditorRegistry &windows, const QString &choice);
