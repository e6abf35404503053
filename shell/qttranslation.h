#pragma once

#include <QLocale>

class LangTable;

// Qt's own texts (file dialogs, standard buttons) in the language the
// program shows, from the translations shipped with Qt.
namespace QtTranslation {

// The language a table's language name stands for ("Español", "English",
// "Français"...), by its English or its own name; AnyLanguage when unknown.
QLocale::Language languageNamed(const QString &name);

// The language of lang.LangSel; the base language when none is chosen.
QLocale::Language languageInUse(const LangTable &lang);

// Loads Qt's translation for the language in use, replacing the one loaded
// before; Qt keeps its own English when there is none.
void follow(const LangTable &lang);

} // namespace QtTranslation
