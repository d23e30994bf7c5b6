#include "tools/receiver/ReportConnection.h"

#include <QDir>
#include <QHostAddress>
#include <QTcpSocket>
#include <QtEndian>

namespace {

constexpr int lengthSize = 4;
// Qt stops reading from the kernel once this much is buffered: a sender that floods the
// connection costs no more memory than this, whatever it sends.
constexpr qint64 socketBufferSize = 64 * 1024;

} // namespace

QString ReportConnection::describePeer(const QTcpSocket &socket)
{
    const QHostAddress address = socket.peerAddress();
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
        ? QString("[%1]").arg(address.toString())
        : address.toString();
    return QString("%1:%2").arg(host).arg(socket.peerPort());
}

ReportConnection::ReportConnection(
    QTcpSocket *socket, const QString &directory, qint32 maxLength, int deadlineMs, QObject *parent)
    : QObject(parent)
    , socket(socket)
    , maxLength(maxLength)
    , peerName(describePeer(*socket))
    , message(QDir(directory).filePath(".incoming-XXXXXX"))
{
    socket->setParent(this);
    socket->setReadBufferSize(socketBufferSize);
    // A deadline for the whole report, not for each byte: a sender that trickles its report
    // byte by byte must not hold the connection any longer than a silent one.
    deadline.setSingleShot(true);
    deadline.setInterval(deadlineMs);
    connect(&deadline, &QTimer::timeout, this, [this, deadlineMs] {
        fail(QString("no complete report within %1 ms").arg(deadlineMs));
    });
    connect(socket, &QTcpSocket::readyRead, this, &ReportConnection::readAvailable);
    connect(socket, &QTcpSocket::disconnected, this, &ReportConnection::peerClosed);
}

void ReportConnection::start()
{
    if (!message.open()) {
        fail(QString("cannot store the report: %1").arg(message.errorString()));
        return;
    }
    deadline.start();
    readAvailable();
}

void ReportConnection::drop(const QString &reason)
{
    if (!finished)
        fail(reason);
}

void ReportConnection::readAvailable()
{
    while (!finished && socket->bytesAvailable() > 0) {
        if (length < 0)
            readLength();
        else
            readMessage();
        if (!finished && length >= 0 && stored == length)
            succeed();
    }
}

void ReportConnection::readLength()
{
    lengthBytes += socket->read(lengthSize - lengthBytes.size());
    if (lengthBytes.size() < lengthSize)
        return;
    // s4 N: the message length, big-endian
    const qint32 declared = qFromBigEndian<qint32>(lengthBytes.constData());
    if (declared < 0)
        fail(QString("length %1 is negative").arg(declared));
    else if (declared > maxLength)
        fail(QString("length %1 exceeds the limit of %2 bytes").arg(declared).arg(maxLength));
    else
        length = declared;
}

void ReportConnection::readMessage()
{
    // Asking QIODevice::read for more than is buffered would allocate the whole request.
    const QByteArray chunk = socket->read(qMin<qint64>(length - stored, socket->bytesAvailable()));
    if (message.write(chunk) != chunk.size()) {
        fail(QString("cannot store the report: %1").arg(message.errorString()));
        return;
    }
    stored += chunk.size();
}

void ReportConnection::peerClosed()
{
    // The last bytes may still sit in the socket's buffer when the close is seen.
    readAvailable();
    if (finished)
        return;
    if (lengthBytes.isEmpty())
        fail("connection closed without a report");
    else if (length < 0)
        fail(QString("connection closed after %1 of the %2 length bytes")
                 .arg(lengthBytes.size())
                 .arg(lengthSize));
    else
        fail(QString("message truncated: %1 of %2 bytes received").arg(stored).arg(length));
}

void ReportConnection::succeed()
{
    finish();
    if (!message.flush()) {
        emit failed(QString("cannot store the report: %1").arg(message.errorString()));
        return;
    }
    message.close();
    // Saved reports are read by others as the text files beside them are, not only by the
    // receiver's user as a temporary file would be.
    message.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                           | QFileDevice::ReadOther);
    message.setAutoRemove(false);
    emit received(message.fileName(), length);
}

void ReportConnection::fail(const QString &reason)
{
    finish();
    emit failed(reason);
}

void ReportConnection::finish()
{
    finished = true;
    deadline.stop();
    socket->disconnect(this);
    socket->abort();
}
