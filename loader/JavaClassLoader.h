#pragma once

#include "loader/ClassLoader.h"

#include <QByteArray>
#include <QStringList>

class JavaClassFile;

/// What a listing needs of a parsed class file: its printed name, or the messages that reject it.
struct ClassFileOutline
{
    ClassFileOutline() = default;
    explicit ClassFileOutline(const JavaClassFile &file);

    bool rejected = false;
    /// A module descriptor, which is no class (and not rejected).
    bool moduleDescriptor = false;
    QStringList messages; // when rejected
    QString printedName; // otherwise
    QString name; // otherwise: the descriptor text of the class the file declares
};

/// A loader of class files: defines a class from the bytes its subclass finds for a name, and
/// rejects a class file whose reading recorded an error.
class JavaClassLoader : public ClassLoader
{
public:
    Class *defineClass(const QString &name) override;
    /// The class file's bytes for a name, or a null array.
    virtual QByteArray readClassData(const QString &name);

    /// The jar file or directory the classes come from, as the classpath named it.
    virtual QString getSource() const = 0;
    /// Where the class file of a class (internal name, "p/Main") is, as a user would look for it.
    virtual QString getClassFilePath(const QString &internalName) const = 0;
    /// A loader over the same source whose cached classes this one may define from without
    /// reading and parsing them again; not owned, and it must outlive every later defineClass.
    /// Null (the default) reads every class itself.
    void setDonor(const JavaClassLoader *loader) { donor = loader; }

    /// loadAllClasses() with each class dropped as soon as its name is noted.
    QMultiMap<QString, QString> listAllClasses() override;

protected:
    /// Wraps a parsed class file, or logs each message of its check log at WARN, records the file
    /// as not read and deletes it when the log holds an error. Takes ownership of file; null when
    /// rejected and for a module descriptor. A file that declares another class than the one its
    /// path names is kept, with a warning, unless the loader's directory lies inside the class's
    /// package: then the entry is an input not read, said once, and the file is dropped.
    Class *acceptClassFile(const QString &name, JavaClassFile *file) const;

    // What loadAllClasses() uses in place of the cache, so that a listing can drop the classes.
    /// Whether a class of that name was kept already.
    bool isKept(const QString &name) const;
    /// Keeps a defined class (null is ignored); takes ownership.
    void keep(const QString &name, Class *cls);
    /// loadClass() for loadAllClasses(): defines the name unless a class of it is kept.
    void loadToKeep(const QString &name);
    /// Whether loadAllClasses() runs for a listing, which needs only each class's outline.
    bool isListing() const { return listedNames != nullptr; }
    /// What keep(name, acceptClassFile(...)) does in a listing, from the outline alone.
    void keepOutline(const QString &name, const ClassFileOutline &outline);

private:
    bool acceptsDeclaredName(const QString &name, const QString &declared) const;
    void reject(const QString &name, const QStringList &messages) const;
    void skipModuleDescriptor(const QString &name) const;

    const JavaClassLoader *donor = nullptr;
    /// While listing: the names noted so far, which the classes are dropped for.
    QMultiMap<QString, QString> *listedNames = nullptr;
    /// Whether the log already said that this loader's directory lies inside a package.
    mutable bool saidInsidePackage = false;
};
