#pragma once

#include "classfile/Permission.h"

#include <QString>

class Class;
class ClassLoader;
class DepField;
class DepMethod;
class MemberResolution;

/// The causes the tests attach to their findings: what a user changes to mend them, in the
/// terms of the build rather than of the class-file format. Each answers an empty text when it
/// has nothing to add.
class FindingCauses
{
public:
    /// "major 61 = Java 17, newer than Java 8 (major 52): build with --release 8".
    static QString classFileVersion(int major);

    /// A method not found, although one of that name and those parameter types exists with
    /// another return type in the owner or a supertype: the component was compiled against a
    /// newer API. Looks through at most a bounded number of supertypes.
    static QString otherReturnType(ClassLoader &access, const Class &owner, const DepMethod &ref);

    /// A member not found in owner, a platform class of the same name as the component's class
    /// from: from asks for its own member, but the platform's class is the one loaded.
    static QString platformCopy(const Class &from, const Class &owner);

    /// Why from may not use a class that it found.
    static QString classDenied(const Class &from, const Class &target);

    /// A field not found, although one of that name exists with another type in the owner or
    /// a supertype, where the JVM would look for it.
    static QString
    otherFieldType(const MemberResolution &resolution, const Class &owner, const DepField &ref);

    /// A member not found in a class whose supertypes are not all there: the first missing
    /// one, which may well declare it.
    static QString missingSupertype(const MemberResolution &resolution, const Class &owner);

    /// Why from may not use a member (kind "field" or "method") that class declaring declares,
    /// reached through a reference to class referenced: the member's permission and how from
    /// stands to declaring.
    static QString memberDenied(ClassLoader &access,
                                const Class &from,
                                const Class &referenced,
                                const Class &declaring,
                                const Permission &member,
                                const QString &kind);
};
