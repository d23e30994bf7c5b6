#include "conformance/UoPTest.h"

#include "SampleTrees.h"
#include "gold/ProtoIO.h"
#include "loader/ClassLoader.h"
#include "support/ClassFileBuilder.h"
#include "support/Files.h"
#include "support/Golden.h"
#include "support/LogCapture.h"

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

JClass &addClass(JClasses &gold, const char *name, JPermission permission = JP_PUBLIC)
{
    JClass &record = *gold.add_classes();
    record.set_name(name);
    record.set_permission(permission);
    if (std::string(name) != "Ljava/lang/Object;")
        record.set_parent("Ljava/lang/Object;");
    return record;
}

JMethod &addMethod(JClass &record, const char *name, const char *descriptor)
{
    JMethod &method = *record.add_methods();
    method.set_name(name);
    method.set_descriptor_(descriptor);
    return method;
}

/// The slice of the Java platform that the fixtures use, as a gold file would describe it.
JClasses platform()
{
    JClasses gold;
    JClass &object = addClass(gold, "Ljava/lang/Object;");
    addMethod(object, "<init>", "()V");
    addMethod(object, "getClass", "()Ljava/lang/Class;");
    addClass(gold, "Ljava/lang/String;");
    addClass(gold, "Ljava/lang/Throwable;");
    addClass(gold, "Ljava/lang/Exception;");
    addMethod(addClass(gold, "Ljava/lang/Class;"),
              "getMethod",
              "(Ljava/lang/String;[Ljava/lang/Class;)Ljava/lang/reflect/Method;");
    JMethod &invoke = addMethod(addClass(gold, "Ljava/lang/invoke/MethodHandle;"),
                                "invoke",
                                "([Ljava/lang/Object;)Ljava/lang/Object;");
    invoke.set_requireinspection(true);
    invoke.set_signature_polymorphic(true);
    addClass(gold, "Ljava/lang/reflect/Method;");
    addMethod(addClass(gold, "Ljava/lang/reflect/Array;", JP_PACKAGE),
              "get",
              "(Ljava/lang/Object;I)Ljava/lang/Object;");
    return gold;
}

/// One access test over a component assembled from fixture class files, with the platform slice
/// and the chosen framework entries as the allowed classpath.
class AccessRun : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath("component"));
        JClasses gold = platform();
        ProtoIO::write(&gold, goldPath());
        allowed.append(goldPath());
    }

    QString goldPath() const { return dir.filePath("platform.javagold"); }
    QString componentPath() const { return dir.filePath("component"); }

    /// Copies a compiled fixture class (such as "app/Derived") into the component directory.
    void addToComponent(const QString &from, const QString &name)
    {
        const QString target = QString("%1/%2.class").arg(componentPath(), name);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(target).path()));
        ASSERT_TRUE(QFile::copy(QString("%1/%2.class").arg(from, name), target))
            << qPrintable(name);
    }

    const TestResultGroup &run()
    {
        if (test.isEmpty())
            test.append(componentPath());
        root.reset(createResultsTreeRootNode());
        UoPTest(root.get(), test, allowed).runTest();
        return accessResults();
    }

    const TestResultGroup &accessResults() const
    {
        const TestResultGroup &last = root->subgroup(root->subgroup_size() - 1);
        EXPECT_EQ(last.name(), "Access Results");
        return last;
    }

    /// The access results as results.txt has them, then the log of the run: the stages, one
    /// progress line per class, the walks and each reference found.
    QByteArray transcript() const
    {
        const QString text = resultsText(accessResults()) + "[log]\n" + log.lines().join('\n');
        return QString(text)
                   .replace(dir.path(), "@DIR@")
                   .replace(frameworkJar, "@FRAMEWORK@")
                   .replace(laterJar, "@LATER@")
                   .toLocal8Bit()
            + '\n';
    }

    QTemporaryDir dir;
    Classpath allowed;
    Classpath test;
    std::unique_ptr<TestResultGroup> root;
    LogCapture log;
};

} // namespace

// Protected members of a superclass in another package called from the subclass, fields found
// through interfaces of parents, references within the component, the order of the walks,
// reflection, signature-polymorphic and inspection-marked gold methods.
TEST_F(AccessRun, ComponentOnTheFrameworkItWasBuiltFor)
{
    allowed.append(frameworkJar);
    for (const char *name : { "app/Derived", "app/ReadsFields", "app/Polymorphic", "app/Reflects" })
        addToComponent(mainClasses, name);
    run();
    Golden::expectEqual("conformance/access-built-for.txt", transcript());
}

// The later framework release shadows the one the component was compiled against: a class
// made package-private, a method made private, natives.
TEST_F(AccessRun, ComponentOnALaterFrameworkRelease)
{
    allowed.append(laterJar);
    allowed.append(frameworkJar);
    addToComponent(mainClasses, "app/UsesHidden");
    addToComponent(mainClasses, "app/CallsNatives");
    run();
    Golden::expectEqual("conformance/access-later-release.txt", transcript());
}

