#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimeZone>

#include "files/sectionregistry.h"
#include "files/servicehistory.h"
#include "model/configstore.h"
#include "testfiles.h"

namespace {

QDateTime utc(int hour, int minute, int second, int msec = 0)
{
    return QDateTime(QDate(2026, 12, 10), QTime(hour, minute, second, msec), QTimeZone::utc());
}

struct ServiceHistoryTest : ::testing::Test {
    ServiceHistoryTest() { QStandardPaths::setTestModeEnabled(true); }

    // Records at the given time; the path of the new entry, empty on failure.
    QString recordAt(const QDateTime &time, HistoryKind kind, const QString &serial = QStringLiteral("VS21-000777"))
    {
        history.clock = [time] { return time; };
        HistoryEntry entry;
        FileFailure failure;
        if (!history.record(serial, kind, store, sections, &failure, &entry)) {
            ADD_FAILURE() << qPrintable(failure.path) << ": " << qPrintable(failure.detail);
            return {};
        }
        EXPECT_EQ(entry.kind, kind);
        EXPECT_EQ(entry.time, time.addMSecs(-time.time().msec()));
        return entry.path;
    }

    QTemporaryDir dir;
    ServiceHistory history{dir.filePath(QStringLiteral("history"))};
    ConfigStore store;
    SectionRegistry sections;
};

} // namespace

// Operations in one second, and later ones, each get a file of their own;
// none replaces another, and the listing puts the newest first.
TEST_F(ServiceHistoryTest, EachOperationIsANewFileNamedByTimeAndKind)
{
    const QString first = recordAt(utc(9, 14, 3, 250), HistoryKind::Read);
    writeFile(first, readFile(first) + "[Mine]\r\nKEPT=1\r\n");
    const QString second = recordAt(utc(9, 14, 3, 900), HistoryKind::Read);
    const QString write = recordAt(utc(9, 14, 3), HistoryKind::Write);
    const QString later = recordAt(utc(10, 0, 0), HistoryKind::Write);

    const QDir unit(dir.filePath(QStringLiteral("history/VS21-000777")));
    EXPECT_EQ(first, unit.filePath(QStringLiteral("2026-12-10T09-14-03Z-read.qcf")));
    EXPECT_EQ(second, unit.filePath(QStringLiteral("2026-12-10T09-14-03Z-read-2.qcf")));
    EXPECT_EQ(write, unit.filePath(QStringLiteral("2026-12-10T09-14-03Z-write-3.qcf")));
    EXPECT_EQ(later, unit.filePath(QStringLiteral("2026-12-10T10-00-00Z-write.qcf")));
    EXPECT_TRUE(readFile(first).contains("KEPT=1")) << "an entry was overwritten";
    EXPECT_TRUE(readFile(second).startsWith("[General]\r\nVERSION=VELKAN_SARN\r\n"));

    // Files of other names in the folder are no entries.
    writeFile(unit.filePath(QStringLiteral("notes.qcf")), "x");
    writeFile(unit.filePath(QStringLiteral("2026-13-40T09-14-03Z-read.qcf")), "x");
    QStringList listed;
    for (const HistoryEntry &e : history.entries(QStringLiteral("VS21-000777")))
        listed << QFileInfo(e.path).fileName();
    EXPECT_EQ(listed, QStringList({"2026-12-10T10-00-00Z-write.qcf", "2026-12-10T09-14-03Z-write-3.qcf",
                                   "2026-12-10T09-14-03Z-read-2.qcf", "2026-12-10T09-14-03Z-read.qcf"}))
        << qPrintable(listed.join(u' '));
    EXPECT_EQ(history.units(), QStringList{"VS21-000777"});
}

// A serial number from the unit never reaches outside the history's folder.
TEST_F(ServiceHistoryTest, SerialNumbersAreMadeSafeFolderNames)
{
    const struct {
        const char *serial;
        const char *folder;
    } cases[] = {
        {"VS21-000777", "VS21-000777"}, {"../x", "___x"}, {"..", "__"},       {"a/b", "a_b"},
        {"C:\\x", "C__x"},              {"", "unknown"},  {"  ", "unknown"}, {"ab\x01\ncd", "ab__cd"},
        {"nul", "nul_"},                {" 12 34 ", "12_34"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ServiceHistory::unitFolder(QString::fromLatin1(c.serial)), QLatin1String(c.folder)) << c.serial;
    EXPECT_EQ(ServiceHistory::unitFolder(QString(200, u'7')).size(), 64);

    const QString path = recordAt(utc(8, 0, 0), HistoryKind::Read, QStringLiteral("../../escape"));
    EXPECT_EQ(QFileInfo(path).absolutePath(), QDir(dir.filePath(QStringLiteral("history/______escape"))).absolutePath());
    EXPECT_EQ(history.entries(QStringLiteral("../../escape")).size(), 1);
}

TEST_F(ServiceHistoryTest, AnUnwritableFolderIsAFailureThatLeavesNothing)
{
    writeFile(dir.filePath(QStringLiteral("history")), "a file where the folder should be");
    FileFailure failure;
    EXPECT_FALSE(history.record(QStringLiteral("VS21-000777"), HistoryKind::Read, store, sections, &failure));
    EXPECT_EQ(failure.problem, FileProblem::Unwritable);
    EXPECT_TRUE(failure.path.contains(QStringLiteral("VS21-000777"))) << qPrintable(failure.path);
    EXPECT_FALSE(failure.detail.isEmpty());
    EXPECT_TRUE(history.units().isEmpty());
    EXPECT_TRUE(history.entries(QStringLiteral("VS21-000777")).isEmpty());
}
