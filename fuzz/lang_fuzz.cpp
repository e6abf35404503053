// An arbitrary language table: read from its file, then every base text of it
// and a text it lacks looked up in each language.
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include "files/langtable.h"

namespace {
QString tablePath()
{
    static QTemporaryDir folder;
    return folder.filePath(QStringLiteral("Lang.txt"));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    {
        QFile file(tablePath());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    LangTable table(tablePath());
    if (!table.Init())
        return 0;
    table.languageChoices();
    const QString absent = QStringLiteral("Texto nuevo");
    for (qint16 language = 0; language <= 6; ++language) {
        table.LangSel = language;
        table.GetLangName(language);
        for (int index = 0; index < 64; ++index)
            table.Translate(table.GetString(1, index));
        table.Translate(absent);
    }
    return 0;
}
