#include "support/ZipWriter.h"

#include <zlib.h>

namespace {

/// Appends little-endian numbers, as zip files hold them.
class LittleEndian
{
public:
    explicit LittleEndian(QByteArray &out)
        : out(out)
    {
    }
    LittleEndian &u2(quint32 value)
    {
        out.append(char(value & 0xff)).append(char((value >> 8) & 0xff));
        return *this;
    }
    LittleEndian &u4(quint32 value) { return u2(value & 0xffff).u2(value >> 16); }
    LittleEndian &u8(quint64 value) { return u4(quint32(value)).u4(quint32(value >> 32)); }

private:
    QByteArray &out;
};

const quint32 marked32 = 0xFFFFFFFF;

QByteArray deflated(const QByteArray &data)
{
    z_stream stream {};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&stream, uLong(data.size()))), '\0');
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.truncate(int(stream.total_out));
    deflateEnd(&stream);
    return out;
}

quint32 crcOf(const QByteArray &data)
{
    return quint32(crc32(0, reinterpret_cast<const Bytef *>(data.constData()), uInt(data.size())));
}

} // namespace

QByteArray ZipWriter::bytes() const
{
    QByteArray out = before;
    QList<QByteArray> records;
    for (const Entry &entry : entries) {
        QByteArray stored = entry.method == 8 ? deflated(entry.data) : entry.data;
        if (entry.damaged && !stored.isEmpty())
            stored[0] = '\x07'; // the last block, of the type that no deflate stream holds
        const quint32 crc = entry.crc.value_or(crcOf(entry.data));
        const QByteArray localName = entry.localName.value_or(entry.name);
        const quint32 offset = quint32(out.size() - before.size());
        LittleEndian(out)
            .u4(entry.localSignature.value_or(0x04034b50))
            .u2(20) // version needed
            .u2(entry.localFlags.value_or(entry.flags))
            .u2(entry.localMethod.value_or(entry.method))
            .u2(0) // time
            .u2(0x21) // date: 1980-01-01
            .u4(entry.localCrc.value_or(crc))
            .u4(quint32(stored.size()))
            .u4(quint32(entry.data.size()))
            .u2(quint32(localName.size()))
            .u2(0); // extra field length
        out.append(localName).append(stored);
        records.append(centralRecord(entry, crc, quint32(stored.size()), offset));
    }
    const quint32 centralStart = quint32(out.size() - before.size());
    for (int i = 0; i < records.size(); ++i)
        out.append(records.at(reversed ? records.size() - 1 - i : i));
    writeEnd(out, centralStart, quint32(out.size() - before.size()) - centralStart);
    return out;
}

QByteArray
ZipWriter::centralRecord(const Entry &entry, quint32 crc, quint32 stored, quint32 offset) const
{
    const quint32 size = entry.size.value_or(quint32(entry.data.size()));
    QByteArray extra;
    if (large)
        LittleEndian(extra).u2(0x0001).u2(24).u8(size).u8(stored).u8(offset);
    QByteArray record;
    LittleEndian(record)
        .u4(0x02014b50)
        .u2(20) // version made by
        .u2(large ? 45 : 20) // version needed
        .u2(entry.flags)
        .u2(entry.method)
        .u2(0)
        .u2(0x21)
        .u4(crc)
        .u4(large ? marked32 : stored)
        .u4(large ? marked32 : size)
        .u2(quint32(entry.name.size()))
        .u2(quint32(extra.size()))
        .u2(0) // comment length
        .u2(0) // disk
        .u2(0) // internal attributes
        .u4(0) // external attributes
        .u4(large ? marked32 : offset);
    return record + entry.name + extra;
}

void ZipWriter::writeEnd(QByteArray &out, quint32 centralStart, quint32 centralSize) const
{
    const quint32 count = quint32(entries.size());
    if (large) {
        const quint64 recordOffset = quint64(out.size() - before.size());
        LittleEndian(out)
            .u4(0x06064b50)
            .u8(44) // size of the rest of the record
            .u2(45)
            .u2(45)
            .u4(0)
            .u4(0)
            .u8(count)
            .u8(count)
            .u8(centralSize)
            .u8(centralStart);
        LittleEndian(out).u4(0x07064b50).u4(0).u8(recordOffset).u4(1);
    }
    LittleEndian(out)
        .u4(0x06054b50)
        .u2(0) // disk
        .u2(0) // disk of the central directory
        .u2(large ? 0xFFFF : count)
        .u2(large ? 0xFFFF : count)
        .u4(large ? marked32 : centralSize)
        .u4(large ? marked32 : centralStart)
        .u2(quint32(endComment.size()));
    out.append(endComment);
}
