#include "classfile/Permission.h"

#include "loader/Class.h"
#include "loader/ClassLoader.h"

#include <QSet>

namespace {

bool samePackage(const Class &from, const Class &target)
{
    return from.getPackage() == target.getPackage();
}

bool accessibleMember(ClassLoader &loader,
                      const Class &from,
                      const Class &target,
                      const Permission &member)
{
    if (target.getName() == from.getName())
        return true; // a class may use all its own members, private ones included
    if (!Permission::accessible(loader, from, target))
        return false;
    if (member == Permission::PUBLIC)
        return true;
    if (member == Permission::PACKAGE)
        return samePackage(from, target);
    if (member != Permission::PROTECTED)
        return false;
    return isInstanceOf(loader, from, target) || samePackage(from, target);
}

} // namespace

bool Permission::accessible(ClassLoader &, const Class &from, const Class &target)
{
    if (target.getName() == from.getName())
        return true;
    if (target.getPermission() == Permission::PUBLIC)
        return true;
    return samePackage(from, target);
}

bool Permission::accessible(ClassLoader &loader,
                            const Class &from,
                            const Class &target,
                            const Method &member)
{
    return accessibleMember(loader, from, target, member.getPermission());
}

bool Permission::accessible(ClassLoader &loader,
                            const Class &from,
                            const Class &target,
                            const Field &member)
{
    return accessibleMember(loader, from, target, member.getPermission());
}

bool isInstanceOf(ClassLoader &loader, const Class &a, const Class &b)
{
    const TypeDescriptor wanted = b.getName();
    // Names already followed: class files that name each other as parents end the walk.
    QSet<QString> followed;
    for (TypeDescriptor d = a.getName(); d.isClass();) {
        if (d == wanted)
            return true;
        if (followed.contains(d.descriptor))
            return false;
        followed.insert(d.descriptor);
        const Class *cls = loader.loadClass(d.descriptor);
        if (!cls)
            return false;
        d = cls->getParent();
    }
    return false;
}
