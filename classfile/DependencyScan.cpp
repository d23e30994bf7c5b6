// The dependency scan: what a class's declarations, constant pool and bytecode refer to.

#include "classfile/DependencyScan.h"

#include "classfile/ClassDependencies.h"
#include "classfile/JavaClassFile.h"
#include "classfile/Linkage.h"
#include "classfile/Opcodes.h"

#include <QSet>

#include <algorithm>
#include <deque>
#include <limits>
#include <vector>

namespace {

// --- The instruction set, as far as the scan needs it
// ---------------------------------------------

using namespace Opcodes;

/// What an instruction's operand names, as far as the scan needs it.
enum Operand : unsigned char {
    OP_NONE,
    OP_FIELD, // u2 index of a field reference
    OP_METHOD, // u2 index of a method or interface method reference
    OP_CLASS, // u2 index of a class
    OP_LDC, // u1 index of a loadable constant
    OP_LDC_W, // u2 index of a loadable constant
};

Operand operandOfInstruction(quint8 opcode)
{
    switch (opcode) {
    case GETSTATIC:
    case PUTSTATIC:
    case GETFIELD:
    case PUTFIELD:
        return OP_FIELD;
    case INVOKEVIRTUAL:
    case INVOKESPECIAL:
    case INVOKESTATIC:
    case INVOKEINTERFACE:
        return OP_METHOD;
    case NEW:
    case ANEWARRAY:
    case CHECKCAST:
    case INSTANCEOF:
    case MULTIANEWARRAY:
        return OP_CLASS;
    case LDC:
        return OP_LDC;
    case LDC_W:
        return OP_LDC_W;
    default:
        return OP_NONE;
    }
}

// What an instruction makes the JVM link in what its operand names.
quint8 linkageOf(unsigned char opcode, Operand operand)
{
    switch (operand) {
    case OP_FIELD: // getstatic, putstatic, getfield, putfield: the bits in this order
        return quint8(Linkage::L_GETSTATIC << (opcode - GETSTATIC));
    case OP_METHOD: // invokevirtual, invokespecial, invokestatic, invokeinterface
        return quint8(Linkage::L_INVOKEVIRTUAL << (opcode - INVOKEVIRTUAL));
    default:
        return opcode == NEW ? Linkage::L_RESOLVED | Linkage::L_NEW : Linkage::L_RESOLVED;
    }
}

// The operand kind that may name a pool entry of this tag.
Operand operandOf(unsigned char tag)
{
    switch (tag) {
    case cp_info::CONSTANT_Fieldref:
        return OP_FIELD;
    case cp_info::CONSTANT_Methodref:
    case cp_info::CONSTANT_InterfaceMethodref:
        return OP_METHOD;
    case cp_info::CONSTANT_Class:
        return OP_CLASS;
    default:
        return OP_NONE;
    }
}

quint16 readU2(const uchar *code, quint32 at)
{
    return quint16((code[at] << 8) | code[at + 1]);
}

// --- Resolving the parts of a pool reference
// ------------------------------------------------------

/// One part of a reference: the Utf8 entry it resolved to, or the reason it failed. Resolving
/// happens for every reference of every class, so it copies no text.
struct Part
{
    const QString *value;
    quint16 index;
    const char *failure;

