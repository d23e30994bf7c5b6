#include "loader/ProtoClass.h"

#include "loader/ProtoField.h"
#include "loader/ProtoMethod.h"

#include "JavaTypes.pb.h"

ProtoClass::ProtoClass(const JClass &record)
    : record(&record)
{
    for (const std::string &interface : record.interfaces())
        interfaces.append(TypeDescriptor(text(interface)));
    for (const JField &field : record.fields())
        fields.append(new ProtoField(field));
    for (const JMethod &method : record.methods())
        methods.append(new ProtoMethod(method));
}

QString ProtoClass::text(const std::string &bytes)
{
    return QString::fromLatin1(bytes.data(), int(bytes.size()));
}

int ProtoClass::getMajorVersion() const
{
    return record->major_version();
}

QString ProtoClass::getPackage() const
{
    return text(record->package());
}

TypeDescriptor ProtoClass::getName() const
{
    return TypeDescriptor(text(record->name()));
}

bool ProtoClass::isAbstract() const
{
    return record->abstract();
}

bool ProtoClass::isInterface() const
{
    return record->interface();
}

TypeDescriptor ProtoClass::getParent() const
{
    return TypeDescriptor(text(record->parent()));
}

bool ProtoClass::hasParent() const
{
    return record->has_parent();
}

Permission ProtoClass::getPermission() const
{
    return record->permission() == JP_PUBLIC ? Permission::PUBLIC : Permission::PACKAGE;
}

bool ProtoClass::isFinal() const
{
    return record->final();
}

bool ProtoClass::isStatic() const
{
    return record->static_();
}
