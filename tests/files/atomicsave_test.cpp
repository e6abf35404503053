// The whole-file save never puts a plain file in place of a device, a pipe
// or a folder, whether named directly or through a link.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <sys/stat.h>

#include "files/atomicsave.h"

TEST(SaveWholeFile, RefusesAnythingButARegularFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pipe = dir.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), dir.filePath(QStringLiteral("null-link"))));
    ASSERT_TRUE(QFile::link(pipe, dir.filePath(QStringLiteral("pipe-link"))));

    for (const char *name : {"pipe", "folder", "null-link", "pipe-link"}) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QString error;
        EXPECT_FALSE(SaveWholeFile(path, "report", &error)) << name;
        EXPECT_TRUE(error.contains(QStringLiteral("not a regular file"))) << name << ": " << qPrintable(error);
        const QFileInfo after(path);
        EXPECT_TRUE(after.exists() && !after.isFile()) << name << " was replaced";
    }
    EXPECT_FALSE(QFileInfo(dir.filePath(QStringLiteral("null-link"))).symLinkTarget().isEmpty());

    // A regular file, named directly or through a link, is still replaced whole.
    const QString plain = dir.filePath(QStringLiteral("unit.qcf"));
    ASSERT_TRUE(SaveWholeFile(plain, "old"));
    ASSERT_TRUE(QFile::link(plain, dir.filePath(QStringLiteral("unit-link.qcf"))));
    EXPECT_TRUE(SaveWholeFile(dir.filePath(QStringLiteral("unit-link.qcf")), "new"));
    QFile read(plain);
    ASSERT_TRUE(read.open(QIODevice::ReadOnly));
    EXPECT_EQ(read.readAll(), "new");
}
