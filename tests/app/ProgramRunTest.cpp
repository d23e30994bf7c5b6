// The real program as a user meets it, one case of tests/data/app/runs.txt (and of the table of
// what the JVM reads, tests/data/app/jvm-reading.txt) per test: the files the case prepares, the
// command lines it runs, and what they print, how they end and the files they leave, compared
// whole with the case's transcript under tests/data/app/runs/.

#include "base/DataDirectory.h"
#include "base/FileNameCodec.h"
#include "base/LogDirectoryLock.h"
#include "base/Version.h"
#include "goldformat/ProtoIO.h"
#include "support/BuiltData.h"
#include "support/ClassFileBuilder.h"
#include "support/Files.h"
#include "support/Golden.h"
#include "support/ProcessRunner.h"
#include "support/Words.h"
#include "support/ZipWriter.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextCodec>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Case
{
    std::string suite;
    std::string name;
    QStringList steps;
};

/// Each case starts with "== Suite.Name", followed by its steps, one a line.
QList<Case> readCases(const QString &file)
{
    QList<Case> cases;
    const QString text = QString::fromUtf8(readFile(testDataPath(file)));
    for (const QString &line : text.split('\n')) {
        if (line.startsWith("== ")) {
            const QStringList name = line.mid(3).split('.');
            cases.append({ name.value(0).toStdString(), name.value(1).toStdString(), {} });
        } else if (!line.isEmpty() && !line.startsWith('#') && !cases.isEmpty()) {
            cases.last().steps << line;
        }
    }
    if (cases.isEmpty())
        cases.append({ "ProgramRun", "CasesAreRead", { "no cases in " + file } });
    return cases;
}

/// The jars of J2EE 8 that the built data holds, as a classpath.
const QByteArray j2ee8Jars = readFile(BuiltData::dir() + "/samples/j2ee8.classpath");

/// The SHA-256 of each gold file of the built data, which the summary names: they change whenever
/// the data is built from other sources, which is no concern of the cases.
const QStringList dataHashes = [] {
    QStringList hashes;
    for (const char *dir : { "/data", "/samples" }) {
        for (const QFileInfo &file :
             QDir(BuiltData::dir() + dir).entryInfoList({ "*.javagold" }, QDir::Files)) {
            QFile gold(file.filePath());
            QCryptographicHash hash(QCryptographicHash::Sha256);
            if (gold.open(QIODevice::ReadOnly) && hash.addData(&gold))
                hashes << QString::fromLatin1(hash.result().toHex());
        }
    }
    return hashes;
}();

/// Places that differ between builds and runs, as the cases write them; the longest first, so that
/// a path is never taken for a shorter one that begins it (the build directory of a copy of the
/// tree beside this one's, say).
QList<QPair<QString, QString>> places(const QString &workDir)
{
    QList<QPair<QString, QString>> all
        = { { "@INSTALLED@", DataDirectory::installedBeside(JCT_APP_BINARY) },
            { "@APP@", JCT_APP_BINARY },
            { "@FINDINGSAPI@", JCT_FIXTURES_FINDINGSAPI },
            { "@FINDINGS@", JCT_FIXTURES_FINDINGS },
            { "@LISTCONTENTS@", JCT_FIXTURES_LISTCONTENTS },
            { "@BENIGN@", JCT_FIXTURES_JVMBENIGN },
            { "@EVIL@", JCT_FIXTURES_JVMEVIL },
            { "@NATIVES@", JCT_FIXTURES_JVMNATIVES },
            { "@DEFINER@", JCT_FIXTURES_JVMDEFINER },
            { "@JAVA11@", JCT_FIXTURES_JVMJAVA11 },
            { "@JAVA17@", JCT_FIXTURES_JVMJAVA17 },
            { "@DATA@", BuiltData::dir() },
            { "@TESTDATA@", testDataPath("app") },
            { "@J2EE8@", QString::fromUtf8(j2ee8Jars).trimmed() },
            { "@WORK@", workDir },
            { "@BUILD@", Version::build },
            { "@VERSION@", Version::number } };
    std::stable_sort(all.begin(), all.end(), [](const auto &a, const auto &b) {
        return a.second.size() > b.second.size();
    });
    return all;
}

