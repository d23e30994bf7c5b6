#include "loader/ProtoField.h"

#include "loader/ProtoClass.h"

#include "JavaTypes.pb.h"

ProtoField::ProtoField(const JField &record)
    : record(&record)
{
}

QString ProtoField::getName() const
{
    return ProtoClass::text(record->name());
}

TypeDescriptor ProtoField::getType() const
{
    return TypeDescriptor(ProtoClass::text(record->descriptor_()));
}

Permission ProtoField::getPermission() const
{
    return Permission::fromInt(record->permission());
}

bool ProtoField::isFinal() const
{
    return record->final();
}

bool ProtoField::isStatic() const
{
    return record->static_();
}
