// The dependency scan of JavaClassFile: what a class's declarations, constant pool and bytecode
// refer to.

#include "classfile/JavaClassFile.h"

namespace {

// --- The instruction set, as far as the scan needs it ---------------------------------------------

enum Operand : unsigned char {
    OP_NONE,
    OP_FIELD,  // u2 index of a field reference
    OP_METHOD, // u2 index of a method or interface method reference
    OP_CLASS,  // u2 index of a class
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

constexpr void define(InstructionSet &set, int first, int last, unsigned char length, Operand operand = OP_NONE)
{
    for (int opcode = first; opcode <= last; ++opcode)
        set.at[opcode] = Instruction{length, operand};
}

constexpr InstructionSet makeInstructionSet()
{
    InstructionSet set{};
    define(set, 0, 15, 1);
    define(set, 16, 16, 2);    // bipush
    define(set, 17, 17, 3);    // sipush
    define(set, 18, 18, 2);    // ldc
    define(set, 19, 20, 3);    // ldc_w, ldc2_w
    define(set, 21, 25, 2);    // iload ... aload
    define(set, 26, 53, 1);
    define(set, 54, 58, 2);    // istore ... astore
    define(set, 59, 131, 1);
    define(set, 132, 132, 3);  // iinc
    define(set, 133, 152, 1);
    define(set, 153, 168, 3);  // ifeq ... jsr
    define(set, 169, 169, 2);  // ret
    define(set, 170, 170, 0, OP_TABLESWITCH);
    define(set, 171, 171, 0, OP_LOOKUPSWITCH);
    define(set, 172, 177, 1);  // ireturn ... return
    define(set, 178, 181, 3, OP_FIELD);  // getstatic, putstatic, getfield, putfield
    define(set, 182, 184, 3, OP_METHOD); // invokevirtual, invokespecial, invokestatic
    define(set, 185, 185, 5, OP_METHOD); // invokeinterface
    define(set, 186, 186, 5);  // invokedynamic
    define(set, 187, 187, 3, OP_CLASS);  // new
    define(set, 188, 188, 2);  // newarray
    define(set, 189, 189, 3, OP_CLASS);  // anewarray
    define(set, 190, 191, 1);  // arraylength, athrow
    define(set, 192, 193, 3, OP_CLASS);  // checkcast, instanceof
    define(set, 194, 195, 1);  // monitorenter, monitorexit
    define(set, 196, 196, 0, OP_WIDE);
    define(set, 197, 197, 4, OP_CLASS);  // multianewarray
    define(set, 198, 199, 3);  // ifnull, ifnonnull
    define(set, 200, 201, 5);  // goto_w, jsr_w
    return set;
}

constexpr InstructionSet INSTRUCTIONS = makeInstructionSet();

const unsigned char OPCODE_IINC = 132;

bool isLoadStoreOrRet(unsigned char opcode)
{
    return (opcode >= 21 && opcode <= 25) || (opcode >= 54 && opcode <= 58) || opcode == 169;
}

quint16 readU2(const uchar *code, quint32 at)
{
    return quint16((code[at] << 8) | code[at + 1]);
}

qint32 readS4(const uchar *code, quint32 at)
{
    return qint32((quint32(code[at]) << 24) | (quint32(code[at + 1]) << 16) | (quint32(code[at + 2]) << 8) | code[at + 3]);
}

// The length of a tableswitch or lookupswitch at `position`, padding and jump table included;
// 0 when its fixed operands do not fit into the code or its table size is negative.
quint64 switchLength(const uchar *code, quint32 size, quint32 position, Operand kind)
{
    const quint64 operands = position + 1 + (3 - position % 4); // padded to a multiple of 4
    const quint64 fixed = kind == OP_TABLESWITCH ? 12 : 8;      // default, low, high or default, npairs
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

// --- Resolving the parts of a pool reference ------------------------------------------------------

/// One resolved part of a reference: its text, or the reason it failed.
struct Part
{
    QString text;
    bool resolved;
};

struct PartMessages
{
    const char *invalidName;
    const char *nameNotString;
    const char *invalidDescriptor;
    const char *descriptorNotString;
};

const PartMessages FIELD_PARTS = {"invalid field name index", "field name info is not a string",
    "invalid field descriptor index", "field descriptor info is not a string"};
const PartMessages METHOD_PARTS = {"invalid method name index", "method name info is not a string",
    "invalid method signature index", "method signature info is not a string"};

Part failed(const char *message)
{
    return Part{QString::fromLatin1(message), false};
}

Part utf8Part(const JavaClassFile &classFile, unsigned short index, const char *invalid, const char *notString)
{
    const cp_info *entry = classFile.getConstantInfo(index);
    if (!entry)
        return failed(invalid);
    if (entry->tag != cp_info::CONSTANT_Utf8)
        return failed(notString);
    return Part{static_cast<const CONSTANT_Utf8_info *>(entry)->value, true};
}

Part classPart(const JavaClassFile &classFile, const CONSTANT_Fieldref_info &ref)
{
    const cp_info *entry = classFile.getConstantInfo(ref.class_index);
    if (!entry)
        return failed("invalid class index");
    if (entry->tag != cp_info::CONSTANT_Class)
        return failed("class index is not class info");
    return utf8Part(classFile, static_cast<const CONSTANT_Class_info *>(entry)->name_index,
        "invalid class name index", "class name info is not a string");
}

/// The reference's NameAndType entry, or null with the failure in `failure`.
const CONSTANT_NameAndType_info *nameAndType(
    const JavaClassFile &classFile, const CONSTANT_Fieldref_info &ref, Part &failure)
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

Part namePart(const JavaClassFile &classFile, const CONSTANT_Fieldref_info &ref, const PartMessages &messages)
{
    Part failure;
    const CONSTANT_NameAndType_info *entry = nameAndType(classFile, ref, failure);
    if (!entry)
        return failure;
    return utf8Part(classFile, entry->name_index, messages.invalidName, messages.nameNotString);
}

Part descriptorPart(const JavaClassFile &classFile, const CONSTANT_Fieldref_info &ref, const PartMessages &messages)
{
    Part failure;
    const CONSTANT_NameAndType_info *entry = nameAndType(classFile, ref, failure);
    if (!entry)
        return failure;
    return utf8Part(classFile, entry->descriptor_index, messages.invalidDescriptor, messages.descriptorNotString);
}

// Step 6 adds classes: a class itself, or the class an array is made of.
const TypeDescriptor *classOf(const TypeDescriptor &type)
{
    if (type.isClass())
        return &type;
    if (type.isArray() && type.element && type.element->isClass())
        return type.element.get();
    return nullptr;
}

} // namespace

void JavaClassFile::findDependencies()
{
    ownType = getTypeDescriptor();
    parentIsEnum = getParentTypeDescriptor().descriptor == QLatin1String("Ljava/lang/Enum;");

    QList<TypeDescriptor> types;
    addDeclaredTypes(types);
    addPoolFieldReferences(types);
    addPoolMethodReferences(cp_info::CONSTANT_Methodref,
        "Malformed method reference. Class: %1 Method: %2 Method Signature: %3", types);
    addPoolMethodReferences(cp_info::CONSTANT_InterfaceMethodref,
        "Malformed interface method reference. Class: %1 Method: %2 Method Signature: %3", types);
    for (const method_info *method : methods)
        findDependenciesInCode(method);
    for (const TypeDescriptor &type : types) {
        if (const TypeDescriptor *dependency = classOf(type))
            dependentClasses.insert(*dependency, true);
    }
}

void JavaClassFile::addDeclaredTypes(QList<TypeDescriptor> &types) const
{
    if (super_class != 0)
        types.append(getParentTypeDescriptor());
    for (const cp_info *entry : interfaces)
        types.append(getInterfaceTypeDescriptor(entry));
    for (const field_info *field : fields)
        types.append(getFieldTypeDescriptor(field));
    for (const method_info *method : methods) {
        const MethodSignature signature = getMethodSignature(method);
        types.append(signature.returnType);
        types.append(signature.parameters);
        types.append(getMethodExceptionsTypeDescriptors(method));
    }
}

void JavaClassFile::addPoolFieldReferences(QList<TypeDescriptor> &types)
{
    for (const CONSTANT_Fieldref_info *ref : getFieldRefInfos()) {
        const Part owner = classPart(*this, *ref);
        const Part name = namePart(*this, *ref, FIELD_PARTS);
        const Part descriptor = descriptorPart(*this, *ref, FIELD_PARTS);
        if (!owner.resolved || !name.resolved || !descriptor.resolved) {
            checkLog.error(QStringLiteral("Malformed field reference. Class: %1 Field: %2 Descriptor: %3")
                               .arg(owner.text, name.text, descriptor.text));
            continue;
        }
        const TypeDescriptor type(descriptor.text);
        types.append(TypeDescriptor::fromMungedClassDescriptorName(owner.text));
        types.append(type);
        addDependentField(TypeDescriptor::fromClassBinaryName(owner.text).descriptor, name.text, type);
    }
}

void JavaClassFile::addPoolMethodReferences(unsigned char tag, const char *message, QList<TypeDescriptor> &types)
{
    for (const CONSTANT_Fieldref_info *ref : referencesOfKind(tag)) {
        Part owner = classPart(*this, *ref);
        const Part name = namePart(*this, *ref, METHOD_PARTS);
        const Part descriptor = descriptorPart(*this, *ref, METHOD_PARTS);
        if (owner.resolved)
            owner.text = TypeDescriptor::fromMungedClassDescriptorName(owner.text).descriptor;
        if (!owner.resolved || !name.resolved || !descriptor.resolved) {
            checkLog.error(QString::fromLatin1(message).arg(owner.text, name.text, descriptor.text));
            continue;
        }
        const TypeDescriptor ownerType(owner.text);
        // Methods of arrays (clone) are no dependencies.
        if (!ownerType.isClass())
            continue;
        types.append(ownerType);
        addDependentMethod(owner.text, name.text, MethodSignature(descriptor.text));
    }
}

void JavaClassFile::findDependenciesInCode(const method_info *method)
{
    if (method->access_flags & (ACC_NATIVE | ACC_ABSTRACT))
        return;
    const Code_attribute *code = getMethodCodeAttr(method);
    if (!code) {
        checkLog.error(QStringLiteral("%1 has no code segment but is not abstract").arg(getMethodName(method)));
        return;
    }
    quint32 position = 0;
    while (position < quint32(code->code.size())) {
        if (!scanInstruction(code->code, position)) {
            checkLog.error(QStringLiteral("Error parsing code segment"));
            return;
        }
    }
}

// Acts on the instruction at `position` and moves past it. False for code that cannot be decoded:
// an undefined opcode, operands beyond the code, a malformed switch or an operand that names no
// entry of the kind the instruction needs.
bool JavaClassFile::scanInstruction(const QByteArray &codeArray, quint32 &position)
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
            checkLog.error(QStringLiteral("Error parsing wide instruction in code segment"));
            length = 1;
        }
        break;
    default:
        break;
    }
    if (length == 0 || length > size - position)
        return false;

    if (instruction.operand == OP_FIELD || instruction.operand == OP_METHOD || instruction.operand == OP_CLASS) {
        const cp_info *entry = getConstantInfo(readU2(code, position + 1));
        const unsigned char tag = entry ? entry->tag : 0;
        if (instruction.operand == OP_FIELD && tag == cp_info::CONSTANT_Fieldref)
            addDependentField(*static_cast<const CONSTANT_Fieldref_info *>(entry));
        else if (instruction.operand == OP_METHOD
            && (tag == cp_info::CONSTANT_Methodref || tag == cp_info::CONSTANT_InterfaceMethodref))
            addDependentMethod(*static_cast<const CONSTANT_Fieldref_info *>(entry));
        else if (instruction.operand == OP_CLASS && tag == cp_info::CONSTANT_Class)
            addDependentClass(*static_cast<const CONSTANT_Class_info *>(entry));
        else
            return false;
    }
    position += quint32(length);
    return true;
}