    bool resolved() const { return value != nullptr; }
    QString text() const { return value ? *value : QString::fromLatin1(failure); }
};

struct PartMessages
{
    const char *invalidName;
    const char *nameNotString;
    const char *invalidDescriptor;
    const char *descriptorNotString;
};

const PartMessages FIELD_PARTS = { "invalid field name index",
                                   "field name info is not a string",
                                   "invalid field descriptor index",
                                   "field descriptor info is not a string" };
const PartMessages METHOD_PARTS = { "invalid method name index",
                                    "method name info is not a string",
                                    "invalid method signature index",
                                    "method signature info is not a string" };

Part failed(const char *message)
{
    return Part { nullptr, 0, message };
}

Part utf8Part(const JavaClassFile &classFile,
              unsigned short index,
              const char *invalid,
              const char *notString)
{
    const cp_info *entry = classFile.getConstantInfo(index);
    if (!entry)
        return failed(invalid);
    if (entry->tag != cp_info::CONSTANT_Utf8)
        return failed(notString);
    return Part { &static_cast<const CONSTANT_Utf8_info *>(entry)->value, index, nullptr };
}

Part classPart(const JavaClassFile &classFile, const CONSTANT_Fieldref_info &ref)
{
    const cp_info *entry = classFile.getConstantInfo(ref.class_index);
    if (!entry)
        return failed("invalid class index");
    if (entry->tag != cp_info::CONSTANT_Class)
        return failed("class index is not class info");
    return utf8Part(classFile,
                    static_cast<const CONSTANT_Class_info *>(entry)->name_index,
                    "invalid class name index",
                    "class name info is not a string");
}

/// The reference's NameAndType entry, or null with the failure in `failure`.
const CONSTANT_NameAndType_info *
nameAndType(const JavaClassFile &classFile, const CONSTANT_Fieldref_info &ref, Part &failure)
{
    const cp_info *entry = classFile.getConstantInfo(ref.name_and_type_index);
    if (!entry) {
        failure = failed("invalid name and type index");
        return nullptr;
    }
    if (entry->tag != cp_info::CONSTANT_NameAndType) {
        failure = failed("name and type index is not name and type info");
        return nullptr;
    }
    return static_cast<const CONSTANT_NameAndType_info *>(entry);
}

/// One text of the reference's NameAndType entry: its name or its descriptor, as index says.
Part nameAndTypePart(const JavaClassFile &classFile,
                     const CONSTANT_Fieldref_info &ref,
                     unsigned short CONSTANT_NameAndType_info::*index,
                     const char *invalid,
                     const char *notString)
{
    Part failure {};
    const CONSTANT_NameAndType_info *entry = nameAndType(classFile, ref, failure);
    if (!entry)
        return failure;
    return utf8Part(classFile, entry->*index, invalid, notString);
}

Part namePart(const JavaClassFile &classFile,
              const CONSTANT_Fieldref_info &ref,
              const PartMessages &messages)
{
    return nameAndTypePart(classFile,
                           ref,
                           &CONSTANT_NameAndType_info::name_index,
                           messages.invalidName,
                           messages.nameNotString);
}

Part descriptorPart(const JavaClassFile &classFile,
                    const CONSTANT_Fieldref_info &ref,
                    const PartMessages &messages)
{
    return nameAndTypePart(classFile,
                           ref,
                           &CONSTANT_NameAndType_info::descriptor_index,
                           messages.invalidDescriptor,
                           messages.descriptorNotString);
}

/// One run of the scan over one class file. It runs twice: right after a successful read it only
/// checks the references and the code, its problems going to the class file's log; the lists,
/// with where the class uses each dependency, are collected when first asked for. Most classes
/// that are read are never asked (listings, classes looked up by the access test), and the lists
/// are what makes a class file big and slow to free.
class Scanner
{
public:
    /// lists: where the lists and the uses go; null while the scan only checks.
    Scanner(const JavaClassFile &file, ClassDependencies *lists)
        : file(file)
        , lists(lists)
    {
    }

    void run();

    /// The problems met while checking, in order.
    QStringList errors;

private:
    using Uses = ClassDependencies::Uses;
    using ClassUses = ClassDependencies::ClassUses;

