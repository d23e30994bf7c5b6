#pragma once

#include "loader/Method.h"

class JavaClassFile;
struct method_info;

/// A method of a class read from a class file; a view into the file's own method entry.
class JavaMethod : public Method
{
public:
    JavaMethod(const JavaClassFile *file, const method_info *info);

    QString getName() const override;
    MethodSignature getSignature() const override;
    Permission getPermission() const override;
    bool isFinal() const override;
    bool isStatic() const override;
    bool isNative() const override;
    bool isAbstract() const override;
    QList<TypeDescriptor> getExceptions() const override;
    bool requireInspection() const override { return false; }
    bool signaturePolymorphic() const override { return false; }

private:
    const JavaClassFile *file; // owned by the JavaClass that owns this method
    const method_info *info; // owned by file
};
