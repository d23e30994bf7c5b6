#include "conformance/FindingCauses.h"

#include "classfile/DepField.h"
#include "classfile/DepMethod.h"
#include "loader/Class.h"
#include "loader/ClassLoader.h"
#include "loader/MemberResolution.h"
#include "loader/Method.h"

#include <QSet>
#include <QStringList>

namespace {

// A supertype graph of a real library has a few dozen classes; hostile class files may make it
// endless, and a cause is not worth more than this.
constexpr int maxSupertypes = 256;

constexpr int java8Major = 52;

QString javaRelease(int major)
{
    if (major >= 49)
        return QString::number(major - 44);
    if (major >= 45)
        return QString("1.%1").arg(major - 44);
    return QString();
}

// The parameter part of a method descriptor, "(I)" of "(I)V".
QString parametersOf(const QString &descriptor)
{
    return descriptor.left(descriptor.indexOf(')') + 1);
}

const Method *sameParametersOtherReturn(const Class &cls, const DepMethod &ref)
{
    const QString parameters = parametersOf(ref.getSignature().getDescriptor());
    for (const Method *method : cls.getMethodsByName(ref.getName())) {
        const MethodSignature signature = method->getSignature();
        if (parametersOf(signature.getDescriptor()) == parameters
            && signature != ref.getSignature())
            return method;
    }
    return nullptr;
}

// How from stands to the package of declaring. A component may ship classes of a package the
// platform API defines too: the names then agree, yet the JVM keeps the two apart, and "another
// package" alone would read as a contradiction.
QString packageRelation(const Class &from, const Class &declaring)
{
    if (sameRuntimePackage(from, declaring))
        return "the same package";
    if (packageOf(from) != packageOf(declaring))
        return "another package";
    return QString("package %1 of another class loader").arg(packageOf(declaring));
}

QString splitPackageNote(const Class &from, const Class &declaring)
{
    if (sameRuntimePackage(from, declaring) || packageOf(from) != packageOf(declaring))
        return QString();
    return ": the component defines classes in a package the platform API also defines, and a "
           "runtime package belongs to one class loader";
}

} // namespace

QString FindingCauses::classFileVersion(int major)
{
    const QString release = javaRelease(major);
    const QString version = release.isEmpty()
        ? QString("major %1").arg(major)
        : QString("major %1 = Java %2").arg(major).arg(release);
    return QString("%1, newer than Java 8 (major %2): build with --release 8")
        .arg(version)
        .arg(java8Major);
}

QString
FindingCauses::otherReturnType(ClassLoader &access, const Class &owner, const DepMethod &ref)
{
    QStringList pending { owner.getName().getDescriptor() };
    QSet<QString> seen { owner.getName().getDescriptor() };
    for (int visited = 0; !pending.isEmpty() && visited < maxSupertypes; ++visited) {
        const QString name = pending.takeFirst();
        const Class *cls
            = name == owner.getName().getDescriptor() ? &owner : access.loadClass(name);
        if (!cls)
            continue;
        if (const Method *method = sameParametersOtherReturn(*cls, ref)) {
            return QString("exists returning %1: compiled against a newer API; build with "
                           "--release 8")
                .arg(method->getSignature().getReturnType().toString());
        }
        QList<TypeDescriptor> supertypes = cls->getInterfaces();
        if (cls->hasParent())
            supertypes.prepend(cls->getParent());
        for (const TypeDescriptor &supertype : supertypes) {
            if (supertype.isClass() && !seen.contains(supertype.getDescriptor())) {
                seen.insert(supertype.getDescriptor());
                pending.append(supertype.getDescriptor());
            }
        }
    }
    return QString();
}

QString FindingCauses::platformCopy(const Class &from, const Class &owner)
{
    if (from.isPlatformClass() || !owner.isPlatformClass() || from.getName() != owner.getName())
        return QString();
    return QString("the component defines %1, a class the platform API also defines: the "
                   "platform's class is the one loaded, and the component's copy is never used")
        .arg(owner.getName().toString());
}

QString FindingCauses::classDenied(const Class &from, const Class &target)
{
    return QString("class %1 has package access and %2 is in %3")
               .arg(target.getName().toString(),
                    from.getName().toString(),
                    packageRelation(from, target))
        + splitPackageNote(from, target);
}

QString FindingCauses::otherFieldType(const MemberResolution &resolution,
                                      const Class &owner,
                                      const DepField &ref)
{
    const QList<const Class *> classes = resolution.superclassChain(owner);
    for (const Class *cls : classes + resolution.allInterfaces(classes)) {
        if (const Field *field = cls->getFieldByName(ref.getName())) {
            return QString("exists in %1 with type %2: compiled against another version of it")
                .arg(cls->getName().toString(), field->getType().toString());
        }
    }
    return QString();
}

QString FindingCauses::missingSupertype(const MemberResolution &resolution, const Class &owner)
{
    const TypeDescriptor missing = resolution.firstMissingSupertype(owner);
    if (!missing.isValid())
        return QString();
    return QString("%1, a supertype of %2, was not found")
        .arg(missing.toString(), owner.getName().toString());
}

QString FindingCauses::memberDenied(ClassLoader &access,
                                    const Class &from,
                                    const Class &referenced,
                                    const Class &declaring,
                                    const Permission &member,
                                    const QString &kind)
{
    const QString owner = declaring.getName().toString();
    const QString user = from.getName().toString();
    if (member == Permission::PRIVATE)
        return QString("private %1 of %2: only %2 itself may use it").arg(kind, owner);
    const bool subclass = isInstanceOf(access, from, declaring);
    if (subclass && member == Permission::PROTECTED) {
        return QString("protected %1 of %2; %3 is a subclass in %4, which may use it only "
                       "through itself or a class related to it, not through %5")
                   .arg(kind,
                        owner,
                        user,
                        packageRelation(from, declaring),
                        referenced.getName().toString())
            + splitPackageNote(from, declaring);
    }
    return QString("%1 %2 of %3; %4 is in %5 and %6")
               .arg(member.toString(),
                    kind,
                    owner,
                    user,
                    packageRelation(from, declaring),
                    subclass ? "a subclass" : "not a subclass")
        + splitPackageNote(from, declaring);
}
