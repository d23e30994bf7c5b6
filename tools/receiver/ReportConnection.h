#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

class QTcpSocket;

/// One report connection: reads the 4-byte big-endian length and then the message, within a
/// length limit and an idle timeout, and signals exactly once either the message or why there
/// is none. Its owner deletes it after that signal.
class ReportConnection : public QObject
{
    Q_OBJECT
public:
    /// Takes over socket (reparented to this).
    ReportConnection(QTcpSocket *socket, qint32 maxLength, int idleTimeoutMs, QObject *parent);

    /// Starts the idle timeout and reads what has arrived; call once the signals are connected.
    void start();

    /// The sender as "address:port", for the receiver's lines.
    QString peer() const { return peerName; }
    static QString describePeer(const QTcpSocket &socket);

signals:
    void received(const QByteArray &message);
    void failed(const QString &reason);

private:
    void readAvailable();
    void readLength();
    void readMessage();
    void peerClosed();
    void succeed();
    void fail(const QString &reason);
    void finish();

    QTcpSocket *socket; // owned through the Qt parent, this
    const qint32 maxLength;
    QString peerName;
    QTimer idleTimer;
    QByteArray lengthBytes;
    QByteArray message;
    qint32 length = -1; // unknown until all four length bytes are in
    bool finished = false;
};
