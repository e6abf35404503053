// What a provisioning run does with each unit, and the report it decides by.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "files/provisionplan.h"
#include "testfiles.h"

namespace {

const QByteArray kTable = "serial,name\nVS-1,a\nVS-2,b\n";

ProvisionRecord record(const QString &serial, ProvisionStatus status)
{
    return {QDateTime(QDate(2026, 3, 1), QTime(10, 0), Qt::UTC), serial, status, 0, {}, {}};
}

TEST(ProvisionDecision, TakesSkipsAndFinishesByThePlanTheReportAndTheRun)
{
    using Step = ProvisionStep;
    struct Case {
        const char *what;
        QByteArray table;
        QByteArray report; // lines after the header
        bool again;
        bool unlisted;
        QSet<QString> appliedThisRun;
        QString serial; // empty: before a unit is connected
        Step step;
        bool writtenElsewhere = false; // another port writes the serial now
    };
    const QList<Case> cases = {
        {"a new unit", kTable, "", false, false, {}, "VS-1", Step::Write},
        {"applied before", kTable, "t,VS-1,applied,0,,\n", false, false, {}, "VS-1", Step::SkipAppliedBefore},
        {"applied before, again", kTable, "t,VS-1,applied,0,,\n", true, false, {}, "VS-1", Step::WriteAgain},
        {"failed after it was applied", kTable, "t,VS-1,applied,0,,\nt,VS-1,failed,2,,\n", false, false, {}, "VS-1",
         Step::Write},
        {"applied after it failed", kTable, "t,VS-1,failed,0,,\nt,VS-1,applied,0,,\n", false, false, {}, "VS-1",
         Step::SkipAppliedBefore},
        {"a skip changes nothing", kTable, "t,VS-1,applied,0,,\nt,VS-1,skipped,0,,applied before\n", false, false, {},
         "VS-1", Step::SkipAppliedBefore},
        {"serials compare exactly", kTable, "t,vs-1,applied,0,,\nt,VS-1 ,applied,0,,\n", false, false, {}, "VS-1",
         Step::Write},
        {"once per run, again", kTable, "", true, false, {"VS-1"}, "VS-1", Step::SkipAppliedThisRun},
        {"not in the table", kTable, "", false, false, {}, "VS-9", Step::SkipUnlisted},
        {"not in the table, taken", kTable, "", false, true, {}, "VS-9", Step::Write},
        {"before a unit", kTable, "t,VS-1,applied,0,,\n", false, false, {}, "", Step::Wait},
        {"every unit applied", kTable, "t,VS-1,applied,0,,\nt,VS-2,applied,0,,\n", false, false, {}, "", Step::Finished},
        {"every unit applied, again", kTable, "t,VS-1,applied,0,,\nt,VS-2,applied,0,,\n", true, false, {}, "",
         Step::Wait},
        {"every unit applied by this run, again", kTable, "", true, false, {"VS-1", "VS-2"}, "", Step::Finished},
        {"every unit applied, unlisted taken", kTable, "t,VS-1,applied,0,,\nt,VS-2,applied,0,,\n", false, true, {},
         "", Step::Wait},
        {"written on another port now", kTable, "", false, false, {}, "VS-1", Step::SkipWrittenElsewhere, true},
        {"applied before, written elsewhere", kTable, "t,VS-1,applied,0,,\n", false, false, {}, "VS-1",
         Step::SkipAppliedBefore, true},
        {"again, written elsewhere", kTable, "t,VS-1,applied,0,,\n", true, false, {}, "VS-1",
         Step::SkipWrittenElsewhere, true},
        {"an empty table", "serial,name\n", "", false, false, {}, "", Step::NothingToWrite},
        {"an empty table, again", "serial,name\n", "", true, false, {}, "", Step::NothingToWrite},
    };
    QTemporaryDir dir;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = dir.filePath("report.csv");
        writeFile(path, "time,serial,status,differences,history,detail\n" + c.report);
        ProvisionReport report(path);
        ASSERT_TRUE(report.load());
        ProvisionPlan plan;
        plan.table = UnitsTable::parse(c.table, {"General.NOMBRE"});
        plan.again = c.again;
        plan.allowUnlisted = c.unlisted;
        EXPECT_EQ(nextProvisionStep(plan, report, c.appliedThisRun, c.serial, c.writtenElsewhere), c.step);
    }
}

