// The log as the running program writes it: log.txt, standard output and standard error.

#include "support/BuiltData.h"
#include "support/ClassFileBuilder.h"
#include "support/ProcessRunner.h"
#include "support/Words.h"

#include <QDir>
#include <QList>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

/// One line as the logger writes it: a UTC stamp to the second, the level label and the text.
const QRegularExpression
    logLine("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ (DEBUG|INFO|WARN|ERROR|UNKNOWN): (.*)$");

/// The lines of a stream without their time stamps ("LEVEL: text"); every line must carry one.
QStringList withoutStamps(const QByteArray &stream)
{
    QStringList lines;
    for (const QString &line : QString::fromLocal8Bit(stream).split('\n', Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = logLine.match(line);
        EXPECT_TRUE(match.hasMatch()) << line.toStdString();
        lines << match.captured(1) + ": " + match.captured(2);
    }
    return lines;
}

/// The lines of the levels given as a regular expression.
QStringList atLevels(const QStringList &lines, const QString &levels)
{
    return lines.filter(QRegularExpression("^(" + levels + "):"));
}

class LogFile : public testing::Test
{
protected:
    ProcessRunner runner { JCT_APP_BINARY };

    ProcessRunner::Result runListing(const QString &classpath, const QString &logDir = ".")
    {
        const ProcessRunner::Result result = runner.run(
            { "--nogui", "--listcontents", "--classpath", classpath, "--logdir", logDir });
        EXPECT_TRUE(result.exitedNormally);
        EXPECT_EQ(result.exitCode, 0);
        return result;
    }
};

} // namespace

TEST_F(LogFile, EveryLevelGoesToTheFileWarningsToStandardOutputErrorsToStandardError)
{
    // A gold file that cannot be written, from an entry that cannot be read: something to log at
    // every level.
    const ProcessRunner::Result result
        = runner.run(words("--nogui --buildjavagold nodir/out.javagold --classpath nothing"));
    EXPECT_EQ(result.exitCode, 2);
    const QStringList log = withoutStamps(runner.readFile("log.txt"));
    EXPECT_TRUE(log.contains("INFO: Starting in console mode."));
    EXPECT_TRUE(log.contains("DEBUG: Worker thread started"));
    EXPECT_TRUE(log.contains("WARN: Could not create class loader for classpath entry nothing"));
    EXPECT_FALSE(atLevels(log, "ERROR").isEmpty());
    EXPECT_EQ(withoutStamps(result.out), atLevels(log, "WARN"));
    EXPECT_EQ(withoutStamps(result.err), atLevels(log, "ERROR|UNKNOWN"));
}

TEST_F(LogFile, LinesOfTheWorkerThreadAreAllWrittenBeforeTheProcessEnds)
{
    // The last worker line races with the quit; a few runs make a lost line show.
    for (int run = 0; run < 5; ++run) {
        runListing("a");
        const QStringList log = withoutStamps(runner.readFile("log.txt"));
        // Emitted by the worker thread after done(), while the main thread is already quitting.
        EXPECT_TRUE(log.contains("DEBUG: Worker thread ended work"));
        EXPECT_TRUE(log.contains("DEBUG: Workered thread ended"));
    }
}

TEST_F(LogFile, ALongJobLeavesEveryLineInOrder)
{
    // Lines are handed over and written in batches: none may be lost, repeated or reordered.
    const int classes = 2000;
    ASSERT_TRUE(QDir(runner.workDir()).mkpath("component/p"));
    for (int i = 0; i < classes; ++i) {
        QFile file(runner.path(QString("component/p/C%1.class").arg(i)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(ClassFileBuilder(QString("p/C%1").arg(i)).build());
    }
    ASSERT_TRUE(QFile::link(BuiltData::path("data"), runner.path("data")));
    const ProcessRunner::Result result
        = runner.run(words("--nogui --testpss --general --classpath component --tssgold "
                           "data/TSS_type_independent.javagold"));
    ASSERT_EQ(result.exitCode, 0);

    static const QRegularExpression progressLine("^INFO: Test \\d+% (\\d+/\\d+) ");
    QStringList progress;
    const QStringList log = withoutStamps(runner.readFile("log.txt"));
    for (const QString &line : log) {
        const QRegularExpressionMatch match = progressLine.match(line);
        if (match.hasMatch())
            progress << match.captured(1);
    }
    QStringList expected;
    for (int i = 1; i <= classes; ++i)
        expected << QString("%1/%2").arg(i).arg(classes);
    EXPECT_EQ(progress, expected);
    EXPECT_EQ(log.count("INFO: Access test completed"), 1);
    EXPECT_TRUE(log.contains("DEBUG: Worker thread ended work"));
}

TEST_F(LogFile, EachRunStartsANewLog)
{
    runListing("first", "logs");
    runListing("second", "logs");
    const QStringList log = withoutStamps(runner.readFile("logs/log.txt"));
    EXPECT_TRUE(log.contains("INFO: Classpath: second"));
    EXPECT_FALSE(log.contains("INFO: Classpath: first"));
    EXPECT_EQ(log.count("INFO: Starting in console mode."), 1);
}

TEST_F(LogFile, TheLogDirectoryIsCreatedOneLevelDeepOnly)
{
    runListing("a", "new");
    EXPECT_TRUE(QFile::exists(runner.path("new/log.txt")));

    const ProcessRunner::Result result = runListing("a", "missing/deeper");
    EXPECT_FALSE(QDir(runner.path("missing")).exists());
    EXPECT_EQ(withoutStamps(result.err),
              QStringList { "ERROR: Could not open log file missing/deeper/log.txt" });
}

TEST_F(LogFile, ALogThatCannotBeWrittenIsSaidOnceOnStandardError)
{
    if (!QFile::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    ASSERT_TRUE(QDir(runner.workDir()).mkdir("full"));
    ASSERT_TRUE(QFile::link("/dev/full", runner.path("full/log.txt")));
    const ProcessRunner::Result result = runListing("a:b:c", "full");
    EXPECT_EQ(
        withoutStamps(result.err),
        QStringList { "ERROR: Could not write log file full/log.txt. No space left on device" });
}

TEST_F(LogFile, AControlCharacterInAMessageCannotForgeALine)
{
    runListing("forged\n2026-12-05T11:22:28Z ERROR: x");
    const QStringList log = withoutStamps(runner.readFile("log.txt"));
    EXPECT_TRUE(log.contains("INFO: Classpath: forged\\n2026-12-05T11:22:28Z ERROR: x"));
    EXPECT_EQ(atLevels(log, "ERROR"), QStringList());
}
