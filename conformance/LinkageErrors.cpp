#include "conformance/LinkageErrors.h"

#include "classfile/Linkage.h"
#include "classfile/Permission.h"
#include "loader/Class.h"
#include "loader/MemberResolution.h"

#include <QSet>

namespace {

QString dotted(const Class &cls)
{
    return cls.getName().toString();
}

// "'void a.Lib.m(int)'", as the JVM names a method in its messages.
QString methodLabel(const Class &owner, const Method &method)
{
    const MethodSignature signature = method.getSignature();
    return QString("'%1 %2.%3(%4)'")
        .arg(signature.getReturnType().toString(),
             dotted(owner),
             method.getName(),
             signature.getParameterString());
}

bool isConstructor(const Method &method)
{
    return method.getName() == QLatin1String("<init>");
}

// A method the class declares with that name and descriptor; signature-polymorphic methods
// match only their own descriptor here.
const Method *declaredExactly(const Class &cls, const Method &like)
{
    const QString descriptor = like.getSignature().getDescriptor();
    for (const Method *method : cls.getMethodsByName(like.getName())) {
        if (method->getSignature().getDescriptor() == descriptor)
            return method;
    }
    return nullptr;
}

bool isOverridable(const Method &method)
{
    return !method.isStatic() && method.getPermission() != Permission::PRIVATE
        && !isConstructor(method);
}

// Whether a method of class cls takes the place of method `abstract` of class `declaring` when
// it is called: a package method only from the same runtime package.
bool overrides(const Class &cls, const Class &declaring, const Method &abstract)
{
    return abstract.getPermission() != Permission::PACKAGE || sameRuntimePackage(cls, declaring);
}

QString finalOverride(ClassLoader &access,
                      const QList<const Class *> &chain,
                      const Method &method,
                      const Class **supertype)
{
    const Class &cls = *chain.first();
    for (int i = 1; i < chain.size(); ++i) {
        const Method *inherited = declaredExactly(*chain.at(i), method);
        if (inherited && inherited->isFinal() && isOverridable(*inherited)
            && Permission::accessible(access, cls, *chain.at(i), *chain.at(i), *inherited)) {
            *supertype = chain.at(i);
            return QString("IncompatibleClassChangeError: overrides final method %1.%2%3")
                .arg(dotted(*chain.at(i)), method.getName(), method.getSignature().getDescriptor());
        }
    }
    return QString();
}

struct Candidate
{
    const Class *declaring;
    const Method *method;
};

// The abstract instance methods of the superclasses and superinterfaces, one per name and
// descriptor, superclasses first.
QList<Candidate> abstractMethods(const QList<const Class *> &chain,
                                 const QList<const Class *> &interfaces)
{
    QList<Candidate> found;
    QSet<QString> seen;
    const auto collect = [&](const Class *cls) {
        for (const Method *method : cls->getMethods()) {
            const QString key = method->getName() + method->getSignature().getDescriptor();
            if (method->isAbstract() && !method->isStatic() && !seen.contains(key)) {
                seen.insert(key);
                found.append({ cls, method });
            }
        }
    };
    for (int i = 1; i < chain.size(); ++i)
        collect(chain.at(i));
    for (const Class *iface : interfaces)
        collect(iface);
    return found;
}

// What a call of the abstract method on an instance of the class runs, as the JVM selects it:
// the first declaration up the superclass chain that takes its place, else a default method of
// the superinterfaces. Null when that is abstract or there is none.
const Method *implementation(const QList<const Class *> &chain,
                             const QList<const Class *> &interfaces,
                             const Candidate &abstract,
                             Candidate *selected)
{
    for (const Class *cls : chain) {
        const Method *method = declaredExactly(*cls, *abstract.method);
        if (method && isOverridable(*method)
            && overrides(*cls, *abstract.declaring, *abstract.method)) {
            *selected = { cls, method };
            return method->isAbstract() ? nullptr : method;
        }
    }
    for (const Class *iface : interfaces) {
        const Method *method = declaredExactly(*iface, *abstract.method);
        if (method && isOverridable(*method) && !method->isAbstract())
            return method;
    }
    return nullptr;
}

} // namespace

