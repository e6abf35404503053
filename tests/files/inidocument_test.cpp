#include <gtest/gtest.h>

#include <QDir>
#include <QLocale>
#include <QTemporaryDir>

#include "files/inidocument.h"
#include "model/texthelpers.h"
#include "testfiles.h"

namespace {

IniDocument parsed(const QByteArray &bytes)
{
    IniDocument doc;
    doc.parse(bytes);
    return doc;
}

} // namespace

TEST(IniDocument, WritesIntoExistingFileKeepingEverythingElse)
{
    IniDocument doc;
    ASSERT_TRUE(doc.load(testData("ini_foreign.qcf")));
    doc.writeValue("GENERAL", "dname", "Tanque");   // in place, keeps "[General]" and "DNAME"
    doc.writeValue("General", "PIN", " 1234");      // after the section's last key
    doc.writeValue("caudal 0", "UNIDAD", "m3");     // at the end of the last section
    doc.writeValue("GPRS", "APN", "");              // new section at the end, empty value kept

    EXPECT_EQ(doc.serialize(),
              QByteArray("; Saved by hand\r\n"
                         "[General]\r\n"
                         "VERSION=VELKAN_SARN\r\n"
                         "DNAME=Tanque\r\n"
                         "PIN= 1234\r\n"
                         "; end of general\r\n"
                         "\r\n"
                         "[Extra]\r\n"
                         "FOO = \"a\xf1" "ejo\"\r\n"
                         "\r\n"
                         "[CAUDAL 0]\r\n"
                         "NOMBRE=Entrada\r\n"
                         "UNIDAD=m3\r\n"
                         "[GPRS]\r\n"
                         "APN=\r\n"));
    EXPECT_EQ(doc.readValue("Extra", "Foo"), QString::fromUtf8("añejo"));
}

TEST(IniDocument, SavingTwiceKeepsOneCopyOfEachKey)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("twice.qcf");
    for (const char *value : {" 1", " 2.5"}) {
        IniDocument doc;
        ASSERT_TRUE(doc.load(path));
        doc.writeValue("General", "VERSION", "VELKAN_SARN");
        doc.writeValue("CAUDAL 0", "FACTOR", value);
        ASSERT_TRUE(doc.save(path));
    }
    EXPECT_EQ(readFile(path), QByteArray("[General]\r\nVERSION=VELKAN_SARN\r\n"
                                         "[CAUDAL 0]\r\nFACTOR= 2.5\r\n"));
}

TEST(IniDocument, NamesMatchWithoutCaseButKeepInnerBlanks)
{
    const IniDocument doc = parsed("[GENERAL]\nVersion=A\n[1wire 3]\nNOMBRE=Sonda\n");
    EXPECT_EQ(doc.readValue("General", "VERSION"), "A");
    EXPECT_EQ(doc.readValue("general", "version"), "A");
    EXPECT_EQ(doc.readValue("1WIRE 3", "nombre"), "Sonda");
    EXPECT_EQ(doc.readValue("1WIRE3", "NOMBRE"), "");
    EXPECT_FALSE(doc.hasSection("1WIRE3"));
    EXPECT_FALSE(doc.hasKey("1WIRE 3", "UNIDAD"));
}

TEST(IniDocument, FirstOfRepeatedSectionsAndKeysWins)
{
    IniDocument doc = parsed("[A]\n  k = 1\nK=2\n[a]\nK=3\n");
    EXPECT_EQ(doc.readValue("A", "K"), "1");
    doc.writeValue("A", "K", "9");
    doc.writeValue("a", "K", "10"); // the key keeps the case it was first written in
    EXPECT_EQ(doc.serialize(), QByteArray("[A]\r\nk=10\r\nK=2\r\n[a]\r\nK=3\r\n"));
}

TEST(IniDocument, ReadsValuesTrimmedUnquotedAndCut)
{
    const QString longValue(300, QLatin1Char('x'));
    const struct {
        QByteArray line;
        QString value;
    } cases[] = {
        {"K= .5", ".5"},
        {"  k  =  a b  ", "a b"},
        {"K=", ""},
        {"K=a=b", "a=b"},
        {"K=\"quoted \"", "quoted "},
        {"K='single'", "single"},
        {"K=\"\"", ""},
        {"K=\"mixed'", "\"mixed'"},
        {"K=\"", "\""},
        {"K=\"\"twice\"\"", "\"twice\""},
        {"K=True", "True"},
        {"K=" + longValue.toLatin1(), longValue.left(254)},
        {"K=\"" + longValue.toLatin1() + "\"", longValue.left(254)},
        {"; K=comment", ""},
        {"K", ""},
    };
    for (const auto &c : cases) {
        const IniDocument doc = parsed("[S]\r\n" + c.line + "\r\n");
        EXPECT_EQ(doc.readValue("S", "K"), c.value) << c.line.constData();
    }
}

