#include "GoldTestSupport.h"
#include "support/Golden.h"
#include "support/LogCapture.h"
#include "support/ProcessRunner.h"

#include "gold/Pretest.h"
#include "gold/ProtoIO.h"
#include "loader/ClassLoader.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

using namespace GoldTestSupport;

namespace {

const QString builderClasses = QStringLiteral(JCT_FIXTURES_GOLDBUILDER "/classes");
const QString firstClasses = QStringLiteral(JCT_FIXTURES_GOLDFIRST "/classes");
const QString secondClasses = QStringLiteral(JCT_FIXTURES_GOLDSECOND "/classes");

std::vector<std::string> fieldNames(const JClass &record)
{
    std::vector<std::string> names;
    for (const JField &field : record.fields())
        names.push_back(field.name());
    return names;
}

std::vector<std::string> methodNames(const JClass &record)
{
    std::vector<std::string> names;
    for (const JMethod &method : record.methods())
        names.push_back(method.name());
    return names;
}

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

TEST_F(GoldBuild, EmptyClasspathWritesAnEmptyFile)
{
    const auto root = build(Classpath());
    EXPECT_EQ(root->classes_size(), 0);
    EXPECT_EQ(QFileInfo(goldPath()).size(), 0);
}

TEST_F(GoldBuild, UnreadableGoldFileOnTheClasspathWritesNothing)
{
    const QString broken = dir.filePath("broken.javagold");
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\x0a\x7f\x01", 3); // a classes record cut off after its length
    file.close();
    LogCapture log;

    EXPECT_THROW(Pretest::createGold(Classpath(builderClasses + ":" + broken), goldPath()),
                 std::runtime_error);
    EXPECT_FALSE(QFileInfo::exists(goldPath()));
    EXPECT_TRUE(log.contains(Logger::L_ERROR, "Could not deserialize from file " + broken));
}

TEST_F(GoldBuild, UnwritableOutputThrowsAfterLoggingOnce)
{
    const QString out = dir.filePath("missing/out.javagold");
    LogCapture log;

    EXPECT_THROW(Pretest::createGold(Classpath(builderClasses), out), std::runtime_error);
    EXPECT_EQ(log.texts(Logger::L_ERROR),
              QStringList { "Could not open file " + out + " for writing" });
    EXPECT_FALSE(QFileInfo::exists(out));
}

TEST(SetJClass, AllModeAndUnknownModesCopyEveryMember)
{
    std::unique_ptr<ClassLoader> chain(ClassLoader::create(Classpath(builderClasses)));
    const Class *members = chain->loadClass("Lmembers/Members;");
    ASSERT_NE(members, nullptr);

    for (const auto mode : { ProtoIO::SET_ALL, static_cast<ProtoIO::setmode_t>(7) }) {
        JClass record;
        ProtoIO::setJClass(&record, *members, mode);
        EXPECT_EQ(fieldNames(record),
                  (std::vector<std::string> { "hidden", "kept", "this$0", "packageField" }));
        EXPECT_EQ(methodNames(record),
                  (std::vector<std::string> {
                      "<init>", "access$000", "run", "secret", "packageMethod" }));
        EXPECT_EQ(record.fields(0).permission(), JP_PRIVATE);
        EXPECT_EQ(record.fields(3).permission(), JP_PACKAGE);
    }
}

TEST(NameFilters, MatchOnlyDigitsAtTheEnd)
{
    EXPECT_TRUE(ProtoIO::isAnonymousClass("pkg.Outer$1"));
    EXPECT_TRUE(ProtoIO::isAnonymousClass("pkg.Outer$Inner$12"));
    EXPECT_FALSE(ProtoIO::isAnonymousClass("pkg.Outer$Inner"));
    EXPECT_FALSE(ProtoIO::isAnonymousClass("pkg.Outer$2$Inner"));
    EXPECT_FALSE(ProtoIO::isAnonymousClass("pkg.Outer$"));
    EXPECT_FALSE(ProtoIO::isAnonymousClass("pkg.Outer1"));

    EXPECT_TRUE(ProtoIO::isFieldForAnonymousClass("this$0"));
    EXPECT_TRUE(ProtoIO::isFieldForAnonymousClass("val$this$12")) << "searched anywhere";
    EXPECT_FALSE(ProtoIO::isFieldForAnonymousClass("this$0x"));
    EXPECT_FALSE(ProtoIO::isFieldForAnonymousClass("This$0")) << "case-sensitive";

    EXPECT_TRUE(ProtoIO::isMethodForAnonymousClass("access$000"));
    EXPECT_FALSE(ProtoIO::isMethodForAnonymousClass("access$"));
    EXPECT_FALSE(ProtoIO::isMethodForAnonymousClass("ACCESS$000"));
    EXPECT_FALSE(ProtoIO::isMethodForAnonymousClass("access$000a"));
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
