#pragma once

#include "classfile/DependencyOrigins.h"
#include "classfile/TypeDescriptor.h"

#include <QHash>
#include <QList>
#include <QString>

#include <memory>

class Class;
class ClassLoader;
class ReceiverTypes;

/// The verifier's check of protected members, for one class of the component. Where its code uses
/// a protected instance member through a reference to one of its superclasses, and a class of
/// another runtime package declares the member, the object it is used on must be of the class
/// itself or a subclass of it; otherwise the JVM rejects the whole class with a VerifyError. The
/// code is followed only when a reference meets these conditions.
class ProtectedReceivers
{
public:
    /// Uses that fail the check with one error of the JVM.
    struct Violation
    {
        QString error;
        /// What the objects were, and why they may not be.
        QString cause;
        DependencyOrigins origins;
        /// Not told either way: a person has to judge.
        bool undecided = false;
    };

    /// The class is tested with the loader; both must outlive this.
    ProtectedReceivers(ClassLoader &access, const Class &cls);
    ~ProtectedReceivers();
    ProtectedReceivers(const ProtectedReceivers &) = delete;
    ProtectedReceivers &operator=(const ProtectedReceivers &) = delete;

    const Class &getClass() const { return cls; }
    const ClassLoader &getLoader() const { return access; }

    /// The violations by the uses of a protected field or method, which declaring declares and
    /// the class refers to as a member of owner; none where the check does not apply.
    QList<Violation> check(const TypeDescriptor &owner,
                           const Class &declaring,
                           const QString &name,
                           const QString &descriptor,
                           bool isMethod);

private:
    /// Is the class of this internal name the tested class or a subclass of it.
    bool isSubclass(const QString &internalName);
    bool isSuperclass(const TypeDescriptor &owner);

    ClassLoader &access;
    const Class &cls;
    std::unique_ptr<ReceiverTypes> receivers;
    QHash<QString, bool> subclasses;
};
