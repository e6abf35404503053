// A save killed at any moment leaves the file as it was before or after it,
// and the next save of the file clears what the killed one left beside it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <memory>
#include <random>
#include <set>
#include <thread>

#include "files/configfile.h"
#include "files/sectionregistry.h"
#include "model/configstore.h"
#include "sections/sectionlist.h"

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

TEST(SaveKill, FileIsWholeOldOrWholeNewAfterEveryKill)
{
#ifndef Q_OS_UNIX
    GTEST_SKIP() << "needs SIGKILL";
#else
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("unit.qcf"));
    SectionRegistry registry;
    registerSections(registry);
    auto plain = std::make_unique<ConfigStore>();
    registry.clearAll(*plain);
    auto named = std::make_unique<ConfigStore>();
    registry.clearAll(*named);
    named->General.UnitName = QStringLiteral("Pozo Norte");

    // Every state the helper's alternating saves can leave complete.
    ASSERT_TRUE(saveConfigFile(path, *plain, registry));
    const QByteArray original = fileBytes(path);
    ASSERT_TRUE(saveConfigFile(path, *named, registry));
    const QByteArray renamed = fileBytes(path);
    ASSERT_TRUE(saveConfigFile(path, *plain, registry));
    const std::set<QByteArray> whole{original, renamed, fileBytes(path)};
    ASSERT_NE(original, renamed);

    std::mt19937 random(20261210);
    std::uniform_int_distribution<int> pause(0, 4000);
    for (int run = 0; run < 40; ++run) {
        writeBytes(path, original);
        QProcess helper;
        helper.start(QStringLiteral(SAVEKILL_HELPER), {path, QStringLiteral("Pozo Norte")});
        ASSERT_TRUE(helper.waitForReadyRead(10000)) << "the helper did not start";
        std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
        helper.kill();
        ASSERT_TRUE(helper.waitForFinished(10000));
        EXPECT_TRUE(whole.count(fileBytes(path)) == 1) << "run " << run << ": a partial file";
        ASSERT_TRUE(saveConfigFile(path, *plain, registry));
        EXPECT_EQ(filesIn(dir.path()), QStringList{QStringLiteral("unit.qcf")}) << "run " << run;
    }
#endif
}

// Only the temporary names of the file saved go: the file's name, a dot and
// six letters of both cases.
TEST(SaveKill, NextSaveRemovesOnlyItsOwnLeftovers)
{
    QTemporaryDir dir;
    SectionRegistry registry;
    registerSections(registry);
    auto store = std::make_unique<ConfigStore>();
    registry.clearAll(*store);
    const QStringList leftovers{"unit.qcf.kXpQzT", "unit.qcf.Abcdef"};
    const QStringList kept{"other.qcf",       "other.qcf.kXpQzT", "unit.qcf.backup", "unit.qcf.BACKUP",
                           "unit.qcf.kXpQz",  "unit.qcf.kXpQzTT", "unit.qcf.kXp1zT", "unit.qcfkXpQzT",
                           "xunit.qcf.kXpQzT"};
    for (const QString &name : leftovers + kept)
        writeBytes(dir.filePath(name), "[General]\r\n");

    ASSERT_TRUE(saveConfigFile(dir.filePath(QStringLiteral("unit.qcf")), *store, registry));
    QStringList expected = kept + QStringList{QStringLiteral("unit.qcf")};
    expected.sort();
    EXPECT_EQ(filesIn(dir.path()), expected);
}