/// A word of a step with its escapes made bytes: \n, \s for a space, \xHH for any byte.
QByteArray unescape(const QByteArray &word)
{
    QByteArray bytes;
    for (int i = 0; i < word.size(); ++i) {
        const char next = i + 1 < word.size() ? word[i + 1] : '\0';
        if (word[i] != '\\' || !QByteArray("nsx").contains(next)) {
            bytes += word[i];
        } else if (next == 'x') {
            bytes += char(word.mid(i + 2, 2).toInt(nullptr, 16));
            i += 3;
        } else {
            bytes += next == 'n' ? '\n' : ' ';
            ++i;
        }
    }
    return bytes;
}

/// How the program is started: as it is, or on a file system that takes no file beyond 512 bytes
/// (far less than a results.txt or a gold file of a sample).
const QString plainStart = "exec \"$0\" \"$@\"";
const QString tinyDiskStart = "trap '' XFSZ; ulimit -f 1; " + plainStart;
/// The JVM reads its arguments, names among them, in the locale's encoding.
const QString javaStart = "LC_ALL=C.UTF-8 " + plainStart;

/// The JVM asked as a Java 8 runtime: a multi-release jar read at its base.
const QStringList jvm { JCT_JAVA,
                        "-Djdk.util.jar.enableMultiRelease=false",
                        "-cp",
                        JCT_FIXTURES_JVMRUNNER "/classes",
                        "RunEach" };

/// The start of a run in a mount namespace of its own where a directory is read-only, all but the
/// files named: root writes wherever the permissions say it may not. Nothing leaves the namespace.
QString readOnlyStart(const QString &dir, const QStringList &writable)
{
    return "exec unshare -m /bin/sh -ec 'd=$1; shift; mount --bind \"$d\" \"$d\"; for f in "
        + writable.join(' ') + "; do mount --bind \"$d/$f\" \"$d/$f\"; done; "
        + "mount -o remount,bind,ro \"$d\" \"$d\"; exec \"$@\"' sh " + dir + " \"$0\" \"$@\"";
}

class ProgramRun : public testing::Test
{
public:
    explicit ProgramRun(Case c)
        : c(std::move(c))
    {
    }

    void TestBody() override
    {
        // As in the program, so that names given as bytes keep them on the way to it.
        FileNameCodec::install();
        for (const QString &step : c.steps) {
            SCOPED_TRACE(step.toStdString());
            QStringList arguments;
            // The locale's codec as QFile::decodeName uses it, but past a NUL byte.
            for (const QString &word : words(step))
                arguments << QTextCodec::codecForLocale()->toUnicode(
                    unescape(withPlaces(word).toUtf8()));
            const QString verb = arguments.takeFirst();
            if (verb == "run" || verb == "tiny") {
                transcript += "$ " + step.mid(verb.size() + 1).toUtf8() + '\n';
                run(verb == "run" ? runStart : tinyDiskStart, { JCT_APP_BINARY }, arguments);
            } else if (verb == "java") {
                transcript += "$ " + step.toUtf8() + '\n';
                run(javaStart, jvm, arguments);
            } else if (!steps.contains(verb)) {
                ADD_FAILURE() << "no such step";
            } else {
                steps[verb](arguments);
            }
            if (IsSkipped())
                return;
        }
        Golden::expectEqual(QString::fromStdString("app/runs/" + c.suite + "." + c.name + ".txt"),
                            transcript);
    }

private:
    QString withPlaces(QString text) const
    {
        for (const auto &place : places(runner.workDir()))
            text.replace(place.first, place.second);
        return text;
    }