void JavaClassFile::addDependentClass(const QString &descriptor)
{
    dependentClasses.insert(TypeDescriptor(descriptor), true);
}

void JavaClassFile::addDependentClass(const CONSTANT_Class_info &entry)
{
    const TypeDescriptor type = getClassTypeDescriptor(entry);
    if (type.isClass())
        dependentClasses.insert(type, true);
}

void JavaClassFile::addDependentField(const QString &owner, const QString &name, const TypeDescriptor &type)
{
    if (owner == ownType.descriptor)
        return;
    dependentFields.insert(DepField(TypeDescriptor(owner), name, type), true);
}

void JavaClassFile::addDependentMethod(const QString &owner, const QString &name, const MethodSignature &signature)
{
    if (owner == ownType.descriptor)
        return;
    // An enum's call of its superclass constructor.
    if (parentIsEnum && name == QLatin1String("<init>")
        && signature.descriptor == QLatin1String("(Ljava/lang/String;I)V"))
        return;
    dependentMethods.insert(DepMethod(TypeDescriptor(owner), name, signature), true);
}

void JavaClassFile::addDependentField(const CONSTANT_Fieldref_info &ref)
{
    const TypeDescriptor type = getFieldTypeDescriptor(ref);
    if (type.isClass())
        dependentClasses.insert(type, true);
    addDependentField(getFieldParentClassName(ref), getFieldName(ref), type);
}

void JavaClassFile::addDependentMethod(const CONSTANT_Fieldref_info &ref)
{
    const TypeDescriptor owner(getMethodParentClassName(ref));
    if (owner.isArray()) {
        if (owner.element && owner.element->isClass())
            dependentClasses.insert(*owner.element, true);
        return;
    }
    const MethodSignature signature = getMethodSignature(ref);
    dependentClasses.insert(owner, true);
    if (signature.returnType.isClass())
        dependentClasses.insert(signature.returnType, true);
    for (const TypeDescriptor &parameter : signature.parameters) {
        if (parameter.isClass())
            dependentClasses.insert(parameter, true);
    }
    addDependentMethod(owner.descriptor, getMethodName(ref), signature);
}
