#include "ClassFileTestSupport.h"

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString FORMAT_ERROR = QStringLiteral("Error - Class file format error - ");
const QString TRUNCATED = QStringLiteral("Error - Class file format error - truncated class file");

QStringList messagesOf(const QByteArray &bytes)
{
    return parse(bytes)->checkLog.messages;
}

} // namespace

TEST(JavaClassFile, MinimalClassIsReadWithoutMessages)
{
    ClassFileBuilder builder(QStringLiteral("java/lang/String"));
    const auto classFile = parse(builder);
    EXPECT_TRUE(classFile->checkLog.messages.isEmpty());
    EXPECT_FALSE(classFile->checkLog.hasErrors);
    EXPECT_EQ(classFile->magic, 0xCAFEBABE);
    EXPECT_EQ(classFile->major_version, 52);
    EXPECT_EQ(classFile->getName(), "java/lang/String");
    EXPECT_EQ(classFile->getTypeDescriptor().descriptor, "Ljava/lang/String;");
    EXPECT_EQ(classFile->getPackage(), "java.lang");
    EXPECT_EQ(classFile->getParentName(), "java/lang/Object");
    EXPECT_EQ(classFile->getParentTypeDescriptor().descriptor, "Ljava/lang/Object;");
}

TEST(JavaClassFile, ClassWithoutParentOrPackage)
{
    const auto classFile = parse(ClassFileBuilder(QStringLiteral("Top"), QString()));
    EXPECT_FALSE(classFile->checkLog.hasErrors);
    EXPECT_EQ(classFile->getPackage(), "");
    EXPECT_EQ(classFile->getParentName(), "");
    EXPECT_FALSE(classFile->getParentTypeDescriptor().isValid());
    EXPECT_EQ(classFile->getParentTypeDescriptor().descriptor, "");
}

TEST(JavaClassFile, BadMagicIsReportedInHexadecimal)
{
    EXPECT_EQ(messagesOf(QByteArray("PK\x03\x04\x14\x00\x08\x00", 8)),
              QStringList { "Error - Not a Java class file - bad magic (0x504b0304)" });
    EXPECT_EQ(messagesOf(QByteArray()),
              QStringList { "Error - Not a Java class file - bad magic (0x0)" });
    // A magic cut short reads as nothing at all.
    EXPECT_EQ(messagesOf(QByteArray("\xCA\xFE\xBA", 3)),
              QStringList { "Error - Not a Java class file - bad magic (0x0)" });
}

TEST(JavaClassFile, UnknownPoolTagsAreRejected)
{
    for (int tag : { 0, 2, 13, 14, 17, 19, 200 }) {
        ClassFileBuilder builder;
        builder.rawConstant(ByteWriter().u1(quint32(tag)).u2(1).data());
        EXPECT_EQ(messagesOf(builder.build()),
                  QStringList { FORMAT_ERROR
                                + QStringLiteral("unknown constant pool tag (%1)").arg(tag) });
    }
}

