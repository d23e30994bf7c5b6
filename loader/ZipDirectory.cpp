#include "loader/ZipDirectory.h"

#include "base/FileNameCodec.h"
#include "classfile/ClassFileCursor.h"

#include <QTextCodec>
#include <QtEndian>

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

namespace {

const quint32 localHeaderSignature = 0x04034b50; // "PK\3\4"
const quint32 centralHeaderSignature = 0x02014b50; // "PK\1\2"
const quint32 endSignature = 0x06054b50; // "PK\5\6"
const quint32 zip64EndSignature = 0x06064b50; // "PK\6\6"
const quint32 zip64LocatorSignature = 0x07064b50; // "PK\6\7"

const quint64 endBytes = 22;
const quint64 maxCommentBytes = 0xFFFF;
const quint64 localHeaderBytes = 30;
const quint64 zip64LocatorBytes = 20;
const quint64 zip64EndBytes = 56;
const quint16 zip64ExtraId = 0x0001;
const quint32 zip64Marker32 = 0xFFFFFFFF;
const quint16 zip64Marker16 = 0xFFFF;

const quint16 encryptedFlag = 0x0001;
const quint16 storedMethod = 0;
const quint16 deflatedMethod = 8;

const quint64 inflateChunkBytes = 64 * 1024;

// Zip fields are little-endian; reading through the cursor keeps them inside the buffer, and a
// field past its end reads as 0 with the cursor failed.
quint16 le16(ClassFileCursor &cursor)
{
    const uchar *p = cursor.bytes(2);
    return p ? qFromLittleEndian<quint16>(p) : 0;
}

quint32 le32(ClassFileCursor &cursor)
{
    const uchar *p = cursor.bytes(4);
    return p ? qFromLittleEndian<quint32>(p) : 0;
}

quint64 le64(ClassFileCursor &cursor)
{
    const uchar *p = cursor.bytes(8);
    return p ? qFromLittleEndian<quint64>(p) : 0;
}

ClassFileCursor cursorOver(const QByteArray &bytes)
{
    return ClassFileCursor(reinterpret_cast<const uchar *>(bytes.constData()),
                           quint32(bytes.size()));
}

// Jar tools write UTF-8 names, and the runtime reads every name as UTF-8: it refuses a file
// holding one that is not.
bool isUtf8(const QByteArray &name)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(name.constData());
    for (int i = 0; i < name.size();) {
        if (bytes[i] < 0x80) {
            ++i;
            continue;
        }
        char32_t code = 0;
        const int length = FileNameCodec::sequenceAt(bytes + i, name.size() - i, code);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

/// The sizes and offset of an entry that its zip64 extra field holds in place of the 32-bit
/// fields marked 0xFFFFFFFF, in the order the format gives them; false when it lacks one.
bool readZip64Extra(const uchar *extra,
                    quint16 length,
                    ZipDirectory::Entry &entry,
                    bool offsetMarked)
{
    ClassFileCursor cursor(extra, length);
    while (cursor.remaining() >= 4) {
        const quint16 id = le16(cursor);
        const quint16 blockLength = le16(cursor);
        const uchar *data = cursor.bytes(blockLength);
        if (!data)
            return false;
        if (id != zip64ExtraId)
            continue;
        ClassFileCursor block(data, blockLength);
        if (entry.size == zip64Marker32)
            entry.size = le64(block);
        if (entry.compressedSize == zip64Marker32)
            entry.compressedSize = le64(block);
        if (offsetMarked)
            entry.localHeader = le64(block);
        return !block.hasFailed();
    }
    return false;
}

/// Ends the inflater however the inflating ends.
struct Inflater
{
    z_stream stream {};
    bool ready = inflateInit2(&stream, -MAX_WBITS) == Z_OK; // raw deflate, as zip entries hold
    ~Inflater()
    {
        if (ready)
            inflateEnd(&stream);
    }
};

} // namespace

struct ZipDirectory::End
{
    quint64 position = 0; // of the end record, or of the zip64 end record where there is one
    quint64 centralSize = 0;
    quint64 centralOffset = 0; // from the start of the zip data, which may follow other bytes
    quint64 total = 0;
};

ZipDirectory::ZipDirectory(const Reader &read, quint64 fileSize)
    : fileSize(fileSize)
{
    End end;
    if (!findEnd(read, end)) {
        if (problem.isEmpty())
            problem = "it is no zip file, or not a whole one (it has no end of central directory "
                      "record)";
        return;
    }
    useZip64End(read, end);
    readCentralDirectory(read, end);
    if (!problem.isEmpty())
        entries.clear();
}

// The end record is the last thing in a zip but for a comment of up to 64 KiB. A record whose
// comment does not reach the end of the file is still taken when the central directory and the
// first local header are where it says, as the runtime does for a file with bytes appended.
bool ZipDirectory::findEnd(const Reader &read, End &end)
{
    const quint64 tailBytes = std::min(fileSize, endBytes + maxCommentBytes);
    const quint64 tailStart = fileSize - tailBytes;
    const QByteArray tail = read(tailStart, tailBytes);
    if (quint64(tail.size()) != tailBytes) {
        problem = "it could not be read";
        return false;
    }
    for (int at = int(tailBytes) - int(endBytes); at >= 0; --at) {
        if (isEnd(read, tail, at, tailStart, end))
            return true;
    }
    return false;
}

bool ZipDirectory::isEnd(
    const Reader &read, const QByteArray &tail, int at, quint64 tailStart, End &end) const
{
    ClassFileCursor cursor = cursorOver(tail);
    cursor.skip(quint32(at));
    if (le32(cursor) != endSignature) // u4 signature
        return false;
    cursor.skip(6); // u2 disk, u2 disk of the central directory, u2 entries on this disk
    end.total = le16(cursor); // u2 entries in all
    end.centralSize = le32(cursor); // u4 size of the central directory
    end.centralOffset = le32(cursor); // u4 offset of the central directory
    const quint16 commentLength = le16(cursor); // u2 comment length
    end.position = tailStart + quint64(at);
    if (end.position + endBytes + commentLength == fileSize)
        return true;
    if (end.centralSize > end.position)
        return false;
    const quint64 central = end.position - end.centralSize;
    return end.centralOffset <= central && hasSignature(read, central, centralHeaderSignature)
        && hasSignature(read, central - end.centralOffset, localHeaderSignature);
}

// A zip64 end record, found through the locator just before the end record, holds the sizes
// that do not fit the end record; it is used only when it agrees with the end record.
void ZipDirectory::useZip64End(const Reader &read, End &end)
{
    if (end.position < zip64LocatorBytes)
        return;
    const QByteArray locatorBytes = read(end.position - zip64LocatorBytes, zip64LocatorBytes);
    ClassFileCursor locator = cursorOver(locatorBytes);
    if (le32(locator) != zip64LocatorSignature) // u4 signature
        return;
    locator.skip(4); // u4 disk of the zip64 end record
    const quint64 position = le64(locator); // u8 offset of the zip64 end record
    if (locator.hasFailed() || position >= end.position)
        return;
    const QByteArray recordBytes = read(position, zip64EndBytes);
    ClassFileCursor record = cursorOver(recordBytes);
    if (le32(record) != zip64EndSignature) // u4 signature
        return;
    // u8 record size, u2 version made by, u2 version needed, u4 disk, u4 disk of the central
    // directory, u8 entries on this disk
    record.skip(28);
    const quint64 total = le64(record); // u8 entries in all
    const quint64 centralSize = le64(record); // u8 size of the central directory
    const quint64 centralOffset = le64(record); // u8 offset of the central directory
    if (record.hasFailed() || (centralSize != end.centralSize && end.centralSize != zip64Marker32)
        || (centralOffset != end.centralOffset && end.centralOffset != zip64Marker32)
        || (total != end.total && end.total != zip64Marker16))
        return;
    end = End { position, centralSize, centralOffset, total };
}

bool ZipDirectory::hasSignature(const Reader &read, quint64 offset, quint32 signature)
{
    const QByteArray bytes = read(offset, 4);
    ClassFileCursor cursor = cursorOver(bytes);
    return le32(cursor) == signature;
}

void ZipDirectory::readCentralDirectory(const Reader &read, const End &end)
{
    if (end.centralSize > end.position || end.centralSize > quint64(INT_MAX)
        || end.centralOffset > end.position - end.centralSize) {
        problem = "its end record places the central directory outside the file";
        return;
    }
    const quint64 central = end.position - end.centralSize;
    const quint64 start = central - end.centralOffset; // bytes before the zip data, if any
    const QByteArray bytes = read(central, end.centralSize);
    if (quint64(bytes.size()) != end.centralSize) {
        problem = "its central directory could not be read";
        return;
    }
    ClassFileCursor cursor = cursorOver(bytes);
    while (cursor.remaining() > 0) {
        if (le32(cursor) != centralHeaderSignature) { // u4 signature
            problem = "its central directory holds something other than entries";
            return;
        }
        // u2 version made by, u2 version needed
        cursor.skip(4);
        const quint16 flags = le16(cursor); // u2 general purpose flags
        const quint16 method = le16(cursor); // u2 compression method
        cursor.skip(8); // u2 time, u2 date, u4 crc-32: the runtime checks no checksum
        Entry entry;
        entry.compressedSize = le32(cursor); // u4 compressed size
        entry.size = le32(cursor); // u4 uncompressed size
        const quint16 nameLength = le16(cursor); // u2 name length
        const quint16 extraLength = le16(cursor); // u2 extra field length
        const quint16 commentLength = le16(cursor); // u2 comment length
        cursor.skip(8); // u2 disk, u2 internal attributes, u4 external attributes
        const quint32 offset = le32(cursor); // u4 offset of the local header
        const uchar *name = cursor.bytes(nameLength);
        const uchar *extra = cursor.bytes(extraLength);
        cursor.skip(commentLength);
        if (cursor.hasFailed()) {
            problem = "its central directory is cut short";
            return;
        }
        entry.name = QByteArray(reinterpret_cast<const char *>(name), nameLength);
        const QString shown = entry.getName();
        if (flags & encryptedFlag) {
            problem = QString("its entry %1 is encrypted").arg(shown);
            return;
        }
        if (method != storedMethod && method != deflatedMethod) {
            problem = QString("its entry %1 is compressed with method %2, which the Java runtime "
                              "does not read")
                          .arg(shown)
                          .arg(method);
            return;
        }
        if (!isUtf8(entry.name)) {
            // Decoded as file names are, so that the bytes show where printed.
            problem = QString("the name of its entry %1 is not UTF-8")
                          .arg(QTextCodec::codecForLocale()->toUnicode(entry.name));
            return;
        }
        entry.deflated = method == deflatedMethod;
        entry.localHeader = offset;
        const bool zip64 = entry.size == zip64Marker32 || entry.compressedSize == zip64Marker32
            || offset == zip64Marker32;
        if (zip64 && !readZip64Extra(extra, extraLength, entry, offset == zip64Marker32)) {
            problem = QString("its entry %1 lacks the zip64 sizes it needs").arg(shown);
            return;
        }
        // An offset past the end of the file leaves the entry pointing at nothing.
        entry.localHeader
            = entry.localHeader > fileSize - start ? fileSize : start + entry.localHeader;
        entries.push_back(entry);
    }
}

QByteArray
ZipDirectory::readData(const Reader &read, const Entry &entry, quint64 maxBytes, QString &problem)
{
    // The directory states the size: one past the limit is refused unread, not inflated first.
    if (entry.size > maxBytes) {
        problem = QString("entry is larger than %1 bytes").arg(maxBytes);
        return QByteArray();
    }
    const QByteArray headerBytes = read(entry.localHeader, localHeaderBytes);
    ClassFileCursor header = cursorOver(headerBytes);
    if (le32(header) != localHeaderSignature) { // u4 signature
        problem = "there is no local header where the central directory places the entry";
        return QByteArray();
    }
    // u2 version needed, u2 flags, u2 method, u2 time, u2 date, u4 crc-32, u4 compressed size,
    // u4 uncompressed size: the runtime takes all of them from the central directory.
    header.skip(22);
    const quint16 nameLength = le16(header); // u2 name length
    const quint16 extraLength = le16(header); // u2 extra field length
    const quint64 start = entry.localHeader + localHeaderBytes + nameLength + extraLength;
    if (entry.size == 0)
        return QByteArray("");
    if (entry.deflated)
        return inflate(read, start, entry, problem);
    if (entry.compressedSize < entry.size) {
        problem = QString("its stored data holds %1 bytes, less than its size of %2 bytes")
                      .arg(entry.compressedSize)
                      .arg(entry.size);
        return QByteArray();
    }
    QByteArray data = read(start, entry.size);
    if (quint64(data.size()) != entry.size) {
        problem = "the file ends inside the entry's data";
        return QByteArray();
    }
    return data;
}

// The runtime hands a class loader the first `size` bytes the data inflates to, from at most the
// compressed size in input: less is an error, and more is never looked at. The output grows with
// the data that arrives, never to what the directory claims, so a lying size costs no memory.
QByteArray
ZipDirectory::inflate(const Reader &read, quint64 start, const Entry &entry, QString &problem)
{
    Inflater inflater;
    if (!inflater.ready) {
        problem = "the inflater could not be started";
        return QByteArray();
    }
    z_stream &stream = inflater.stream;
    QByteArray out("");
    std::vector<Bytef> chunk(inflateChunkBytes);
    QByteArray input;
    quint64 inputRead = 0;
    while (quint64(out.size()) < entry.size) {
        if (stream.avail_in == 0) {
            if (inputRead == entry.compressedSize) {
                problem = QString("its compressed data ends before its %1 bytes").arg(entry.size);
                return QByteArray();
            }
            input = read(start + inputRead,
                         std::min(inflateChunkBytes, entry.compressedSize - inputRead));
            if (input.isEmpty()) {
                problem = "the file ends inside the entry's data";
                return QByteArray();
            }
            inputRead += quint64(input.size());
            stream.next_in = reinterpret_cast<Bytef *>(input.data());
            stream.avail_in = uInt(input.size());
        }
        const uInt wanted = uInt(std::min(inflateChunkBytes, entry.size - quint64(out.size())));
        stream.next_out = chunk.data();
        stream.avail_out = wanted;
        const int status = ::inflate(&stream, Z_NO_FLUSH);
        out.append(reinterpret_cast<const char *>(chunk.data()), int(wanted - stream.avail_out));
        if (status == Z_STREAM_END && quint64(out.size()) < entry.size) {
            problem = QString("its compressed data ends before its %1 bytes").arg(entry.size);
            return QByteArray();
        }
        // Without progress while input is left, the data is damaged as well.
        const bool stuck = status == Z_BUF_ERROR && stream.avail_in > 0;
        if (stuck || (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)) {
            problem = QString("its compressed data is damaged (%1)")
                          .arg(QString::fromLatin1(stream.msg ? stream.msg : "zlib error"));
            return QByteArray();
        }
    }
    return out;
}
