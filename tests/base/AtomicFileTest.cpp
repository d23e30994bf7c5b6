#include "base/AtomicFile.h"
#include "support/Files.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// A directory that cannot be written and a full device are the results file's tests; a file that
// cannot be written whole, the program's.
TEST(AtomicFile, TheOldFileStaysWholeUntilTheNewOneIsCommittedAndWithoutACommit)
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
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList { "out.txt" });
}
