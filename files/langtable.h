#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// The language table: base (Spanish) texts and their translations, kept in
// "Lang.txt" in the working directory. Unknown texts are appended to the file
// so that a translator can complete it.
//
// The file is Windows-1252 with CR LF. Line 0 names the languages, each
// further line is one entry; both are groups in braces: "{Velocidad}{Speed}".
class LangTable {
public:
    static constexpr int kMaxLines = 401;
    // Far more than 401 lines of translations ever need; a larger file is not read.
    static constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

    explicit LangTable(QString path = QStringLiteral("Lang.txt"));

    // Loads the table; false (and nothing translated) when the file is
    // missing, unreadable or longer than kMaxLines.
    bool Init();
    // Group pos (from 1) of line index; empty when there is no such group.
    QString GetString(int pos, int index) const;
    QString GetLangName(int langIndex) const;
    QString Translate(const QString &text);
    void AddNewEntry(const QString &text);
    void SaveLang();

    // Non-empty language names of line 0, in order: the choices of the language dialog.
    QStringList languageChoices() const;

    bool Loaded = false;
    qint16 LangSel = 0;

private:
    void indexEntry(int index);
    bool appendLastLine();
    QByteArray fileBytes(int from, int to) const;

    QString path_;
    QStringList Lines;
    int LineCount = 0;
    QString LangNames[6];
    // Group 1 of each line -> the first line holding it, so that a lookup
    // finds the same line as a search from line 0 would.
    QHash<QString, int> baseIndex_;
    // Size of the file while it holds exactly what SaveLang would write; -1 when unknown.
    qint64 fileSize_ = -1;
};

// The program's table. Windows translate through it; tests may install their own.
LangTable &Lang();
void setLang(LangTable *table);
QString Translate(const QString &text);
