#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>

#include <optional>

/// Writes zip files field by field, with each entry's local header and central directory record
/// chosen apart: the inputs on which a jar reader must read what the Java runtime reads.
class ZipWriter
{
public:
    struct Entry
    {
        QByteArray name;
        QByteArray data;
        /// The method both headers name: 8 deflates the data, anything else stores it as it is.
        quint16 method = 8;
        quint16 flags = 0;
        /// A checksum in both headers other than the data's.
        std::optional<quint32> crc;
        // Where the local header says otherwise than the central directory.
        std::optional<QByteArray> localName;
        std::optional<quint16> localMethod;
        std::optional<quint16> localFlags;
        std::optional<quint32> localCrc;
        std::optional<quint32> localSignature;
        /// An uncompressed size in the central directory other than the data's.
        std::optional<quint32> size;
        /// Deflated data that starts with a block of no valid type.
        bool damaged = false;
    };

    ZipWriter &add(const Entry &entry)
    {
        entries.append(entry);
        return *this;
    }
    /// Lists the central directory in the reverse of the order the entries were added (and are
    /// stored in).
    ZipWriter &reverseCentralDirectory()
    {
        reversed = true;
        return *this;
    }

    /// Bytes before the zip (as a self-extracting archive has its program there).
    ZipWriter &prefix(const QByteArray &bytes)
    {
        before = bytes;
        return *this;
    }
    /// The end record's comment.
    ZipWriter &comment(const QByteArray &text)
    {
        endComment = text;
        return *this;
    }
    /// Writes the sizes, offsets and count in the zip64 records, with the 32-bit fields marked.
    ZipWriter &zip64()
    {
        large = true;
        return *this;
    }

    QByteArray bytes() const;

private:
    QByteArray centralRecord(const Entry &entry, quint32 crc, quint32 stored, quint32 offset) const;
    void writeEnd(QByteArray &out, quint32 centralStart, quint32 centralSize) const;

    QList<Entry> entries;
    bool reversed = false;
    QByteArray before;
    QByteArray endComment;
    bool large = false;
};
