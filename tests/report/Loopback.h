#pragma once

#include <QByteArray>

#include <future>

/// A reporting host on 127.0.0.1 that behaves as told while it lives: a plain socket below Qt, so
/// that the kernel decides what the sender sees. It reads on a thread of its own and gives up after
/// a long silence, so that a broken sender fails a test instead of hanging it.
class LoopbackHost
{
public:
    /// Absent has port 0, which sends no report; ResetsAfterTwoBytes closes with the rest unread,
    /// which makes the kernel reset the connection; NeverReads has besides so small a receive
    /// buffer that a large report never drains.
    enum Behaviour { Absent, ReadsAll, Refuses, ResetsAfterTwoBytes, NeverAccepts, NeverReads };

    explicit LoopbackHost(Behaviour behaviour);
    ~LoopbackHost();
    LoopbackHost(const LoopbackHost &) = delete;
    LoopbackHost &operator=(const LoopbackHost &) = delete;

    quint16 port() const { return boundPort; }
    /// Everything the host read, once it is done.
    QByteArray received() { return reading.valid() ? reading.get() : QByteArray(); }

private:
    /// Reads a connection until the peer closes it, or only limit bytes when limit >= 0.
    QByteArray acceptAndRead(int limit);

    int fd = -1;
    quint16 boundPort = 0;
    std::future<QByteArray> reading;
};