TEST(JavaClassFile, EveryPoolKindIsKeptWithItsPlaceholders)
{
    ClassFileBuilder builder;
    const quint16 integer = builder.rawConstant(ByteWriter().u1(3).u4(quint32(-5)).data());
    const quint16 floating = builder.rawConstant(ByteWriter().u1(4).u4(0x3fc00000).data());
    const quint16 longValue = builder.longConstant(-2);
    const quint16 doubleValue
        = builder.rawConstant(ByteWriter().u1(6).u8(0x4004000000000000ull).data(), 2);
    builder.rawConstant(ByteWriter().u1(8).u2(1).data());
    builder.rawConstant(ByteWriter().u1(15).u1(6).u2(3).data());
    builder.rawConstant(ByteWriter().u1(16).u2(1).data());
    const quint16 last = builder.rawConstant(ByteWriter().u1(18).u2(0).u2(7).data());
    const auto classFile = parse(builder);
    ASSERT_FALSE(classFile->checkLog.hasErrors)
        << classFile->checkLog.messages.join('\n').toStdString();
    EXPECT_EQ(
        static_cast<const CONSTANT_Integer_info *>(classFile->getConstantInfo(integer))->bytes, -5);
    EXPECT_EQ(static_cast<const CONSTANT_Float_info *>(classFile->getConstantInfo(floating))->value,
              1.5f);
    EXPECT_EQ(static_cast<const CONSTANT_Long_info *>(classFile->getConstantInfo(longValue))->value,
              -2);
    EXPECT_EQ(classFile->getConstantInfo(longValue + 1)->tag, 255);
    EXPECT_EQ(
        static_cast<const CONSTANT_Double_info *>(classFile->getConstantInfo(doubleValue))->value,
        2.5);
    EXPECT_EQ(classFile->getConstantInfo(doubleValue + 1)->tag, 255);
    const auto *dynamic
        = static_cast<const CONSTANT_InvokeDynamic_info *>(classFile->getConstantInfo(last));
    EXPECT_EQ(dynamic->name_and_type_index, 7);
    EXPECT_EQ(classFile->constant_pool.size(), last);
    EXPECT_FALSE(classFile->constantInfoContains(0));
    EXPECT_FALSE(classFile->constantInfoContains(last + 1));
    EXPECT_EQ(classFile->getConstantInfo(last + 1), nullptr);
}

TEST(JavaClassFile, LongAsLastEntryStillGetsItsPlaceholder)
{
    ClassFileBuilder builder;
    const quint16 longValue = builder.longConstant(7);
    builder.poolCount = longValue + 1; // one short: the Long's second slot lies beyond the count
    const auto classFile = parse(builder);
    EXPECT_FALSE(classFile->checkLog.hasErrors);
    EXPECT_EQ(classFile->constant_pool.size(), longValue + 1);
    EXPECT_EQ(classFile->constant_pool.last()->tag, 255);
}

TEST(JavaClassFile, IndexChecksNameTheTableAndPosition)
{
    ClassFileBuilder interfaces;
    const quint16 runnable = interfaces.classInfo(QStringLiteral("java/lang/Runnable"));
    const quint16 text = interfaces.utf8(QStringLiteral("text"));
    interfaces.addInterface(runnable);
    interfaces.addInterface(text);
    EXPECT_EQ(
        messagesOf(interfaces.build()),
        QStringList {
            FORMAT_ERROR
            + QStringLiteral(
                  "interface[1] index (%1) does not point to CONSTANT_Class found CONSTANT_Utf8")
                  .arg(text) });

    ClassFileBuilder fields;
    fields.addField(0, QStringLiteral("a"), QStringLiteral("I"));
    fields.addField(0, QStringLiteral("b"), QStringLiteral("I"));
    fields.addRawField(ByteWriter().u2(0).u2(0).u2(1).u2(0).data());
    EXPECT_EQ(messagesOf(fields.build()),
              QStringList { FORMAT_ERROR + "Field[2] index (0) does not exist" });

    ClassFileBuilder methods;
    methods.addRawMethod(ByteWriter().u2(0).u2(999).u2(1).u2(0).data());
    EXPECT_EQ(messagesOf(methods.build()),
              QStringList { FORMAT_ERROR + "Method[0] index (999) does not exist" });

    // Labels restart per table: the second attribute of the first method.
    ClassFileBuilder attributes;
    const quint16 longValue = attributes.longConstant(1);
    attributes.addMethod(0x0401,
                         QStringLiteral("m"),
                         QStringLiteral("()V"),
                         { attributes.attribute(QStringLiteral("Deprecated"), {}),
                           attributes.attribute(longValue + 1, {}) });
    EXPECT_EQ(
        messagesOf(attributes.build()),
        QStringList {
            FORMAT_ERROR
            + QStringLiteral(
                  "Attr[1] index (%1) does not point to CONSTANT_Utf8 found CONSTANT_UNDEFINED!")
                  .arg(longValue + 1) });
}

