#include "report/RUtil.h"

#include "report/ResultsFile.h"

#include "Loopback.h"
#include "SampleTrees.h"
#include "base/Options.h"
#include "support/Files.h"
#include "support/Golden.h"
#include "support/LogCapture.h"
#include "support/ProtoData.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <future>
#include <gtest/gtest.h>

namespace {

/// The captured lines as one text, so that a failure prints readably.
std::string logText(const LogCapture &log)
{
    return log.lines().join('\n').toStdString();
}

/// The message of a report, once its length field is checked.
std::string messageOf(const QByteArray &report)
{
    EXPECT_GE(report.size(), 4);
    if (report.size() < 4)
        return {};
    EXPECT_EQ(qFromBigEndian<qint32>(report.constData()), report.size() - 4);
    return report.mid(4).toStdString();
}

} // namespace

TEST(ResultsText, OrderScoresAndControlCharacters)
{
    Golden::expectEqual("report/results-text.txt",
                        resultsText(protoData<TestResultGroup>("report/results-text.textproto")));
}

TEST(ResultsFile, AFullDiskIsSaidAndTheDeviceKept)
{
    if (!QFile::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    LogCapture log;
    // A device is never removed nor replaced, only written.
    RUtil::writeResultsFile("/dev/full", *exampleTree());
    EXPECT_EQ(logText(log),
              "ERROR: Could not write results file /dev/full. No space left on device");
    EXPECT_TRUE(QFile::exists("/dev/full"));
}

// results.txt replaces a longer file of an earlier run, whole, and the host, when there is one,
// gets the length and the tree; neither carries where the findings were made, nor the jar a
// class was read from.
TEST(Store, WritesTheResultsFileAndReportsToTheHostWhateverTheOtherDoes)
{
    const struct
    {
        LoopbackHost::Behaviour host;
        bool logDirUsable;
        QString log; // %1: the host's port, %2: the log directory
    } cases[] = {
        { LoopbackHost::Absent, true, "" },
        { LoopbackHost::ReadsAll, true, "" },
        { LoopbackHost::Refuses,
          true,
          "ERROR: Could not connect to 127.0.0.1:%1 to report test results. Connection refused" },
        { LoopbackHost::ReadsAll,
          false,
          "ERROR: Unable to open results file for writing %2/results.txt" },
    };
    std::unique_ptr<TestResultGroup> tree = exampleTree();
    TestResult &result
        = *tree->mutable_subgroup(0)->mutable_subgroup(0)->mutable_subgroup(0)->mutable_results(0);
    result.add_origins()->set_member("m()V");
    result.set_more_origins(2);
    tree->mutable_subgroup(0)->mutable_subgroup(0)->set_entry("lib/a.jar");
    const Options saved = *Options::opts;
    Options::opts->host = "127.0.0.1";
    for (const auto &test : cases) {
        SCOPED_TRACE(test.log.toStdString());
        QTemporaryDir dir;
        writeFile(dir.filePath("results.txt"), QByteArray(4096, 'x'));
        // A trailing slash makes two slashes before the file name, which the file system accepts;
        // a file where the directory should be is refused even to root.
        const QString logDir = test.logDirUsable ? dir.path() + "/" : dir.filePath("results.txt");
        LoopbackHost host(test.host);
        Options::opts->logDir = logDir;
        Options::opts->port = host.port();
        LogCapture log;

        store(*tree);
        EXPECT_EQ(logText(log),
                  QString(test.log)
                      .replace("%1", QString::number(host.port()))
                      .replace("%2", logDir)
                      .toStdString());
        if (test.logDirUsable) {
            EXPECT_EQ(readFile(dir.filePath("results.txt")), exampleText());
        }
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList { "results.txt" });
        if (test.host == LoopbackHost::ReadsAll) {
            EXPECT_EQ(messageOf(host.received()), exampleTree()->SerializeAsString());
        }
    }
    *Options::opts = saved;
}

TEST(SendResults, AHostThatLosesTheReportIsAnErrorOfItsOwn)
{
    // A reset is the only sign that a report small enough for the kernel's buffers was lost. A
    // host that never accepts leaves the kernel to take the report, and no close ever comes; with a
    // report far beyond the send buffer, the writing never ends either.
    const std::unique_ptr<TestResultGroup> example = exampleTree();
    TestResultGroup huge;
    huge.set_name(std::string(16 << 20, 'x'));
    const struct
    {
        LoopbackHost::Behaviour host;
        const TestResultGroup &tree;
        int timeoutMs;
        std::string log;
    } cases[] = {
        { LoopbackHost::ResetsAfterTwoBytes,
          *example,
          RUtil::reportTimeoutMs,
          "ERROR: Could not write data to network. Connection reset by peer" },
        { LoopbackHost::NeverAccepts,
          *example,
          200,
          "ERROR: Disconnect problem. Network operation timed out" },
        { LoopbackHost::NeverReads,
          huge,
          200,
          "ERROR: Could not write data to network. Network operation timed out\n"
          "ERROR: Disconnect problem. Network operation timed out" },
    };
    for (const auto &test : cases) {
        LoopbackHost host(test.host);
        LogCapture log;
        RUtil::sendResults("127.0.0.1", host.port(), test.tree, test.timeoutMs);
        EXPECT_EQ(logText(log), test.log);
    }
}
