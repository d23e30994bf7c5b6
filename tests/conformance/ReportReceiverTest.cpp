#include "tools/receiver/ReportReceiver.h"

#include "Loopback.h"
#include "SampleTrees.h"
#include "conformance/RUtil.h"
#include "support/Files.h"
#include "support/LogCapture.h"

#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <future>
#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr int deadlineMs = 300;
/// For tests that must not meet the deadline on a busy machine.
constexpr int longDeadlineMs = 60000;

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

/// Sends the trees one after the other from another thread, as the tester would, while this
/// thread serves the receiver; gives what the sending side logged.
std::future<QStringList> sendFromAnotherThread(quint16 port,
                                               std::vector<const TestResultGroup *> trees)
{
    return std::async(std::launch::async, [port, trees] {
        LogCapture log;
        for (const TestResultGroup *tree : trees)
            RUtil::sendResults("127.0.0.1", port, *tree);
        return log.lines();
    });
}

QByteArray lengthField(qint32 length)
{
    const quint32 bits = quint32(length);
    const char bytes[] = { char(bits >> 24), char(bits >> 16), char(bits >> 8), char(bits) };
    return QByteArray(bytes, 4);
}

/// A receiver on a free loopback port, saving into a fresh directory, with a short deadline and
/// room for two reports at once.
class ReceiverTest : public testing::Test
{
protected:
    explicit ReceiverTest(int deadline = deadlineMs)
        : receiver({ dir.path(), deadline, ReceiverSettings().maxLength, 2 })
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

    QString path(const QString &name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    ReportReceiver receiver;
    QSignalSpy lines;
    bool listening = false;
};

class PatientReceiverTest : public ReceiverTest
{
protected:
    PatientReceiverTest()
        : ReceiverTest(longDeadlineMs)
    {
    }
};

} // namespace

TEST_F(ReceiverTest, SavesEveryReportInBothFormsWithoutOverwriting)
{
    QFile earlier(path("report-1.txt"));
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.close();
    const std::unique_ptr<TestResultGroup> example = exampleTree();
    const std::unique_ptr<TestResultGroup> rootOnly(createResultsTreeRootNode());

    auto sent = sendFromAnotherThread(receiver.serverPort(), { example.get(), rootOnly.get() });
    expectMatch(nextLine(),
                QString("Report 2 from %1: %2 bytes saved as %3 and %4")
                    .arg(fromLoopback)
                    .arg(example->ByteSizeLong())
                    .arg(QRegularExpression::escape(path("report-2.bin")),
                         QRegularExpression::escape(path("report-2.txt"))));
    expectMatch(nextLine(), "Report 3 from " + fromLoopback + ": .*");
    EXPECT_EQ(sent.get(), QStringList());
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
        { QByteArray(), false, "no complete report within 300 ms" },
        { lengthField(100) + "abc", false, "no complete report within 300 ms" },
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.reason.toStdString());
        LoopbackSocket sender = LoopbackSocket::connectAndSend(receiver.serverPort(), test.bytes);
        if (test.closeAfterwards)
            sender.closeConnection();
        expectMatch(nextLine(), rejected(test.reason));
    }

    const std::unique_ptr<TestResultGroup> example = exampleTree();
    auto sent = sendFromAnotherThread(receiver.serverPort(), { example.get() });
    expectMatch(nextLine(), "Report 1 from " + fromLoopback + ": .*");
    EXPECT_EQ(readFile(path("report-1.txt")), exampleText());
    EXPECT_EQ(sent.get(), QStringList());
}

TEST_F(ReceiverTest, ASenderThatTricklesItsReportIsDroppedAtTheDeadline)
{
    // Never silent for long, never done: only a deadline for the whole report ends it.
    LoopbackSocket sender = LoopbackSocket::connectAndSend(receiver.serverPort(), lengthField(100));
    QTimer trickle;
    QObject::connect(&trickle, &QTimer::timeout, [&] { sender.send("x"); });
    trickle.start(20);
    expectMatch(nextLine(), rejected("no complete report within 300 ms"));
}

TEST_F(PatientReceiverTest, ARealReportGetsThroughWhileSlowSendersHoldEverySlot)
{
    std::vector<LoopbackSocket> slow;
    for (int i = 0; i < 2; ++i)
        slow.push_back(LoopbackSocket::connectAndSend(receiver.serverPort(), lengthField(100)));

    // Connected first, they are accepted first.
    const std::unique_ptr<TestResultGroup> example = exampleTree();
    auto sent = sendFromAnotherThread(receiver.serverPort(), { example.get() });
    expectMatch(nextLine(),
                rejected("dropped for a newer connection, 2 reports being received at once"));
    expectMatch(nextLine(), "Report 1 from " + fromLoopback + ": .*");
    EXPECT_EQ(readFile(path("report-1.txt")), exampleText());
    EXPECT_EQ(sent.get(), QStringList());
}

