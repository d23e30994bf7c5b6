#include "GoldTestSupport.h"
#include "support/LogCapture.h"
#include "support/ProcessRunner.h"

#include "gold/Pretest.h"
#include "gold/ProtoIO.h"
#include "loader/ClassLoader.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <vector>

using namespace GoldTestSupport;

namespace {

const QString builderClasses = QStringLiteral(JCT_FIXTURES_GOLDBUILDER "/classes");
const QString firstClasses = QStringLiteral(JCT_FIXTURES_GOLDFIRST "/classes");
const QString secondClasses = QStringLiteral(JCT_FIXTURES_GOLDSECOND "/classes");

std::vector<std::string> recordNames(const JClasses &root)
{
    std::vector<std::string> names;
    for (const JClass &record : root.classes())
        names.push_back(record.name());
    return names;
}

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

bool contains(const std::vector<std::string> &list, const std::string &item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
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

bool isApi(const Permission &permission)
{
    return permission == Permission::PUBLIC || permission == Permission::PROTECTED;
}

QStringList descriptors(const QList<TypeDescriptor> &types)
{
    QStringList texts;
    for (const TypeDescriptor &type : types)
        texts << type.descriptor;
    return texts;
}

void expectSameClass(const Class &java, const Class &gold)
{
    SCOPED_TRACE(java.getName().descriptor.toStdString());
    EXPECT_EQ(gold.getName().descriptor, java.getName().descriptor);
    EXPECT_EQ(gold.getParent().descriptor, java.getParent().descriptor);
    EXPECT_EQ(gold.isAbstract(), java.isAbstract());
    EXPECT_EQ(gold.isInterface(), java.isInterface());
    EXPECT_EQ(gold.isFinal(), java.isFinal());
    EXPECT_EQ(gold.getPermission(), java.getPermission());
    EXPECT_EQ(gold.getMajorVersion(), java.getMajorVersion());
    EXPECT_EQ(descriptors(gold.getInterfaces()), descriptors(java.getInterfaces()));

    QList<const Field *> apiFields;
    for (const Field *field : java.getFields()) {
        if (isApi(field->getPermission()) && !ProtoIO::isFieldForAnonymousClass(field->getName()))
            apiFields << field;
    }
    ASSERT_EQ(gold.getFields().size(), apiFields.size());
    for (int i = 0; i < apiFields.size(); ++i) {
        const Field &expected = *apiFields[i];
        const Field &actual = *gold.getFields()[i];
        EXPECT_EQ(actual.getName(), expected.getName());
        EXPECT_EQ(actual.getType().descriptor, expected.getType().descriptor);
        EXPECT_EQ(actual.getPermission(), expected.getPermission());
        EXPECT_EQ(actual.isFinal(), expected.isFinal());
        EXPECT_EQ(actual.isStatic(), expected.isStatic());
    }

    QList<const Method *> apiMethods;
    for (const Method *method : java.getMethods()) {
        if (isApi(method->getPermission())
            && !ProtoIO::isMethodForAnonymousClass(method->getName()))
            apiMethods << method;
    }
    ASSERT_EQ(gold.getMethods().size(), apiMethods.size());
    for (int i = 0; i < apiMethods.size(); ++i) {
        const Method &expected = *apiMethods[i];
        const Method &actual = *gold.getMethods()[i];
        EXPECT_EQ(actual.getName(), expected.getName());
        EXPECT_EQ(actual.getSignature().descriptor, expected.getSignature().descriptor);
        EXPECT_EQ(actual.getPermission(), expected.getPermission());
        EXPECT_EQ(actual.isFinal(), expected.isFinal());
        EXPECT_EQ(actual.isStatic(), expected.isStatic());
        EXPECT_EQ(descriptors(actual.getExceptions()), descriptors(expected.getExceptions()));
        EXPECT_FALSE(actual.requireInspection());
        EXPECT_FALSE(actual.signaturePolymorphic());
    }
}

} // namespace

TEST_F(GoldBuild, KeepsPublicClassesWhoseNamesDoNotEndInDigits)
{
    const auto root = build(Classpath(builderClasses));
    const std::vector<std::string> names = recordNames(*root);

    EXPECT_TRUE(contains(names, "Lfilter/A;"));
    EXPECT_FALSE(contains(names, "Lfilter/B;")) << "package access";
    EXPECT_FALSE(contains(names, "Lfilter/A$1;")) << "public, but named as anonymous";
    EXPECT_FALSE(contains(names, "Lnested/Outer$1;"));
    EXPECT_TRUE(contains(names, "Lnested/Outer$Inner;"));
    EXPECT_TRUE(contains(names, "Lnested/Outer$2$Inner;"));
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end());
}

TEST_F(GoldBuild, KeepsPublicAndProtectedMembersThatAreNotSynthetic)
{
    const auto root = build(Classpath(builderClasses));
    const JClass *members = findRecord(*root, "Lmembers/Members;");
    ASSERT_NE(members, nullptr);

    EXPECT_EQ(fieldNames(*members), std::vector<std::string> { "kept" });
    EXPECT_EQ(members->fields(0).permission(), JP_PROTECTED);
    EXPECT_EQ(methodNames(*members), (std::vector<std::string> { "<init>", "run" }));
    EXPECT_EQ(members->interfaces_size(), 1);
    EXPECT_EQ(members->interfaces(0), "Ljava/lang/Runnable;");
}

TEST_F(GoldBuild, RoundTripKeepsEveryField)
{
    const auto root = build(Classpath(builderClasses));
    std::unique_ptr<ClassLoader> javaChain(ClassLoader::create(Classpath(builderClasses)));
    std::unique_ptr<ClassLoader> goldChain(ClassLoader::create(Classpath(goldPath())));

    ASSERT_GT(root->classes_size(), 5);
    for (const JClass &record : root->classes()) {
        const QString name = QString::fromStdString(record.name());
        const Class *java = javaChain->loadClass(name);
        const Class *gold = goldChain->loadClass(name);
        ASSERT_NE(java, nullptr) << record.name();
        ASSERT_NE(gold, nullptr) << record.name();
        expectSameClass(*java, *gold);
        // The builder writes the parent always and leaves the fields it does not know absent.
        EXPECT_TRUE(record.has_parent());
        EXPECT_FALSE(record.has_filename());
        EXPECT_FALSE(record.has_package());
        EXPECT_FALSE(record.has_static_());
        for (const JMethod &method : record.methods()) {
            EXPECT_FALSE(method.has_requireinspection());
            EXPECT_FALSE(method.has_signature_polymorphic());
        }
    }
    const JClass *shape = findRecord(*root, "Lshapes/Shape;");
    ASSERT_NE(shape, nullptr);
    const JMethod *load = findMethod(*shape, "load");
    ASSERT_NE(load, nullptr);
    ASSERT_EQ(load->exceptions_size(), 2);
    EXPECT_EQ(load->exceptions(0), "Ljava/io/IOException;");
    EXPECT_EQ(load->exceptions(1), "Ljava/lang/IllegalStateException;");
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
    const auto root = readGold(app.path("built.javagold"));
    EXPECT_NE(findRecord(*root, "Lshapes/Square;"), nullptr);
}
#endif
