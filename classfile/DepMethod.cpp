#include "classfile/DepMethod.h"

#include <QStringBuilder>

DepMethod::DepMethod(const TypeDescriptor &owner,
                     const QString &name,
                     const MethodSignature &signature)
    : owner(owner)
    , name(name)
    , signature(signature)
    , key(owner.getDescriptor() % name % signature.getDescriptor())
{
}
