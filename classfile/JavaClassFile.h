#pragma once

#include "classfile/ClassFileRecords.h"
#include "classfile/DepField.h"
#include "classfile/DepMethod.h"
#include "classfile/DependencyOrigins.h"
#include "classfile/FileCheckLog.h"
#include "classfile/MethodSignature.h"
#include "classfile/TypeDescriptor.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class ClassFileCursor;
class ClassDependencies;

/// One parsed Java class file with the classes, fields and methods its bytecode depends on.
///
/// Reading never throws: every problem is recorded in `checkLog`, and a class file whose log holds
/// an error must not be used beyond what was read. Internal names are the constant pool's form of
/// a class name, with `/` (`java/lang/String`). Pool indices the reader did not validate are
/// resolved defensively: an index out of range or naming another kind of entry gives the empty
/// text, the invalid empty descriptor or "INVALID", as each accessor says.
class JavaClassFile
{
public:
    enum AccessFlag : unsigned short {
        ACC_PUBLIC = 0x0001,
        ACC_PRIVATE = 0x0002,
        ACC_PROTECTED = 0x0004,
        ACC_STATIC = 0x0008,
        ACC_FINAL = 0x0010,
        ACC_NATIVE = 0x0100,
        ACC_ABSTRACT = 0x0400,
        ACC_MODULE = 0x8000
    };

    ~JavaClassFile();
    JavaClassFile(const JavaClassFile &) = delete;
    JavaClassFile &operator=(const JavaClassFile &) = delete;

    // Factories: never null, never throwing; the caller owns the result.
    /// The class file at the path.
    static JavaClassFile *create(const QString &path);
    /// The class file the bytes hold. Bytes never pass for a path: a QByteArray would convert to
    /// one silently.
    static JavaClassFile *create(const QByteArray &data);
    static JavaClassFile *create(const char *data, int size);

    /// The kind name of a pool tag as messages print it.
    static QString constantInfoToString(unsigned char tag);

    // The pool. Indices are 1-based as in the file.
    /// The entry, or null when the index is out of range.
    const cp_info *getConstantInfo(int index) const;
    bool constantInfoContains(int index) const;

    // This class.
    /// A module descriptor (module-info.class) describes a module and is no class: a JVM refuses
    /// to load it as one. Before Java 9 the flag meant nothing.
    bool isModuleDescriptor() const { return (access_flags & ACC_MODULE) && major_version >= 53; }
    QString getName() const;
    QString getParentName() const;
    TypeDescriptor getTypeDescriptor() const;
    TypeDescriptor getParentTypeDescriptor() const;
    QString getPackage() const;
    QString getInterfaceName(const cp_info *entry) const;
    TypeDescriptor getInterfaceTypeDescriptor(const cp_info *entry) const;
    bool hasInterface(const QString &name) const;

    // Fields.
    QString getFieldName(const field_info *field) const;
    QString getFieldDescriptor(const field_info *field) const;
    TypeDescriptor getFieldTypeDescriptor(const field_info *field) const;
    /// A Permission number.
    int getFieldPermission(const field_info *field) const;
    bool isFieldFinal(const field_info *field) const { return field->access_flags & ACC_FINAL; }
    bool isFieldStatic(const field_info *field) const { return field->access_flags & ACC_STATIC; }
    const field_info *getFieldByName(const QString &name) const;

