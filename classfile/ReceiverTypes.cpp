#include "classfile/ReceiverTypes.h"

#include "classfile/ClassFileCursor.h"
#include "classfile/JavaClassFile.h"
#include "classfile/Opcodes.h"

#include <QHash>
#include <QVarLengthArray>
#include <QVector>

#include <algorithm>
#include <map>
#include <set>
#include <vector>

namespace {

// --- The instruction set, as the types on the stack and in the locals see it
// ---------------------

// The words each instruction takes from the stack and what it pushes: Int, J (long), Float, D
// (double), N (null) or nothing (-). '*' marks the instructions whose effect depends on their
// operands, handled one by one.
constexpr char POPS[] = "0000000000000000" // 0-15
                        "00**************" // 16-31
                        "**************22" // 32-47
                        "22*222**********" // 48-63
                        "***************3" // 64-79
                        "434333312*******" // 80-95
                        "2424242424242424" // 96-111
                        "2424121223232324" // 112-127
                        "2424011122211122" // 128-143
                        "2111422441111112" // 144-159
                        "22222220**111212" // 160-175
                        "10************11" // 176-191
                        "*111**110*"; // 192-201
constexpr char PUSHES[] = "-NIIIIIIIJJFFFDD" // 0-15
                          "II**************" // 16-31
                          "**************IJ" // 32-47
                          "FD*III**********" // 48-63
                          "***************-" // 64-79
                          "---------*******" // 80-95
                          "IJFDIJFDIJFDIJFD" // 96-111
                          "IJFDIJFDIJIJIJIJ" // 112-127
                          "IJIJ-JFDIFDIJDIJ" // 128-143
                          "FIIIIIIII-------" // 144-159
                          "--------**------" // 160-175
                          "--************I-" // 176-191
                          "*I--**---*"; // 192-201
using namespace Opcodes;

bool isBranch(quint8 op)
{
    return (op >= IFEQ && op <= JSR) || op == IFNULL || op == IFNONNULL;
}

bool endsFlow(quint8 op)
{
    return op == GOTO || op == GOTO_W || op == JSR || op == JSR_W || op == RET || op == TABLESWITCH
        || op == LOOKUPSWITCH || (op >= IRETURN && op <= RETURN) || op == ATHROW;
}

// --- Verification types
// ----------------------------------------------------------------------------

/// A type as a number: null, the this of a constructor before it called its superclass's, an
/// object that `new` made at some pc and that is not yet constructed, or a named class or array.
using TypeId = quint32;
constexpr TypeId NULL_TYPE = 0;
constexpr TypeId UNINITIALIZED_THIS = 1;
constexpr TypeId FIRST_NAMED = 2;
constexpr TypeId UNINITIALIZED = 0x80000000u; // | the pc of the new

bool isUninitialized(TypeId id)
{
    return id == UNINITIALIZED_THIS || (id & UNINITIALIZED);
}

enum class Kind : quint8 { Top, Int, Float, Long, Double, Reference, ReturnAddress };

/// One word of the locals or the stack. A long or a double takes two, the second Top.
struct Value
{
    Kind kind = Kind::Top;
    /// References: what the object may be; return addresses: the subroutines. Sorted, and null
    /// only when it is all a reference may be.
    QVarLengthArray<TypeId, 2> ids;

    static Value of(Kind kind)
    {
        Value value;
        value.kind = kind;
        return value;
    }
    static Value of(Kind kind, TypeId id)
    {
        Value value = of(kind);
        value.ids.append(id);
        return value;
    }
    bool isWide() const { return kind == Kind::Long || kind == Kind::Double; }
    bool operator!=(const Value &other) const
    {
        return kind != other.kind || ids.size() != other.ids.size()
            || !std::equal(ids.begin(), ids.end(), other.ids.begin());
    }
};

struct State
{
    std::vector<Value> locals;
    std::vector<Value> stack;
    bool reached = false;
};

// Types a join keeps of one word before it drops those that pass the check. Real code joins two
// or three; a word that meets more is one a compiler reuses for other variables.
constexpr int MAX_JOINED_TYPES = 8;
// Subroutines a return address may belong to: old compilers nest a few for finally blocks.
constexpr int MAX_SUBROUTINES = 64;
// Instructions followed in one class, code decoded and frames counted by their size: javac's
// largest classes take a few hundred thousand. Past this the code is built to exhaust whoever
// follows it.
constexpr quint64 MAX_STEPS = 8000000;
// Words kept at the joins of one method's code (old class files): a few hundred joins of a few
// dozen locals in real code.
constexpr quint64 MAX_JOIN_WORDS = 2000000;
// Stack map frames, like the Java 7 verifier, in class files from that version on.
constexpr quint16 FIRST_STACK_MAP_MAJOR = 51;

/// The pool's texts as the types of one search see them, and what the caller answered about them.
class TypeNames
{
public:
    explicit TypeNames(const ReceiverTypes::IsSubclass &isSubclass)
        : isSubclass(isSubclass)
    {
    }

    TypeId idOf(const QString &name)
    {
        const auto found = ids.constFind(name);
        if (found != ids.constEnd())
            return found.value();
        const TypeId id = FIRST_NAMED + TypeId(names.size());
        names.append(name);
        ids.insert(name, id);
        return id;
    }
    const QString &nameOf(TypeId id) const { return names.at(int(id - FIRST_NAMED)); }

