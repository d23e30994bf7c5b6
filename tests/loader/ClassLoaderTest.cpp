#include "loader/ClassLoader.h"
#include "JarBuilder.h"
#include "gold/ProtoIO.h"
#include "loader/FileSystemClassLoader.h"
#include "loader/JarFileClassLoader.h"
#include "loader/ProtoClassLoader.h"
#include "support/ClassFileBuilder.h"
#include "support/LogCapture.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

namespace {

QByteArray classBytes(const QString &internalName, const QString &super = "java/lang/Object")
{
    return ClassFileBuilder(internalName, super).build();
}

const QByteArray notAClass("not a class file");

class ClassLoaderTest : public testing::Test
{
protected:
    QString path(const QString &name) const { return dir.filePath(name); }

    void makeFile(const QString &relative, const QByteArray &bytes)
    {
        ASSERT_TRUE(QDir(dir.path()).mkpath(QFileInfo(path(relative)).path()));
        writeFile(path(relative), bytes);
    }

    QString jar(const QString &relative, const QList<QPair<QString, QByteArray>> &entries)
    {
        JarBuilder builder;
        for (const auto &entry : entries)
            builder.add(entry.first, entry.second);
        EXPECT_TRUE(QDir(dir.path()).mkpath(QFileInfo(path(relative)).path()));
        builder.write(path(relative));
        return path(relative);
    }

    std::unique_ptr<ClassLoader> chain(const QString &classpath) const
    {
        return std::unique_ptr<ClassLoader>(ClassLoader::create(Classpath(classpath)));
    }

