#pragma once

#include <QtGlobal>

/// A bounded big-endian reader over untrusted bytes. The first read past the end fails and the
/// failure sticks: that read and every later one return 0 and do not move, so a parser may check
/// once per structure instead of once per field.
class ClassFileCursor
{
public:
    ClassFileCursor(const uchar *data, quint32 size)
        : data(data)
        , size(size)
    {
    }

    /// A cursor over the next count bytes only, whose positions still count from the start of
    /// the data; this cursor moves past them. On failure the window is empty.
    ClassFileCursor windowOf(quint32 count)
    {
        const quint32 from = offset;
        if (!skip(count))
            return ClassFileCursor(data, from, from);
        return ClassFileCursor(data, from, offset);
    }

    quint32 position() const { return offset; }
    /// Whether this cursor reads a window of its data: its end is a length, not the data's end.
    bool isWindow() const { return window; }
    /// The bytes the cursor reads from its start to its end.
    quint32 length() const { return size - start; }
    quint32 remaining() const { return size - offset; }
    bool hasFailed() const { return failed; }
    /// Where the first read that failed started, and how many bytes it wanted.
    quint32 failedOffset() const { return failedAt; }
    quint32 failedCount() const { return wanted; }

    /// Fails (for good) when fewer than count bytes remain.
    bool require(quint32 count)
    {
        if (failed)
            return false;
        if (count > remaining()) { // never "offset + count > size": that can wrap
            failed = true;
            failedAt = offset;
            wanted = count;
            return false;
        }
        return true;
    }

    quint8 u1() { return quint8(read(1)); }
    quint16 u2() { return quint16(read(2)); }
    quint32 u4() { return quint32(read(4)); }
    quint64 u8() { return read(8); }

    /// The next count bytes, or null on failure; the cursor moves past them.
    const uchar *bytes(quint32 count)
    {
        if (!require(count))
            return nullptr;
        const uchar *start = data + offset;
        offset += count;
        return start;
    }

    bool skip(quint32 count) { return bytes(count) != nullptr; }

private:
    ClassFileCursor(const uchar *data, quint32 from, quint32 end)
        : data(data)
        , size(end)
        , start(from)
        , offset(from)
        , window(true)
    {
    }

    quint64 read(quint32 width)
    {
        const uchar *p = bytes(width);
        if (!p)
            return 0;
        quint64 value = 0;
        for (quint32 i = 0; i < width; ++i)
            value = (value << 8) | p[i];
        return value;
    }

    const uchar *data;
    quint32 size;
    quint32 start = 0;
    quint32 offset = 0;
    bool window = false;
    bool failed = false;
    quint32 failedAt = 0;
    quint32 wanted = 0;
};