    bool sameMember(DependencyOrigins::Place place, quint16 a, quint16 b);
    /// Notes the use where the scan is, and, while code records a pool entry for the first
    /// time, that this entry is used there.
    void note(Uses &uses);
    void addDeclaredTypes();
    void addPoolFieldReferences();
    void addPoolMethodReferences(unsigned char tag, const char *message);
    const MethodSignature &signatureAt(quint16 index);
    /// The lines of the method's code, for the uses met in it.
    void sortLines(const Code_attribute &code);
    void findDependenciesInCode(int index);
    /// The catch types of a method's exception table, which the JVM resolves when it verifies.
    void addCatchTypes(const Code_attribute &code);
    bool scanInstruction(const QByteArray &code, quint32 &position);
    /// Records what an instruction at `position` uses through its operand, and how.
    void
    recordInstruction(quint32 position, unsigned char operand, quint16 index, unsigned char opcode);
    /// Records a use of a field, method or class operand of an instruction.
    void recordUse(unsigned char operand, quint16 index);
    /// The uses of what the operand names, to which the instruction adds its linkage bits.
    Uses *recordOperand(unsigned char operand, quint16 index);
    ClassUses &classUses(const TypeDescriptor &type, ClassUses::KeySource source);
    /// Inserts the type whatever its kind: the callers filter.
    Uses &addDependentClass(const TypeDescriptor &type);
    void addDeclaredOrPoolType(const TypeDescriptor &type, quint8 linkage = 0);
    void noteClass(const TypeDescriptor &type);
    /// The uses of what is recorded; null for what is no dependency.
    Uses *addDependentClass(const CONSTANT_Class_info &entry);
    Uses *addDependentField(const DepField &field);
    Uses *addDependentMethod(const DepMethod &method);
    Uses *addDependentField(const CONSTANT_Fieldref_info &ref);
    Uses *addDependentMethod(const CONSTANT_Fieldref_info &ref);
    bool isExcludedMethod(const DepMethod &method) const;
    void addMethodClasses(const TypeDescriptor &owner, const MethodSignature &signature);

    const JavaClassFile &file;
    ClassDependencies *lists;

    TypeDescriptor ownType;
    /// Name and descriptor of each field and method the class declares: using them needs no
    /// check, unlike a member of a supertype named through the class itself.
    QSet<QString> ownMembers;
    bool parentIsEnum = false;

    /// The method references of the pool resolved to a class, by pool index (-1 for none): code
    /// that calls them adds the classes of a method the pool step has already recorded.
    std::vector<int> methodSlots;
    std::vector<DepMethod> poolMethods;
    /// Their uses; null for what is no dependency (a method of the class itself).
    std::vector<Uses *> methodUses;
    /// The same for field references.
    std::vector<int> fieldSlots;
    std::vector<DepField> poolFields;
    std::vector<Uses *> fieldUses;
    /// Parsed method descriptors by Utf8 index (-1 for not yet parsed); a deque keeps them in
    /// place.
    std::vector<int> signatureSlots;
    std::deque<MethodSignature> signatures;

    // Code uses the same few references over and over, and recording one again would add
    // nothing to the lists but a use to the same entries: the first recording of a pool entry
    // from code keeps the entries it noted, by pool index, and every further use notes them
    // again. The map nodes stay in place while the lists grow.
    struct NotedRange
    {
        quint32 begin = 0;
        quint32 end = 0;
        bool recorded = false;
    };
    std::vector<NotedRange> notedByEntry;
    std::vector<Uses *> noted;
    bool recording = false;
    /// By pool index, the uses of what an instruction naming the entry uses (the field, the
    /// method, the class or the element class of an array), once code has recorded the entry:
    /// each instruction adds its linkage bits there.
    std::vector<Uses *> linkedByEntry;

    // Where the scan is: the kind of place, the member and, in code, the line, found from the
    // method's line numbers sorted by start_pc (entries outside the code left out). The scan
    // moves forward through the code, and so through the lines.
    Uses::Use at { DependencyOrigins::P_CONSTANT_POOL, 0, 0 };
    std::vector<LineNumberTable_attribute::line_number_t> lines;
    size_t nextLine = 0;

    bool collecting() const { return lists != nullptr; }

    void place(DependencyOrigins::Place where, int member = 0)
    {
        at = Uses::Use { where, quint16(member), 0 };
    }

    /// Moves to the instruction at `pc`: the line is that of the last entry starting at or
    /// before it, 0 when there is none.
    void moveTo(quint32 pc)
    {
        while (nextLine < lines.size() && lines[nextLine].start_pc <= pc)
            ++nextLine;
        at.line = nextLine == 0 ? 0 : lines[nextLine - 1].line_number;
    }
};

} // namespace

