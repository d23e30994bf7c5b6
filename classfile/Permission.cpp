#include "classfile/Permission.h"

const Permission Permission::PRIVATE(Permission::V_PRIVATE);
const Permission Permission::PROTECTED(Permission::V_PROTECTED);
const Permission Permission::PUBLIC(Permission::V_PUBLIC);
const Permission Permission::PACKAGE(Permission::V_PACKAGE);

namespace {
const unsigned short ACC_PUBLIC = 0x0001;
const unsigned short ACC_PRIVATE = 0x0002;
const unsigned short ACC_PROTECTED = 0x0004;
} // namespace

const Permission &Permission::fromInt(int value)
{
    switch (value) {
    case V_PRIVATE:
        return PRIVATE;
    case V_PROTECTED:
        return PROTECTED;
    case V_PACKAGE:
        return PACKAGE;
    default:
        return PUBLIC;
    }
}

const Permission &Permission::fromAccessFlags(unsigned short accessFlags)
{
    if (accessFlags & ACC_PUBLIC)
        return PUBLIC;
    if (accessFlags & ACC_PROTECTED)
        return PROTECTED;
    if (accessFlags & ACC_PRIVATE)
        return PRIVATE;
    return PACKAGE;
}

QString Permission::toString() const
{
    switch (value) {
    case V_PRIVATE:
        return QStringLiteral("private");
    case V_PROTECTED:
        return QStringLiteral("protected");
    case V_PUBLIC:
        return QStringLiteral("public");
    case V_PACKAGE:
        return QStringLiteral("package");
    default:
        return QStringLiteral("invalid");
    }
}
