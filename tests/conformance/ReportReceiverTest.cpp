#include "tools/receiver/ReportReceiver.h"

#include "SampleTrees.h"
#include "conformance/RUtil.h"
#include "support/Files.h"
#include "support/LogCapture.h"

#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <future>
#include <gtest/gtest.h>
#include <vector>

namespace {

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

QString saved(int number)
{
    return QString("Report %1 from %2: .*").arg(number).arg(fromLoopback);
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

/// A connection that has sent bytes, whole, and stays open until destroyed.
std::unique_ptr<QTcpSocket> connectAndSend(quint16 port, const QByteArray &bytes)
{
    auto socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(QHostAddress::LocalHost, port);
    EXPECT_TRUE(socket->waitForConnected(5000));
    socket->write(bytes);
    while (socket->bytesToWrite() > 0 && socket->waitForBytesWritten(60000)) { }
    return socket;
}

/// A receiver on a free loopback port, saving into a fresh directory, with room for two reports
/// at once.
class Receiver
{
public:
    explicit Receiver(int deadlineMs)
        : receiver({ dir.path(), deadlineMs, ReceiverSettings().maxLength, 2 })
        , lines(&receiver, &ReportReceiver::line)
    {
        EXPECT_TRUE(receiver.listen(QHostAddress::LocalHost, 0));
    }

    quint16 port() const { return receiver.serverPort(); }

    /// The receiver's next line, waiting for it if need be; empty when none comes.
    QString nextLine()
    {
        if (lines.isEmpty() && !lines.wait(5000))
            return {};
        return lines.takeFirst().at(0).toString();
    }

    QString path(const QString &name) const { return dir.filePath(name); }

private:
    QTemporaryDir dir;
    ReportReceiver receiver;
    QSignalSpy lines;
};

} // namespace

TEST(ReportReceiver, RejectsMalformedReportsAndSavesEveryGoodOneInBothFormsWithoutOverwriting)
{
    Receiver receiver(300);
    writeFile(receiver.path("report-1.txt"), "");
    enum Then { Wait, Close, Trickle };
    const struct
    {
        QByteArray bytes;
        Then then;
        QString reason;
    } cases[] = {
        { lengthField(-1), Wait, "length -1 is negative" },
        { lengthField(0x7fffffff), Wait, "length 2147483647 exceeds the limit of 67108864 bytes" },
        { lengthField(10) + "abc", Close, "message truncated: 3 of 10 bytes received" },
        { QByteArray("\0\0", 2), Close, "connection closed after 2 of the 4 length bytes" },
        { QByteArray(), Close, "connection closed without a report" },
        { lengthField(2) + "\xff\xff", Wait, "the message is not a valid result tree" },
        { QByteArray(), Wait, "no complete report within 300 ms" },
        { lengthField(100) + "abc", Wait, "no complete report within 300 ms" },
        // Never silent for long, never done: only a deadline for the whole report ends it.
        { lengthField(100), Trickle, "no complete report within 300 ms" },
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(test.reason.toStdString());
        const std::unique_ptr<QTcpSocket> sender = connectAndSend(receiver.port(), test.bytes);
        if (test.then == Close)
            sender->disconnectFromHost();
        QTimer trickle;
        QObject::connect(&trickle, &QTimer::timeout, [&] { sender->write("x"); });
        if (test.then == Trickle)
            trickle.start(20);
        expectMatch(receiver.nextLine(), rejected(test.reason));
    }

    const std::unique_ptr<TestResultGroup> example = exampleTree();
    const std::unique_ptr<TestResultGroup> rootOnly(createResultsTreeRootNode());
    auto sent = sendFromAnotherThread(receiver.port(), { example.get(), rootOnly.get() });
    expectMatch(receiver.nextLine(),
                QString("Report 2 from %1: %2 bytes saved as %3 and %4")
                    .arg(fromLoopback)
                    .arg(example->ByteSizeLong())
                    .arg(QRegularExpression::escape(receiver.path("report-2.bin")),
                         QRegularExpression::escape(receiver.path("report-2.txt"))));
    expectMatch(receiver.nextLine(), saved(3));
    EXPECT_EQ(sent.get(), QStringList());
    EXPECT_EQ(readFile(receiver.path("report-2.bin")).toStdString(), example->SerializeAsString());
    EXPECT_EQ(readFile(receiver.path("report-2.txt")), exampleText());
    EXPECT_EQ(readFile(receiver.path("report-3.bin")).toStdString(), rootOnly->SerializeAsString());
    EXPECT_EQ(readFile(receiver.path("report-3.txt")), "Results Tree:\n\n");
    EXPECT_EQ(readFile(receiver.path("report-1.txt")), "");
}

TEST(ReportReceiver, ARealReportGetsThroughWhileSlowSendersHoldEverySlot)
{
    // A deadline that a busy machine does not meet: only the real report ends a slow sender.
    Receiver receiver(60000);
    std::vector<std::unique_ptr<QTcpSocket>> slow;
    for (int i = 0; i < 2; ++i)
        slow.push_back(connectAndSend(receiver.port(), lengthField(100)));

    // Connected first, they are accepted first.
    const std::unique_ptr<TestResultGroup> example = exampleTree();
    auto sent = sendFromAnotherThread(receiver.port(), { example.get() });
    expectMatch(receiver.nextLine(),
                rejected("dropped for a newer connection, 2 reports being received at once"));
    expectMatch(receiver.nextLine(), saved(1));
    EXPECT_EQ(readFile(receiver.path("report-1.txt")), exampleText());
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

/// Runs the receiver program until the test ends; the port is read from its first line.
class ReceiverProcess
{
public:
    explicit ReceiverProcess(const QStringList &arguments)
    {
        process.start(JCT_RECEIVER_BINARY, arguments);
        process.waitForStarted();
        listening = nextLine();
        port = quint16(QRegularExpression(":(\\d+),").match(listening).captured(1).toUInt());
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
    QString listening;
    quint16 port = 0;
};

} // namespace

TEST(ReceiverProgram, PrintsItsPortAndOneLinePerReport)
{
    QTemporaryDir dir;
    const QString reports = dir.filePath("reports");
    ReceiverProcess receiver({ "--port", "0", "--dir", reports, "--timeout", "300" });
    expectMatch(receiver.listening,
                "Listening on 127\\.0\\.0\\.1:\\d+, saving reports in "
                    + QRegularExpression::escape(reports));

    // The report's default host name reaches a receiver on the IPv4 loopback address.
    RUtil::sendResults("localhost", receiver.port, *exampleTree());
    EXPECT_TRUE(receiver.nextLine().startsWith("Report 1 from 127.0.0.1:"));
    EXPECT_EQ(readFile(reports + "/report-1.txt"), exampleText());

    const std::unique_ptr<QTcpSocket> silent = connectAndSend(receiver.port, QByteArray());
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

    // Eight million empty groups: a tree parsed from them would take well over half a GiB.
    const int groups = 8 << 20;
    QByteArray message(2 * groups, '\0');
    for (int i = 0; i < groups; ++i)
        message[2 * i] = '\x12'; // field 2, subgroup, of length 0
    connectAndSend(receiver.port, lengthField(message.size()) + message)->disconnectFromHost();

    // Received while the huge one is still being turned into text.
    LogCapture log;
    RUtil::sendResults("127.0.0.1", receiver.port, *exampleTree());
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
