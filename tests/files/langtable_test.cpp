#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "files/langtable.h"
#include "testfiles.h"

namespace {

// A private copy of a table file, so that appended entries stay in the test.
struct LangTableTest : ::testing::Test {
    LangTableTest()
    {
        original = readFile(testData("lang_three.txt"));
        writeFile(path, original);
    }
    LangTable loaded(qint16 langSel)
    {
        LangTable table(path);
        EXPECT_TRUE(table.Init());
        table.LangSel = langSel;
        return table;
    }

    QTemporaryDir dir;
    QString path = dir.filePath("Lang.txt");
    QByteArray original;
};

QByteArray numberedLines(int count)
{
    QByteArray bytes = "{Base}{Other}\r\n";
    for (int i = 1; i < count; ++i)
        bytes += "{Texto " + QByteArray::number(i) + "}{Text " + QByteArray::number(i) + "}\r\n";
    return bytes;
}

} // namespace

TEST_F(LangTableTest, TranslatesKnownTextsWithoutTouchingTheFile)
{
    const struct {
        qint16 langSel;
        QString text;
        QString expected;
    } cases[] = {
        {2, "Velocidad", "Speed"},
        {3, "Velocidad", "Vitesse"},
        {3, "Maestro", "Maestro"}, // no third group
        {0, "Velocidad", "Velocidad"},
        {1, "Velocidad", "Velocidad"},
        {1, "Nunca visto", "Nunca visto"}, // the base language records nothing
        {2, QString::fromUtf8("Español"), "English"}, // line 0 is searched like any entry
        {2, "Configuracion sonda 1Wire ", "1-Wire probe setup"},
        {2, "velocidad", "velocidad"}, // case matters: a new entry...
        {2, "velocidad", "velocidad"}, // ...recorded once
        {2, "", ""},
    };
    for (const auto &c : cases) {
        LangTable table = loaded(c.langSel);
        EXPECT_EQ(table.Translate(c.text), c.expected) << c.langSel << " " << c.text.toStdString();
    }
    EXPECT_EQ(readFile(path), original + "{velocidad}\r\n");
}

TEST_F(LangTableTest, RecordsUnknownTextsOnceAndFindsThemAfterwards)
{
    LangTable table = loaded(0);
    for (const char *text : {"Configuracion sonda 1Wire", "Sin llaves", "Nuevo", "Nuevo"})
        EXPECT_EQ(table.Translate(text), text);
    EXPECT_EQ(readFile(path), original + "{Configuracion sonda 1Wire}\r\n{Sin llaves}\r\n{Nuevo}\r\n");

    // Once a translator fills the new line in, a fresh start shows it.
    writeFile(path, readFile(path).replace("{Nuevo}", "{Nuevo}{New}"));
    LangTable restarted = loaded(2);
    EXPECT_EQ(restarted.Translate("Nuevo"), "New");
    EXPECT_EQ(restarted.Translate("Sin llaves"), "Sin llaves");
}

TEST_F(LangTableTest, NewEntryKeepsEveryEarlierLineWhateverHappenedToTheFile)
{
    const QByteArray expected = "{Uno}{One}\r\n{Dos}{Two}\r\n{Nuevo}\r\n";
    const struct {
        const char *name;
        QByteArray onDisk; // the file as Init reads it
        QByteArray afterInit; // what the file becomes before the new text; empty: unchanged
    } cases[] = {
        {"CR LF", "{Uno}{One}\r\n{Dos}{Two}\r\n", {}},
        {"LF only", "{Uno}{One}\n{Dos}{Two}\n", {}},
        {"no final line break", "{Uno}{One}\r\n{Dos}{Two}", {}},
        {"removed", "{Uno}{One}\r\n{Dos}{Two}\r\n", "-"},
        {"cut short", "{Uno}{One}\r\n{Dos}{Two}\r\n", "{Uno}{One}\r\n"},
    };
    for (const auto &c : cases) {
        writeFile(path, c.onDisk);
        LangTable table = loaded(2);
        if (c.afterInit == "-")
            QFile::remove(path);
        else if (!c.afterInit.isEmpty())
            writeFile(path, c.afterInit);
        EXPECT_EQ(table.Translate("Dos"), "Two") << c.name;
        EXPECT_EQ(table.Translate("Nuevo"), "Nuevo") << c.name;
        EXPECT_EQ(readFile(path), expected) << c.name;
    }
}