    /// A class (not an array, not null) that the check lets pass.
    bool passes(TypeId id)
    {
        if (id < FIRST_NAMED || isUninitialized(id) || nameOf(id).startsWith('['))
            return false;
        const auto known = answers.constFind(id);
        if (known != answers.constEnd())
            return known.value();
        const bool answer = isSubclass(nameOf(id));
        answers.insert(id, answer);
        return answer;
    }

private:
    const ReceiverTypes::IsSubclass &isSubclass;
    QHash<QString, TypeId> ids;
    QStringList names;
    QHash<TypeId, bool> answers;
};

/// Joins `from` into `into`; true when `into` changed.
bool join(Value &into, const Value &from, TypeNames &names)
{
    if (into.kind != from.kind) {
        const bool changed = into.kind != Kind::Top;
        into = Value();
        return changed;
    }
    if (into.kind != Kind::Reference && into.kind != Kind::ReturnAddress)
        return false;
    QVarLengthArray<TypeId, 8> all;
    std::set_union(into.ids.begin(),
                   into.ids.end(),
                   from.ids.begin(),
                   from.ids.end(),
                   std::back_inserter(all));
    if (all.size() > 1 && all.first() == NULL_TYPE)
        all.remove(0);
    if (into.kind == Kind::Reference && all.size() > MAX_JOINED_TYPES) {
        all.erase(
            std::remove_if(all.begin(), all.end(), [&](TypeId id) { return names.passes(id); }),
            all.end());
        // Still more: any of them fails the check, and the first ones in order are kept, so that
        // joining again changes nothing.
        all.resize(std::min(all.size(), MAX_JOINED_TYPES));
    }
    if (all.size() == into.ids.size() && std::equal(all.begin(), all.end(), into.ids.begin()))
        return false;
    into.ids.clear();
    into.ids.append(all.constData(), all.size());
    return true;
}

// --- Following one method
// --------------------------------------------------------------------------

/// The reason code cannot be followed, thrown inside the follower and caught at its edge.
struct Undecided
{
    QString reason;
};

[[noreturn]] void undecided(const QString &reason)
{
    throw Undecided { reason };
}

/// The uses of the wanted references in one method's code, with the types of their objects.
class MethodFollower
{
public:
    MethodFollower(const JavaClassFile &file,
                   const std::vector<bool> &wanted,
                   TypeNames &names,
                   quint64 &steps,
                   int method,
                   const Code_attribute &code)
        : file(file)
        , wanted(wanted)
        , names(names)
        , steps(steps)
        , method(method)
        , code(code)
        , bytes(reinterpret_cast<const uchar *>(code.code.constData()))
        , size(quint32(code.code.size()))
    {
    }

    /// The instructions of the code, with the pcs that use a wanted reference; false when the
    /// code cannot be decoded (the dependency scan has said so already).
    bool decode();
    bool usesWanted() const { return !candidates.empty(); }
    /// The pool indices that getfield, putfield, invokevirtual and invokespecial name.
    const std::vector<quint16> &memberOperands() const { return operands; }

    QList<ReceiverTypes::Use> follow();

private:
    // Reading the code and the pool.
    quint8 u1(quint32 at) const { return bytes[at]; }
    quint16 u2(quint32 at) const { return quint16(bytes[at] << 8 | bytes[at + 1]); }
    qint32 s4(quint32 at) const
    {
        return qint32(quint32(bytes[at]) << 24 | quint32(bytes[at + 1]) << 16
                      | quint32(bytes[at + 2]) << 8 | bytes[at + 3]);
    }
    quint32 lengthAt(quint32 pc) const;
    quint32 target(quint32 pc, qint64 offset) const;
    std::vector<quint32> targetsOf(quint32 pc) const;
    const cp_info *entry(quint16 index, unsigned char tag) const;
    const QString &utf8(quint16 index) const;
    TypeId classAt(quint16 index) const;
    Value valueOf(const QString &descriptor, int &at) const;
    Value fieldType(quint16 index) const;
    /// The words of a method's arguments and its result; the index names a method reference or
    /// an invokedynamic.
    int argumentWords(quint16 index, Value &result) const;

    // The effect of one instruction.
    void execute(State &state, quint32 pc);
    void pop(State &state, int words) const;
    void push(State &state, const Value &value) const;
    Value load(const State &state, quint32 index) const;
    void store(State &state, quint32 index, const Value &value) const;
    void loadConstant(State &state, quint16 index, bool wide) const;
    void arrayElement(State &state) const;
    void duplicate(State &state, int words, int depth) const;
    void useMember(State &state, quint32 pc, quint8 op);
    void record(quint32 pc, const Value &object);
    void construct(State &state, const Value &object) const;
    TypeId madeAt(TypeId uninitialized) const;
    /// The classes of the objects under construction that `new` made; the this of a constructor
    /// left out.
    Value madeBy(const Value &object) const;
    std::vector<Value> declaredOnEntry() const;

    // The two ways of following the code.
    void followFrames();
    void followPaths();
    void joinInto(quint32 pc, const State &state);
    void queue(quint32 pc);
    void joinHandlers(quint32 pc, const State &state);
    std::vector<quint32> writes(quint32 pc) const;
    const std::vector<bool> &writtenBy(quint32 subroutine);
    void returnFrom(const State &state, quint32 local, quint32 pc);
    std::vector<Value> frameLocals(const std::vector<Value> &declared) const;
    class FrameStream;
    Value frameType(ClassFileCursor &cursor) const;
    int lineAt(quint32 pc) const;
    void step(quint64 work);

    const JavaClassFile &file;
    const std::vector<bool> &wanted;
    TypeNames &names;
    /// Shared by every method of the class.
    quint64 &steps;
    const int method;
    const Code_attribute &code;
    const uchar *bytes;
    const quint32 size;

