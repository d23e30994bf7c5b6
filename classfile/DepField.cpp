#include "classfile/DepField.h"

#include <QStringBuilder>

DepField::DepField(const TypeDescriptor &owner, const QString &name, const TypeDescriptor &type)
    : owner(owner)
    , name(name)
    , type(type)
    , key(owner.getDescriptor() % name % type.getDescriptor())
{
}
