#include "loader/ProtoMethod.h"

#include "loader/ProtoClass.h"

#include "JavaTypes.pb.h"

ProtoMethod::ProtoMethod(const JMethod &record)
    : record(&record)
{
}

QString ProtoMethod::getName() const
{
    return ProtoClass::text(record->name());
}

MethodSignature ProtoMethod::getSignature() const
{
    return MethodSignature(ProtoClass::text(record->descriptor_()));
}

Permission ProtoMethod::getPermission() const
{
    return Permission::fromInt(record->permission());
}

bool ProtoMethod::isFinal() const
{
    return record->final();
}

bool ProtoMethod::isStatic() const
{
    return record->static_();
}

bool ProtoMethod::isAbstract() const
{
    return record->abstract();
}

QList<TypeDescriptor> ProtoMethod::getExceptions() const
{
    QList<TypeDescriptor> exceptions;
    for (const std::string &exception : record->exceptions())
        exceptions.append(TypeDescriptor(ProtoClass::text(exception)));
    return exceptions;
}

bool ProtoMethod::requireInspection() const
{
    return record->requireinspection();
}

bool ProtoMethod::signaturePolymorphic() const
{
    return record->signature_polymorphic();
}
