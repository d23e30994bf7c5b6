// The seven segment tests as a user runs them: the real program on the sample components and
// the shipped gold files (scripts/build-data), judged by the results.txt it leaves behind.

#include "support/ProcessRunner.h"

#include <QDir>
#include <QFile>
#include <QRegExp>
#include <gtest/gtest.h>

// Readable failure messages for the lists of result lines compared below.
static void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << qPrintable(text) << '"';
}

namespace {
const QString dataDir = QString(JCT_SOURCE_DIR) + "/data";
const QString samplesDir = QString(JCT_BINARY_DIR) + "/samples";
const QString tssGold = samplesDir + "/tss-interface.javagold";

QString sample(const QString &name)
{
    return samplesDir + "/" + name + ".jar";
}

/// One result of results.txt with the groups above it.
struct Result
{
    QStringList path; // group names below the root, outermost first
    QString name;
    QString score;
    QString description;
    QStringList lines;
};

std::ostream &operator<<(std::ostream &out, const Result &result)
{
    return out << qPrintable(result.path.join(" / ")) << " / " << qPrintable(result.name) << ": "
               << qPrintable(result.score) << " [" << qPrintable(result.lines.join(" | ")) << "]";
}

/// results.txt read back. The layout is unambiguous by indentation: a result in a group at depth
/// d is indented 2d + 2, its description 2d + 4 and its lines 2d + 6, and a group's subgroups
/// only follow its results.
class Report
{
public:
    explicit Report(const QByteArray &text)
    {
        static const QRegExp resultLine("^(.*): (PASS|FAIL|UNKNOWN)$");
        QStringList groups;
        int resultIndent = -1;
        for (const QString &line : QString::fromLocal8Bit(text).split('\n')) {
            const int indent = line.indexOf(QRegExp("\\S"));
            if (indent < 0)
                continue;
            const QString content = line.mid(indent);
            if (resultIndent >= 0 && indent == resultIndent + 2) {
                results.last().description = content;
            } else if (resultIndent >= 0 && indent == resultIndent + 4) {
                results.last().lines << content;
            } else if (resultLine.exactMatch(content)) {
                resultIndent = indent;
                results << Result {
                    groups.mid(1, indent / 2 - 1), resultLine.cap(1), resultLine.cap(2), {}, {}
                };
            } else {
                resultIndent = -1;
                groups = groups.mid(0, indent / 2);
                groups << content.chopped(1);
                if (indent == 2)
                    topGroups << groups.last();
                if (indent == 4)
                    classGroups << groups.last();
            }
        }
    }

    QList<Result> withScore(const QString &score) const
    {
        QList<Result> found;
        for (const Result &result : results) {
            if (result.score == score)
                found << result;
        }
        return found;
    }

    /// The result of that name in the group of that class (under any section).
    Result find(const QString &className, const QString &name) const
    {
        for (const Result &result : results) {
            if (result.path.size() > 1 && result.path.at(1) == className && result.name == name)
                return result;
        }
        return Result { {}, name, "<missing>", {}, {} };
    }

    QStringList topGroups;
    QStringList classGroups;
    QList<Result> results;
};

/// Runs the program in a fresh working directory whose data/ is the shipped gold data.
class Recipe : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::exists(dataDir + "/j2se8.javagold")) << "run scripts/build-data first";
        ASSERT_TRUE(QFile::exists(tssGold)) << "run scripts/build-data first";
        ASSERT_TRUE(QFile::link(dataDir, runner.path("data")));
    }

    Report run(const QStringList &arguments)
    {
        const ProcessRunner::Result result = runner.run(QStringList { "--nogui" } + arguments);
        EXPECT_TRUE(result.exitedNormally);
        EXPECT_EQ(result.exitCode, 0);
        return Report(runner.readFile("results.txt"));
    }

    QString log() const { return QString::fromLocal8Bit(runner.readFile("log.txt")); }

    ProcessRunner runner { JCT_APP_BINARY };
};

const QStringList interfaceThenAccess { "Interface Results", "Access Results" };
const QStringList accessOnly { "Access Results" };
} // namespace

