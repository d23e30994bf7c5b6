#include "classfile/DepField.h"

DepField::DepField(const TypeDescriptor &owner, const QString &name, const TypeDescriptor &type)
    : owner(owner)
    , name(name)
    , type(type)
    , key(owner.descriptor + name + type.descriptor)
{
}
