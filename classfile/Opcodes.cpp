#include "classfile/Opcodes.h"

namespace Opcodes {

namespace {

// The length of each instruction by opcode; 0 for switches and wide, whose length varies, and for
// the opcodes that are not defined.
constexpr char LENGTHS[] = "1111111111111111" // 0-15
                           "2323322222111111" // 16-31
                           "1111111111111111" // 32-47
                           "1111112222211111" // 48-63
                           "1111111111111111" // 64-79
                           "1111111111111111" // 80-95
                           "1111111111111111" // 96-111
                           "1111111111111111" // 112-127
                           "1111311111111111" // 128-143
                           "1111111113333333" // 144-159
                           "3333333332001111" // 160-175
                           "1133333335532311" // 176-191
                           "3311043355"; // 192-201
static_assert(sizeof(LENGTHS) == DEFINED_OPCODES + 1, "one length per defined opcode");

qint32 s4(const uchar *code, quint64 at)
{
    return qint32(quint32(code[at]) << 24 | quint32(code[at + 1]) << 16 | quint32(code[at + 2]) << 8
                  | code[at + 3]);
}

// Every count is checked before it is used: the table must lie inside the code.
quint64 switchLength(const uchar *code, quint32 size, quint32 pc, quint8 op)
{
    const quint64 operands = quint64(pc) + 4 - pc % 4; // after 0 to 3 bytes of padding
    const quint64 fixed = op == TABLESWITCH ? 12 : 8; // default, low, high or default, npairs
    if (operands + fixed > size)
        return 0;
    quint64 table;
    if (op == TABLESWITCH) {
        const qint64 low = s4(code, operands + 4);
        const qint64 high = s4(code, operands + 8);
        if (high < low)
            return 0;
        table = quint64(high - low + 1) * 4;
    } else {
        const qint64 pairs = s4(code, operands + 4);
        if (pairs < 0)
            return 0;
        table = quint64(pairs) * 8;
    }
    return operands + fixed + table - pc;
}

} // namespace

quint32 instructionLength(const uchar *code, quint32 size, quint32 pc)
{
    if (pc >= size)
        return 0;
    const quint8 op = code[pc];
    if (op >= DEFINED_OPCODES)
        return 0;
    quint64 length;
    if (op == WIDE) {
        if (pc + 1 >= size || !isWidened(code[pc + 1]))
            return 0;
        length = code[pc + 1] == IINC ? 6 : 4;
    } else if (op == TABLESWITCH || op == LOOKUPSWITCH) {
        length = switchLength(code, size, pc, op);
    } else {
        length = quint64(LENGTHS[op] - '0');
    }
    return length > size - pc ? 0 : quint32(length);
}

} // namespace Opcodes