TEST_F(Recipe, ConformingSamplesPassEverySegment)
{
    struct Case
    {
        QStringList arguments;
        QString workerLine;
        QStringList topGroups;
    };
    const QList<Case> cases {
        { { "--testios", "--classpath", sample("ios-good") },
          "Running IOS test",
          interfaceThenAccess },
        { { "--testtss", "--classpath", sample("tss-good"), "--tssgold", tssGold },
          "Running TSS test",
          interfaceThenAccess },
        { { "--testtssabs", "--classpath", sample("tssabs-good"), "--tssgold", tssGold },
          "Running TSS with Type Abstraction test",
          interfaceThenAccess },
        { { "--testtssabsiface", "--classpath", sample("tssabsiface-good") },
          "Running TSS Abstraction Interface test",
          interfaceThenAccess },
        { { "--testpss", "--classpath", sample("pss-good"), "--tssgold", tssGold },
          "Running PSS test",
          accessOnly },
        { { "--testpcs", "--classpath", sample("pcs-good"), "--tssgold", tssGold },
          "Running PCS test",
          accessOnly },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const Report report = run(c.arguments + QStringList { "--general" });
        EXPECT_EQ(report.topGroups, c.topGroups);
        EXPECT_FALSE(report.classGroups.isEmpty());
        for (const Result &failure : report.withScore("FAIL"))
            ADD_FAILURE() << failure;
        EXPECT_TRUE(log().contains("INFO: " + c.workerLine + "\n"));
    }
}

namespace {
/// "Section / class: name: SCORE: line / line" for every FAIL and UNKNOWN result, sorted: the
/// whole set of what a run objects to, so that an extra or a missing objection shows. The level
/// word is dropped where it is the expected one (ERROR under FAIL, WARNING under UNKNOWN).
QStringList objections(const Report &report)
{
    QStringList found;
    for (const Result &result : report.results) {
        if (result.score == "PASS")
            continue;
        const QString level = result.score == "FAIL" ? "ERROR: " : "WARNING: ";
        QStringList lines;
        for (const QString &line : result.lines)
            lines << (line.startsWith(level) ? line.mid(level.size()) : line);
        found << QString("%1: %2: %3: %4")
                     .arg(result.path.join(" / "), result.name, result.score, lines.join(" / "));
    }
    found.sort();
    return found;
}

QStringList sorted(QStringList lines)
{
    lines.sort();
    return lines;
}

const QString interfaceSection = "Interface Results / ";
const QString accessSection = "Access Results / ";
const QString notFound = ": FAIL: Class not found";
const QString jni = ": UNKNOWN: Inspection required to determine conformance of JNI calls.";
const QString native = " native test: UNKNOWN: Method is native. Inspection required to determine "
                       "conformance of JNI calls.";
} // namespace

TEST_F(Recipe, ViolatingIosSampleFailsExactlyItsViolations)
{
    const Report report = run({ "--testios", "--general", "--classpath", sample("ios-bad") });
    EXPECT_EQ(report.topGroups, interfaceThenAccess);
    const QString device = accessSection + "vendor.ios.DeviceIoService: ";
    EXPECT_EQ(
        objections(report),
        sorted(
            { interfaceSection
                  + "drav.ios.IoConfiguration / Fields: Field int DEFAULT_BUFFER_SIZE test: FAIL: "
                    "Field DEFAULT_BUFFER_SIZE should be of type int but is currently long.",
              interfaceSection
                  + "drav.ios.IoException / Attributes: Class parent drav.common.DravException "
                    "test: FAIL: "
                    "Parent should be drav.common.DravException but is currently "
                    "java.lang.Exception",
              interfaceSection
                  + "drav.ios.IoHandle / Methods: Method int getId() test: FAIL: "
                    "Method int getId() should have public access but is currently protected.",
              interfaceSection
                  + "drav.ios.IoMode / Attributes: Java version 8 test: FAIL: Found incorrect "
                    "version INVALID",
              device + "Method getId permission test: FAIL: Permission denied",
              device + "Method loadLibrary JNI test" + jni,
              device + "Method close" + native,
              device + "Method open" + native,
              device + "Method transfer" + native }));
}

