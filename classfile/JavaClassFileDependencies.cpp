// The dependency scan of JavaClassFile: what a class's declarations, constant pool and bytecode
// refer to.

#include "classfile/JavaClassFile.h"

#include <algorithm>
#include <deque>
#include <iterator>
#include <vector>

struct JavaClassFile::ScanState
{
    /// Where the lists go; null while the scan only checks.
    Dependencies *lists = nullptr;
    /// Where the origins go; null unless they were asked for.
    OriginIndex *origins = nullptr;
    /// The problems met while checking, in order.
    QStringList errors;
    TypeDescriptor ownType;
    bool parentIsEnum = false;
    /// The classes of the declared and referenced types, added last in this order. Only a type's
    /// class is kept (the type itself for the class kind, the element of an array of classes):
    /// nothing else of it is ever added.
    std::vector<TypeDescriptor> types;

    /// Pool entries already recorded from code: recording one again changes nothing, and code
    /// uses the same few references over and over. Origins want every use.
    std::vector<bool> recordedFromCode;
    /// The method references of the pool resolved to a class, by pool index (-1 for none): code
    /// that calls them adds the classes of a method the pool step has already recorded.
    std::vector<int> methodSlots;
    std::vector<DepMethod> methods;
    /// The same for field references.
    std::vector<int> fieldSlots;
    std::vector<DepField> fields;
    /// Parsed method descriptors by Utf8 index (-1 for not yet parsed); a deque keeps them in
    /// place.
    std::vector<int> signatureSlots;
    std::deque<MethodSignature> signatures;

    // Where the scan is, for origins: the kind of place, the member and, in code, the position
    // with the method's line numbers sorted by start_pc (entries outside the code left out).
    DependencyOrigins::Place place = DependencyOrigins::P_CONSTANT_POOL;
    QString member;
    quint32 pc = 0;
    std::vector<LineNumberTable_attribute::line_number_t> lines;

    bool collecting() const { return lists != nullptr; }

    void addType(const TypeDescriptor &type)
    {
        const TypeDescriptor *cls = nullptr;
        if (type.isClass())
            cls = &type;
        else if (type.isArray() && type.element && type.element->isClass())
            cls = type.element.get();
        if (!cls)
            return;
        types.push_back(*cls);
        noteClass(*cls);
    }

    void at(DependencyOrigins::Place where, const QString &what)
    {
        place = where;
        member = what;
    }

    void noteClass(const TypeDescriptor &type)
    {
        if (origins)
            origins->classes[type.descriptor].add(origin());
    }
    void noteField(const DepField &field)
    {
        if (origins)
            origins->fields[field.getKey()].add(origin());
    }
    void noteMethod(const DepMethod &method)
    {
        if (origins)
            origins->methods[method.getKey()].add(origin());
    }

    DependencyOrigins::Origin origin() const
    {
        return DependencyOrigins::Origin { place,
                                           member,
                                           place == DependencyOrigins::P_CODE ? lineAt(pc) : 0 };
    }

    /// The line of the last entry starting at or before pc; 0 when there is none.
    int lineAt(quint32 position) const
    {
        const auto after = std::upper_bound(
            lines.cbegin(),
            lines.cend(),
            position,
            [](quint32 at, const LineNumberTable_attribute::line_number_t &entry) {
                return at < entry.start_pc;
            });
        return after == lines.cbegin() ? 0 : std::prev(after)->line_number;
    }
};