    /// Instruction starts, in code order.
    std::vector<quint32> starts;
    std::vector<bool> isStart;
    /// For each subroutine (the pc that jsr jumps to), the jsr that call it, the locals each
    /// found, and the locals it writes.
    std::map<quint32, std::vector<quint32>> calls;
    std::map<quint32, std::vector<Value>> beforeCall;
    std::map<quint32, std::vector<bool>> written;
    /// The instructions that name a wanted reference, and the types met at those that use it on
    /// an object, by pc.
    std::set<quint32> candidates;
    std::vector<quint16> operands;
    std::map<quint32, QVarLengthArray<TypeId, 4>> recorded;
    /// The states where paths join, by pc (old class files).
    std::map<quint32, State> joins;
    std::vector<quint32> pending;
    std::vector<bool> queued;
};

quint32 MethodFollower::lengthAt(quint32 pc) const
{
    return instructionLength(bytes, size, pc);
}

bool MethodFollower::decode()
{
    isStart.assign(size, false);
    for (quint32 pc = 0; pc < size;) {
        const quint32 length = lengthAt(pc);
        if (length == 0 || length > size - pc)
            return false;
        isStart[pc] = true;
        starts.push_back(pc);
        const quint8 op = u1(pc);
        const bool usesMember
            = op == GETFIELD || op == PUTFIELD || op == INVOKEVIRTUAL || op == INVOKESPECIAL;
        if (usesMember) {
            operands.push_back(u2(pc + 1));
            if (operands.back() < wanted.size() && wanted[operands.back()])
                candidates.insert(pc);
        }
        pc += length;
    }
    return true;
}

// A branch target, which must be an instruction of this code.
quint32 MethodFollower::target(quint32 pc, qint64 offset) const
{
    const qint64 to = qint64(pc) + offset;
    if (to < 0 || to >= qint64(size) || !isStart[size_t(to)])
        undecided(QStringLiteral("a jump at pc %1 leads outside the code").arg(pc));
    return quint32(to);
}

std::vector<quint32> MethodFollower::targetsOf(quint32 pc) const
{
    const quint8 op = u1(pc);
    if (isBranch(op))
        return { target(pc, qint16(u2(pc + 1))) };
    if (op == GOTO_W || op == JSR_W)
        return { target(pc, s4(pc + 1)) };
    if (op != TABLESWITCH && op != LOOKUPSWITCH)
        return {};
    const quint32 operands = pc + 4 - pc % 4;
    std::vector<quint32> targets { target(pc, s4(operands)) };
    const quint32 end = pc + lengthAt(pc);
    if (op == TABLESWITCH) {
        for (quint32 at = operands + 12; at < end; at += 4) // past default, low and high
            targets.push_back(target(pc, s4(at)));
    } else {
        for (quint32 at = operands + 8; at < end; at += 8) // past default and npairs: match, offset
            targets.push_back(target(pc, s4(at + 4)));
    }
    return targets;
}

const cp_info *MethodFollower::entry(quint16 index, unsigned char tag) const
{
    const cp_info *found = file.getConstantInfo(index);
    if (!found || found->tag != tag)
        undecided(QStringLiteral("pool entry %1 is not what the code needs").arg(index));
    return found;
}

const QString &MethodFollower::utf8(quint16 index) const
{
    return static_cast<const CONSTANT_Utf8_info *>(entry(index, cp_info::CONSTANT_Utf8))->value;
}

// The type a Class entry names: a class by its internal name or an array by its descriptor.
TypeId MethodFollower::classAt(quint16 index) const
{
    const auto *cls
        = static_cast<const CONSTANT_Class_info *>(entry(index, cp_info::CONSTANT_Class));
    return names.idOf(utf8(cls->name_index));
}

// The value of the field descriptor at `at`, which moves past it; Top for void. A class is named
// by its internal name, an array by its descriptor, as the pool names them.
Value MethodFollower::valueOf(const QString &descriptor, int &at) const
{
    const int start = at;
    while (at < descriptor.size() && descriptor.at(at) == '[')
        ++at;
    const bool array = at > start;
    if (at >= descriptor.size())
        undecided(QStringLiteral("malformed descriptor %1").arg(descriptor));
    const QChar kind = descriptor.at(at++);
    if (kind == 'L') {
        const int end = descriptor.indexOf(';', at);
        if (end < 0)
            undecided(QStringLiteral("malformed descriptor %1").arg(descriptor));
        const QString name
            = array ? descriptor.mid(start, end + 1 - start) : descriptor.mid(at, end - at);
        at = end + 1;
        return Value::of(Kind::Reference, names.idOf(name));
    }
    if (array && kind != 'V')
        return Value::of(Kind::Reference, names.idOf(descriptor.mid(start, at - start)));
    switch (kind.unicode()) {
    case 'B':
    case 'C':
    case 'I':
    case 'S':
    case 'Z':
        return Value::of(Kind::Int);
    case 'F':
        return Value::of(Kind::Float);
    case 'J':
        return Value::of(Kind::Long);
    case 'D':
        return Value::of(Kind::Double);
    case 'V':
        if (!array)
            return Value();
        break;
    default:
        break;
    }
    undecided(QStringLiteral("malformed descriptor %1").arg(descriptor));
}

Value MethodFollower::fieldType(quint16 index) const
{
    const auto *ref
        = static_cast<const CONSTANT_Fieldref_info *>(entry(index, cp_info::CONSTANT_Fieldref));
    const auto *nameAndType = static_cast<const CONSTANT_NameAndType_info *>(
        entry(ref->name_and_type_index, cp_info::CONSTANT_NameAndType));
    const QString &descriptor = utf8(nameAndType->descriptor_index);
    int at = 0;
    const Value type = valueOf(descriptor, at);
    if (at != descriptor.size() || type.kind == Kind::Top)
        undecided(QStringLiteral("malformed descriptor %1").arg(descriptor));
    return type;
}

int MethodFollower::argumentWords(quint16 index, Value &result) const
{
    const cp_info *ref = file.getConstantInfo(index);
    if (!ref)
        undecided(QStringLiteral("pool entry %1 is not what the code needs").arg(index));
    // Method, interface method and invokedynamic entries each lead to a NameAndType.
    quint16 nameAndTypeIndex = 0;
    if (ref->tag == cp_info::CONSTANT_Methodref || ref->tag == cp_info::CONSTANT_InterfaceMethodref)
        nameAndTypeIndex = static_cast<const CONSTANT_Fieldref_info *>(ref)->name_and_type_index;
    else if (ref->tag == cp_info::CONSTANT_InvokeDynamic)
        nameAndTypeIndex
            = static_cast<const CONSTANT_InvokeDynamic_info *>(ref)->name_and_type_index;
    else
        undecided(QStringLiteral("pool entry %1 is not what the code needs").arg(index));
    const auto *nameAndType = static_cast<const CONSTANT_NameAndType_info *>(
        entry(nameAndTypeIndex, cp_info::CONSTANT_NameAndType));
    const QString &descriptor = utf8(nameAndType->descriptor_index);
    if (!descriptor.startsWith('('))
        undecided(QStringLiteral("malformed descriptor %1").arg(descriptor));
    int words = 0;
    int at = 1;
    while (at < descriptor.size() && descriptor.at(at) != ')') {
        const Value parameter = valueOf(descriptor, at);
        if (parameter.kind == Kind::Top)
            undecided(QStringLiteral("malformed descriptor %1").arg(descriptor));
        words += parameter.isWide() ? 2 : 1;
    }
    ++at;
    result = valueOf(descriptor, at);
    if (at != descriptor.size())
        undecided(QStringLiteral("malformed descriptor %1").arg(descriptor));
    return words;
}

void MethodFollower::pop(State &state, int words) const
{
    if (state.stack.size() < size_t(words))
        undecided(QStringLiteral("the stack runs empty"));
    state.stack.resize(state.stack.size() - size_t(words));
}

void MethodFollower::push(State &state, const Value &value) const
{
    if (value.kind == Kind::Top)
        return; // void
    const size_t words = value.isWide() ? 2 : 1;
    if (state.stack.size() + words > code.max_stack)
        undecided(QStringLiteral("the stack grows past its maximum"));
    state.stack.push_back(value);
    if (value.isWide())
        state.stack.push_back(Value());
}

Value MethodFollower::load(const State &state, quint32 index) const
{
    if (index >= state.locals.size())
        undecided(QStringLiteral("local %1 is past the maximum").arg(index));
    return state.locals[index];
}

void MethodFollower::store(State &state, quint32 index, const Value &value) const
{
    const quint32 words = value.isWide() ? 2 : 1;
    if (index + words > state.locals.size())
        undecided(QStringLiteral("local %1 is past the maximum").arg(index));
    // A store into the second word of a long or double ends that value.
    if (index > 0 && state.locals[index - 1].isWide())
        state.locals[index - 1] = Value();
    state.locals[index] = value;
    if (words == 2)
        state.locals[index + 1] = Value();
}

void MethodFollower::loadConstant(State &state, quint16 index, bool wide) const
{
    const cp_info *constant = file.getConstantInfo(index);
    const unsigned char tag = constant ? constant->tag : 0;
    static const QHash<unsigned char, QString> objects {
        { cp_info::CONSTANT_String, QStringLiteral("java/lang/String") },
        { cp_info::CONSTANT_Class, QStringLiteral("java/lang/Class") },
        { cp_info::CONSTANT_MethodType, QStringLiteral("java/lang/invoke/MethodType") },
        { cp_info::CONSTANT_MethodHandle, QStringLiteral("java/lang/invoke/MethodHandle") },
    };
    if (wide && (tag == cp_info::CONSTANT_Long || tag == cp_info::CONSTANT_Double))
        push(state, Value::of(tag == cp_info::CONSTANT_Long ? Kind::Long : Kind::Double));
    else if (!wide && (tag == cp_info::CONSTANT_Integer || tag == cp_info::CONSTANT_Float))
        push(state, Value::of(tag == cp_info::CONSTANT_Integer ? Kind::Int : Kind::Float));
    else if (!wide && objects.contains(tag))
        push(state, Value::of(Kind::Reference, names.idOf(objects.value(tag))));
    else
        undecided(QStringLiteral("pool entry %1 is no constant to load").arg(index));
}

// aaload: the element types of the arrays the reference may be.
void MethodFollower::arrayElement(State &state) const
{
    pop(state, 1);
    if (state.stack.empty() || state.stack.back().kind != Kind::Reference)
        undecided(QStringLiteral("aaload of no array"));
    Value element = Value::of(Kind::Reference);
    for (TypeId id : state.stack.back().ids) {
        if (id == NULL_TYPE) {
            element.ids.append(NULL_TYPE);
            continue;
        }
        const QString &name = isUninitialized(id) ? QString() : names.nameOf(id);
        if (name.size() < 2 || name.at(0) != '[' || (name.at(1) != 'L' && name.at(1) != '['))
            undecided(QStringLiteral("aaload of no array of objects"));
        int at = 1;
        join(element, valueOf(name, at), names);
    }
    pop(state, 1);
    push(state, element);
}

// dup and its kin: the top `words` words once more, `depth` words down.
void MethodFollower::duplicate(State &state, int words, int depth) const
{
    if (state.stack.size() < size_t(depth))
        undecided(QStringLiteral("the stack runs empty"));
    if (state.stack.size() + size_t(words) > code.max_stack)
        undecided(QStringLiteral("the stack grows past its maximum"));
    const std::vector<Value> top(state.stack.end() - words, state.stack.end());
    state.stack.insert(state.stack.end() - depth, top.begin(), top.end());
}

void MethodFollower::record(quint32 pc, const Value &object)
{
    if (object.kind != Kind::Reference)
        undecided(QStringLiteral("the object at pc %1 is no reference").arg(pc));
    // A path that reaches the use again brings the types joined so far: the last is the whole.
    // An object not yet constructed is taken for what it will be, as the check takes it.
    QVarLengthArray<TypeId, 4> &types = recorded[pc];
    types.clear();
    for (TypeId id : object.ids) {
        if (id == UNINITIALIZED_THIS)
            types.append(names.idOf(file.getName()));
        else if (isUninitialized(id))
            types.append(madeAt(id));
        else if (id != NULL_TYPE)
            types.append(id);
    }
}

// After a constructor, every copy of the object it constructed is of its class.
void MethodFollower::construct(State &state, const Value &object) const
{
    for (TypeId id : object.ids) {
        if (!isUninitialized(id))
            continue;
        const TypeId made = id == UNINITIALIZED_THIS ? names.idOf(file.getName()) : madeAt(id);
        for (std::vector<Value> *words : { &state.locals, &state.stack }) {
            for (Value &word : *words) {
                if (word.kind != Kind::Reference)
                    continue;
                std::replace(word.ids.begin(), word.ids.end(), id, made);
                std::sort(word.ids.begin(), word.ids.end());
                word.ids.erase(std::unique(word.ids.begin(), word.ids.end()), word.ids.end());
            }
        }
    }
}

TypeId MethodFollower::madeAt(TypeId uninitialized) const
{
    const quint32 pc = uninitialized & ~UNINITIALIZED;
    if (pc >= size || !isStart[pc] || u1(pc) != NEW)
        undecided(QStringLiteral("no new at pc %1").arg(pc));
    return classAt(u2(pc + 1));
}

Value MethodFollower::madeBy(const Value &object) const
{
    Value made = Value::of(Kind::Reference);
    for (TypeId id : object.ids) {
        if (id != UNINITIALIZED_THIS && isUninitialized(id))
            made.ids.append(madeAt(id));
    }
    return made;
}

// getfield, putfield, the invokes and invokedynamic.
void MethodFollower::useMember(State &state, quint32 pc, quint8 op)
{
    const quint16 index = u2(pc + 1);
    if (op <= PUTFIELD) {
        const Value type = fieldType(index);
        const int words = type.isWide() ? 2 : 1;
        if (op == GETSTATIC) {
            push(state, type);
            return;
        }
        const int taken = op == PUTSTATIC ? words : op == GETFIELD ? 1 : words + 1;
        if (op != PUTSTATIC && state.stack.size() >= size_t(taken) && candidates.count(pc))
            record(pc, state.stack[state.stack.size() - size_t(taken)]);
        pop(state, taken);
        if (op == GETFIELD)
            push(state, type);
        return;
    }
    Value result;
    const int arguments = argumentWords(index, result);
    if (op == INVOKESTATIC || op == INVOKEDYNAMIC) {
        pop(state, arguments);
        push(state, result);
        return;
    }
    if (state.stack.size() < size_t(arguments) + 1)
        undecided(QStringLiteral("the stack runs empty"));
    const Value object = state.stack[state.stack.size() - size_t(arguments) - 1];
    const bool constructs
        = op == INVOKESPECIAL && std::any_of(object.ids.begin(), object.ids.end(), isUninitialized);
    if (candidates.count(pc) && op == INVOKEVIRTUAL)
        record(pc, object);
    if (candidates.count(pc) && constructs) {
        const Value made = madeBy(object);
        if (!made.ids.isEmpty())
            record(pc, made);
    }
    pop(state, arguments + 1);
    if (constructs)
        construct(state, object);
    push(state, result);
}

// The locals on entry as frames list them, a long or double once: the object (not yet constructed
// in a constructor other than Object's), then the arguments.
std::vector<Value> MethodFollower::declaredOnEntry() const
{
    const method_info *info = file.methods.at(method);
    std::vector<Value> declared;
    if (!file.isMethodStatic(info)) {
        const bool constructor = file.getMethodName(info) == QLatin1String("<init>")
            && file.getName() != QLatin1String("java/lang/Object");
        declared.push_back(Value::of(
            Kind::Reference, constructor ? UNINITIALIZED_THIS : names.idOf(file.getName())));
    }
    const QString descriptor = file.getMethodDescriptor(info);
    if (!descriptor.startsWith('('))
        undecided(QStringLiteral("malformed descriptor %1").arg(descriptor));
    for (int at = 1; at < descriptor.size() && descriptor.at(at) != ')';) {
        declared.push_back(valueOf(descriptor, at));
        if (declared.back().kind == Kind::Top)
            undecided(QStringLiteral("malformed descriptor %1").arg(descriptor));
    }
    return declared;
}

// The locals of a frame's list: a long or a double takes two, the locals past the list are Top.
std::vector<Value> MethodFollower::frameLocals(const std::vector<Value> &declared) const
{
    std::vector<Value> locals;
    for (const Value &value : declared) {
        locals.push_back(value);
        if (value.isWide())
            locals.push_back(Value());
    }
    if (locals.size() > code.max_locals)
        undecided(QStringLiteral("more locals than the maximum"));
    locals.resize(code.max_locals);
    return locals;
}

void MethodFollower::execute(State &state, quint32 pc)
{
    const quint8 op = u1(pc);
    if (POPS[op] != '*') {
        pop(state, POPS[op] - '0');
        static const QHash<char, Value> pushed {
            { 'I', Value::of(Kind::Int) },
            { 'F', Value::of(Kind::Float) },
            { 'J', Value::of(Kind::Long) },
            { 'D', Value::of(Kind::Double) },
            { 'N', Value::of(Kind::Reference, NULL_TYPE) },
        };
        if (PUSHES[op] != '-')
            push(state, pushed.value(PUSHES[op]));
        return;
    }
    // Loads and stores: iload to aload name their local, iload_0 to aload_3 and istore_0 to
    // astore_3 carry it in the opcode, four to each kind.
    static const Kind kinds[]
        = { Kind::Int, Kind::Long, Kind::Float, Kind::Double, Kind::Reference };
    const bool wide = op == WIDE;
    const quint8 inner = wide ? u1(pc + 1) : op;
    const auto operand = [&] { return wide ? quint32(u2(pc + 2)) : quint32(u1(pc + 1)); };
    if (inner >= ILOAD && inner <= ALOAD_3) {
        const quint32 index = inner <= ALOAD ? operand() : quint32(inner - ILOAD_0) % 4;
        const Kind kind = kinds[inner <= ALOAD ? inner - ILOAD : (inner - ILOAD_0) / 4];
        const Value value = load(state, index);
        if (kind == Kind::Reference && value.kind != Kind::Reference)
            undecided(QStringLiteral("aload of no reference at pc %1").arg(pc));
        push(state, kind == Kind::Reference ? value : Value::of(kind));
        return;
    }
    if (inner >= ISTORE && inner <= ASTORE_3) {
        const quint32 index = inner <= ASTORE ? operand() : quint32(inner - ISTORE_0) % 4;
        const Kind kind = kinds[inner <= ASTORE ? inner - ISTORE : (inner - ISTORE_0) / 4];
        // astore takes references and the return addresses of subroutines alike.
        const Value value = kind == Kind::Reference && !state.stack.empty() ? state.stack.back()
                                                                            : Value::of(kind);
        pop(state, value.isWide() ? 2 : 1);
        store(state, index, value);
        return;
    }
    switch (inner) {
    case IINC:
        return;
    case RET:
        load(state, operand());
        return;
    case LDC:
    case LDC_W:
    case LDC2_W:
        loadConstant(state, op == LDC ? u1(pc + 1) : u2(pc + 1), op == LDC2_W);
        return;
    case AALOAD:
        arrayElement(state);
        return;
    case DUP:
    case DUP_X1:
    case DUP_X2:
    case DUP2:
    case DUP2_X1:
    case DUP2_X2: {
        // The words each copies and how deep it puts them, in opcode order.
        static const int shapes[][2]
            = { { 1, 1 }, { 1, 2 }, { 1, 3 }, { 2, 2 }, { 2, 3 }, { 2, 4 } };
        duplicate(state, shapes[inner - DUP][0], shapes[inner - DUP][1]);
        return;
    }
    case SWAP:
        if (state.stack.size() < 2)
            undecided(QStringLiteral("the stack runs empty"));
        std::swap(state.stack.back(), state.stack[state.stack.size() - 2]);
        return;
    case JSR:
    case JSR_W:
        push(state, Value::of(Kind::ReturnAddress, targetsOf(pc).front()));
        return;
    case NEW:
        classAt(u2(pc + 1));
        push(state, Value::of(Kind::Reference, UNINITIALIZED | pc));
        return;
    case NEWARRAY: {
        static const char elements[] = "ZCFDBSIJ"; // atype 4 to 11
        const quint8 type = u1(pc + 1);
        if (type < 4 || type > 11)
            undecided(QStringLiteral("newarray of no type at pc %1").arg(pc));
        pop(state, 1);
        push(state, Value::of(Kind::Reference, names.idOf(QString("[%1").arg(elements[type - 4]))));
        return;
    }
    case ANEWARRAY: {
        const QString element = names.nameOf(classAt(u2(pc + 1)));
        pop(state, 1);
        push(state,
             Value::of(Kind::Reference,
                       names.idOf(element.startsWith('[') ? '[' + element
                                                          : QString("[L%1;").arg(element))));
        return;
    }
    case CHECKCAST: {
        const TypeId type = classAt(u2(pc + 1));
        pop(state, 1);
        push(state, Value::of(Kind::Reference, type));
        return;
    }
    case MULTIANEWARRAY: {
        const TypeId type = classAt(u2(pc + 1));
        if (u1(pc + 3) == 0)
            undecided(QStringLiteral("multianewarray of no dimension at pc %1").arg(pc));
        pop(state, u1(pc + 3));
        push(state, Value::of(Kind::Reference, type));
        return;
    }
    default:
        break;
    }
    if (op >= GETSTATIC && op <= INVOKEDYNAMIC) {
        useMember(state, pc, op);
        return;
    }
    undecided(QStringLiteral("no instruction at pc %1").arg(pc));
}

void MethodFollower::step(quint64 work)
{
    steps += work;
    if (steps > MAX_STEPS)
        undecided(QStringLiteral("the code is too large to follow"));
}

// verification_type_info
Value MethodFollower::frameType(ClassFileCursor &cursor) const
{
    switch (cursor.u1()) { // u1 tag
    case 0:
        return Value();
    case 1:
        return Value::of(Kind::Int);
    case 2:
        return Value::of(Kind::Float);
    case 3:
        return Value::of(Kind::Double);
    case 4:
        return Value::of(Kind::Long);
    case 5:
        return Value::of(Kind::Reference, NULL_TYPE);
    case 6:
        return Value::of(Kind::Reference, UNINITIALIZED_THIS);
    case 7:
        return Value::of(Kind::Reference, classAt(cursor.u2())); // u2 cpool_index
    case 8: {
        const quint16 offset = cursor.u2(); // u2 offset
        madeAt(UNINITIALIZED | offset);
        return Value::of(Kind::Reference, UNINITIALIZED | offset);
    }
    default:
        undecided(QStringLiteral("malformed stack map frame"));
    }
}

/// The frames of a StackMapTable in order, each decoded from the one before as the verifier
/// does: the locals as the frame lists them, the stack, and the pc.
class MethodFollower::FrameStream
{
public:
    FrameStream(const MethodFollower &follower, const QByteArray &entries)
        : follower(follower)
        , cursor(reinterpret_cast<const uchar *>(entries.constData()), quint32(entries.size()))
        , declared(follower.declaredOnEntry())
        , remaining(entries.isEmpty() ? 0 : cursor.u2()) // u2 number_of_entries
    {
    }

