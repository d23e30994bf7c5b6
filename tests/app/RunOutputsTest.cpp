// What a run leaves in its log directory when things go wrong around it: another run, a full disk,
// a directory that cannot be written, a kill.

#include "app/LogDirectoryLock.h"
#include "support/BuiltData.h"
#include "support/Files.h"
#include "support/ProcessRunner.h"
#include "support/Words.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

const QString dataDir = BuiltData::dir() + "/data";
const QString sample = BuiltData::dir() + "/samples/ios-bad.jar";
const QStringList iosTest = words("--nogui --testios --general --classpath " + sample);
QStringList listingIn(const QString &logDir)
{
    return words("--nogui --listcontents --classpath a --logdir") << logDir;
}
/// Files may grow to 512 bytes: far less than results.txt or a gold file of the sample.
const QString tinyDisk = "trap '' XFSZ; ulimit -f 1; exec \"$0\" \"$@\"";

/// Runs the program in a fresh working directory whose data/ is the shipped gold data.
class RunOutputs : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::exists(sample)) << "run scripts/build-data first";
        ASSERT_TRUE(QFile::link(dataDir, runner.path("data")));
    }

    ProcessRunner runner { JCT_APP_BINARY };
    /// The program run on a file system that takes no file beyond 512 bytes.
    ProcessRunner onTinyDisk { "/bin/sh" };
};

} // namespace

TEST_F(RunOutputs, ASecondRunOnALockedLogDirectoryIsRefused)
{
    ASSERT_TRUE(QDir(runner.workDir()).mkdir("logs"));
    writeFile(runner.path("logs/log.txt"), "the first run's log\n");
    {
        const LogDirectoryLock firstRun(runner.path("logs"));
        const ProcessRunner::Result second = runner.run(listingIn("logs"));
        EXPECT_EQ(second.exitCode, 1);
        EXPECT_EQ(second.err, "The log directory logs is in use by another run.\n");
        EXPECT_EQ(runner.readFile("logs/log.txt"), "the first run's log\n");
    }
    EXPECT_EQ(runner.run(listingIn("logs")).exitCode, 0);
}

TEST_F(RunOutputs, AnEmptyLogDirectoryIsTheWorkingDirectory)
{
    EXPECT_EQ(runner.run(listingIn("")).exitCode, 0);
    EXPECT_TRUE(runner.readFile("log.txt").contains("INFO: Classpath: a"));
}

TEST_F(RunOutputs, AnUnwritableLogDirectoryIsSaidWhenTheRunStarts)
{
    writeFile(runner.path("file"), "");
    const ProcessRunner::Result run = runner.run(
        words("--nogui --testtss --general --tssgold missing.javagold --logdir file --classpath "
              + sample));
    EXPECT_EQ(run.exitCode, 2);
    const QString err = QString::fromLocal8Bit(run.err);
    const int unwritable
        = err.indexOf("ERROR: Unable to open results file for writing file/results.txt");
    // The TSS gold file is read after the run has started.
    const int missingGold = err.indexOf("ERROR: Could not open file missing.javagold for reading");
    EXPECT_GE(unwritable, 0) << err.toStdString();
    EXPECT_LT(unwritable, missingGold) << err.toStdString();
}

TEST_F(RunOutputs, AResultsFileThatCannotBeWrittenWholeIsNoneAndTheRunFails)
{
    writeFile(onTinyDisk.path("results.txt"), "Results of an earlier run\n");
    ASSERT_TRUE(QFile::link(dataDir, onTinyDisk.path("data")));
    const ProcessRunner::Result run
        = onTinyDisk.run(QStringList { "-c", tinyDisk, JCT_APP_BINARY } + iosTest);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(
        run.err.contains("ERROR: Could not write results file ./results.txt. File too large"))
        << run.err.toStdString();
    EXPECT_FALSE(QDir(onTinyDisk.workDir())
                     .entryList(QDir::Files | QDir::Hidden)
                     .join(' ')
                     .contains("results"));
}

TEST_F(RunOutputs, AKilledRunLeavesNoResultsOfAnEarlierRun)
{
    writeFile(runner.path("results.txt"), "Results of an earlier run\n");
    QProcess process;
    process.setWorkingDirectory(runner.workDir());
    // The missing first entry is warned about on standard output once the test has started.
    process.start(JCT_APP_BINARY,
                  words("--nogui --testios --general --classpath missing:" + sample));
    ASSERT_TRUE(process.waitForReadyRead(30000));
    process.kill();
    process.waitForFinished();
    EXPECT_FALSE(QFile::exists(runner.path("results.txt")));
}

TEST_F(RunOutputs, AGoldFileThatCannotBeWrittenWholeKeepsTheOldOne)
{
    writeFile(onTinyDisk.path("api.javagold"), "the old gold file");
    const ProcessRunner::Result run
        = onTinyDisk.run(QStringList { "-c", tinyDisk, JCT_APP_BINARY }
                         + words("--nogui --buildjavagold api.javagold --classpath " + sample));
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("ERROR: Could not serialize to file api.javagold"))
        << run.err.toStdString();
    EXPECT_EQ(onTinyDisk.readFile("api.javagold"), "the old gold file");
    EXPECT_FALSE(QDir(onTinyDisk.workDir())
                     .entryList(QDir::Files | QDir::Hidden)
                     .join(' ')
                     .contains("api.javagold."));
}
