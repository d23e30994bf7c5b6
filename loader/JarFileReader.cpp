#include "loader/JarFileReader.h"

#include "app/Logger.h"
#include "classfile/TypeDescriptor.h"

#include <archive_entry.h>

#include <QFileInfo>

namespace {

QString archiveError(archive *handle)
{
    return QString::fromLocal8Bit(archive_error_string(handle));
}

// Logs a failed libarchive set-up call; the session goes on and a broken handle yields no headers.
void checkSetup(archive *handle, int status, const char *call)
{
    if (status != ARCHIVE_OK)
        logLine(Logger::L_ERROR,
                QString("beginSession() %1 failed %2").arg(call, archiveError(handle)));
}

// A header libarchive could only partly make sense of (an odd name encoding, sizes that disagree)
// still names an entry; only the end of the archive or damage ends the walk.
bool isEntry(int headerStatus)
{
    return headerStatus == ARCHIVE_OK || headerStatus == ARCHIVE_WARN;
}

// libarchive reads tar, cpio and compressed streams as readily as zips; a jar is a zip, and a
// file of another format named like one is not read (a small one can unpack to gigabytes).
bool isZip(archive *handle)
{
    return (archive_format(handle) & ARCHIVE_FORMAT_BASE_MASK) == ARCHIVE_FORMAT_ZIP;
}

bool isClassEntry(const QString &path)
{
    return path.endsWith(".class"); // case-sensitive: Foo.CLASS is not a class
}

QString classNameOf(const QString &path)
{
    return TypeDescriptor::fromClassFileName(path).descriptor;
}

QString printedName(const QString &name)
{
    return TypeDescriptor::fromClassDescriptorName(name).toString();
}

constexpr qint64 sessionBufferBytes = 64 * 1024;

// A FIFO, device or directory; a missing file is tried and fails with its own reason.
bool isOtherThanRegularFile(const QFile &file)
{
    const QFileInfo info(file);
    return info.exists() && !info.isFile();
}

QString tooLargeProblem()
{
    return QString("entry is larger than %1 bytes").arg(JarFileReader::maxClassBytes);
}

} // namespace

JarFileReader::JarFileReader(const QString &path)
    : readSession(std::make_unique<readerdata_t>())
    , listSession(std::make_unique<readerdata_t>())
{
    readSession->file.setFileName(path);
    listSession->file.setFileName(path);
    populateClassNames();
}

JarFileReader::~JarFileReader()
{
    endSession(*readSession);
    endSession(*listSession);
}

void JarFileReader::populateClassNames()
{
    beginSession(*listSession);
    archive_entry *entry = nullptr;
    int status = ARCHIVE_OK;
    int index = 0;
    for (; isEntry(status = nextHeaderStatus(*listSession, &entry)); ++index) {
        if (index == 0 && !isZip(listSession->handle)) {
            logLine(Logger::L_WARN,
                    QString("Jar file %1 is not a zip archive and is not read")
                        .arg(listSession->file.fileName()));
            endSession(*listSession);
            return;
        }
        const QString path = QString::fromLatin1(archive_entry_pathname(entry));
        positionAt.push_back(-1);
        if (isClassEntry(path)) {
            const QString name = classNameOf(path);
            if (!firstEntryOf.contains(name)) {
                firstEntryOf.insert(name, index);
                positionAt.back() = classNames.size();
            }
            classNames.append(name);
        }
        archive_read_data_skip(listSession->handle);
    }
    reportIncompleteListing(status, index);
    endSession(*listSession);
    handedOut.assign(classNames.size(), false);
}

// A jar that could not be opened has had its error already; one that opened but holds nothing,
// or whose walk broke off, would otherwise look like a jar without classes or with all of them.
void JarFileReader::reportIncompleteListing(int status, int entries)
{
    const QString jar = listSession->file.fileName();
    if (!listSession->archiveOpen)
        return;
    if (status != ARCHIVE_EOF) {
        const QString why = archiveError(listSession->handle);
        logLine(Logger::L_WARN,
                QString("Jar file %1 is damaged: no entry after the first %2 can be read%3")
                    .arg(jar)
                    .arg(entries)
                    .arg(why.isEmpty() ? QString() : " (" + why + ")"));
    } else if (entries == 0) {
        logLine(Logger::L_WARN, QString("Jar file %1 holds no entries").arg(jar));
    }
}

