#include "conformance/FindingCauses.h"

#include "classfile/DepField.h"
#include "classfile/DepMethod.h"
#include "goldformat/ProtoIO.h"
#include "loader/ClassLoader.h"
#include "loader/MemberResolution.h"
#include "support/ClassFileBuilder.h"
#include "support/Files.h"
#include "support/Golden.h"
#include "support/ProtoData.h"

#include "JavaTypes.pb.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

// Class file versions as Java releases; a method missing only by its return type, named with the
// type that exists (not when the parameters or the name differ, nor through a parent cycle); a
// field missing only by its type, named with the type that exists; a supertype that is missing;
// a denial, with the member's
// permission, how the caller stands to the class that declares it and, for a subclass denied a
// protected member, the class it was reached through; a component class in a package of the
// platform API denied its package-private class and member, told why the names agree; a
// component's copy of a platform class, which asks in vain for its own member.
TEST(FindingCauses, NameReleasesReturnTypesThatExistAndWhyAccessIsDenied)
{
    QTemporaryDir dir;
    JClasses gold = protoData<JClasses>("conformance/framework.textproto");
    ProtoIO::write(&gold, dir.filePath("framework.javagold"));
    const std::unique_ptr<ClassLoader> loader(
        ClassLoader::create(Classpath(dir.filePath("framework.javagold"))));
    const auto cls
        = [&loader](const char *name) -> const Class & { return *loader->loadClass(name); };

    QStringList causes;
    for (const int major : { 55, 61 })
        causes << FindingCauses::classFileVersion(major);
    // Older versions are never refused: only the names of their releases count.
    for (const int major : { 48, 30 })
        causes << FindingCauses::classFileVersion(major).section(',', 0, 0);
    const char *const methods[][3] = { { "Lfw/Bytes;", "flip", "()Lfw/Bytes;" },
                                       { "Lfw/Bytes;", "flip", "(I)Lfw/Bytes;" },
                                       { "Lfw/Bytes;", "compact", "()Lfw/Bytes;" },
                                       { "Lloop/A;", "flip", "()Lfw/Bytes;" } };
    for (const auto &[owner, name, descriptor] : methods) {
        const DepMethod ref(TypeDescriptor(owner), name, MethodSignature(descriptor));
        causes << QString("%1 %2: ").arg(owner, name)
                + FindingCauses::otherReturnType(*loader, cls(owner), ref);
    }
    const MemberResolution resolution(
        [&loader](const QString &name) -> const Class * { return loader->loadClass(name); });
    const char *const fields[][2] = { { "Lfw/Bytes;", "J" }, { "Lapp/Caller;", "J" } };
    for (const auto &[owner, type] : fields) {
        const DepField ref(TypeDescriptor(owner), "position", TypeDescriptor(type));
        causes << QString("%1 position: ").arg(owner)
                + FindingCauses::otherFieldType(resolution, cls(owner), ref);
    }
    for (const char *owner : { "Lapp/Orphan;", "Lfw/Bytes;" })
        causes << QString("%1: ").arg(owner)
                + FindingCauses::missingSupertype(resolution, cls(owner));
    const struct
    {
        const char *from;
        const char *referenced;
        Permission member;
    } denials[] = { { "Lapp/Caller;", "Lfw/Buffer;", Permission::PROTECTED },
                    { "Lapp/Sub;", "Lfw/Buffer;", Permission::PACKAGE },
                    { "Lfw/Bytes;", "Lfw/Buffer;", Permission::PRIVATE },
                    { "Lapp/Sub;", "Lfw/Bytes;", Permission::PROTECTED } };
    for (const auto &denial : denials) {
        causes << FindingCauses::memberDenied(*loader,
                                              cls(denial.from),
                                              cls(denial.referenced),
                                              cls("Lfw/Buffer;"),
                                              denial.member,
                                              "method");
    }
    QDir(dir.path()).mkpath("component/fw");
    writeFile(dir.filePath("component/fw/Split.class"), ClassFileBuilder("fw/Split", "fw/Buffer"));
    const std::unique_ptr<ClassLoader> split(ClassLoader::create(
        Classpath(dir.filePath("component") + ':' + dir.filePath("framework.javagold"))));
    const Class &component = *split->loadClass("Lfw/Split;");
    causes << FindingCauses::classDenied(component, *split->loadClass("Lfw/Internal;"));
    for (const Permission &member : { Permission::PACKAGE, Permission::PROTECTED }) {
        causes << FindingCauses::memberDenied(*split,
                                              component,
                                              *split->loadClass("Lfw/Bytes;"),
                                              *split->loadClass("Lfw/Buffer;"),
                                              member,
                                              "method");
    }
    writeFile(dir.filePath("component/fw/Buffer.class"), ClassFileBuilder("fw/Buffer"));
    const std::unique_ptr<ClassLoader> own(
        ClassLoader::create(Classpath(dir.filePath("component"))));
    for (const char *name : { "Lfw/Buffer;", "Lfw/Split;" })
        causes << FindingCauses::platformCopy(*own->loadClass(name), cls("Lfw/Buffer;"));
    Golden::expectEqual("conformance/finding-causes.txt", causes.join('\n').toUtf8() + '\n');
}
