#include "loader/JavaField.h"

#include "classfile/JavaClassFile.h"

JavaField::JavaField(const JavaClassFile *file, const field_info *info)
    : file(file)
    , info(info)
{
}

QString JavaField::getName() const
{
    return file->getFieldName(info);
}

TypeDescriptor JavaField::getType() const
{
    return TypeDescriptor(file->getFieldDescriptor(info));
}

Permission JavaField::getPermission() const
{
    return Permission::fromInt(file->getFieldPermission(info));
}

bool JavaField::isFinal() const
{
    return file->isFieldFinal(info);
}

bool JavaField::isStatic() const
{
    return file->isFieldStatic(info);
}