void JarFileReader::beginSession(readerdata_t &session)
{
    endSession(session);
    // Unbuffered: libarchive reads in large blocks and seeks between entries, so a buffer here
    // would only copy and be thrown away. Only a regular file is opened: opening a FIFO named
    // like a jar would wait for a writer forever.
    if (!isOtherThanRegularFile(session.file))
        session.file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    session.fileSize = session.file.size();
    session.buffer = std::make_unique<char[]>(sessionBufferBytes);
    session.handle = archive_read_new();
    archive *handle = session.handle;
    checkSetup(handle, archive_read_support_filter_all(handle), "archive_read_support_filter_all");
    checkSetup(handle, archive_read_support_format_all(handle), "archive_read_support_format_all");
    checkSetup(handle,
               archive_read_set_seek_callback(handle, seekCallback),
               "archive_read_set_seek_callback");
    checkSetup(handle,
               archive_read_set_skip_callback(handle, skipCallback),
               "archive_read_set_skip_callback");
    const int opened
        = archive_read_open(handle, &session, openCallback, readCallback, closeCallback);
    checkSetup(handle, opened, "archive_read_open");
    session.archiveOpen = opened == ARCHIVE_OK;
    session.nextEntry = 0;
}

void JarFileReader::endSession(readerdata_t &session)
{
    if (session.handle) {
        archive_read_free(session.handle);
        session.handle = nullptr;
    }
    session.buffer.reset();
    session.file.close();
}

int JarFileReader::nextHeaderStatus(readerdata_t &session, archive_entry **header)
{
    ++headersRead;
    return archive_read_next_header(session.handle, header);
}

bool JarFileReader::nextHeader(readerdata_t &session, archive_entry **header)
{
    return isEntry(nextHeaderStatus(session, header));
}

// Leaves the session's next header call answering the given entry, walking forwards from where
// the last read stopped and starting over only when the entry lies behind. The class entries
// passed on the way are kept: the access test asks for a jar's classes in the order its
// references name them, and starting over for each would make reading a jar quadratic.
bool JarFileReader::seekToEntry(readerdata_t &session, int entry)
{
    if (!session.handle || session.nextEntry > entry)
        beginSession(session);
    archive_entry *header = nullptr;
    while (session.nextEntry < entry) {
        if (!nextHeader(session, &header)) {
            endSession(session);
            return false;
        }
        keepPassedEntry(session, session.nextEntry, header);
        ++session.nextEntry;
    }
    return true;
}

void JarFileReader::keepPassedEntry(readerdata_t &session, int entry, archive_entry *header)
{
    const int position = entry < int(positionAt.size()) ? positionAt[entry] : -1;
    if (position < 0 || handedOut[position] || kept.contains(entry) || keptBytes >= maxKeptBytes)
        return;
    // The walk sees the archive the listing saw; an entry that no longer matches is not kept.
    if (classNameOf(QString::fromLatin1(archive_entry_pathname(header))) != classNames.at(position))
        return;
    KeptEntry passed;
    passed.bytes = readEntryData(session, header, passed.problem);
    keptBytes += passed.bytes.size();
    kept.insert(entry, passed);
}

QByteArray JarFileReader::readClass(const QString &name)
{
    const int entry = firstEntryOf.value(name, -1);
    if (entry < 0)
        return QByteArray();
    const int position = positionAt[entry];
    const auto passed = kept.find(entry);
    if (passed != kept.end()) {
        const KeptEntry found = passed.value();
        keptBytes -= found.bytes.size();
        kept.erase(passed);
        return handOut(name, position, found.bytes, found.problem);
    }
    if (!seekToEntry(*readSession, entry))
        return QByteArray();
    archive_entry *header = nullptr;
    if (!nextHeader(*readSession, &header)) {
        endSession(*readSession);
        return QByteArray();
    }
    ++readSession->nextEntry;
    QString problem;
    const QByteArray data = readEntryData(*readSession, header, problem);
    return handOut(name, position, data, problem);
}

QByteArray
JarFileReader::handOut(const QString &name, int position, QByteArray bytes, const QString &problem)
{
    handedOut[position] = true;
    if (!problem.isEmpty())
        logLine(Logger::L_WARN, QString("Problem reading %1 - %2").arg(printedName(name), problem));
    return bytes;
}

