#include "loader/Class.h"

Class::~Class()
{
    deleteMembers();
}

void Class::deleteMembers()
{
    while (!fields.isEmpty())
        delete fields.takeFirst();
    while (!methods.isEmpty())
        delete methods.takeFirst();
}

Field *Class::getFieldByName(const QString &name) const
{
    for (Field *field : getFields()) {
        if (field->getName() == name)
            return field;
    }
    return nullptr;
}

QList<Method *> Class::getMethodsByName(const QString &name) const
{
    QList<Method *> found;
    for (Method *method : getMethods()) {
        if (method->getName() == name)
            found.append(method);
    }
    return found;
}

Method *Class::getMethodByNameAndSignature(const QString &name,
                                           const MethodSignature &signature) const
{
    for (Method *method : getMethods()) {
        if (method->getName() != name)
            continue;
        if (method->signaturePolymorphic()
            || method->getSignature().getDescriptor() == signature.getDescriptor())
            return method;
    }
    return nullptr;
}
