#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <type_traits>

// The records a class file is read into, named and laid out as in the class-file format. Every
// record is owned by the JavaClassFile (or by the record holding it) and never copied; pool entries
// share one block, the others are allocated on their own.

/// One constant-pool entry; `tag` tells its kind and so its record type. The tag 255 marks the
/// placeholder that follows every Long and Double, so that list positions match pool indices.
struct cp_info
{
    enum Tag : unsigned char {
        CONSTANT_Utf8 = 1,
        CONSTANT_Integer = 3,
        CONSTANT_Float = 4,
        CONSTANT_Long = 5,
        CONSTANT_Double = 6,
        CONSTANT_Class = 7,
        CONSTANT_String = 8,
        CONSTANT_Fieldref = 9,
        CONSTANT_Methodref = 10,
        CONSTANT_InterfaceMethodref = 11,
        CONSTANT_NameAndType = 12,
        CONSTANT_MethodHandle = 15,
        CONSTANT_MethodType = 16,
        CONSTANT_Dynamic = 17,
        CONSTANT_InvokeDynamic = 18,
        CONSTANT_Module = 19,
        CONSTANT_Package = 20,
        CONSTANT_Placeholder = 255
    };

    explicit cp_info(unsigned char tag)
        : tag(tag)
    {
    }
    virtual ~cp_info() = default;
    Q_DISABLE_COPY(cp_info)

    unsigned char tag;
};

struct CONSTANT_Utf8_info : cp_info
{
    CONSTANT_Utf8_info()
        : cp_info(CONSTANT_Utf8)
    {
    }
    QString value;
};

struct CONSTANT_Integer_info : cp_info
{
    CONSTANT_Integer_info()
        : cp_info(CONSTANT_Integer)
    {
    }
    qint32 bytes = 0;
};

struct CONSTANT_Float_info : cp_info
{
    CONSTANT_Float_info()
        : cp_info(CONSTANT_Float)
    {
    }
    float value = 0;
};

struct CONSTANT_Long_info : cp_info
{
    CONSTANT_Long_info()
        : cp_info(CONSTANT_Long)
    {
    }
    qint64 value = 0;
};

struct CONSTANT_Double_info : cp_info
{
    CONSTANT_Double_info()
        : cp_info(CONSTANT_Double)
    {
    }
    double value = 0;
};

struct CONSTANT_Class_info : cp_info
{
    CONSTANT_Class_info()
        : cp_info(CONSTANT_Class)
    {
    }
    unsigned short name_index = 0;
};

struct CONSTANT_String_info : cp_info
{
    CONSTANT_String_info()
        : cp_info(CONSTANT_String)
    {
    }
    unsigned short string_index = 0;
};

/// Field, method and interface-method references share one record; the tag tells them apart.
struct CONSTANT_Fieldref_info : cp_info
{
    explicit CONSTANT_Fieldref_info(unsigned char tag)
        : cp_info(tag)
    {
    }
    unsigned short class_index = 0;
    unsigned short name_and_type_index = 0;
};

struct CONSTANT_NameAndType_info : cp_info
{
    CONSTANT_NameAndType_info()
        : cp_info(CONSTANT_NameAndType)
    {
    }
    unsigned short name_index = 0;
    unsigned short descriptor_index = 0;
};

struct CONSTANT_MethodHandle_info : cp_info
{
    CONSTANT_MethodHandle_info()
        : cp_info(CONSTANT_MethodHandle)
    {
    }
    unsigned char reference_kind = 0;
    unsigned short reference_index = 0;
};

struct CONSTANT_MethodType_info : cp_info
{
    CONSTANT_MethodType_info()
        : cp_info(CONSTANT_MethodType)
    {
    }
    unsigned short descriptor_index = 0;
};

/// InvokeDynamic and Dynamic share one record; the tag tells them apart.
struct CONSTANT_InvokeDynamic_info : cp_info
{
    explicit CONSTANT_InvokeDynamic_info(unsigned char tag = CONSTANT_InvokeDynamic)
        : cp_info(tag)
    {
    }
    unsigned short bootstrap_method_attr_index = 0;
    unsigned short name_and_type_index = 0;
};

/// Module and Package share one record; the tag tells them apart. Only module descriptors hold
/// them.
struct CONSTANT_Module_info : cp_info
{
    explicit CONSTANT_Module_info(unsigned char tag)
        : cp_info(tag)
    {
    }
    unsigned short name_index = 0;
};

