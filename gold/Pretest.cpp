#include "gold/Pretest.h"

#include "gold/ProtoIO.h"
#include "loader/ClassLoader.h"

#include <iterator>
#include <memory>

namespace {

bool belongsToApi(const Class &cls)
{
    return cls.getPermission() == Permission::PUBLIC
        && !ProtoIO::isAnonymousClass(cls.getName().className);
}

} // namespace

void Pretest::createGold(const Classpath &classpath, const QString &goldFile)
{
    // Declared first so that it outlives the chain, which is freed first.
    auto root = std::make_unique<JClasses>();
    std::unique_ptr<ClassLoader> chain(ClassLoader::create(classpath));
    chain->loadAllClasses();
    const QMap<QString, Class *> classes = chain->getAllClasses();
    for (auto entry = classes.cbegin(); entry != classes.cend(); ++entry) {
        // A name held by several loaders is written once, from the class a lookup through the chain
        // finds: that of the earliest loader, which the map lists last among equal names.
        const auto next = std::next(entry);
        if (next != classes.cend() && next.key() == entry.key())
            continue;
        if (belongsToApi(*entry.value()))
            ProtoIO::setJClass(root->add_classes(), *entry.value(), ProtoIO::SET_API);
    }
    ProtoIO::write(root.get(), goldFile);
}