// Two members of one name and descriptor are one place, as a finding shows them.
bool Scanner::sameMember(DependencyOrigins::Place place, quint16 a, quint16 b)
{
    if (a == b)
        return true;
    if (place == DependencyOrigins::P_FIELD_TYPE)
        return file.getFieldName(file.fields.at(a)) == file.getFieldName(file.fields.at(b));
    if (!DependencyOrigins::namesMethod(place))
        return true;
    const method_info *first = file.methods.at(a);
    const method_info *second = file.methods.at(b);
    return file.getMethodName(first) == file.getMethodName(second)
        && file.getMethodDescriptor(first) == file.getMethodDescriptor(second);
}

// A place already kept changes nothing; the constant pool is kept only as long as nothing else is.
void Scanner::note(Uses &uses)
{
    if (recording)
        noted.push_back(&uses);
    const Uses::Use &use = at;
    if (use.place == DependencyOrigins::P_CONSTANT_POOL) {
        if (uses.keptCount == 0)
            uses.kept[uses.keptCount++] = use;
        return;
    }
    if (uses.keptCount == 1 && uses.kept[0].place == DependencyOrigins::P_CONSTANT_POOL)
        uses.keptCount = 0;
    for (int i = 0; i < uses.keptCount; ++i) {
        const Uses::Use &kept = uses.kept[i];
        if (kept.place == use.place && kept.line == use.line
            && sameMember(use.place, kept.member, use.member))
            return;
    }
    if (uses.keptCount < DependencyOrigins::maxKept)
        uses.kept[uses.keptCount++] = use;
    else if (uses.more < std::numeric_limits<int>::max())
        ++uses.more;
}

void Scanner::run()
{
    ownType = file.getTypeDescriptor();
    parentIsEnum
        = file.getParentTypeDescriptor().getDescriptor() == QLatin1String("Ljava/lang/Enum;");
    if (collecting()) {
        const size_t slots = size_t(file.constant_pool.size()) + 1;
        notedByEntry.assign(slots, NotedRange());
        methodSlots.assign(slots, -1);
        fieldSlots.assign(slots, -1);
        signatureSlots.assign(slots, -1);
        linkedByEntry.assign(slots, nullptr);
        for (const field_info *field : file.fields)
            ownMembers.insert(file.getFieldName(field) + file.getFieldDescriptor(field));
        for (const method_info *method : file.methods)
            ownMembers.insert(file.getMethodName(method) + file.getMethodDescriptor(method));
        addDeclaredTypes();
    }
    place(DependencyOrigins::P_CONSTANT_POOL);
    addPoolFieldReferences();
    addPoolMethodReferences(
        cp_info::CONSTANT_Methodref,
        "Malformed method reference. Class: %1 Method: %2 Method Signature: %3");
    addPoolMethodReferences(
        cp_info::CONSTANT_InterfaceMethodref,
        "Malformed interface method reference. Class: %1 Method: %2 Method Signature: %3");
    for (int i = 0; i < file.methods.size(); ++i)
        findDependenciesInCode(i);
}

void Scanner::addDeclaredTypes()
{
    place(DependencyOrigins::P_SUPERCLASS);
    if (file.super_class != 0) {
        addDeclaredOrPoolType(file.getParentTypeDescriptor(),
                              Linkage::L_RESOLVED | Linkage::L_SUPERCLASS);
    }
    place(DependencyOrigins::P_INTERFACE);
    for (const cp_info *entry : file.interfaces) {
        addDeclaredOrPoolType(file.getInterfaceTypeDescriptor(entry),
                              Linkage::L_RESOLVED | Linkage::L_INTERFACE);
    }
    for (int i = 0; i < file.fields.size(); ++i) {
        place(DependencyOrigins::P_FIELD_TYPE, i);
        addDeclaredOrPoolType(file.getFieldTypeDescriptor(file.fields.at(i)));
    }
    for (int i = 0; i < file.methods.size(); ++i) {
        const method_info *method = file.methods.at(i);
        place(DependencyOrigins::P_METHOD_SIGNATURE, i);
        const MethodSignature &signature = signatureAt(method->descriptor_index);
        addDeclaredOrPoolType(signature.getReturnType());
        for (const TypeDescriptor &parameter : signature.getParameters())
            addDeclaredOrPoolType(parameter);
        place(DependencyOrigins::P_THROWS, i);
        for (const QString &exception : file.getMethodExceptions(method))
            addDeclaredOrPoolType(TypeDescriptor::fromMungedClassDescriptorName(exception));
    }
}