TEST_F(Recipe, ViolatingTssSampleFailsExactlyItsViolations)
{
    const Report report
        = run({ "--testtss", "--general", "--classpath", sample("tss-bad"), "--tssgold", tssGold });
    const QString queue = accessSection + "vendor.tss.QueueTransport: ";
    const QString send = "drav.common.Status send(drav.tss.ConnectionHandle, drav.tss.Message, ";
    EXPECT_EQ(
        objections(report),
        sorted({ interfaceSection
                     + "drav.tss.Message / Attributes: Class interface java.io.Serializable "
                       "implementation test: "
                       "FAIL: Class should implement java.io.Serializable",
                 interfaceSection
                     + "drav.tss.ReceiveCallback / Attributes: Class drav.tss.ReceiveCallback "
                       "existence test: "
                       "FAIL: drav.tss.ReceiveCallback could not be loaded from the classpath",
                 interfaceSection + "drav.tss.TransportService / Methods: Method " + send
                     + "drav.common.Timeout) test: FAIL: "
                       "Not found / Candidates: / "
                     + send + "long)",
                 accessSection
                     + "drav.tss.TransportService: Class drav.tss.ReceiveCallback existence test"
                     + notFound,
                 queue + "Class drav.ios.IoHandle existence test" + notFound,
                 queue + "Class drav.ios.IoService existence test" + notFound,
                 queue + "Class drav.ios.IoService existence test" + notFound,
                 queue + "Class drav.tss.ReceiveCallback existence test" + notFound,
                 queue
                     + "Class vendor.tss.internal.Frame access test: FAIL: "
                       "Class not reachable based on access permissions vendor.tss.internal.Frame",
                 queue + "Method <init> permission test: FAIL: Permission denied",
                 queue + "Method copy permission test: FAIL: Permission denied" }));
}

TEST_F(Recipe, ViolatingTssAbstractionInterfaceSampleFailsExactlyItsViolations)
{
    const Report report
        = run({ "--testtssabsiface", "--general", "--classpath", sample("tssabsiface-bad") });
    const QString abstractTransport
        = interfaceSection + "drav.tss.abstraction.AbstractTypedTransport / ";
    const QString receive = "Method java.lang.Object receive(drav.common.Timeout)";
    const QString receiveFails = receive + " test: FAIL: " + receive
        + " should throw the following exceptionbe. / drav.tss.TransportException";
    EXPECT_EQ(objections(report),
              sorted({ abstractTransport
                           + "Attributes: Class abstract test: FAIL: "
                             "Class should be abstract but is currently non-abstract",
                       abstractTransport
                           + "Fields: Field drav.tss.abstraction.Codec codec test: FAIL: "
                             "Field codec should have protected access but is currently private.",
                       abstractTransport + "Methods: " + receiveFails,
                       interfaceSection
                           + "drav.tss.abstraction.TypedTransport / Methods: " + receiveFails }));
}

TEST_F(Recipe, ViolatingPssAndPcsSamplesFailAndInspectExactlyTheirViolations)
{
    const Report pss
        = run({ "--testpss", "--general", "--classpath", sample("pss-bad"), "--tssgold", tssGold });
    EXPECT_EQ(pss.topGroups, accessOnly);
    const QString recorder = accessSection + "vendor.pss.Recorder: ";
    // TypedTransport and Plugin are missing once as a class and once as the owner of a method.
    EXPECT_EQ(
        objections(pss),
        sorted({ recorder + "Class drav.tss.abstraction.TypedTransport existence test" + notFound,
                 recorder + "Class drav.tss.abstraction.TypedTransport existence test" + notFound,
                 recorder + "Class vendor.pss.plugin.Plugin existence test" + notFound,
                 recorder + "Class vendor.pss.plugin.Plugin existence test" + notFound,
                 recorder
                     + "Method invokeExact signature polymorphic test: UNKNOWN: "
                       "Inspection required because method is a signature polymorphic method." }));
    EXPECT_EQ(pss.find("vendor.pss.Recorder",
                       "Class java.lang.reflect.Method reflection informational test")
                  .lines,
              QStringList { "WARNING: Class uses reflection java.lang.reflect.Method" });

    const Report pcs
        = run({ "--testpcs", "--general", "--classpath", sample("pcs-bad"), "--tssgold", tssGold });
    EXPECT_EQ(pcs.topGroups, accessOnly);
    const QString monitor = accessSection + "vendor.pcs.Monitor: ";
    EXPECT_EQ(objections(pcs),
              sorted({ monitor + "Method load JNI test" + jni,
                       monitor + "Method validate permission test: FAIL: Permission denied" }));
    EXPECT_EQ(pcs.find("vendor.pcs.Monitor",
                       "Class java.lang.reflect.Field reflection informational test")
                  .lines,
              QStringList { "WARNING: Class uses reflection java.lang.reflect.Field" });
}

