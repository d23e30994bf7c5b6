#pragma once

#include "loader/ClassLoader.h"

#include <QByteArray>

class JavaClassFile;

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
    /// A loader over the same source whose cached classes this one may define from without
    /// reading and parsing them again; not owned, and it must outlive every later defineClass.
    /// Null (the default) reads every class itself.
    void setDonor(const JavaClassLoader *loader) { donor = loader; }

protected:
    /// Wraps a parsed class file, or logs each message of its check log at WARN and deletes it
    /// when the log holds an error. Takes ownership of file; null when rejected.
    static Class *acceptClassFile(const QString &name, JavaClassFile *file);

private:
    const JavaClassLoader *donor = nullptr;
};