void Scanner::addPoolFieldReferences()
{
    for (int index = 1; index <= file.constant_pool.size(); ++index) {
        if (file.constant_pool.at(index - 1)->tag != cp_info::CONSTANT_Fieldref)
            continue;
        const auto *ref
            = static_cast<const CONSTANT_Fieldref_info *>(file.constant_pool.at(index - 1));
        const Part owner = classPart(file, *ref);
        const Part name = namePart(file, *ref, FIELD_PARTS);
        const Part descriptor = descriptorPart(file, *ref, FIELD_PARTS);
        if (!owner.resolved() || !name.resolved() || !descriptor.resolved()) {
            if (!collecting()) {
                errors << QStringLiteral(
                              "Malformed field reference. Class: %1 Field: %2 Descriptor: %3")
                              .arg(owner.text(), name.text(), descriptor.text());
            }
            continue;
        }
        if (!collecting())
            continue;
        const TypeDescriptor type(*descriptor.value);
        const TypeDescriptor ownerType
            = TypeDescriptor::fromMungedClassDescriptorName(*owner.value);
        // The owner is resolved with the reference; the field's type is only named.
        addDeclaredOrPoolType(ownerType, Linkage::L_RESOLVED);
        addDeclaredOrPoolType(type);
        // A plain internal name is its own binary name: both give the same owner.
        const bool plain = !owner.value->contains(QLatin1Char('.'))
            && !owner.value->startsWith(QLatin1Char('['));
        DepField field(plain ? ownerType
                             : TypeDescriptor(
                                 TypeDescriptor::fromClassBinaryName(*owner.value).getDescriptor()),
                       *name.value,
                       type);
        Uses *uses = addDependentField(field);
        // Code naming this reference records the same field again when the two owner texts agree
        // (a plain internal name); then only the field's type is left for it to add.
        if (plain) {
            fieldSlots[size_t(index)] = int(poolFields.size());
            poolFields.push_back(std::move(field));
            fieldUses.push_back(uses);
        }
    }
}

void Scanner::addPoolMethodReferences(unsigned char tag, const char *message)
{
    for (int index = 1; index <= file.constant_pool.size(); ++index) {
        if (file.constant_pool.at(index - 1)->tag != tag)
            continue;
        const auto *ref
            = static_cast<const CONSTANT_Fieldref_info *>(file.constant_pool.at(index - 1));
        const Part owner = classPart(file, *ref);
        const Part name = namePart(file, *ref, METHOD_PARTS);
        const Part descriptor = descriptorPart(file, *ref, METHOD_PARTS);
        // The class part of a method reference is the class's descriptor text.
        if (!owner.resolved() || !name.resolved() || !descriptor.resolved()) {
            if (!collecting()) {
                const QString ownerText = owner.resolved()
                    ? JavaClassFile::descriptorOfInternalName(*owner.value)
                    : owner.text();
                errors << QString::fromLatin1(message).arg(
                    ownerText, name.text(), descriptor.text());
            }
            continue;
        }
        if (!collecting())
            continue;
        const TypeDescriptor ownerType
            = TypeDescriptor::fromMungedClassDescriptorName(*owner.value);
        // Methods of arrays (clone) are no dependencies.
        if (!ownerType.isClass())
            continue;
        addDeclaredOrPoolType(ownerType, Linkage::L_RESOLVED);
        DepMethod method(ownerType, *name.value, signatureAt(descriptor.index));
        Uses *uses = addDependentMethod(method);
        if (uses) {
            uses->linkage |= tag == cp_info::CONSTANT_Methodref ? Linkage::L_METHODREF
                                                                : Linkage::L_INTERFACE_METHODREF;
        }
        methodSlots[size_t(index)] = int(poolMethods.size());
        poolMethods.push_back(std::move(method));
        methodUses.push_back(uses);
    }
}

