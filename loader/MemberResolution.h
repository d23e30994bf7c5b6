#pragma once

#include "classfile/MethodSignature.h"
#include "classfile/TypeDescriptor.h"

#include <QString>

#include <functional>

class Class;
class Field;
class Method;

/// Finds the member a field or method reference names, as the JVM resolves it, and the class
/// that declares it, through the supertypes of the class the reference names. Walks are
/// iterative and enter each supertype once, so that the cyclic or huge supertype graphs of
/// hostile class files end quickly.
class MemberResolution
{
public:
    /// A class by descriptor text, or null; answers may be remembered by the caller.
    using FindClass = std::function<const Class *(const QString &descriptor)>;

    template<typename Member> struct Found
    {
        Member *member = nullptr;
        const Class *declaring = nullptr;
    };

    explicit MemberResolution(FindClass find);

    /// The class or interface itself, its superinterfaces depth first, then its superclass in
    /// the same way; a field matches by name and type.
    Found<Field>
    field(const Class &referenced, const QString &name, const TypeDescriptor &type) const;
    /// For a method reference, which names a class: the class and its superclasses, then the
    /// instance methods of their superinterfaces that are not private (static interface methods
    /// are never inherited). A constructor only in the class itself.
    Found<Method>
    method(const Class &referenced, const QString &name, const MethodSignature &signature) const;
    /// For an interface method reference, which names an interface: the interface, the public
    /// instance methods of java.lang.Object, then its superinterfaces' instance methods that are
    /// not private.
    Found<Method> interfaceMethod(const Class &referenced,
                                  const QString &name,
                                  const MethodSignature &signature) const;

    /// The class and its superclasses in order, each once, as far as they are found; complete
    /// (when asked) tells whether every one was.
    QList<const Class *> superclassChain(const Class &cls, bool *complete = nullptr) const;
    /// Every superinterface of the classes, each once; complete (when asked) tells whether every
    /// one was found.
    QList<const Class *> allInterfaces(const QList<const Class *> &classes,
                                       bool *complete = nullptr) const;
    /// The first superclass or superinterface of the class, the closest first, that is not
    /// found; the invalid descriptor when all are.
    TypeDescriptor firstMissingSupertype(const Class &cls) const;

private:
    template<typename Member, typename Match>
    Found<Member> searchInterfaces(const QList<const Class *> &from,
                                   const Match &match,
                                   bool *complete = nullptr) const;

    FindClass find;
};
