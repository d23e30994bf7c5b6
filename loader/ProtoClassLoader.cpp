#include "loader/ProtoClassLoader.h"

#include "loader/ProtoClass.h"

ProtoClassLoader::ProtoClassLoader(std::unique_ptr<GoldFile> file)
    : file(std::move(file))
{
}

ProtoClassLoader::~ProtoClassLoader() = default;

void ProtoClassLoader::loadAllClasses()
{
    for (int index = 0; index < file->getRecordCount(); ++index)
        loadClass(file->getName(index));
}

Class *ProtoClassLoader::defineClass(const QString &name)
{
    const int index = file->indexOf(name);
    return index < 0 ? nullptr : new ProtoClass(file->getRecord(index));
}
