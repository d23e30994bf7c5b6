#include "conformance/RUtil.h"

#include "app/Logger.h"
#include "app/Options.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QTcpSocket>
#include <fstream>
#include <string>

namespace {

void logError(const QString &text)
{
    emit Logger::logger->log(Logger::L_ERROR, text);
}

const char *scoreWord(TestScore score)
{
    switch (score) {
    case R_PASS:
        return "PASS";
    case R_FAIL:
        return "FAIL";
    default:
        return "UNKNOWN";
    }
}

const char *levelWord(LogLevel level)
{
    switch (level) {
    case L_WARNING:
        return "WARNING";
    case L_ERROR:
        return "ERROR";
    default:
        return "UNKNOWN";
    }
}

// Every line is flushed as it is written, so a crash later in the run leaves the lines so far.
void writeResult(std::ostream &out, const std::string &pad, const TestResult &result)
{
    out << pad << "  " << result.name() << ": " << scoreWord(result.score()) << std::endl;
    out << pad << "    " << result.description() << std::endl;
    for (const LogEntry &entry : result.logs())
        out << pad << "      " << levelWord(entry.level()) << ": " << entry.text() << std::endl;
    out << std::endl;
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

} // namespace

void write(std::ostream &out, const TestResultGroup &group, int indent)
{
    const std::string pad(std::string::size_type(2 * indent), ' ');
    out << pad << group.name() << ":" << std::endl;
    out << std::endl;
    for (const TestResult &result : group.results())
        writeResult(out, pad, result);
    for (const TestResultGroup &subgroup : group.subgroup())
        write(out, subgroup, indent + 1);
}

void RUtil::writeResultsFile(const QString &path, const TestResultGroup &root)
{
    std::ofstream out(path.toLocal8Bit().toStdString(), std::ios::out | std::ios::trunc);
    if (!out.is_open()) {
        logError(QString("Unable to open results file for writing %1").arg(path));
        return;
    }
    write(out, root, 0);
    out.close();
    // A full disk must not pass for a complete report.
    if (out.fail())
        logError(QString("Could not write results file %1").arg(path));
}

void RUtil::sendResults(const QString &host, int port, const TestResultGroup &root, int timeoutMs)
{
    std::string message;
    if (!root.SerializeToString(&message)) {
        logError("Could not serialize test results.");
        return;
    }

    QTcpSocket socket;
    QDataStream stream(&socket);
    stream.setByteOrder(QDataStream::BigEndian);
    socket.connectToHost(host, quint16(port), QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
    if (!socket.waitForConnected(timeoutMs)) {
        logError(QString("Could not connect to %1:%2 to report test results. %3")
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
    if (!writePending(socket, timeoutMs))
        logError(QString("Could not write data to network. %1").arg(socket.errorString()));

    socket.disconnectFromHost();
    if (socket.state() != QAbstractSocket::UnconnectedState
        && !socket.waitForDisconnected(timeoutMs))
        logError(QString("Disconnect problem. %1").arg(socket.errorString()));
    socket.close();
}

void store(const TestResultGroup &root)
{
    const Options &options = *Options::opts;
    RUtil::writeResultsFile(options.logDir + "/results.txt", root);
    if (options.port == 0)
        return;
    RUtil::sendResults(options.host, options.port, root);
}
