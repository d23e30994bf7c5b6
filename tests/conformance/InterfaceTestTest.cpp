#include "conformance/InterfaceTest.h"

#include "SampleTrees.h"
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

TEST(InterfaceTest, ClassFileNewerThanJava8FailsTheVersionCheck)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("ifc"));
    QByteArray bytes = readFile(componentClasses + "/ifc/Base.class");
    bytes.replace(6, 2, QByteArray::fromHex("0035")); // u2 major_version after magic and minor
    writeFile(dir.filePath("ifc/Base.class"), bytes);

    EXPECT_TRUE(interfaceRun(Classpath(dir.path()), Classpath(componentJar))
                    .contains("        Java version 8 test: FAIL\n"
                              "          Java class file version must be 8 or less.\n"
                              "            ERROR: Found incorrect version INVALID\n"));
}

// The component deviates from the reference in every class attribute, in field types and flags,
// in method signatures (candidates listed), flags and thrown exceptions; one class is missing.
// Then both jars as the gold: they define every class but ifc.Missing; the later jar's definition
// is the one the gold map gives first, and it matches the component exactly: only ifc.Missing
// fails.
TEST(InterfaceTest, EveryDeviationIsNamedAndAClassDefinedTwiceInTheGoldIsTestedTwiceAgainstOne)
{
    Golden::expectEqual("conformance/interface-against-reference.txt",
                        interfaceRun(Classpath(componentJar), Classpath(referenceJar)));
    LogCapture log;
    const QByteArray results
        = interfaceRun(Classpath(componentJar), Classpath(referenceJar + ":" + componentJar));
    const QStringList progress
        = log.texts(Logger::L_INFO).filter(QRegExp("^(Test |Interface test|Gold|Test classpath)"));
    Golden::expectEqual("conformance/interface-defined-twice.txt",
                        results + progress.join('\n').toLocal8Bit() + '\n');
}
