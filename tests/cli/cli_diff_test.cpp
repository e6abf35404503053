#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>

#include "files/configfile.h"
#include "files/sectionregistry.h"
#include "model/configstore.h"
#include "sections/sectionlist.h"

namespace {

struct CliRun {
    int status = -1;
    QString out;
    QString err;
};

CliRun runCli(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(VELKAN_CLI), arguments);
    EXPECT_TRUE(process.waitForFinished(60000)) << qPrintable(arguments.join(' '));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// Two configuration files that differ in one flow meter's ratio, and a file that is none.
struct CliDiffTest : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        SectionRegistry registry;
        registerSections(registry);
        auto store = std::make_unique<ConfigStore>();
        registry.clearAll(*store);
        store->Flow[1].Ratio = 0.5f;
        ASSERT_TRUE(saveConfigFile(path("a.qcf"), *store, registry));
        store->Flow[1].Ratio = 2.5f;
        ASSERT_TRUE(saveConfigFile(path("b.qcf"), *store, registry));
        QFile other(path("notes.txt"));
        ASSERT_TRUE(other.open(QIODevice::WriteOnly));
        other.write("[General]\r\nNOTE=shopping list\r\n");
    }

    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }

    QTemporaryDir dir;
};

TEST_F(CliDiffTest, ExitStatusesAndTextOutput)
{
    struct Case {
        const char *name;
        QStringList args;
        int status;
        QString out;
    };
    const QList<Case> cases{
        {"equal", {"diff", path("a.qcf"), path("a.qcf")}, 0, ""},
        {"differ", {"diff", path("a.qcf"), path("b.qcf")}, 1, "CAUDAL 1\tRATIO\t.5\t2.5\n"},
        {"one file", {"diff", path("a.qcf")}, 2, ""},
        {"not a configuration", {"diff", path("a.qcf"), path("notes.txt")}, 3, ""},
        {"missing file", {"diff", path("missing.qcf"), path("a.qcf")}, 3, ""},
    };
    for (const Case &c : cases) {
        const CliRun run = runCli(c.args);
        EXPECT_EQ(run.status, c.status) << c.name << ": " << qPrintable(run.err);
        EXPECT_EQ(run.out, c.out) << c.name;
        if (c.status >= 2)
            EXPECT_FALSE(run.err.isEmpty()) << c.name;
    }
    EXPECT_TRUE(runCli({"diff", path("a.qcf"), path("notes.txt")}).err.contains(QLatin1String("notes.txt")));
}

TEST_F(CliDiffTest, JsonOutputAndHelp)
{
    const CliRun run = runCli({"diff", "--json", path("a.qcf"), path("b.qcf")});
    EXPECT_EQ(run.status, 1);
    const QJsonArray rows = QJsonDocument::fromJson(run.out.toUtf8()).array();
    ASSERT_EQ(rows.size(), 1) << qPrintable(run.out);
    const QJsonObject row = rows.at(0).toObject();
    EXPECT_EQ(row.value("section").toString(), "CAUDAL 1");
    EXPECT_EQ(row.value("key").toString(), "RATIO");
    EXPECT_EQ(row.value("a").toString(), ".5");
    EXPECT_EQ(row.value("b").toString(), "2.5");

    const CliRun equal = runCli({"diff", "--json", path("a.qcf"), path("a.qcf")});
    EXPECT_EQ(equal.status, 0);
    EXPECT_EQ(equal.out.trimmed(), "[]");

    EXPECT_TRUE(runCli({"--help"}).out.contains(QLatin1String("exit status 0 equal, 1 they differ")));
}

// merge: BASE with what was chosen from OTHER, and nothing else; the keys of
// diff between BASE and the result are exactly the keys taken.
struct CliMergeTest : CliDiffTest {
    void SetUp() override
    {
        CliDiffTest::SetUp();
        SectionRegistry registry;
        registerSections(registry);
        auto store = std::make_unique<ConfigStore>();
        registry.clearAll(*store);
        ASSERT_TRUE(saveConfigFile(path("base.qcf"), *store, registry));
        store->Flow[1].Ratio = 2.5f;
        store->Flow[1].Name = QStringLiteral("Entrada");
        store->Digital[0].Name = QStringLiteral("Bomba");
        store->Digital[3].Alarms[1].Text = QStringLiteral("Puerta");
        store->General.ResendCount = 7;
        store->Gprs.ApnServer = QStringLiteral("apn.office");
        ASSERT_TRUE(saveConfigFile(path("other.qcf"), *store, registry));
    }

    // "item/key" of every difference diff finds between two files.
    QStringList differingKeys(const char *a, const char *b)
    {
        const CliRun run = runCli({"diff", "--json", path(a), path(b)});
        QStringList keys;
        for (const QJsonValue &row : QJsonDocument::fromJson(run.out.toUtf8()).array())
            keys << row["section"].toString() + u'/' + row["key"].toString();
        return keys;
    }
};

TEST_F(CliMergeTest, TakesExactlyTheChosenSectionsAndKeys)
{
    const struct {
        const char *name;
        QStringList takes;
        QStringList taken; // what then differs from BASE
    } cases[] = {
        {"registered section", {"--take", "E_Digital"}, {"DIGITAL 0/NOMBRE", "DIGITAL 3/TEXTO( 1)"}},
        {"file section", {"--take", "DIGITAL 3"}, {"DIGITAL 3/TEXTO( 1)"}},
        {"keys", {"--take", "CAUDAL 1.RATIO", "--take", "general.renvn"}, {"CAUDAL 1/RATIO", "GENERAL/RENVN"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun run = runCli(QStringList{"merge", path("base.qcf"), path("other.qcf"), "-o", path("out.qcf")}
                                  + c.takes);
        ASSERT_EQ(run.status, 0) << qPrintable(run.err);
        EXPECT_EQ(differingKeys("base.qcf", "out.qcf"), c.taken);
        QFile::remove(path("out.qcf"));
    }
    const CliRun unknown =
        runCli({"merge", path("base.qcf"), path("other.qcf"), "--take", "NOSUCH", "-o", path("out.qcf")});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_FALSE(QFile::exists(path("out.qcf")));
}

// What diff --json lists, merge takes back as its selection: taking all of
// it turns BASE into OTHER.
TEST_F(CliMergeTest, TheJsonOfDiffIsASelection)
{
    const CliRun diff = runCli({"diff", "--json", path("base.qcf"), path("other.qcf")});
    ASSERT_EQ(diff.status, 1);
    QFile selection(path("chosen.json"));
    ASSERT_TRUE(selection.open(QIODevice::WriteOnly));
    selection.write(diff.out.toUtf8());
    selection.close();

    const CliRun run = runCli({"merge", path("base.qcf"), path("other.qcf"), "--take-json", path("chosen.json"),
                               "-o", path("out.qcf")});
    ASSERT_EQ(run.status, 0) << qPrintable(run.err);
    EXPECT_TRUE(differingKeys("out.qcf", "other.qcf").isEmpty());
    EXPECT_EQ(runCli({"merge", path("base.qcf"), path("other.qcf"), "--take-json", path("notes.txt"), "-o",
                      path("x.qcf")})
                  .status,
              3);
}

} // namespace