// A class named by another class entry (or by nothing) read as the nameless class; every class
// entry of the pool is checked, also one that nothing refers to.
TEST(JavaClassFile, ClassEntriesMustBeNamedByUtf8Entries)
{
    ClassFileBuilder classOfClass;
    const quint16 named = classOfClass.classInfo(QStringLiteral("p/B"));
    const quint16 nameless = classOfClass.rawConstant(ByteWriter().u1(7).u2(named).data());
    classOfClass.thisClass = nameless;
    EXPECT_EQ(messagesOf(classOfClass.build()),
              QStringList { FORMAT_ERROR
                            + QStringLiteral("constant_pool[%1] index (%2) does not point to "
                                             "CONSTANT_Utf8 found CONSTANT_Class")
                                  .arg(nameless)
                                  .arg(named) });

    ClassFileBuilder unused;
    const quint16 integer = unused.rawConstant(ByteWriter().u1(3).u4(1).data());
    const quint16 ofInteger = unused.rawConstant(ByteWriter().u1(7).u2(integer).data());
    EXPECT_EQ(messagesOf(unused.build()),
              QStringList { FORMAT_ERROR
                            + QStringLiteral("constant_pool[%1] index (%2) does not point to "
                                             "CONSTANT_Utf8 found CONSTANT_Integer")
                                  .arg(ofInteger)
                                  .arg(integer) });

    ClassFileBuilder zero;
    const quint16 ofNothing = zero.rawConstant(ByteWriter().u1(7).u2(0).data());
    EXPECT_EQ(messagesOf(zero.build()),
              QStringList {
                  FORMAT_ERROR
                  + QStringLiteral("constant_pool[%1] index (0) does not exist").arg(ofNothing) });
}

TEST(JavaClassFile, FailureKeepsWhatWasReadAndSkipsTheScan)
{
    ClassFileBuilder builder;
    builder.addField(0x0001, QStringLiteral("kept"), QStringLiteral("Ljava/util/List;"));
    builder.addRawField(ByteWriter().u2(0).u2(0).u2(0).u2(0).data());
    const auto classFile = parse(builder);
    ASSERT_TRUE(classFile->checkLog.hasErrors);
    ASSERT_EQ(classFile->fields.size(), 1);
    EXPECT_EQ(classFile->getFieldName(classFile->fields.first()), "kept");
    EXPECT_TRUE(classFile->getDependentClasses().isEmpty());
}

TEST(JavaClassFile, UnknownAttributeIsAWarningAndSkipped)
{
    ClassFileBuilder builder;
    builder.addClassAttribute(builder.attribute(QStringLiteral("Foo"), QByteArray(5, 'x')));
    builder.addClassAttribute(
        builder.attribute(QStringLiteral("SourceFile"), ByteWriter().u2(1).data()));
    const auto classFile = parse(builder);
    EXPECT_EQ(classFile->checkLog.messages, QStringList { "Warning - Unknown attribute - Foo" });
    EXPECT_TRUE(classFile->checkLog.hasWarnings);
    EXPECT_FALSE(classFile->checkLog.hasErrors);
    ASSERT_EQ(classFile->attributes.size(), 1);
    EXPECT_TRUE(classFile->isAttr(classFile->attributes.first(), QStringLiteral("SourceFile")));
    EXPECT_FALSE(classFile->isAttr(classFile->attributes.first(), QStringLiteral("sourcefile")));
    EXPECT_FALSE(classFile->isAttr(nullptr, QStringLiteral("SourceFile")));
}

