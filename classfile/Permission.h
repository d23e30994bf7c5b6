#pragma once

#include <QString>

// The access rules work on the class model and follow superclasses through a loader; they are
// defined with the loaders.
class Class;
class ClassLoader;
class Field;
class Method;

/// An access level of a class, field or method. The numbers are those of the gold format's
/// JPermission, so either converts to the other by number.
class Permission
{
public:
    enum Value { V_PRIVATE = 0, V_PROTECTED = 1, V_PUBLIC = 2, V_PACKAGE = 3 };

    constexpr explicit Permission(int value)
        : value(value)
    {
    }

    /// The shared instance of a number; any unknown number is public.
    static const Permission &fromInt(int value);
    /// Class-file access flags to a permission: public wins over protected over private; none of
    /// them is package access.
    static const Permission &fromAccessFlags(unsigned short accessFlags);

    /// "private", "protected", "public", "package", or "invalid" for any other number.
    QString toString() const;

    /// May code in class from use class target: the same class, a public class, or one of the
    /// same runtime package.
    static bool accessible(ClassLoader &loader, const Class &from, const Class &target);
    /// May code in from use a member that class declaring declares, reached through a reference
    /// to class referenced, as the JVM decides it: public; private in the declaring class only;
    /// package and protected within its runtime package; protected also from its subclasses,
    /// which reach an instance member only through a reference to a class related to them. The
    /// access to the referenced class is a question of its own; the declaring class need not be
    /// accessible. Superclasses are followed through the loader.
    static bool accessible(ClassLoader &loader,
                           const Class &from,
                           const Class &referenced,
                           const Class &declaring,
                           const Method &member);
    static bool accessible(ClassLoader &loader,
                           const Class &from,
                           const Class &referenced,
                           const Class &declaring,
                           const Field &member);

    bool operator==(const Permission &other) const { return value == other.value; }
    bool operator!=(const Permission &other) const { return value != other.value; }

    // Constant-initialised (no constructor runs at start-up) and never destroyed.
    static const Permission PRIVATE;
    static const Permission PROTECTED;
    static const Permission PUBLIC;
    static const Permission PACKAGE;

    int value;
};

/// The package of a class's name ("" for the unnamed package), whatever its file claims.
QString packageOf(const Class &cls);

/// Do two classes share a runtime package: the package of their names, and the same defining
/// loader, which a component class never shares with a platform class (a class of a gold file).
bool sameRuntimePackage(const Class &a, const Class &b);

/// Is b the class a itself or one of its superclasses, found through the loader. Interfaces are
/// not followed; a superclass cycle ends the walk with false.
bool isInstanceOf(ClassLoader &loader, const Class &a, const Class &b);