void JarFileReader::readAllClasses(
    const std::function<void(int position, const QByteArray &bytes)> &visit)
{
    if (classNames.isEmpty())
        return; // nothing to read, and an archive that could not be listed is not opened again
    beginSession(*listSession);
    archive_entry *header = nullptr;
    int position = 0;
    for (int index = 0; position < classNames.size() && nextHeader(*listSession, &header);
         ++index) {
        const QString path = QString::fromLatin1(archive_entry_pathname(header));
        if (!isClassEntry(path))
            continue;
        const QString &name = classNames.at(position);
        // The pass sees the archive the listing saw; an entry that no longer matches is left out.
        if (firstEntryOf.value(name, -1) == index && classNameOf(path) == name) {
            QString problem;
            const QByteArray bytes = readEntryData(*listSession, header, problem);
            if (problem.isEmpty())
                visit(position, bytes);
        }
        ++position;
    }
    endSession(*listSession);
}

// Reads the data of the entry whose header was just read. The array grows with the data that
// arrives, never to what the header claims, so a lying header costs no memory. On failure the
// array is null; an empty entry gives an empty array. Either way problem says what went wrong.
QByteArray
JarFileReader::readEntryData(readerdata_t &session, archive_entry *header, QString &problem)
{
    // A zip states every entry's size in its directory: one past the limit is refused unread
    // rather than inflated up to the limit first.
    if (archive_entry_size_is_set(header) && archive_entry_size(header) > maxClassBytes) {
        problem = tooLargeProblem();
        return QByteArray();
    }
    QByteArray data("");
    const void *block = nullptr;
    size_t size = 0;
    la_int64_t offset = 0; // zip entries have no holes: blocks arrive in order
    for (;;) {
        const int status = archive_read_data_block(session.handle, &block, &size, &offset);
        if (status == ARCHIVE_EOF)
            break;
        if (status != ARCHIVE_OK) {
            problem = archiveError(session.handle);
            return QByteArray();
        }
        if (qint64(size) > maxClassBytes - data.size()) {
            problem = tooLargeProblem();
            return QByteArray();
        }
        data.append(static_cast<const char *>(block), int(size));
    }
    if (data.isEmpty())
        problem = "read 0 bytes";
    return data;
}

int JarFileReader::openCallback(archive *handle, void *clientData)
{
    const QFile &file = static_cast<readerdata_t *>(clientData)->file;
    if (file.isOpen())
        return ARCHIVE_OK;
    const QString why
        = isOtherThanRegularFile(file) ? QString("not a regular file") : file.errorString();
    archive_set_error(handle,
                      1,
                      "could not open %s: %s",
                      file.fileName().toLocal8Bit().constData(),
                      why.toLocal8Bit().constData());
    return ARCHIVE_FATAL;
}

la_ssize_t JarFileReader::readCallback(archive *handle, void *clientData, const void **buffer)
{
    auto *session = static_cast<readerdata_t *>(clientData);
    *buffer = session->buffer.get();
    const qint64 count
        = session->file.read(session->buffer.get(), sessionBufferBytes); // 0 at the end
    if (count < 0) {
        archive_set_error(handle, 1, "could not read jar file");
        return -1;
    }
    return count;
}

la_int64_t JarFileReader::skipCallback(archive *, void *clientData, la_int64_t request)
{
    QFile &file = static_cast<readerdata_t *>(clientData)->file;
    return file.seek(file.pos() + request) ? request : 0;
}

la_int64_t JarFileReader::seekCallback(archive *, void *clientData, la_int64_t offset, int whence)
{
    auto *session = static_cast<readerdata_t *>(clientData);
    QFile &file = session->file;
    qint64 position = 0;
    switch (whence) {
    case SEEK_SET:
        position = offset;
        break;
    case SEEK_CUR:
        position = file.pos() + offset;
        break;
    case SEEK_END:
        position = session->fileSize + offset;
        break;
    default:
        return ARCHIVE_FATAL;
    }
    if (!file.seek(position))
        return ARCHIVE_FATAL;
    return position;
}

int JarFileReader::closeCallback(archive *, void *)
{
    return ARCHIVE_OK;
}
