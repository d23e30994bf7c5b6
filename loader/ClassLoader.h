#pragma once

#include "base/Classpath.h"
#include "loader/Class.h"

#include <QMap>
#include <QMultiMap>
#include <QString>

/// Finds classes by descriptor text (`Ljava/lang/Object;`) and caches what it found. Every loader
/// owns the classes in its cache; a class handed out stays valid until that loader is destroyed.
class ClassLoader
{
public:
    ClassLoader() = default;
    virtual ~ClassLoader();
    ClassLoader(const ClassLoader &) = delete;
    ClassLoader &operator=(const ClassLoader &) = delete;

    /// Fills the cache with every class this loader can define.
    virtual void loadAllClasses() { }
    virtual QMap<QString, Class *> getAllClasses() const { return cache; }
    /// For every class that loadAllClasses() followed by getAllClasses() would give, its key and
    /// the printed form of its name, in the same order; the classes themselves are not kept, so a
    /// listing of a large classpath costs the memory of one class at a time.
    virtual QMultiMap<QString, QString> listAllClasses();
    /// What a class loadAllClasses() cached was read from (a classpath entry, or a jar below one);
    /// empty when this loader does not know.
    virtual QString sourceOf(const QString &) const { return QString(); }
    /// A new class for the name, owned by the caller, or null.
    virtual Class *defineClass(const QString &name) = 0;

    /// The cached class, or a newly defined one that is then cached; null (and nothing cached)
    /// when no class of that name can be defined.
    Class *loadClass(const QString &name);
    /// The class cached under the name, or null; never defines one.
    Class *getCachedClass(const QString &name) const { return cache.value(name); }

    /// A chain over the classpath's entries in order; never null; the caller owns it.
    static ClassLoader *create(const Classpath &classpath);

protected:
    bool isCached(const QString &name) const { return cache.contains(name); }
    /// Takes ownership of cls.
    void addToCache(const QString &name, Class *cls) { cache.insert(name, cls); }

private:
    QMap<QString, Class *> cache; // owns the classes
};
