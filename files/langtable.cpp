#include "langtable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "atomicsave.h"
#include "model/cp1252.h"
#include "textlines.h"

LangTable::LangTable() : LangTable(QStringLiteral("Lang.txt"), shippedFolders()) {}

LangTable::LangTable(QString path, QStringList shippedFolders)
    : path_(std::move(path)), shipped_(std::move(shippedFolders)), Lines(kMaxLines)
{
}

QStringList LangTable::shippedFolders()
{
    if (!QCoreApplication::instance())
        return {};
    const QString program = QCoreApplication::applicationDirPath();
    return {program, QDir::cleanPath(program + QStringLiteral("/" VELKAN_DATA_FROM_PROGRAM))};
}

QString LangTable::findFile() const
{
    if (QFileInfo::exists(path_))
        return path_;
    const QString name = QFileInfo(path_).fileName();
    for (const QString &folder : shipped_) {
        const QString shipped = QDir(folder).filePath(name);
        if (QFileInfo::exists(shipped))
            return shipped;
    }
    return {};
}

bool LangTable::Init()
{
    Loaded = false;
    Lines = QStringList(kMaxLines);
    LineCount = 0;
    fileSize_ = -1;
    baseIndex_.clear();
    for (QString &name : LangNames)
        name.clear();

    readPath_ = findFile();
    QFile file(readPath_);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.read(kMaxFileSize + 1);
    // A failed read is no empty table: the first new text would rewrite the file without its entries.
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxFileSize)
        return false;
    const QString text = Cp1252::decode(bytes);
    const QList<QStringView> lines = textLines(text);
    if (lines.size() > kMaxLines)
        return false;

    for (const QStringView line : lines) {
        Lines[LineCount] = line.toString();
        indexEntry(LineCount++);
    }
    Loaded = true;
    fileSize_ = bytes == fileBytes(0, LineCount) ? bytes.size() : -1;
    for (int k = 0; k < 6; ++k)
        LangNames[k] = GetLangName(k);
    return true;
}

QString LangTable::GetString(int pos, int index) const
{
    if (pos <= 0 || index < 0 || index >= Lines.size())
        return {};
    const QString &line = Lines[index];
    qsizetype from = 0;
    for (int count = 1;; ++count) {
        const qsizetype open = line.indexOf(u'{', from);
        if (open < 0)
            return {};
        qsizetype close = line.indexOf(u'}', open + 1);
        if (close < 0)
            close = line.size();
        if (count == pos)
            return line.mid(open + 1, close - open - 1);
        from = close + 1;
    }
}

QString LangTable::GetLangName(int langIndex) const
{
    return GetString(langIndex, 0);
}

QString LangTable::Translate(const QString &text)
{
    if (lookedUp)
        lookedUp(text);
    if (!Loaded || LangSel == 1)
        return text;
    const auto it = baseIndex_.constFind(text);
    if (it == baseIndex_.cend()) {
        // The free line after the last one takes part in the search too; being
        // empty, it matches only the empty text, which therefore is never recorded.
        if (!text.isEmpty())
            AddNewEntry(text);
        return text;
    }
    const QString translated = GetString(LangSel, *it);
    return translated.isEmpty() ? text : translated;
}

void LangTable::AddNewEntry(const QString &text)
{
    if (!Loaded || LineCount >= kMaxLines)
        return;
    // A text that cannot be one group of one line would never be found again,
    // and recording it at every lookup would only fill the table.
    if (text.contains(u'}') || text.contains(u'\r') || text.contains(u'\n'))
        return;
    Lines[LineCount] = u'{' + text + u'}';
    indexEntry(LineCount++);
    if (!ownsFile())
        return;
    // While the file holds exactly the earlier lines, adding the new one at its
    // end gives the same file as rewriting it all, without a synced rewrite for
    // every new text (a first start can meet hundreds of them).
    if (!appendLastLine())
        SaveLang();
}

void LangTable::SaveLang()
{
    // Only a table that was read may replace the file, and only its own.
    if (!Loaded || !ownsFile())
        return;
    const QByteArray bytes = fileBytes(0, LineCount);
    QString error;
    const bool saved = SaveWholeFile(path_, bytes, &error);
    fileSize_ = saved ? bytes.size() : -1;
    if (!saved)
        qWarning("Cannot write the language table %s: %s", qPrintable(path_), qPrintable(error));
}

bool LangTable::appendLastLine()
{
    QFile file(path_);
    if (fileSize_ < 0 || !file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::ExistingOnly)
        || file.size() != fileSize_)
        return false;
    const QByteArray bytes = fileBytes(LineCount - 1, LineCount);
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    fileSize_ = written ? fileSize_ + bytes.size() : -1;
    return written;
}

QByteArray LangTable::fileBytes(int from, int to) const
{
    QString text;
    for (int i = from; i < to; ++i)
        text += Lines[i] + QStringLiteral("\r\n");
    return Cp1252::encode(text);
}

QStringList LangTable::languageChoices() const
{
    QStringList names;
    for (const QString &name : LangNames) {
        if (!name.isEmpty())
            names.append(name);
    }
    return names;
}

void LangTable::indexEntry(int index)
{
    const QString base = GetString(1, index);
    if (!baseIndex_.contains(base))
        baseIndex_.insert(base, index);
}

void LangTable::selectLanguage(qint16 number)
{
    if (number == LangSel)
        return;
    LangSel = number;
    emit notifier_->languageChanged();
}

static LangTable *g_lang = nullptr;

LangTable &Lang()
{
    static LangTable table;
    return g_lang ? *g_lang : table;
}

void setLang(LangTable *table)
{
    g_lang = table;
}

QString Translate(const QString &text)
{
    return Lang().Translate(text);
}