    /// Output with the places and the logger's time stamps written as the cases write them.
    QString normalised(const QByteArray &output) const
    {
        // A log line's stamp and the run's date; a stamp a name forged stays as it was.
        static const QRegularExpression stamp(
            "(^|, run )\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ",
            QRegularExpression::MultilineOption);
        QString text = QString::fromUtf8(output).replace(stamp, "\\1@T");
        for (const auto &place : places(runner.workDir())) {
            if (!place.second.isEmpty())
                text.replace(place.second, place.first);
        }
        for (const QString &hash : dataHashes)
            text.replace(hash, "@SHA256@");
        return text;
    }

    void run(const QString &start, const QStringList &program, const QStringList &arguments)
    {
        const ProcessRunner::Result result
            = runner.run(QStringList { "-c", start } + program + arguments);
        transcript += result.exitedNormally ? "exit " + QByteArray::number(result.exitCode) + '\n'
                                            : QByteArray("crashed or hung\n");
        QStringList out = lines(result.out);
        QStringList err = lines(result.err);
        if (unordered.contains("out"))
            out.sort();
        if (unordered.contains("err"))
            err.sort();
        section("out", out);
        section("err", err);
    }

    QStringList lines(const QByteArray &output) const
    {
        QStringList all = normalised(output).split('\n');
        if (all.last().isEmpty())
            all.removeLast();
        return all;
    }

    void section(const QString &title, const QStringList &shown)
    {
        if (!shown.isEmpty())
            transcript += ("--- " + title + '\n' + shown.join('\n') + '\n').toUtf8();
    }

    /// The lines of a file that match a pattern (by default all), or the first group the pattern
    /// captures in each; sorted where the order is the threads' own.
    void show(const QStringList &arguments, bool sorted)
    {
        const QString file = arguments.value(0);
        if (!QFile::exists(runner.path(file))) {
            transcript += "--- " + file.toUtf8() + ": none\n";
            return;
        }
        const QRegularExpression pattern(arguments.mid(1).join(' '));
        QStringList shown;
        for (const QString &line : lines(runner.readFile(file))) {
            const QRegularExpressionMatch match = pattern.match(line);
            if (match.hasMatch())
                shown << (match.lastCapturedIndex() > 0 ? match.captured(1) : line);
        }
        if (sorted)
            shown.sort();
        transcript += "--- " + file.toUtf8() + '\n';
        transcript += shown.isEmpty() ? QByteArray() : (shown.join('\n') + '\n').toUtf8();
    }

    /// Whether the lines that match count up by one from 1 to the total they name (the pattern
    /// captures the count, then the total): one line for thousands of them, or the first line out
    /// of step.
    void countUp(const QStringList &arguments)
    {
        const QRegularExpression pattern(arguments.mid(1).join(' '));
        int counted = 0;
        int total = -1;
        QString outOfStep;
        for (const QString &line : lines(runner.readFile(arguments.value(0)))) {
            const QRegularExpressionMatch match = pattern.match(line);
            if (!match.hasMatch())
                continue;
            if (total < 0)
                total = match.captured(2).toInt();
            if (match.captured(1).toInt() != counted + 1 || match.captured(2).toInt() != total) {
                outOfStep = "after " + QString::number(counted) + ": " + line;
                break;
            }
            ++counted;
        }
        if (outOfStep.isEmpty() && counted != total)
            outOfStep = QString("%1 of %2").arg(counted).arg(total);
        const QString verdict = outOfStep.isEmpty() ? QString("1 to %1 by one").arg(total)
                                                    : "out of step, " + outOfStep;
        transcript += ("--- " + arguments.value(0) + " counts " + verdict + '\n').toUtf8();
    }

