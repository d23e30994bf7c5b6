#pragma once

#include "loader/ClassLoader.h"

#include <QList>

/// The chain a classpath becomes: asks its loaders in classpath order, the first that defines a
/// name wins. Owns every loader it holds.
class ParentClassLoader : public ClassLoader
{
public:
    ParentClassLoader() = default;
    ~ParentClassLoader() override;

    /// Appends a loader to the search order; takes ownership.
    void addLoader(ClassLoader *loader);
    /// Keeps a loader only to destroy it with the chain; it is never searched. Takes ownership.
    void addOwnedLoader(ClassLoader *loader);

    void loadAllClasses() override;
    /// Every class the searched loaders hold, one entry per loader for a name several hold.
    QMap<QString, Class *> getAllClasses() const override;
    QMultiMap<QString, QString> listAllClasses() override;
    Class *defineClass(const QString &name) override;

    /// Lets each class-file loader of this chain define the classes that the loader of the same
    /// source in donor has cached from that loader's class files instead of reading them again.
    /// The donor must outlive every later lookup in this chain.
    void shareClassFilesOf(const ParentClassLoader &donor);

private:
    QList<ClassLoader *> loaders; // owned; the search order
    QList<ClassLoader *> ownedLoaders; // owned; never searched
};
