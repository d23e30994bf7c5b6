#pragma once

#include <QtGlobal>

/// The instruction set of method code as the class-file format numbers it: the opcodes that the
/// reader, the tests and the tools name, and the one decoding of an instruction's length.
namespace Opcodes {

enum Opcode : quint8 {
    ACONST_NULL = 1,
    ICONST_0 = 3,
    ICONST_1 = 4,
    LDC = 18,
    LDC_W = 19,
    LDC2_W = 20,
    ILOAD = 21,
    ALOAD = 25,
    ILOAD_0 = 26,
    ALOAD_0 = 42,
    ALOAD_1 = 43,
    ALOAD_3 = 45,
    AALOAD = 50,
    ISTORE = 54,
    ASTORE = 58,
    ISTORE_0 = 59,
    ASTORE_1 = 76,
    ASTORE_2 = 77,
    ASTORE_3 = 78,
    POP = 87,
    DUP = 89,
    DUP_X1 = 90,
    DUP_X2 = 91,
    DUP2 = 92,
    DUP2_X1 = 93,
    DUP2_X2 = 94,
    SWAP = 95,
    IINC = 132,
    IFEQ = 153,
    GOTO = 167,
    JSR = 168,
    RET = 169,
    TABLESWITCH = 170,
    LOOKUPSWITCH = 171,
    IRETURN = 172,
    RETURN = 177,
    GETSTATIC = 178,
    PUTSTATIC = 179,
    GETFIELD = 180,
    PUTFIELD = 181,
    INVOKEVIRTUAL = 182,
    INVOKESPECIAL = 183,
    INVOKESTATIC = 184,
    INVOKEINTERFACE = 185,
    INVOKEDYNAMIC = 186,
    NEW = 187,
    NEWARRAY = 188,
    ANEWARRAY = 189,
    ATHROW = 191,
    CHECKCAST = 192,
    INSTANCEOF = 193,
    WIDE = 196,
    MULTIANEWARRAY = 197,
    IFNULL = 198,
    IFNONNULL = 199,
    GOTO_W = 200,
    JSR_W = 201
};

/// Opcodes from here on (breakpoint and the implementation's own) never stand in a class file.
constexpr int DEFINED_OPCODES = 202;

/// newarray's atype of int.
constexpr quint8 T_INT = 10;

/// Whether wide may modify the opcode: the loads, the stores, ret and iinc.
constexpr bool isWidened(quint8 op)
{
    return (op >= ILOAD && op <= ALOAD) || (op >= ISTORE && op <= ASTORE) || op == RET
        || op == IINC;
}

/// The length of the instruction at `pc` of the code, its operands, a switch's padding and
/// table included; 0 where no instruction can be decoded: an undefined opcode, wide before an
/// opcode it cannot modify, a switch whose high is below its low or whose count is negative, or
/// operands that reach past the code.
quint32 instructionLength(const uchar *code, quint32 size, quint32 pc);

} // namespace Opcodes