// A run shared by several processes: the lines added after the run began,
// by whichever process, are the run's own, in the file's own form, so that
// "--again" ends once every unit was applied on some port.
TEST(ProvisionReportFile, ASharedRunCountsTheLinesAddedSinceItBegan)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("report.csv");
    const QByteArray before = "time;serial;status;differences;history;detail\r\nt;VS-1;applied;0;;\r\nt;VS-2;applied;0;;";
    writeFile(path, before);
    ProvisionReport report(path);
    report.setRunStart(before.size());
    ASSERT_TRUE(report.load());
    EXPECT_TRUE(report.appliedInRun().isEmpty());
    EXPECT_FALSE(report.changedOnDisk());

    ProvisionReport other(path); // another port's process
    ASSERT_TRUE(other.load());
    ASSERT_TRUE(other.append(record("VS-1", ProvisionStatus::Applied)));
    ASSERT_TRUE(other.append(record("VS-2", ProvisionStatus::Failed)));
    EXPECT_TRUE(report.changedOnDisk());
    ASSERT_TRUE(report.load());
    EXPECT_EQ(report.appliedInRun(), QSet<QString>{"VS-1"});
    EXPECT_FALSE(report.applied("VS-2"));

    ProvisionPlan plan;
    plan.table = UnitsTable::parse(kTable, {"General.NOMBRE"});
    plan.again = true;
    EXPECT_EQ(nextProvisionStep(plan, report, report.appliedInRun(), {}), ProvisionStep::Wait);
    ASSERT_TRUE(report.append(record("VS-2", ProvisionStatus::Applied)));
    EXPECT_EQ(nextProvisionStep(plan, report, report.appliedInRun(), {}), ProvisionStep::Finished);
    ProvisionReport reread(path);
    reread.setRunStart(before.size());
    ASSERT_TRUE(reread.load());
    EXPECT_EQ(reread.appliedInRun(), (QSet<QString>{"VS-1", "VS-2"}));
}

// While one process writes a serial, another cannot claim it; once the
// first is done, it can.
TEST(ProvisionReportFile, AClaimOnASerialIsHeldByOneAtATime)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("report.csv");
    {
        ProvisionClaim first(path, "VS-1/ä");
        ASSERT_TRUE(first.take());
        EXPECT_FALSE(ProvisionClaim(path, "VS-1/ä").take());
        EXPECT_TRUE(ProvisionClaim(path, "VS-2").take());
    }
    EXPECT_TRUE(ProvisionClaim(path, "VS-1/ä").take());
}

// A report a spreadsheet saved again (either separator, either encoding, a
// byte-order mark, quotes, empty rows, no line end at the end) is read as it
// was written, and later lines follow the file's own form.
TEST(ProvisionReportFile, ReadsAndContinuesTheFileAsASpreadsheetLeftIt)
{
    struct Case {
        const char *what;
        QByteArray file;
        QByteArray appended; // the line VS-3 gets, with what precedes it
    };
    const QList<Case> cases = {
        {"as written", "time,serial,status,differences,history,detail\nt,VS-1,applied,0,a.qcf,\nt,VS-2,failed,1,,\n",
         "2026-03-01T10:00:00Z,VS-3,applied,0,,\"x,y\"\n"},
        {"semicolons, CR LF, a byte-order mark",
         "\xEF\xBB\xBFtime;serial;status;differences;history;detail\r\n;;;;;\r\nt;\"VS-1\";applied;0;a.qcf;\r\n"
         "t;VS-2;failed;1;;\"the unit; it\"\r\n;;;;;\r\n",
         "2026-03-01T10:00:00Z;VS-3;applied;0;;x,y\r\n"},
        {"Windows-1252, semicolons, no line end at the end",
         "time;serial;status;differences;history;detail\r\nt;VS-1;applied;0;Dep\xF3sito.qcf;\r\nt;VS-2;failed;1;;",
         "\r\n2026-03-01T10:00:00Z;VS-3;applied;0;;x,y\r\n"},
        {"an empty first line, semicolons, empty rows saved with commas",
         "\r\ntime;serial;status;differences;history;detail\r\nt;VS-1;applied;0;;\r\n,,,,,\r\nt;VS-2;failed;1;;\r\n,,,,,\r\n",
         "2026-03-01T10:00:00Z;VS-3;applied;0;;x,y\r\n"},
    };
    QTemporaryDir dir;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = dir.filePath("report.csv");
        writeFile(path, c.file);
        ProvisionReport report(path);
        ASSERT_TRUE(report.load());
        EXPECT_TRUE(report.applied("VS-1"));
        EXPECT_FALSE(report.applied("VS-2"));
        ProvisionRecord third = record("VS-3", ProvisionStatus::Applied);
        third.detail = "x,y";
        ASSERT_TRUE(report.append(third));
        EXPECT_EQ(readFile(path), c.file + c.appended);
        EXPECT_TRUE(report.applied("VS-3"));
    }
}

// A line that cannot be written fails, and still counts for the rest of the run.
TEST(ProvisionReportFile, AnUnwritableReportFailsButTheRunRemembers)
{
    QTemporaryDir dir;
    ProvisionReport report(dir.filePath("missing-folder/report.csv"));
    ASSERT_TRUE(report.load());
    FileFailure failure;
    EXPECT_FALSE(report.append(record("VS-1", ProvisionStatus::Applied), &failure));
    EXPECT_EQ(failure.problem, FileProblem::Unwritable);
    EXPECT_TRUE(report.applied("VS-1"));
}

} // namespace