TEST(IniDocument, ValueConventionsSurviveTheFile)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); // decimal comma
    IniDocument doc;
    doc.writeValue("S", "HALF", NumStr(0.5f));
    doc.writeValue("S", "ON", BoolText(true));
    doc.writeValue("S", "LOWER", "true");
    doc.writeValue("S", "EMPTY", "");
    QLocale::setDefault(previous);

    EXPECT_EQ(doc.serialize(), QByteArray("[S]\r\nHALF= .5\r\nON=True\r\nLOWER=true\r\nEMPTY=\r\n"));
    const IniDocument back = parsed(doc.serialize());
    EXPECT_EQ(ParseNumber(back.readValue("S", "HALF")), 0.5);
    EXPECT_TRUE(TextBool(back.readValue("S", "ON")));
    EXPECT_FALSE(TextBool(back.readValue("S", "LOWER")));
    EXPECT_TRUE(back.hasKey("S", "EMPTY"));
    EXPECT_EQ(back.readValue("S", "EMPTY"), "");
    EXPECT_EQ(ParseNumber(back.readValue("S", "MISSING")), 0.0);
}

TEST(IniDocument, ValueWithLineBreakStaysOnItsLine)
{
    IniDocument doc;
    doc.writeValue("S", "NOMBRE", "a\r\n[General]\nVERSION=X");
    const IniDocument back = parsed(doc.serialize());
    EXPECT_EQ(back.readValue("S", "NOMBRE"), "a  [General] VERSION=X");
    EXPECT_FALSE(back.hasSection("General"));
}

TEST(IniDocument, WritesAndReadsWindows1252)
{
    IniDocument doc;
    doc.writeValue("S", "NOMBRE", QString::fromUtf8("Depósito €"));
    EXPECT_EQ(doc.serialize(), QByteArray("[S]\r\nNOMBRE=Dep\xf3sito \x80\r\n"));
    EXPECT_EQ(parsed(doc.serialize()).readValue("S", "NOMBRE"), QString::fromUtf8("Depósito €"));
    // A character the code page lacks is one '?', even beyond 16 bits.
    doc.writeValue("S", "UNIDAD", QString::fromUtf8("m\u00b3 \U0001F4A7"));
    EXPECT_EQ(parsed(doc.serialize()).readValue("S", "UNIDAD"), QString::fromUtf8("m\u00b3 ?"));
}

TEST(IniDocument, KeyAddedToSectionWithoutKeysGoesBeforeTrailingBlanks)
{
    IniDocument doc = parsed("[A]\n; note\n\n[B]\n");
    doc.writeValue("A", "K", "1");
    EXPECT_EQ(doc.serialize(), QByteArray("[A]\r\n; note\r\nK=1\r\n\r\n[B]\r\n"));
}

TEST(IniDocument, LoadTreatsMissingFileAsEmptyAndRefusesNonText)
{
    QTemporaryDir dir;
    IniDocument doc;
    FileFailure error;
    EXPECT_TRUE(doc.load(dir.filePath("missing.qcf"), &error));
    EXPECT_FALSE(doc.hasSection("General"));

    const QString binary = dir.filePath("binary.qcf");
    writeFile(binary, QByteArray("[General]\r\nVERSION=VELKAN_SARN\r\n\0\x01", 35));
    EXPECT_FALSE(doc.load(binary, &error));
    EXPECT_EQ(error.problem, FileProblem::NotText);
    EXPECT_FALSE(doc.hasSection("General"));

    const QString huge = dir.filePath("huge.qcf");
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(IniDocument::kMaxFileSize + 1));
    }
    EXPECT_FALSE(doc.load(huge, &error));
    EXPECT_EQ(error.problem, FileProblem::TooLarge);

    EXPECT_FALSE(doc.load(dir.path(), &error)); // a folder is not a file
#ifdef Q_OS_LINUX
    // Opens, but its first read fails: not to be taken for an empty file.
    EXPECT_FALSE(doc.load(QStringLiteral("/proc/self/mem"), &error));
#endif
}

TEST(IniDocument, FailedSaveLeavesOldFileAndSaysWhy)
{
    QTemporaryDir dir;
    // The name fits, but a temporary file beside it with a suffix does not.
    const QString path = dir.filePath(QString(250, QLatin1Char('c')) + ".qcf");
    writeFile(path, "[General]\r\nVERSION=OLD\r\n");
    ASSERT_EQ(readFile(path), QByteArray("[General]\r\nVERSION=OLD\r\n"));

    IniDocument doc;
    doc.writeValue("General", "VERSION", "NEW");
    FileFailure error;
    EXPECT_FALSE(doc.save(path, &error));
    EXPECT_EQ(error.problem, FileProblem::Unwritable);
    EXPECT_FALSE(error.detail.isEmpty());
    EXPECT_EQ(readFile(path), QByteArray("[General]\r\nVERSION=OLD\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

    EXPECT_FALSE(doc.save(dir.filePath("no/such/folder.qcf"), &error));
    EXPECT_EQ(error.problem, FileProblem::Unwritable);
}