TEST(JavaClassFile, CodeKeepsItsNestedAttributesAndTables)
{
    ClassFileBuilder builder;
    const QByteArray lines = builder.attribute(QStringLiteral("LineNumberTable"),
                                               ByteWriter().u2(1).u2(0).u2(42).data());
    const QByteArray locals = builder.attribute(QStringLiteral("LocalVariableTable"),
                                                ByteWriter()
                                                    .u2(1)
                                                    .u2(0)
                                                    .u2(1)
                                                    .u2(builder.utf8("this"))
                                                    .u2(builder.utf8("Lp/A;"))
                                                    .u2(0)
                                                    .data());
    const QByteArray code = builder.codeAttribute(QByteArray("\xb1", 1), { lines, locals });
    builder.addMethod(0x0001,
                      QStringLiteral("run"),
                      QStringLiteral("()V"),
                      { builder.attribute(QStringLiteral("Synthetic"), {}), code });
    const auto classFile = parse(builder);
    ASSERT_TRUE(classFile->checkLog.messages.isEmpty())
        << classFile->checkLog.messages.join('\n').toStdString();
    const Code_attribute *codeAttr = classFile->getMethodCodeAttr(classFile->methods.first());
    ASSERT_NE(codeAttr, nullptr);
    EXPECT_EQ(codeAttr->code_length, 1u);
    EXPECT_EQ(codeAttr->code, QByteArray("\xb1", 1));
    ASSERT_EQ(codeAttr->attributes.size(), 2);
    const auto *lineTable
        = static_cast<const LineNumberTable_attribute *>(codeAttr->attributes.at(0));
    EXPECT_EQ(lineTable->line_number_table.first().line_number, 42);
    const auto *localTable
        = static_cast<const LocalVariableTable_attribute *>(codeAttr->attributes.at(1));
    EXPECT_EQ(localTable->local_variable_table.size(), 1);
    EXPECT_EQ(codeAttr->attribute_length, quint32(code.size() - 6));
}

TEST(JavaClassFile, EveryKeptAttributeKindKeepsItsFieldsInOrder)
{
    ClassFileBuilder builder;
    const auto u2s = [](std::initializer_list<quint32> values) {
        ByteWriter bytes;
        for (quint32 value : values)
            bytes.u2(value);
        return bytes.data();
    };
    builder.addClassAttribute(
        builder.attribute(QStringLiteral("InnerClasses"), u2s({ 1, 11, 12, 13, 14 })));
    builder.addClassAttribute(
        builder.attribute(QStringLiteral("EnclosingMethod"), u2s({ 21, 22 })));
    builder.addClassAttribute(builder.attribute(QStringLiteral("Signature"), u2s({ 31 })));
    builder.addClassAttribute(builder.attribute(QStringLiteral("SourceFile"), u2s({ 41 })));
    builder.addClassAttribute(
        builder.attribute(QStringLiteral("SourceDebugExtension"), QByteArray("smap")));
    builder.addClassAttribute(
        builder.attribute(QStringLiteral("RuntimeVisibleAnnotations"), QByteArray(7, '\xff')));
    builder.addClassAttribute(builder.attribute(QStringLiteral("Deprecated"), {}));
    builder.addField(0x0018,
                     QStringLiteral("K"),
                     QStringLiteral("I"),
                     { builder.attribute(QStringLiteral("ConstantValue"), u2s({ 51 })) });
    const QByteArray types = builder.attribute(QStringLiteral("LocalVariableTypeTable"),
                                               u2s({ 1, 61, 62, 63, 64, 65 }));
    builder.addMethod(0x0001,
                      QStringLiteral("m"),
                      QStringLiteral("()V"),
                      { builder.attribute(QStringLiteral("Code"),
                                          u2s({ 2, 3, 0, 1 }) + QByteArray("\xb1", 1)
                                              + u2s({ 1, 71, 72, 73, 74 }) + u2s({ 1 }) + types),
                        builder.exceptionsAttribute({ 81, 82 }) });
    const auto classFile = parse(builder);
    ASSERT_TRUE(classFile->checkLog.messages.isEmpty())
        << classFile->checkLog.messages.join('\n').toStdString();
    ASSERT_EQ(classFile->attributes.size(), 7);

    const auto *inner = static_cast<const InnerClasses_attribute *>(classFile->attributes.at(0));
    ASSERT_EQ(inner->classes.size(), 1);
    EXPECT_EQ(inner->classes.first().inner_class_info_index, 11);
    EXPECT_EQ(inner->classes.first().inner_class_access_flags, 14);
    const auto *enclosing
        = static_cast<const EnclosingMethod_attribute *>(classFile->attributes.at(1));
    EXPECT_EQ(enclosing->class_index, 21);
    EXPECT_EQ(enclosing->method_index, 22);
    EXPECT_EQ(
        static_cast<const Signature_attribute *>(classFile->attributes.at(2))->signature_index, 31);
    EXPECT_EQ(
        static_cast<const SourceFile_attribute *>(classFile->attributes.at(3))->sourcefile_index,
        41);
    EXPECT_EQ(static_cast<const SourceDebugExtension_attribute *>(classFile->attributes.at(4))
                  ->debug_extension,
              "smap");
    EXPECT_EQ(classFile->attributes.at(5)->attribute_length, 7u);
    EXPECT_TRUE(classFile->isAttr(classFile->attributes.at(6), QStringLiteral("Deprecated")));
    const auto *constant = static_cast<const ConstantValue_attribute *>(
        classFile->fields.first()->attributes.first());
    EXPECT_EQ(constant->constantvalue_index, 51);

    const method_info *method = classFile->methods.first();
    const Code_attribute *code = classFile->getMethodCodeAttr(method);
    ASSERT_NE(code, nullptr);
    EXPECT_EQ(code->max_stack, 2);
    EXPECT_EQ(code->max_locals, 3);
    ASSERT_EQ(code->exception_table.size(), 1);
    EXPECT_EQ(code->exception_table.first().start_pc, 71);
    EXPECT_EQ(code->exception_table.first().catch_type, 74);
    const auto *typeTable
        = static_cast<const LocalVariableTypeTable_attribute *>(code->attributes.first());
    ASSERT_EQ(typeTable->local_variable_type_table.size(), 1);
    EXPECT_EQ(typeTable->local_variable_type_table.first().start_pc, 61);
    EXPECT_EQ(typeTable->local_variable_type_table.first().signature_index, 64);
    EXPECT_EQ(typeTable->local_variable_type_table.first().index, 65);
    const auto *exceptions = static_cast<const Exceptions_attribute *>(method->attributes.at(1));
    EXPECT_EQ(exceptions->exception_index_table, QList<unsigned short>({ 81, 82 }));
}

