// The listcontents command as a user meets it: the real program, its output and its log.

#include "gold/ProtoIO.h"
#include "support/ProcessRunner.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

const QString fixtures = JCT_FIXTURES_LISTCONTENTS;

class ListContents : public testing::Test
{
protected:
    ProcessRunner::Result list(const QString &classpath) const
    {
        return runner.run({ "--nogui", "--listcontents", "--classpath", classpath });
    }

    ProcessRunner runner { JCT_APP_BINARY };
};

TEST_F(ListContents, ListsEveryCopyOfEveryClassInNameOrder)
{
    JClasses gold;
    gold.add_classes()->set_name("Lz/Gold;");
    gold.add_classes()->set_name("Lp/Shape;");
    ProtoIO::write(&gold, runner.path("api.javagold"));
    const QString classpath
        = fixtures + "/listcontents.jar:" + fixtures + "/classes:" + runner.path("api.javagold");

    const ProcessRunner::Result result = list(classpath);
    ASSERT_TRUE(result.exitedNormally);
    EXPECT_EQ(result.exitCode, 0);
    // Keys are descriptor texts: "LPlain;" sorts before "Lp/...", and "$" before ";".
    EXPECT_EQ(result.out.toStdString(),
              "Plain\nPlain\n"
              "p.Marker\np.Marker\n"
              "p.Shape\np.Shape\np.Shape\n"
              "p.Square$Corner\np.Square$Corner\n"
              "p.Square\np.Square\n"
              "z.Gold\n");
    EXPECT_TRUE(result.err.isEmpty());
    const QByteArray log = runner.readFile("log.txt");
    EXPECT_TRUE(log.contains("DEBUG: Processing classpath: " + classpath.toLocal8Bit()));
    EXPECT_FALSE(log.contains("p.Square$Corner"));
}

TEST_F(ListContents, NothingToListPrintsNothing)
{
    ASSERT_TRUE(QDir(runner.workDir()).mkdir("empty"));
    const ProcessRunner::Result empty = list(runner.path("empty"));
    EXPECT_EQ(empty.exitCode, 0);
    EXPECT_TRUE(empty.out.isEmpty());
    EXPECT_TRUE(empty.err.isEmpty());

    // A missing jar is an error on standard error, and the listing is still empty.
    const ProcessRunner::Result missing = list(runner.path("missing.jar"));
    EXPECT_EQ(missing.exitCode, 0);
    EXPECT_TRUE(missing.out.isEmpty());
    EXPECT_EQ(missing.err.count("ERROR: beginSession() archive_read_open failed"), 1);
}

TEST_F(ListContents, AnUnreadableGoldFileEndsTheJobWithAnError)
{
    const ProcessRunner::Result result = list(runner.path("missing.javagold"));
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.out.isEmpty());
    const QByteArray expected = "ERROR: Work interrupted by exception - Could not open file "
        + runner.path("missing.javagold").toLocal8Bit() + " for reading";
    EXPECT_TRUE(result.err.contains(expected)) << result.err.toStdString();
}

} // namespace
