#include "loader/JarFileReader.h"
#include "JarBuilder.h"
#include "support/Golden.h"
#include "support/LogCapture.h"
#include "support/QtPrinters.h"

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

// Only class entries are listed, repeats included, and the first of two entries of one name is
// the one read, in any order and repeatedly; an empty entry warns; the whole-jar pass visits each
// name once.
TEST_F(JarFileReaderTest, ListsClassEntriesAndReadsTheFirstOfEachNameInAnyOrder)
{
    JarBuilder()
        .add("A.class", "first")
        .addDirectory("dir/")
        .add("readme.txt", "hello")
        .add("inner.jar", "PK not really")
        .add("dir/B.class", "b")
        .add("A.class", "second")
        .add("A.CLASS", "upper")
        .add("E.class", "")
        .write(path("twice.jar"));
    JarFileReader reader(path("twice.jar"));
    EXPECT_EQ(reader.getClassNames(), (QStringList { "LA;", "Ldir/B;", "LA;", "LE;" }));
    EXPECT_FALSE(reader.holds("LA.CLASS;"));
    EXPECT_EQ(reader.readClass("Ldir/B;"), "b");
    EXPECT_EQ(reader.readClass("LA;"), "first"); // behind the cursor: starts over
    EXPECT_EQ(reader.readClass("LA;"), "first");
    EXPECT_TRUE(reader.readClass("LMissing;").isNull());
    EXPECT_TRUE(reader.readClass("Lreadme;").isNull());
    LogCapture log;
    EXPECT_FALSE(reader.readClass("LE;").isNull());
    EXPECT_EQ(log.texts(Logger::L_WARN), QStringList("Problem reading E - read 0 bytes"));
    QStringList visited;
    reader.readAllClasses([&](int position, const QByteArray &bytes) {
        visited << QString("%1 %2").arg(position).arg(QString(bytes));
    });
    EXPECT_EQ(visited, QStringList({ "0 first", "1 b" }));
}

// A missing jar, an empty one, a tar, one cut inside its second entry's header, and a FIFO, which
// opening would wait for a writer forever: each is reported once, with whatever names it still
// gives (the file name and the damage in the golden file, the temporary folder as $TMP).
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

TEST_F(JarFileReaderTest, ATruncatedJarKeepsTheNamesBeforeTheCut)
{
    const QByteArray whole = readFile(mixedJar());
    // Cuts all through the file (a stride keeps file creation cheap): nothing crashes, and whatever
    // is listed is a prefix of the full listing whose entries read back intact or not at all.
    const QStringList full { "LFoo;", "Ldir/Bar;" };
    bool sawPartialListing = false;
    for (int length = 0; length < whole.size(); length += 3) {
        const QString cut
            = path(QString("cut%1.jar").arg(length)); // new files: truncating is slow here
        writeFile(cut, whole.left(length));
        LogCapture log;
        JarFileReader reader(cut);
        const QStringList names = reader.getClassNames();
        ASSERT_EQ(names, full.mid(0, names.size())) << "cut at " << length;
        sawPartialListing |= names == QStringList { "LFoo;" };
        const QByteArray foo = reader.readClass("LFoo;");
        EXPECT_TRUE(foo.isNull() || foo == fooBytes) << "cut at " << length;
    }
    EXPECT_TRUE(sawPartialListing);
}

/// Writes value over a field of the entry's local header and of its central directory record.
void patchHeaders(
    QByteArray &bytes, const char *entry, int local, int central, const QByteArray &value)
{
    const int localHeader = bytes.indexOf(entry) - 30;
    bytes.replace(localHeader + local, 4, value);
    bytes.replace(bytes.indexOf(entry, localHeader + 31) - 46 + central, 4, value);
}

// Damage inside a jar that still lists its entries: an entry that fails its checksum; one over the
// size limit, refused before inflating (which would now fail with another message); one whose
// headers claim 0xFFFFFFF0 bytes, which must get no more than its real data. The others still read.
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
