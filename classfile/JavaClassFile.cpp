#include "classfile/JavaClassFile.h"

#include "classfile/BadClassFileException.h"
#include "classfile/ClassDependencies.h"
#include "classfile/ClassFileCursor.h"
#include "classfile/DependencyScan.h"
#include "classfile/Permission.h"
#include "classfile/Utf8TextTable.h"

#include <QFile>
#include <QFileInfo>
#include <QStringBuilder>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

enum JavaClassFile::AttributeKind : signed char {
    AK_UNKNOWN = 0,
    AK_CONSTANT_VALUE,
    AK_CODE,
    AK_BODY_SKIPPED,
    AK_EXCEPTIONS,
    AK_INNER_CLASSES,
    AK_ENCLOSING_METHOD,
    AK_NO_BODY,
    AK_SIGNATURE,
    AK_SOURCE_FILE,
    AK_SOURCE_DEBUG_EXTENSION,
    AK_STACK_MAP_TABLE,
    AK_LINE_NUMBER_TABLE,
    AK_LOCAL_VARIABLE_TABLE,
    AK_LOCAL_VARIABLE_TYPE_TABLE
};

namespace {

const quint32 CLASS_FILE_MAGIC = 0xCAFEBABE;
// Class-file major versions of the releases that introduced parts of the format.
const quint16 JAVA_5 = 49;
const quint16 JAVA_6 = 50;
const quint16 JAVA_7 = 51;
const quint16 JAVA_8 = 52;
const quint16 JAVA_11 = 55;
// A method's code is at most 64 KiB, and real classes hold far less in all. Past this the code
// outweighs the lists it gives: they are collected at once and the code dropped.
const quint64 MAX_KEPT_CODE = 256 << 10;

[[noreturn]] void failTruncated(quint64 needed, quint32 offset, quint32 left)
{
    throw BadClassFileException(
        QStringLiteral(
            "Class file format error - truncated class file: %1 bytes needed at offset %2, %3 left")
            .arg(needed)
            .arg(offset)
            .arg(left),
        true);
}

// The content of an attribute the reader interprets must fill its length exactly: the JVM rejects
// a class file where it does not, and reading on from anywhere else would be out of step.
[[noreturn]] void failLength(quint32 length)
{
    throw BadClassFileException(
        QStringLiteral("Class file format error - attribute length (%1) does not match its content")
            .arg(length),
        true);
}

// A table of `count` items of at least `itemSize` bytes each must fit into what is left, before
// anything is sized or looped by the count. Inside an attribute, what is left is what its length
// leaves.
void requireTable(const ClassFileCursor &cursor, quint32 count, quint32 itemSize)
{
    const quint64 needed = quint64(count) * itemSize;
    if (needed <= cursor.remaining())
        return;
    if (cursor.isWindow())
        failLength(cursor.length());
    failTruncated(needed, cursor.position(), cursor.remaining());
}

// Runs one item's reading; an error of the reader's own names the item on its way out.
template<typename Place, typename Read> void readItem(const Place &place, const Read &read)
{
    try {
        read();
    } catch (BadClassFileException &e) {
        e.addPlace(place());
        throw;
    }
}

const uchar *takeBytes(ClassFileCursor &cursor, quint32 length)
{
    requireTable(cursor, length, 1);
    return cursor.bytes(length);
}

QByteArray takeByteArray(ClassFileCursor &cursor, quint32 length)
{
    const uchar *bytes = takeBytes(cursor, length);
    return bytes ? QByteArray(reinterpret_cast<const char *>(bytes), int(length)) : QByteArray();
}

// A record made of `Fields` u2 fields, in declaration order: braced initialisation evaluates its
// reads from left to right.
template<typename Entry, int Fields> Entry readU2Fields(ClassFileCursor &cursor)
{
    static_assert(sizeof(Entry) == Fields * sizeof(quint16), "a record of u2 fields only");
    if constexpr (Fields == 1)
        return Entry(cursor.u2());
    else if constexpr (Fields == 2)
        return Entry { cursor.u2(), cursor.u2() };
    else if constexpr (Fields == 4)
        return Entry { cursor.u2(), cursor.u2(), cursor.u2(), cursor.u2() };
    else
        return Entry { cursor.u2(), cursor.u2(), cursor.u2(), cursor.u2(), cursor.u2() };
}

// A table preceded by its u2 count, each entry `sizeof(Entry)` bytes on the wire.
template<typename Entry>
void readU2Table(ClassFileCursor &cursor,
                 QList<Entry> &table,
                 Entry (*readEntry)(ClassFileCursor &))
{
    const quint16 count = cursor.u2();
    requireTable(cursor, count, sizeof(Entry));
    table.reserve(count);
    for (int i = 0; i < count; ++i)
        table.append(readEntry(cursor));
}

template<typename Float, typename Bits> Float fromBits(Bits bits)
{
    static_assert(sizeof(Float) == sizeof(Bits), "IEEE 754 width");
    Float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

template<typename Entry>
Entry *readTwoIndices(ClassFileCursor &cursor,
                      Entry *entry,
                      unsigned short Entry::*first,
                      unsigned short Entry::*second)
{
    entry->*first = cursor.u2();
    entry->*second = cursor.u2();
    return entry;
}

} // namespace

JavaClassFile::~JavaClassFile()
{
    qDeleteAll(attributes);
    qDeleteAll(methods);
    qDeleteAll(fields);
    for (quint32 i = 0; i < poolSlotsUsed; ++i)
        std::launder(reinterpret_cast<cp_info *>(&poolSlots[i]))->~cp_info();
}

// --- Factories -----------------------------------------------------------------------------------

JavaClassFile *JavaClassFile::create(const QString &path)
{
    JavaClassFile *classFile = new JavaClassFile;
    classFile->read(path);
    return classFile;
}

JavaClassFile *JavaClassFile::create(const QByteArray &data)
{
    return create(data.constData(), data.size());
}

JavaClassFile *JavaClassFile::create(const char *data, int size)
{
    JavaClassFile *classFile = new JavaClassFile;
    classFile->read(data, size);
    return classFile;
}

// --- Reading -------------------------------------------------------------------------------------

void JavaClassFile::read(const QString &path)
{
    if (!QFileInfo::exists(path)) {
        checkLog.error(QStringLiteral("File (%1) does not exist").arg(path));
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        checkLog.error(QStringLiteral("Could not open file %1").arg(path));
        return;
    }
    const QByteArray data = file.readAll();
    read(data.constData(), data.size());
}

void JavaClassFile::read(const char *data, int size)
{
    ClassFileCursor cursor(reinterpret_cast<const uchar *>(data),
                           data && size > 0 ? quint32(size) : 0);
    parse(cursor);
}

void JavaClassFile::parse(ClassFileCursor &cursor)
{
    try {
        magic = cursor.u4(); // u4 magic
        // A file too short for its magic is cut short, whatever bytes it starts with.
        if (cursor.hasFailed())
            failTruncated(cursor.failedCount(), cursor.failedOffset(), cursor.remaining());
        if (magic != CLASS_FILE_MAGIC)
            throw BadClassFileException(
                QStringLiteral("Not a Java class file - bad magic (0x%1)").arg(magic, 0, 16));
        minor_version = cursor.u2(); // u2 minor_version
        major_version = cursor.u2(); // u2 major_version
        readConstantPool(cursor);
        checkClassEntries();
        access_flags = cursor.u2(); // u2 access_flags
        checkPoolTags();
        this_class = cursor.u2(); // u2 this_class
        super_class = cursor.u2(); // u2 super_class
        readInterfaces(cursor);
        readMembers(cursor, fields, "Field", AL_FIELD);
        readMembers(cursor, methods, "Method", AL_METHOD);
        readAttributes(cursor, attributes, AL_CLASS);
        // Reading past the end gave zeros; if they happened to form a complete class, the file
        // was still cut short.
        if (cursor.hasFailed())
            failTruncated(cursor.failedCount(), cursor.failedOffset(), cursor.remaining());
    } catch (const BadClassFileException &e) {
        checkLog.error(QString::fromLocal8Bit(e.what()));
        return;
    }
    for (const QString &message : DependencyScan::check(*this))
        checkLog.error(message);
    dependenciesAvailable = true;
    if (getCodeBytes() > MAX_KEPT_CODE) {
        collectDependencies();
        releaseCode();
    }
}

// --- Dependencies --------------------------------------------------------------------------------

const ClassDependencies &JavaClassFile::collectedDependencies() const
{
    // Collecting fills only the lists: the checking run after the read recorded every problem.
    if (!dependencies) {
        dependencies = dependenciesAvailable ? DependencyScan::collect(*this)
                                             : std::make_unique<ClassDependencies>();
    }
    return *dependencies;
}

void JavaClassFile::releaseDependencies() const
{
    if (!codeReleased)
        dependencies.reset();
}

QList<TypeDescriptor> JavaClassFile::getDependentClasses() const
{
    return collectedDependencies().getClasses();
}

QList<DepField> JavaClassFile::getDependentFields() const
{
    return collectedDependencies().getFields();
}

QList<DepMethod> JavaClassFile::getDependentMethods() const
{
    return collectedDependencies().getMethods();
}

DependencyOrigins JavaClassFile::getOrigins(const TypeDescriptor &type) const
{
    return collectedDependencies().getOrigins(*this, type);
}

DependencyOrigins JavaClassFile::getOrigins(const DepField &field) const
{
    return collectedDependencies().getOrigins(*this, field);
}

DependencyOrigins JavaClassFile::getOrigins(const DepMethod &method) const
{
    return collectedDependencies().getOrigins(*this, method);
}

quint8 JavaClassFile::getLinkage(const TypeDescriptor &type) const
{
    return collectedDependencies().getLinkage(type);
}

quint8 JavaClassFile::getLinkage(const DepField &field) const
{
    return collectedDependencies().getLinkage(field);
}

quint8 JavaClassFile::getLinkage(const DepMethod &method) const
{
    return collectedDependencies().getLinkage(method);
}

quint64 JavaClassFile::getCodeBytes() const
{
    // A method can name more than one Code attribute: only the first is scanned, but all are held.
    quint64 bytes = 0;
    for (const method_info *method : methods) {
        for (const attribute_info *attribute : method->attributes) {
            if (attributeKind(attribute->attribute_name_index) == AK_CODE)
                bytes += quint64(static_cast<const Code_attribute *>(attribute)->code.size());
        }
    }
    return bytes;
}

void JavaClassFile::releaseCode()
{
    for (method_info *method : methods) {
        for (attribute_info *attribute : method->attributes) {
            if (attributeKind(attribute->attribute_name_index) != AK_CODE)
                continue;
            auto *code = static_cast<Code_attribute *>(attribute);
            code->code = QByteArray();
            // Line numbers and frames describe the code and go with it.
            const auto described = std::stable_partition(
                code->attributes.begin(), code->attributes.end(), [&](const attribute_info *a) {
                    return !isLineNumberTable(a)
                        && attributeKind(a->attribute_name_index) != AK_STACK_MAP_TABLE;
                });
            qDeleteAll(described, code->attributes.end());
            code->attributes.erase(described, code->attributes.end());
        }
    }
    codeReleased = true;
}

void JavaClassFile::readConstantPool(ClassFileCursor &cursor)
{
    const quint16 count = cursor.u2(); // u2 constant_pool_count
    // The entries are at most count - 1 and a Long's or Double's placeholder past the last index.
    // Every entry but a placeholder takes three bytes or more, and reading past the end stops at
    // the next tag: the reservation never outgrows the input.
    poolSlotCount = qMin<quint32>(count, cursor.remaining() + 2);
    poolSlots.reset(new cp_slot[poolSlotCount]); // the slots stay raw until an entry is made
    constant_pool.reserve(int(poolSlotCount));
    for (int index = 1; index < count;) {
        const quint8 tag = cursor.u1(); // u1 tag
        readItem([&] { return QStringLiteral("constant_pool[%1]").arg(index); },
                 [&] { constant_pool.append(readConstant(cursor, tag)); });
        if (tag == cp_info::CONSTANT_Long || tag == cp_info::CONSTANT_Double) {
            constant_pool.append(makeEntry<cp_info>(cp_info::CONSTANT_Placeholder));
            index += 2;
        } else {
            ++index;
        }
    }
}

// A class entry is nothing but its name: one whose name index leads anywhere else would leave the
// class, its parent or an interface nameless, and a nameless class passes for a missing one.
void JavaClassFile::checkClassEntries() const
{
    for (int index = 1; index <= constant_pool.size(); ++index) {
        const cp_info *entry = constant_pool.at(index - 1);
        if (entry->tag == cp_info::CONSTANT_Class)
            cptest("constant_pool",
                   index,
                   cp_info::CONSTANT_Utf8,
                   static_cast<const CONSTANT_Class_info *>(entry)->name_index);
    }
}

namespace {

// The first class-file version that has constants of the tag.
quint16 sinceMajor(unsigned char tag)
{
    switch (tag) {
    case cp_info::CONSTANT_MethodHandle:
    case cp_info::CONSTANT_MethodType:
    case cp_info::CONSTANT_InvokeDynamic:
        return JAVA_7;
    case cp_info::CONSTANT_Dynamic:
        return JAVA_11;
    default:
        return 0;
    }
}

} // namespace

// The JVM refuses a constant that the file's version does not have yet, and module constants
// outside a module descriptor, also where nothing uses them.
void JavaClassFile::checkPoolTags() const
{
    for (int index = 1; index <= constant_pool.size(); ++index) {
        const unsigned char tag = constant_pool.at(index - 1)->tag;
        const bool moduleTag = tag == cp_info::CONSTANT_Module || tag == cp_info::CONSTANT_Package;
        if (moduleTag && !isModuleDescriptor())
            throw BadClassFileException(
                QStringLiteral(
                    "Class file format error - constant_pool[%1] tag (%2) belongs in a module "
                    "descriptor")
                    .arg(index)
                    .arg(tag));
        if (major_version < sinceMajor(tag))
            throw BadClassFileException(
                QStringLiteral("Class file format error - constant_pool[%1] tag (%2) needs "
                               "class-file version %3 or later, found %4")
                    .arg(index)
                    .arg(tag)
                    .arg(sinceMajor(tag))
                    .arg(major_version));
    }
}

template<typename Entry, typename... Args> Entry *JavaClassFile::makeEntry(Args... args)
{
    if (poolSlotsUsed == poolSlotCount) // never, by the bound of the slots; a guard all the same
        throw BadClassFileException(
            QStringLiteral("Class file format error - constant pool too big"));
    Entry *entry = new (&poolSlots[poolSlotsUsed]) Entry(args...);
    ++poolSlotsUsed;
    return entry;
}

cp_info *JavaClassFile::readConstant(ClassFileCursor &cursor, unsigned char tag)
{
    switch (tag) {
    case cp_info::CONSTANT_Utf8: {
        const quint16 length = cursor.u2(); // u2 length
        const uchar *bytes = takeBytes(cursor, length);
        auto *entry = makeEntry<CONSTANT_Utf8_info>();
        thread_local Utf8TextTable texts;
        entry->value = texts.get(
            std::string_view(reinterpret_cast<const char *>(bytes), bytes ? length : 0));
        return entry;
    }
    case cp_info::CONSTANT_Integer: {
        auto *entry = makeEntry<CONSTANT_Integer_info>();
        entry->bytes = qint32(cursor.u4()); // u4 bytes
        return entry;
    }
    case cp_info::CONSTANT_Float: {
        auto *entry = makeEntry<CONSTANT_Float_info>();
        entry->value = fromBits<float>(cursor.u4()); // u4 bytes
        return entry;
    }
    case cp_info::CONSTANT_Long: {
        auto *entry = makeEntry<CONSTANT_Long_info>();
        entry->value = qint64(cursor.u8()); // u4 high_bytes, u4 low_bytes
        return entry;
    }
    case cp_info::CONSTANT_Double: {
        auto *entry = makeEntry<CONSTANT_Double_info>();
        entry->value = fromBits<double>(cursor.u8()); // u4 high_bytes, u4 low_bytes
        return entry;
    }
    case cp_info::CONSTANT_Class: {
        auto *entry = makeEntry<CONSTANT_Class_info>();
        entry->name_index = cursor.u2(); // u2 name_index
        return entry;
    }
    case cp_info::CONSTANT_String: {
        auto *entry = makeEntry<CONSTANT_String_info>();
        entry->string_index = cursor.u2(); // u2 string_index
        return entry;
    }
    case cp_info::CONSTANT_Fieldref:
    case cp_info::CONSTANT_Methodref:
    case cp_info::CONSTANT_InterfaceMethodref: // u2 class_index, u2 name_and_type_index
        return readTwoIndices(cursor,
                              makeEntry<CONSTANT_Fieldref_info>(tag),
                              &CONSTANT_Fieldref_info::class_index,
                              &CONSTANT_Fieldref_info::name_and_type_index);
    case cp_info::CONSTANT_NameAndType: // u2 name_index, u2 descriptor_index
        return readTwoIndices(cursor,
                              makeEntry<CONSTANT_NameAndType_info>(),
                              &CONSTANT_NameAndType_info::name_index,
                              &CONSTANT_NameAndType_info::descriptor_index);
    case cp_info::CONSTANT_MethodHandle: {
        auto *entry = makeEntry<CONSTANT_MethodHandle_info>();
        entry->reference_kind = cursor.u1(); // u1 reference_kind
        entry->reference_index = cursor.u2(); // u2 reference_index
        return entry;
    }
    case cp_info::CONSTANT_MethodType: {
        auto *entry = makeEntry<CONSTANT_MethodType_info>();
        entry->descriptor_index = cursor.u2(); // u2 descriptor_index
        return entry;
    }
    case cp_info::CONSTANT_Dynamic:
    case cp_info::CONSTANT_InvokeDynamic: // u2 bootstrap_method_attr_index, u2 name_and_type_index
        return readTwoIndices(cursor,
                              makeEntry<CONSTANT_InvokeDynamic_info>(tag),
                              &CONSTANT_InvokeDynamic_info::bootstrap_method_attr_index,
                              &CONSTANT_InvokeDynamic_info::name_and_type_index);
    case cp_info::CONSTANT_Module:
    case cp_info::CONSTANT_Package: {
        auto *entry = makeEntry<CONSTANT_Module_info>(tag);
        entry->name_index = cursor.u2(); // u2 name_index
        return entry;
    }
    default:
        throw BadClassFileException(
            QStringLiteral("Class file format error - unknown constant pool tag (%1)").arg(tag));
    }
}

void JavaClassFile::readInterfaces(ClassFileCursor &cursor)
{
    const quint16 count = cursor.u2(); // u2 interfaces_count
    requireTable(cursor, count, 2);
    interfaces.reserve(count);
    for (int i = 0; i < count; ++i) {
        const quint16 index = cursor.u2(); // u2 interfaces[i]
        cptest("interface", i, cp_info::CONSTANT_Class, index);
        interfaces.append(constant_pool.at(index - 1));
    }
}

template<typename Member>
void JavaClassFile::readMembers(ClassFileCursor &cursor,
                                QList<Member *> &members,
                                const char *label,
                                AttributeLevel level)
{
    const quint16 count = cursor.u2(); // u2 fields_count or methods_count
    requireTable(cursor, count, 8);
    members.reserve(count);
    for (int i = 0; i < count; ++i) {
        std::unique_ptr<Member> member(new Member);
        member->access_flags = cursor.u2(); // u2 access_flags
        member->name_index = cursor.u2(); // u2 name_index
        cptest(label, i, cp_info::CONSTANT_Utf8, member->name_index);
        member->descriptor_index = cursor.u2(); // u2 descriptor_index
        readItem(
            [&] {
                return QStringLiteral("%1[%2] %3")
                    .arg(QLatin1String(label))
                    .arg(i)
                    .arg(*utf8At(member->name_index));
            },
            [&] {
                const bool isStaticField = level == AL_FIELD && (member->access_flags & ACC_STATIC);
                readAttributes(
                    cursor, member->attributes, isStaticField ? level | AL_STATIC_FIELD : level);
            });
        members.append(member.release());
    }
}

void JavaClassFile::readAttributes(ClassFileCursor &cursor,
                                   QList<attribute_info *> &list,
                                   unsigned levels)
{
    const quint16 count = cursor.u2(); // u2 attributes_count
    requireTable(cursor, count, 6);
    list.reserve(list.size() + count);
    for (int i = 0; i < count; ++i) {
        const quint16 nameIndex = cursor.u2(); // u2 attribute_name_index
        cptest("Attr", i, cp_info::CONSTANT_Utf8, nameIndex);
        const quint32 length = cursor.u4(); // u4 attribute_length
        std::unique_ptr<attribute_info> attribute;
        readItem([&] { return QStringLiteral("Attr[%1] %2").arg(i).arg(*utf8At(nameIndex)); },
                 [&] {
                     // The length bounds the content: an attribute never reads into the next.
                     requireTable(cursor, length, 1);
                     ClassFileCursor content = cursor.windowOf(length);
                     attribute.reset(readAttributeContent(
                         content, attributeKindAt(nameIndex, levels), nameIndex, length));
                     if (content.hasFailed() || content.remaining() > 0)
                         failLength(length);
                 });
        if (!attribute)
            continue;
        attribute->attribute_name_index = nameIndex;
        attribute->attribute_length = length;
        list.append(attribute.release());
    }
}

attribute_info *JavaClassFile::readAttributeContent(ClassFileCursor &cursor,
                                                    AttributeKind kind,
                                                    unsigned short nameIndex,
                                                    quint32 length)
{
    switch (kind) {
    case AK_CONSTANT_VALUE: {
        auto *attribute = new ConstantValue_attribute;
        attribute->constantvalue_index = cursor.u2(); // u2 constantvalue_index
        return attribute;
    }
    case AK_CODE:
        return readCode(cursor);
    case AK_BODY_SKIPPED:
        takeBytes(cursor, length);
        return new attribute_info;
    case AK_NO_BODY:
        return new attribute_info;
    case AK_EXCEPTIONS: {
        std::unique_ptr<Exceptions_attribute> attribute(new Exceptions_attribute);
        // u2 number_of_exceptions, u2 exception_index_table[]
        readU2Table(cursor, attribute->exception_index_table, readU2Fields<unsigned short, 1>);
        return attribute.release();
    }
    case AK_INNER_CLASSES: {
        std::unique_ptr<InnerClasses_attribute> attribute(new InnerClasses_attribute);
        // u2 number_of_classes; each: u2 inner_class_info_index, u2 outer_class_info_index,
        // u2 inner_name_index, u2 inner_class_access_flags
        readU2Table(
            cursor, attribute->classes, readU2Fields<InnerClasses_attribute::inner_class_t, 4>);
        return attribute.release();
    }
    case AK_ENCLOSING_METHOD: {
        auto *attribute = new EnclosingMethod_attribute;
        attribute->class_index = cursor.u2(); // u2 class_index
        attribute->method_index = cursor.u2(); // u2 method_index
        return attribute;
    }
    case AK_SIGNATURE: {
        auto *attribute = new Signature_attribute;
        attribute->signature_index = cursor.u2(); // u2 signature_index
        return attribute;
    }
    case AK_SOURCE_FILE: {
        auto *attribute = new SourceFile_attribute;
        attribute->sourcefile_index = cursor.u2(); // u2 sourcefile_index
        return attribute;
    }
    case AK_SOURCE_DEBUG_EXTENSION: {
        std::unique_ptr<SourceDebugExtension_attribute> attribute(
            new SourceDebugExtension_attribute);
        attribute->debug_extension
            = takeByteArray(cursor, length); // u1 debug_extension[attribute_length]
        return attribute.release();
    }
    case AK_STACK_MAP_TABLE: {
        std::unique_ptr<StackMapTable_attribute> attribute(new StackMapTable_attribute);
        attribute->entries = takeByteArray(cursor, length); // u2 number_of_entries, entries
        return attribute.release();
    }
    case AK_LINE_NUMBER_TABLE: {
        std::unique_ptr<LineNumberTable_attribute> attribute(new LineNumberTable_attribute);
        // u2 line_number_table_length; each: u2 start_pc, u2 line_number
        readU2Table(cursor,
                    attribute->line_number_table,
                    readU2Fields<LineNumberTable_attribute::line_number_t, 2>);
        return attribute.release();
    }
    case AK_LOCAL_VARIABLE_TABLE: {
        std::unique_ptr<LocalVariableTable_attribute> attribute(new LocalVariableTable_attribute);
        // u2 local_variable_table_length; each: u2 start_pc, u2 length, u2 name_index,
        // u2 descriptor_index, u2 index
        readU2Table(cursor,
                    attribute->local_variable_table,
                    readU2Fields<LocalVariableTable_attribute::local_variable_t, 5>);
        return attribute.release();
    }
    case AK_LOCAL_VARIABLE_TYPE_TABLE: {
        std::unique_ptr<LocalVariableTypeTable_attribute> attribute(
            new LocalVariableTypeTable_attribute);
        // u2 local_variable_type_table_length; each: u2 start_pc, u2 length, u2 name_index,
        // u2 signature_index, u2 index
        readU2Table(cursor,
                    attribute->local_variable_type_table,
                    readU2Fields<LocalVariableTypeTable_attribute::local_variable_type_t, 5>);
        return attribute.release();
    }
    case AK_UNKNOWN:
        break;
    }
    checkLog.warning(QStringLiteral("Unknown attribute - %1").arg(*utf8At(nameIndex)));
    takeBytes(cursor, length);
    return nullptr;
}

Code_attribute *JavaClassFile::readCode(ClassFileCursor &cursor)
{
    std::unique_ptr<Code_attribute> code(new Code_attribute);
    code->max_stack = cursor.u2(); // u2 max_stack
    code->max_locals = cursor.u2(); // u2 max_locals
    code->code_length = cursor.u4(); // u4 code_length
    code->code = takeByteArray(cursor, code->code_length); // u1 code[code_length]
    // u2 exception_table_length; each: u2 start_pc, u2 end_pc, u2 handler_pc, u2 catch_type
    readU2Table(cursor, code->exception_table, readU2Fields<Code_attribute::exception_t, 4>);
    readAttributes(cursor, code->attributes, AL_CODE);
    return code.release();
}

// Each kind is interpreted only in the tables where the class-file format defines it, and only
// from the version that introduced it; anywhere else the JVM skips an attribute of that name by
// its length, whatever it holds, and so does the reader.
struct JavaClassFile::AttributeName
{
    QLatin1String name;
    AttributeKind kind;
    unsigned char levels;
    quint16 sinceMajor;
};

const JavaClassFile::AttributeName *JavaClassFile::knownAttribute(unsigned short nameIndex) const
{
    const unsigned char member = AL_CLASS | AL_FIELD | AL_STATIC_FIELD | AL_METHOD;
    static const AttributeName names[] = {
        { QLatin1String("Code"), AK_CODE, AL_METHOD, 0 },
        { QLatin1String("LineNumberTable"), AK_LINE_NUMBER_TABLE, AL_CODE, 0 },
        { QLatin1String("StackMapTable"), AK_STACK_MAP_TABLE, AL_CODE, JAVA_6 },
        { QLatin1String("LocalVariableTable"), AK_LOCAL_VARIABLE_TABLE, AL_CODE, 0 },
        { QLatin1String("Signature"), AK_SIGNATURE, member, JAVA_5 },
        { QLatin1String("Exceptions"), AK_EXCEPTIONS, AL_METHOD, 0 },
        { QLatin1String("SourceFile"), AK_SOURCE_FILE, AL_CLASS, 0 },
        { QLatin1String("InnerClasses"), AK_INNER_CLASSES, AL_CLASS, 0 },
        // The JVM reads a constant value for static fields only.
        { QLatin1String("ConstantValue"), AK_CONSTANT_VALUE, AL_STATIC_FIELD, 0 },
        { QLatin1String("LocalVariableTypeTable"), AK_LOCAL_VARIABLE_TYPE_TABLE, AL_CODE, JAVA_5 },
        { QLatin1String("EnclosingMethod"), AK_ENCLOSING_METHOD, AL_CLASS, JAVA_5 },
        { QLatin1String("Synthetic"), AK_NO_BODY, member, 0 },
        { QLatin1String("Deprecated"), AK_NO_BODY, member, 0 },
        { QLatin1String("SourceDebugExtension"), AK_SOURCE_DEBUG_EXTENSION, AL_CLASS, JAVA_5 },
        { QLatin1String("RuntimeVisibleAnnotations"), AK_BODY_SKIPPED, member, JAVA_5 },
        { QLatin1String("RuntimeInvisibleAnnotations"), AK_BODY_SKIPPED, member, JAVA_5 },
        { QLatin1String("RuntimeVisibleParameterAnnotations"), AK_BODY_SKIPPED, AL_METHOD, JAVA_5 },
        { QLatin1String("RuntimeInvisibleParameterAnnotations"),
          AK_BODY_SKIPPED,
          AL_METHOD,
          JAVA_5 },
        { QLatin1String("AnnotationDefault"), AK_BODY_SKIPPED, AL_METHOD, JAVA_5 },
        { QLatin1String("BootstrapMethods"), AK_BODY_SKIPPED, AL_CLASS, JAVA_7 },
        { QLatin1String("RuntimeVisibleTypeAnnotations"),
          AK_BODY_SKIPPED,
          member | AL_CODE,
          JAVA_8 },
        { QLatin1String("RuntimeInvisibleTypeAnnotations"),
          AK_BODY_SKIPPED,
          member | AL_CODE,
          JAVA_8 },
        { QLatin1String("MethodParameters"), AK_BODY_SKIPPED, AL_METHOD, JAVA_8 },
    };
    const QString *name = utf8At(nameIndex);
    if (!name)
        return nullptr;
    if (attributeNames.size() < size_t(constant_pool.size()) + 1)
        attributeNames.assign(size_t(constant_pool.size()) + 1, NAME_NOT_LOOKED_UP);
    signed char &position = attributeNames[nameIndex];
    if (position == NAME_NOT_LOOKED_UP) {
        const auto found
            = std::find_if(std::begin(names), std::end(names), [&](const AttributeName &known) {
                  return *name == known.name;
              });
        position = found == std::end(names) ? NAME_UNKNOWN
                                            : static_cast<signed char>(found - std::begin(names));
    }
    return position == NAME_UNKNOWN ? nullptr : &names[position];
}

JavaClassFile::AttributeKind JavaClassFile::attributeKind(unsigned short nameIndex) const
{
    const AttributeName *known = knownAttribute(nameIndex);
    return known ? known->kind : AK_UNKNOWN;
}

JavaClassFile::AttributeKind JavaClassFile::attributeKindAt(unsigned short nameIndex,
                                                            unsigned levels) const
{
    const AttributeName *known = knownAttribute(nameIndex);
    if (!known || !(known->levels & levels) || major_version < known->sinceMajor)
        return AK_UNKNOWN;
    return known->kind;
}

void JavaClassFile::cptest(const char *table,
                           int position,
                           unsigned char kind,
                           unsigned short index) const
{
    // The label is only built for the message: this check runs for every name in the file.
    const auto label
        = [&] { return QStringLiteral("%1[%2]").arg(QLatin1String(table)).arg(position); };
    if (!constantInfoContains(index))
        throw BadClassFileException(
            QStringLiteral("Class file format error - %1 index (%2) does not exist")
                .arg(label())
                .arg(index));
    const unsigned char found = constant_pool.at(index - 1)->tag;
    if (found != kind)
        throw BadClassFileException(
            QStringLiteral("Class file format error - %1 index (%2) does not point to %3 found %4")
                .arg(label())
                .arg(index)
                .arg(constantInfoToString(kind), constantInfoToString(found)));
}

QString JavaClassFile::constantInfoToString(unsigned char tag)
{
    switch (tag) {
    case cp_info::CONSTANT_Utf8:
        return QStringLiteral("CONSTANT_Utf8");
    case cp_info::CONSTANT_Integer:
        return QStringLiteral("CONSTANT_Integer");
    case cp_info::CONSTANT_Float:
        return QStringLiteral("CONSTANT_Float");
    case cp_info::CONSTANT_Long:
        return QStringLiteral("CONSTANT_Long");
    case cp_info::CONSTANT_Double:
        return QStringLiteral("CONSTANT_Double");
    case cp_info::CONSTANT_Class:
        return QStringLiteral("CONSTANT_Class");
    case cp_info::CONSTANT_String:
        return QStringLiteral("CONSTANT_String");
    case cp_info::CONSTANT_Fieldref:
        return QStringLiteral("CONSTANT_Fieldref");
    case cp_info::CONSTANT_Methodref:
        return QStringLiteral("CONSTANT_Methodref");
    case cp_info::CONSTANT_InterfaceMethodref:
        return QStringLiteral("CONSTANT_InterfaceMethodref");
    case cp_info::CONSTANT_NameAndType:
        return QStringLiteral("CONSTANT_NameAndType");
    default:
        return QStringLiteral("CONSTANT_UNDEFINED!");
    }
}

// --- The pool ------------------------------------------------------------------------------------

const cp_info *JavaClassFile::getConstantInfo(int index) const
{
    return constantInfoContains(index) ? constant_pool.at(index - 1) : nullptr;
}

bool JavaClassFile::constantInfoContains(int index) const
{
    return index >= 1 && index <= constant_pool.size();
}

const cp_info *JavaClassFile::entryOfKind(int index, unsigned char tag) const
{
    const cp_info *entry = getConstantInfo(index);
    return entry && entry->tag == tag ? entry : nullptr;
}

const QString *JavaClassFile::utf8At(int index) const
{
    const cp_info *entry = entryOfKind(index, cp_info::CONSTANT_Utf8);
    return entry ? &static_cast<const CONSTANT_Utf8_info *>(entry)->value : nullptr;
}

const QString *JavaClassFile::classNameAt(int index) const
{
    const cp_info *entry = entryOfKind(index, cp_info::CONSTANT_Class);
    return entry ? utf8At(static_cast<const CONSTANT_Class_info *>(entry)->name_index) : nullptr;
}

// --- This class ----------------------------------------------------------------------------------

QString JavaClassFile::getName() const
{
    const QString *name = classNameAt(this_class);
    return name ? *name : QString();
}

QString JavaClassFile::getParentName() const
{
    const QString *name = super_class ? classNameAt(super_class) : nullptr;
    return name ? *name : QString();
}

// A class index that names no class gives the invalid empty descriptor, as a missing parent does.
TypeDescriptor JavaClassFile::getTypeDescriptor() const
{
    const QString *name = classNameAt(this_class);
    return name ? TypeDescriptor::fromMungedClassDescriptorName(*name) : TypeDescriptor();
}

TypeDescriptor JavaClassFile::getParentTypeDescriptor() const
{
    const QString *name = super_class ? classNameAt(super_class) : nullptr;
    return name ? TypeDescriptor::fromMungedClassDescriptorName(*name) : TypeDescriptor();
}

QString JavaClassFile::getPackage() const
{
    const QString className = getTypeDescriptor().getClassName();
    const int dot = className.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : className.left(dot);
}

QString JavaClassFile::getInterfaceName(const cp_info *entry) const
{
    if (!entry || entry->tag != cp_info::CONSTANT_Class)
        return QString();
    const QString *name = utf8At(static_cast<const CONSTANT_Class_info *>(entry)->name_index);
    return name ? *name : QString();
}

TypeDescriptor JavaClassFile::getInterfaceTypeDescriptor(const cp_info *entry) const
{
    return TypeDescriptor::fromMungedClassDescriptorName(getInterfaceName(entry));
}

bool JavaClassFile::hasInterface(const QString &name) const
{
    for (const cp_info *entry : interfaces) {
        if (getInterfaceName(entry) == name)
            return true;
    }
    return false;
}

// --- Fields and methods --------------------------------------------------------------------------

QString JavaClassFile::getFieldName(const field_info *field) const
{
    const QString *name = utf8At(field->name_index);
    return name ? *name : QString();
}

QString JavaClassFile::getFieldDescriptor(const field_info *field) const
{
    const QString *descriptor = utf8At(field->descriptor_index);
    return descriptor ? *descriptor : QString();
}

TypeDescriptor JavaClassFile::getFieldTypeDescriptor(const field_info *field) const
{
    return TypeDescriptor(getFieldDescriptor(field));
}

int JavaClassFile::getFieldPermission(const field_info *field) const
{
    return Permission::fromAccessFlags(field->access_flags).value;
}

const field_info *JavaClassFile::getFieldByName(const QString &name) const
{
    for (const field_info *field : fields) {
        const QString *fieldName = utf8At(field->name_index);
        if (fieldName && *fieldName == name)
            return field;
    }
    return nullptr;
}

QString JavaClassFile::getMethodName(const method_info *method) const
{
    const QString *name = utf8At(method->name_index);
    return name ? *name : QString();
}

QString JavaClassFile::getMethodDescriptor(const method_info *method) const
{
    const QString *descriptor = utf8At(method->descriptor_index);
    return descriptor ? *descriptor : QString();
}

MethodSignature JavaClassFile::getMethodSignature(const method_info *method) const
{
    return MethodSignature(getMethodDescriptor(method));
}

int JavaClassFile::getMethodPermission(const method_info *method) const
{
    return Permission::fromAccessFlags(method->access_flags).value;
}

QList<const method_info *> JavaClassFile::getMethodsByName(const QString &name) const
{
    QList<const method_info *> found;
    for (const method_info *method : methods) {
        const QString *methodName = utf8At(method->name_index);
        if (methodName && *methodName == name)
            found.append(method);
    }
    return found;
}

const method_info *JavaClassFile::getMethodByNameAndDescriptor(const QString &name,
                                                               const QString &descriptor) const
{
    for (const method_info *method : methods) {
        const QString *methodName = utf8At(method->name_index);
        const QString *methodDescriptor = utf8At(method->descriptor_index);
        if (methodName && methodDescriptor && *methodName == name
            && *methodDescriptor == descriptor)
            return method;
    }
    return nullptr;
}

bool JavaClassFile::isAttr(const attribute_info *attribute, const QString &name) const
{
    const QString *attributeName = attribute ? utf8At(attribute->attribute_name_index) : nullptr;
    return attributeName && *attributeName == name;
}

bool JavaClassFile::isLineNumberTable(const attribute_info *attribute) const
{
    return attributeKind(attribute->attribute_name_index) == AK_LINE_NUMBER_TABLE;
}

const Code_attribute *JavaClassFile::getMethodCodeAttr(const method_info *method) const
{
    // Every attribute named "Code" was read as a Code_attribute.
    for (const attribute_info *attribute : method->attributes) {
        if (attributeKind(attribute->attribute_name_index) == AK_CODE)
            return static_cast<const Code_attribute *>(attribute);
    }
    return nullptr;
}

QStringList JavaClassFile::getMethodExceptions(const method_info *method) const
{
    QStringList names;
    for (const attribute_info *attribute : method->attributes) {
        if (attributeKind(attribute->attribute_name_index) != AK_EXCEPTIONS)
            continue;
        for (unsigned short index :
             static_cast<const Exceptions_attribute *>(attribute)->exception_index_table) {
            if (const QString *name = classNameAt(index))
                names.append(*name);
        }
    }
    return names;
}

QList<TypeDescriptor>
JavaClassFile::getMethodExceptionsTypeDescriptors(const method_info *method) const
{
    QList<TypeDescriptor> types;
    for (const QString &name : getMethodExceptions(method))
        types.append(TypeDescriptor::fromMungedClassDescriptorName(name));
    return types;
}

// --- References of the pool ----------------------------------------------------------------------

QList<const CONSTANT_Fieldref_info *> JavaClassFile::referencesOfKind(unsigned char tag) const
{
    QList<const CONSTANT_Fieldref_info *> references;
    for (const cp_info *entry : constant_pool) {
        if (entry->tag == tag)
            references.append(static_cast<const CONSTANT_Fieldref_info *>(entry));
    }
    return references;
}

QList<const CONSTANT_Fieldref_info *> JavaClassFile::getFieldRefInfos() const
{
    return referencesOfKind(cp_info::CONSTANT_Fieldref);
}

QList<const CONSTANT_Fieldref_info *> JavaClassFile::getMethodRefInfos() const
{
    return referencesOfKind(cp_info::CONSTANT_Methodref);
}

QList<const CONSTANT_Fieldref_info *> JavaClassFile::getInterfaceMethodRefInfos() const
{
    return referencesOfKind(cp_info::CONSTANT_InterfaceMethodref);
}

TypeDescriptor JavaClassFile::getClassTypeDescriptor(const CONSTANT_Class_info &entry) const
{
    const QString *name = utf8At(entry.name_index);
    return name ? TypeDescriptor::fromMungedClassDescriptorName(*name) : TypeDescriptor();
}

const CONSTANT_NameAndType_info *
JavaClassFile::nameAndTypeOf(const CONSTANT_Fieldref_info &ref) const
{
    return static_cast<const CONSTANT_NameAndType_info *>(
        entryOfKind(ref.name_and_type_index, cp_info::CONSTANT_NameAndType));
}

QString JavaClassFile::descriptorOfInternalName(const QString &name)
{
    if (name.startsWith(QLatin1Char('[')))
        return name;
    return QLatin1Char('L') % name % QLatin1Char(';');
}

QString JavaClassFile::referenceParentClassName(const CONSTANT_Fieldref_info &ref) const
{
    const QString *name = classNameAt(ref.class_index);
    return name ? descriptorOfInternalName(*name) : QStringLiteral("INVALID");
}

QString JavaClassFile::referenceName(const CONSTANT_Fieldref_info &ref) const
{
    const CONSTANT_NameAndType_info *nameAndType = nameAndTypeOf(ref);
    const QString *name = nameAndType ? utf8At(nameAndType->name_index) : nullptr;
    return name ? *name : QStringLiteral("INVALID");
}

const QString *JavaClassFile::referenceDescriptor(const CONSTANT_Fieldref_info &ref) const
{
    const CONSTANT_NameAndType_info *nameAndType = nameAndTypeOf(ref);
    return nameAndType ? utf8At(nameAndType->descriptor_index) : nullptr;
}

QString JavaClassFile::getFieldParentClassName(const CONSTANT_Fieldref_info &ref) const
{
    return referenceParentClassName(ref);
}

QString JavaClassFile::getMethodParentClassName(const CONSTANT_Fieldref_info &ref) const
{
    return referenceParentClassName(ref);
}

QString JavaClassFile::getFieldName(const CONSTANT_Fieldref_info &ref) const
{
    return referenceName(ref);
}

QString JavaClassFile::getMethodName(const CONSTANT_Fieldref_info &ref) const
{
    return referenceName(ref);
}

TypeDescriptor JavaClassFile::getFieldTypeDescriptor(const CONSTANT_Fieldref_info &ref) const
{
    const QString *descriptor = referenceDescriptor(ref);
    return descriptor ? TypeDescriptor(*descriptor) : TypeDescriptor();
}

MethodSignature JavaClassFile::getMethodSignature(const CONSTANT_Fieldref_info &ref) const
{
    const QString *descriptor = referenceDescriptor(ref);
    return descriptor ? MethodSignature(*descriptor) : MethodSignature();
}
