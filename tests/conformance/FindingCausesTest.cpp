#include "conformance/FindingCauses.h"
#include "support/QtPrinters.h"

#include "classfile/DepMethod.h"
#include "gold/ProtoIO.h"
#include "loader/ClassLoader.h"

#include "JavaTypes.pb.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace {

/// A gold file of a small framework: a buffer family across two packages and a pair of classes
/// that name each other as parents.
class FrameworkGold : public testing::Test
{
protected:
    void SetUp() override
    {
        JClasses gold;
        record(gold, "Ljava/lang/Object;", "");
        JClass &buffer = record(gold, "Lfw/Buffer;", "Ljava/lang/Object;");
        method(buffer, "flip", "()Lfw/Buffer;", JP_PUBLIC);
        method(buffer, "reset", "()V", JP_PROTECTED);
        method(buffer, "mark", "()V", JP_PACKAGE);
        method(buffer, "secret", "()V", JP_PRIVATE);
        record(gold, "Lfw/Bytes;", "Lfw/Buffer;");
        record(gold, "Lfw/Internal;", "Ljava/lang/Object;").set_permission(JP_PACKAGE);
        record(gold, "Lapp/Caller;", "Ljava/lang/Object;");
        record(gold, "Lapp/Sub;", "Lfw/Buffer;");
        record(gold, "Lloop/A;", "Lloop/B;");
        record(gold, "Lloop/B;", "Lloop/A;");
        const QString path = dir.filePath("framework.javagold");
        ProtoIO::write(&gold, path);
        loader.reset(ClassLoader::create(Classpath(path)));
    }

    static JClass &record(JClasses &gold, const char *name, const char *parent)
    {
        JClass &cls = *gold.add_classes();
        cls.set_name(name);
        cls.set_parent(parent);
        cls.set_permission(JP_PUBLIC);
        // The access rules compare the records' packages, which gold building leaves out.
        const QString dotted = TypeDescriptor(name).className;
        cls.set_package(dotted.left(dotted.lastIndexOf('.')).toStdString());
        return cls;
    }

    static void
    method(JClass &cls, const char *name, const char *descriptor, JPermission permission)
    {
        JMethod &m = *cls.add_methods();
        m.set_name(name);
        m.set_descriptor_(descriptor);
        m.set_permission(permission);
    }

    const Class &cls(const char *name) { return *loader->loadClass(name); }

    QString otherReturnType(const char *owner, const char *name, const char *descriptor)
    {
        const DepMethod ref(TypeDescriptor(owner), name, MethodSignature(descriptor));
        return FindingCauses::otherReturnType(*loader, cls(owner), ref);
    }

    QString denied(const char *from, const char *target, const Permission &member)
    {
        return FindingCauses::memberDenied(*loader, cls(from), cls(target), member, "method");
    }

    QTemporaryDir dir;
    std::unique_ptr<ClassLoader> loader;
};

} // namespace

TEST(FindingCauses, ClassFileVersionsAreNamedAsJavaReleases)
{
    EXPECT_EQ(FindingCauses::classFileVersion(55),
              "major 55 = Java 11, newer than Java 8 (major 52): build with --release 8");
    EXPECT_EQ(FindingCauses::classFileVersion(61),
              "major 61 = Java 17, newer than Java 8 (major 52): build with --release 8");
    EXPECT_EQ(FindingCauses::classFileVersion(48).left(20), "major 48 = Java 1.4,");
    EXPECT_EQ(FindingCauses::classFileVersion(30).left(9), "major 30,");
}

TEST_F(FrameworkGold, AMethodMissingOnlyByItsReturnTypeIsNamedWithTheTypeThatExists)
{
    EXPECT_EQ(otherReturnType("Lfw/Bytes;", "flip", "()Lfw/Bytes;"),
              "exists returning fw.Buffer: compiled against a newer API; build with --release 8");
    EXPECT_EQ(otherReturnType("Lfw/Bytes;", "flip", "(I)Lfw/Bytes;"), "");
    EXPECT_EQ(otherReturnType("Lfw/Bytes;", "compact", "()Lfw/Bytes;"), "");
    EXPECT_EQ(otherReturnType("Lloop/A;", "flip", "()Lfw/Bytes;"), "") << "a parent cycle ends";
}

TEST_F(FrameworkGold, ADenialNamesTheMembersPermissionAndHowTheCallerStandsToItsClass)
{
    EXPECT_EQ(denied("Lapp/Caller;", "Lfw/Buffer;", Permission::PROTECTED),
              "protected method of fw.Buffer; app.Caller is in another package and not a subclass");
    EXPECT_EQ(denied("Lapp/Sub;", "Lfw/Buffer;", Permission::PACKAGE),
              "package method of fw.Buffer; app.Sub is in another package and a subclass");
    EXPECT_EQ(denied("Lfw/Bytes;", "Lfw/Buffer;", Permission::PRIVATE),
              "private method of fw.Buffer: only fw.Buffer itself may use it");
    EXPECT_EQ(denied("Lapp/Caller;", "Lfw/Internal;", Permission::PUBLIC),
              "class fw.Internal has package access and app.Caller is in another package");
}
