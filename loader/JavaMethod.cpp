#include "loader/JavaMethod.h"

#include "classfile/JavaClassFile.h"

JavaMethod::JavaMethod(const JavaClassFile *file, const method_info *info)
    : file(file)
    , info(info)
{
}

QString JavaMethod::getName() const
{
    return file->getMethodName(info);
}

MethodSignature JavaMethod::getSignature() const
{
    return file->getMethodSignature(info);
}

Permission JavaMethod::getPermission() const
{
    return Permission::fromInt(file->getMethodPermission(info));
}

bool JavaMethod::isFinal() const
{
    return file->isMethodFinal(info);
}

bool JavaMethod::isStatic() const
{
    return file->isMethodStatic(info);
}

bool JavaMethod::isNative() const
{
    return file->isMethodNative(info);
}

bool JavaMethod::isAbstract() const
{
    return file->isMethodAbstract(info);
}

QList<TypeDescriptor> JavaMethod::getExceptions() const
{
    return file->getMethodExceptionsTypeDescriptors(info);
}
