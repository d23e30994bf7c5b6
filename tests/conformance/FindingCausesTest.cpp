#include "conformance/FindingCauses.h"
#include "support/QtPrinters.h"

#include "classfile/DepMethod.h"
#include "gold/ProtoIO.h"
#include "loader/ClassLoader.h"
#include "support/ProtoData.h"

#include "JavaTypes.pb.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace {

/// A small framework's gold file (tests/data/conformance/framework.textproto).
class FrameworkGold : public testing::Test
{
protected:
    void SetUp() override
    {
        JClasses gold = protoData<JClasses>("conformance/framework.textproto");
        const QString path = dir.filePath("framework.javagold");
        ProtoIO::write(&gold, path);
        loader.reset(ClassLoader::create(Classpath(path)));
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