namespace {

// --- The instruction set, as far as the scan needs it
// ---------------------------------------------

enum Operand : unsigned char {
    OP_NONE,
    OP_FIELD, // u2 index of a field reference
    OP_METHOD, // u2 index of a method or interface method reference
    OP_CLASS, // u2 index of a class
    OP_TABLESWITCH,
    OP_LOOKUPSWITCH,
    OP_WIDE,
    OP_UNDEFINED
};

struct Instruction
{
    unsigned char length = 0;
    Operand operand = OP_UNDEFINED;
};

struct InstructionSet
{
    Instruction at[256];
};

constexpr void
define(InstructionSet &set, int first, int last, unsigned char length, Operand operand = OP_NONE)
{
    for (int opcode = first; opcode <= last; ++opcode)
        set.at[opcode] = Instruction { length, operand };
}

constexpr InstructionSet makeInstructionSet()
{
    InstructionSet set {};
    define(set, 0, 15, 1);
    define(set, 16, 16, 2); // bipush
    define(set, 17, 17, 3); // sipush
    define(set, 18, 18, 2); // ldc
    define(set, 19, 20, 3); // ldc_w, ldc2_w
    define(set, 21, 25, 2); // iload ... aload
    define(set, 26, 53, 1);
    define(set, 54, 58, 2); // istore ... astore
    define(set, 59, 131, 1);
    define(set, 132, 132, 3); // iinc
    define(set, 133, 152, 1);
    define(set, 153, 168, 3); // ifeq ... jsr
    define(set, 169, 169, 2); // ret
    define(set, 170, 170, 0, OP_TABLESWITCH);
    define(set, 171, 171, 0, OP_LOOKUPSWITCH);
    define(set, 172, 177, 1); // ireturn ... return
    define(set, 178, 181, 3, OP_FIELD); // getstatic, putstatic, getfield, putfield
    define(set, 182, 184, 3, OP_METHOD); // invokevirtual, invokespecial, invokestatic
    define(set, 185, 185, 5, OP_METHOD); // invokeinterface
    define(set, 186, 186, 5); // invokedynamic
    define(set, 187, 187, 3, OP_CLASS); // new
    define(set, 188, 188, 2); // newarray
    define(set, 189, 189, 3, OP_CLASS); // anewarray
    define(set, 190, 191, 1); // arraylength, athrow
    define(set, 192, 193, 3, OP_CLASS); // checkcast, instanceof
    define(set, 194, 195, 1); // monitorenter, monitorexit
    define(set, 196, 196, 0, OP_WIDE);
    define(set, 197, 197, 4, OP_CLASS); // multianewarray
    define(set, 198, 199, 3); // ifnull, ifnonnull
    define(set, 200, 201, 5); // goto_w, jsr_w
    return set;
}

constexpr InstructionSet INSTRUCTIONS = makeInstructionSet();

const unsigned char OPCODE_IINC = 132;

bool isLoadStoreOrRet(unsigned char opcode)
{
    return (opcode >= 21 && opcode <= 25) || (opcode >= 54 && opcode <= 58) || opcode == 169;
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
        return OP_UNDEFINED;
    }
}

quint16 readU2(const uchar *code, quint32 at)
{
    return quint16((code[at] << 8) | code[at + 1]);
}

qint32 readS4(const uchar *code, quint32 at)
{
    return qint32((quint32(code[at]) << 24) | (quint32(code[at + 1]) << 16)
                  | (quint32(code[at + 2]) << 8) | code[at + 3]);
}

// The length of a tableswitch or lookupswitch at `position`, padding and jump table included;
// 0 when its fixed operands do not fit into the code or its table size is negative.
quint64 switchLength(const uchar *code, quint32 size, quint32 position, Operand kind)
{
    const quint64 operands = position + 1 + (3 - position % 4); // padded to a multiple of 4
    const quint64 fixed = kind == OP_TABLESWITCH ? 12 : 8; // default, low, high or default, npairs
    if (operands + fixed > size)
        return 0;
    quint64 table;
    if (kind == OP_TABLESWITCH) {
        const qint64 low = readS4(code, quint32(operands + 4));
        const qint64 high = readS4(code, quint32(operands + 8));
        if (high < low)
            return 0;
        table = quint64(high - low + 1) * 4;
    } else {
        const qint64 pairs = readS4(code, quint32(operands + 4));
        if (pairs < 0)
            return 0;
        table = quint64(pairs) * 8;
    }
    return operands + fixed + table - position;
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

Part namePart(const JavaClassFile &classFile,
              const CONSTANT_Fieldref_info &ref,
              const PartMessages &messages)
{
    Part failure {};
    const CONSTANT_NameAndType_info *entry = nameAndType(classFile, ref, failure);
    if (!entry)
        return failure;
    return utf8Part(classFile, entry->name_index, messages.invalidName, messages.nameNotString);
}

Part descriptorPart(const JavaClassFile &classFile,
                    const CONSTANT_Fieldref_info &ref,
                    const PartMessages &messages)
{
    Part failure {};
    const CONSTANT_NameAndType_info *entry = nameAndType(classFile, ref, failure);
    if (!entry)
        return failure;
    return utf8Part(classFile,
                    entry->descriptor_index,
                    messages.invalidDescriptor,
                    messages.descriptorNotString);
}

} // namespace

