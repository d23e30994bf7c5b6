#pragma once

#include <QObject>
#include <QString>
#include <QTemporaryFile>
#include <QTimer>

class QTcpSocket;

/// One report connection: reads the 4-byte big-endian length and then the message into a
/// temporary file in the report directory, within a length limit and a deadline for the whole
/// report, and signals exactly once either the file that holds the message or why there is none.
/// Its owner deletes it after that signal.
class ReportConnection : public QObject
{
    Q_OBJECT
public:
    /// Takes over socket (reparented to this).
    ReportConnection(QTcpSocket *socket,
                     const QString &directory,
                     qint32 maxLength,
                     int deadlineMs,
                     QObject *parent);

    /// Starts the deadline and reads what has arrived; call once the signals are connected.
    void start();
    /// Ends the connection at once, for reason.
    void drop(const QString &reason);

    /// The sender as "address:port", for the receiver's lines.
    QString peer() const { return peerName; }
    static QString describePeer(const QTcpSocket &socket);

signals:
    /// The message is complete in the file at path, which is now the receiver's to keep or
    /// remove.
    void received(const QString &path, qint32 length);
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
    QTimer deadline;
    QTemporaryFile message;
    QByteArray lengthBytes;
    qint32 length = -1; // unknown until all four length bytes are in
    qint64 stored = 0;
    bool finished = false;
};
