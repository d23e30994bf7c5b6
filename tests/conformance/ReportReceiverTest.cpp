#include "tools/receiver/ReportReceiver.h"

#include "Loopback.h"
#include "SampleTrees.h"
#include "conformance/RUtil.h"

#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr int idleTimeoutMs = 300;

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// Expects line to match the whole of pattern, a regular expression.
void expectMatch(const QString &line, const QString &pattern)
{
    EXPECT_TRUE(QRegularExpression("^" + pattern + "$").match(line).hasMatch())
        << "line: " << line.toStdString() << "\npattern: " << pattern.toStdString();
}

const QString fromLoopback = "127\\.0\\.0\\.1:[0-9]+";

QString rejected(const QString &reason)
{
    return "Rejected report from " + fromLoopback + ": " + QRegularExpression::escape(reason);
}

QByteArray lengthField(qint32 length)
{
    const quint32 bits = quint32(length);
    const char bytes[] = { char(bits >> 24), char(bits >> 16), char(bits >> 8), char(bits) };
    return QByteArray(bytes, 4);
}

/// A receiver on a free loopback port, saving into a fresh directory, with a short timeout.
class ReceiverTest : public testing::Test
{
protected:
    ReceiverTest()
        : receiver({ dir.path(), idleTimeoutMs, ReceiverSettings().maxLength, 2 })
        , lines(&receiver, &ReportReceiver::line)
    {
        listening = receiver.listen(QHostAddress::LocalHost, 0);
    }

    void SetUp() override { ASSERT_TRUE(listening) << receiver.errorString().toStdString(); }

    /// The receiver's next line, waiting for it if need be; empty when none comes.
    QString nextLine()
    {
        if (lines.isEmpty() && !lines.wait(5000))
            return {};
        return lines.takeFirst().at(0).toString();
    }

    QString path(const char *name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    ReportReceiver receiver;
    QSignalSpy lines;
    bool listening = false;
};

} // namespace

TEST_F(ReceiverTest, SavesEveryReportInBothFormsWithoutOverwriting)
{
    QFile earlier(path("report-1.txt"));
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.close();
    const std::unique_ptr<TestResultGroup> example = exampleTree();
    const std::unique_ptr<TestResultGroup> rootOnly(createResultsTreeRootNode());

    // The report is small enough for the kernel to take it all before the receiver runs.
    RUtil::sendResults("127.0.0.1", receiver.serverPort(), *example);
    RUtil::sendResults("127.0.0.1", receiver.serverPort(), *rootOnly);

    expectMatch(nextLine(),
                QString("Report 2 from %1: %2 bytes saved as %3 and %4")
                    .arg(fromLoopback)
                    .arg(example->ByteSizeLong())
                    .arg(QRegularExpression::escape(path("report-2.bin")),
                         QRegularExpression::escape(path("report-2.txt"))));
    expectMatch(nextLine(), "Report 3 from " + fromLoopback + ": .*");
    EXPECT_EQ(readFile(path("report-2.bin")).toStdString(), example->SerializeAsString());
    EXPECT_EQ(readFile(path("report-2.txt")), exampleText());
    EXPECT_EQ(readFile(path("report-3.bin")).toStdString(), rootOnly->SerializeAsString());
    EXPECT_EQ(readFile(path("report-3.txt")), "Results Tree:\n\n");
    EXPECT_EQ(readFile(path("report-1.txt")), "");
}

