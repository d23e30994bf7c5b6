#pragma once

#include <QByteArray>
#include <QtGlobal>

/// A plain TCP socket on 127.0.0.1, below Qt, so that a test controls exactly what the other end
/// of a report connection does: read everything, never read, refuse, or send chosen bytes.
class LoopbackSocket
{
public:
    /// Listening: connections complete in the kernel even when nobody accepts them.
    /// Refusing: bound but not listening, so every connection attempt is refused.
    enum Mode { Listening, Refusing };

    /// receiveBuffer > 0 shrinks the kernel receive buffer of accepted connections.
    explicit LoopbackSocket(Mode mode, int receiveBuffer = 0);
    ~LoopbackSocket();
    LoopbackSocket(const LoopbackSocket &) = delete;
    LoopbackSocket &operator=(const LoopbackSocket &) = delete;
    LoopbackSocket(LoopbackSocket &&other) noexcept;

    quint16 port() const { return boundPort; }

    /// Accepts one connection and reads until the peer closes it. Gives up after a long silence
    /// so that a broken sender fails the test instead of hanging it.
    QByteArray acceptAndReadAll();

    /// Accepts one connection, reads count bytes of it and closes it with the rest unread, which
    /// makes the kernel reset the connection.
    void acceptAndResetAfter(int count);

    /// Connects to 127.0.0.1:port, sends bytes and keeps the connection open until destroyed.
    static LoopbackSocket connectAndSend(quint16 port, const QByteArray &bytes);
    /// Sends more on a connection made by connectAndSend.
    void send(const QByteArray &bytes);

    /// Closes the sending side of a connection made by connectAndSend.
    void closeConnection();

private:
    LoopbackSocket() = default;

    int fd = -1;
    quint16 boundPort = 0;
};