    /// Reads the next frame; false after the last.
    bool next()
    {
        if (remaining == 0)
            return false;
        --remaining;
        stack.clear();
        const quint8 type = cursor.u1(); // u1 frame_type
        quint16 delta = type;
        if (type >= 64 && type < 128) { // same_locals_1_stack_item_frame
            delta = type - 64;
            stack.push_back(follower.frameType(cursor));
        } else if (type >= 128 && type < 247) {
            undecided(QStringLiteral("malformed stack map frame"));
        } else if (type >= 247) {
            delta = cursor.u2(); // u2 offset_delta
        }
        if (type == 247) { // same_locals_1_stack_item_frame_extended
            stack.push_back(follower.frameType(cursor));
        } else if (type >= 248 && type <= 250) { // chop_frame
            if (declared.size() < size_t(251 - type))
                undecided(QStringLiteral("malformed stack map frame"));
            declared.resize(declared.size() - size_t(251 - type));
        } else if (type >= 252 && type <= 254) { // append_frame
            for (int k = 0; k < type - 251; ++k)
                declared.push_back(follower.frameType(cursor));
        } else if (type == 255) { // full_frame
            declared.clear();
            for (quint16 k = cursor.u2(); k > 0 && !cursor.hasFailed(); --k) // u2 number_of_locals
                declared.push_back(follower.frameType(cursor));
            for (quint16 k = cursor.u2(); k > 0 && !cursor.hasFailed();
                 --k) // number_of_stack_items
                stack.push_back(follower.frameType(cursor));
        }
        if (cursor.hasFailed())
            undecided(QStringLiteral("the stack map frames are cut short"));
        pc += qint64(delta) + 1;
        if (pc >= qint64(follower.size) || !follower.isStart[size_t(pc)])
            undecided(QStringLiteral("a stack map frame names no instruction"));
        return true;
    }

