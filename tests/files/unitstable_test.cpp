#include <gtest/gtest.h>

#include "files/inidocument.h"
#include "files/sectionregistry.h"
#include "files/unitstable.h"
#include "model/product.h"
#include "sections/sectionlist.h"
#include "testfiles.h"

namespace {

class UnitsTableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        registerSections(registry);
        ASSERT_TRUE(templ.load(testData("rich_config.qcf")));
        known = knownFileKeys(templ, registry);
    }

    UnitsTable parse(const QByteArray &bytes) const { return UnitsTable::parse(bytes, known); }
    QList<UnitsTableFault> check(const QByteArray &bytes) const
    {
        return checkUnitsTable(parse(bytes), templ, registry);
    }

    SectionRegistry registry;
    IniDocument templ;
    QStringList known;
};

// Aliases and "Section.KEY" columns in either separator and either encoding:
// each row's document holds the template with that row's cells over it. (A
// comma never reaches the unit inside a text, so only the semicolon table
// quotes its separator.)
TEST_F(UnitsTableTest, ReadsColumnsSeparatorsAndEncodings)
{
    struct Case {
        const char *what;
        QByteArray bytes;
        QString name; // General.NOMBRE of the second unit
    };
    const QList<Case> cases = {
        {"comma, UTF-8 with a byte-order mark",
         "\xEF\xBB\xBFserial,name,GPRS.APN_SERVER,retry_time\r\nVS-1,Dep\xC3\xB3sito 1,apn.one,20\r\nVS-2,\"Norte \"\"2\"\"\",,\r\n",
         QStringLiteral("Norte \"2\"")},
        {"semicolon, Windows-1252", "serial;NAME;gprs.apn_server;RETRY_TIME\nVS-1;Dep\xF3sito 1;apn.one;20\nVS-2;\"Norte; \"\"2\"\"\";;\n",
         QStringLiteral("Norte; \"2\"")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const UnitsTable table = parse(c.bytes);
        EXPECT_TRUE(checkUnitsTable(table, templ, registry).isEmpty());
        ASSERT_EQ(table.rows().size(), 2);
        ASSERT_NE(table.find("VS-1"), nullptr);
        const IniDocument first = table.unitDocument(templ, *table.find("VS-1"));
        EXPECT_EQ(first.readValue("General", "NOMBRE"), QString::fromUtf8("Dep\xC3\xB3sito 1"));
        EXPECT_EQ(first.readValue("GPRS", "APN_SERVER"), "apn.one");
        EXPECT_EQ(first.readValue("General", "RENVT"), "20");
        // Empty cells keep the template's values.
        const IniDocument second = table.unitDocument(templ, *table.find("VS-2"));
        EXPECT_EQ(second.readValue("General", "NOMBRE"), c.name);
        EXPECT_EQ(second.readValue("GPRS", "APN_SERVER"), "internet.example");
        EXPECT_EQ(second.readValue("General", "RENVT"), "15");
        EXPECT_EQ(second.readValue("GPRS", "APN_USER"), "velkan");
    }
}

// Every fault is listed with its line and column, in table order.
TEST_F(UnitsTableTest, ListsEveryFaultWithLineAndColumn)
{
    struct Case {
        const char *what;
        QByteArray bytes;
        QList<std::pair<int, int>> at; // line, column
        const char *words;             // in the first fault's message
    };
    const QList<Case> cases = {
        {"unknown columns", "serial,name,General.NOSUCH,colour\nVS-1,a,b,c\n", {{1, 3}, {1, 4}}, "unknown column"},
        {"a key set twice", "serial,name,General.NOMBRE\nVS-1,a,b\n", {{1, 3}}, "already"},
        {"duplicate serial", "serial,name\nVS-1,a\nVS-2,b\nVS-1,c\n", {{4, 1}}, "line 2"},
        {"no serial", "serial,name\n,a\n", {{2, 1}}, "no serial"},
        {"a cell past the last column", "serial,name\nVS-1,a,b\n", {{2, 3}}, "past the last"},
        {"bad numbers", "serial,retry_time,retry_count\nVS-1,ten,4\nVS-2,20,-x\n", {{2, 2}, {3, 3}}, "\"ten\""},
        {"a text across lines", "serial,name,apn\nVS-1,\"one\ntwo\",x\nVS-2,b,y\n", {{2, 2}}, "control character (LF)"},
        {"a separator in a text", "serial,name,apn\nVS-1,\"Bomba,NC\",x\nVS-2,b,y\n", {{2, 2}}, "cannot carry"},
        {"the empty table", "", {{1, 0}}, "empty"},
        {"a header without units", "serial,name\r\n,,\r\n", {{2, 0}}, "empty"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QList<UnitsTableFault> faults = check(c.bytes);
        QList<std::pair<int, int>> at;
        for (const UnitsTableFault &f : faults)
            at << std::pair(f.line, f.column);
        EXPECT_EQ(at, c.at);
        if (!faults.isEmpty())
            EXPECT_TRUE(faults.first().message.contains(QString::fromUtf8(c.words))) << qPrintable(faults.first().message);
    }
}

// The column of phone numbers for calls through a modem sets no key; each
// row needs a number, and the table the column.
TEST_F(UnitsTableTest, ANumberColumnSetsNoKey)
{
    const UnitsTable table = UnitsTable::parse("serial,Phone,name\nVS-1, +34600111001 ,a\nVS-2,,b\n", known, "phone");
    const QList<UnitsTableFault> faults = checkUnitsTable(table, templ, registry);
    ASSERT_EQ(faults.size(), 1);
    EXPECT_EQ(std::pair(faults.at(0).line, faults.at(0).column), std::pair(3, 2));
    ASSERT_NE(table.find("VS-1"), nullptr);
    EXPECT_EQ(table.number(*table.find("VS-1")), "+34600111001");
    EXPECT_EQ(table.unitDocument(templ, *table.find("VS-1")).sectionNames(), templ.sectionNames());

    const UnitsTable without = UnitsTable::parse("serial,name\nVS-1,a\n", known, "phone");
    ASSERT_EQ(without.faults().size(), 1);
    EXPECT_EQ(without.faults().at(0).line, 1);
}

// Rows a spreadsheet leaves empty (";;;;" inside the table, ",,,," after
// it, in either separator whatever the table uses) and empty lines before the
// header are no units, and shift no line number.
TEST_F(UnitsTableTest, RowsOfEmptyCellsAreNoRows)
{
    struct Case {
        const char *what;
        QByteArray bytes;
        int secondLine;
    };
    const QList<Case> cases = {
        {"semicolons", "serial;name;retry_time\r\nVS-1;a;20\r\n;;\r\n; ;\"\"\r\nVS-2;b;30\r\n;;\r\n;;\r\n", 5},
        {"comma rows in a semicolon table, an empty first line",
         "\r\nserial;name;retry_time\r\nVS-1;a;20\r\n,,\r\n\",\",\r\nVS-2;b;30\r\n,,\r\n", 6},
        {"semicolon rows in a comma table", "serial,name,retry_time\nVS-1,a,20\n;;\n\" ; \"\nVS-2,b,30\n;;\n", 5},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const UnitsTable table = parse(c.bytes);
        EXPECT_TRUE(checkUnitsTable(table, templ, registry).isEmpty());
        ASSERT_EQ(table.rows().size(), 2);
        EXPECT_EQ(table.rows().at(1).serial, "VS-2");
        EXPECT_EQ(table.rows().at(1).line, c.secondLine);
        EXPECT_EQ(table.unitDocument(templ, table.rows().at(1)).readValue("General", "RENVT"), "30");
    }
}

// Every cell ends up in a line to the unit or, for the number, in the modem's
// dial command: a control character anywhere, or anything but dial digits in
// a number, is a fault at its cell.
TEST_F(UnitsTableTest, CellsThatWouldReachTheModemOrTheUnitAreChecked)
{
    struct Case {
        const char *what;
        QByteArray row; // after "serial,phone,name"
        QList<std::pair<int, int>> at;
        const char *words;
    };
    const QList<Case> cases = {
        {"every dial character", "VS-1,\"+34*600#11,2p3w4P5W\",a", {}, ""},
        {"a command after a CR in the number", "VS-1,\"600111222\rAT&F\",a", {{2, 2}}, "control character (CR)"},
        {"letters in the number", "VS-1,600ABC;AT,a", {{2, 2}}, "\"600ABC;AT\" is not a number the modem can dial"},
        {"spaces in the number", "VS-1,600 111 222,a", {{2, 2}}, "not a number"},
        {"an escape in a name", "VS-1,600111222,a\x1B[2Jb", {{2, 3}}, "control character (U+001B)"},
        {"a tab in the serial", "VS\t1,600111222,a", {{2, 1}}, "control character (TAB)"},
        {"characters the unit cannot hold", "VS-1,600111222,a\xE2\x80\xA8" "b\xE2\x80\xAE", {{2, 3}},
         "\"a\xE2\x80\xA8" "b\xE2\x80\xAE\" would be written as \"a?b?\""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const UnitsTable table = UnitsTable::parse("serial,phone,name\n" + c.row + "\n", known, "phone");
        const QList<UnitsTableFault> faults = checkUnitsTable(table, templ, registry);
        QList<std::pair<int, int>> at;
        for (const UnitsTableFault &f : faults)
            at << std::pair(f.line, f.column);
        EXPECT_EQ(at, c.at);
        if (!faults.isEmpty())
            EXPECT_TRUE(faults.first().message.contains(QString::fromUtf8(c.words))) << qPrintable(faults.first().message);
    }
}

// The template's values reach every unit: a control character in one is a
// fault of the template, whatever the table holds.
TEST_F(UnitsTableTest, TheTemplatesTextsAreCheckedToo)
{
    templ.writeValue("General", "NOMBRE", QStringLiteral("a\x1B[2J\x07" "b"));
    const QList<UnitsTableFault> faults = check("serial,apn\nVS-1,apn.one\n");
    ASSERT_EQ(faults.size(), 1);
    EXPECT_EQ(std::pair(faults.at(0).line, faults.at(0).column), std::pair(0, 0));
    EXPECT_TRUE(faults.at(0).message.contains("template: General NOMBRE holds \"a<U+001B>[2J<U+0007>b\""))
        << qPrintable(faults.at(0).message);
}

} // namespace
