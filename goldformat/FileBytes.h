#pragma once

#include <QByteArray>

#include <memory>

/// The bytes of a file read whole, shared by every copy and left as read once filled. The room
/// for them is memory the kernel may back with huge pages: one page fault and one page-table entry
/// per 2 MiB instead of per 4 KiB, which on a virtual machine was half of what reading megabytes
/// of gold files cost. Files read one after another share that memory, so a file of a few
/// kilobytes does not take a huge page of its own; it is given back when the last of them goes.
class FileBytes
{
public:
    FileBytes() = default;
    /// Room for size bytes, for the reader to fill through data() before it shares them.
    static FileBytes withRoomFor(int size);

    char *data() { return begin; }
    const char *constData() const { return begin; }
    int size() const { return count; }
    /// The bytes as an array that does not own them: valid while this or a copy of it lives.
    QByteArray view() const { return QByteArray::fromRawData(begin, count); }

private:
    std::shared_ptr<void> owner; // the memory begin points into
    char *begin = nullptr;
    int count = 0;
};