    /// A class of that name, with what the options add (see runs.txt).
    void writeClass(const QString &file, const QString &name, const QStringList &options = {})
    {
        ClassFileBuilder builder(name);
        for (const QString &option : options) {
            const QString key = option.section('=', 0, 0);
            const QString value = option.section('=', 1);
            if (key == "prints")
                builder.addPrintingMain(value);
            else if (key == "native")
                builder.addMethod(0x0108, "poke", "()V"); // static native
            else if (key == "attribute")
                builder.addClassAttribute(builder.attribute(value, QByteArray()));
            else if (key == "major")
                builder.majorVersion = quint16(value.toUInt());
            else if (key == "dynamic")
                builder.addUnusedDynamicConstant();
            else
                ADD_FAILURE() << "no such class option: " << key.toStdString();
        }
        ASSERT_TRUE(QDir(runner.workDir()).mkpath(QFileInfo(file).path()));
        writeFile(runner.path(file), builder);
    }

    /// Classes C0, C1, ... in a directory named after their package.
    void writeClasses(const QString &dir, int count)
    {
        const QString package = QFileInfo(dir).fileName();
        for (int i = 0; i < count; ++i)
            writeClass(QString("%1/C%2.class").arg(dir).arg(i),
                       QString("%1/C%2").arg(package).arg(i));
    }

