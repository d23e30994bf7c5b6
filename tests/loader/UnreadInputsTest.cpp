#include "loader/UnreadInputs.h"
#include "JarBuilder.h"
#include "loader/ClassLoader.h"
#include "support/ClassFileBuilder.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <memory>
#include <stdexcept>
#include <thread>

namespace {

QStringList described(const UnreadInputs &unread)
{
    QStringList lines;
    for (const UnreadInputs::Input &input : unread.getInputs())
        lines << QString("%1%2: %3").arg(input.interruption ? "! " : "", input.entry, input.reason);
    return lines;
}

} // namespace

TEST(UnreadInputs, RecordsReachTheInnermostCollectorOfTheirThreadOnce)
{
    UnreadInputs::record("before.jar", "dropped: nobody collects");
    EXPECT_FALSE(UnreadInputs::isCollecting());
    UnreadInputs outer;
    UnreadInputs::record("a.jar", "not found in /x");
    {
        UnreadInputs inner;
        UnreadInputs::record("b.jar", "holds no class file");
        std::thread([] { UnreadInputs::record("c.jar", "another thread's"); }).join();
        EXPECT_EQ(described(inner), QStringList { "b.jar: holds no class file" });
    }
    UnreadInputs::record("a.jar", "not found in /x");
    UnreadInputs::record("a.jar", "another reason");
    UnreadInputs::recordInterruption("Access test", "Test interrupted by exception - boom");
    EXPECT_EQ(described(outer),
              (QStringList { "a.jar: not found in /x",
                             "a.jar: another reason",
                             "! Access test: Test interrupted by exception - boom" }));
}

/// Builds classpath entries of every kind a user gets wrong and records what a chain makes of
/// them.
class UnreadEntries : public testing::Test
{
protected:
    QString path(const QString &name) const { return dir.filePath(name); }

    QStringList unreadBy(const QString &entry)
    {
        UnreadInputs unread;
        std::unique_ptr<ClassLoader>(ClassLoader::create(Classpath(entry)));
        return described(unread);
    }

    void writeJar(const QString &name, const QByteArray &classBytes)
    {
        JarBuilder builder;
        if (!classBytes.isNull())
            builder.add("p/A.class", classBytes);
        builder.add("README", "text");
        builder.write(path(name));
    }

    QTemporaryDir dir;
};

TEST_F(UnreadEntries, EachEntryThatYieldsNoClassIsRecordedWithWhatToChange)
{
    const QByteArray cls = ClassFileBuilder("p/A").build();
    writeJar("good.jar", cls);
    writeJar("readme-only.jar", QByteArray());
    writeJar("GOOD.JAR", cls);
    writeFile(path("text.jar"), "hello!!\n");
    writeFile(path("A.class"), cls);
    writeFile(path("notes.txt"), "notes");
    QDir(dir.path()).mkpath("empty");
    QDir(dir.path()).mkpath("jars-without-classes");
    writeJar("jars-without-classes/lib.jar", QByteArray());
    QDir(dir.path()).mkpath("classes/p");
    writeFile(path("classes/p/A.class"), cls);
    ASSERT_EQ(mkfifo(QFile::encodeName(path("fifo.jar")).constData(), 0600), 0); // must not block

    const QString missingIn = "not found in " + QFileInfo(dir.path()).absoluteFilePath();
    const struct
    {
        QString entry;
        QString reason; // empty: read
    } cases[] = {
        { "good.jar", "" },
        { "classes", "" },
        { "missing.jar", missingIn },
        { "missing-dir", missingIn },
        { "readme-only.jar", "holds no class file" },
        { "text.jar", "is not a jar (zip) file" },
        { "fifo.jar", "is not a regular file" },
        { "GOOD.JAR", "is not named .jar or .javagold: the suffix .JAR differs in case" },
        { "A.class", "is a single class file: name the directory its package starts in instead" },
        { "notes.txt", "is neither a directory nor a .jar or .javagold file" },
        { "empty", "holds no .class or .jar file" },
        { "jars-without-classes", "holds no class file: its jars hold none" },
    };
    for (const auto &c : cases) {
        const QString entry = path(c.entry);
        EXPECT_EQ(unreadBy(entry),
                  c.reason.isEmpty() ? QStringList() : QStringList { entry + ": " + c.reason })
            << qPrintable(c.entry);
    }
}

TEST_F(UnreadEntries, AGoldFileThatCannotBeReadIsRecordedAndStillThrows)
{
    writeFile(path("broken.javagold"), "\xff\xff\xff");
    const QString absent = path("absent.javagold");
    UnreadInputs unread;
    for (const QString &entry : { path("broken.javagold"), absent })
        EXPECT_THROW(ClassLoader::create(Classpath(entry)), std::runtime_error);
    EXPECT_EQ(
        described(unread),
        (QStringList { path("broken.javagold") + ": Could not deserialize from file "
                           + path("broken.javagold"),
                       absent + ": Could not open file " + absent + " for reading: not found in "
                           + QFileInfo(dir.path()).absoluteFilePath() }));
}
