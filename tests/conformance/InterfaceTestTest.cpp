#include "conformance/InterfaceTest.h"

#include "conformance/Results.h"
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

class InterfaceTestAgainstReference : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        run = new InterfaceRun(Classpath(componentJar), Classpath(referenceJar));
    }
    static void TearDownTestSuite() { delete run; }
    static InterfaceRun *run; // owned by the suite
};
InterfaceRun *InterfaceTestAgainstReference::run = nullptr;
} // namespace

TEST_F(InterfaceTestAgainstReference, ClassChecksNameEachDeviation)
{
    EXPECT_EQ(
        outcomes(run->section("ifc.Shape", "Attributes")),
        (QList<QStringList> {
            { "Class ifc.Shape existence test: PASS", "Test if class ifc.Shape exists." },
            { "Java version 8 test: PASS", "Java class file version must be 8 or less." },
            { "Class abstract test: FAIL",
              "Test if class is abstract.",
              "ERROR Class should be abstract but is currently non-abstract" },
            { "Class file class test: PASS", "Test if is class." },
            { "Class non-final test: PASS", "Test if class is non-final." },
            { "Class permission test: PASS", "Test if the class has proper access permission." },
            { "Class parent ifc.Base test: FAIL",
              "Test if the class has the proper parent class ifc.Base.",
              "ERROR Parent should be ifc.Base but is currently java.lang.Object" },
            { "Class interface java.lang.Runnable implementation test: FAIL",
              "Test if the class has implemented interface java.lang.Runnable.",
              "ERROR Class should implement java.lang.Runnable" },
            { "Class interface java.lang.Comparable implementation test: PASS",
              "Test if the class has implemented interface java.lang.Comparable." },
        }));
    const auto gadget = outcomes(run->section("ifc.Gadget", "Attributes"));
    EXPECT_EQ(gadget.at(3),
              (QStringList { "Class file interface test: FAIL",
                             "Test if is interface.",
                             "ERROR Class file should be interface but is currently class" }));
    const auto sealed = outcomes(run->section("ifc.Sealed", "Attributes"));
    EXPECT_EQ(sealed.at(4),
              (QStringList { "Class final test: FAIL",
                             "Test if class is final.",
                             "ERROR Class should be final but is currently non-final" }));
    EXPECT_EQ(sealed.at(5).last(), "ERROR Class should be public but is currently package");
}

TEST_F(InterfaceTestAgainstReference, MissingClassHasOnlyItsExistenceResult)
{
    const TestResultGroup *missing = child(run->interfaceResults(), "ifc.Missing");
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(childNames(*missing), QStringList { "Attributes" });
    EXPECT_EQ(
        outcomes(run->section("ifc.Missing", "Attributes")),
        (QList<QStringList> { { "Class ifc.Missing existence test: FAIL",
                                "Test if class ifc.Missing exists.",
                                "ERROR ifc.Missing could not be loaded from the classpath" } }));
    EXPECT_EQ(childNames(*child(run->interfaceResults(), "ifc.Base")),
              (QStringList { "Attributes", "Fields", "Methods" }));
}

TEST_F(InterfaceTestAgainstReference, FieldsCarryOneLinePerMismatchTypeFirst)
{
    EXPECT_EQ(outcomes(run->section("ifc.Widget", "Fields")),
              (QList<QStringList> {
                  { "Field int count test: FAIL",
                    "Test if field int count is properly declared.",
                    "ERROR Field count should be of type int but is currently long.",
                    "ERROR Field count should be non-static but is currently static." },
                  { "Field java.lang.String NAME test: PASS",
                    "Test if field java.lang.String NAME is properly declared." },
              }));
}

TEST_F(InterfaceTestAgainstReference, MethodsListCandidatesAndCompareSortedExceptions)
{
    QMap<QString, QStringList> byName;
    for (const QStringList &lines : outcomes(run->section("ifc.Widget", "Methods")))
        byName.insert(lines.first(), lines.mid(2));
    EXPECT_EQ(byName.value("Method void resize(int) test: FAIL"),
              (QStringList { "ERROR Not found",
                             "ERROR Candidates:",
                             "ERROR void resize(long)",
                             "ERROR void resize(java.lang.String)" }));
    EXPECT_EQ(byName.value("Method void paint() test: FAIL"),
              (QStringList { "ERROR Not found", "ERROR Candidates:", "ERROR [None]" }));
    EXPECT_TRUE(byName.contains("Method void load() test: PASS"));
    EXPECT_TRUE(byName.contains("Method void <init>() test: PASS"));
    EXPECT_EQ(byName.value("Method void save() test: FAIL"),
              (QStringList { "ERROR Method void save() should throw the following exceptionbe.",
                             "ERROR java.io.IOException" }));
    EXPECT_EQ(
        byName.value("Method void stop() test: FAIL"),
        (QStringList { "ERROR Method void stop() should be final but is currently non-final.",
                       "ERROR Method void stop() should be non-static but is currently static." }));
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