    /// A class deeper than PATH_MAX can name from the top, made one directory at a time.
    void writeDeepClass(const QString &dir, int depth, const QString &name)
    {
        QString package;
        int fd = ::open(QFile::encodeName(runner.path(dir)).constData(), O_RDONLY | O_DIRECTORY);
        for (int level = 0; level < depth && fd >= 0; ++level) {
            ASSERT_EQ(::mkdirat(fd, "d", 0755), 0);
            const int next = ::openat(fd, "d", O_RDONLY | O_DIRECTORY);
            ::close(fd);
            fd = next;
            package += "d/";
        }
        ASSERT_GE(fd, 0);
        const QByteArray bytes = ClassFileBuilder(package + name).build();
        const int file = ::openat(fd, qPrintable(name + ".class"), O_WRONLY | O_CREAT, 0644);
        ASSERT_EQ(::write(file, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
        ::close(file);
        ::close(fd);
    }

    /// A zip entry from a word NAME=FILE;OPTION...: the file's bytes (none when FILE is empty)
    /// under the name, with the local header or central directory changed as the options say.
    ZipWriter::Entry zipEntry(const QString &word) const
    {
        const QStringList parts = word.split(';');
        const int equals = parts.first().indexOf('=');
        ZipWriter::Entry entry;
        entry.name = QFile::encodeName(parts.first().left(equals));
        const QString file = parts.first().mid(equals + 1);
        entry.data
            = file.isEmpty() ? QByteArray() : readFile(QDir(runner.workDir()).filePath(file));
        for (const QString &option : parts.mid(1)) {
            const QString key = option.section('=', 0, 0);
            const QString value = option.section('=', 1);
            const quint32 number = value.toUInt(nullptr, 0);
            if (key == "stored")
                entry.method = 0;
            else if (key == "method")
                entry.method = quint16(number);
            else if (key == "flags")
                entry.flags = quint16(number);
            else if (key == "crc")
                entry.crc = number;
            else if (key == "size")
                entry.size = number;
            else if (key == "damaged")
                entry.damaged = true;
            else if (key == "local-name")
                entry.localName = QFile::encodeName(value);
            else if (key == "local-method")
                entry.localMethod = quint16(number);
            else if (key == "local-flags")
                entry.localFlags = quint16(number);
            else if (key == "local-crc")
                entry.localCrc = number;
            else if (key == "local-signature")
                entry.localSignature = number;
            else
                ADD_FAILURE() << "no such zip entry option: " << key.toStdString();
        }
        return entry;
    }

    /// A zip of the entries, in order; a word "reversed" lists the central directory backwards.
    void writeZip(const QString &file, const QStringList &words)
    {
        ZipWriter zip;
        for (const QString &word : words) {
            if (word == "reversed")
                zip.reverseCentralDirectory();
            else
                zip.add(zipEntry(word));
        }
        writeFile(runner.path(file), zip.bytes());
    }

    void writeGold(const QString &file, const QStringList &classNames)
    {
        JClasses gold;
        for (const QString &name : classNames)
            gold.add_classes()->set_name(name.toStdString());
        ProtoIO::write(&gold, runner.path(file));
    }

    /// Makes a directory read-only for later runs, all but the files named. As root, through a
    /// read-only mount that the runs alone see; otherwise through the permissions.
    void makeReadOnly(const QString &dir, const QStringList &writable)
    {
        if (::geteuid() != 0) {
            for (const QFileInfo &file : QDir(runner.path(dir)).entryInfoList(QDir::Files)) {
                if (!writable.contains(file.fileName())) {
                    ASSERT_TRUE(QFile::setPermissions(file.filePath(), QFile::ReadOwner));
                }
            }
            ASSERT_TRUE(
                QFile::setPermissions(runner.path(dir), QFile::ReadOwner | QFile::ExeOwner));
            return;
        }
        if (QProcess::execute("unshare", { "-m", "true" }) != 0) {
            GTEST_SKIP() << "runs as root without a mount namespace of its own, so a read-only "
                            "directory cannot be made";
        }
        runStart = readOnlyStart(runner.path(dir), writable);
    }

    /// Lets the temporary directory go whatever a case left read-only.
    void TearDown() override
    {
        QDirIterator all(
            runner.workDir(), QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (all.hasNext())
            QFile::setPermissions(all.next(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    Case c;
    ProcessRunner runner { "/bin/sh" };
    QString runStart = plainStart;
    QByteArray transcript;
    QStringList unordered; // "out", "err": the streams shown sorted

    using Arguments = const QStringList &;
    const QHash<QString, std::function<void(Arguments)>> steps {
        { "unordered", [this](Arguments a) { unordered = a; } },
        { "env", [this](Arguments a) { runner.setEnvironment(a.value(0), a.value(1)); } },
        { "mkdir",
          [this](Arguments a) { ASSERT_TRUE(QDir(runner.workDir()).mkpath(a.value(0))); } },
        { "link",
          [this](Arguments a) { ASSERT_TRUE(QFile::link(a.value(0), runner.path(a.value(1)))); } },
        { "copy",
          [this](Arguments a) { ASSERT_TRUE(QFile::copy(a.value(0), runner.path(a.value(1)))); } },
        { "write",
          [this](Arguments a) {
              writeFile(runner.path(a.value(0)), a.mid(1).join(' ').toUtf8());
          } },
        { "fifo",
          [this](Arguments a) {
              ASSERT_EQ(::mkfifo(QFile::encodeName(runner.path(a.value(0))).constData(), 0644), 0);
          } },
        { "class", [this](Arguments a) { writeClass(a.value(0), a.value(1), a.mid(2)); } },
        { "classes", [this](Arguments a) { writeClasses(a.value(0), a.value(1).toInt()); } },
        { "deep",
          [this](Arguments a) { writeDeepClass(a.value(0), a.value(1).toInt(), a.value(2)); } },
        { "gold", [this](Arguments a) { writeGold(a.value(0), a.mid(1)); } },
        { "zip", [this](Arguments a) { writeZip(a.value(0), a.mid(1)); } },
        { "show", [this](Arguments a) { show(a, false); } },
        { "sorted", [this](Arguments a) { show(a, true); } },
        { "counts", [this](Arguments a) { countUp(a); } },
        { "files",
          [this](Arguments a) {
              QStringList entries;
              for (const QFileInfo &entry :
                   QDir(runner.path(a.value(0, ".")))
                       .entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot
                                      | QDir::System))
                  entries << entry.fileName() + (entry.isSymLink() ? "@" : "");
              transcript
                  += ("--- files in " + a.value(0, ".") + ": " + entries.join(' ') + '\n').toUtf8();
          } },
        { "readonly", [this](Arguments a) { makeReadOnly(a.value(0), a.mid(1)); } },
    };
};

const bool casesRegistered = [] {
    for (const Case &c : readCases("app/runs.txt") + readCases("app/jvm-reading.txt")) {
        testing::RegisterTest(c.suite.c_str(),
                              c.name.c_str(),
                              nullptr,
                              nullptr,
                              __FILE__,
                              __LINE__,
                              [c]() -> testing::Test * { return new ProgramRun(c); });
    }
    return true;
}();

} // namespace

// Beside the cases, which are tests without a fixture of their own.
TEST(RunOutputs, ASecondRunOnALockedLogDirectoryIsRefused)
{
    const ProcessRunner runner(JCT_APP_BINARY);
    const QStringList listing = words("--nogui --listcontents --classpath a --logdir logs");
    ASSERT_TRUE(QDir(runner.workDir()).mkdir("logs"));
    writeFile(runner.path("logs/log.txt"), "the first run's log\n");
    {
        const LogDirectoryLock firstRun(runner.path("logs"));
        const ProcessRunner::Result second = runner.run(listing);
        EXPECT_EQ(second.exitCode, 1);
        EXPECT_EQ(second.err, "The log directory logs is in use by another run.\n");
        EXPECT_EQ(runner.readFile("logs/log.txt"), "the first run's log\n");
    }
    EXPECT_EQ(runner.run(listing).exitCode, 0);
}

TEST(RunOutputs, AKilledRunLeavesNoResultsOfAnEarlierRun)
{
    const ProcessRunner runner(JCT_APP_BINARY);
    ASSERT_TRUE(QFile::link(BuiltData::path("data"), runner.path("data")));
    const QByteArray earlier = "Results of an earlier run\n";
    writeFile(runner.path("results.txt"), earlier);
    QProcess process;
    process.setWorkingDirectory(runner.workDir());
    // The missing first entry is warned about on standard output once the test has started.
    // Standard error may speak first (Qt's own notes on the environment): the kill waits for
    // the warning itself. The run is short and its warnings wait for a batch, so it may have
    // ended by then: results of its own are fine, the earlier run's never.
    process.start(JCT_APP_BINARY,
                  words("--nogui --testios --general --classpath missing:"
                        + BuiltData::path("samples/ios-bad.jar")));
    QByteArray out;
    while (!out.contains('\n') && process.waitForReadyRead(30000))
        out += process.readAllStandardOutput();
    ASSERT_TRUE(out.contains("WARN")) << out.toStdString();
    process.kill();
    process.waitForFinished();
    EXPECT_NE(runner.readFile("results.txt"), earlier);
}

// The console program copied alone, as a partial installation would leave it: only GUI mode needs
// the window program, and it is refused before anything of the run is made.
TEST(RunOutputs, WithoutTheWindowProgramBesideItOnlyGuiModeIsRefused)
{
    const QTemporaryDir alone;
    const QString program = alone.filePath("javaconformance");
    ASSERT_TRUE(QFile::copy(JCT_APP_BINARY, program));
    const ProcessRunner runner(program);

    const ProcessRunner::Result gui = runner.run(words("--classpath a.jar --logdir logs"));
    EXPECT_EQ(gui.exitCode, 1);
    EXPECT_EQ(gui.out, "");
    EXPECT_EQ(gui.err,
              "Cannot show the window: " + program.toUtf8()
                  + "-window cannot be started (No such file or directory). Use --nogui to run "
                    "a command in the console (--help lists them).\n");
    EXPECT_FALSE(QFileInfo::exists(runner.path("logs")));

    const ProcessRunner::Result version = runner.run({ "--version" });
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith("DRAV Java Conformance Tester ")) << version.out.data();
    const ProcessRunner::Result help = runner.run({ "--help" });
    EXPECT_EQ(help.exitCode, 1);
    EXPECT_TRUE(help.out.contains("USAGE: " + program.toUtf8())) << help.out.data();
    EXPECT_EQ(runner.run(words("--nogui --listcontents --classpath a --logdir logs")).exitCode, 0);
    EXPECT_TRUE(runner.readFile("logs/log.txt").contains("Starting in console mode."));
}
