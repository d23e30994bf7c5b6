#include "loader/JavaClass.h"

#include "classfile/JavaClassFile.h"
#include "loader/JavaField.h"
#include "loader/JavaMethod.h"

namespace {
// Class access flags of the class-file format.
constexpr unsigned short classPublic = 0x0001;
constexpr unsigned short classFinal = 0x0010;
constexpr unsigned short classInterface = 0x0200;
constexpr unsigned short classAbstract = 0x0400;
} // namespace

JavaClass::JavaClass(JavaClassFile *file)
    : JavaClass(std::shared_ptr<const JavaClassFile>(file))
{
}

JavaClass::JavaClass(std::shared_ptr<const JavaClassFile> shared)
    : file(std::move(shared))
{
    for (const cp_info *entry : file->interfaces)
        interfaces.append(file->getInterfaceTypeDescriptor(entry));
    for (const field_info *field : file->fields)
        fields.append(new JavaField(file.get(), field));
    for (const method_info *method : file->methods)
        methods.append(new JavaMethod(file.get(), method));
}

JavaClass::~JavaClass()
{
    deleteMembers(); // they point into the class file, which goes next
}

int JavaClass::getMajorVersion() const
{
    return file->major_version;
}

QString JavaClass::getPackage() const
{
    return file->getPackage();
}

TypeDescriptor JavaClass::getName() const
{
    return file->getTypeDescriptor();
}

bool JavaClass::isAbstract() const
{
    return hasFlag(classAbstract);
}

bool JavaClass::isInterface() const
{
    return hasFlag(classInterface);
}

TypeDescriptor JavaClass::getParent() const
{
    return file->getParentTypeDescriptor();
}

bool JavaClass::hasParent() const
{
    return file->super_class != 0;
}

Permission JavaClass::getPermission() const
{
    return hasFlag(classPublic) ? Permission::PUBLIC : Permission::PACKAGE;
}

bool JavaClass::isFinal() const
{
    return hasFlag(classFinal);
}

QList<TypeDescriptor> JavaClass::getDependentClasses() const
{
    return file->getDependentClasses();
}

QList<DepField> JavaClass::getDependentFields() const
{
    return file->getDependentFields();
}

QList<DepMethod> JavaClass::getDependentMethods() const
{
    return file->getDependentMethods();
}

void JavaClass::collectDependencies() const
{
    file->collectDependencies();
}

void JavaClass::releaseDependencies() const
{
    file->releaseDependencies();
}

bool JavaClass::hasFlag(unsigned short flag) const
{
    return (file->access_flags & flag) != 0;
}

DependencyOrigins JavaClass::getOrigins(const TypeDescriptor &type) const
{
    return file->getOrigins(type);
}

DependencyOrigins JavaClass::getOrigins(const DepField &field) const
{
    return file->getOrigins(field);
}

DependencyOrigins JavaClass::getOrigins(const DepMethod &method) const
{
    return file->getOrigins(method);
}

quint8 JavaClass::getLinkage(const TypeDescriptor &type) const
{
    return file->getLinkage(type);
}

quint8 JavaClass::getLinkage(const DepField &field) const
{
    return file->getLinkage(field);
}

quint8 JavaClass::getLinkage(const DepMethod &method) const
{
    return file->getLinkage(method);
}