    QTemporaryDir dir;
};

QString parentOf(const Class *cls)
{
    return cls ? cls->getParent().descriptor : QString("(none)");
}

TEST(Classpath, EmptyPiecesAreDropped)
{
    EXPECT_EQ(Classpath("a::b:"), (QStringList { "a", "b" }));
    EXPECT_EQ(Classpath("a::b:").toString(), "a:b");
    EXPECT_TRUE(Classpath("").isEmpty());
    EXPECT_EQ(Classpath("").toString(), "");
}

TEST_F(ClassLoaderTest, EntriesOfUnknownKindAreSkippedWithAWarning)
{
    makeFile("lone/Foo.class", classBytes("Foo"));
    jar("lib.JAR", { { "Foo.class", classBytes("Foo") } });
    const QString classpath
        = QString("%1::%2:%3:").arg(path("a"), path("lib.JAR"), path("lone/Foo.class"));
    LogCapture log;
    const auto loader = chain(classpath);
    EXPECT_EQ(log.texts(Logger::L_DEBUG).value(0),
              QString("Processing classpath: %1:%2:%3")
                  .arg(path("a"), path("lib.JAR"), path("lone/Foo.class")));
    EXPECT_EQ(log.texts(Logger::L_WARN),
              (QStringList { "Could not create class loader for classpath entry " + path("a"),
                             "Could not create class loader for classpath entry " + path("lib.JAR"),
                             "Could not create class loader for classpath entry "
                                 + path("lone/Foo.class") }));
    EXPECT_EQ(loader->loadClass("LFoo;"), nullptr);
    loader->loadAllClasses();
    EXPECT_TRUE(loader->getAllClasses().isEmpty());
}

TEST_F(ClassLoaderTest, EntryKindsAreDecidedByNameAlone)
{
    LogCapture log;
    const auto loader = chain(path("missing.jar"));
    EXPECT_TRUE(
        log.contains(Logger::L_DEBUG, "Treating " + path("missing.jar") + " as a jar file"));
    EXPECT_EQ(log.texts(Logger::L_ERROR).size(), 1);
    EXPECT_EQ(loader->loadClass("LFoo;"), nullptr);
    EXPECT_THROW(chain(path("missing.javagold")), std::runtime_error);
}

TEST_F(ClassLoaderTest, TheEarlierOfTwoJarsWinsButBothAreListed)
{
    const QString first = jar("one.jar", { { "p/A.class", classBytes("p/A", "p/First") } });
    const QString second = jar(
        "two.jar",
        { { "p/A.class", classBytes("p/A", "p/Second") }, { "p/B.class", classBytes("p/B") } });
    const auto loader = chain(first + ":" + second);
    EXPECT_EQ(parentOf(loader->loadClass("Lp/A;")), "Lp/First;");
    EXPECT_EQ(loader->loadClass("Lp/A;"), loader->loadClass("Lp/A;"));
    loader->loadAllClasses();
    const QMap<QString, Class *> all = loader->getAllClasses();
    EXPECT_EQ(all.keys(), (QStringList { "Lp/A;", "Lp/A;", "Lp/B;" }));
    const QList<Class *> copies = QMultiMap<QString, Class *>(all).values("Lp/A;");
    ASSERT_EQ(copies.size(), 2);
    EXPECT_EQ(parentOf(copies[0]), "Lp/Second;"); // the later loader comes first among equal names
    EXPECT_EQ(parentOf(copies[1]), "Lp/First;");
}

TEST_F(ClassLoaderTest, AJarOrDirectoryNamedAgainIsReadOnce)
{
    const QString one = jar("one.jar", { { "p/A.class", classBytes("p/A") } });
    makeFile("tree/q/B.class", classBytes("q/B"));
    ASSERT_TRUE(QFile::link(one, path("link.jar")));
    const auto loader = chain(QStringList {
        one, path("tree"), path("tree/../one.jar"), path("link.jar"), path("tree") + "/" }
                                  .join(':'));
    loader->loadAllClasses();
    EXPECT_EQ(loader->getAllClasses().keys(), (QStringList { "Lp/A;", "Lq/B;" }));
}

TEST_F(ClassLoaderTest, UnknownNamesAreAskedForAgainAndNeverCached)
{
    makeFile("classes/p/A.class", classBytes("p/A"));
    const auto loader = chain(path("classes"));
    LogCapture log;
    EXPECT_EQ(loader->loadClass("Lp/Missing;"), nullptr);
    EXPECT_EQ(loader->loadClass("Lp/Missing;"), nullptr);
    EXPECT_EQ(log.texts(Logger::L_DEBUG).size(), 2);
    EXPECT_TRUE(loader->getAllClasses().isEmpty());
}

TEST_F(ClassLoaderTest, ABrokenCopyIsRejectedAndTheNextLoaderAnswers)
{
    const QString broken = jar("broken.jar", { { "p/A.class", notAClass } });
    const QString good = jar("good.jar", { { "p/A.class", classBytes("p/A") } });
    const auto loader = chain(broken + ":" + good);
    LogCapture log;
    const Class *cls = loader->loadClass("Lp/A;");
    ASSERT_NE(cls, nullptr);
    EXPECT_EQ(cls->getName().descriptor, "Lp/A;");
    EXPECT_EQ(log.texts(Logger::L_WARN),
              QStringList { "p.A: Error - Not a Java class file - bad magic (0x6e6f7420)" });
}

TEST_F(ClassLoaderTest, WarningsAloneDoNotRejectAClass)
{
    ClassFileBuilder warned("W");
    warned.addClassAttribute(warned.attribute("Foo", QByteArray()));
    const QString classes = jar("warn.jar", { { "W.class", warned.build() } });
    const auto loader = chain(classes);
    LogCapture log;
    EXPECT_NE(loader->loadClass("LW;"), nullptr);
    EXPECT_TRUE(log.texts(Logger::L_WARN).isEmpty());
}

TEST_F(ClassLoaderTest, ADirectorySearchesItsClassFilesBeforeItsJars)
{
    makeFile("tree/a/B.class", classBytes("a/B", "a/Loose"));
    makeFile("tree/a/Odd.CLASS", classBytes("a/Odd"));
    makeFile("tree/a/Note.txt", "text");
    jar("tree/lib/x.jar",
        { { "a/B.class", classBytes("a/B", "a/Jarred") }, { "c/D.class", classBytes("c/D") } });
    FileSystemClassLoader directory { QDir(path("tree")) };
    EXPECT_EQ(directory.getClassFileCount(), 1);
    ASSERT_EQ(directory.getJarLoaders().size(), 1);
    directory.loadAllClasses();
    EXPECT_EQ(directory.getAllClasses().keys(), QStringList { "La/B;" });

    const auto loader = chain(path("tree"));
    EXPECT_EQ(parentOf(loader->loadClass("La/B;")), "La/Loose;");
    EXPECT_NE(loader->loadClass("Lc/D;"), nullptr);
    EXPECT_EQ(loader->loadClass("La/Odd;"), nullptr);
}

TEST_F(ClassLoaderTest, ADirectoryOfOnlyJarsSearchesTheJars)
{
    jar("jars/one.jar", { { "p/A.class", classBytes("p/A") } });
    jar("jars/sub/two.jar", { { "p/B.class", classBytes("p/B") } });
    FileSystemClassLoader directory { QDir(path("jars")) };
    EXPECT_EQ(directory.getClassFileCount(), 0);
    EXPECT_EQ(directory.getJarLoaders().size(), 2);

    const auto loader = chain(path("jars"));
    loader->loadAllClasses();
    EXPECT_EQ(loader->getAllClasses().keys(), (QStringList { "Lp/A;", "Lp/B;" }));
}

TEST_F(ClassLoaderTest, DirectoryMissesAreDebugLinesNamingTheReason)
{
    makeFile("tree/q/Dir.class/keep", "");
    FileSystemClassLoader directory { QDir(path("tree")) };
    LogCapture log;
    EXPECT_TRUE(directory.readClassData("Ljava/lang/Object;").isNull());
    EXPECT_TRUE(directory.readClassData("[I").isNull());
    EXPECT_TRUE(directory.readClassData("Lq/Dir;").isNull());
    EXPECT_EQ(log.texts(Logger::L_DEBUG),
              (QStringList { "Could not read class Ljava/lang/Object; because the class file "
                                 + QFileInfo(path("tree/java/lang/Object.class")).absoluteFilePath()
                                 + " does not exist",
                             "Could not read class [I because descriptor name is not valid" }));
    // Something is there under the class's path, and it hides the class.
    EXPECT_EQ(log.texts(Logger::L_WARN),
              QStringList { "Could not read class Lq/Dir; because the file system object "
                            "referenced is not a file" });
}

TEST_F(ClassLoaderTest, SymbolicLinkCyclesEndTheWalk)
{
    makeFile("tree/a/B.class", classBytes("a/B"));
    ASSERT_TRUE(QFile::link(path("tree"), path("tree/a/up")));
    ASSERT_TRUE(QFile::link(path("tree/a"), path("tree/a/self")));
    FileSystemClassLoader directory { QDir(path("tree")) };
    EXPECT_EQ(directory.getClassFileCount(), 1);
    directory.loadAllClasses();
    EXPECT_EQ(directory.getAllClasses().keys(), QStringList { "La/B;" });
}

TEST_F(ClassLoaderTest, AGoldFileFindsTheFirstRecordOfAName)
{
    JClasses root;
    for (int version : { 50, 51 }) {
        JClass *record = root.add_classes();
        record->set_name("Lp/A;");
        record->set_major_version(version);
    }
    root.add_classes()->set_name("Lp/B;");
    ProtoIO::write(&root, path("api.javagold"));
    const auto loader = chain(path("api.javagold"));
    EXPECT_EQ(loader->loadClass("Lp/A;")->getMajorVersion(), 50);
    EXPECT_EQ(loader->loadClass("Lp/C;"), nullptr);
    loader->loadAllClasses();
    EXPECT_EQ(loader->getAllClasses().keys(), (QStringList { "Lp/A;", "Lp/B;" }));
}

// Loading a whole jar in one pass must behave exactly like asking for each of its names in turn:
// the same classes, the same rejections and the same warnings in the same order, across batches,
// with repeated names, broken and empty entries, and a class loaded before.
TEST_F(ClassLoaderTest, LoadingAWholeJarMatchesLoadingEachNameInTurn)
{
    JarBuilder builder;
    for (int i = 0; i < 700; ++i) {
        const QString name = QString("c/C%1").arg(i);
        if (i % 97 == 5)
            builder.add(name + ".class", notAClass);
        else if (i % 101 == 7)
            builder.add(name + ".class", QByteArray());
        else
            builder.add(name + ".class", classBytes(name));
        if (i % 50 == 0)
            builder.add("res/file.txt", "resource");
        if (i % 150 == 3) // a repeated name: the first entry is always the one read
            builder.add(QString("c/C%1.class").arg(i - 1),
                        classBytes(QString("c/C%1").arg(i - 1), "dup/Later"));
    }
    builder.add("c/C5.class", classBytes("c/C5")); // a repeat of a broken entry stays broken
    builder.write(path("big.jar"));

    JarFileClassLoader oneByOne(path("big.jar"));
    LogCapture expectedLog;
    for (const QString &name : oneByOne.getClassNames())
        oneByOne.loadClass(name);
    const QStringList expectedWarnings = expectedLog.texts(Logger::L_WARN);

    JarFileClassLoader whole(path("big.jar"));
    const Class *early = whole.loadClass("Lc/C300;");
    LogCapture log;
    whole.loadAllClasses();
    EXPECT_EQ(log.texts(Logger::L_WARN), expectedWarnings);
    EXPECT_GE(expectedWarnings.size(), 14);
    EXPECT_EQ(whole.loadClass("Lc/C300;"), early);
    const QMap<QString, Class *> expected = oneByOne.getAllClasses();
    const QMap<QString, Class *> actual = whole.getAllClasses();
    ASSERT_EQ(actual.keys(), expected.keys());
    for (const QString &name : expected.keys())
        EXPECT_EQ(parentOf(actual.value(name)), parentOf(expected.value(name)))
            << name.toStdString();
}

TEST_F(ClassLoaderTest, AListingNamesWhatLoadingEverythingGivesAndKeepsNoClass)
{
    const QString first = jar("one.jar",
                              { { "p/A.class", classBytes("p/A", "p/First") },
                                { "p/Bad.class", notAClass },
                                { "p/A.class", classBytes("p/A", "dup/Later") } });
    makeFile("classes/p/A.class", classBytes("p/A"));
    makeFile("classes/q/Moved.class", classBytes("elsewhere/Named")); // printed by its own name
    const QString classpath = first + ":" + path("classes");

    const auto loaded = chain(classpath);
    QStringList loadLines;
    {
        LogCapture loadLog;
        loaded->loadAllClasses();
        loadLines = loadLog.lines();
    }
    QMultiMap<QString, QString> expected;
    const QMap<QString, Class *> all = loaded->getAllClasses();
    for (auto it = all.cend(); it != all.cbegin();) {
        --it; // inserting backwards keeps the order of equal keys
        expected.insert(it.key(), it.value()->getName().toString());
    }

    const auto listed = chain(classpath);
    const LogCapture listLog;
    const QMultiMap<QString, QString> names = listed->listAllClasses();
    EXPECT_EQ(names.keys(), expected.keys());
    EXPECT_EQ(names.values(), expected.values());
    EXPECT_TRUE(names.values().contains("elsewhere.Named"));
    EXPECT_EQ(listLog.lines(), loadLines);
    EXPECT_TRUE(listed->getAllClasses().isEmpty());
}

} // namespace
