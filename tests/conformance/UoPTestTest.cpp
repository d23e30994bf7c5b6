#include "conformance/UoPTest.h"

#include "goldformat/ProtoIO.h"
#include "loader/ClassLoader.h"
#include "report/SampleTrees.h"
#include "support/ClassFileBuilder.h"
#include "support/Files.h"
#include "support/Golden.h"
#include "support/LogCapture.h"
#include "support/ProtoData.h"
#include "support/Words.h"

#include "JavaTypes.pb.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString mainClasses = QString(JCT_FIXTURES_ACCESS) + "/classes";
const QString laterClasses = QString(JCT_FIXTURES_ACCESSALT) + "/classes";
const QString frameworkJar = QString(JCT_FIXTURES_ACCESSFRAMEWORK) + "/accessframework.jar";
const QString laterJar = QString(JCT_FIXTURES_ACCESSALT) + "/accessalt.jar";

/// One access test in a scratch directory: the platform slice is the first allowed entry, and
/// fixture classes are copied into a component directory, which is tested unless `test` is given.
class AccessRun
{
public:
    AccessRun()
    {
        JClasses platform = protoData<JClasses>("conformance/platform.textproto");
        ProtoIO::write(&platform, dir.filePath("platform.javagold"));
        allowed.append(dir.filePath("platform.javagold"));
    }

    /// Copies compiled fixture classes (such as "app/Derived") into the component directory.
    void addToComponent(const QString &from, const QString &names)
    {
        for (const QString &name : words(names)) {
            const QString target = QString("%1/component/%2.class").arg(dir.path(), name);
            ASSERT_TRUE(QDir().mkpath(QFileInfo(target).path()));
            ASSERT_TRUE(QFile::copy(QString("%1/%2.class").arg(from, name), target))
                << qPrintable(name);
        }
    }

    /// Marks a class of the component directory as built for a later Java release.
    void stamp(const QString &names, quint16 major)
    {
        for (const QString &name : words(names)) {
            QFile file(QString("%1/component/%2.class").arg(dir.path(), name));
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            ASSERT_TRUE(file.seek(6)); // u2 major_version
            ASSERT_TRUE(file.putChar(char(major >> 8)) && file.putChar(char(major & 0xff)));
        }
    }

    /// The access results.
    const TestResultGroup &run()
    {
        if (test.isEmpty())
            test.append(dir.filePath("component"));
        root.reset(createResultsTreeRootNode());
        UoPTest(root.get(), test, allowed).runTest();
        const TestResultGroup &last = root->subgroup(root->subgroup_size() - 1);
        EXPECT_EQ(last.name(), "Access Results");
        return last;
    }

    QTemporaryDir dir;
    Classpath allowed;
    Classpath test;
    std::unique_ptr<TestResultGroup> root;
    LogCapture log;
};

} // namespace

TEST(AccessRun, EachRunIsTranscribedWithTheResultsAndTheWalksOfItsLog)
{
    const struct
    {
        const char *golden;
        QString allowedJars;
        QString testJars; // none: the component directory
        QString fromMain; // fixture classes copied into the component directory
        QString fromLater;
        QString java11; // of these, the classes stamped as built for Java 11
    } runs[] = {
        // Protected members of a superclass in another package called from the subclass, fields
        // found through interfaces of parents, references within the component, the order of the
        // walks, reflection, signature-polymorphic gold methods and those a person has to judge,
        // natives whoever calls them.
        { "built-for",
          frameworkJar,
          "",
          "app/Derived app/ReadsFields app/Polymorphic app/Reflects app/DeclaresNatives",
          "",
          "" },
        // The later framework release shadows the one the component was compiled against: a
        // class made package-private, a method made private, natives.
        { "later-release",
          laterJar + ":" + frameworkJar,
          "",
          "app/UsesHidden app/CallsNatives",
          "",
          "" },
        // A class that two jars hold is tested once, from the first jar: the later release's
        // copy, the only one that uses System, is named as shadowed and not tested.
        { "two-jars", "", frameworkJar + ":" + laterJar, "", "", "" },
        // Compiled against one release, combined with the other: Left and Right name each other
        // as parents, Up and Down as interfaces. Each walk enters each class once.
        { "cycles", "", "", "cyc/User cyc/Left cyc/Up", "cyc/Right cyc/Down", "" },
        // A Java 8 runtime refuses a class built for a later one before anything it uses: that
        // leads its results.
        { "java-11", laterJar + ":" + frameworkJar, "", "app/UsesHidden", "", "app/UsesHidden" },
    };
    for (const auto &fixture : runs) {
        SCOPED_TRACE(fixture.golden);
        AccessRun access;
        access.allowed.append(fixture.allowedJars);
        access.test.append(fixture.testJars);
        access.addToComponent(mainClasses, fixture.fromMain);
        access.addToComponent(laterClasses, fixture.fromLater);
        access.stamp(fixture.java11, 55);
        // The access results as results.txt has them, then the log of the run: the stages, one
        // progress line per class, the walks and each reference found.
        const QByteArray results = resultsText(access.run());
        const QString text = results + "[log]\n" + access.log.lines().join('\n');
        Golden::expectEqual(QString("conformance/access-%1.txt").arg(fixture.golden),
                            QString(text)
                                    .replace(access.dir.path(), "@DIR@")
                                    .replace(frameworkJar, "@FRAMEWORK@")
                                    .replace(laterJar, "@LATER@")
                                    .toLocal8Bit()
                                + '\n');
    }
}

