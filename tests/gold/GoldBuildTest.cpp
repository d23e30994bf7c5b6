#include "GoldTestSupport.h"
#include "support/Golden.h"
#include "support/ProcessRunner.h"

#include "gold/Pretest.h"
#include "goldformat/ProtoIO.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using GoldTestSupport::dump;

namespace {

const QString builderClasses = QStringLiteral(JCT_FIXTURES_GOLDBUILDER "/classes");
const QString firstClasses = QStringLiteral(JCT_FIXTURES_GOLDFIRST "/classes");
const QString secondClasses = QStringLiteral(JCT_FIXTURES_GOLDSECOND "/classes");

/// Builds a gold file from the classpath into a temporary directory.
class GoldBuild : public ::testing::Test
{
protected:
    void build(const QString &classpath) { Pretest::createGold(Classpath(classpath), goldPath()); }
    QString goldPath() const { return dir.filePath("out.javagold"); }

    QTemporaryDir dir;
};

} // namespace

// The fixtures hold what is kept and what is not: package classes and members, names that end in
// digits as anonymous ones do, synthetic this$0 and access$000, thrown exceptions.
TEST_F(GoldBuild, KeepsPublicClassesAndTheirApiMembersSortedByName)
{
    build(builderClasses);
    Golden::expectEqual("gold/builder.golddump.txt", dump(goldPath()));
}

TEST_F(GoldBuild, ClassHeldByTwoEntriesIsWrittenOnceFromTheFirst)
{
    build(firstClasses + ":" + secondClasses);
    QByteArray out = dump(goldPath());
    build(secondClasses + ":" + firstClasses);
    Golden::expectEqual("gold/twice.golddump.txt", out + dump(goldPath()));
}

#ifdef JCT_APP_BINARY
TEST(BuildJavaGoldCommand, OutputInAMissingDirectoryLogsTwoErrorsWritesNothingAndFails)
{
    const ProcessRunner app(JCT_APP_BINARY);
    const QString out = app.path("missing/out.javagold");
    const ProcessRunner::Result run
        = app.run({ "--nogui", "--buildjavagold", out, "--classpath", builderClasses });

    EXPECT_TRUE(run.exitedNormally);
    EXPECT_EQ(run.exitCode, 2);
    const QByteArray line = ("ERROR: Could not open file " + out + " for writing\n").toLocal8Bit();
    EXPECT_EQ(run.err.count(line), 2) << run.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(out));
}

TEST(BuildJavaGoldCommand, WritesTheGoldFileOfAJar)
{
    const ProcessRunner app(JCT_APP_BINARY);
    const ProcessRunner::Result run = app.run({ "--nogui",
                                                "--buildjavagold",
                                                "built.javagold",
                                                "--classpath",
                                                JCT_FIXTURES_GOLDBUILDER "/goldbuilder.jar" });

    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    Golden::expectEqual("gold/builder.golddump.txt", dump(app.path("built.javagold")));
}
#endif
