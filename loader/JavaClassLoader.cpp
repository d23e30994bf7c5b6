#include "loader/JavaClassLoader.h"

#include "app/Logger.h"
#include "classfile/JavaClassFile.h"
#include "loader/JavaClass.h"

#include <memory>

Class *JavaClassLoader::defineClass(const QString &name)
{
    // A class the donor holds was read from these very bytes, and reading them again would log
    // nothing: only a class it could not define is read here.
    if (donor) {
        if (const auto *read = dynamic_cast<const JavaClass *>(donor->getCachedClass(name)))
            return new JavaClass(read->getClassFile());
    }
    QByteArray bytes = readClassData(name);
    if (bytes.isEmpty())
        return nullptr;
    return acceptClassFile(name, JavaClassFile::create(bytes));
}

QByteArray JavaClassLoader::readClassData(const QString &)
{
    return QByteArray();
}

Class *JavaClassLoader::acceptClassFile(const QString &name, JavaClassFile *file)
{
    std::unique_ptr<JavaClassFile> owned(file);
    if (owned->checkLog.hasErrors) {
        const QString printed = TypeDescriptor::fromClassDescriptorName(name).toString();
        for (const QString &message : owned->checkLog.messages)
            emit Logger::logger->log(Logger::L_WARN, QString("%1: %2").arg(printed, message));
        return nullptr;
    }
    return new JavaClass(owned.release());
}

QMultiMap<QString, QString> JavaClassLoader::listAllClasses()
{
    QMultiMap<QString, QString> names;
    listedNames = &names;
    loadAllClasses();
    listedNames = nullptr;
    return names;
}

bool JavaClassLoader::isKept(const QString &name) const
{
    return listedNames ? listedNames->contains(name) : isCached(name);
}

void JavaClassLoader::keep(const QString &name, Class *cls)
{
    std::unique_ptr<Class> owned(cls);
    if (!owned)
        return;
    if (listedNames)
        listedNames->insert(name, owned->getName().toString());
    else
        addToCache(name, owned.release());
}

void JavaClassLoader::loadToKeep(const QString &name)
{
    if (!isKept(name))
        keep(name, defineClass(name));
}