// A class whose code is dropped right after the read, since the component is read whole before
// the test, is tested all the same, and its findings say where the class makes them.
TEST(AccessRun, AClassOfLongCodeIsTestedWithTheLinesOfItsFindings)
{
    AccessRun access;
    ASSERT_TRUE(QDir(access.dir.path()).mkpath("component/p"));
    writeFile(access.dir.filePath("component/p/Big.class"), longCodeClass("p/Big", 1 << 20));

    const TestResultGroup &group = access.run().subgroup(0);
    ASSERT_EQ(group.name(), "p.Big");
    int found = 0;
    for (const TestResult &result : group.results()) {
        if (result.score() != R_FAIL)
            continue;
        ++found;
        ASSERT_EQ(result.origins_size(), 2) << result.name();
        EXPECT_EQ(result.origins(0).member(), "m()V");
        EXPECT_EQ(result.origins(0).line(), 5);
        EXPECT_EQ(result.origins(1).line(), 9);
    }
    EXPECT_EQ(found, 2) << "q.B and q.B.gone()V";
}

// The protected check follows code; a class whose code is dropped after the read cannot be
// followed, and whether it uses a protected member on objects of other classes is left to a
// person.
TEST(AccessRun, AProtectedMemberUsedInCodeTooLargeToKeepIsInspected)
{
    AccessRun access;
    ASSERT_TRUE(QDir(access.dir.path()).mkpath("component/q"));
    ASSERT_TRUE(QDir(access.dir.path()).mkpath("component/p"));
    ClassFileBuilder base("q/Base");
    base.addMethodWithCode("<init>", QByteArray(1, char(0xb1))); // return
    base.addMethod(0x0004, "m", "()V", { base.codeAttribute(QByteArray(1, char(0xb1))) });
    writeFile(access.dir.filePath("component/q/Base.class"), base);
    ClassFileBuilder big("p/Big", "q/Base");
    const quint16 cls = big.classInfo("q/Base");
    const quint16 init = big.methodRef("q/Base", "<init>", "()V");
    const quint16 m = big.methodRef("q/Base", "m", "()V");
    // new q/Base, dup, invokespecial <init>, invokevirtual m, as many nops as it takes, return
    const QByteArray code
        = ByteWriter().u1(0xbb).u2(cls).u1(0x59).u1(0xb7).u2(init).u1(0xb6).u2(m).data()
        + QByteArray(1 << 19, '\0') + QByteArray(1, char(0xb1));
    big.addMethodWithCode("run", code);
    writeFile(access.dir.filePath("component/p/Big.class"), big);

    const TestResultGroup &group = access.run().subgroup(0);
    ASSERT_EQ(group.name(), "p.Big");
    ASSERT_EQ(group.results_size(), 1);
    const TestResult &result = group.results(0);
    EXPECT_EQ(result.name(), "Method m receiver inspection test");
    EXPECT_EQ(result.score(), R_INSPECT);
    EXPECT_EQ(result.logs(0).text(),
              "The code of the class is too large to keep: the objects it uses protected method "
              "q.Base.m on are not known");
}
