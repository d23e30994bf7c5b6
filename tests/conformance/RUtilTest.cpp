#include "conformance/RUtil.h"

#include "conformance/ResultsFile.h"

#include "Loopback.h"
#include "SampleTrees.h"
#include "app/Options.h"
#include "support/Files.h"
#include "support/Golden.h"
#include "support/LogCapture.h"

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

/// A regular file in dir, to stand where a directory should: refused even to root.
QString regularFile(const QTemporaryDir &dir)
{
    QFile file(dir.filePath("file"));
    file.open(QIODevice::WriteOnly);
    return file.fileName();
}

/// Points the report at a log directory and port for one test, then restores the options.
class ReportOptions
{
public:
    ReportOptions(const QString &logDir, int port)
        : saved(*Options::opts)
    {
        Options::opts->logDir = logDir;
        Options::opts->host = "127.0.0.1";
        Options::opts->port = port;
    }
    ~ReportOptions() { *Options::opts = saved; }

private:
    Options saved;
};

/// Runs store on this thread while the listener reads on another; returns the bytes received.
QByteArray storeAndReceive(LoopbackSocket &listener, const TestResultGroup &root)
{
    auto received = std::async(std::launch::async, [&] { return listener.acceptAndReadAll(); });
    store(root);
    return received.get();
}

/// Splits a report into its length field and message, checking that they agree.
std::string messageOf(const QByteArray &report)
{
    EXPECT_GE(report.size(), 4);
    if (report.size() < 4)
        return {};
    const qint32 length = qFromBigEndian<qint32>(report.constData());
    EXPECT_EQ(length, report.size() - 4);
    return report.mid(4).toStdString();
}

} // namespace

TEST(ResultsText, ExampleTreeIsWrittenExactly)
{
    EXPECT_EQ(resultsText(*exampleTree()), exampleText());
    EXPECT_EQ(resultsText(*std::unique_ptr<TestResultGroup>(createResultsTreeRootNode())),
              "Results Tree:\n\n");
}

// Results come before subgroups, INSPECT reads UNKNOWN, and names from class files and jar
// entries, which anybody can write, cannot forge lines.
TEST(ResultsText, OrderScoresAndControlCharacters)
{
    TestResultGroup group;
    group.set_name("p.A\nResults Tree:");
    group.add_subgroup()->set_name("Sub");
    TestResult *inspect = group.add_results();
    inspect->set_name("Class p.A\n  Forged: PASS");
    inspect->set_score(R_INSPECT);
    inspect->set_description("Test\r\tit.");
    warning(inspect->mutable_logs(), "native");
    error(inspect->mutable_logs(), "bad\x1b[2J");
    group.add_results()->set_score(R_FAIL);
    Golden::expectEqual("conformance/results-text.txt", resultsText(group));
}

TEST(ResultsFile, ThePreviousFileGoesWhenTheRunStartsAndTheNewOneAppearsWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("results.txt");
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("Results of an earlier run\n");
    old.close();
    LogCapture log;

    ResultsFile results(path);
    EXPECT_FALSE(QFile::exists(path));
    results.write(*exampleTree());
    EXPECT_EQ(readFile(path), exampleText());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList { "results.txt" });
    EXPECT_EQ(logText(log), "");
}

