#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// The language table: base (Spanish) texts and their translations, kept in
// "Lang.txt" in the working directory. Unknown texts are appended to the file
// so that a translator can complete it.
class LangTable {
public:
    static constexpr int kMaxLines = 401;

    explicit LangTable(QString path = QStringLiteral("Lang.txt"));

    bool Init();
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
    QString path_;
    QStringList Lines;
    int LineCount = 0;
    QString LangNames[6];
};

// The program's table. Windows translate through it; tests may install their own.
LangTable &Lang();
void setLang(LangTable *table);
QString Translate(const QString &text);