    quint32 at() const { return quint32(pc); }

    /// The state the frame stands for.
    State state() const
    {
        State frame;
        frame.locals = follower.frameLocals(declared);
        for (const Value &value : stack)
            follower.push(frame, value);
        return frame;
    }

private:
    const MethodFollower &follower;
    ClassFileCursor cursor;
    std::vector<Value> declared;
    std::vector<Value> stack;
    quint16 remaining;
    qint64 pc = -1;
};

// Java 7 and later: the state at each frame is the frame; between frames it follows from the
// instructions, and code after a jump must start with a frame. The frames are read twice, their
// pcs first for the jumps, then their states as the code reaches them, one at a time.
void MethodFollower::followFrames()
{
    QByteArray entries;
    for (const attribute_info *attribute : code.attributes) {
        if (const auto *table = dynamic_cast<const StackMapTable_attribute *>(attribute)) {
            entries = table->entries;
            break;
        }
    }
    std::set<quint32> framed;
    for (FrameStream frames(*this, entries); frames.next();) {
        step(1);
        framed.insert(frames.at());
    }
    for (const Code_attribute::exception_t &handler : code.exception_table) {
        if (!framed.count(handler.handler_pc))
            undecided(QStringLiteral("no stack map frame at the handler at pc %1")
                          .arg(handler.handler_pc));
    }
    FrameStream frames(*this, entries);
    bool framesLeft = frames.next();
    State state;
    state.locals = frameLocals(declaredOnEntry());
    bool fallsIn = true;
    for (quint32 pc : starts) {
        if (framesLeft && frames.at() == pc) {
            state = frames.state();
            step(state.locals.size() + state.stack.size());
            framesLeft = frames.next();
        } else if (!fallsIn) {
            undecided(QStringLiteral("no stack map frame at pc %1 after a jump").arg(pc));
        }
        const quint8 op = u1(pc);
        if (op == JSR || op == JSR_W || op == RET || (op == WIDE && u1(pc + 1) == RET))
            undecided(QStringLiteral("a subroutine in code with stack map frames"));
        step(1);
        execute(state, pc);
        for (quint32 to : targetsOf(pc)) {
            if (!framed.count(to))
                undecided(QStringLiteral("no stack map frame at the jump target %1").arg(to));
        }
        fallsIn = !endsFlow(op);
    }
}

void MethodFollower::joinInto(quint32 pc, const State &state)
{
    State &at = joins[pc];
    if (!at.reached) {
        at = state;
        at.reached = true;
        queue(pc);
        return;
    }
    if (at.stack.size() != state.stack.size())
        undecided(QStringLiteral("stack heights differ where paths join at pc %1").arg(pc));
    bool changed = false;
    for (size_t i = 0; i < at.locals.size(); ++i)
        changed |= join(at.locals[i], state.locals[i], names);
    for (size_t i = 0; i < at.stack.size(); ++i)
        changed |= join(at.stack[i], state.stack[i], names);
    step(at.locals.size() + at.stack.size());
    for (const std::vector<Value> *words : { &at.locals, &at.stack }) {
        for (const Value &word : *words) {
            if (word.ids.size() > MAX_SUBROUTINES)
                undecided(QStringLiteral("too many subroutines meet at pc %1").arg(pc));
        }
    }
    if (changed)
        queue(pc);
}

void MethodFollower::queue(quint32 pc)
{
    if (queued.empty())
        queued.assign(size, false);
    if (!queued[pc])
        pending.push_back(pc);
    queued[pc] = true;
}

// The locals of every instruction that a handler covers reach the handler, with the exception
// alone on the stack.
void MethodFollower::joinHandlers(quint32 pc, const State &state)
{
    for (const Code_attribute::exception_t &handler : code.exception_table) {
        if (pc < handler.start_pc || pc >= handler.end_pc)
            continue;
        if (handler.handler_pc >= size || !isStart[handler.handler_pc])
            undecided(
                QStringLiteral("a handler at pc %1 is no instruction").arg(handler.handler_pc));
        State caught;
        caught.locals = state.locals;
        caught.stack.push_back(Value::of(Kind::Reference,
                                         handler.catch_type
                                             ? classAt(handler.catch_type)
                                             : names.idOf(QStringLiteral("java/lang/Throwable"))));
        joinInto(handler.handler_pc, caught);
    }
}

// Before Java 7 (and for Java 6, whose frames the JVM may set aside): every path is followed, and
// where paths join, each word holds every type that reaches it.
// The locals an instruction writes: stores, and iinc.
std::vector<quint32> MethodFollower::writes(quint32 pc) const
{
    const bool wide = u1(pc) == WIDE;
    const quint8 op = wide ? u1(pc + 1) : u1(pc);
    if (op != IINC && (op < ISTORE || op > ASTORE_3))
        return {};
    const bool named = op == IINC || op <= ASTORE;
    const quint32 operand = !named ? 0 : wide ? u2(pc + 2) : u1(pc + 1);
    if (op == IINC)
        return { operand };
    const quint32 index = op <= ASTORE ? operand : quint32(op - ISTORE_0) % 4;
    const int kind = op <= ASTORE ? op - ISTORE : (op - ISTORE_0) / 4;
    if (kind == 1 || kind == 3) // lstore, dstore
        return { index, index + 1 };
    return { index };
}

// The locals that a subroutine may write before it returns: those stored by the instructions it
// reaches, the subroutines it calls included, up to its ret.
const std::vector<bool> &MethodFollower::writtenBy(quint32 subroutine)
{
    auto found = written.find(subroutine);
    if (found != written.end())
        return found->second;
    std::vector<bool> &locals = written[subroutine];
    locals.assign(code.max_locals, false);
    std::vector<bool> seen(size, false);
    std::vector<quint32> pending { subroutine };
    while (!pending.empty()) {
        const quint32 pc = pending.back();
        pending.pop_back();
        if (seen[pc])
            continue;
        seen[pc] = true;
        step(1);
        for (quint32 local : writes(pc)) {
            if (local < locals.size())
                locals[local] = true;
        }
        const quint8 op = u1(pc);
        if (op == RET || (op == WIDE && u1(pc + 1) == RET))
            continue;
        for (quint32 to : targetsOf(pc))
            pending.push_back(to);
        const quint32 next = pc + lengthAt(pc);
        if ((!endsFlow(op) || op == JSR || op == JSR_W) && next < size)
            pending.push_back(next);
    }
    return locals;
}

// ret goes back after every call of the subroutines the address may belong to. The locals the
// subroutine writes are as it leaves them, the others as the call found them.
void MethodFollower::returnFrom(const State &state, quint32 local, quint32 pc)
{
    const Value address = load(state, local);
    if (address.kind != Kind::ReturnAddress)
        undecided(QStringLiteral("ret at pc %1 to no return address").arg(pc));
    for (TypeId subroutine : address.ids) {
        const std::vector<bool> &changed = writtenBy(subroutine);
        for (quint32 call : calls[subroutine]) {
            const auto before = beforeCall.find(call);
            if (before == beforeCall.end())
                continue; // not reached yet: it returns here when it is
            State back = state;
            for (size_t i = 0; i < back.locals.size(); ++i) {
                if (!changed[i])
                    back.locals[i] = before->second[i];
            }
            joinInto(call + lengthAt(call), back);
        }
    }
}

void MethodFollower::followPaths()
{
    // Paths join at jump targets, handlers and after every jump: only there are states kept.
    std::vector<bool> isJoin(size, false);
    isJoin[0] = true;
    for (quint32 pc : starts) {
        const quint8 op = u1(pc);
        for (quint32 to : targetsOf(pc))
            isJoin[to] = true;
        const quint32 next = pc + lengthAt(pc);
        if ((endsFlow(op) || isBranch(op)) && next < size)
            isJoin[next] = true;
        if (op == JSR || op == JSR_W)
            calls[targetsOf(pc).front()].push_back(pc);
    }
    for (const Code_attribute::exception_t &handler : code.exception_table) {
        if (handler.handler_pc < size)
            isJoin[handler.handler_pc] = true;
    }
    const quint64 joinCount = quint64(std::count(isJoin.begin(), isJoin.end(), true));
    if (joinCount * (quint64(code.max_locals) + code.max_stack) > MAX_JOIN_WORDS)
        undecided(QStringLiteral("the code is too large to follow"));

    State entry;
    entry.locals = frameLocals(declaredOnEntry());
    joinInto(0, entry);
    while (!pending.empty()) {
        quint32 pc = pending.back();
        pending.pop_back();
        queued[pc] = false;
        State state = joins[pc];
        for (;;) {
            step(1);
            const quint8 op = u1(pc);
            if (op == JSR || op == JSR_W)
                beforeCall[pc] = state.locals;
            joinHandlers(pc, state);
            execute(state, pc);
            joinHandlers(pc, state);
            if (op == RET || (op == WIDE && u1(pc + 1) == RET))
                returnFrom(state, op == WIDE ? u2(pc + 2) : u1(pc + 1), pc);
            for (quint32 to : targetsOf(pc))
                joinInto(to, state);
            if (endsFlow(op))
                break;
            pc += lengthAt(pc);
            if (pc >= size)
                undecided(QStringLiteral("the code runs past its end"));
            if (isJoin[pc]) {
                joinInto(pc, state);
                break;
            }
        }
    }
}

int MethodFollower::lineAt(quint32 pc) const
{
    int line = 0;
    quint32 start = 0;
    for (const attribute_info *attribute : code.attributes) {
        if (!file.isAttr(attribute, QStringLiteral("LineNumberTable")))
            continue;
        for (const auto &entry :
             static_cast<const LineNumberTable_attribute *>(attribute)->line_number_table) {
            if (entry.start_pc <= pc && (line == 0 || entry.start_pc >= start)) {
                line = entry.line_number;
                start = entry.start_pc;
            }
        }
    }
    return line;
}

QList<ReceiverTypes::Use> MethodFollower::follow()
{
    QString reason;
    try {
        step(size);
        if (file.major_version >= FIRST_STACK_MAP_MAJOR)
            followFrames();
        else
            followPaths();
    } catch (const Undecided &e) {
        reason = e.reason;
    }
    QList<ReceiverTypes::Use> uses;
    for (quint32 pc : candidates) {
        const auto found = recorded.find(pc);
        // Not a use on an object: a constructor calling its superclass's, or code no path reaches.
        if (reason.isEmpty() && found == recorded.end())
            continue;
        ReceiverTypes::Use use;
        use.method = method;
        use.pc = pc;
        use.opcode = u1(pc);
        use.line = lineAt(pc);
        use.undecided = reason;
        if (found != recorded.end()) {
            for (TypeId id : found->second)
                use.types << names.nameOf(id);
            use.types.sort();
            use.types.removeDuplicates();
        }
        uses.append(use);
    }
    return uses;
}

/// The code of a method, null for one that has none to follow.
const Code_attribute *codeOf(const JavaClassFile &file, int method)
{
    const method_info *info = file.methods.at(method);
    if (file.isMethodAbstract(info) || file.isMethodNative(info))
        return nullptr;
    return file.getMethodCodeAttr(info);
}

bool refersTo(const JavaClassFile &file,
              const CONSTANT_Fieldref_info &ref,
              const QString &owner,
              const QString &name,
              const QString &descriptor,
              bool isMethod)
{
    if (isMethod) {
        return file.getMethodParentClassName(ref) == owner && file.getMethodName(ref) == name
            && file.getMethodSignature(ref).getDescriptor() == descriptor;
    }
    return file.getFieldParentClassName(ref) == owner && file.getFieldName(ref) == name
        && file.getFieldTypeDescriptor(ref).getDescriptor() == descriptor;
}

} // namespace

