#pragma once

#include "classfile/DepField.h"
#include "classfile/DepMethod.h"
#include "classfile/DependencyOrigins.h"
#include "classfile/MethodSignature.h"
#include "classfile/Permission.h"
#include "classfile/TypeDescriptor.h"
#include "loader/Field.h"
#include "loader/Method.h"

#include <QList>
#include <QString>

/// One Java class or interface as the tests and the gold builder see it, whatever it was read
/// from. A class owns its field and method objects; the lists are built once by the concrete
/// constructor and never change.
class Class
{
public:
    Class() = default;
    virtual ~Class();
    Class(const Class &) = delete;
    Class &operator=(const Class &) = delete;

    virtual int getMajorVersion() const = 0;
    /// Dotted package name, empty for the default package. Gold records leave it empty for
    /// every class; the access rules take the package from the name.
    virtual QString getPackage() const = 0;
    virtual TypeDescriptor getName() const = 0;
    virtual bool isAbstract() const = 0;
    virtual bool isInterface() const = 0;
    virtual TypeDescriptor getParent() const = 0;
    virtual bool hasParent() const = 0;
    virtual const QList<TypeDescriptor> &getInterfaces() const { return interfaces; }
    /// PUBLIC or PACKAGE: a top-level class has no other access.
    virtual Permission getPermission() const = 0;
    virtual bool isFinal() const = 0;
    virtual bool isStatic() const = 0;
    virtual const QList<Field *> &getFields() const { return fields; }
    virtual const QList<Method *> &getMethods() const { return methods; }
    virtual QList<TypeDescriptor> getDependentClasses() const { return {}; }
    virtual QList<DepField> getDependentFields() const { return {}; }
    virtual QList<DepMethod> getDependentMethods() const { return {}; }
    /// Collects the three dependency lists now, so that asking for them later costs nothing.
    virtual void collectDependencies() const { }
    /// Frees what the three dependency lists hold once they have been used; asking for them again
    /// collects them anew. A whole component's lists at once would not fit in memory.
    virtual void releaseDependencies() const { }
    /// Where this class uses one of its dependencies: the methods and source lines, or the places
    /// outside code. Noted with the lists and freed with them, the texts made only when asked (for
    /// the few dependencies with findings); empty for a class that has no bytecode.
    virtual DependencyOrigins getOrigins(const TypeDescriptor &) const { return {}; }
    virtual DependencyOrigins getOrigins(const DepField &) const { return {}; }
    virtual DependencyOrigins getOrigins(const DepMethod &) const { return {}; }
    /// How this class's bytecode uses one of its dependencies, as bits of Linkage; 0 for a
    /// class without bytecode.
    virtual quint8 getLinkage(const TypeDescriptor &) const { return 0; }
    virtual quint8 getLinkage(const DepField &) const { return 0; }
    virtual quint8 getLinkage(const DepMethod &) const { return 0; }
    /// A class of the platform, described by a gold file: at run time another loader defines
    /// it than the component's, so it shares no runtime package with a component class.
    virtual bool isPlatformClass() const { return false; }

    // Lookups among the members this class itself declares (inherited ones are not seen).
    /// The first field of that exact name, or null.
    Field *getFieldByName(const QString &name) const;
    /// Every method of that name, in declaration order.
    QList<Method *> getMethodsByName(const QString &name) const;
    /// The first method of that name whose descriptor text equals the signature's, or that is
    /// signature-polymorphic; null if none.
    Method *getMethodByNameAndSignature(const QString &name,
                                        const MethodSignature &signature) const;

protected:
    /// Frees the field and method objects, fields first; safe to call more than once.
    void deleteMembers();

    QList<TypeDescriptor> interfaces;
    QList<Field *> fields; // owned
    QList<Method *> methods; // owned
};
