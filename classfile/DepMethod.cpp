#include "classfile/DepMethod.h"

DepMethod::DepMethod(const TypeDescriptor &owner, const QString &name, const MethodSignature &signature)
    : owner(owner)
    , name(name)
    , signature(signature)
    , key(owner.descriptor + name + signature.descriptor)
{
}