void JavaClassFile::checkDependencies()
{
    ScanState scan;
    findDependencies(scan);
    for (const QString &message : scan.errors)
        checkLog.error(message);
}

const JavaClassFile::Dependencies &JavaClassFile::collectedDependencies() const
{
    if (!dependencies) {
        dependencies = std::make_unique<Dependencies>();
        // Collecting fills only the lists: the checking run already recorded every problem.
        if (dependenciesAvailable) {
            ScanState scan;
            scan.lists = dependencies.get();
            findDependencies(scan);
        }
    }
    return *dependencies;
}

// Its own run, lists and all, so that collecting the lists never pays for the origins.
const JavaClassFile::OriginIndex &JavaClassFile::collectedOrigins() const
{
    if (!origins) {
        origins = std::make_unique<OriginIndex>();
        if (dependenciesAvailable) {
            Dependencies lists;
            ScanState scan;
            scan.lists = &lists;
            scan.origins = origins.get();
            findDependencies(scan);
        }
    }
    return *origins;
}

DependencyOrigins JavaClassFile::getOrigins(const TypeDescriptor &type) const
{
    return collectedOrigins().classes.value(type.descriptor);
}

DependencyOrigins JavaClassFile::getOrigins(const DepField &field) const
{
    return collectedOrigins().fields.value(field.getKey());
}

DependencyOrigins JavaClassFile::getOrigins(const DepMethod &method) const
{
    return collectedOrigins().methods.value(method.getKey());
}

void JavaClassFile::findDependencies(ScanState &scan) const
{
    scan.ownType = getTypeDescriptor();
    scan.parentIsEnum = getParentTypeDescriptor().descriptor == QLatin1String("Ljava/lang/Enum;");
    if (scan.collecting()) {
        scan.recordedFromCode.assign(size_t(constant_pool.size()) + 1, false);
        scan.methodSlots.assign(size_t(constant_pool.size()) + 1, -1);
        scan.fieldSlots.assign(size_t(constant_pool.size()) + 1, -1);
        scan.signatureSlots.assign(size_t(constant_pool.size()) + 1, -1);
        addDeclaredTypes(scan);
    }
    scan.at(DependencyOrigins::P_CONSTANT_POOL, QString());
    addPoolFieldReferences(scan);
    addPoolMethodReferences(
        scan,
        cp_info::CONSTANT_Methodref,
        "Malformed method reference. Class: %1 Method: %2 Method Signature: %3");
    addPoolMethodReferences(
        scan,
        cp_info::CONSTANT_InterfaceMethodref,
        "Malformed interface method reference. Class: %1 Method: %2 Method Signature: %3");
    for (const method_info *method : methods)
        findDependenciesInCode(scan, method);
    // Their origins were noted as they were met.
    if (scan.collecting()) {
        for (const TypeDescriptor &type : scan.types)
            scan.lists->dependentClasses.insert(type, true);
    }
}

