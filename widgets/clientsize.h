#pragma once

#include <QSize>

// The designed form size: the main window's client area is never smaller,
// and the tool windows that stand alone open at it.
inline constexpr QSize kClientSize{649, 566};
