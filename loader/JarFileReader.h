#pragma once

#include <archive.h>

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

/// Reads the class entries of one jar file through libarchive. The constructor lists the class
/// names once; reads then walk the archive forwards with a cursor, keeping the class entries they
/// pass on the way until they are asked for, so that reading a jar's classes in any order reads
/// each entry once.
class JarFileReader
{
public:
    /// Jar entries larger than this are refused rather than held in memory (no class file comes
    /// close; a hostile header or a compression bomb could claim gigabytes).
    static constexpr qint64 maxClassBytes = 64 << 20;
    /// At most this many bytes of entries passed on the way are kept per reader. Past it, entries
    /// are passed without being read, and asking for one of them later starts the walk over.
    static constexpr qint64 maxKeptBytes = 256 << 20;

    /// One pass over the archive: an open file and libarchive handle, each on its own.
    struct readerdata_t
    {
        QFile file;
        qint64 fileSize = 0; // taken once per session: asking the file costs a system call
        archive *handle = nullptr; // owned; null when no session is open
        bool archiveOpen = false; // libarchive accepted the file's start
        int nextEntry = 0; // index of the entry the next header call answers
        std::unique_ptr<char[]> buffer; // only while a session is open: idle readers cost little
    };

    explicit JarFileReader(const QString &path);
    ~JarFileReader();
    JarFileReader(const JarFileReader &) = delete;
    JarFileReader &operator=(const JarFileReader &) = delete;

    /// Descriptor texts of every class entry, in archive order (a name may repeat).
    const QStringList &getClassNames() const { return classNames; }
    /// Whether some class entry has this descriptor text; answered without touching the archive.
    bool holds(const QString &name) const { return firstEntryOf.contains(name); }

    /// Bytes of the first class entry with this descriptor text: null when there is none or it
    /// cannot be read, empty (with a warning) when the entry is empty.
    QByteArray readClass(const QString &name);

    /// Hands the bytes of the first entry of every class name to visit, with the name's position
    /// in getClassNames(), in archive order, in one pass. Empty entries and entries that cannot
    /// be read are left out without a word: readClass reports them when asked.
    void readAllClasses(const std::function<void(int position, const QByteArray &bytes)> &visit);

    /// Entry headers read so far, the listing included: what the reader's work grows with.
    qint64 getHeadersRead() const { return headersRead; }

private:
    /// A class entry read on the way to another, until it is asked for.
    struct KeptEntry
    {
        QByteArray bytes;
        QString problem;
    };

    void populateClassNames();
    void beginSession(readerdata_t &session);
    void endSession(readerdata_t &session);
    int nextHeaderStatus(readerdata_t &session, archive_entry **header);
    bool nextHeader(readerdata_t &session, archive_entry **header);
    void reportIncompleteListing(int status, int entries);
    bool seekToEntry(readerdata_t &session, int entry);
    void keepPassedEntry(readerdata_t &session, int entry, archive_entry *header);
    QByteArray handOut(const QString &name, int position, QByteArray bytes, const QString &problem);
    QByteArray readEntryData(readerdata_t &session, archive_entry *header, QString &problem);

    static int openCallback(archive *handle, void *clientData);
    static la_ssize_t readCallback(archive *handle, void *clientData, const void **buffer);
    static la_int64_t skipCallback(archive *handle, void *clientData, la_int64_t request);
    static la_int64_t
    seekCallback(archive *handle, void *clientData, la_int64_t offset, int whence);
    static int closeCallback(archive *handle, void *clientData);

    QStringList classNames;
    QHash<QString, int> firstEntryOf; // name -> archive index of its first class entry
    std::vector<int> positionAt; // archive index -> position of the name it is first for, or -1
    std::vector<bool> handedOut; // by position: read once already, never kept again
    QHash<int, KeptEntry> kept; // archive index -> entry passed on the way
    qint64 keptBytes = 0;
    qint64 headersRead = 0;
    std::unique_ptr<readerdata_t> readSession;
    std::unique_ptr<readerdata_t> listSession;
};
