// Classes as javac writes them: the byte-built cases cannot show that real compiler output reads
// cleanly and yields the dependencies of its source (switches at several code positions, iinc_w,
// an enum's values() and super constructor, array casts, synthetic accessors of nested classes).

#include "ClassFileTestSupport.h"
#include "support/Files.h"
#include "support/Golden.h"

#include <QDirIterator>
#include <gtest/gtest.h>

TEST(FixtureClasses, EveryCompiledClassReadsCleanlyWithTheDependenciesOfItsSource)
{
    QStringList paths;
    for (QDirIterator it(JCT_FIXTURES_CLASSFILE "/classes",
                         { "*.class" },
                         QDir::Files,
                         QDirIterator::Subdirectories);
         it.hasNext();)
        paths << it.next().mid(sizeof(JCT_FIXTURES_CLASSFILE "/classes"));
    paths.sort();
    Outcomes out;
    for (const QString &path : paths) {
        const QByteArray bytes = readFile(JCT_FIXTURES_CLASSFILE "/classes/" + path);
        EXPECT_EQ(parse(bytes)->getTypeDescriptor(), TypeDescriptor::fromClassFileName(path));
        out.add(path, bytes, true);
    }
    Golden::expectEqual("classfile/fixtures.txt", out.text);
}
