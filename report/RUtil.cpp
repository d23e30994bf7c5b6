#include "report/RUtil.h"

#include "base/Logger.h"
#include "base/Options.h"
#include "report/Results.h"
#include "report/ResultsFile.h"
#include "report/ResultsTextWriter.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QTcpSocket>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <string>
#include <sys/socket.h>

namespace {

void writeGroup(ResultsTextWriter &text, const TestResultGroup &group, int depth)
{
    text.group(depth, group.name());
    for (const TestResult &result : group.results()) {
        text.result(depth, result.name(), result.score());
        text.description(depth, result.description());
        for (const LogEntry &entry : result.logs())
            text.log(depth, entry.level(), entry.text());
        text.endResult();
    }
    for (const TestResultGroup &subgroup : group.subgroup())
        writeGroup(text, subgroup, depth + 1);
}

// One waitForBytesWritten() returns after any progress; a large report needs several rounds,
// all within one deadline.
bool writePending(QTcpSocket &socket, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
            return false;
    }
    return true;
}

/// How the host ended the connection after the whole report was handed to the kernel.
enum class HostClose { Orderly, Reset, TimedOut };

// Bytes in the kernel are not bytes the host has read. The report ends with a half-close; a host
// that read all of it closes in turn, while one that closes or resets with bytes still unread
// makes its kernel answer with a reset, the one sign a sender gets that its report was lost.
// Anything the host sends is passed over: nothing is read back.
HostClose awaitHostClose(int descriptor, int timeoutMs, QString &problem)
{
    ::shutdown(descriptor, SHUT_WR);
    const QDeadlineTimer deadline(timeoutMs);
    char passedOver[512];
    for (;;) {
        if (deadline.hasExpired())
            return HostClose::TimedOut;
        pollfd watched { descriptor, POLLIN, 0 };
        const int ready = ::poll(&watched, 1, int(deadline.remainingTime()));
        if (ready == 0)
            return HostClose::TimedOut;
        const ssize_t count = ready > 0 ? ::recv(descriptor, passedOver, sizeof passedOver, 0) : -1;
        if (count == 0)
            return HostClose::Orderly;
        if (count < 0 && errno != EINTR && errno != EAGAIN) {
            problem = QString::fromLocal8Bit(std::strerror(errno));
            return HostClose::Reset;
        }
    }
}

} // namespace

void write(std::ostream &out, const TestResultGroup &group, int indent)
{
    ResultsTextWriter text(out);
    writeGroup(text, group, indent);
}

QString RUtil::resultsPath()
{
    return Options::opts->logDir + "/results.txt";
}

void RUtil::writeResultsFile(const QString &path, const TestResultGroup &root)
{
    ResultsFile(path).write(root);
}

void RUtil::sendResults(const QString &host, int port, const TestResultGroup &root, int timeoutMs)
{
    TestResultGroup sent(root);
    clearOrigins(sent);
    std::string message;
    if (!sent.SerializeToString(&message)) {
        logLine(Logger::L_ERROR, "Could not serialize test results.");
        return;
    }

    QTcpSocket socket;
    QDataStream stream(&socket);
    stream.setByteOrder(QDataStream::BigEndian);
    socket.connectToHost(host, quint16(port), QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
    if (!socket.waitForConnected(timeoutMs)) {
        logLine(Logger::L_ERROR,
                QString("Could not connect to %1:%2 to report test results. %3")
                    .arg(host)
                    .arg(port)
                    .arg(socket.errorString()));
        return;
    }

    // N, signed 32-bit big-endian, then the N bytes of the tree with no framing of their own.
    const int length = int(message.size());
    stream << qint32(length);
    stream.writeRawData(message.data(), length);
    socket.flush();
    if (!writePending(socket, timeoutMs)) {
        logLine(Logger::L_ERROR,
                QString("Could not write data to network. %1").arg(socket.errorString()));
        socket.disconnectFromHost();
        if (socket.state() != QAbstractSocket::UnconnectedState
            && !socket.waitForDisconnected(timeoutMs))
            logLine(Logger::L_ERROR, QString("Disconnect problem. %1").arg(socket.errorString()));
    } else {
        QString problem;
        switch (awaitHostClose(int(socket.socketDescriptor()), timeoutMs, problem)) {
        case HostClose::Orderly:
            break;
        case HostClose::Reset:
            logLine(Logger::L_ERROR, QString("Could not write data to network. %1").arg(problem));
            break;
        case HostClose::TimedOut:
            logLine(Logger::L_ERROR, "Disconnect problem. Network operation timed out");
            break;
        }
    }
    socket.abort();
}

void store(const TestResultGroup &root, ResultsFile &results)
{
    results.write(root);
    const Options &options = *Options::opts;
    if (options.port == 0)
        return;
    RUtil::sendResults(options.host, options.port, root);
}

void store(const TestResultGroup &root)
{
    ResultsFile results(RUtil::resultsPath());
    store(root, results);
}
