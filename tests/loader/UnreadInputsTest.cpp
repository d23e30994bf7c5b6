#include "base/UnreadInputs.h"
#include "JarBuilder.h"
#include "loader/ClassLoader.h"
#include "support/ClassFileBuilder.h"
#include "support/Golden.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <memory>
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

    /// What making a chain over the entry and loading its classes records. Whatever the entry,
    /// a chain is made: a gold file that cannot be read is recorded like any other entry, and the
    /// rest of the classpath is still searched.
    QStringList unreadBy(const QString &entry)
    {
        UnreadInputs unread;
        std::unique_ptr<ClassLoader>(ClassLoader::create(Classpath(entry)))->loadAllClasses();
        return described(unread);
    }

    void writeJar(const QString &name,
                  const QByteArray &classBytes,
                  const QByteArray &moduleDescriptor = QByteArray())
    {
        JarBuilder builder;
        if (!moduleDescriptor.isNull())
            builder.add("module-info.class", moduleDescriptor);
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
    writeFile(path("broken.javagold"), "\xff\xff\xff");
    // A class file cut short is code nobody checked; a module descriptor is no class at all.
    writeJar("cut.jar", cls.left(cls.size() - 1));
    QDir(dir.path()).mkpath("cut/p");
    writeFile(path("cut/p/A.class"), cls.left(20));
    ClassFileBuilder module("module-info", QString());
    module.majorVersion = 53;
    module.accessFlags = 0x8000;
    module.rawConstant(ByteWriter().u1(19).u2(module.utf8("m")).data());
    writeJar("module.jar", cls, module);
    ASSERT_EQ(mkfifo(QFile::encodeName(path("fifo.jar")).constData(), 0600), 0); // must not block

    // Read entries record nothing; the others say what to change.
    QString out;
    for (const QString &entry :
         QString(
             "good.jar classes missing.jar missing-dir readme-only.jar text.jar fifo.jar GOOD.JAR "
             "A.class notes.txt empty jars-without-classes broken.javagold absent.javagold cut.jar "
             "cut module.jar")
             .split(' '))
        out += entry + (": " + unreadBy(path(entry)).join(" | ").replace(dir.path(), "$TMP"))
            + "\n";
    Golden::expectEqual("loader/unread-entries.txt", out.toUtf8());
}