void JavaClassFile::addDeclaredTypes(ScanState &scan) const
{
    const bool noting = scan.origins != nullptr;
    scan.at(DependencyOrigins::P_SUPERCLASS, QString());
    if (super_class != 0)
        scan.addType(getParentTypeDescriptor());
    scan.at(DependencyOrigins::P_INTERFACE, QString());
    for (const cp_info *entry : interfaces)
        scan.addType(getInterfaceTypeDescriptor(entry));
    for (const field_info *field : fields) {
        if (noting)
            scan.at(DependencyOrigins::P_FIELD_TYPE, getFieldName(field));
        scan.addType(getFieldTypeDescriptor(field));
    }
    for (const method_info *method : methods) {
        if (noting)
            scan.at(DependencyOrigins::P_METHOD_SIGNATURE,
                    getMethodName(method) + getMethodDescriptor(method));
        const MethodSignature &signature = signatureAt(scan, method->descriptor_index);
        scan.addType(signature.returnType);
        for (const TypeDescriptor &parameter : signature.parameters)
            scan.addType(parameter);
        if (noting)
            scan.place = DependencyOrigins::P_THROWS;
        for (const QString &exception : getMethodExceptions(method))
            scan.addType(TypeDescriptor::fromMungedClassDescriptorName(exception));
    }
}

void JavaClassFile::addPoolFieldReferences(ScanState &scan) const
{
    for (int index = 1; index <= constant_pool.size(); ++index) {
        if (constant_pool.at(index - 1)->tag != cp_info::CONSTANT_Fieldref)
            continue;
        const auto *ref = static_cast<const CONSTANT_Fieldref_info *>(constant_pool.at(index - 1));
        const Part owner = classPart(*this, *ref);
        const Part name = namePart(*this, *ref, FIELD_PARTS);
        const Part descriptor = descriptorPart(*this, *ref, FIELD_PARTS);
        if (!owner.resolved() || !name.resolved() || !descriptor.resolved()) {
            if (!scan.collecting()) {
                scan.errors << QStringLiteral(
                                   "Malformed field reference. Class: %1 Field: %2 Descriptor: %3")
                                   .arg(owner.text(), name.text(), descriptor.text());
            }
            continue;
        }
        if (!scan.collecting())
            continue;
        const TypeDescriptor type(*descriptor.value);
        scan.addType(TypeDescriptor::fromMungedClassDescriptorName(*owner.value));
        scan.addType(type);
        DepField field(TypeDescriptor(TypeDescriptor::fromClassBinaryName(*owner.value).descriptor),
                       *name.value,
                       type);
        addDependentField(scan, field);
        // Code naming this reference records the same field again when the two owner texts agree
        // (a plain internal name); then only the field's type is left for it to add.
        if (!owner.value->contains(QLatin1Char('.'))
            && !owner.value->startsWith(QLatin1Char('['))) {
            scan.fieldSlots[size_t(index)] = int(scan.fields.size());
            scan.fields.push_back(std::move(field));
        }
    }
}

void JavaClassFile::addPoolMethodReferences(ScanState &scan,
                                            unsigned char tag,
                                            const char *message) const
{
    for (int index = 1; index <= constant_pool.size(); ++index) {
        if (constant_pool.at(index - 1)->tag != tag)
            continue;
        const auto *ref = static_cast<const CONSTANT_Fieldref_info *>(constant_pool.at(index - 1));
        const Part owner = classPart(*this, *ref);
        const Part name = namePart(*this, *ref, METHOD_PARTS);
        const Part descriptor = descriptorPart(*this, *ref, METHOD_PARTS);
        // The class part of a method reference is the class's descriptor text.
        const QString ownerText
            = owner.resolved() ? descriptorOfInternalName(*owner.value) : owner.text();
        if (!owner.resolved() || !name.resolved() || !descriptor.resolved()) {
            if (!scan.collecting())
                scan.errors << QString::fromLatin1(message).arg(
                    ownerText, name.text(), descriptor.text());
            continue;
        }
        if (!scan.collecting())
            continue;
        TypeDescriptor ownerType(ownerText);
        // Methods of arrays (clone) are no dependencies.
        if (!ownerType.isClass())
            continue;
        scan.addType(ownerType);
        DepMethod method(ownerType, *name.value, signatureAt(scan, descriptor.index));
        addDependentMethod(scan, method);
        scan.methodSlots[size_t(index)] = int(scan.methods.size());
        scan.methods.push_back(std::move(method));
    }
}

