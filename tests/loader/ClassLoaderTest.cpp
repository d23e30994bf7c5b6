#include "loader/ClassLoader.h"
#include "JarBuilder.h"
#include "goldformat/ProtoIO.h"
#include "loader/JarFileClassLoader.h"
#include "support/ClassFileBuilder.h"
#include "support/Golden.h"
#include "support/LogCapture.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

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

    /// Every class the loader holds, by name, with its parent.
    static QStringList held(const ClassLoader &loader)
    {
        QStringList texts;
        const QMap<QString, Class *> all = loader.getAllClasses();
        for (auto it = all.cbegin(); it != all.cend(); ++it)
            texts << it.key() + " extends " + it.value()->getParent().getDescriptor();
        return texts;
    }

    /// What a chain over the entries warns about and answers for each name, then all it holds
    /// once everything is loaded; the temporary folder reads $TMP.
    QString chainOver(const QStringList &entries, const QStringList &names)
    {
        LogCapture log;
        const std::unique_ptr<ClassLoader> loader(
            ClassLoader::create(Classpath(entries.join(':'))));
        QStringList text { "classpath " + entries.join(':') };
        for (const QString &name : names) {
            const Class *cls = loader->loadClass(name);
            text << name + (cls ? " extends " + cls->getParent().getDescriptor() : " not found");
        }
        loader->loadAllClasses();
        text << held(*loader);
        for (const Logger::Level level : { Logger::L_INFO, Logger::L_WARN, Logger::L_ERROR })
            text << log.texts(level);
        return text.join("\n").replace(dir.path(), "$TMP") + "\n\n";
    }

    QTemporaryDir dir;
};

TEST(Classpath, EmptyPiecesAreDropped)
{
    EXPECT_EQ(Classpath("a::b:"), (QStringList { "a", "b" }));
    EXPECT_EQ(Classpath("a::b:").toString(), "a:b");
    EXPECT_TRUE(Classpath("").isEmpty());
}

// Entries of unknown kind are skipped; a kind is decided by the name alone; the earlier of two
// copies wins and the later is named as shadowed; an entry named again is read once; a broken copy
// gives way to the next, while warnings reject nothing; a directory's class files come before its
// jars; and symbolic link cycles end the walk; a directory where a class file is due hides the
// class; a gold file gives the first record of a name.
TEST_F(ClassLoaderTest, ChainsOverEveryKindOfEntry)
{
    makeFile("lone/Foo.class", classBytes("Foo"));
    jar("lib.JAR", { { "Foo.class", classBytes("Foo") } });
    const QString one = jar("one.jar", { { "p/A.class", classBytes("p/A", "p/First") } });
    const QString two = jar(
        "two.jar",
        { { "p/A.class", classBytes("p/A", "p/Second") }, { "p/B.class", classBytes("p/B") } });
    ASSERT_TRUE(QFile::link(one, path("link.jar")));
    ClassFileBuilder warned("W");
    warned.addClassAttribute(warned.attribute("Foo", QByteArray()));
    const QString broken
        = jar("broken.jar", { { "p/A.class", notAClass }, { "W.class", warned.build() } });
    makeFile("tree/a/B.class", classBytes("a/B", "a/Loose"));
    makeFile("tree/a/Odd.CLASS", classBytes("a/Odd"));
    makeFile("tree/a/Note.txt", "text");
    jar("tree/lib/x.jar",
        { { "a/B.class", classBytes("a/B", "a/Jarred") }, { "c/D.class", classBytes("c/D") } });
    ASSERT_TRUE(QFile::link(path("tree"), path("tree/a/up")));
    ASSERT_TRUE(QFile::link(path("tree/a"), path("tree/a/self")));
    makeFile("tree/q/Dir.class/keep", "");
    jar("jars/one.jar", { { "p/A.class", classBytes("p/A") } });
    jar("jars/sub/two.jar", { { "p/B.class", classBytes("p/B") } });

    QString out
        = chainOver({ path("a"), "", path("lib.JAR"), path("lone/Foo.class") }, { "LFoo;" });
    out += chainOver({ path("missing.jar") }, { "LFoo;" });
    out += chainOver({ one, two, path("tree/../one.jar"), path("link.jar") }, { "Lp/A;" });
    out += chainOver({ broken, one }, { "Lp/A;", "LW;" });
    out += chainOver({ path("tree"), path("tree/") }, { "La/B;", "Lc/D;", "La/Odd;", "Lq/Dir;" });
    out += chainOver({ path("jars") }, {});
    JClasses root;
    for (const char *parent : { "Lp/First;", "Lp/Second;" }) {
        JClass *record = root.add_classes();
        record->set_name("Lp/A;");
        record->set_parent(parent);
    }
    ProtoIO::write(&root, path("api.javagold"));
    out += chainOver({ path("api.javagold") }, { "Lp/A;", "Lp/C;" });
    Golden::expectEqual("loader/chains.txt", out.toUtf8());
}

// Loading a whole jar in one pass must behave exactly like asking for each of its names in turn:
// the same classes, the same rejections and the same warnings in the same order, across batches,
// with repeated names, broken and empty entries, and a class loaded before.
TEST_F(ClassLoaderTest, LoadingAWholeJarMatchesLoadingEachNameInTurn)
{
    JarBuilder builder;
    for (int i = 0; i < 700; ++i) {
        const QString name = QString("c/C%1").arg(i);
        builder.add(name + ".class",
                    i % 97 == 5        ? notAClass
                        : i % 101 == 7 ? QByteArray()
                                       : classBytes(name));
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
    EXPECT_EQ(held(whole), held(oneByOne));
}

} // namespace
