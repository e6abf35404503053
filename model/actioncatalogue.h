#pragma once

#include <QLatin1String>
#include <QString>
#include <QtGlobal>

#include <span>

#include "texttranslator.h"

// One action the unit can run, as the action editor offers it.
struct ActionEntry {
    qint16 code;
    QLatin1String text;  // Spanish text, the language table's key
    int suffix = kNoSuffix; // number shown after the translated text ("Ejecutar macro" 0)

    static constexpr int kNoSuffix = -1;
};

// Every action code the editor offers, in the order it lists them.
std::span<const ActionEntry> ActionCatalogue();

// The catalogue entry of a code; null for codes the catalogue lacks (0 included).
const ActionEntry *FindAction(qint16 code);

// A row of the action editor's lists: code, " - ", the translated text and
// then the number suffix ("1 - Ejecutar macro 0"). The code leads the row so
// that the row reads back as its code.
QString ActionRowText(const ActionEntry &entry, const TextTranslator &translate);