TEST(JavaClassFile, MembersAnswerByNameDescriptorAndFlags)
{
    ClassFileBuilder builder;
    const quint16 io = builder.classInfo(QStringLiteral("java/io/IOException"));
    const quint16 text = builder.utf8(QStringLiteral("not a class"));
    builder.addField(0x0004 | 0x0008 | 0x0010, QStringLiteral("count"), QStringLiteral("I"));
    builder.addField(0x0002, QStringLiteral("names"), QStringLiteral("[Ljava/lang/String;"));
    builder.addMethod(0x0401, QStringLiteral("<init>"), QStringLiteral("(I)V"));
    builder.addMethod(0x0100,
                      QStringLiteral("<init>"),
                      QStringLiteral("()V"),
                      { builder.exceptionsAttribute({ io, 0, text, 500, io }) });
    builder.addMethod(0x0406, QStringLiteral("other"), QStringLiteral("()V"));
    const auto classFile = parse(builder);
    ASSERT_FALSE(classFile->checkLog.hasErrors);

    const field_info *count = classFile->getFieldByName(QStringLiteral("count"));
    ASSERT_NE(count, nullptr);
    EXPECT_TRUE(classFile->isFieldProtected(count) && classFile->isFieldStatic(count)
                && classFile->isFieldFinal(count));
    EXPECT_FALSE(classFile->isFieldPackage(count));
    EXPECT_EQ(classFile->getFieldPermission(count), Permission::V_PROTECTED);
    EXPECT_EQ(classFile->getFieldTypeDescriptorByName(QStringLiteral("names")).toString(),
              "java.lang.String[]");
    EXPECT_FALSE(classFile->getFieldTypeDescriptorByName(QStringLiteral("none")).isValid());
    EXPECT_EQ(classFile->getFieldByName(QStringLiteral("none")), nullptr);

    const QList<const method_info *> constructors
        = classFile->getMethodsByName(QStringLiteral("<init>"));
    ASSERT_EQ(constructors.size(), 2);
    EXPECT_EQ(classFile->getMethodDescriptor(constructors.at(0)), "(I)V");
    EXPECT_EQ(
        classFile->getMethodByNameAndDescriptor(QStringLiteral("<init>"), QStringLiteral("()V")),
        constructors.at(1));
    EXPECT_EQ(
        classFile->getMethodByNameAndDescriptor(QStringLiteral("<init>"), QStringLiteral("(J)V")),
        nullptr);
    EXPECT_TRUE(classFile->isMethodAbstract(constructors.at(0))
                && classFile->isMethodPublic(constructors.at(0)));
    EXPECT_TRUE(classFile->isMethodNative(constructors.at(1))
                && classFile->isMethodPackage(constructors.at(1)));
    EXPECT_EQ(classFile->getMethodPermission(classFile->methods.at(2)), Permission::V_PROTECTED);
    EXPECT_EQ(classFile->getMethodSignature(constructors.at(0)).getParameterString(), "int");
    // Entries that do not lead to a named class are skipped.
    EXPECT_EQ(classFile->getMethodExceptions(constructors.at(1)),
              QStringList({ "java/io/IOException", "java/io/IOException" }));
    EXPECT_EQ(classFile->getMethodExceptionsTypeDescriptors(constructors.at(1)).first().descriptor,
              "Ljava/io/IOException;");
    EXPECT_TRUE(classFile->getMethodExceptions(constructors.at(0)).isEmpty());
}

