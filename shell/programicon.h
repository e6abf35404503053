#pragma once

#include <QIcon>

// The icon of the main window and the dialogs: "orvane.ico" next to the
// program when a site provides one, otherwise the icon built into the program.
QIcon programIcon();
