#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

#include "filefailure.h"

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
    // Configuration files are a few hundred kilobytes; anything far larger is not one.
    static constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

    IniDocument();

    // Reads a whole file. A missing file gives an empty document and true;
    // a file that cannot be read, is not text or is too large gives false
    // and an empty document.
    bool load(const QString &path, FileFailure *failure = nullptr);
    // Writes the whole document atomically (temporary file, flush, rename):
    // on failure the previous file is left as it was.
    bool save(const QString &path, FileFailure *failure = nullptr) const;

    void parse(const QByteArray &bytes);
    QByteArray serialize() const;

    // The value, or the empty text when the section or the key is missing.
    QString readValue(const QString &section, const QString &key) const;
    // A line break in the value becomes a blank: a value always stays on its key's line.
    void writeValue(const QString &section, const QString &key, const QString &value);
    bool hasSection(const QString &section) const;
    bool hasKey(const QString &section, const QString &key) const;

    // The names of the sections, in file order (a repeated section once).
    QStringList sectionNames() const;
    // The keys of a section with their values as readValue gives them, in file
    // order (a repeated key once); empty when the section is missing.
    QList<std::pair<QString, QString>> keyValues(const QString &section) const;

private:
    // A section or key name as a hash key that ignores letter case.
    struct Name {
        QString text;
        size_t hash(size_t seed) const;
        friend bool operator==(const Name &a, const Name &b)
        {
            return a.text.compare(b.text, Qt::CaseInsensitive) == 0;
        }
        friend size_t qHash(const Name &name, size_t seed) { return name.hash(seed); }
    };
    // An index into a list; -1 until set, so that one hash look-up both finds and adds.
    struct Slot {
        int index = -1;
    };
    struct Section {
        QString header; // the "[name]" line as found or written
        QStringList lines; // the lines below the header, up to the next section
        QHash<Name, Slot> keys; // key name -> index in lines (first occurrence)
        int lastKey = -1; // index of the last key line
    };

    const QString *findLine(const QString &section, const QString &key) const;
    int addSection(const QString &header);
    static void addLine(Section &section, const QString &line);
    static void setValue(QString &line, const QString &value);

    // sections_[0] holds the lines before the first header.
    std::vector<Section> sections_;
    QHash<Name, Slot> sectionIndex_; // name -> first section of that name
};