// Method descriptors repeat within a class (one Utf8 entry serves every method and reference of
// that descriptor), so each is parsed once per scan.
const MethodSignature &JavaClassFile::signatureAt(ScanState &scan, quint16 index) const
{
    static const MethodSignature none;
    const QString *descriptor = utf8At(index);
    if (!descriptor)
        return none;
    int &slot = scan.signatureSlots[index];
    if (slot < 0) {
        slot = int(scan.signatures.size());
        scan.signatures.emplace_back(*descriptor);
    }
    return scan.signatures[size_t(slot)];
}

namespace {

// The method's line numbers in start_pc order; entries that start outside its code name no
// instruction and are left out. Bounded by the attributes read, which the reader bounded.
std::vector<LineNumberTable_attribute::line_number_t> sortedLines(const JavaClassFile &classFile,
                                                                  const Code_attribute &code)
{
    std::vector<LineNumberTable_attribute::line_number_t> lines;
    for (const attribute_info *attribute : code.attributes) {
        if (!classFile.isAttr(attribute, QStringLiteral("LineNumberTable")))
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
    return lines;
}

} // namespace

void JavaClassFile::findDependenciesInCode(ScanState &scan, const method_info *method) const
{
    if (method->access_flags & (ACC_NATIVE | ACC_ABSTRACT))
        return;
    const Code_attribute *code = getMethodCodeAttr(method);
    if (!code) {
        if (!scan.collecting())
            scan.errors << QStringLiteral("%1 has no code segment but is not abstract")
                               .arg(getMethodName(method));
        return;
    }
    if (scan.origins) {
        scan.at(DependencyOrigins::P_CODE, getMethodName(method) + getMethodDescriptor(method));
        scan.lines = sortedLines(*this, *code);
    }
    quint32 position = 0;
    while (position < quint32(code->code.size())) {
        if (!scanInstruction(scan, code->code, position)) {
            if (!scan.collecting())
                scan.errors << QStringLiteral("Error parsing code segment");
            return;
        }
    }
}

// Acts on the instruction at `position` and moves past it. False for code that cannot be decoded:
// an undefined opcode, operands beyond the code, a malformed switch or an operand that names no
// entry of the kind the instruction needs.
bool JavaClassFile::scanInstruction(ScanState &scan,
                                    const QByteArray &codeArray,
                                    quint32 &position) const
{
    const uchar *code = reinterpret_cast<const uchar *>(codeArray.constData());
    const quint32 size = quint32(codeArray.size());
    const Instruction instruction = INSTRUCTIONS.at[code[position]];
    quint64 length = instruction.length;
    switch (instruction.operand) {
    case OP_UNDEFINED:
        return false;
    case OP_TABLESWITCH:
    case OP_LOOKUPSWITCH:
        length = switchLength(code, size, position, instruction.operand);
        break;
    case OP_WIDE:
        if (position + 1 >= size)
            return false;
        if (code[position + 1] == OPCODE_IINC) {
            length = 6;
        } else if (isLoadStoreOrRet(code[position + 1])) {
            length = 4;
        } else {
            if (!scan.collecting())
                scan.errors << QStringLiteral("Error parsing wide instruction in code segment");
            length = 1;
        }
        break;
    default:
        break;
    }
    if (length == 0 || length > size - position)
        return false;

    if (instruction.operand == OP_FIELD || instruction.operand == OP_METHOD
        || instruction.operand == OP_CLASS) {
        const quint16 index = readU2(code, position + 1);
        const cp_info *entry = getConstantInfo(index);
        if (!entry || operandOf(entry->tag) != instruction.operand)
            return false;
        if (scan.collecting() && (scan.origins || !scan.recordedFromCode[index])) {
            scan.recordedFromCode[index] = true;
            scan.pc = position;
            recordOperand(scan, instruction.operand, index);
        }
    }
    position += quint32(length);
    return true;
}

void JavaClassFile::recordOperand(ScanState &scan, unsigned char operand, quint16 index) const
{
    const cp_info *entry = constant_pool.at(index - 1);
    if (operand == OP_FIELD && scan.fieldSlots[index] >= 0) {
        // Resolved by the pool step, which has recorded the very same field already.
        const DepField &field = scan.fields[size_t(scan.fieldSlots[index])];
        if (field.type.isClass())
            addDependentClass(scan, field.type);
        scan.noteField(field);
        scan.noteClass(field.owner);
    } else if (operand == OP_FIELD) {
        addDependentField(scan, *static_cast<const CONSTANT_Fieldref_info *>(entry));
    } else if (operand == OP_CLASS) {
        addDependentClass(scan, *static_cast<const CONSTANT_Class_info *>(entry));
    } else if (scan.methodSlots[index] >= 0) {
        // Resolved by the pool step, which has recorded the very same method already.
        const DepMethod &method = scan.methods[size_t(scan.methodSlots[index])];
        addMethodClasses(scan, method.owner, method.signature);
        scan.noteMethod(method);
    } else {
        addDependentMethod(scan, *static_cast<const CONSTANT_Fieldref_info *>(entry));
    }
}

void JavaClassFile::addDependentClass(ScanState &scan, const TypeDescriptor &type) const
{
    scan.lists->dependentClasses.insert(type, true);
    scan.noteClass(type);
}

void JavaClassFile::addDependentClass(ScanState &scan, const CONSTANT_Class_info &entry) const
{
    const TypeDescriptor type = getClassTypeDescriptor(entry);
    if (type.isClass()) {
        addDependentClass(scan, type);
    } else if (type.isArray() && type.element && type.element->isClass()) {
        // Not a dependency of its own (an array of a class the scan finds elsewhere), but where
        // the element class is used.
        scan.noteClass(*type.element);
    }
}

// Fields of the class itself are not recorded.
void JavaClassFile::addDependentField(ScanState &scan, const DepField &field) const
{
    if (field.owner.descriptor != scan.ownType.descriptor)
        scan.lists->dependentFields.insert(field, true);
    scan.noteField(field);
}

void JavaClassFile::addDependentMethod(ScanState &scan, const DepMethod &method) const
{
    if (!isExcludedMethod(scan, method))
        scan.lists->dependentMethods.insert(method, true);
    scan.noteMethod(method);
}

// Methods of the class itself and an enum's call of its superclass constructor are not recorded.
bool JavaClassFile::isExcludedMethod(const ScanState &scan, const DepMethod &method) const
{
    if (method.owner == scan.ownType)
        return true;
    return scan.parentIsEnum && method.name == QLatin1String("<init>")
        && method.signature.descriptor == QLatin1String("(Ljava/lang/String;I)V");
}

void JavaClassFile::addDependentField(ScanState &scan, const CONSTANT_Fieldref_info &ref) const
{
    const TypeDescriptor type = getFieldTypeDescriptor(ref);
    if (type.isClass())
        addDependentClass(scan, type);
    const TypeDescriptor owner(getFieldParentClassName(ref));
    addDependentField(scan, DepField(owner, getFieldName(ref), type));
    scan.noteClass(owner);
}

void JavaClassFile::addDependentMethod(ScanState &scan, const CONSTANT_Fieldref_info &ref) const
{
    const TypeDescriptor owner(getMethodParentClassName(ref));
    if (owner.isArray()) {
        if (owner.element && owner.element->isClass())
            addDependentClass(scan, *owner.element);
        return;
    }
    const MethodSignature signature = getMethodSignature(ref);
    addMethodClasses(scan, owner, signature);
    addDependentMethod(scan, DepMethod(owner, getMethodName(ref), signature));
}

void JavaClassFile::addMethodClasses(ScanState &scan,
                                     const TypeDescriptor &owner,
                                     const MethodSignature &signature) const
{
    addDependentClass(scan, owner);
    if (signature.returnType.isClass())
        addDependentClass(scan, signature.returnType);
    for (const TypeDescriptor &parameter : signature.parameters) {
        if (parameter.isClass())
            addDependentClass(scan, parameter);
    }
}
