#include "loader/FileSystemClassLoader.h"

#include "base/Logger.h"
#include "base/UnreadInputs.h"
#include "loader/ClassEntryName.h"

namespace {

QByteArray cannotRead(const QString &name, const QString &reason)
{
    logLine(Logger::L_DEBUG, QString("Could not read class %1 because %2").arg(name, reason));
    return QByteArray();
}

// A file that is there but cannot be read hides a class from the tests.
QByteArray
unreadable(const QString &name, const QString &path, const QString &reason, const QString &detail)
{
    logLine(Logger::L_WARN, QString("Could not read class %1 because %2").arg(name, reason));
    UnreadInputs::record(path, detail.isEmpty() ? reason : QString("%1: %2").arg(reason, detail));
    return QByteArray();
}

// The text after the last "." of a file name.
QString suffixOf(const QString &relative)
{
    const QString name = relative.section('/', -1);
    const int dot = name.lastIndexOf('.');
    return dot < 0 ? QString() : name.mid(dot + 1);
}

} // namespace

FileSystemClassLoader::FileSystemClassLoader(const QDir &root)
    : root(root)
{
    createJarFileReaders();
    ClassEntryName::recordLaterRelease(root.path(), laterReleaseFiles);
}

FileSystemClassLoader::~FileSystemClassLoader() = default;

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
    walk([this](const QString &relative) {
        switch (ClassEntryName::kindOf(relative)) {
        case ClassEntryName::Kind::Class:
            ++classFileCount;
            break;
        case ClassEntryName::Kind::LaterRelease:
            ++laterReleaseFiles;
            break;
        case ClassEntryName::Kind::NotAClass:
        case ClassEntryName::Kind::ModuleDescriptor:
            if (suffixOf(relative) == "jar")
                jarLoaders.push_back(std::make_unique<JarFileClassLoader>(
                    QString("%1/%2").arg(root.path(), relative)));
            break;
        }
    });
}

void FileSystemClassLoader::loadAllClasses()
{
    walking = true;
    walk([this](const QString &relative) {
        if (ClassEntryName::kindOf(relative) == ClassEntryName::Kind::Class)
            loadToKeep(ClassEntryName::descriptorOf(relative));
    });
    walking = false;
}

void FileSystemClassLoader::walk(const FileTree::Visitor &visit) const
{
    FileTree::walk(root.path(), visit, [this](const QString &relative, const QString &reason) {
        const QString path
            = relative.isEmpty() ? root.path() : QString("%1/%2").arg(root.path(), relative);
        logLine(Logger::L_WARN, QString("Could not read directory %1: %2").arg(path, reason));
        UnreadInputs::record(path, QString("directory could not be read: %1").arg(reason));
    });
}

QByteArray FileSystemClassLoader::readClassData(const QString &name)
{
    const TypeDescriptor type(name);
    if (!type.isClass())
        return cannotRead(name, "descriptor name is not valid");
    const QString path
        = QString("%1/%2.class").arg(root.path(), QString(type.getClassName()).replace('.', '/'));
    const FileTree::File file = FileTree::read(path, JarFileReader::maxClassBytes);
    const QString missing
        = QString("the class file %1 does not exist").arg(QFileInfo(path).absoluteFilePath());
    switch (file.outcome) {
    case FileTree::Outcome::Read:
        return file.bytes;
    case FileTree::Outcome::Missing:
        // Any directory is asked for every class the chain looks up; only a file the walk listed
        // and that has gone since is a class lost.
        return walking ? unreadable(name, path, missing, file.error) : cannotRead(name, missing);
    case FileTree::Outcome::DanglingLink:
        return unreadable(name,
                          path,
                          QString("the class file %1 is a symbolic link to nothing").arg(path),
                          file.error);
    case FileTree::Outcome::NotAFile:
        return unreadable(name, path, "the file system object referenced is not a file", QString());
    case FileTree::Outcome::TooLarge:
        return unreadable(
            name,
            path,
            QString("the file is larger than %1 bytes").arg(JarFileReader::maxClassBytes),
            QString());
    case FileTree::Outcome::NotReadable:
        return unreadable(name, path, "the file is not readable", file.error);
    case FileTree::Outcome::NotOpened:
        break;
    }
    return unreadable(name, path, "the file could not be opened", file.error);
}
