// Classes as javac writes them: the byte-built cases cannot show that real compiler output reads
// cleanly and yields the dependencies of its source (switches at several code positions, iinc_w,
// an enum's values() and super constructor, array casts, synthetic accessors of nested classes).

#include "ClassFileTestSupport.h"
#include "support/Files.h"
#include "support/Golden.h"

#include <gtest/gtest.h>

TEST(FixtureClasses, EveryCompiledClassReadsCleanlyWithTheDependenciesOfItsSource)
{
    Outcomes out;
    for (const QString &path : fixtureClassFiles()) {
        const QByteArray bytes = readFile(JCT_FIXTURES_CLASSFILE "/classes/" + path);
        EXPECT_EQ(parse(bytes)->getTypeDescriptor(), TypeDescriptor::fromClassFileName(path));
        out.add(path, bytes, true);
    }
    Golden::expectEqual("classfile/fixtures.txt", out.text);
}
