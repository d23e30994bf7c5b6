#include "app/AtomicFile.h"
#include "support/Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QStringList entries(const QTemporaryDir &dir)
{
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

TEST(AtomicFile, TheOldFileStaysWholeUntilTheNewOneIsCommitted)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.txt");
    writeFile(path, "old");
    {
        AtomicFile file(path);
        ASSERT_TRUE(file.open());
        file.stream() << "new" << std::endl;
        EXPECT_EQ(readFile(path), "old");
        EXPECT_TRUE(file.commit());
        EXPECT_EQ(readFile(path), "new\n");
    }
    {
        AtomicFile dropped(path);
        ASSERT_TRUE(dropped.open());
        dropped.stream() << "never";
    }
    EXPECT_EQ(readFile(path), "new\n");
    EXPECT_EQ(entries(dir), QStringList { "out.txt" });
}

TEST(AtomicFile, FailuresAreNoSuccess)
{
    QTemporaryDir dir;
    AtomicFile missing(dir.filePath("missing/out.txt"));
    EXPECT_FALSE(missing.open());
    EXPECT_FALSE(missing.commit());

    if (!QFileInfo(QStringLiteral("/dev/full")).exists())
        GTEST_SKIP() << "no /dev/full here";
    // A device is written in place, never replaced.
    AtomicFile full(QStringLiteral("/dev/full"));
    ASSERT_TRUE(full.open());
    full.stream() << std::string(1 << 20, 'x');
    EXPECT_FALSE(full.commit());
    EXPECT_FALSE(full.errorString().isEmpty());
    EXPECT_FALSE(QFileInfo(QStringLiteral("/dev/full")).isFile());
}