TEST(JavaClassFile, UnvalidatedIndicesResolveToNothing)
{
    ClassFileBuilder builder;
    const quint16 integer = builder.rawConstant(ByteWriter().u1(3).u4(1).data());
    builder.addRawField(ByteWriter().u2(0).u2(builder.utf8("f")).u2(integer).u2(0).data());
    builder.thisClass = 900;
    builder.superClass = builder.utf8(QStringLiteral("java/lang/Object"));
    const auto classFile = parse(builder);
    ASSERT_FALSE(classFile->checkLog.hasErrors);
    EXPECT_EQ(classFile->getFieldDescriptor(classFile->fields.first()), "");
    EXPECT_FALSE(classFile->getFieldTypeDescriptor(classFile->fields.first()).isValid());
    EXPECT_EQ(classFile->getName(), "");
    EXPECT_FALSE(classFile->getTypeDescriptor().isValid());
    EXPECT_EQ(classFile->getParentName(), "");
    EXPECT_FALSE(classFile->getParentTypeDescriptor().isValid());
    EXPECT_EQ(classFile->getInterfaceName(classFile->getConstantInfo(integer)), "");
    EXPECT_EQ(classFile->getInterfaceName(nullptr), "");
}

TEST(JavaClassFile, ReferenceAccessorsAnswerInvalidForBrokenIndices)
{
    ClassFileBuilder builder;
    const quint16 good = builder.fieldRef(QStringLiteral("java/lang/System"),
                                          QStringLiteral("out"),
                                          QStringLiteral("Ljava/io/PrintStream;"));
    const quint16 array = builder.methodRef(
        QStringLiteral("[I"), QStringLiteral("clone"), QStringLiteral("()Ljava/lang/Object;"));
    const quint16 text = builder.utf8(QStringLiteral("x"));
    const quint16 bad = builder.referenceOfIndices(9, text, 0);
    const auto classFile = parse(builder);
    const auto &goodRef
        = *static_cast<const CONSTANT_Fieldref_info *>(classFile->getConstantInfo(good));
    EXPECT_EQ(classFile->getFieldParentClassName(goodRef), "Ljava/lang/System;");
    EXPECT_EQ(classFile->getFieldName(goodRef), "out");
    EXPECT_EQ(classFile->getFieldTypeDescriptor(goodRef).toString(), "java.io.PrintStream");
    const auto &arrayRef
        = *static_cast<const CONSTANT_Fieldref_info *>(classFile->getConstantInfo(array));
    EXPECT_EQ(classFile->getMethodParentClassName(arrayRef), "[I");
    EXPECT_EQ(classFile->getMethodSignature(arrayRef).returnType.toString(), "java.lang.Object");
    const auto &badRef
        = *static_cast<const CONSTANT_Fieldref_info *>(classFile->getConstantInfo(bad));
    EXPECT_EQ(classFile->getFieldParentClassName(badRef), "INVALID");
    EXPECT_EQ(classFile->getMethodName(badRef), "INVALID");
    EXPECT_EQ(classFile->getFieldTypeDescriptor(badRef).descriptor, "");
    EXPECT_EQ(classFile->getMethodSignature(badRef).descriptor, "");
    EXPECT_EQ(classFile->getFieldRefInfos().size(), 2);
    EXPECT_EQ(classFile->getMethodRefInfos().size(), 1);
    EXPECT_TRUE(classFile->getInterfaceMethodRefInfos().isEmpty());
}