// Both turns of a class that two jars hold test the first jar's copy: the later release's, the
// only one that uses System.
TEST_F(AccessRun, AClassInTwoJarsOfTheComponentIsTestedTwiceWithTheFirstOfTheMap)
{
    test.append(frameworkJar);
    test.append(laterJar);
    run();
    Golden::expectEqual("conformance/access-two-jars.txt", transcript());
}

// A class whose code is dropped right after the read, since the component is read whole before
// the test, is tested all the same, and its findings say where the class makes them.
TEST_F(AccessRun, AClassOfLongCodeIsTestedWithTheLinesOfItsFindings)
{
    ASSERT_TRUE(QDir(componentPath()).mkpath("p"));
    writeFile(componentPath() + "/p/Big.class", longCodeClass("p/Big", 1 << 20));

    const TestResultGroup &group = run().subgroup(0);
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

// Compiled against one release, combined with the other: Left and Right name each other as
// parents, Up and Down as interfaces. Each walk enters each class once.
TEST_F(AccessRun, SuperclassAndInterfaceCyclesEndTheWalks)
{
    addToComponent(mainClasses, "cyc/User");
    addToComponent(mainClasses, "cyc/Left");
    addToComponent(laterClasses, "cyc/Right");
    addToComponent(mainClasses, "cyc/Up");
    addToComponent(laterClasses, "cyc/Down");
    run();
    Golden::expectEqual("conformance/access-cycles.txt", transcript());
}

TEST_F(AccessRun, AGoldFileThatCannotBeReadInterruptsTheTestAndKeepsEarlierResults)
{
    const QString broken = dir.filePath("broken.javagold");
    writeFile(broken, QByteArray("\x0a\xff\xff\xff\x0f", 5)); // a record longer than the file
    allowed.append(broken);
    addToComponent(mainClasses, "app/Derived");
    root.reset(createResultsTreeRootNode());
    root->add_subgroup()->set_name("Interface Results");
    root->mutable_subgroup(0)->add_results()->set_name("earlier");

    UoPTest(root.get(), Classpath(componentPath()), allowed).runTest();

    ASSERT_EQ(root->subgroup_size(), 2);
    EXPECT_EQ(root->subgroup(0).results(0).name(), "earlier");
    EXPECT_EQ(accessResults().subgroup_size(), 0);
    EXPECT_TRUE(log.contains(
        Logger::L_ERROR,
        QString("Test interrupted by exception - Could not deserialize from file %1").arg(broken)));
    EXPECT_FALSE(log.contains(Logger::L_INFO, "Access test starting"));
}

TEST(UoPTestWalks, HostileInterfaceLatticesAndLongChainsEndWithTheRightAnswer)
{
    // Interfaces each extending the next two: a lattice in which a walk that searched every path
    // again would take exponential time.
    JClasses gold = platform();
    const int lattice = 60;
    for (int i = 0; i < lattice; ++i) {
        JClass &record = addClass(gold, qPrintable(QString("Lh/I%1;").arg(i)));
        record.set_interface(true);
        for (int next = i + 1; next <= i + 2 && next < lattice; ++next)
            record.add_interfaces(qPrintable(QString("Lh/I%1;").arg(next)));
    }
    addMethod(*gold.mutable_classes(gold.classes_size() - 1), "deep", "()V");
    // A superclass chain far longer than any stack of recursive calls could follow.
    const int chain = 10000;
    for (int i = 0; i < chain; ++i)
        addClass(gold, qPrintable(QString("Lh/C%1;").arg(i)))
            .set_parent(qPrintable(QString("Lh/C%1;").arg(i + 1)));
    JField &top = *gold.mutable_classes(gold.classes_size() - 1)->add_fields();
    top.set_name("top");
    QTemporaryDir dir;
    ProtoIO::write(&gold, dir.filePath("walk.javagold"));
    const std::unique_ptr<ClassLoader> loader(
        ClassLoader::create(Classpath(dir.filePath("walk.javagold"))));
    UoPTest test(nullptr, Classpath(), Classpath());
    Class *first = loader->loadClass("Lh/I0;");
    LogCapture log;

    const TypeDescriptor owner("Lh/I0;");
    EXPECT_EQ(test.checkInterfaceForMethod(
                  *loader, first, DepMethod(owner, "absent", MethodSignature("()V"))),
              nullptr);
    EXPECT_LT(log.texts(Logger::L_INFO).size(), 20000);
    EXPECT_NE(test.checkInterfaceForMethod(
                  *loader, first, DepMethod(owner, "deep", MethodSignature("()V"))),
              nullptr);

    const TypeDescriptor bottom("Lh/C0;");
    Class *start = loader->loadClass(bottom.descriptor);
    EXPECT_NE(
        test.checkParentForField(*loader, start, DepField(bottom, "top", TypeDescriptor("I"))),
        nullptr);
    EXPECT_EQ(
        test.checkParentForField(*loader, start, DepField(bottom, "none", TypeDescriptor("I"))),
        nullptr);
}