TEST_F(Recipe, J2ee8IsConsultedOnlyUnderGeneralPurpose)
{
    for (const QString profile : { "--general", "--safetyExt", "--safetyBase" }) {
        SCOPED_TRACE(profile.toStdString());
        QFile::remove(runner.path("log.txt"));
        const Report report = run(
            { "--testpcs", profile, "--classpath", sample("pcs-good"), "--tssgold", tssGold });
        EXPECT_TRUE(objections(report).isEmpty());
        EXPECT_EQ(log().contains("data/j2ee8.javagold"), profile == "--general");
        EXPECT_TRUE(log().contains("data/j2se8.javagold"));
    }
}

TEST_F(Recipe, MissingGoldFileStillEndsWithResultsFile)
{
    // A data folder of its own, lacking the IOS interface.
    ASSERT_TRUE(QFile::remove(runner.path("data")));
    QDir(runner.workDir()).mkdir("data");
    for (const QString &file : QDir(dataDir).entryList({ "*.javagold" })) {
        if (file != "IOS.javagold") {
            ASSERT_TRUE(QFile::link(dataDir + "/" + file, runner.path("data/" + file)));
        }
    }
    const Report report = run({ "--testios", "--general", "--classpath", sample("ios-good") });
    EXPECT_EQ(report.topGroups, interfaceThenAccess + QStringList { "Input Results" });
    const QString input = "Input Results: ";
    const QString cannotOpen = "Could not open file data/IOS.javagold for reading";
    EXPECT_EQ(objections(report),
              sorted({ input + "Input data/IOS.javagold read test: FAIL: " + cannotOpen
                           + ": not found in " + runner.path("data") + " / Reference data is "
                           + "read from data/ in the working directory " + runner.workDir()
                           + ": start the tester in the directory that holds data/.",
                       input + "Interface test completion test: FAIL: Test interrupted by "
                           + "exception - " + cannotOpen
                           + " / The classes after the interruption were not tested." }));
    EXPECT_TRUE(
        log().contains(QRegExp("ERROR: Test interrupted by exception - [^\n]*IOS.javagold")));
    EXPECT_TRUE(log().contains("INFO: Access test completed"));
}

TEST_F(Recipe, ConformingOssProvidesJ2se8AndUnderGeneralPurposeJ2ee8)
{
    QFile j2ee8Jars(samplesDir + "/j2ee8.classpath");
    ASSERT_TRUE(j2ee8Jars.open(QIODevice::ReadOnly));
    const QString component = QString(JCT_BINARY_DIR)
        + "/refdata/j2se8:" + QString::fromLocal8Bit(j2ee8Jars.readAll()).trimmed();
    const Report report = run({ "--testoss", "--general", "--classpath", component });
    EXPECT_EQ(report.topGroups, QStringList { "Interface Results" });
    EXPECT_TRUE(report.classGroups.contains("java.lang.Object"));
    EXPECT_TRUE(report.classGroups.contains("javax.servlet.Servlet"));
    EXPECT_EQ(objections(report), QStringList());
    EXPECT_TRUE(log().contains("INFO: Running OSS test\n"));
}

TEST_F(Recipe, ViolatingOssSampleFailsExactlyItsViolations)
{
    const Report report = run({ "--testoss", "--safetyBase", "--classpath", sample("oss-bad") });
    EXPECT_EQ(report.topGroups, QStringList { "Interface Results" });
    EXPECT_FALSE(report.classGroups.contains("javax.servlet.Servlet"));
    EXPECT_EQ(
        objections(report),
        sorted(
            { interfaceSection
                  + "java.awt.Insets / Fields: Field int bottom test: FAIL: "
                    "Field bottom should be of type int but is currently long.",
              interfaceSection
                  + "java.lang.ThreadDeath / Methods: Method void <init>() test: FAIL: "
                    "Method void <init>() should have public access but is currently protected.",
              interfaceSection
                  + "java.util.EventListener / Attributes: Java version 8 test: FAIL: "
                    "Found incorrect version INVALID",
              interfaceSection
                  + "java.util.EventListenerProxy / Methods: Method java.util.EventListener "
                    "getListener() test: FAIL: Not found / Candidates: / java.lang.Object "
                    "getListener()",
              interfaceSection
                  + "java.util.EventObject / Attributes: Class interface java.io.Serializable "
                    "implementation test: FAIL: Class should implement java.io.Serializable",
              interfaceSection
                  + "java.util.Observable / Attributes: Class parent java.lang.Object test: FAIL: "
                    "Parent should be java.lang.Object but is currently java.util.Random",
              interfaceSection
                  + "java.util.Stack / Attributes: Class java.util.Stack existence test: FAIL: "
                    "java.util.Stack could not be loaded from the classpath" }));
}