TEST_F(LangTableTest, TextsThatCannotBeOneEntryAreNotRecorded)
{
    LangTable table = loaded(2);
    for (const char *text : {"a}b", "dos\r\nlineas", "dos\nlineas"})
        EXPECT_EQ(table.Translate(text), text);
    EXPECT_EQ(readFile(path), original);
}

TEST_F(LangTableTest, GroupsAndLanguageNames)
{
    EXPECT_EQ(loaded(0).languageChoices(),
              QStringList({QString::fromUtf8("Español"), "English", QString::fromUtf8("Français")}));

    writeFile(path, "{Uno}{}{Tres\r\nx{a{b}y}z{c}\r\n");
    LangTable table = loaded(0);
    const struct {
        int pos, index;
        QString expected;
    } cases[] = {
        {1, 0, "Uno"}, {2, 0, ""}, {3, 0, "Tres"}, {4, 0, ""}, {0, 0, ""},
        {1, 1, "a{b"}, {2, 1, "c"}, {1, 2, ""}, {1, 401, ""}, {1, -1, ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(table.GetString(c.pos, c.index), c.expected) << c.pos << "," << c.index;
    EXPECT_EQ(table.languageChoices(), QStringList({"Uno", "Tres"}));
}

TEST_F(LangTableTest, LineLimit)
{
    // Full: translations work, new texts are shown but not recorded.
    writeFile(path, numberedLines(LangTable::kMaxLines));
    LangTable full = loaded(2);
    EXPECT_EQ(full.Translate("Texto 400"), "Text 400");
    EXPECT_EQ(full.Translate("Otro"), "Otro");
    EXPECT_EQ(full.Translate(""), "");
    EXPECT_EQ(readFile(path), numberedLines(LangTable::kMaxLines));

    // One line too many: nothing is loaded, translated or written.
    writeFile(path, numberedLines(LangTable::kMaxLines + 1));
    LangTable over(path);
    EXPECT_FALSE(over.Init());
    over.LangSel = 2;
    EXPECT_EQ(over.Translate("Texto 1"), "Texto 1");
    over.AddNewEntry("Otro");
    over.SaveLang();
    EXPECT_EQ(readFile(path), numberedLines(LangTable::kMaxLines + 1));
}

TEST_F(LangTableTest, MissingFileLeavesTextsUntranslated)
{
    LangTable table(dir.filePath("none.txt"));
    EXPECT_FALSE(table.Init());
    EXPECT_FALSE(table.Loaded);
    table.LangSel = 2;
    EXPECT_EQ(table.Translate("Velocidad"), "Velocidad");
    EXPECT_TRUE(table.languageChoices().isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath("none.txt")));
#ifdef Q_OS_LINUX
    // Opens, but its first read fails.
    EXPECT_FALSE(LangTable(QStringLiteral("/proc/self/mem")).Init());
#endif
}

TEST_F(LangTableTest, ShippedTableIsReadOnlyWhenTheWorkingFolderHasNone)
{
    QTemporaryDir working;
    const QString own = working.filePath("Lang.txt");
    LangTable shipped(own, {working.filePath("absent"), dir.path()});
    ASSERT_TRUE(shipped.Init());
    EXPECT_EQ(shipped.filePath(), QDir(dir.path()).filePath("Lang.txt"));
    shipped.LangSel = 2;
    EXPECT_EQ(shipped.Translate("Velocidad"), "Speed");
    EXPECT_EQ(shipped.Translate("Nuevo texto"), "Nuevo texto");
    shipped.SaveLang();
    EXPECT_EQ(readFile(path), original);
    EXPECT_FALSE(QFile::exists(own));

    // A table in the working folder comes first, and is the one completed.
    writeFile(own, "{Base}{Other}\r\n");
    LangTable local(own, {dir.path()});
    ASSERT_TRUE(local.Init());
    local.LangSel = 2;
    EXPECT_EQ(local.Translate("Velocidad"), "Velocidad");
    EXPECT_EQ(readFile(own), "{Base}{Other}\r\n{Velocidad}\r\n");
    EXPECT_EQ(readFile(path), original);
}

TEST_F(LangTableTest, ProgramWideTableCanBeReplaced)
{
    LangTable table = loaded(2);
    setLang(&table);
    EXPECT_EQ(Translate("Velocidad"), "Speed");
    setLang(nullptr);
    EXPECT_NE(&Lang(), &table);
}
