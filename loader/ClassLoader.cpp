#include "loader/ClassLoader.h"

#include "app/Logger.h"
#include "loader/FileSystemClassLoader.h"
#include "loader/JarFileClassLoader.h"
#include "loader/ParentClassLoader.h"
#include "loader/ProtoClassLoader.h"

#include <QDir>
#include <QFileInfo>

#include <memory>

namespace {

void logDebug(const QString &text)
{
    emit Logger::logger->log(Logger::L_DEBUG, text);
}

// The text after the last "." of the file name; the kind of a file entry is decided by it alone.
QString suffixOf(const QString &entry)
{
    return QFileInfo(entry).suffix();
}

void addDirectory(ParentClassLoader &chain, const QString &entry)
{
    logDebug(QString("Treating %1 as a directory of .class and/or .jar files").arg(entry));
    auto directory = std::make_unique<FileSystemClassLoader>(QDir(entry));
    const QList<JarFileClassLoader *> jars = directory->takeJarLoaders();
    if (directory->getClassFileCount() > 0)
        chain.addLoader(directory.release());
    else
        chain.addOwnedLoader(directory.release());
    for (JarFileClassLoader *jar : jars)
        chain.addLoader(jar);
}

} // namespace

ClassLoader::~ClassLoader()
{
    while (!cache.isEmpty())
        delete cache.take(cache.firstKey());
}

Class *ClassLoader::loadClass(const QString &name)
{
    if (Class *cached = cache.value(name))
        return cached;
    Class *defined = defineClass(name);
    if (defined)
        cache.insert(name, defined);
    return defined;
}

QMultiMap<QString, QString> ClassLoader::listAllClasses()
{
    loadAllClasses();
    QMultiMap<QString, QString> names;
    for (auto it = cache.cbegin(); it != cache.cend(); ++it)
        names.insert(it.key(), it.value()->getName().toString());
    return names;
}

ClassLoader *ClassLoader::create(const Classpath &classpath)
{
    logDebug(QString("Processing classpath: %1").arg(classpath.toString()));
    auto chain = std::make_unique<ParentClassLoader>();
    for (const QString &entry : classpath) {
        if (QFileInfo(entry).isDir()) {
            addDirectory(*chain, entry);
        } else if (suffixOf(entry) == "jar") {
            logDebug(QString("Treating %1 as a jar file").arg(entry));
            chain->addLoader(new JarFileClassLoader(entry));
        } else if (suffixOf(entry) == "javagold") {
            logDebug(QString("Treating %1 as a binary javagold file").arg(entry));
            chain->addLoader(new ProtoClassLoader(entry));
        } else {
            emit Logger::logger->log(Logger::L_WARN,
                                     QString("Could not create class loader for classpath entry %1").arg(entry));
        }
    }
    return chain.release();
}