    // Methods.
    QString getMethodName(const method_info *method) const;
    QString getMethodDescriptor(const method_info *method) const;
    MethodSignature getMethodSignature(const method_info *method) const;
    /// A Permission number.
    int getMethodPermission(const method_info *method) const;
    bool isMethodFinal(const method_info *method) const { return method->access_flags & ACC_FINAL; }
    bool isMethodStatic(const method_info *method) const
    {
        return method->access_flags & ACC_STATIC;
    }
    bool isMethodAbstract(const method_info *method) const
    {
        return method->access_flags & ACC_ABSTRACT;
    }
    bool isMethodNative(const method_info *method) const
    {
        return method->access_flags & ACC_NATIVE;
    }
    QList<const method_info *> getMethodsByName(const QString &name) const;
    const method_info *getMethodByNameAndDescriptor(const QString &name,
                                                    const QString &descriptor) const;
    const Code_attribute *getMethodCodeAttr(const method_info *method) const;
    QStringList getMethodExceptions(const method_info *method) const;
    QList<TypeDescriptor> getMethodExceptionsTypeDescriptors(const method_info *method) const;

    bool isAttr(const attribute_info *attribute, const QString &name) const;
    bool isLineNumberTable(const attribute_info *attribute) const;
    /// The text of a Utf8 entry, or null.
    const QString *utf8At(int index) const;
    /// The descriptor text of a class the pool names: array names as they are, others as "L%1;".
    static QString descriptorOfInternalName(const QString &name);

    // References of the pool, in pool order.
    QList<const CONSTANT_Fieldref_info *> getFieldRefInfos() const;
    QList<const CONSTANT_Fieldref_info *> getMethodRefInfos() const;
    QList<const CONSTANT_Fieldref_info *> getInterfaceMethodRefInfos() const;
    TypeDescriptor getClassTypeDescriptor(const CONSTANT_Class_info &entry) const;
    /// The descriptor text of the referenced class, or "INVALID".
    QString getFieldParentClassName(const CONSTANT_Fieldref_info &ref) const;
    QString getMethodParentClassName(const CONSTANT_Fieldref_info &ref) const;
    /// The referenced name, or "INVALID".
    QString getFieldName(const CONSTANT_Fieldref_info &ref) const;
    QString getMethodName(const CONSTANT_Fieldref_info &ref) const;
    TypeDescriptor getFieldTypeDescriptor(const CONSTANT_Fieldref_info &ref) const;
    MethodSignature getMethodSignature(const CONSTANT_Fieldref_info &ref) const;

    // What the bytecode depends on, sorted and free of duplicates.
    QList<TypeDescriptor> getDependentClasses() const;
    QList<DepField> getDependentFields() const;
    QList<DepMethod> getDependentMethods() const;
    /// Collects the three lists now, unless they are already.
    void collectDependencies() const { collectedDependencies(); }
    /// Frees the three lists with their origins; they are collected again when next asked for. A
    /// class file that no longer holds its code keeps them: they could not be collected again.
    void releaseDependencies() const;
    /// Where this class uses a dependency: its methods with their source lines, or the places
    /// outside code. Empty for what is no dependency of it.
    DependencyOrigins getOrigins(const TypeDescriptor &type) const;
    DependencyOrigins getOrigins(const DepField &field) const;
    DependencyOrigins getOrigins(const DepMethod &method) const;
    /// How the class uses a dependency, as bits of Linkage; 0 for what is no dependency of it.
    quint8 getLinkage(const TypeDescriptor &type) const;
    quint8 getLinkage(const DepField &field) const;
    quint8 getLinkage(const DepMethod &method) const;

    /// The bytes of method code the class file holds: none once a class whose code is big has
    /// been scanned (its lists are collected right after the read and kept instead).
    quint64 getCodeBytes() const;
    /// Whether the code was dropped after the scan: nothing can follow it any more.
    bool hasReleasedCode() const { return codeReleased; }

    quint32 magic = 0;
    unsigned short minor_version = 0;
    unsigned short major_version = 0;
    /// Owned (made in poolSlots); the entry of index i at position i - 1.
    QList<cp_info *> constant_pool;
    unsigned short access_flags = 0;
    unsigned short this_class = 0;
    unsigned short super_class = 0;
    /// CONSTANT_Class entries of the pool, in file order.
    QList<const cp_info *> interfaces;
    /// Owned.
    QList<field_info *> fields;
    /// Owned.
    QList<method_info *> methods;
    /// Owned.
    QList<attribute_info *> attributes;
    FileCheckLog checkLog;

private:
    enum AttributeKind : signed char;
    /// The tables attributes stand in, as bits: an attribute kind is interpreted in some of them.
    enum AttributeLevel : unsigned char {
        AL_CLASS = 1,
        AL_FIELD = 2,
        AL_STATIC_FIELD = 4,
        AL_METHOD = 8,
        AL_CODE = 16
    };
    struct AttributeName;