// Method descriptors repeat within a class (one Utf8 entry serves every method and reference of
// that descriptor), so each is parsed once per
const MethodSignature &Scanner::signatureAt(quint16 index)
{
    static const MethodSignature none;
    const QString *descriptor = file.utf8At(index);
    if (!descriptor)
        return none;
    int &slot = signatureSlots[index];
    if (slot < 0) {
        slot = int(signatures.size());
        signatures.emplace_back(*descriptor);
    }
    return signatures[size_t(slot)];
}

// The method's line numbers in start_pc order; entries that start outside its code name no
// instruction and are left out. Bounded by the attributes read, which the reader bounded.
void Scanner::sortLines(const Code_attribute &code)
{
    lines.clear();
    nextLine = 0;
    for (const attribute_info *attribute : code.attributes) {
        if (!file.isLineNumberTable(attribute))
            continue;
        for (const auto &entry :
             static_cast<const LineNumberTable_attribute *>(attribute)->line_number_table) {
            if (entry.start_pc < quint32(code.code.size()))
                lines.push_back(entry);
        }
    }
    std::stable_sort(
        lines.begin(),
        lines.end(),
        [](const LineNumberTable_attribute::line_number_t &a,
           const LineNumberTable_attribute::line_number_t &b) { return a.start_pc < b.start_pc; });
}

void Scanner::findDependenciesInCode(int index)
{
    const method_info *method = file.methods.at(index);
    if (method->access_flags & (JavaClassFile::ACC_NATIVE | JavaClassFile::ACC_ABSTRACT))
        return;
    const Code_attribute *code = file.getMethodCodeAttr(method);
    if (!code) {
        if (!collecting())
            errors << QStringLiteral("%1 has no code segment but is not abstract")
                          .arg(file.getMethodName(method));
        return;
    }
    if (collecting()) {
        place(DependencyOrigins::P_CODE, index);
        sortLines(*code);
    }
    quint32 position = 0;
    while (position < quint32(code->code.size())) {
        if (!scanInstruction(code->code, position)) {
            if (!collecting())
                errors << QStringLiteral("Error parsing code segment");
            return;
        }
    }
    if (collecting())
        addCatchTypes(*code);
}

void Scanner::addCatchTypes(const Code_attribute &code)
{
    for (const Code_attribute::exception_t &handler : code.exception_table) {
        const cp_info *entry = file.getConstantInfo(handler.catch_type);
        if (!entry || entry->tag != cp_info::CONSTANT_Class)
            continue; // 0 catches everything
        // Where the handler starts: the lines were passed on the way through the code.
        nextLine = 0;
        moveTo(handler.handler_pc);
        if (Uses *uses = addDependentClass(*static_cast<const CONSTANT_Class_info *>(entry)))
            uses->linkage |= Linkage::L_RESOLVED;
    }
}

// Acts on the instruction at `position` and moves past it. False for code that cannot be decoded:
// an undefined opcode, operands beyond the code, a malformed switch or an operand that names no
// entry of the kind the instruction needs.
bool Scanner::scanInstruction(const QByteArray &codeArray, quint32 &position)
{
    const uchar *code = reinterpret_cast<const uchar *>(codeArray.constData());
    const quint32 size = quint32(codeArray.size());
    quint32 length = instructionLength(code, size, position);
    // The JVM rejects the class all the same; the scan says so and reads on after the wide.
    if (code[position] == WIDE && position + 1 < size && !isWidened(code[position + 1])) {
        if (!collecting())
            errors << QStringLiteral("Error parsing wide instruction in code segment");
        length = 1;
    }
    if (length == 0)
        return false;

    const Operand operand = operandOfInstruction(code[position]);
    if (operand == OP_FIELD || operand == OP_METHOD || operand == OP_CLASS) {
        const quint16 index = readU2(code, position + 1);
        const cp_info *entry = file.getConstantInfo(index);
        if (!entry || operandOf(entry->tag) != operand)
            return false;
        if (collecting())
            recordInstruction(position, operand, index, code[position]);
    } else if (operand == OP_LDC || operand == OP_LDC_W) {
        const quint16 index = operand == OP_LDC ? code[position + 1] : readU2(code, position + 1);
        const cp_info *entry = file.getConstantInfo(index);
        // Of the loadable constants only a class literal names a class.
        if (collecting() && entry && entry->tag == cp_info::CONSTANT_Class)
            recordInstruction(position, OP_CLASS, index, code[position]);
    }
    position += quint32(length);
    return true;
}

