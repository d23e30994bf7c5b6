#include "Loopback.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace {

void require(bool ok, const char *what)
{
    if (!ok)
        throw std::runtime_error(what);
}

bool readableBeforeLongSilence(int fd)
{
    pollfd watched { fd, POLLIN, 0 };
    return poll(&watched, 1, 10000) == 1;
}

} // namespace

LoopbackHost::LoopbackHost(Behaviour behaviour)
{
    if (behaviour == Absent)
        return;
    fd = socket(AF_INET, SOCK_STREAM, 0);
    require(fd >= 0, "socket");
    const int smallBuffer = 4096;
    if (behaviour == NeverReads)
        setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &smallBuffer, sizeof smallBuffer);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    require(bind(fd, reinterpret_cast<sockaddr *>(&address), length) == 0, "bind");
    require(getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0, "getsockname");
    boundPort = ntohs(address.sin_port);
    require(behaviour == Refuses || listen(fd, 8) == 0, "listen");
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
    const int connection = readableBeforeLongSilence(fd) ? accept(fd, nullptr, nullptr) : -1;
    char chunk[65536];
    while (connection >= 0 && (limit < 0 || received.size() < limit)
           && readableBeforeLongSilence(connection)) {
        const size_t wanted = limit < 0 ? sizeof chunk : size_t(limit - received.size());
        const ssize_t count = read(connection, chunk, wanted);
        if (count <= 0)
            break;
        received.append(chunk, int(count));
    }
    if (connection >= 0)
        close(connection);
    return received;
}
