// Component directories that hide classes from a naive reader: names that are not UTF-8, trees
// deeper than a path can name, entries that cannot be read. The real program reads each.

#include "app/FileNameCodec.h"
#include "support/BuiltData.h"
#include "support/ClassFileBuilder.h"
#include "support/Files.h"
#include "support/ProcessRunner.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString dataDir = BuiltData::dir() + "/data";
const QString sample = BuiltData::dir() + "/samples/ios-bad.jar";

class HostileInput : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        // As in the program, so that the test's own paths keep their bytes on the way to it.
        FileNameCodec::install();
    }

    void SetUp() override
    {
        ASSERT_TRUE(QFile::exists(sample)) << "run scripts/build-data first";
        ASSERT_TRUE(QFile::link(dataDir, runner.path("data")));
        ASSERT_TRUE(QDir(runner.workDir()).mkdir("comp"));
    }

    ProcessRunner::Result iosTest(const QString &classpath) const
    {
        return runner.run({ "--nogui", "--testios", "--general", "--classpath", classpath });
    }
    ProcessRunner::Result list(const QString &classpath) const
    {
        return runner.run({ "--nogui", "--listcontents", "--classpath", classpath });
    }

    ProcessRunner runner { JCT_APP_BINARY };
};

TEST_F(HostileInput, AJarWhoseNameIsNotUtf8IsReadAndNamedEscaped)
{
    const QString jar = QFile::decodeName("comp/extra\xe9.jar");
    ASSERT_TRUE(QFile::copy(sample, runner.path(jar)));
    ASSERT_EQ(::access((runner.workDir().toUtf8() + "/comp/extra\xe9.jar").constData(), F_OK), 0)
        << "the name lost its byte";

    // Found in the directory: its native call reaches the access test.
    EXPECT_EQ(iosTest("comp").exitCode, 0);
    EXPECT_TRUE(runner.readFile("results.txt").contains("Method loadLibrary JNI test: UNKNOWN"));

    // Given itself on the command line: read, and shown with the byte escaped.
    const ProcessRunner::Result listed = list(jar);
    EXPECT_TRUE(listed.out.contains("drav.ios.IoHandle\n"));
    EXPECT_TRUE(runner.readFile("log.txt").contains("INFO: Classpath: comp/extra\\xe9.jar\n"));
}

TEST_F(HostileInput, AClassThreeThousandDirectoriesDeepIsListed)
{
    // Deeper than PATH_MAX can name from the top: made one directory at a time.
    const int depth = 3000;
    QString name;
    int fd = ::open(QFile::encodeName(runner.path("comp")).constData(), O_RDONLY | O_DIRECTORY);
    for (int level = 0; level < depth && fd >= 0; ++level) {
        ASSERT_EQ(::mkdirat(fd, "d", 0755), 0);
        const int next = ::openat(fd, "d", O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
        name += "d/";
    }
    ASSERT_GE(fd, 0);
    const QByteArray bytes = ClassFileBuilder(name + "Deep").build();
    const int file = ::openat(fd, "Deep.class", O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(::write(file, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
    ::close(file);
    ::close(fd);

    const ProcessRunner::Result listed = list("comp");
    EXPECT_EQ(listed.out, QString(name + "Deep\n").replace('/', '.').toLocal8Bit());
    EXPECT_FALSE(runner.readFile("log.txt").contains("WARN"));
}

TEST_F(HostileInput, AClassFileThatCannotBeReadIsAWarningAndAFailedInput)
{
    writeFile(runner.path("comp/Good.class"), ClassFileBuilder("Good").build());
    ASSERT_TRUE(QFile::link(runner.path("comp/nowhere"), runner.path("comp/Gone.class")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(runner.path("comp/Pipe.class")).constData(), 0644), 0);

    const ProcessRunner::Result run = iosTest("comp");
    ASSERT_TRUE(run.exitedNormally) << "the FIFO was opened";
    EXPECT_TRUE(run.out.contains(
        "WARN: Could not read class LGone; because the class file comp/Gone.class is a "
        "symbolic link to nothing"));
    EXPECT_TRUE(run.out.contains("WARN: Could not read class LPipe; because the file system object "
                                 "referenced is not a file"));
    const QByteArray results = runner.readFile("results.txt");
    EXPECT_TRUE(results.contains("Input comp/Gone.class read test: FAIL"));
    EXPECT_TRUE(results.contains("Input comp/Pipe.class read test: FAIL"));
    EXPECT_FALSE(results.contains("Input comp read test"));
}

TEST_F(HostileInput, AClassFileUnderAnotherClassesPathIsAWarning)
{
    ASSERT_TRUE(QDir(runner.workDir()).mkpath("comp/p"));
    ASSERT_TRUE(QDir(runner.workDir()).mkpath("comp/q"));
    writeFile(runner.path("comp/p/A.class"), ClassFileBuilder("p/A").build());
    writeFile(runner.path("comp/q/A.class"), ClassFileBuilder("p/A").build());

    const ProcessRunner::Result listed = list("comp");
    EXPECT_EQ(listed.out.split('\n').count("p.A"), 2);
    EXPECT_TRUE(
        runner.readFile("log.txt").contains("WARN: The class file of q.A in comp declares the "
                                            "class p.A: its path does not match its name\n"));
    EXPECT_EQ(runner.readFile("log.txt").count("WARN"), 1);
}

} // namespace