void Scanner::recordInstruction(quint32 position,
                                unsigned char operand,
                                quint16 index,
                                unsigned char opcode)
{
    moveTo(position);
    recordUse(operand, index);
    if (Uses *linked = linkedByEntry[index])
        linked->linkage |= linkageOf(opcode, Operand(operand));
}

void Scanner::recordUse(unsigned char operand, quint16 index)
{
    NotedRange &range = notedByEntry[index];
    if (range.recorded) {
        for (quint32 i = range.begin; i < range.end; ++i)
            note(*noted[i]);
        return;
    }
    range.begin = quint32(noted.size());
    recording = true;
    linkedByEntry[index] = recordOperand(operand, index);
    recording = false;
    range.end = quint32(noted.size());
    range.recorded = true;
}

Scanner::Uses *Scanner::recordOperand(unsigned char operand, quint16 index)
{
    const cp_info *entry = file.constant_pool.at(index - 1);
    if (operand == OP_FIELD && fieldSlots[index] >= 0) {
        // Resolved by the pool step, which has recorded the very same field already.
        const size_t slot = size_t(fieldSlots[index]);
        const DepField &field = poolFields[slot];
        if (field.getType().isClass())
            addDependentClass(field.getType());
        Uses *uses = fieldUses[slot];
        if (uses)
            note(*uses);
        noteClass(field.getOwner());
        return uses;
    }
    if (operand == OP_FIELD)
        return addDependentField(*static_cast<const CONSTANT_Fieldref_info *>(entry));
    if (operand == OP_CLASS)
        return addDependentClass(*static_cast<const CONSTANT_Class_info *>(entry));
    if (methodSlots[index] >= 0) {
        // Resolved by the pool step, which has recorded the very same method already.
        const size_t slot = size_t(methodSlots[index]);
        const DepMethod &method = poolMethods[slot];
        addMethodClasses(method.getOwner(), method.getSignature());
        Uses *uses = methodUses[slot];
        if (uses)
            note(*uses);
        return uses;
    }
    return addDependentMethod(*static_cast<const CONSTANT_Fieldref_info *>(entry));
}

// Two keys printed alike are one key of the lists. The one that stays is the first met in code,
// or else the first met in the declarations and the pool: the key is the class the access test
// looks for. Replacing it keeps the map's order, which is by printed form, and it is replaced in
// place because the scan already holds pointers to the entry's uses.
Scanner::ClassUses &Scanner::classUses(const TypeDescriptor &type, ClassUses::KeySource source)
{
    auto &classes = lists->classes;
    auto found = classes.find(type);
    if (found == classes.end()) {
        found = classes.insert(type, ClassUses());
    } else if (source > found->source && found.key().getDescriptor() != type.getDescriptor()) {
        const_cast<TypeDescriptor &>(found.key()) = type;
    }
    if (source > found->source)
        found->source = source;
    return *found;
}

Scanner::Uses &Scanner::addDependentClass(const TypeDescriptor &type)
{
    Uses &uses = classUses(type, ClassUses::CODE).uses;
    note(uses);
    return uses;
}

