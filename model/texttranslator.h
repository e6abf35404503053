#pragma once

#include <QString>

#include <functional>

// How a core function that builds operator texts gets them translated: the
// windows pass the language table's look-up, tests pass what they need. The
// cores themselves never reach the language table.
using TextTranslator = std::function<QString(const QString &)>;
