#include "conformance/InterfaceTest.h"

#include "report/SampleTrees.h"
#include "support/ClassFileBuilder.h"
#include "support/Files.h"
#include "support/Golden.h"
#include "support/LogCapture.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace {
const QString referenceJar = QString(JCT_FIXTURES_INTERFACE_REFERENCE) + "/interface_reference.jar";
const QString componentJar = QString(JCT_FIXTURES_INTERFACE_COMPONENT) + "/interface_component.jar";
const QString componentClasses = QString(JCT_FIXTURES_INTERFACE_COMPONENT) + "/classes";

/// The results.txt form of an interface test run.
QByteArray interfaceRun(const Classpath &test, const Classpath &gold)
{
    const std::unique_ptr<TestResultGroup> root(createResultsTreeRootNode());
    InterfaceTest(root.get(), test, gold).runTest();
    return resultsText(*root);
}
} // namespace

// Alone, without the access test, the interface test also fails the component's classes that
// the reference does not list, each in a group of its own.
TEST(InterfaceTest, ClassFileNewerThanJava8FailsTheVersionCheck)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("ifc") && QDir(dir.path()).mkpath("x"));
    QByteArray bytes = readFile(componentClasses + "/ifc/Base.class");
    bytes.replace(6, 2, QByteArray::fromHex("0035")); // u2 major_version after magic and minor
    writeFile(dir.filePath("ifc/Base.class"), bytes);
    ClassFileBuilder extra("x/Extra");
    extra.majorVersion = 61;
    writeFile(dir.filePath("x/Extra.class"), extra);
    writeFile(dir.filePath("x/Old.class"), ClassFileBuilder("x/Old"));

    const QByteArray results = interfaceRun(Classpath(dir.path()), Classpath(componentJar));
    EXPECT_TRUE(results.contains("        Java version 8 test: FAIL\n"
                                 "          Java class file version must be 8 or less.\n"
                                 "            ERROR: Found incorrect version INVALID\n"));
    EXPECT_TRUE(results.endsWith("    x.Extra:\n\n"
                                 "      Java version 8 test: FAIL\n"
                                 "        Java class file version must be 8 or less.\n"
                                 "          ERROR: Found incorrect version INVALID\n\n"))
        << results.right(300).toStdString();
}

// The component deviates from the reference in every class attribute, in field types and flags,
// in method signatures (candidates listed), flags and thrown exceptions; one class is missing.
// Then both jars as the gold: a class both define is tested once, against the reference, which
// comes first on the classpath, so the results are those of the reference alone; each of the
// component's copies is named as shadowed.
TEST(InterfaceTest, EveryDeviationIsNamedAndAClassDefinedTwiceInTheGoldIsTestedOnceAgainstTheFirst)
{
    const QByteArray alone = interfaceRun(Classpath(componentJar), Classpath(referenceJar));
    Golden::expectEqual("conformance/interface-against-reference.txt", alone);
    LogCapture log;
    EXPECT_EQ(interfaceRun(Classpath(componentJar), Classpath(referenceJar + ":" + componentJar)),
              alone);
    EXPECT_EQ(log.texts(Logger::L_INFO).filter(" is shadowed by its copy in ").size(), 5);
}
