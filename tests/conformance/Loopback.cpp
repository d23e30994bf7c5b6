#include "Loopback.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr int silenceLimitMs = 10000;

sockaddr_in loopback(quint16 port)
{
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

void require(bool ok, const char *what)
{
    if (!ok)
        throw std::runtime_error(what);
}

bool waitReadable(int fd)
{
    pollfd watched { fd, POLLIN, 0 };
    return poll(&watched, 1, silenceLimitMs) == 1;
}

} // namespace

LoopbackSocket::LoopbackSocket(Mode mode, int receiveBuffer)
    : fd(socket(AF_INET, SOCK_STREAM, 0))
{
    require(fd >= 0, "socket");
    if (receiveBuffer > 0)
        setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    sockaddr_in address = loopback(0);
    require(bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0, "bind");
    socklen_t length = sizeof address;
    require(getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0, "getsockname");
    boundPort = ntohs(address.sin_port);
    if (mode == Listening)
        require(listen(fd, 8) == 0, "listen");
}

LoopbackSocket::LoopbackSocket(LoopbackSocket &&other) noexcept
    : fd(std::exchange(other.fd, -1))
    , boundPort(other.boundPort)
{
}

LoopbackSocket::~LoopbackSocket()
{
    if (fd >= 0)
        close(fd);
}

QByteArray LoopbackSocket::acceptAndReadAll()
{
    QByteArray received;
    if (!waitReadable(fd))
        return received;
    const int connection = accept(fd, nullptr, nullptr);
    if (connection < 0)
        return received;
    char chunk[65536];
    while (waitReadable(connection)) {
        const ssize_t count = read(connection, chunk, sizeof chunk);
        if (count <= 0)
            break;
        received.append(chunk, int(count));
    }
    close(connection);
    return received;
}

void LoopbackSocket::acceptAndResetAfter(int count)
{
    if (!waitReadable(fd))
        return;
    const int connection = accept(fd, nullptr, nullptr);
    if (connection < 0)
        return;
    QByteArray received(count, '\0');
    for (int at = 0; at < count && waitReadable(connection);) {
        const ssize_t got = read(connection, received.data() + at, size_t(count - at));
        if (got <= 0)
            break;
        at += int(got);
    }
    close(connection);
}

LoopbackSocket LoopbackSocket::connectAndSend(quint16 port, const QByteArray &bytes)
{
    LoopbackSocket sender;
    sender.fd = socket(AF_INET, SOCK_STREAM, 0);
    require(sender.fd >= 0, "socket");
    sockaddr_in address = loopback(port);
    require(connect(sender.fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0,
            "connect");
    sender.send(bytes);
    return sender;
}

void LoopbackSocket::send(const QByteArray &bytes)
{
    require(::send(fd, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL) == bytes.size(),
            "send");
}

void LoopbackSocket::closeConnection()
{
    shutdown(fd, SHUT_WR);
}
