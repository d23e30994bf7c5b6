#pragma once

#include <QtGlobal>

/// The opcodes that tests write crafted code with, as the class-file format numbers them.
namespace Opcodes {

enum Opcode : quint8 {
    ACONST_NULL = 0x01,
    ICONST_0 = 0x03,
    ICONST_1 = 0x04,
    LDC = 0x12,
    ALOAD_0 = 0x2a,
    ALOAD_1 = 0x2b,
    ASTORE_1 = 0x4c,
    ASTORE_2 = 0x4d,
    POP = 0x57,
    DUP = 0x59,
    GOTO = 0xa7,
    JSR = 0xa8,
    RET = 0xa9,
    RETURN = 0xb1,
    INVOKEVIRTUAL = 0xb6,
    INVOKESPECIAL = 0xb7,
    INVOKESTATIC = 0xb8,
    NEW = 0xbb,
    NEWARRAY = 0xbc,
    CHECKCAST = 0xc0,
    IFNONNULL = 0xc7
};

/// newarray's atype of int.
constexpr quint8 T_INT = 10;

} // namespace Opcodes
