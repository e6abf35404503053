#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <functional>
#include <memory>

// Tells the windows that the operator chose another language, so that they
// show their captions again.
class LanguageNotifier : public QObject {
    Q_OBJECT
signals:
    void languageChanged();
};

// The language table: base (Spanish) texts and their translations, kept in
// "Lang.txt" in the working directory. Unknown texts are appended to the file
// so that a translator can complete it. Without a table in the working
// directory, the one shipped with the program is read; it is never written.
//
// The file is Windows-1252 with CR LF. Line 0 names the languages, each
// further line is one entry; both are groups in braces: "{Velocidad}{Speed}".
class LangTable {
public:
    // Line 0 and the entries. The complete table of every window holds several
    // hundred entries; the cap only keeps a runaway file out of memory.
    static constexpr int kMaxLines = 4001;
    // Far more than kMaxLines lines of translations ever need; a larger file is not read.
    static constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

    // The program's table: "Lang.txt" in the working directory, else the
    // shipped one of shippedFolders().
    LangTable();
    // The table at path, else (read only) the file of that name in the first
    // of shippedFolders that has one.
    explicit LangTable(QString path, QStringList shippedFolders = {});

    // Where the program's own table is shipped: beside the program, then its
    // installed data folder.
    static QStringList shippedFolders();

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
    // The file read by Init (empty before, or when none was found).
    QString filePath() const { return readPath_; }

    // Called with every text passed to Translate, whatever the language;
    // lets a check collect the texts the program translates.
    std::function<void(const QString &text)> lookedUp;

    // Makes number the language in use; the notifier tells so when it differs.
    void selectLanguage(qint16 number);
    const LanguageNotifier *notifier() const { return notifier_.get(); }

    bool Loaded = false;
    qint16 LangSel = 0;

private:
    QString findFile() const;
    bool ownsFile() const { return readPath_ == path_; }
    void indexEntry(int index);
    bool appendLastLine();
    QByteArray fileBytes(int from, int to) const;

    QString path_;
    QStringList shipped_;
    // The file Init read; new texts are written back only to path_ itself.
    QString readPath_;
    QStringList Lines;
    int LineCount = 0;
    QString LangNames[6];
    // Group 1 of each line -> the first line holding it, so that a lookup
    // finds the same line as a search from line 0 would.
    QHash<QString, int> baseIndex_;
    // Size of the file while it holds exactly what SaveLang would write; -1 when unknown.
    qint64 fileSize_ = -1;
    std::unique_ptr<LanguageNotifier> notifier_ = std::make_unique<LanguageNotifier>();
};

// The program's table. Windows translate through it; tests may install their own.
LangTable &Lang();
void setLang(LangTable *table);
QString Translate(const QString &text);

// Runs slot on receiver whenever the program's table changes language.
template <typename Receiver, typename Slot> void onLanguageChange(Receiver *receiver, Slot slot)
{
    QObject::connect(Lang().notifier(), &LanguageNotifier::languageChanged, receiver, std::move(slot));
}