TEST(ResultsFile, AnUnwritableDirectoryIsSaidAtOnceAndAFullDiskAtTheEnd)
{
    QTemporaryDir dir;
    const QString notADirectory = regularFile(dir);
    LogCapture log;
    ResultsFile unwritable(notADirectory + "/results.txt");
    EXPECT_EQ(logText(log),
              ("ERROR: Unable to open results file for writing " + notADirectory + "/results.txt")
                  .toStdString());
    unwritable.write(*exampleTree());
    EXPECT_EQ(log.lines().size(), 1);

    if (!QFile::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    log.clear();
    // A device is never removed nor replaced, only written.
    RUtil::writeResultsFile("/dev/full", *exampleTree());
    EXPECT_EQ(logText(log),
              "ERROR: Could not write results file /dev/full. No space left on device");
    EXPECT_TRUE(QFile::exists("/dev/full"));
}

TEST(Store, PortZeroReplacesTheFileAndDoesNothingElse)
{
    QTemporaryDir dir;
    QFile old(dir.filePath("results.txt"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(4096, 'x'));
    old.close();
    // A trailing slash makes two slashes before the file name, which the file system accepts.
    ReportOptions options(dir.path() + "/", 0);
    LogCapture log;
    store(*exampleTree());
    EXPECT_EQ(readFile(dir.filePath("results.txt")), exampleText());
    EXPECT_EQ(logText(log), "");
}

TEST(Store, TheHostReceivesTheLengthAndTheTree)
{
    const std::unique_ptr<TestResultGroup> example = exampleTree();
    const std::unique_ptr<TestResultGroup> rootOnly(createResultsTreeRootNode());
    for (const TestResultGroup *tree : { example.get(), rootOnly.get() }) {
        QTemporaryDir dir;
        LoopbackSocket listener(LoopbackSocket::Listening);
        ReportOptions options(dir.path(), listener.port());
        LogCapture log;

        const QByteArray report = storeAndReceive(listener, *tree);
        EXPECT_EQ(report.size(), 4 + int(tree->ByteSizeLong()));
        EXPECT_EQ(messageOf(report), tree->SerializeAsString());
        EXPECT_EQ(readFile(dir.filePath("results.txt")), resultsText(*tree));
        EXPECT_EQ(logText(log), "");
    }
}

TEST(Store, ARefusedConnectionIsOneErrorAndTheFileIsComplete)
{
    QTemporaryDir dir;
    LoopbackSocket closed(LoopbackSocket::Refusing);
    ReportOptions options(dir.path(), closed.port());
    LogCapture log;

    store(*exampleTree());
    EXPECT_EQ(logText(log),
              QString("ERROR: Could not connect to 127.0.0.1:%1 to report test results. "
                      "Connection refused")
                  .arg(closed.port())
                  .toStdString());
    EXPECT_EQ(readFile(dir.filePath("results.txt")), exampleText());
}

TEST(Store, AnUnwritableLogDirectoryStillSendsTheReport)
{
    QTemporaryDir dir;
    const QString notADirectory = regularFile(dir);
    LoopbackSocket listener(LoopbackSocket::Listening);
    ReportOptions options(notADirectory, listener.port());
    LogCapture log;

    std::unique_ptr<TestResultGroup> tree = exampleTree();
    const QByteArray report = storeAndReceive(listener, *tree);
    EXPECT_EQ(logText(log),
              ("ERROR: Unable to open results file for writing " + notADirectory + "/results.txt")
                  .toStdString());
    EXPECT_EQ(messageOf(report), tree->SerializeAsString());
}

TEST(Store, AHostThatClosesBeforeReadingEverythingIsAWriteError)
{
    // The report fits into the kernel's buffers at once: only the host's reset tells it was lost.
    LoopbackSocket host(LoopbackSocket::Listening);
    LogCapture log;
    auto closed = std::async(std::launch::async, [&] { host.acceptAndResetAfter(2); });
    RUtil::sendResults("127.0.0.1", host.port(), *exampleTree());
    closed.get();
    EXPECT_EQ(logText(log), "ERROR: Could not write data to network. Connection reset by peer");
}

TEST(Store, AHostThatNeverClosesIsADisconnectProblem)
{
    // Nobody accepts the connection: the kernel takes the report, and no close ever comes.
    LoopbackSocket host(LoopbackSocket::Listening);
    LogCapture log;
    RUtil::sendResults("127.0.0.1", host.port(), *exampleTree(), 200);
    EXPECT_EQ(logText(log), "ERROR: Disconnect problem. Network operation timed out");
}

TEST(Store, AHostThatNeverReadsEndsInAWriteError)
{
    // The listener's small receive buffer and a tree far beyond the send buffer keep the report
    // from ever draining; nobody accepts the connection either, the kernel completes it alone.
    LoopbackSocket listener(LoopbackSocket::Listening, 4096);
    TestResultGroup tree;
    tree.set_name(std::string(16 << 20, 'x'));
    LogCapture log;

    RUtil::sendResults("127.0.0.1", listener.port(), tree, 200);
    EXPECT_EQ(logText(log),
              "ERROR: Could not write data to network. Network operation timed out\n"
              "ERROR: Disconnect problem. Network operation timed out");
}