struct ReceiverTypes::Search
{
    Search(const JavaClassFile &file, IsSubclass isSubclass)
        : file(file)
        , isSubclass(std::move(isSubclass))
        , names(this->isSubclass)
    {
    }

    /// The methods whose code names each pool entry as a member on an object, made on first
    /// use: most members are used in a method or two of a class.
    const QHash<quint16, QVector<int>> &methodsNaming();

    const JavaClassFile &file;
    const IsSubclass isSubclass;
    TypeNames names;
    quint64 steps = 0;
    std::unique_ptr<QHash<quint16, QVector<int>>> naming;
};

const QHash<quint16, QVector<int>> &ReceiverTypes::Search::methodsNaming()
{
    if (naming)
        return *naming;
    naming = std::make_unique<QHash<quint16, QVector<int>>>();
    const std::vector<bool> none;
    for (int method = 0; method < file.methods.size(); ++method) {
        const Code_attribute *code = codeOf(file, method);
        if (!code)
            continue;
        // Code that cannot be decoded has been reported by the dependency scan.
        MethodFollower follower(file, none, names, steps, method, *code);
        if (!follower.decode())
            continue;
        for (quint16 index : follower.memberOperands()) {
            QVector<int> &methods = (*naming)[index];
            if (methods.isEmpty() || methods.last() != method)
                methods.append(method);
        }
    }
    return *naming;
}

