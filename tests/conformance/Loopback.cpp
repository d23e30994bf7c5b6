#include "Loopback.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

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

LoopbackHost::LoopbackHost(Behaviour behaviour)
{
    if (behaviour == Absent)
        return;
    fd = socket(AF_INET, SOCK_STREAM, 0);
    require(fd >= 0, "socket");
    if (behaviour == NeverReads) {
        const int size = 4096;
        setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    }
    sockaddr_in address = loopback(0);
    require(bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0, "bind");
    socklen_t length = sizeof address;
    require(getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0, "getsockname");
    boundPort = ntohs(address.sin_port);
    if (behaviour != Refuses)
        require(listen(fd, 8) == 0, "listen");
    if (behaviour == ReadsAll || behaviour == ResetsAfterTwoBytes) {
        const int limit = behaviour == ReadsAll ? -1 : 2;
        reading = std::async(std::launch::async, [this, limit] { return acceptAndRead(limit); });
    }
}

LoopbackHost::~LoopbackHost()
{
    if (reading.valid())
        reading.wait();
    if (fd >= 0)
        close(fd);
}

QByteArray LoopbackHost::acceptAndRead(int limit)
{
    QByteArray received;
    const int connection = waitReadable(fd) ? accept(fd, nullptr, nullptr) : -1;
    if (connection < 0)
        return received;
    char chunk[65536];
    while ((limit < 0 || received.size() < limit) && waitReadable(connection)) {
        const size_t wanted = limit < 0 ? sizeof chunk : size_t(limit - received.size());
        const ssize_t count = read(connection, chunk, wanted);
        if (count <= 0)
            break;
        received.append(chunk, int(count));
    }
    close(connection);
    return received;
}