TEST(JavaClassFile, KindNamesOfThePool)
{
    EXPECT_EQ(JavaClassFile::constantInfoToString(1), "CONSTANT_Utf8");
    EXPECT_EQ(JavaClassFile::constantInfoToString(6), "CONSTANT_Double");
    EXPECT_EQ(JavaClassFile::constantInfoToString(11), "CONSTANT_InterfaceMethodref");
    EXPECT_EQ(JavaClassFile::constantInfoToString(12), "CONSTANT_NameAndType");
    for (int tag : { 0, 2, 15, 16, 18, 255 })
        EXPECT_EQ(JavaClassFile::constantInfoToString(quint8(tag)), "CONSTANT_UNDEFINED!");
}

TEST(JavaClassFile, FileEndingEarlyIsNeverAccepted)
{
    ClassFileBuilder builder;
    builder.addField(0x0001, QStringLiteral("f"), QStringLiteral("I"));
    const QByteArray whole = builder.build();
    // Cut after the first pool entry (count, then the Utf8 "p/A"): the zeros that follow read as
    // tag 0. Cut inside that entry's text, its length reaches beyond the end.
    const int firstEntryEnd = ClassFileBuilder::poolOffset() + 2 + 3 + 3;
    EXPECT_EQ(messagesOf(whole.left(firstEntryEnd)),
              QStringList { FORMAT_ERROR + "unknown constant pool tag (0)" });
    EXPECT_EQ(
        messagesOf(whole.left(firstEntryEnd - 1)),
        QStringList { TRUNCATED + ": 3 bytes needed at offset 13, 2 left in constant_pool[1]" });
    // Cut in the last count: the zeros would make a complete class.
    EXPECT_EQ(
        messagesOf(whole.left(whole.size() - 1)),
        QStringList { TRUNCATED
                      + QString(": 2 bytes needed at offset %1, 1 left").arg(whole.size() - 2) });
}

