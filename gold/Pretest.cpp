#include "gold/Pretest.h"

#include "goldformat/ProtoIO.h"
#include "loader/ClassLoader.h"

#include <memory>

namespace {

bool belongsToApi(const Class &cls)
{
    return cls.getPermission() == Permission::PUBLIC
        && !ProtoIO::isAnonymousClass(cls.getName().getClassName());
}

} // namespace

void Pretest::createGold(const Classpath &classpath, const QString &goldFile)
{
    // Declared first so that it outlives the chain, which is freed first.
    auto root = std::make_unique<JClasses>();
    std::unique_ptr<ClassLoader> chain(ClassLoader::create(classpath));
    chain->loadAllClasses();
    const QMap<QString, Class *> classes = chain->getAllClasses();
    // A name held by several loaders is written once, from the class a lookup through the chain
    // finds.
    for (const Class *cls : classes) {
        if (belongsToApi(*cls))
            ProtoIO::setJClass(root->add_classes(), *cls, ProtoIO::SET_API);
    }
    ProtoIO::write(root.get(), goldFile);
}
