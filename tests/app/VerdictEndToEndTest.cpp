// What a user is told at the end of a run that went wrong, or found something: the real
// program's summary on standard output, results.txt and the exit status.

#include "support/BuiltData.h"
#include "support/ProcessRunner.h"
#include "support/Words.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

const QString dataDir = BuiltData::dir() + "/data";
const QString samplesDir = BuiltData::dir() + "/samples";
const QString tssGold = samplesDir + "/tss-interface.javagold";
const QString findingsJar = QString(JCT_FIXTURES_FINDINGS) + "/findings.jar";
const QString olderFramework = QString(JCT_FIXTURES_FINDINGSAPI) + "/findingsapi.jar";

class Verdict : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::exists(dataDir + "/j2se8.javagold")) << "run scripts/build-data first";
        ASSERT_TRUE(QDir(runner.workDir()).mkdir("run"));
        ASSERT_TRUE(QFile::link(dataDir, runner.path("data")));
    }

    /// The summary a run printed, after checking that it ended as every test command does.
    QString run(const QStringList &arguments)
    {
        const ProcessRunner::Result result
            = runner.run(QStringList { "--nogui", "--logdir", "run" } + arguments);
        EXPECT_TRUE(result.exitedNormally);
        EXPECT_EQ(result.exitCode, 0);
        return QString::fromLocal8Bit(result.out);
    }

    QString results() const { return QString::fromLocal8Bit(runner.readFile("run/results.txt")); }

    ProcessRunner runner { JCT_APP_BINARY };
};

} // namespace

// What each kind of input that could not be read is called is the loader's; here, that the summary
// and results.txt say it, for a component entry and for a gold file.
TEST_F(Verdict, EveryInputThatWasNotReadFailsAndLeavesTheRunIncomplete)
{
    const struct
    {
        QString arguments;
        QString notRead;
    } cases[] = {
        { "--testpcs --general --classpath nonexistent.jar --tssgold " + tssGold,
          "component classpath entry nonexistent.jar: not found in " + runner.workDir() },
        { "--testtss --general --classpath " + samplesDir + "/tss-good.jar --tssgold typo.javagld",
          "TSS gold file typo.javagld: not found in " + runner.workDir() },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.toStdString());
        const QString summary = run(words(c.arguments));
        EXPECT_TRUE(summary.contains("\n  Verdict: incomplete - 1 input not read, "))
            << qPrintable(summary);
        EXPECT_TRUE(summary.contains("\n  Not read:\n    " + c.notRead + "\n"))
            << qPrintable(summary);
        EXPECT_TRUE(results().contains("\n  Input Results:\n\n    Input "))
            << qPrintable(results());
    }
}

TEST_F(Verdict, ARunAwayFromTheDataSaysWhereTheDataWasLookedFor)
{
    ASSERT_TRUE(QFile::remove(runner.path("data")));
    const QString summary
        = run({ "--testios", "--general", "--classpath", samplesDir + "/ios-good.jar" });
    const QString inRun = runner.workDir();
    EXPECT_TRUE(
        summary.contains("  Verdict: incomplete - 2 inputs not read and 2 tests interrupted"))
        << qPrintable(summary);
    EXPECT_TRUE(summary.contains(
        "    reference data file data/IOS.javagold: Could not open file data/IOS.javagold for "
        "reading: not found in "
        + inRun + "/data\n      Reference data is read from data/ in the working directory " + inRun
        + ": start the tester in the directory that holds data/.\n"))
        << qPrintable(summary);
    EXPECT_TRUE(results().contains("    Interface test completion test: FAIL\n"));
}

TEST_F(Verdict, OneMissingClassIsOneFindingWithTheClassesThatUseItAndCausesAreNamed)
{
    const QString summary
        = run(words("--testpss --general --classpath " + findingsJar + " --frameworkclasspath "
                    + olderFramework + " --tssgold " + tssGold));
    EXPECT_EQ(summary.count("sun.misc.Unsafe not found"), 1) << qPrintable(summary);
    EXPECT_TRUE(summary.contains("\n    sun.misc.Unsafe not found, used by 14 classes\n"))
        << qPrintable(summary);
    EXPECT_TRUE(
        summary.contains("\n    method fw.Bytes fw.Bytes.flip() not found, used by 1 class\n"
                         "      exists returning fw.Buffer: compiled against a newer API; build "
                         "with --release 8\n"));
    EXPECT_TRUE(
        summary.contains("\n    method void fw.Buffer.reset() not accessible, used by 1 class\n"
                         "      protected method of fw.Buffer; vendor.findings.Resetter is "
                         "in another package and not a subclass\n"));
    EXPECT_TRUE(
        summary.contains("\n  A framework classpath may be missing: 6 classes not found lie "
                         "in 2 packages that no allowed classpath entry holds (org.absent, "
                         "sun.misc)."));
    EXPECT_TRUE(summary.contains("\n  Verdict: does not conform - "));
    EXPECT_TRUE(summary.endsWith("\n  Log file:     " + runner.workDir() + "/run/log.txt\n"));
    // results.txt keeps its texts: the causes are not in it.
    EXPECT_FALSE(results().contains("newer API"));
}

TEST_F(Verdict, WithoutADisplayTheWindowEndsWithOneLineThatSuggestsTheConsole)
{
    runner.setEnvironment("QT_QPA_PLATFORM", "");
    runner.setEnvironment("DISPLAY", "");
    runner.setEnvironment("WAYLAND_DISPLAY", "");
    const ProcessRunner::Result result
        = runner.run({ "--testtss", "--general", "--classpath", "c.jar", "--logdir", "run" });
    EXPECT_TRUE(result.exitedNormally);
    EXPECT_EQ(result.exitCode, 1);
    const QStringList errors = QString::fromLocal8Bit(result.err).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(errors.size(), 1) << result.err.constData();
    EXPECT_TRUE(errors.first().endsWith("ERROR: Cannot show the window: no display is available. "
                                        "Use --nogui to run a command in the console (--help "
                                        "lists them)."));
    EXPECT_TRUE(QString::fromLocal8Bit(result.out)
                    .endsWith(" WARN: --classpath, --testtss, --general ignored in GUI mode: add "
                              "--nogui to run the command in the console.\n"))
        << result.out.constData();
}
