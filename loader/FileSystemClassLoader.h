#pragma once

#include "loader/FileTree.h"
#include "loader/JarFileClassLoader.h"
#include "loader/JavaClassLoader.h"

#include <QDir>
#include <QFileInfo>
#include <QList>

#include <memory>
#include <vector>

/// The loose class files of a directory tree, found by the path their name gives below the root.
/// The constructor also makes one jar loader per .jar file below the root, which the chain takes
/// over and searches after this loader.
///
/// Walks follow symbolic links but enter every real directory once, so links that form a cycle
/// end the walk instead of looping (FileTree).
class FileSystemClassLoader : public JavaClassLoader
{
public:
    explicit FileSystemClassLoader(const QDir &root);
    ~FileSystemClassLoader() override;

    /// Class files found below the root when the loader was made: files whose path relative to
    /// the root names a class (ClassEntryName).
    int getClassFileCount() const { return classFileCount; }
    /// Class files below META-INF/versions/, which are not classes to a Java 8 runtime.
    int getLaterReleaseFiles() const { return laterReleaseFiles; }
    QString getSource() const override { return root.path(); }
    QString getClassFilePath(const QString &internalName) const override
    {
        return QString("%1/%2.class").arg(root.path(), internalName);
    }
    /// Hands the jar loaders over to the caller, who then owns them.
    QList<JarFileClassLoader *> takeJarLoaders();

    /// Loads every class file of the tree (the jars below it are left to their own loaders).
    void loadAllClasses() override;
    QByteArray readClassData(const QString &name) override;

private:
    void createJarFileReaders();
    /// Visits every non-directory entry below the root, depth first in listing order; a
    /// directory that cannot be read is a warning and an input not read.
    void walk(const FileTree::Visitor &visit) const;

    QDir root;
    int classFileCount = 0;
    int laterReleaseFiles = 0;
    bool walking = false; // loading the files the walk lists, each of which should be there
    std::vector<std::unique_ptr<JarFileClassLoader>> jarLoaders;
};
