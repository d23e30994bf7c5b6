#include "loader/ZipDirectory.h"
#include "support/Golden.h"
#include "support/ZipWriter.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

namespace {

ZipDirectory::Reader readerOf(const QByteArray &file)
{
    return [file](quint64 offset, quint64 count) {
        return offset > quint64(file.size())
            ? QByteArray()
            : file.mid(int(offset), int(qMin<quint64>(count, INT_MAX)));
    };
}

ZipDirectory directoryOf(const QByteArray &file)
{
    return ZipDirectory(readerOf(file), quint64(file.size()));
}

/// The entries of a zip as the directory reads them, each with its data or why it could not be
/// read; or why the whole file is refused.
QString readingOf(const QByteArray &file)
{
    const ZipDirectory directory = directoryOf(file);
    if (!directory.getProblem().isEmpty())
        return "refused: " + directory.getProblem();
    QStringList lines;
    for (const ZipDirectory::Entry &entry : directory.getEntries()) {
        QString problem;
        const QByteArray data = ZipDirectory::readData(readerOf(file), entry, 1000, problem);
        lines << entry.getName() + ": " + (data.isNull() ? problem : QString::fromLatin1(data));
    }
    return lines.isEmpty() ? QString("no entries") : lines.join(", ");
}

ZipWriter::Entry entry(const QByteArray &name, const QByteArray &data)
{
    ZipWriter::Entry made;
    made.name = name;
    made.data = data;
    return made;
}

ZipWriter twoEntries()
{
    return ZipWriter().add(entry("a.txt", "alpha alpha alpha")).add(entry("b/c.txt", "gamma"));
}

/// twoEntries() with one change to its second entry.
ZipWriter changed(const std::function<void(ZipWriter::Entry &)> &change)
{
    ZipWriter::Entry second = entry("b/c.txt", "gamma");
    change(second);
    return ZipWriter().add(entry("a.txt", "alpha alpha alpha")).add(second);
}

// Where the zip's end record is found, what makes the whole file refused, and what one entry's
// data is, each as the JVM has it (the jar cases of tests/data/app/jvm-reading.txt ask the JVM).
TEST(ZipDirectory, ReadsEveryEntryFromWhereTheCentralDirectoryPlacesIt)
{
    QByteArray trailing = twoEntries().bytes();
    trailing.append("junk after the end");
    const QList<QPair<const char *, QByteArray>> cases {
        { "plain", twoEntries().bytes() },
        { "with a comment", twoEntries().comment("PK\x05\x06 in a comment").bytes() },
        { "after other bytes", twoEntries().prefix(QByteArray(300, 'x')).bytes() },
        { "with bytes appended", trailing },
        { "in zip64 records", twoEntries().zip64().bytes() },
        { "empty", ZipWriter().bytes() },
        { "no zip", "PK\x03\x04 but nothing more" },
        { "nothing", QByteArray() },
        { "cut before its end", twoEntries().bytes().chopped(5) },
        { "encrypted", changed([](ZipWriter::Entry &e) { e.flags = 1; }).bytes() },
        { "bzip2", changed([](ZipWriter::Entry &e) { e.method = 12; }).bytes() },
        { "not UTF-8", changed([](ZipWriter::Entry &e) { e.name = "b/\xe9.txt"; }).bytes() },
        { "UTF-8", changed([](ZipWriter::Entry &e) { e.name = "b/\xc3\xa9.txt"; }).bytes() },
        { "local header elsewhere", changed([](ZipWriter::Entry &e) {
                                        e.localName = "a much longer local name.txt";
                                        e.localMethod = 12;
                                        e.localFlags = 1;
                                        e.localCrc = 0;
                                    }).bytes() },
        { "stored", changed([](ZipWriter::Entry &e) { e.method = 0; }).bytes() },
        { "smaller size", changed([](ZipWriter::Entry &e) { e.size = 3; }).bytes() },
        { "stored, smaller size", changed([](ZipWriter::Entry &e) {
                                      e.method = 0;
                                      e.size = 3;
                                  }).bytes() },
        { "larger size", changed([](ZipWriter::Entry &e) { e.size = 6; }).bytes() },
        { "stored, larger size", changed([](ZipWriter::Entry &e) {
                                     e.method = 0;
                                     e.size = 6;
                                 }).bytes() },
        { "past the limit", changed([](ZipWriter::Entry &e) { e.size = 1001; }).bytes() },
        { "damaged", changed([](ZipWriter::Entry &e) { e.damaged = true; }).bytes() },
        { "no local header", changed([](ZipWriter::Entry &e) { e.localSignature = 0; }).bytes() },
        { "empty entry", changed([](ZipWriter::Entry &e) { e.data.clear(); }).bytes() },
    };
    QString out;
    for (const auto &c : cases)
        out += QString("%1: %2\n").arg(c.first, readingOf(c.second));
    Golden::expectEqual("loader/zip-directories.txt", out.toUtf8());
}

// A directory may claim up to 4 GiB for an entry of a few bytes; with no limit of the caller's
// in the way, the claim must size no buffer, only the data that arrives does.
TEST(ZipDirectory, AnEntrysClaimedSizeAllocatesNothing)
{
    const QByteArray file = changed([](ZipWriter::Entry &e) { e.size = 0xFFFFFFFE; }).bytes();
    const ZipDirectory directory = directoryOf(file);
    ASSERT_EQ(directory.getEntries().size(), 2u);
    QString problem;
    const QByteArray data
        = ZipDirectory::readData(readerOf(file), directory.getEntries()[1], ULLONG_MAX, problem);
    EXPECT_TRUE(data.isNull());
    EXPECT_EQ(problem, "its compressed data ends before its 4294967294 bytes");
}

// Every cut and every single changed byte of a small zip: the reader never reads outside the
// file, never loops, and an entry it reads holds data of the size it claims.
TEST(ZipDirectory, ANoWholeOrChangedZipNeverCrashesOrHangs)
{
    const QByteArray whole = twoEntries().zip64().bytes();
    for (int length = 0; length <= whole.size(); ++length)
        readingOf(whole.left(length));
    for (int at = 0; at < whole.size(); ++at) {
        for (const char value : { '\x00', '\xff', char(whole[at] ^ 0x01) }) {
            QByteArray bytes = whole;
            bytes[at] = value;
            const ZipDirectory directory = directoryOf(bytes);
            for (const ZipDirectory::Entry &read : directory.getEntries()) {
                QString problem;
                const QByteArray data
                    = ZipDirectory::readData(readerOf(bytes), read, 1 << 20, problem);
                EXPECT_TRUE(data.isNull() || quint64(data.size()) == read.size) << "at " << at;
            }
        }
    }
}

} // namespace
