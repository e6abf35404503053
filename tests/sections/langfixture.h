#pragma once

#include <QFile>
#include <QTemporaryDir>

#include "files/langtable.h"
#include "model/cp1252.h"

// A language table for a window test: the given "{Spanish}{English}" lines,
// English selected, installed as the program's table while the object lives.
class EnglishTable {
public:
    explicit EnglishTable(const QStringList &entries = {})
        : table_(dir_.filePath(QStringLiteral("Lang.txt")))
    {
        QFile file(dir_.filePath(QStringLiteral("Lang.txt")));
        if (file.open(QIODevice::WriteOnly)) {
            file.write(Cp1252::encode(QStringLiteral("{Español}{English}\r\n")));
            for (const QString &entry : entries)
                file.write(Cp1252::encode(entry + QStringLiteral("\r\n")));
        }
        file.close();
        table_.Init();
        table_.LangSel = 2;
        setLang(&table_);
    }
    ~EnglishTable() { setLang(nullptr); }

private:
    QTemporaryDir dir_;
    LangTable table_;
};
