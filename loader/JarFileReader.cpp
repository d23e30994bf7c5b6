#include "loader/JarFileReader.h"

#include "base/Logger.h"
#include "base/UnreadInputs.h"
#include "classfile/TypeDescriptor.h"
#include "loader/ClassEntryName.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

QString printedName(const QString &name)
{
    return TypeDescriptor::fromClassDescriptorName(name).toString();
}

// A FIFO, device or directory; a missing file is tried and fails with its own reason.
bool isOtherThanRegularFile(const QFile &file)
{
    const QFileInfo info(file);
    return info.exists() && !info.isFile();
}

// Reads no further than the file's end: a count a directory claims sizes nothing beyond it.
ZipDirectory::Reader readerOf(QFile &file)
{
    return [&file, size = quint64(file.size())](quint64 offset, quint64 count) {
        if (offset > size || !file.seek(qint64(offset)))
            return QByteArray();
        return file.read(qint64(std::min(count, size - offset)));
    };
}

} // namespace

JarFileReader::JarFileReader(const QString &path)
    : path(path)
{
    const std::unique_ptr<QFile> file = open();
    if (!file)
        return;
    const ZipDirectory directory(readerOf(*file), quint64(file->size()));
    problem = directory.getProblem();
    if (!problem.isEmpty()) {
        if (UnreadInputs::record(path, "a Java runtime would not open it: " + problem))
            logLine(Logger::L_WARN,
                    QString("Jar file %1 is not read: a Java runtime would not open it, as %2")
                        .arg(path, problem));
        return;
    }
    if (directory.getEntries().empty())
        logLine(Logger::L_WARN, QString("Jar file %1 holds no entries").arg(path));
    listEntries(directory);
    ClassEntryName::recordLaterRelease(path, laterReleaseEntries);
}

JarFileReader::~JarFileReader() = default;

// Unbuffered: entries are read whole, each with one read, so a buffer would only copy. Only a
// regular file is opened: opening a FIFO named like a jar would wait for a writer forever.
std::unique_ptr<QFile> JarFileReader::open() const
{
    auto file = std::make_unique<QFile>(path);
    const bool notRegular = isOtherThanRegularFile(*file);
    if (!notRegular && file->open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return file;
    const QString message
        = QString("beginSession() archive_read_open failed could not open %1: %2")
              .arg(path, notRegular ? QString("not a regular file") : file->errorString());
    if (UnreadInputs::isNewMessage(message))
        logLine(Logger::L_ERROR, message);
    return nullptr;
}

void JarFileReader::listEntries(const ZipDirectory &directory)
{
    for (const ZipDirectory::Entry &entry : directory.getEntries()) {
        const QString name = entry.getName();
        switch (ClassEntryName::kindOf(name)) {
        case ClassEntryName::Kind::Class: {
            const QString descriptor = ClassEntryName::descriptorOf(name);
            QVector<int> &copies = entriesOf[descriptor];
            if (copies.isEmpty())
                classNames.append(descriptor);
            copies.append(int(entries.size()));
            entries.push_back(entry);
            break;
        }
        case ClassEntryName::Kind::LaterRelease:
            ++laterReleaseEntries;
            break;
        case ClassEntryName::Kind::NotAClass:
            if (name.endsWith(".class"))
                logLine(Logger::L_DEBUG,
                        QString("Entry %1 of %2 names no class a Java runtime would load: it is "
                                "not tested")
                            .arg(name, path));
            break;
        case ClassEntryName::Kind::ModuleDescriptor:
            break;
        }
    }
}

QByteArray JarFileReader::readEntry(const ZipDirectory::Reader &read, int index, QString &why) const
{
    return ZipDirectory::readData(read, entries[size_t(index)], maxClassBytes, why);
}

QByteArray JarFileReader::readClass(const QString &name)
{
    const auto found = entriesOf.constFind(name);
    if (found == entriesOf.constEnd())
        return QByteArray();
    const std::unique_ptr<QFile> file = open();
    if (!file)
        return QByteArray();
    return readCopies(readerOf(*file), name, found.value());
}

// Which of several copies a Java runtime loads differs between versions (Java 17 takes the last
// in the central directory), so copies that differ leave nobody able to tell what runs.
QByteArray JarFileReader::readCopies(const ZipDirectory::Reader &read,
                                     const QString &name,
                                     const QVector<int> &copies)
{
    QByteArray first;
    QByteArray last;
    bool same = true;
    for (int index : copies) {
        QString why;
        last = readEntry(read, index, why);
        if (last.isNull())
            return cannotRead(name, why);
        if (first.isNull())
            first = last;
        same = same && last == first;
    }
    const QString printed = printedName(name);
    if (copies.size() > 1 && same) {
        logLine(Logger::L_WARN,
                QString("Jar file %1 holds class %2 %3 times, byte for byte the same: it is "
                        "tested once")
                    .arg(path, printed)
                    .arg(copies.size()));
    } else if (copies.size() > 1) {
        const QString why = QString("class %1 is held %2 times, and the copies differ: which one "
                                    "a Java runtime loads differs between versions; the last was "
                                    "tested")
                                .arg(printed)
                                .arg(copies.size());
        if (UnreadInputs::record(entryPath(name), why))
            logLine(Logger::L_WARN, QString("Jar file %1: %2").arg(path, why));
    }
    if (last.isEmpty())
        cannotRead(name, "read 0 bytes");
    return last;
}

// A class a runtime would find but cannot load keeps the component from passing unread.
QByteArray JarFileReader::cannotRead(const QString &name, const QString &why) const
{
    const QString printed = printedName(name);
    if (UnreadInputs::record(entryPath(name),
                             QString("class %1 cannot be read: %2").arg(printed, why)))
        logLine(Logger::L_WARN, QString("Problem reading %1 - %2").arg(printed, why));
    return QByteArray();
}

QString JarFileReader::getClassFilePath(const QString &internalName) const
{
    return QString("%1!/%2.class").arg(path, internalName);
}

// The entry of a class by its descriptor text ("Lp/Main;").
QString JarFileReader::entryPath(const QString &name) const
{
    return getClassFilePath(name.mid(1).chopped(1));
}

void JarFileReader::readAllClasses(
    const std::function<void(int position, const QByteArray &bytes)> &visit)
{
    if (classNames.isEmpty())
        return;
    const std::unique_ptr<QFile> file = open();
    if (!file)
        return;
    const ZipDirectory::Reader read = readerOf(*file);
    for (int position = 0; position < classNames.size(); ++position) {
        const QVector<int> &copies = entriesOf[classNames.at(position)];
        if (copies.size() != 1)
            continue;
        QString why;
        const QByteArray bytes = readEntry(read, copies.first(), why);
        if (!bytes.isEmpty())
            visit(position, bytes);
    }
}
