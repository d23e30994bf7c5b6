#include "tools/receiver/ReportReceiver.h"

#include "TestResult.pb.h"
#include "conformance/RUtil.h"
#include "tools/receiver/ReportConnection.h"

#include <QDir>
#include <QFile>
#include <QTcpSocket>
#include <fstream>

ReportReceiver::ReportReceiver(const ReceiverSettings &settings, QObject *parent)
    : QObject(parent)
    , settings(settings)
{
    connect(&server, &QTcpServer::newConnection, this, &ReportReceiver::acceptConnections);
}

bool ReportReceiver::listen(const QHostAddress &address, quint16 port)
{
    return server.listen(address, port);
}

void ReportReceiver::acceptConnections()
{
    while (QTcpSocket *socket = server.nextPendingConnection()) {
        if (openConnections >= settings.maxConnections) {
            emit line(QString("Refused connection from %1: %2 reports are already being received")
                          .arg(ReportConnection::describePeer(*socket))
                          .arg(openConnections));
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++openConnections;
        auto *connection
            = new ReportConnection(socket, settings.maxLength, settings.idleTimeoutMs, this);
        const auto release = [this, connection] {
            --openConnections;
            connection->deleteLater();
        };
        connect(connection, &ReportConnection::received, this, [=](const QByteArray &message) {
            save(connection->peer(), message);
            release();
        });
        connect(connection, &ReportConnection::failed, this, [=](const QString &reason) {
            emit line(QString("Rejected report from %1: %2").arg(connection->peer(), reason));
            release();
        });
        connection->start();
    }
}

void ReportReceiver::save(const QString &peer, const QByteArray &message)
{
    TestResultGroup tree;
    if (!tree.ParseFromArray(message.constData(), message.size())) {
        emit line(
            QString("Rejected report from %1: the message is not a valid result tree").arg(peer));
        return;
    }
    const int number = takeFreeNumber();
    const QString problem = writeFiles(number, message, tree);
    if (!problem.isEmpty()) {
        emit line(QString("Could not save report %1 from %2: %3").arg(number).arg(peer, problem));
        return;
    }
    emit line(QString("Report %1 from %2: %3 bytes saved as %4 and %5")
                  .arg(number)
                  .arg(peer)
                  .arg(message.size())
                  .arg(reportPath(number, "bin"), reportPath(number, "txt")));
}

// Reports of an earlier run in the same directory are kept, never overwritten.
int ReportReceiver::takeFreeNumber()
{
    while (QFile::exists(reportPath(nextNumber, "bin"))
           || QFile::exists(reportPath(nextNumber, "txt")))
        ++nextNumber;
    return nextNumber++;
}

QString ReportReceiver::reportPath(int number, const char *extension) const
{
    return QDir(settings.directory).filePath(QString("report-%1.%2").arg(number).arg(extension));
}

QString
ReportReceiver::writeFiles(int number, const QByteArray &message, const TestResultGroup &tree) const
{
    const QString binaryPath = reportPath(number, "bin");
    QFile binary(binaryPath);
    if (!binary.open(QIODevice::WriteOnly) || binary.write(message) != message.size()
        || !binary.flush())
        return QString("cannot write %1: %2").arg(binaryPath, binary.errorString());

    const QString textPath = reportPath(number, "txt");
    std::ofstream text(QFile::encodeName(textPath).toStdString());
    if (text.is_open())
        write(text, tree, 0);
    text.close();
    if (text.fail())
        return QString("cannot write %1").arg(textPath);
    return QString();
}
