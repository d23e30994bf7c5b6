#pragma once

#include "loader/Class.h"

#include <memory>

class JavaClassFile;

/// A class read from a class file. Owns the class file; its fields and methods point into it.
class JavaClass : public Class
{
public:
    /// Takes ownership of file.
    explicit JavaClass(JavaClassFile *file);
    ~JavaClass() override;

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

private:
    bool hasFlag(unsigned short flag) const;

    std::unique_ptr<const JavaClassFile> file;
};