    JavaClassFile() = default;

    void read(const QString &path);
    void read(const char *data, int size);
    void parse(ClassFileCursor &cursor);

    void readConstantPool(ClassFileCursor &cursor);
    cp_info *readConstant(ClassFileCursor &cursor, unsigned char tag);
    /// A new pool entry in the next free slot.
    template<typename Entry, typename... Args> Entry *makeEntry(Args... args);
    void checkClassEntries() const;
    void checkPoolTags() const;
    void readInterfaces(ClassFileCursor &cursor);
    template<typename Member>
    void readMembers(ClassFileCursor &cursor,
                     QList<Member *> &members,
                     const char *label,
                     AttributeLevel level);
    /// levels: the AttributeLevel bits of the table.
    void readAttributes(ClassFileCursor &cursor, QList<attribute_info *> &list, unsigned levels);
    attribute_info *readAttributeContent(ClassFileCursor &cursor,
                                         AttributeKind kind,
                                         unsigned short nameIndex,
                                         quint32 length);
    Code_attribute *readCode(ClassFileCursor &cursor);
    /// The attribute the name stands for, or null for a name the reader does not know.
    const AttributeName *knownAttribute(unsigned short nameIndex) const;
    /// The kind of an attribute kept in some table: kept attributes are of their name's kind.
    AttributeKind attributeKind(unsigned short nameIndex) const;
    /// The kind an attribute of that name is read as in a table of those levels.
    AttributeKind attributeKindAt(unsigned short nameIndex, unsigned levels) const;
    /// Checks a pool index read from the file: in range and of the expected kind. The label is the
    /// table's name and the item's position in it.
    void cptest(const char *table, int position, unsigned char kind, unsigned short index) const;

    const cp_info *entryOfKind(int index, unsigned char tag) const;
    /// The name text of a Class entry with a Utf8 name, or null.
    const QString *classNameAt(int index) const;
    const CONSTANT_NameAndType_info *nameAndTypeOf(const CONSTANT_Fieldref_info &ref) const;
    QString referenceParentClassName(const CONSTANT_Fieldref_info &ref) const;
    QString referenceName(const CONSTANT_Fieldref_info &ref) const;
    const QString *referenceDescriptor(const CONSTANT_Fieldref_info &ref) const;
    QList<const CONSTANT_Fieldref_info *> referencesOfKind(unsigned char tag) const;

    /// Filled on first use; the class file is used by one thread at a time.
    const ClassDependencies &collectedDependencies() const;
    /// Drops the code and its line numbers once the lists are collected and kept.
    void releaseCode();

    /// The pool's entries, made in place: a pool of hundreds of small entries is one allocation.
    std::unique_ptr<cp_slot[]> poolSlots;
    quint32 poolSlotCount = 0;
    quint32 poolSlotsUsed = 0;
    /// Set once the read succeeded: only then are there lists to collect.
    bool dependenciesAvailable = false;
    /// Set once the code is dropped: the lists then stay.
    bool codeReleased = false;
    /// Filled on first use.
    mutable std::unique_ptr<ClassDependencies> dependencies;

    /// Positions of attribute names in the table of known names by pool index, looked up once
    /// each: attribute names repeat a lot.
    static constexpr signed char NAME_NOT_LOOKED_UP = -2;
    static constexpr signed char NAME_UNKNOWN = -1;
    mutable std::vector<signed char> attributeNames;
};