QString LinkageErrors::ofClass(const Class &found, quint8 linkage)
{
    const QString name = dotted(found);
    if ((linkage & Linkage::L_SUPERCLASS) && found.isInterface())
        return QString("IncompatibleClassChangeError: has interface %1 as super class").arg(name);
    if ((linkage & Linkage::L_SUPERCLASS) && found.isFinal())
        return QString("IncompatibleClassChangeError: cannot inherit from final class %1")
            .arg(name);
    if ((linkage & Linkage::L_INTERFACE) && !found.isInterface()) {
        return QString("IncompatibleClassChangeError: can not implement %1, because it is not an "
                       "interface")
            .arg(name);
    }
    if ((linkage & Linkage::L_NEW) && found.isInterface())
        return QString("InstantiationError: %1 is an interface").arg(name);
    if ((linkage & Linkage::L_NEW) && found.isAbstract())
        return QString("InstantiationError: %1 is abstract").arg(name);
    return QString();
}

QString LinkageErrors::ofField(const Class &from,
                               const Class &referenced,
                               const Class &declaring,
                               const Field &field,
                               quint8 linkage)
{
    const QString name = dotted(referenced) + '.' + field.getName();
    if ((linkage & Linkage::staticFieldUses) && !field.isStatic())
        return QString("IncompatibleClassChangeError: Expected static field %1").arg(name);
    if ((linkage & Linkage::instanceFieldUses) && field.isStatic())
        return QString("IncompatibleClassChangeError: Expected non-static field %1").arg(name);
    if ((linkage & Linkage::fieldWrites) && field.isFinal()
        && declaring.getName() != from.getName()) {
        return QString("IllegalAccessError: Update to %1 final field %2 attempted from a "
                       "different class than the field's declaring class")
            .arg(field.isStatic() ? "static" : "non-static", name);
    }
    return QString();
}

QString LinkageErrors::ofMethodOwner(const Class &referenced, quint8 linkage)
{
    if ((linkage & Linkage::L_METHODREF) && referenced.isInterface()) {
        return QString("IncompatibleClassChangeError: Found interface %1, but class was expected")
            .arg(dotted(referenced));
    }
    if ((linkage & Linkage::L_INTERFACE_METHODREF) && !referenced.isInterface()) {
        return QString("IncompatibleClassChangeError: Found class %1, but interface was expected")
            .arg(dotted(referenced));
    }
    return QString();
}

QString LinkageErrors::ofMethod(const Class &declaring, const Method &method, quint8 linkage)
{
    if ((linkage & Linkage::L_INVOKESTATIC) && !method.isStatic()) {
        return QString("IncompatibleClassChangeError: Expected static method %1")
            .arg(methodLabel(declaring, method));
    }
    if ((linkage & Linkage::instanceCalls) && method.isStatic()) {
        return QString("IncompatibleClassChangeError: Expecting non-static method %1")
            .arg(methodLabel(declaring, method));
    }
    return QString();
}

QList<LinkageErrors::Inherited> LinkageErrors::ofInheritance(ClassLoader &access,
                                                             const MemberResolution &resolution,
                                                             const Class &cls)
{
    QList<Inherited> found;
    bool allSuperclasses = false;
    const QList<const Class *> chain = resolution.superclassChain(cls, &allSuperclasses);
    for (const Method *method : cls.getMethods()) {
        if (!isOverridable(*method))
            continue;
        const Class *supertype = nullptr;
        const QString error = finalOverride(access, chain, *method, &supertype);
        if (!error.isEmpty())
            found.append({ supertype, error });
    }
    if (cls.isAbstract() || cls.isInterface())
        return found;
    bool allInterfaces = false;
    const QList<const Class *> interfaces = resolution.allInterfaces(chain, &allInterfaces);
    // A supertype that is not there may well hold the implementation: its absence is the finding.
    if (!allSuperclasses || !allInterfaces)
        return found;
    for (const Candidate &abstract : abstractMethods(chain, interfaces)) {
        Candidate selected = abstract;
        if (implementation(chain, interfaces, abstract, &selected))
            continue;
        const QString kind = selected.declaring->isInterface() ? "interface" : "abstract class";
        const MethodSignature signature = selected.method->getSignature();
        found.append({ selected.declaring,
                       QString("AbstractMethodError: does not define or inherit an "
                               "implementation of the method 'abstract %1 %2(%3)' of %4 %5")
                           .arg(signature.getReturnType().toString(),
                                selected.method->getName(),
                                signature.getParameterString(),
                                kind,
                                dotted(*selected.declaring)) });
    }
    return found;
}
