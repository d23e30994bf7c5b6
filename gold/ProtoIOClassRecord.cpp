// ProtoIO's copying of the class model into records. It is kept apart from the reading and writing
// of gold files: those sit below the loaders, which read gold files, while this half needs the
// class model that the loaders make.
#include "goldformat/ProtoIO.h"

#include "loader/Class.h"

namespace {

std::string local8Bit(const QString &text)
{
    return text.toLocal8Bit().toStdString();
}

// Only public and protected members belong to an API; package and private ones are internals.
bool isApiPermission(const Permission &permission)
{
    return permission == Permission::PUBLIC || permission == Permission::PROTECTED;
}

void addField(JClass *record, const Field &field)
{
    JField *out = record->add_fields();
    out->set_name(local8Bit(field.getName()));
    out->set_descriptor_(local8Bit(field.getType().getDescriptor()));
    out->set_permission(static_cast<JPermission>(field.getPermission().value));
    out->set_final(field.isFinal());
    out->set_static_(field.isStatic());
}

void addMethod(JClass *record, const Method &method)
{
    JMethod *out = record->add_methods();
    out->set_name(local8Bit(method.getName()));
    out->set_descriptor_(local8Bit(method.getSignature().getDescriptor()));
    out->set_permission(static_cast<JPermission>(method.getPermission().value));
    out->set_final(method.isFinal());
    out->set_static_(method.isStatic());
    // Left out when false, so that files of classes without abstract methods stay as they were.
    if (method.isAbstract())
        out->set_abstract(true);
    for (const TypeDescriptor &exception : method.getExceptions())
        out->add_exceptions(local8Bit(exception.getDescriptor()));
}

} // namespace

void ProtoIO::setJClass(JClass *record, const Class &cls, setmode_t mode)
{
    const bool apiOnly = mode == SET_API;
    record->set_name(local8Bit(cls.getName().getDescriptor()));
    record->set_abstract(cls.isAbstract());
    record->set_interface(cls.isInterface());
    record->set_major_version(cls.getMajorVersion());
    // Written also for java.lang.Object: a present, empty parent is how a record says "no
    // superclass".
    record->set_parent(local8Bit(cls.getParent().getDescriptor()));
    for (const TypeDescriptor &iface : cls.getInterfaces())
        record->add_interfaces(local8Bit(iface.getDescriptor()));
    record->set_permission(cls.getPermission() == Permission::PUBLIC ? JP_PUBLIC : JP_PACKAGE);
    record->set_final(cls.isFinal());
    for (const Field *field : cls.getFields()) {
        if (apiOnly
            && (!isApiPermission(field->getPermission())
                || isFieldForAnonymousClass(field->getName())))
            continue;
        addField(record, *field);
    }
    for (const Method *method : cls.getMethods()) {
        if (apiOnly
            && (!isApiPermission(method->getPermission())
                || isMethodForAnonymousClass(method->getName())))
            continue;
        addMethod(record, *method);
    }
}
