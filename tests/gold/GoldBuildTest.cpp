#include "GoldTestSupport.h"
#include "support/Files.h"
#include "support/Golden.h"
#include "support/LogCapture.h"
#include "support/ProcessRunner.h"

#include "gold/Pretest.h"
#include "gold/ProtoIO.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

using namespace GoldTestSupport;

namespace {

const QString builderClasses = QStringLiteral(JCT_FIXTURES_GOLDBUILDER "/classes");
const QString firstClasses = QStringLiteral(JCT_FIXTURES_GOLDFIRST "/classes");
const QString secondClasses = QStringLiteral(JCT_FIXTURES_GOLDSECOND "/classes");

/// The gold file as golddump prints it.
QByteArray dump(const QString &gold)
{
    const ProcessRunner::Result result = ProcessRunner(JCT_GOLDDUMP_BINARY).run({ gold });
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    return result.out;
}

/// Builds a gold file from the classpath into a temporary directory and reads it back.
class GoldBuild : public ::testing::Test
{
protected:
    std::unique_ptr<JClasses> build(const Classpath &classpath)
    {
        Pretest::createGold(classpath, goldPath());
        return readGold(goldPath());
    }
    QString goldPath() const { return dir.filePath("out.javagold"); }

    QTemporaryDir dir;
};

} // namespace

// The fixtures hold what is kept and what is not: package classes and members, names that end in
// digits as anonymous ones do, synthetic this$0 and access$000, thrown exceptions.
TEST_F(GoldBuild, KeepsPublicClassesAndTheirApiMembersSortedByName)
{
    build(Classpath(builderClasses));
    Golden::expectEqual("gold/builder.golddump.txt", dump(goldPath()));
}

TEST_F(GoldBuild, ClassHeldByTwoEntriesIsWrittenOnceFromTheFirst)
{
    for (const bool firstWins : { true, false }) {
        Classpath classpath;
        classpath.append(firstWins ? firstClasses : secondClasses);
        classpath.append(firstWins ? secondClasses : firstClasses);
        const auto root = build(classpath);

        ASSERT_EQ(root->classes_size(), 1);
        const JClass &twice = root->classes(0);
        EXPECT_EQ(twice.name(), "Ldup/Twice;");
        EXPECT_EQ(twice.final(), !firstWins);
        EXPECT_NE(findMethod(twice, firstWins ? "first" : "second"), nullptr);
    }
}

TEST_F(GoldBuild, AnUnreadableInputWritesNothingAndThrowsAfterLoggingOnce)
{
    const QString broken = dir.filePath("broken.javagold");
    writeFile(broken, QByteArray("\x0a\x7f\x01", 3)); // a classes record cut off after its length
    LogCapture log;
    EXPECT_THROW(build(Classpath(builderClasses + ":" + broken)), std::runtime_error);
    EXPECT_FALSE(QFileInfo::exists(goldPath()));
    EXPECT_EQ(log.texts(Logger::L_ERROR), QStringList("Could not deserialize from file " + broken));
}

// Anonymous classes end in $ and digits; their synthetic fields hold this$ and digits anywhere;
// accessor methods are access$ and digits. All case-sensitive.
TEST(NameFilters, MatchOnlyDigitsAtTheEnd)
{
    QStringList matched;
    for (const char *name : { "p.O$1", "p.O$I$12", "p.O$I", "p.O$2$I", "p.O$", "p.O1" }) {
        if (ProtoIO::isAnonymousClass(name))
            matched << name;
    }
    for (const char *name : { "this$0", "val$this$12", "this$0x", "This$0" }) {
        if (ProtoIO::isFieldForAnonymousClass(name))
            matched << name;
    }
    for (const char *name : { "access$000", "access$", "ACCESS$000", "access$000a" }) {
        if (ProtoIO::isMethodForAnonymousClass(name))
            matched << name;
    }
    EXPECT_EQ(matched.join(' '), "p.O$1 p.O$I$12 this$0 val$this$12 access$000");
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