TEST(JavaClassFile, CountsAndLengthsBeyondTheInputAreTruncation)
{
    ClassFileBuilder utf8;
    utf8.rawConstant(ByteWriter().u1(1).u2(60000).bytes("abc").data());
    EXPECT_EQ(messagesOf(utf8.build()),
              QStringList { TRUNCATED
                            + ": 60000 bytes needed at offset 44, 17 left in constant_pool[5]" });

    // Each field takes at least 8 bytes.
    ClassFileBuilder fields;
    fields.fieldCount = 65535;
    EXPECT_EQ(messagesOf(fields.build()),
              QStringList { TRUNCATED + ": 524280 bytes needed at offset 51, 4 left" });

    ClassFileBuilder code;
    code.addMethod(0x0001,
                   QStringLiteral("m"),
                   QStringLiteral("()V"),
                   { code.attribute(QStringLiteral("Code"),
                                    ByteWriter().u2(1).u2(1).u4(0xFFFFFFF0u).u1(0xb1).data()) });
    EXPECT_EQ(
        messagesOf(code.build()),
        QStringList {
            TRUNCATED
            + ": 4294967280 bytes needed at offset 92, 3 left in Method[0] m, Attr[0] Code" });

    ClassFileBuilder skipped;
    skipped.addClassAttribute(ByteWriter().u2(skipped.utf8("StackMapTable")).u4(0x7FFFFFFF).data());
    EXPECT_EQ(messagesOf(skipped.build()),
              QStringList {
                  TRUNCATED
                  + ": 2147483647 bytes needed at offset 77, 0 left in Attr[0] StackMapTable" });

    ClassFileBuilder unknown;
    unknown.addClassAttribute(ByteWriter().u2(unknown.utf8("Bar")).u4(100).u2(0).data());
    const QStringList messages = messagesOf(unknown.build());
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0], "Warning - Unknown attribute - Bar");
    EXPECT_TRUE(messages[1].startsWith(TRUNCATED + ": 100 bytes needed at offset "))
        << messages[1].toStdString();
}

TEST(JavaClassFile, DeeplyNestedCodeAttributesAreRejected)
{
    ClassFileBuilder builder;
    QByteArray code = builder.codeAttribute(QByteArray("\xb1", 1));
    for (int depth = 0; depth < 50; ++depth)
        code = builder.codeAttribute(QByteArray("\xb1", 1), { code });
    builder.addMethod(0x0001, QStringLiteral("m"), QStringLiteral("()V"), { code });
    const QStringList messages = messagesOf(builder.build());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(
        FORMAT_ERROR + "attributes nested too deeply: more than 8 levels at offset "));
    EXPECT_TRUE(messages[0].endsWith(" in Method[0] m" + QString(", Attr[0] Code").repeated(9)))
        << messages[0].toStdString();
}

TEST(JavaClassFile, BytesAfterTheLastAttributeAreIgnored)
{
    const QByteArray bytes = ClassFileBuilder().build() + QByteArray("trailing");
    EXPECT_TRUE(messagesOf(bytes).isEmpty());
}

TEST(JavaClassFile, FilesThatAreMissingOrUnreadable)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("none.class"));
    EXPECT_EQ(std::unique_ptr<JavaClassFile>(JavaClassFile::create(missing))->checkLog.messages,
              QStringList { QStringLiteral("Error - File (%1) does not exist").arg(missing) });
    EXPECT_EQ(std::unique_ptr<JavaClassFile>(JavaClassFile::create(dir.path()))->checkLog.messages,
              QStringList { QStringLiteral("Error - Could not open file %1").arg(dir.path()) });

    const QString path = dir.filePath(QStringLiteral("A.class"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(ClassFileBuilder().build());
    file.close();
    const std::unique_ptr<JavaClassFile> classFile(JavaClassFile::create(QFileInfo(path)));
    EXPECT_TRUE(classFile->checkLog.messages.isEmpty());
    EXPECT_EQ(classFile->getName(), "p/A");
}

TEST(JavaClassFile, StreamIsReadFromItsPositionAndLeftAfterTheClass)
{
    QByteArray bytes = QByteArray("head") + ClassFileBuilder().build() + QByteArray("tail");
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    QDataStream stream(&buffer);
    buffer.seek(4);
    const std::unique_ptr<JavaClassFile> classFile(JavaClassFile::create(stream));
    EXPECT_TRUE(classFile->checkLog.messages.isEmpty());
    EXPECT_EQ(buffer.readAll(), "tail");

    QByteArray array = ClassFileBuilder().build();
    EXPECT_EQ(std::unique_ptr<JavaClassFile>(JavaClassFile::create(array))->getName(), "p/A");
}
