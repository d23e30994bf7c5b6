#pragma once

#include "loader/Field.h"

class JavaClassFile;
struct field_info;

/// A field of a class read from a class file; a view into the file's own field entry.
class JavaField : public Field
{
public:
    JavaField(const JavaClassFile *file, const field_info *info);

    QString getName() const override;
    TypeDescriptor getType() const override;
    Permission getPermission() const override;
    bool isFinal() const override;
    bool isStatic() const override;

private:
    const JavaClassFile *file; // owned by the JavaClass that owns this field
    const field_info *info; // owned by file
};
