#include "loader/ParentClassLoader.h"

#include "base/Logger.h"
#include "loader/JavaClassLoader.h"

#include <QHash>
#include <QMultiMap>

ParentClassLoader::~ParentClassLoader()
{
    // Gold-backed classes in the chain's own cache point into records freed here; destroying a
    // gold class never reads its record, so the cache can go last.
    qDeleteAll(loaders);
    qDeleteAll(ownedLoaders);
}

void ParentClassLoader::addLoader(ClassLoader *loader, const QString &source)
{
    loaders.append(loader);
    sources.append(source);
}

void ParentClassLoader::addOwnedLoader(ClassLoader *loader)
{
    ownedLoaders.append(loader);
}

void ParentClassLoader::loadAllClasses()
{
    for (ClassLoader *loader : loaders)
        loader->loadAllClasses();
    reportShadowedClasses();
}

void ParentClassLoader::reportShadowedClasses() const
{
    QHash<QString, int> firstLoaderOf;
    for (int i = 0; i < loaders.size(); ++i) {
        const QMap<QString, Class *> classes = loaders.at(i)->getAllClasses();
        for (auto it = classes.cbegin(); it != classes.cend(); ++it) {
            const auto first = firstLoaderOf.constFind(it.key());
            if (first == firstLoaderOf.cend()) {
                firstLoaderOf.insert(it.key(), i);
                continue;
            }
            logLine(Logger::L_INFO,
                    QString("Class %1 in %2 is shadowed by its copy in %3, which comes first on "
                            "the classpath: it is not tested")
                        .arg(TypeDescriptor::fromClassDescriptorName(it.key()).toString(),
                             sources.at(i),
                             sources.at(first.value())));
        }
    }
}

QMap<QString, Class *> ParentClassLoader::getAllClasses() const
{
    QMap<QString, Class *> all;
    for (const ClassLoader *loader : loaders) {
        const QMap<QString, Class *> classes = loader->getAllClasses();
        for (auto it = classes.cbegin(); it != classes.cend(); ++it) {
            if (!all.contains(it.key()))
                all.insert(it.key(), it.value());
        }
    }
    return all;
}

QString ParentClassLoader::sourceOf(const QString &name) const
{
    for (int i = 0; i < loaders.size(); ++i) {
        if (loaders.at(i)->getCachedClass(name))
            return sources.at(i);
    }
    return QString();
}

QMultiMap<QString, QString> ParentClassLoader::listAllClasses()
{
    QMultiMap<QString, QString> all;
    for (ClassLoader *loader : loaders) {
        const QMultiMap<QString, QString> names = loader->listAllClasses();
        for (auto it = names.cbegin(); it != names.cend(); ++it)
            all.insert(it.key(), it.value()); // goes before the entries of earlier loaders
    }
    return all;
}

Class *ParentClassLoader::defineClass(const QString &name)
{
    for (ClassLoader *loader : loaders) {
        if (Class *cls = loader->defineClass(name))
            return cls;
    }
    return nullptr;
}

void ParentClassLoader::shareClassFilesOf(const ParentClassLoader &donor)
{
    QHash<QString, const JavaClassLoader *> bySource;
    for (const ClassLoader *loader : donor.loaders) {
        if (const auto *java = dynamic_cast<const JavaClassLoader *>(loader))
            bySource.insert(java->getSource(), java);
    }
    for (ClassLoader *loader : loaders) {
        if (auto *java = dynamic_cast<JavaClassLoader *>(loader))
            java->setDonor(bySource.value(java->getSource()));
    }
}
