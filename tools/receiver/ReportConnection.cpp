#include "tools/receiver/ReportConnection.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QtEndian>

namespace {

constexpr int lengthSize = 4;
// Qt stops reading from the kernel once this much is buffered, so a sender that floods the
// connection cannot grow anything but the message, and that only up to its limit.
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

ReportConnection::ReportConnection(QTcpSocket *socket,
                                   qint32 maxLength,
                                   int idleTimeoutMs,
                                   QObject *parent)
    : QObject(parent)
    , socket(socket)
    , maxLength(maxLength)
    , peerName(describePeer(*socket))
{
    socket->setParent(this);
    socket->setReadBufferSize(socketBufferSize);
    idleTimer.setSingleShot(true);
    idleTimer.setInterval(idleTimeoutMs);
    connect(&idleTimer, &QTimer::timeout, this, [this, idleTimeoutMs] {
        fail(QString("no data for %1 ms").arg(idleTimeoutMs));
    });
    connect(socket, &QTcpSocket::readyRead, this, &ReportConnection::readAvailable);
    connect(socket, &QTcpSocket::disconnected, this, &ReportConnection::peerClosed);
}

void ReportConnection::start()
{
    readAvailable();
}

void ReportConnection::readAvailable()
{
    if (finished)
        return;
    idleTimer.start();
    while (!finished && socket->bytesAvailable() > 0) {
        if (length < 0)
            readLength();
        else
            readMessage();
        if (!finished && length >= 0 && message.size() == length)
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
    message += socket->read(qMin<qint64>(length - message.size(), socket->bytesAvailable()));
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
        fail(QString("message truncated: %1 of %2 bytes received").arg(message.size()).arg(length));
}

void ReportConnection::succeed()
{
    finish();
    emit received(message);
}

void ReportConnection::fail(const QString &reason)
{
    finish();
    emit failed(reason);
}

void ReportConnection::finish()
{
    finished = true;
    idleTimer.stop();
    socket->disconnect(this);
    socket->abort();
}