// Only a type's class is a dependency: the type itself for the class kind, the element of an
// array of classes.
void Scanner::addDeclaredOrPoolType(const TypeDescriptor &type, quint8 linkage)
{
    const TypeDescriptor *cls = nullptr;
    if (type.isClass())
        cls = &type;
    else if (type.isArray() && type.getElement() && type.getElement()->isClass())
        cls = type.getElement();
    if (!cls)
        return;
    Uses &uses = classUses(*cls, ClassUses::DECLARED_OR_POOL).uses;
    uses.linkage |= linkage;
    note(uses);
}

// Where a class is used without being a dependency of that use, should it be one elsewhere.
void Scanner::noteClass(const TypeDescriptor &type)
{
    if (type.isClass())
        note(classUses(type, ClassUses::NOT_LISTED).uses);
}

// Resolving an array class resolves its element class, which must be there and accessible.
Scanner::Uses *Scanner::addDependentClass(const CONSTANT_Class_info &entry)
{
    const TypeDescriptor type = file.getClassTypeDescriptor(entry);
    if (type.isClass())
        return &addDependentClass(type);
    const TypeDescriptor *element = type.isArray() ? type.getElement() : nullptr;
    return element && element->isClass() ? &addDependentClass(*element) : nullptr;
}

// Fields the class declares are not recorded.
Scanner::Uses *Scanner::addDependentField(const DepField &field)
{
    if (field.getOwner().getDescriptor() == ownType.getDescriptor()
        && ownMembers.contains(field.getName() + field.getType().getDescriptor()))
        return nullptr;
    Uses &uses = lists->fields[field];
    note(uses);
    return &uses;
}

Scanner::Uses *Scanner::addDependentMethod(const DepMethod &method)
{
    if (isExcludedMethod(method))
        return nullptr;
    Uses &uses = lists->methods[method];
    note(uses);
    return &uses;
}
// Methods the class declares and an enum's call of its superclass constructor are not recorded.
bool Scanner::isExcludedMethod(const DepMethod &method) const
{
    if (method.getOwner() == ownType
        && ownMembers.contains(method.getName() + method.getSignature().getDescriptor()))
        return true;
    return parentIsEnum && method.getName() == QLatin1String("<init>")
        && method.getSignature().getDescriptor() == QLatin1String("(Ljava/lang/String;I)V");
}

Scanner::Uses *Scanner::addDependentField(const CONSTANT_Fieldref_info &ref)
{
    const TypeDescriptor type = file.getFieldTypeDescriptor(ref);
    if (type.isClass())
        addDependentClass(type);
    const TypeDescriptor owner(file.getFieldParentClassName(ref));
    Uses *uses = addDependentField(DepField(owner, file.getFieldName(ref), type));
    noteClass(owner);
    return uses;
}

Scanner::Uses *Scanner::addDependentMethod(const CONSTANT_Fieldref_info &ref)
{
    const TypeDescriptor owner(file.getMethodParentClassName(ref));
    if (owner.isArray()) {
        // A method of an array class (clone) resolves the array class, and so its element.
        if (owner.getElement() && owner.getElement()->isClass())
            addDependentClass(*owner.getElement()).linkage |= Linkage::L_RESOLVED;
        return nullptr;
    }
    const MethodSignature signature = file.getMethodSignature(ref);
    addMethodClasses(owner, signature);
    return addDependentMethod(DepMethod(owner, file.getMethodName(ref), signature));
}

void Scanner::addMethodClasses(const TypeDescriptor &owner, const MethodSignature &signature)
{
    addDependentClass(owner);
    if (signature.getReturnType().isClass())
        addDependentClass(signature.getReturnType());
    for (const TypeDescriptor &parameter : signature.getParameters()) {
        if (parameter.isClass())
            addDependentClass(parameter);
    }
}

QStringList DependencyScan::check(const JavaClassFile &file)
{
    Scanner scan(file, nullptr);
    scan.run();
    return scan.errors;
}

std::unique_ptr<ClassDependencies> DependencyScan::collect(const JavaClassFile &file)
{
    auto lists = std::make_unique<ClassDependencies>();
    Scanner scan(file, lists.get());
    scan.run();
    return lists;
}
