// The dependency scan of JavaClassFile: what a class's declarations, constant pool and bytecode
// refer to.

#include "classfile/JavaClassFile.h"

#include "classfile/Linkage.h"

#include <QSet>

#include <algorithm>
#include <deque>
#include <limits>
#include <vector>

struct JavaClassFile::ScanState
{
    /// Where the lists and the uses go; null while the scan only checks.
    Dependencies *lists = nullptr;
    /// The problems met while checking, in order.
    QStringList errors;
    TypeDescriptor ownType;
    /// Name and descriptor of each field and method the class declares: using them needs no
    /// check, unlike a member of a supertype named through the class itself.
    QSet<QString> ownMembers;
    bool parentIsEnum = false;

    /// The method references of the pool resolved to a class, by pool index (-1 for none): code
    /// that calls them adds the classes of a method the pool step has already recorded.
    std::vector<int> methodSlots;
    std::vector<DepMethod> methods;
    /// Their uses; null for what is no dependency (a method of the class itself).
    std::vector<Uses *> methodUses;
    /// The same for field references.
    std::vector<int> fieldSlots;
    std::vector<DepField> fields;
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

namespace {

// --- The instruction set, as far as the scan needs it
// ---------------------------------------------

enum Operand : unsigned char {
    OP_NONE,
    OP_FIELD, // u2 index of a field reference
    OP_METHOD, // u2 index of a method or interface method reference
    OP_CLASS, // u2 index of a class
    OP_LDC, // u1 index of a loadable constant
    OP_LDC_W, // u2 index of a loadable constant
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
    define(set, 18, 18, 2, OP_LDC);
    define(set, 19, 19, 3, OP_LDC_W);
    define(set, 20, 20, 3); // ldc2_w
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
const unsigned char OPCODE_GETSTATIC = 178;
const unsigned char OPCODE_INVOKEVIRTUAL = 182;
const unsigned char OPCODE_NEW = 187;

// What an instruction makes the JVM link in what its operand names.
quint8 linkageOf(unsigned char opcode, Operand operand)
{
    switch (operand) {
    case OP_FIELD: // getstatic, putstatic, getfield, putfield: the bits in this order
        return quint8(Linkage::L_GETSTATIC << (opcode - OPCODE_GETSTATIC));
    case OP_METHOD: // invokevirtual, invokespecial, invokestatic, invokeinterface
        return quint8(Linkage::L_INVOKEVIRTUAL << (opcode - OPCODE_INVOKEVIRTUAL));
    default:
        return opcode == OPCODE_NEW ? Linkage::L_RESOLVED | Linkage::L_NEW : Linkage::L_RESOLVED;
    }
}

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

QList<TypeDescriptor> JavaClassFile::getDependentClasses() const
{
    const QMap<TypeDescriptor, ClassUses> &classes = collectedDependencies().dependentClasses;
    QList<TypeDescriptor> listed;
    listed.reserve(classes.size());
    for (auto it = classes.cbegin(); it != classes.cend(); ++it) {
        if (it->source != ClassUses::NOT_LISTED)
            listed.append(it.key());
    }
    return listed;
}

DependencyOrigins JavaClassFile::getOrigins(const TypeDescriptor &type) const
{
    const auto &classes = collectedDependencies().dependentClasses;
    const auto found = classes.constFind(type);
    return found == classes.cend() ? DependencyOrigins() : originsOf(found->uses);
}

DependencyOrigins JavaClassFile::getOrigins(const DepField &field) const
{
    const auto &fields = collectedDependencies().dependentFields;
    const auto found = fields.constFind(field);
    return found == fields.cend() ? DependencyOrigins() : originsOf(*found);
}

DependencyOrigins JavaClassFile::getOrigins(const DepMethod &method) const
{
    const auto &methods = collectedDependencies().dependentMethods;
    const auto found = methods.constFind(method);
    return found == methods.cend() ? DependencyOrigins() : originsOf(*found);
}

quint8 JavaClassFile::getLinkage(const TypeDescriptor &type) const
{
    const auto &classes = collectedDependencies().dependentClasses;
    const auto found = classes.constFind(type);
    return found == classes.cend() ? 0 : found->uses.linkage;
}

quint8 JavaClassFile::getLinkage(const DepField &field) const
{
    return collectedDependencies().dependentFields.value(field).linkage;
}

quint8 JavaClassFile::getLinkage(const DepMethod &method) const
{
    return collectedDependencies().dependentMethods.value(method).linkage;
}

namespace {

bool hasMethodMember(DependencyOrigins::Place place)
{
    return place == DependencyOrigins::P_CODE || place == DependencyOrigins::P_METHOD_SIGNATURE
        || place == DependencyOrigins::P_THROWS;
}

} // namespace

DependencyOrigins JavaClassFile::originsOf(const Uses &uses) const
{
    DependencyOrigins origins;
    for (int i = 0; i < uses.keptCount; ++i) {
        const Uses::Use &use = uses.kept[i];
        QString member;
        if (hasMethodMember(use.place)) {
            const method_info *method = methods.at(use.member);
            member = getMethodName(method) + getMethodDescriptor(method);
        } else if (use.place == DependencyOrigins::P_FIELD_TYPE) {
            member = getFieldName(fields.at(use.member));
        }
        origins.add({ use.place, member, use.line });
    }
    origins.addMore(uses.more);
    return origins;
}

// Two members of one name and descriptor are one place, as a finding shows them.
bool JavaClassFile::sameMember(DependencyOrigins::Place place, quint16 a, quint16 b) const
{
    if (a == b)
        return true;
    if (place == DependencyOrigins::P_FIELD_TYPE)
        return getFieldName(fields.at(a)) == getFieldName(fields.at(b));
    if (!hasMethodMember(place))
        return true;
    const method_info *first = methods.at(a);
    const method_info *second = methods.at(b);
    return getMethodName(first) == getMethodName(second)
        && getMethodDescriptor(first) == getMethodDescriptor(second);
}

// A place already kept changes nothing; the constant pool is kept only as long as nothing else is.
void JavaClassFile::note(ScanState &scan, Uses &uses) const
{
    if (scan.recording)
        scan.noted.push_back(&uses);
    const Uses::Use &use = scan.at;
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

void JavaClassFile::findDependencies(ScanState &scan) const
{
    scan.ownType = getTypeDescriptor();
    scan.parentIsEnum = getParentTypeDescriptor().descriptor == QLatin1String("Ljava/lang/Enum;");
    if (scan.collecting()) {
        const size_t slots = size_t(constant_pool.size()) + 1;
        scan.notedByEntry.assign(slots, ScanState::NotedRange());
        scan.methodSlots.assign(slots, -1);
        scan.fieldSlots.assign(slots, -1);
        scan.signatureSlots.assign(slots, -1);
        scan.linkedByEntry.assign(slots, nullptr);
        for (const field_info *field : fields)
            scan.ownMembers.insert(getFieldName(field) + getFieldDescriptor(field));
        for (const method_info *method : methods)
            scan.ownMembers.insert(getMethodName(method) + getMethodDescriptor(method));
        addDeclaredTypes(scan);
    }
    scan.place(DependencyOrigins::P_CONSTANT_POOL);
    addPoolFieldReferences(scan);
    addPoolMethodReferences(
        scan,
        cp_info::CONSTANT_Methodref,
        "Malformed method reference. Class: %1 Method: %2 Method Signature: %3");
    addPoolMethodReferences(
        scan,
        cp_info::CONSTANT_InterfaceMethodref,
        "Malformed interface method reference. Class: %1 Method: %2 Method Signature: %3");
    for (int i = 0; i < methods.size(); ++i)
        findDependenciesInCode(scan, i);
}

void JavaClassFile::addDeclaredTypes(ScanState &scan) const
{
    scan.place(DependencyOrigins::P_SUPERCLASS);
    if (super_class != 0) {
        addDeclaredOrPoolType(
            scan, getParentTypeDescriptor(), Linkage::L_RESOLVED | Linkage::L_SUPERCLASS);
    }
    scan.place(DependencyOrigins::P_INTERFACE);
    for (const cp_info *entry : interfaces) {
        addDeclaredOrPoolType(
            scan, getInterfaceTypeDescriptor(entry), Linkage::L_RESOLVED | Linkage::L_INTERFACE);
    }
    for (int i = 0; i < fields.size(); ++i) {
        scan.place(DependencyOrigins::P_FIELD_TYPE, i);
        addDeclaredOrPoolType(scan, getFieldTypeDescriptor(fields.at(i)));
    }
    for (int i = 0; i < methods.size(); ++i) {
        const method_info *method = methods.at(i);
        scan.place(DependencyOrigins::P_METHOD_SIGNATURE, i);
        const MethodSignature &signature = signatureAt(scan, method->descriptor_index);
        addDeclaredOrPoolType(scan, signature.returnType);
        for (const TypeDescriptor &parameter : signature.parameters)
            addDeclaredOrPoolType(scan, parameter);
        scan.place(DependencyOrigins::P_THROWS, i);
        for (const QString &exception : getMethodExceptions(method))
            addDeclaredOrPoolType(scan, TypeDescriptor::fromMungedClassDescriptorName(exception));
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
        // The owner is resolved with the reference; the field's type is only named.
        addDeclaredOrPoolType(
            scan, TypeDescriptor::fromMungedClassDescriptorName(*owner.value), Linkage::L_RESOLVED);
        addDeclaredOrPoolType(scan, type);
        DepField field(TypeDescriptor(TypeDescriptor::fromClassBinaryName(*owner.value).descriptor),
                       *name.value,
                       type);
        Uses *uses = addDependentField(scan, field);
        // Code naming this reference records the same field again when the two owner texts agree
        // (a plain internal name); then only the field's type is left for it to add.
        if (!owner.value->contains(QLatin1Char('.'))
            && !owner.value->startsWith(QLatin1Char('['))) {
            scan.fieldSlots[size_t(index)] = int(scan.fields.size());
            scan.fields.push_back(std::move(field));
            scan.fieldUses.push_back(uses);
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
        addDeclaredOrPoolType(scan, ownerType, Linkage::L_RESOLVED);
        DepMethod method(ownerType, *name.value, signatureAt(scan, descriptor.index));
        Uses *uses = addDependentMethod(scan, method);
        if (uses) {
            uses->linkage |= tag == cp_info::CONSTANT_Methodref ? Linkage::L_METHODREF
                                                                : Linkage::L_INTERFACE_METHODREF;
        }
        scan.methodSlots[size_t(index)] = int(scan.methods.size());
        scan.methods.push_back(std::move(method));
        scan.methodUses.push_back(uses);
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

// The method's line numbers in start_pc order; entries that start outside its code name no
// instruction and are left out. Bounded by the attributes read, which the reader bounded.
void JavaClassFile::sortLines(ScanState &scan, const Code_attribute &code) const
{
    scan.lines.clear();
    scan.nextLine = 0;
    for (const attribute_info *attribute : code.attributes) {
        if (!isLineNumberTable(attribute))
            continue;
        for (const auto &entry :
             static_cast<const LineNumberTable_attribute *>(attribute)->line_number_table) {
            if (entry.start_pc < quint32(code.code.size()))
                scan.lines.push_back(entry);
        }
    }
    std::stable_sort(
        scan.lines.begin(),
        scan.lines.end(),
        [](const LineNumberTable_attribute::line_number_t &a,
           const LineNumberTable_attribute::line_number_t &b) { return a.start_pc < b.start_pc; });
}

void JavaClassFile::findDependenciesInCode(ScanState &scan, int index) const
{
    const method_info *method = methods.at(index);
    if (method->access_flags & (ACC_NATIVE | ACC_ABSTRACT))
        return;
    const Code_attribute *code = getMethodCodeAttr(method);
    if (!code) {
        if (!scan.collecting())
            scan.errors << QStringLiteral("%1 has no code segment but is not abstract")
                               .arg(getMethodName(method));
        return;
    }
    if (scan.collecting()) {
        scan.place(DependencyOrigins::P_CODE, index);
        sortLines(scan, *code);
    }
    quint32 position = 0;
    while (position < quint32(code->code.size())) {
        if (!scanInstruction(scan, code->code, position)) {
            if (!scan.collecting())
                scan.errors << QStringLiteral("Error parsing code segment");
            return;
        }
    }
    if (scan.collecting())
        addCatchTypes(scan, *code);
}

void JavaClassFile::addCatchTypes(ScanState &scan, const Code_attribute &code) const
{
    for (const Code_attribute::exception_t &handler : code.exception_table) {
        const cp_info *entry = getConstantInfo(handler.catch_type);
        if (!entry || entry->tag != cp_info::CONSTANT_Class)
            continue; // 0 catches everything
        // Where the handler starts: the lines were passed on the way through the code.
        scan.nextLine = 0;
        scan.moveTo(handler.handler_pc);
        if (Uses *uses = addDependentClass(scan, *static_cast<const CONSTANT_Class_info *>(entry)))
            uses->linkage |= Linkage::L_RESOLVED;
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
        if (scan.collecting())
            recordInstruction(scan, position, instruction.operand, index, code[position]);
    } else if (instruction.operand == OP_LDC || instruction.operand == OP_LDC_W) {
        const quint16 index
            = instruction.operand == OP_LDC ? code[position + 1] : readU2(code, position + 1);
        const cp_info *entry = getConstantInfo(index);
        // Of the loadable constants only a class literal names a class.
        if (scan.collecting() && entry && entry->tag == cp_info::CONSTANT_Class)
            recordInstruction(scan, position, OP_CLASS, index, code[position]);
    }
    position += quint32(length);
    return true;
}

void JavaClassFile::recordInstruction(ScanState &scan,
                                      quint32 position,
                                      unsigned char operand,
                                      quint16 index,
                                      unsigned char opcode) const
{
    scan.moveTo(position);
    recordUse(scan, operand, index);
    if (Uses *linked = scan.linkedByEntry[index])
        linked->linkage |= linkageOf(opcode, Operand(operand));
}

void JavaClassFile::recordUse(ScanState &scan, unsigned char operand, quint16 index) const
{
    ScanState::NotedRange &range = scan.notedByEntry[index];
    if (range.recorded) {
        for (quint32 i = range.begin; i < range.end; ++i)
            note(scan, *scan.noted[i]);
        return;
    }
    range.begin = quint32(scan.noted.size());
    scan.recording = true;
    scan.linkedByEntry[index] = recordOperand(scan, operand, index);
    scan.recording = false;
    range.end = quint32(scan.noted.size());
    range.recorded = true;
}

JavaClassFile::Uses *
JavaClassFile::recordOperand(ScanState &scan, unsigned char operand, quint16 index) const
{
    const cp_info *entry = constant_pool.at(index - 1);
    if (operand == OP_FIELD && scan.fieldSlots[index] >= 0) {
        // Resolved by the pool step, which has recorded the very same field already.
        const size_t slot = size_t(scan.fieldSlots[index]);
        const DepField &field = scan.fields[slot];
        if (field.type.isClass())
            addDependentClass(scan, field.type);
        Uses *uses = scan.fieldUses[slot];
        if (uses)
            note(scan, *uses);
        noteClass(scan, field.owner);
        return uses;
    }
    if (operand == OP_FIELD)
        return addDependentField(scan, *static_cast<const CONSTANT_Fieldref_info *>(entry));
    if (operand == OP_CLASS)
        return addDependentClass(scan, *static_cast<const CONSTANT_Class_info *>(entry));
    if (scan.methodSlots[index] >= 0) {
        // Resolved by the pool step, which has recorded the very same method already.
        const size_t slot = size_t(scan.methodSlots[index]);
        const DepMethod &method = scan.methods[slot];
        addMethodClasses(scan, method.owner, method.signature);
        Uses *uses = scan.methodUses[slot];
        if (uses)
            note(scan, *uses);
        return uses;
    }
    return addDependentMethod(scan, *static_cast<const CONSTANT_Fieldref_info *>(entry));
}

// Two keys printed alike are one key of the lists. The one that stays is the first met in code,
// or else the first met in the declarations and the pool: the key is the class the access test
// looks for. Replacing it keeps the map's order, which is by printed form, and it is replaced in
// place because the scan already holds pointers to the entry's uses.
JavaClassFile::ClassUses &JavaClassFile::classUses(ScanState &scan,
                                                   const TypeDescriptor &type,
                                                   ClassUses::KeySource source) const
{
    auto &classes = scan.lists->dependentClasses;
    auto found = classes.find(type);
    if (found == classes.end()) {
        found = classes.insert(type, ClassUses());
    } else if (source > found->source && found.key().descriptor != type.descriptor) {
        const_cast<TypeDescriptor &>(found.key()) = type;
    }
    if (source > found->source)
        found->source = source;
    return *found;
}

JavaClassFile::Uses &JavaClassFile::addDependentClass(ScanState &scan,
                                                      const TypeDescriptor &type) const
{
    Uses &uses = classUses(scan, type, ClassUses::CODE).uses;
    note(scan, uses);
    return uses;
}

// Only a type's class is a dependency: the type itself for the class kind, the element of an
// array of classes.
void JavaClassFile::addDeclaredOrPoolType(ScanState &scan,
                                          const TypeDescriptor &type,
                                          quint8 linkage) const
{
    const TypeDescriptor *cls = nullptr;
    if (type.isClass())
        cls = &type;
    else if (type.isArray() && type.element && type.element->isClass())
        cls = type.element.get();
    if (!cls)
        return;
    Uses &uses = classUses(scan, *cls, ClassUses::DECLARED_OR_POOL).uses;
    uses.linkage |= linkage;
    note(scan, uses);
}

// Where a class is used without being a dependency of that use, should it be one elsewhere.
void JavaClassFile::noteClass(ScanState &scan, const TypeDescriptor &type) const
{
    if (type.isClass())
        note(scan, classUses(scan, type, ClassUses::NOT_LISTED).uses);
}

// Resolving an array class resolves its element class, which must be there and accessible.
JavaClassFile::Uses *JavaClassFile::addDependentClass(ScanState &scan,
                                                      const CONSTANT_Class_info &entry) const
{
    const TypeDescriptor type = getClassTypeDescriptor(entry);
    if (type.isClass())
        return &addDependentClass(scan, type);
    const TypeDescriptor *element = type.isArray() ? type.element.get() : nullptr;
    return element && element->isClass() ? &addDependentClass(scan, *element) : nullptr;
}

// Fields the class declares are not recorded.
JavaClassFile::Uses *JavaClassFile::addDependentField(ScanState &scan, const DepField &field) const
{
    if (field.owner.descriptor == scan.ownType.descriptor
        && scan.ownMembers.contains(field.name + field.type.descriptor))
        return nullptr;
    Uses &uses = scan.lists->dependentFields[field];
    note(scan, uses);
    return &uses;
}

JavaClassFile::Uses *JavaClassFile::addDependentMethod(ScanState &scan,
                                                       const DepMethod &method) const
{
    if (isExcludedMethod(scan, method))
        return nullptr;
    Uses &uses = scan.lists->dependentMethods[method];
    note(scan, uses);
    return &uses;
}
// Methods the class declares and an enum's call of its superclass constructor are not recorded.
bool JavaClassFile::isExcludedMethod(const ScanState &scan, const DepMethod &method) const
{
    if (method.owner == scan.ownType
        && scan.ownMembers.contains(method.name + method.signature.descriptor))
        return true;
    return scan.parentIsEnum && method.name == QLatin1String("<init>")
        && method.signature.descriptor == QLatin1String("(Ljava/lang/String;I)V");
}

JavaClassFile::Uses *JavaClassFile::addDependentField(ScanState &scan,
                                                      const CONSTANT_Fieldref_info &ref) const
{
    const TypeDescriptor type = getFieldTypeDescriptor(ref);
    if (type.isClass())
        addDependentClass(scan, type);
    const TypeDescriptor owner(getFieldParentClassName(ref));
    Uses *uses = addDependentField(scan, DepField(owner, getFieldName(ref), type));
    noteClass(scan, owner);
    return uses;
}

JavaClassFile::Uses *JavaClassFile::addDependentMethod(ScanState &scan,
                                                       const CONSTANT_Fieldref_info &ref) const
{
    const TypeDescriptor owner(getMethodParentClassName(ref));
    if (owner.isArray()) {
        // A method of an array class (clone) resolves the array class, and so its element.
        if (owner.element && owner.element->isClass())
            addDependentClass(scan, *owner.element).linkage |= Linkage::L_RESOLVED;
        return nullptr;
    }
    const MethodSignature signature = getMethodSignature(ref);
    addMethodClasses(scan, owner, signature);
    return addDependentMethod(scan, DepMethod(owner, getMethodName(ref), signature));
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