TEST_F(ReceiverTest, RejectsMalformedReportsAndKeepsServing)
{
    struct Case
    {
        QByteArray bytes;
        bool closeAfterwards;
        QString reason;
    };
    const std::vector<Case> cases = {
        { lengthField(-1), false, "length -1 is negative" },
        { lengthField(0x7fffffff), false, "length 2147483647 exceeds the limit of 67108864 bytes" },
        { lengthField(10) + "abc", true, "message truncated: 3 of 10 bytes received" },
        { QByteArray("\0\0", 2), true, "connection closed after 2 of the 4 length bytes" },
        { QByteArray(), true, "connection closed without a report" },
        { lengthField(2) + "\xff\xff", false, "the message is not a valid result tree" },
        { QByteArray(), false, "no data for 300 ms" },
        { lengthField(100) + "abc", false, "no data for 300 ms" },
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.reason.toStdString());
        LoopbackSocket sender = LoopbackSocket::connectAndSend(receiver.serverPort(), test.bytes);
        if (test.closeAfterwards)
            sender.closeConnection();
        expectMatch(nextLine(), rejected(test.reason));
    }

    RUtil::sendResults("127.0.0.1", receiver.serverPort(), *exampleTree());
    expectMatch(nextLine(), "Report 1 from " + fromLoopback + ": .*");
    EXPECT_EQ(readFile(path("report-1.txt")), exampleText());
}

TEST_F(ReceiverTest, RefusesConnectionsBeyondItsLimit)
{
    std::vector<LoopbackSocket> silent;
    for (int i = 0; i < 3; ++i)
        silent.push_back(LoopbackSocket::connectAndSend(receiver.serverPort(), QByteArray()));

    expectMatch(nextLine(),
                "Refused connection from " + fromLoopback
                    + ": 2 reports are already being received");
    expectMatch(nextLine(), rejected("no data for 300 ms"));
    expectMatch(nextLine(), rejected("no data for 300 ms"));

    // The slots are free again.
    RUtil::sendResults("127.0.0.1", receiver.serverPort(), *exampleTree());
    expectMatch(nextLine(), "Report 1 from " + fromLoopback + ": .*");
}

#ifdef JCT_RECEIVER_BINARY

namespace {

/// Runs the receiver program; killed when the test ends.
class ReceiverProcess
{
public:
    explicit ReceiverProcess(const QStringList &arguments)
    {
        process.start(JCT_RECEIVER_BINARY, arguments);
        process.waitForStarted();
    }
    ~ReceiverProcess()
    {
        process.kill();
        process.waitForFinished();
    }

    /// The next line on standard output, waiting for it if need be.
    QString nextLine()
    {
        while (!process.canReadLine() && process.waitForReadyRead(5000)) { }
        return QString::fromLocal8Bit(process.readLine()).trimmed();
    }

    QProcess process;
};

} // namespace

TEST(ReceiverProgram, PrintsItsPortAndOneLinePerReport)
{
    QTemporaryDir dir;
    const QString reports = dir.filePath("reports");
    ReceiverProcess receiver({ "--port", "0", "--dir", reports, "--timeout", "300" });

    const QRegularExpressionMatch listening
        = QRegularExpression("^Listening on 127\\.0\\.0\\.1:(\\d+), saving reports in (.*)$")
              .match(receiver.nextLine());
    ASSERT_TRUE(listening.hasMatch());
    EXPECT_EQ(listening.captured(2), reports);
    const quint16 port = quint16(listening.captured(1).toUInt());

    // The report's default host name reaches a receiver on the IPv4 loopback address.
    RUtil::sendResults("localhost", port, *exampleTree());
    EXPECT_TRUE(receiver.nextLine().startsWith("Report 1 from 127.0.0.1:"));
    EXPECT_EQ(readFile(reports + "/report-1.txt"), exampleText());

    LoopbackSocket silent = LoopbackSocket::connectAndSend(port, QByteArray());
    EXPECT_TRUE(receiver.nextLine().endsWith(": no data for 300 ms"));
    EXPECT_EQ(receiver.process.state(), QProcess::Running);
}

TEST(ReceiverProgram, RejectsUnusableOptions)
{
    for (const QStringList &arguments : { QStringList { "--port", "70000" },
                                          QStringList { "--address", "localhost" },
                                          QStringList { "--timeout", "0" },
                                          QStringList { "--bogus" } }) {
        QProcess process;
        process.start(JCT_RECEIVER_BINARY, arguments);
        ASSERT_TRUE(process.waitForFinished(5000));
        EXPECT_EQ(process.exitCode(), 1) << arguments.join(' ').toStdString();
        EXPECT_FALSE(process.readAllStandardError().isEmpty());
    }
}

#endif
