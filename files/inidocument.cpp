#include "inidocument.h"
// Placeholder bodies until the INI layer lands.
bool IniDocument::load(const QString &, QString *) { return false; }
bool IniDocument::save(const QString &, QString *) const { return false; }
void IniDocument::parse(const QByteArray &) {}
QByteArray IniDocument::serialize() const { return {}; }
QString IniDocument::readValue(const QString &, const QString &) const { return {}; }
void IniDocument::writeValue(const QString &, const QString &, const QString &) {}
bool IniDocument::hasSection(const QString &) const { return false; }
