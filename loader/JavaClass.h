#pragma once

#include "loader/Class.h"

#include <memory>

class JavaClassFile;

/// A class read from a class file. Owns the class file, shared with the other classes made from
/// the same file; its fields and methods point into it.
class JavaClass : public Class
{
public:
    /// Takes ownership of file.
    explicit JavaClass(JavaClassFile *file);
    /// Another class over a file that is already read: what two loaders of one classpath entry
    /// define for one name.
    explicit JavaClass(std::shared_ptr<const JavaClassFile> file);
    ~JavaClass() override;

    const std::shared_ptr<const JavaClassFile> &getClassFile() const { return file; }

    int getMajorVersion() const override;
    QString getPackage() const override;
    TypeDescriptor getName() const override;
    bool isAbstract() const override;
    bool isInterface() const override;
    TypeDescriptor getParent() const override;
    bool hasParent() const override;
    Permission getPermission() const override;
    bool isFinal() const override;
    bool isStatic() const override { return false; }
    QList<TypeDescriptor> getDependentClasses() const override;
    QList<DepField> getDependentFields() const override;
    QList<DepMethod> getDependentMethods() const override;
    void collectDependencies() const override;
    void releaseDependencies() const override;
    DependencyOrigins getOrigins(const TypeDescriptor &type) const override;
    DependencyOrigins getOrigins(const DepField &field) const override;
    DependencyOrigins getOrigins(const DepMethod &method) const override;
    quint8 getLinkage(const TypeDescriptor &type) const override;
    quint8 getLinkage(const DepField &field) const override;
    quint8 getLinkage(const DepMethod &method) const override;

private:
    bool hasFlag(unsigned short flag) const;

    std::shared_ptr<const JavaClassFile> file;
};
