#pragma once

#include <QByteArray>
#include <QString>

// An INI file held in memory, with the semantics the configuration files have
// always had: section and key names match without regard to case and keep the
// case first written; writing updates a key in place, appends a missing key at
// the end of its section and a missing section at the end of the file; every
// other line stays as it was. Reading trims blanks, drops one pair of enclosing
// quotes and cuts values to 254 characters. The file is Windows-1252 with CR LF;
// LF-only files are read too.
class IniDocument {
public:
    static constexpr int kMaxValueLength = 254;

    // Reads a whole file. A missing file gives an empty document and true;
    // a file that cannot be read, is not text or is too large gives false.
    bool load(const QString &path, QString *error = nullptr);
    // Writes the whole document atomically (temporary file, flush, rename).
    bool save(const QString &path, QString *error = nullptr) const;

    void parse(const QByteArray &bytes);
    QByteArray serialize() const;

    QString readValue(const QString &section, const QString &key) const;
    void writeValue(const QString &section, const QString &key, const QString &value);
    bool hasSection(const QString &section) const;
};