TEST(ReportReceiver, TwoReceiversOnOneDirectoryNeverOverwriteEachOther)
{
    QTemporaryDir dir;
    ReportReceiver first({ dir.path() });
    ReportReceiver second({ dir.path() });
    ASSERT_TRUE(first.listen(QHostAddress::LocalHost, 0));
    ASSERT_TRUE(second.listen(QHostAddress::LocalHost, 0));
    QSignalSpy firstLines(&first, &ReportReceiver::line);
    QSignalSpy secondLines(&second, &ReportReceiver::line);

    constexpr int reports = 20;
    std::vector<TestResultGroup> trees(reports);
    std::vector<const TestResultGroup *> toFirst;
    std::vector<const TestResultGroup *> toSecond;
    for (int i = 0; i < reports; ++i) {
        trees[size_t(i)].set_name(QString("Report %1").arg(i).toStdString());
        (i % 2 ? toFirst : toSecond).push_back(&trees[size_t(i)]);
    }
    auto sentToFirst = sendFromAnotherThread(first.serverPort(), toFirst);
    auto sentToSecond = sendFromAnotherThread(second.serverPort(), toSecond);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return firstLines.size() + secondLines.size() == reports; }, 20000));
    EXPECT_EQ(sentToFirst.get() + sentToSecond.get(), QStringList());

    QStringList names;
    for (int number = 1; number <= reports; ++number) {
        TestResultGroup tree;
        EXPECT_TRUE(tree.ParseFromString(
            readFile(dir.filePath(QString("report-%1.bin").arg(number))).toStdString()));
        names << QString::fromStdString(tree.name());
    }
    names.sort();
    names.removeDuplicates();
    EXPECT_EQ(names.size(), reports);
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
    QString nextLine(int timeoutMs = 5000)
    {
        while (!process.canReadLine() && process.waitForReadyRead(timeoutMs)) { }
        return QString::fromLocal8Bit(process.readLine()).trimmed();
    }

    /// The most memory the program has held so far, in KiB (VmHWM); 0 when unknown.
    long peakMemoryKiB() const
    {
        QFile status(QString("/proc/%1/status").arg(process.processId()));
        if (!status.open(QIODevice::ReadOnly))
            return 0;
        const QRegularExpressionMatch peak = QRegularExpression("VmHWM:\\s*(\\d+) kB")
                                                 .match(QString::fromLatin1(status.readAll()));
        return peak.captured(1).toLong();
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
    EXPECT_TRUE(receiver.nextLine().endsWith(": no complete report within 300 ms"));
    EXPECT_EQ(receiver.process.state(), QProcess::Running);
}

TEST(ReceiverProgram, AHugeReportCostsLittleMemoryAndHoldsUpNoOtherReport)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "memory is not measured under AddressSanitizer";
#endif
    QTemporaryDir dir;
    ReceiverProcess receiver({ "--port", "0", "--dir", dir.path() });
    const quint16 port
        = quint16(QRegularExpression(":(\\d+),").match(receiver.nextLine()).captured(1).toUInt());

    // Eight million empty groups: a tree parsed from them would take well over half a GiB.
    const int groups = 8 << 20;
    QByteArray message(2 * groups, '\0');
    for (int i = 0; i < groups; ++i)
        message[2 * i] = '\x12'; // field 2, subgroup, of length 0
    LoopbackSocket huge
        = LoopbackSocket::connectAndSend(port, lengthField(message.size()) + message);
    huge.closeConnection();

    // Received while the huge one is still being turned into text.
    LogCapture log;
    RUtil::sendResults("127.0.0.1", port, *exampleTree());
    EXPECT_EQ(log.lines(), QStringList());

    // The small report may finish arriving first and take the first number.
    const QStringList lines { receiver.nextLine(60000), receiver.nextLine(60000) };
    for (const QString &line : lines)
        EXPECT_TRUE(line.startsWith("Report ") && line.contains(" from 127.0.0.1:"))
            << line.toStdString();
    const QByteArray first = readFile(dir.filePath("report-1.txt"));
    const QByteArray second = readFile(dir.filePath("report-2.txt"));
    EXPECT_TRUE(first == exampleText() || second == exampleText());
    const long peak = receiver.peakMemoryKiB();
    EXPECT_GT(peak, 0);
    EXPECT_LT(peak, 200 * 1024);
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
