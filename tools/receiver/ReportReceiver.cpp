#include "tools/receiver/ReportReceiver.h"

#include "base/AtomicFile.h"
#include "tools/receiver/ReportConnection.h"
#include "tools/receiver/ReportText.h"

#include <QDir>
#include <QFile>
#include <QTcpSocket>
#include <cstdio>
#include <limits>

ReportReceiver::ReportReceiver(const ReceiverSettings &settings, QObject *parent)
    : QObject(parent)
    , settings(settings)
{
    saver.setMaxThreadCount(1);
    connect(&server, &QTcpServer::newConnection, this, &ReportReceiver::acceptConnections);
}

ReportReceiver::~ReportReceiver()
{
    saver.waitForDone();
}

bool ReportReceiver::listen(const QHostAddress &address, quint16 port)
{
    return server.listen(address, port);
}

void ReportReceiver::acceptConnections()
{
    while (QTcpSocket *socket = server.nextPendingConnection()) {
        // Refusing the newcomer would let a few slow senders shut every real report out; the
        // oldest connection is the one that has had its time.
        if (connections.size() >= settings.maxConnections)
            connections.first()->drop(QString("dropped for a newer connection, %1 reports being "
                                              "received at once")
                                          .arg(connections.size()));
        auto *connection = new ReportConnection(
            socket, settings.directory, settings.maxLength, settings.deadlineMs, this);
        connections.append(connection);
        connect(connection, &ReportConnection::received, this, [=](const QString &path) {
            save(connection->peer(), path);
            release(connection);
        });
        connect(connection, &ReportConnection::failed, this, [=](const QString &reason) {
            emit line(QString("Rejected report from %1: %2").arg(connection->peer(), reason));
            release(connection);
        });
        connection->start();
    }
}

void ReportReceiver::release(ReportConnection *connection)
{
    connections.removeOne(connection);
    connection->deleteLater();
}

void ReportReceiver::save(const QString &peer, const QString &messagePath)
{
    saver.start([this, peer, messagePath] {
        const QString outcome = saveReport(peer, messagePath);
        QMetaObject::invokeMethod(
            this, [this, outcome] { emit line(outcome); }, Qt::QueuedConnection);
    });
}

// Runs on the saving thread: reads only the settings, and numbers through the file system.
QString ReportReceiver::saveReport(const QString &peer, const QString &messagePath)
{
    QFile file(messagePath);
    const QByteArray message = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    file.close();
    std::ostream discard(nullptr);
    if (!ReportText::write(message, discard)) {
        QFile::remove(messagePath);
        return QString("Rejected report from %1: the message is not a valid result tree").arg(peer);
    }
    const int number = claimNumber();
    if (number == 0) {
        QFile::remove(messagePath);
        return QString("Could not save report from %1: no new file can be made in %2")
            .arg(peer, settings.directory);
    }
    const QString problem = writeFiles(number, messagePath, message);
    if (!problem.isEmpty()) {
        QFile::remove(messagePath);
        return QString("Could not save report %1 from %2: %3").arg(number).arg(peer, problem);
    }
    return QString("Report %1 from %2: %3 bytes saved as %4 and %5")
        .arg(number)
        .arg(peer)
        .arg(message.size())
        .arg(reportPath(number, "bin"), reportPath(number, "txt"));
}

// A number is claimed by creating both of its files, each only if it does not exist yet: reports
// of an earlier run, of another receiver on the same directory or anybody's files of those names
// are never overwritten. 0 when the directory takes no new file.
int ReportReceiver::claimNumber()
{
    for (int number = nextNumber; number < std::numeric_limits<int>::max(); ++number) {
        QFile binary(reportPath(number, "bin"));
        QFile text(reportPath(number, "txt"));
        if (!binary.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (binary.exists())
                continue;
            return 0;
        }
        if (!text.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            binary.remove();
            if (text.exists())
                continue;
            return 0;
        }
        nextNumber = number + 1;
        return number;
    }
    return 0;
}

QString ReportReceiver::reportPath(int number, const char *extension) const
{
    return QDir(settings.directory).filePath(QString("report-%1.%2").arg(number).arg(extension));
}

// The claimed files are replaced, never written in place: a reader sees either nothing or a
// whole report.
QString
ReportReceiver::writeFiles(int number, const QString &messagePath, const QByteArray &message) const
{
    const QString binaryPath = reportPath(number, "bin");
    const QString textPath = reportPath(number, "txt");
    AtomicFile text(textPath);
    QString problem;
    if (std::rename(QFile::encodeName(messagePath).constData(),
                    QFile::encodeName(binaryPath).constData())
        != 0)
        problem = QString("cannot write %1").arg(binaryPath);
    else if (!text.open() || !ReportText::write(message, text.stream()) || !text.commit())
        problem = QString("cannot write %1: %2").arg(textPath, text.errorString());
    if (!problem.isEmpty()) {
        QFile::remove(binaryPath);
        QFile::remove(textPath);
    }
    return problem;
}
