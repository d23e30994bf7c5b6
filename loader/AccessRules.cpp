#include "classfile/Permission.h"

#include "loader/Class.h"
#include "loader/ClassLoader.h"

#include <QSet>

namespace {

// As the JVM checks protected access at linking: a subclass of the declaring class reaches an
// instance member only through a reference to a class related to it, since the member belongs
// to objects of that class (the verifier then checks the objects themselves).
bool protectedBySubclass(ClassLoader &loader,
                         const Class &from,
                         const Class &referenced,
                         const Class &declaring,
                         bool isStatic)
{
    // An interface is no subclass of anything, not even of java.lang.Object.
    if (from.isInterface() || !isInstanceOf(loader, from, declaring))
        return false;
    return isStatic || referenced.getName() == from.getName()
        || referenced.getName() == declaring.getName() || isInstanceOf(loader, from, referenced)
        || isInstanceOf(loader, referenced, from);
}

bool accessibleMember(ClassLoader &loader,
                      const Class &from,
                      const Class &referenced,
                      const Class &declaring,
                      const Permission &member,
                      bool isStatic)
{
    if (declaring.getName() == from.getName() || member == Permission::PUBLIC)
        return true;
    // A Java 8 platform has no nests: private is the declaring class's alone.
    if (member == Permission::PRIVATE)
        return false;
    if (sameRuntimePackage(from, declaring))
        return true;
    return member == Permission::PROTECTED
        && protectedBySubclass(loader, from, referenced, declaring, isStatic);
}

} // namespace

QString packageOf(const Class &cls)
{
    const QString name = cls.getName().getClassName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.left(dot);
}

bool sameRuntimePackage(const Class &a, const Class &b)
{
    return a.isPlatformClass() == b.isPlatformClass() && packageOf(a) == packageOf(b);
}

bool Permission::accessible(ClassLoader &, const Class &from, const Class &target)
{
    if (target.getName() == from.getName())
        return true;
    if (target.getPermission() == Permission::PUBLIC)
        return true;
    return sameRuntimePackage(from, target);
}

bool Permission::accessible(ClassLoader &loader,
                            const Class &from,
                            const Class &referenced,
                            const Class &declaring,
                            const Method &member)
{
    return accessibleMember(
        loader, from, referenced, declaring, member.getPermission(), member.isStatic());
}

bool Permission::accessible(ClassLoader &loader,
                            const Class &from,
                            const Class &referenced,
                            const Class &declaring,
                            const Field &member)
{
    return accessibleMember(
        loader, from, referenced, declaring, member.getPermission(), member.isStatic());
}

bool isInstanceOf(ClassLoader &loader, const Class &a, const Class &b)
{
    const TypeDescriptor wanted = b.getName();
    // Names already followed: class files that name each other as parents end the walk.
    QSet<QString> followed;
    for (TypeDescriptor d = a.getName(); d.isClass();) {
        if (d == wanted)
            return true;
        if (followed.contains(d.getDescriptor()))
            return false;
        followed.insert(d.getDescriptor());
        const Class *cls = loader.loadClass(d.getDescriptor());
        if (!cls)
            return false;
        d = cls->getParent();
    }
    return false;
}