/// Room for one pool entry of any kind: a class file makes its pool's entries in one block, not
/// one allocation each.
using cp_slot = std::aligned_union_t<0,
                                     CONSTANT_Utf8_info,
                                     CONSTANT_Integer_info,
                                     CONSTANT_Float_info,
                                     CONSTANT_Long_info,
                                     CONSTANT_Double_info,
                                     CONSTANT_Class_info,
                                     CONSTANT_String_info,
                                     CONSTANT_Fieldref_info,
                                     CONSTANT_NameAndType_info,
                                     CONSTANT_MethodHandle_info,
                                     CONSTANT_MethodType_info,
                                     CONSTANT_InvokeDynamic_info,
                                     CONSTANT_Module_info>;

/// An attribute that was kept. The kinds without content ("Synthetic",
/// annotations and the like) are plain attribute_info records.
struct attribute_info
{
    attribute_info() = default;
    virtual ~attribute_info() = default;
    Q_DISABLE_COPY(attribute_info)

    unsigned short attribute_name_index = 0;
    unsigned int attribute_length = 0;
};

struct ConstantValue_attribute : attribute_info
{
    unsigned short constantvalue_index = 0;
};

struct Code_attribute : attribute_info
{
    ~Code_attribute() override;

    struct exception_t
    {
        unsigned short start_pc;
        unsigned short end_pc;
        unsigned short handler_pc;
        unsigned short catch_type;
    };

    unsigned short max_stack = 0;
    unsigned short max_locals = 0;
    unsigned int code_length = 0;
    /// Exactly code_length bytes; none once the class file has dropped its code (see
    /// JavaClassFile::getCodeBytes).
    QByteArray code;
    QList<exception_t> exception_table;
    /// Owned.
    QList<attribute_info *> attributes;
};

struct Exceptions_attribute : attribute_info
{
    QList<unsigned short> exception_index_table;
};

struct InnerClasses_attribute : attribute_info
{
    struct inner_class_t
    {
        unsigned short inner_class_info_index;
        unsigned short outer_class_info_index;
        unsigned short inner_name_index;
        unsigned short inner_class_access_flags;
    };
    QList<inner_class_t> classes;
};

struct EnclosingMethod_attribute : attribute_info
{
    unsigned short class_index = 0;
    unsigned short method_index = 0;
};

struct Signature_attribute : attribute_info
{
    unsigned short signature_index = 0;
};

struct SourceFile_attribute : attribute_info
{
    unsigned short sourcefile_index = 0;
};

struct SourceDebugExtension_attribute : attribute_info
{
    /// Exactly attribute_length bytes.
    QByteArray debug_extension;
};

/// The frames of a method's code, as the file holds them: they are decoded only where the types
/// of the code are needed (ReceiverTypes).
struct StackMapTable_attribute : attribute_info
{
    /// Exactly attribute_length bytes: u2 number_of_entries, then the entries.
    QByteArray entries;
};

struct LineNumberTable_attribute : attribute_info
{
    struct line_number_t
    {
        unsigned short start_pc;
        unsigned short line_number;
    };
    QList<line_number_t> line_number_table;
};

struct LocalVariableTable_attribute : attribute_info
{
    struct local_variable_t
    {
        unsigned short start_pc;
        unsigned short length;
        unsigned short name_index;
        unsigned short descriptor_index;
        unsigned short index;
    };
    QList<local_variable_t> local_variable_table;
};

struct LocalVariableTypeTable_attribute : attribute_info
{
    struct local_variable_type_t
    {
        unsigned short start_pc;
        unsigned short length;
        unsigned short name_index;
        unsigned short signature_index;
        unsigned short index;
    };
    QList<local_variable_type_t> local_variable_type_table;
};

/// A field or a method: both have the same layout.
struct member_info
{
    member_info() = default;
    ~member_info();
    Q_DISABLE_COPY(member_info)

    unsigned short access_flags = 0;
    unsigned short name_index = 0;
    unsigned short descriptor_index = 0;
    /// Owned.
    QList<attribute_info *> attributes;
};

struct field_info : member_info
{
};

struct method_info : member_info
{
};

// Small records are kept in place in their lists, not allocated one by one.
Q_DECLARE_TYPEINFO(Code_attribute::exception_t, Q_PRIMITIVE_TYPE);
Q_DECLARE_TYPEINFO(InnerClasses_attribute::inner_class_t, Q_PRIMITIVE_TYPE);
Q_DECLARE_TYPEINFO(LineNumberTable_attribute::line_number_t, Q_PRIMITIVE_TYPE);
