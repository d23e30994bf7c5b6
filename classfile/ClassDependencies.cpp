#include "classfile/ClassDependencies.h"

#include "classfile/JavaClassFile.h"

namespace {

// The uses as a finding shows them, member names and all.
DependencyOrigins originsOf(const JavaClassFile &file, const ClassDependencies::Uses &uses)
{
    DependencyOrigins origins;
    for (int i = 0; i < uses.keptCount; ++i) {
        const ClassDependencies::Uses::Use &use = uses.kept[i];
        QString member;
        if (DependencyOrigins::namesMethod(use.place)) {
            const method_info *method = file.methods.at(use.member);
            member = file.getMethodName(method) + file.getMethodDescriptor(method);
        } else if (use.place == DependencyOrigins::P_FIELD_TYPE) {
            member = file.getFieldName(file.fields.at(use.member));
        }
        origins.add({ use.place, member, use.line });
    }
    origins.addMore(uses.more);
    return origins;
}

template<typename Key, typename Value>
const Value *find(const QMap<Key, Value> &map, const Key &key)
{
    const auto found = map.constFind(key);
    return found == map.cend() ? nullptr : &*found;
}

} // namespace

QList<TypeDescriptor> ClassDependencies::getClasses() const
{
    QList<TypeDescriptor> listed;
    listed.reserve(classes.size());
    for (auto it = classes.cbegin(); it != classes.cend(); ++it) {
        if (it->source != ClassUses::NOT_LISTED)
            listed.append(it.key());
    }
    return listed;
}

DependencyOrigins ClassDependencies::getOrigins(const JavaClassFile &file,
                                                const TypeDescriptor &type) const
{
    const ClassUses *found = find(classes, type);
    return found ? originsOf(file, found->uses) : DependencyOrigins();
}

DependencyOrigins ClassDependencies::getOrigins(const JavaClassFile &file,
                                                const DepField &field) const
{
    const Uses *found = find(fields, field);
    return found ? originsOf(file, *found) : DependencyOrigins();
}

DependencyOrigins ClassDependencies::getOrigins(const JavaClassFile &file,
                                                const DepMethod &method) const
{
    const Uses *found = find(methods, method);
    return found ? originsOf(file, *found) : DependencyOrigins();
}

quint8 ClassDependencies::getLinkage(const TypeDescriptor &type) const
{
    const ClassUses *found = find(classes, type);
    return found ? found->uses.linkage : 0;
}

quint8 ClassDependencies::getLinkage(const DepField &field) const
{
    const Uses *found = find(fields, field);
    return found ? found->linkage : 0;
}

quint8 ClassDependencies::getLinkage(const DepMethod &method) const
{
    const Uses *found = find(methods, method);
    return found ? found->linkage : 0;
}
