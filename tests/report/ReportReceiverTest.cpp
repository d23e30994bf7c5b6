#include "tools/receiver/ReportReceiver.h"

#include "SampleTrees.h"
#include "report/RUtil.h"
#include "support/Files.h"
#include "support/Golden.h"
#include "support/LogCapture.h"
#include "support/ProcessRunner.h"
#include "support/Words.h"

#include <QHostAddress>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <future>
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace {

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

/// A receiver on a free loopback port with room for two reports at once, saving into directory
/// or, when none is given, into a fresh one.
class Receiver
{
public:
    explicit Receiver(int deadlineMs, const QString &directory = QString())
        : dir(directory.isEmpty() ? ownDir.path() : directory)
        , receiver({ dir, deadlineMs, ReceiverSettings().maxLength, 2 })
        , lines(&receiver, &ReportReceiver::line)
    {
        EXPECT_TRUE(receiver.listen(QHostAddress::LocalHost, 0));
    }

    quint16 port() const { return receiver.serverPort(); }

    /// The receiver's next line, waiting for it if need be, with the sender's port and the
    /// directory replaced; empty when none comes.
    QString nextLine()
    {
        if (lines.isEmpty() && !lines.wait(5000))
            return {};
        return lines.takeFirst()
            .at(0)
            .toString()
            .replace(QRegularExpression("127\\.0\\.0\\.1:\\d+"), "@PEER@")
            .replace(dir, "@DIR@");
    }

    QString path(const QString &name) const { return dir + '/' + name; }

private:
    QTemporaryDir ownDir;
    const QString dir;
    ReportReceiver receiver;
    QSignalSpy lines;
};

} // namespace

// Each report is told in one line: malformed ones, too slow ones, one that never stops coming
// but never completes (only a deadline for the whole report ends it), then two good ones.
TEST(ReportReceiver, RejectsMalformedReportsAndSavesEveryGoodOneInBothFormsWithoutOverwriting)
{
    Receiver receiver(300);
    writeFile(receiver.path("report-1.txt"), "");
    enum Then { Wait, Close, Trickle };
    const std::pair<QByteArray, Then> cases[] = {
        { lengthField(-1), Wait },
        { lengthField(0x7fffffff), Wait },
        { lengthField(10) + "abc", Close },
        { QByteArray("\0\0", 2), Close },
        { QByteArray(), Close },
        { lengthField(2) + "\xff\xff", Wait },
        { QByteArray(), Wait },
        { lengthField(100) + "abc", Wait },
        { lengthField(100), Trickle },
    };
    QStringList lines;
    for (const auto &[bytes, then] : cases) {
        const std::unique_ptr<QTcpSocket> sender = connectAndSend(receiver.port(), bytes);
        if (then == Close)
            sender->disconnectFromHost();
        QTimer trickle;
        QObject::connect(&trickle, &QTimer::timeout, [&sender] { sender->write("x"); });
        if (then == Trickle)
            trickle.start(20);
        lines << receiver.nextLine();
    }
    const std::unique_ptr<TestResultGroup> example = exampleTree();
    const std::unique_ptr<TestResultGroup> rootOnly(createResultsTreeRootNode());
    auto sent = sendFromAnotherThread(receiver.port(), { example.get(), rootOnly.get() });
    lines << receiver.nextLine() << receiver.nextLine();
    Golden::expectEqual("report/receiver-lines.txt", lines.join('\n').toUtf8() + '\n');

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
    EXPECT_EQ(receiver.nextLine(),
              "Rejected report from @PEER@: dropped for a newer connection, 2 reports being "
              "received at once");
    EXPECT_TRUE(receiver.nextLine().startsWith("Report 1 from @PEER@: "));
    EXPECT_EQ(readFile(receiver.path("report-1.txt")), exampleText());
    EXPECT_EQ(sent.get(), QStringList());
}

TEST(ReportReceiver, TwoReceiversOnOneDirectoryNeverOverwriteEachOther)
{
    Receiver first(60000);
    Receiver second(60000, first.path("."));
    std::vector<TestResultGroup> trees(20);
    std::vector<const TestResultGroup *> toEach[2];
    for (size_t i = 0; i < trees.size(); ++i) {
        trees[i].set_name("Report " + std::to_string(i));
        toEach[i % 2].push_back(&trees[i]);
    }
    auto sentToFirst = sendFromAnotherThread(first.port(), toEach[0]);
    auto sentToSecond = sendFromAnotherThread(second.port(), toEach[1]);
    for (size_t i = 0; i < trees.size() / 2; ++i) {
        EXPECT_TRUE(first.nextLine().startsWith("Report "));
        EXPECT_TRUE(second.nextLine().startsWith("Report "));
    }
    EXPECT_EQ(sentToFirst.get() + sentToSecond.get(), QStringList());

    std::set<std::string> names;
    for (size_t number = 1; number <= trees.size(); ++number) {
        TestResultGroup tree;
        EXPECT_TRUE(tree.ParseFromString(
            readFile(first.path(QString("report-%1.bin").arg(number))).toStdString()));
        names.insert(tree.name());
    }
    EXPECT_EQ(names.size(), trees.size());
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
    EXPECT_EQ(
        receiver.listening,
        QString("Listening on 127.0.0.1:%1, saving reports in %2").arg(receiver.port).arg(reports));

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
    for (int report = 1; report <= 2; ++report)
        EXPECT_TRUE(receiver.nextLine(60000).startsWith("Report ")) << report;
    EXPECT_TRUE(readFile(dir.filePath("report-1.txt")) == exampleText()
                || readFile(dir.filePath("report-2.txt")) == exampleText());
    // The most memory the program has held so far (VmHWM), in KiB.
    const QString status = readFile(QString("/proc/%1/status").arg(receiver.process.processId()));
    const long peak = QRegularExpression("VmHWM:\\s*(\\d+) kB").match(status).captured(1).toLong();
    EXPECT_GT(peak, 0);
    EXPECT_LT(peak, 200 * 1024);
}

TEST(ReceiverProgram, RejectsUnusableOptions)
{
    const ProcessRunner receiver(JCT_RECEIVER_BINARY);
    for (const char *arguments :
         { "--port 70000", "--address localhost", "--timeout 0", "--bogus" }) {
        const ProcessRunner::Result result = receiver.run(words(arguments));
        EXPECT_EQ(result.exitCode, 1) << arguments;
        EXPECT_FALSE(result.err.isEmpty());
    }
}

#endif
