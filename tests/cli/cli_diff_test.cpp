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

} // namespace
