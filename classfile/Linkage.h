#pragma once

#include <QtGlobal>

/// How a class's bytecode makes the JVM link one of its dependencies: bits of one number per
/// class, field or method it depends on. A class without any is only named in descriptors or
/// declarations, which the JVM never resolves and so never checks for access.
namespace Linkage {

/// How a class is used.
enum ClassUse : quint8 {
    /// Resolved as a CONSTANT_Class and so checked for access: the superclass, an interface, the
    /// owner of a member reference, a class operand or literal (of an array, its element class),
    /// a catch type.
    L_RESOLVED = 0x01,
    /// Instantiated by `new`.
    L_NEW = 0x02,
    L_SUPERCLASS = 0x04,
    L_INTERFACE = 0x08,
};

/// The instructions that use a field.
enum FieldUse : quint8 {
    L_GETSTATIC = 0x01,
    L_PUTSTATIC = 0x02,
    L_GETFIELD = 0x04,
    L_PUTFIELD = 0x08,
};

/// The kind of pool entry that names a method, and the instructions that call it.
enum MethodUse : quint8 {
    L_METHODREF = 0x01,
    L_INTERFACE_METHODREF = 0x02,
    L_INVOKEVIRTUAL = 0x04,
    L_INVOKESPECIAL = 0x08,
    L_INVOKESTATIC = 0x10,
    L_INVOKEINTERFACE = 0x20,
};

constexpr quint8 staticFieldUses = L_GETSTATIC | L_PUTSTATIC;
constexpr quint8 instanceFieldUses = L_GETFIELD | L_PUTFIELD;
constexpr quint8 fieldWrites = L_PUTSTATIC | L_PUTFIELD;
constexpr quint8 instanceCalls = L_INVOKEVIRTUAL | L_INVOKESPECIAL | L_INVOKEINTERFACE;

} // namespace Linkage
