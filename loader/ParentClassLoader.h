#pragma once

#include "loader/ClassLoader.h"

#include <QList>

/// The chain a classpath becomes: asks its loaders in classpath order, the first that defines a
/// name wins, for a lookup as for the whole classpath's classes. Owns every loader it holds.
class ParentClassLoader : public ClassLoader
{
public:
    ParentClassLoader() = default;
    ~ParentClassLoader() override;

    /// Appends a loader to the search order; takes ownership. source names what it reads (the
    /// classpath entry, or a jar below one) in the log.
    void addLoader(ClassLoader *loader, const QString &source);
    /// Keeps a loader only to destroy it with the chain; it is never searched. Takes ownership.
    void addOwnedLoader(ClassLoader *loader);

    /// Loads every loader's classes and names in the log each copy that an earlier loader's
    /// copy shadows.
    void loadAllClasses() override;
    /// Every class the searched loaders hold, each name once: from the first loader that holds
    /// it, the one a lookup finds. Later copies are never run, so they are never tested.
    QMap<QString, Class *> getAllClasses() const override;
    QMultiMap<QString, QString> listAllClasses() override;
    /// The source of the first loader that holds the class, the copy a lookup finds.
    QString sourceOf(const QString &name) const override;
    Class *defineClass(const QString &name) override;

    /// Lets each class-file loader of this chain define the classes that the loader of the same
    /// source in donor has cached from that loader's class files instead of reading them again.
    /// The donor must outlive every later lookup in this chain.
    void shareClassFilesOf(const ParentClassLoader &donor);

private:
    void reportShadowedClasses() const;

    QList<ClassLoader *> loaders; // owned; the search order
    QStringList sources; // of each loader of loaders
    QList<ClassLoader *> ownedLoaders; // owned; never searched
};
