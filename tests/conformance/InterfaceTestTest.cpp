#include "conformance/InterfaceTest.h"

#include "conformance/Results.h"
#include "conformance/ResultsFile.h"
#include "support/Golden.h"
#include "support/LogCapture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace {
const QString referenceJar = QString(JCT_FIXTURES_INTERFACE_REFERENCE) + "/interface_reference.jar";
const QString componentJar = QString(JCT_FIXTURES_INTERFACE_COMPONENT) + "/interface_component.jar";
const QString componentClasses = QString(JCT_FIXTURES_INTERFACE_COMPONENT) + "/classes";

QString text(const std::string &bytes)
{
    return QString::fromLocal8Bit(bytes.c_str());
}

const TestResultGroup *child(const TestResultGroup &group, const QString &name)
{
    for (const TestResultGroup &subgroup : group.subgroup()) {
        if (text(subgroup.name()) == name)
            return &subgroup;
    }
    return nullptr;
}

QStringList childNames(const TestResultGroup &group)
{
    QStringList names;
    for (const TestResultGroup &subgroup : group.subgroup())
        names << text(subgroup.name());
    return names;
}

// A result as one comparable line list: "name: SCORE", the description, then "LEVEL text" lines.
QStringList outcome(const TestResult &result)
{
    QStringList lines { text(result.name()) + (result.score() == R_PASS ? ": PASS" : ": FAIL"),
                        text(result.description()) };
    for (const LogEntry &entry : result.logs())
        lines << (entry.level() == L_ERROR ? "ERROR " : "WARNING ") + text(entry.text());
    return lines;
}

QList<QStringList> outcomes(const TestResultGroup *group)
{
    QList<QStringList> all;
    for (const TestResult &result : group->results())
        all << outcome(result);
    return all;
}

/// One interface test run with its tree; the class groups are found by dotted name.
struct InterfaceRun
{
    InterfaceRun(const Classpath &test, const Classpath &gold)
        : root(createResultsTreeRootNode())
    {
        InterfaceTest(root.get(), test, gold).runTest();
    }
    const TestResultGroup &interfaceResults() const { return root->subgroup(0); }
    const TestResultGroup *section(const QString &className, const QString &name) const
    {
        const TestResultGroup *cls = child(interfaceResults(), className);
        return cls ? child(*cls, name) : nullptr;
    }
    std::unique_ptr<TestResultGroup> root;
};

/// The tree in its results.txt form.
QByteArray resultsText(const TestResultGroup &root)
{
    QTemporaryDir dir;
    ResultsFile(dir.filePath("results.txt")).write(root);
    QFile file(dir.filePath("results.txt"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}
} // namespace

// The component deviates from the reference in every class attribute, in field types and flags,
// in method signatures (candidates listed), flags and thrown exceptions; one class is missing.
TEST(InterfaceTest, EveryDeviationFromTheReferenceIsNamed)
{
    const InterfaceRun run { Classpath(componentJar), Classpath(referenceJar) };
    Golden::expectEqual("conformance/interface-against-reference.txt", resultsText(*run.root));
}

TEST(InterfaceTest, ClassFileNewerThanJava8FailsTheVersionCheck)
{
    QTemporaryDir dir;
    const QString classFile = dir.filePath("ifc/Base.class");
    ASSERT_TRUE(QDir(dir.path()).mkpath("ifc"));
    ASSERT_TRUE(QFile::copy(componentClasses + "/ifc/Base.class", classFile));
    QFile file(classFile);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.seek(6); // u2 major_version, after u4 magic and u2 minor_version
    file.write(QByteArray::fromHex("0035"));
    file.close();

    InterfaceRun run(Classpath(dir.path()), Classpath(componentJar));
    EXPECT_EQ(outcomes(run.section("ifc.Base", "Attributes")).at(1),
              (QStringList { "Java version 8 test: FAIL",
                             "Java class file version must be 8 or less.",
                             "ERROR Found incorrect version INVALID" }));
}

TEST(InterfaceTest, ClassDefinedTwiceInTheGoldClasspathIsTestedTwiceAgainstOneDefinition)
{
    // Both jars define every class but ifc.Missing; the later jar's definition is the one the
    // gold map gives first, and it matches the component exactly.
    LogCapture log;
    InterfaceRun run(Classpath(componentJar), Classpath(referenceJar + ":" + componentJar));
    EXPECT_EQ(childNames(run.interfaceResults()),
              (QStringList { "ifc.Base",
                             "ifc.Base",
                             "ifc.Gadget",
                             "ifc.Gadget",
                             "ifc.Missing",
                             "ifc.Sealed",
                             "ifc.Sealed",
                             "ifc.Shape",
                             "ifc.Shape",
                             "ifc.Widget",
                             "ifc.Widget" }));
    int failures = 0;
    for (const TestResultGroup &cls : run.interfaceResults().subgroup()) {
        for (const TestResultGroup &section : cls.subgroup()) {
            for (const TestResult &result : section.results())
                failures += result.score() == R_FAIL ? 1 : 0;
        }
    }
    EXPECT_EQ(failures, 1); // ifc.Missing's existence
    const QStringList info
        = log.texts(Logger::L_INFO).filter(QRegExp("^(Test |Interface test|Gold|Test classpath)"));
    EXPECT_EQ(info.mid(0, 5),
              (QStringList { "Gold classpath configured",
                             "Test classpath configured",
                             "Interface test starting",
                             "Test 9% 1/11 Lifc/Base;",
                             "Test 18% 2/11 Lifc/Base;" }));
    EXPECT_EQ(info.last(), "Interface test completed");
}

TEST(InterfaceTest, EmptyGoldClasspathLeavesInterfaceResultsEmpty)
{
    LogCapture log;
    InterfaceRun run { Classpath(componentJar), Classpath() };
    EXPECT_EQ(run.root->subgroup_size(), 1);
    EXPECT_EQ(text(run.interfaceResults().name()), "Interface Results");
    EXPECT_EQ(run.interfaceResults().subgroup_size(), 0);
    EXPECT_TRUE(log.contains(Logger::L_INFO, "Interface test completed"));
}

TEST(InterfaceTest, UnreadableGoldFileInterruptsTheTestButNotTheAccessTest)
{
    QTemporaryDir dir;
    const QString broken = dir.filePath("broken.javagold");
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\xff\xff\xff", 3);
    file.close();

    LogCapture log;
    std::unique_ptr<TestResultGroup> root(createResultsTreeRootNode());
    InterfaceTest(root.get(), Classpath(componentJar), Classpath(broken), Classpath(referenceJar))
        .runTest();
    EXPECT_EQ(childNames(*root), (QStringList { "Interface Results", "Access Results" }));
    EXPECT_EQ(root->subgroup(0).subgroup_size(), 0);
    EXPECT_EQ(log.texts(Logger::L_ERROR).filter("Test interrupted by exception - ").size(), 1);
    EXPECT_FALSE(log.contains(Logger::L_INFO, "Interface test completed"));
    EXPECT_TRUE(log.contains(Logger::L_INFO, "Access test completed"));
}
