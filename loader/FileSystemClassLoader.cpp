#include "loader/FileSystemClassLoader.h"

#include "app/Logger.h"

#include <QDataStream>
#include <QFile>
#include <QSet>
#include <QStringList>

namespace {

QStringList listing(const QString &directory)
{
    return QDir(directory).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Unsorted);
}

QByteArray cannotRead(const QString &name, const QString &reason)
{
    emit Logger::logger->log(Logger::L_DEBUG, QString("Could not read class %1 because %2").arg(name, reason));
    return QByteArray();
}

} // namespace

FileSystemClassLoader::FileSystemClassLoader(const QDir &root)
    : root(root)
{
    createJarFileReaders();
}

FileSystemClassLoader::~FileSystemClassLoader() = default;

QList<JarFileClassLoader *> FileSystemClassLoader::getJarLoaders() const
{
    QList<JarFileClassLoader *> loaders;
    for (const auto &loader : jarLoaders)
        loaders.append(loader.get());
    return loaders;
}

QList<JarFileClassLoader *> FileSystemClassLoader::takeJarLoaders()
{
    QList<JarFileClassLoader *> loaders;
    for (auto &loader : jarLoaders)
        loaders.append(loader.release());
    jarLoaders.clear();
    return loaders;
}

void FileSystemClassLoader::createJarFileReaders()
{
    walk([this](const QString &, const QFileInfo &file) {
        if (file.suffix() == "class")
            ++classFileCount;
        else if (file.suffix() == "jar")
            jarLoaders.push_back(std::make_unique<JarFileClassLoader>(file.filePath()));
    });
}

void FileSystemClassLoader::loadAllClasses()
{
    walk([this](const QString &relative, const QFileInfo &file) {
        if (file.completeSuffix() == "class")
            loadToKeep(TypeDescriptor::fromClassFileName(relative).descriptor);
    });
}

void FileSystemClassLoader::walk(const FileVisitor &visit) const
{
    struct Level
    {
        QString relative; // of the directory, empty for the root
        QStringList entries;
        int next = 0;
    };
    QSet<QString> enteredDirectories{QFileInfo(root.path()).canonicalFilePath()};
    // An explicit stack: a deep tree must not exhaust the thread's stack.
    QList<Level> stack{{QString(), listing(root.path())}};
    while (!stack.isEmpty()) {
        Level &level = stack.last();
        if (level.next == level.entries.size()) {
            stack.removeLast();
            continue;
        }
        const QString &entry = level.entries.at(level.next++);
        const QString relative = level.relative.isEmpty() ? entry : QString("%1/%2").arg(level.relative, entry);
        const QString path = QString("%1/%2").arg(root.path(), relative);
        const QFileInfo file(path);
        if (!file.isDir()) {
            visit(relative, file);
            continue;
        }
        const QString canonical = file.canonicalFilePath();
        if (enteredDirectories.contains(canonical))
            continue;
        enteredDirectories.insert(canonical);
        stack.append({relative, listing(path)});
    }
}

QByteArray FileSystemClassLoader::readClassData(const QString &name)
{
    const TypeDescriptor type(name);
    if (!type.isClass())
        return cannotRead(name, "descriptor name is not valid");
    const QString path = QString("%1/%2.class").arg(root.path(), QString(type.className).replace('.', '/'));
    const QFileInfo info(path);
    if (!info.exists())
        return cannotRead(name, QString("the class file %1 does not exist").arg(info.absoluteFilePath()));
    if (!info.isFile())
        return cannotRead(name, "the file system object referenced is not a file");
    if (!info.isReadable())
        return cannotRead(name, "the file is not readable");
    if (info.size() > JarFileReader::maxClassBytes)
        return cannotRead(name, QString("the file is larger than %1 bytes").arg(JarFileReader::maxClassBytes));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return cannotRead(name, "the file could not be opened");
    QByteArray bytes(int(info.size()), Qt::Uninitialized);
    QDataStream stream(&file);
    const int count = stream.readRawData(bytes.data(), bytes.size());
    bytes.truncate(qMax(count, 0)); // a file that shrank since it was looked at
    return bytes;
}
