#include "loader/ProtoClassLoader.h"

#include "gold/ProtoIO.h"
#include "loader/ProtoClass.h"

ProtoClassLoader::ProtoClassLoader(const QString &path)
    : root(ProtoIO::read(arena, path))
{
    for (int index = 0; index < root->classes_size(); ++index) {
        const QString name = ProtoClass::text(root->classes(index).name());
        if (!recordOf.contains(name))
            recordOf.insert(name, index);
    }
}

ProtoClassLoader::~ProtoClassLoader() = default;

void ProtoClassLoader::loadAllClasses()
{
    for (const JClass &record : root->classes())
        loadClass(ProtoClass::text(record.name()));
}

Class *ProtoClassLoader::defineClass(const QString &name)
{
    const auto found = recordOf.constFind(name);
    if (found == recordOf.cend())
        return nullptr;
    return new ProtoClass(root->classes(found.value()));
}