ReceiverTypes::ReceiverTypes(const JavaClassFile &file, IsSubclass isSubclass)
    : search(std::make_unique<Search>(file, std::move(isSubclass)))
{
}

ReceiverTypes::~ReceiverTypes() = default;

QList<ReceiverTypes::Use> ReceiverTypes::find(const QString &owner,
                                              const QString &name,
                                              const QString &descriptor,
                                              bool isMethod)
{
    const JavaClassFile &file = search->file;
    // The pool's references to the member, by index.
    std::vector<bool> wanted(size_t(file.constant_pool.size()) + 1, false);
    bool referred = false;
    const unsigned char tag = isMethod ? cp_info::CONSTANT_Methodref : cp_info::CONSTANT_Fieldref;
    for (int index = 1; index <= file.constant_pool.size(); ++index) {
        const cp_info *entry = file.constant_pool.at(index - 1);
        if (entry->tag == tag
            && refersTo(file,
                        *static_cast<const CONSTANT_Fieldref_info *>(entry),
                        owner,
                        name,
                        descriptor,
                        isMethod)) {
            wanted[size_t(index)] = true;
            referred = true;
        }
    }
    QList<Use> uses;
    if (!referred)
        return uses;
    std::set<int> followed;
    for (int index = 1; index <= file.constant_pool.size(); ++index) {
        if (wanted[size_t(index)]) {
            for (int method : search->methodsNaming().value(quint16(index)))
                followed.insert(method);
        }
    }
    for (int method : followed) {
        MethodFollower follower(
            file, wanted, search->names, search->steps, method, *codeOf(file, method));
        if (follower.decode() && follower.usesWanted())
            uses += follower.follow();
    }
    return uses;
}
