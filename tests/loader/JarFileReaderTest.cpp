#include "loader/JarFileReader.h"
#include "JarBuilder.h"
#include "base/UnreadInputs.h"
#include "support/Golden.h"
#include "support/LogCapture.h"
#include "support/QtPrinters.h"
#include "support/ZipWriter.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

const QByteArray fooBytes = QByteArray("\xCA\xFE\xBA\xBE foo", 8);
const QByteArray barBytes = QByteArray(3000, 'b');

class JarFileReaderTest : public testing::Test
{
protected:
    QString path(const QString &name) const { return dir.filePath(name); }

    // Foo, a directory and Bar.
    QString mixedJar()
    {
        const QString jar = path("mixed.jar");
        JarBuilder()
            .add("Foo.class", fooBytes)
            .addDirectory("dir/")
            .add("dir/Bar.class", barBytes)
            .write(jar);
        return jar;
    }

    QTemporaryDir dir;
};

ZipWriter::Entry entry(const QByteArray &name, const QByteArray &data)
{
    ZipWriter::Entry made;
    made.name = name;
    made.data = data;
    return made;
}

// A class is an entry named after it exactly, listed once however often the jar holds it; copies
// that differ are an input not read, the same copies a warning; an empty entry is both. Aliases,
// a module descriptor and classes for later releases are no classes; the last are counted for the
// run. The whole-jar pass leaves the copies and the empty entry to readClass.
TEST_F(JarFileReaderTest, ListsEachClassOnceAndSaysWhatItsCopiesAndEntriesAre)
{
    ZipWriter zip;
    for (const QByteArray &alias : { QByteArray("p.A.class"),
                                     QByteArray("p/A.class.class"),
                                     QByteArray("p/A.classy.class"),
                                     QByteArray("p/A.class\0more", 14),
                                     QByteArray("p//A.class"),
                                     QByteArray("/p/A.class"),
                                     QByteArray("p/A;.class"),
                                     QByteArray("p/[A.class"),
                                     QByteArray(".class"),
                                     QByteArray("p/A.CLASS") })
        zip.add(entry(alias, "alias"));
    zip.add(entry("p/A.class", "first"))
        .add(entry("dir/", ""))
        .add(entry("readme.txt", "hello"))
        .add(entry("p\\B.class", "b"))
        .add(entry("p/A.class", "second"))
        .add(entry("S.class", "same"))
        .add(entry("S.class", "same"))
        .add(entry("E.class", ""))
        .add(entry("module-info.class", "module"))
        .add(entry("META-INF/versions/9/p/A.class", "later"))
        .add(entry("META-INF/versions/11/p/A.class", "later"))
        .add(entry("p/\xc3\x9c.class", "u"));
    writeFile(path("entries.jar"), zip.bytes());
    const UnreadInputs unread;
    LogCapture log;
    JarFileReader reader(path("entries.jar"));
    QStringList out { "classes: " + reader.getClassNames().join(' '),
                      QString("later releases: %1").arg(reader.getLaterReleaseEntries()) };
    reader.readAllClasses([&](int position, const QByteArray &bytes) {
        out << QString("whole pass: %1 %2").arg(position).arg(QString(bytes));
    });
    for (const QString &name : reader.getClassNames() + QStringList { "LMissing;", "Lreadme;" }) {
        const QByteArray bytes = reader.readClass(name);
        out << name + " " + (bytes.isNull() ? QString("null") : "\"" + QString(bytes) + "\"");
    }
    out << log.lines();
    for (const UnreadInputs::Input &input : unread.getInputs())
        out << "not read: " + input.entry + ": " + input.reason;
    for (const UnreadInputs::Unchecked &entry : unread.getUnchecked())
        out << QString("not checked: %1 %2: %3")
                   .arg(entry.entry)
                   .arg(entry.count)
                   .arg(entry.reason);
    Golden::expectEqual("loader/jar-entries.txt",
                        out.join('\n').replace(dir.path(), "$TMP").toUtf8() + '\n');
}

// A missing jar, an empty one, a tar, one cut inside its second entry's header, and a FIFO, which
// opening would wait for a writer forever: each is reported once and gives no name, as a Java
// runtime opens none of them (the file name and the damage in the golden file, the temporary
// folder as $TMP).
TEST_F(JarFileReaderTest, AJarThatIsNoWholeZipSaysSo)
{
    JarBuilder().write(path("empty.jar"));
    JarBuilder().add("Foo.class", fooBytes).asTar().write(path("tar.jar"));
    const QByteArray whole = readFile(mixedJar());
    writeFile(path("cut.jar"), whole.left(whole.indexOf("dir/") + 2));
    ASSERT_EQ(mkfifo(QFile::encodeName(path("fifo.jar")).constData(), 0600), 0);
    QString out;
    for (const char *name : { "missing.jar", "empty.jar", "tar.jar", "cut.jar", "fifo.jar" }) {
        LogCapture log;
        JarFileReader reader(path(name));
        out += name + (": " + reader.getClassNames().join(' ')) + "\n";
        EXPECT_TRUE(reader.readClass("LBar;").isNull());
        out += log.lines().join('\n').replace(dir.path(), "$TMP") + "\n";
    }
    Golden::expectEqual("loader/broken-jars.txt", out.toUtf8());
}

/// Writes value over a field of the entry's local header and of its central directory record.
void patchHeaders(
    QByteArray &bytes, const char *entry, int local, int central, const QByteArray &value)
{
    const int localHeader = bytes.indexOf(entry) - 30;
    bytes.replace(localHeader + local, 4, value);
    bytes.replace(bytes.indexOf(entry, localHeader + 31) - 46 + central, 4, value);
}

// Damage inside a jar that still lists its entries: an entry that fails its checksum, read as it is
// (the JVM checks none); one over the size limit, refused before inflating (which would now fail
// with another message); one whose headers claim 0xFFFFFFF0 bytes, refused before anything is
// held for it. The others still read.
TEST_F(JarFileReaderTest, ADamagedEntryIsRefusedOrReadAsItIsAndTheOthersStillRead)
{
    const QString jar = path("damaged.jar");
    JarBuilder()
        .add("Good.class", fooBytes)
        .add("Bad.class", fooBytes)
        .add("Big.class", QByteArray(JarFileReader::maxClassBytes + 1, 'x'))
        .add("Huge.class", QByteArray(100, 'h'))
        .add("Late.class", barBytes)
        .write(jar);
    QByteArray bytes = readFile(jar);
    patchHeaders(bytes, "Bad.class", 14, 16, "CRC!");
    const int inBig = (bytes.indexOf("Big.class") + bytes.indexOf("Huge.class")) / 2;
    bytes[inBig] = char(~bytes[inBig]);
    patchHeaders(bytes, "Huge.class", 22, 24, QByteArray("\xF0\xFF\xFF\xFF", 4));
    writeFile(jar, bytes);
    JarFileReader reader(jar);
    LogCapture log;
    QStringList out = reader.getClassNames();
    for (const QString &name : reader.getClassNames()) {
        const QByteArray read = reader.readClass(name);
        out << name + " " + (read.isNull() ? "refused" : QString::number(read.size()));
    }
    Golden::expectEqual("loader/damaged-entries.txt",
                        (out + log.lines()).join('\n').toUtf8() + '\n');
}

} // namespace
