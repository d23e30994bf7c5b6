#include "loader/MemberResolution.h"

#include "loader/Class.h"

#include <QSet>
#include <QVector>

namespace {

const QString objectDescriptor = QStringLiteral("Ljava/lang/Object;");

bool isInheritableFromInterface(const Method &method)
{
    return !method.isStatic() && method.getPermission() != Permission::PRIVATE;
}

} // namespace

MemberResolution::MemberResolution(FindClass find)
    : find(std::move(find))
{
}

QList<const Class *> MemberResolution::superclassChain(const Class &cls, bool *complete) const
{
    QList<const Class *> chain { &cls };
    QSet<QString> followed { cls.getName().getDescriptor() };
    bool found = true;
    for (const Class *current = &cls; current->hasParent();) {
        const TypeDescriptor parent = current->getParent();
        if (!parent.isClass() || followed.contains(parent.getDescriptor()))
            break; // the top, or a cycle: everything on it is in the chain already
        followed.insert(parent.getDescriptor());
        current = find(parent.getDescriptor());
        if (!current) {
            found = false;
            break;
        }
        chain.append(current);
    }
    if (complete)
        *complete = found;
    return chain;
}

// Depth first from each class's direct superinterfaces in declaration order, as the JVM looks
// up fields; an interface already entered holds no match and is not entered again.
template<typename Member, typename Match>
MemberResolution::Found<Member> MemberResolution::searchInterfaces(const QList<const Class *> &from,
                                                                   const Match &match,
                                                                   bool *complete) const
{
    struct Frame
    {
        const Class *cls;
        int next;
    };
    QSet<QString> entered;
    for (const Class *start : from) {
        QVector<Frame> stack { Frame { start, 0 } };
        while (!stack.isEmpty()) {
            Frame &top = stack.last();
            const QList<TypeDescriptor> &names = top.cls->getInterfaces();
            if (top.next >= names.size()) {
                stack.removeLast();
                continue;
            }
            const QString &name = names.at(top.next++).getDescriptor();
            if (entered.contains(name))
                continue;
            entered.insert(name);
            const Class *iface = find(name);
            if (!iface) {
                if (complete)
                    *complete = false;
                continue;
            }
            if (Member *member = match(*iface))
                return { member, iface };
            stack.append(Frame { iface, 0 });
        }
    }
    return {};
}

QList<const Class *> MemberResolution::allInterfaces(const QList<const Class *> &classes,
                                                     bool *complete) const
{
    QList<const Class *> found;
    if (complete)
        *complete = true;
    searchInterfaces<const Class>(
        classes,
        [&found](const Class &iface) -> const Class * {
            found.append(&iface);
            return nullptr;
        },
        complete);
    return found;
}

TypeDescriptor MemberResolution::firstMissingSupertype(const Class &cls) const
{
    const QList<const Class *> chain = superclassChain(cls);
    for (const Class *known : chain + allInterfaces(chain)) {
        QList<TypeDescriptor> supertypes = known->getInterfaces();
        if (known == chain.last() && known->hasParent())
            supertypes.prepend(known->getParent());
        for (const TypeDescriptor &supertype : supertypes) {
            if (supertype.isClass() && !find(supertype.getDescriptor()))
                return supertype;
        }
    }
    return TypeDescriptor();
}

MemberResolution::Found<Field> MemberResolution::field(const Class &referenced,
                                                       const QString &name,
                                                       const TypeDescriptor &type) const
{
    const auto match = [&](const Class &cls) -> Field * {
        Field *field = cls.getFieldByName(name);
        return field && field->getType() == type ? field : nullptr;
    };
    for (const Class *cls : superclassChain(referenced)) {
        if (Field *field = match(*cls))
            return { field, cls };
        const Found<Field> inherited = searchInterfaces<Field>({ cls }, match);
        if (inherited.member)
            return inherited;
    }
    return {};
}

MemberResolution::Found<Method> MemberResolution::method(const Class &referenced,
                                                         const QString &name,
                                                         const MethodSignature &signature) const
{
    // Constructors are not inherited.
    if (name == QLatin1String("<init>"))
        return { referenced.getMethodByNameAndSignature(name, signature), &referenced };
    const QList<const Class *> chain = superclassChain(referenced);
    for (const Class *cls : chain) {
        if (Method *method = cls->getMethodByNameAndSignature(name, signature))
            return { method, cls };
    }
    return searchInterfaces<Method>(chain, [&](const Class &iface) -> Method * {
        Method *method = iface.getMethodByNameAndSignature(name, signature);
        return method && isInheritableFromInterface(*method) ? method : nullptr;
    });
}

MemberResolution::Found<Method> MemberResolution::interfaceMethod(
    const Class &referenced, const QString &name, const MethodSignature &signature) const
{
    if (Method *method = referenced.getMethodByNameAndSignature(name, signature))
        return { method, &referenced };
    if (const Class *object = find(objectDescriptor)) {
        Method *method = object->getMethodByNameAndSignature(name, signature);
        if (method && !method->isStatic() && method->getPermission() == Permission::PUBLIC)
            return { method, object };
    }
    return searchInterfaces<Method>({ &referenced }, [&](const Class &iface) -> Method * {
        Method *method = iface.getMethodByNameAndSignature(name, signature);
        return method && isInheritableFromInterface(*method) ? method : nullptr;
    });
}
