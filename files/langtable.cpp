#include "langtable.h"
// Placeholder bodies until the language table lands.
LangTable::LangTable(QString path) : path_(std::move(path)) {}
bool LangTable::Init() { return false; }
QString LangTable::GetString(int, int) const { return {}; }
QString LangTable::GetLangName(int) const { return {}; }
QString LangTable::Translate(const QString &text) { return text; }
void LangTable::AddNewEntry(const QString &) {}
void LangTable::SaveLang() {}
QStringList LangTable::languageChoices() const { return {}; }
static LangTable *g_lang = nullptr;
LangTable &Lang() { static LangTable table; return g_lang ? *g_lang : table; }
void setLang(LangTable *table) { g_lang = table; }
QString Translate(const QString &text) { return Lang().Translate(text); }
