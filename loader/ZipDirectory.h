#pragma once

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <functional>
#include <vector>

/// A zip file as the Java runtime opens a jar: the entries, their names, sizes and compression
/// come from the central directory alone, and a local header only says where an entry's data
/// starts. A file the runtime would refuse as a whole (no end record, an encrypted entry, a
/// compression method other than stored or deflated, a name that is not UTF-8) is refused here
/// too, with the reason, and holds no entries: nothing of it would ever run.
class ZipDirectory
{
public:
    struct Entry
    {
        QByteArray name; // the bytes the central directory holds, a NUL byte among them
        /// The name as text; whole, where a C string would end at a NUL byte.
        QString getName() const
        {
            // A size the compiler sees is never negative spares a false warning of a strlen().
            return QString::fromUtf8(name.constData(), std::max(0, name.size()));
        }
        bool deflated = false; // otherwise stored
        quint64 compressedSize = 0;
        quint64 size = 0;
        quint64 localHeader = 0; // offset in the file
    };

    /// Up to count bytes of the file from offset; fewer only at its end or when reading fails.
    using Reader = std::function<QByteArray(quint64 offset, quint64 count)>;

    /// Reads the central directory of a file of fileSize bytes.
    ZipDirectory(const Reader &read, quint64 fileSize);

    /// Why the runtime would refuse the file; empty when it opens it.
    const QString &getProblem() const { return problem; }
    /// In central directory order.
    const std::vector<Entry> &getEntries() const { return entries; }

    /// The data of an entry as the runtime hands it to a class loader: exactly its size in bytes.
    /// Null, with the reason in problem, when the runtime could not read it, or when it is larger
    /// than maxBytes (checked before anything is inflated).
    static QByteArray
    readData(const Reader &read, const Entry &entry, quint64 maxBytes, QString &problem);

private:
    struct End;
    bool findEnd(const Reader &read, End &end);
    bool
    isEnd(const Reader &read, const QByteArray &tail, int at, quint64 tailStart, End &end) const;
    static void useZip64End(const Reader &read, End &end);
    static bool hasSignature(const Reader &read, quint64 offset, quint32 signature);
    void readCentralDirectory(const Reader &read, const End &end);
    static QByteArray
    inflate(const Reader &read, quint64 start, const Entry &entry, QString &problem);

    quint64 fileSize;
    QString problem;
    std::vector<Entry> entries;
};
