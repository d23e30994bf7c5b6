#include "ClassFileTestSupport.h"
#include "support/Golden.h"

#include <QtEndian>

#include <gtest/gtest.h>

namespace {

QByteArray u2s(std::initializer_list<quint32> values)
{
    ByteWriter bytes;
    for (quint32 value : values)
        bytes.u2(value);
    return bytes.data();
}

} // namespace

// Each case breaks one thing; the golden file holds what the reader says about it: the table and
// position of a bad index, the offset and bytes left of a truncation.
TEST(JavaClassFile, MalformedFilesAreRejectedNamingWhereTheyBreak)
{
    Outcomes out;
    out.add("zip", QByteArray("PK\x03\x04\x14\x00", 6));
    out.add("empty", QByteArray());
    out.add("magic cut short", QByteArray("\xCA\xFE\xBA", 3));
    for (int tag : { 0, 2, 13, 14, 21, 200 }) {
        ClassFileBuilder builder;
        builder.rawConstant(ByteWriter().u1(quint32(tag)).u2(1).data());
        out.add(QString("pool tag %1").arg(tag), builder);
    }
    ClassFileBuilder interfaces;
    interfaces.addInterface(interfaces.classInfo("java/lang/Runnable"));
    interfaces.addInterface(interfaces.utf8("text"));
    out.add("interface", interfaces);
    ClassFileBuilder fields;
    fields.addField(0, "a", "I");
    fields.addField(0, "b", "I");
    fields.addRawField(u2s({ 0, 0, 1, 0 }));
    out.add("field", fields);
    ClassFileBuilder methods;
    methods.addRawMethod(u2s({ 0, 999, 1, 0 }));
    out.add("method", methods);
    // Labels restart per table: the second attribute of the first method.
    ClassFileBuilder attributes;
    const quint16 longValue = attributes.longConstant(1);
    const QByteArray deprecated = attributes.attribute("Deprecated", {});
    attributes.addMethod(
        0x0401, "m", "()V", { deprecated, attributes.attribute(longValue + 1, {}) });
    out.add("attribute", attributes);
    // Every class entry of the pool is checked, also one that nothing refers to.
    ClassFileBuilder classOfClass;
    classOfClass.thisClass
        = classOfClass.rawConstant(ByteWriter().u1(7).u2(classOfClass.classInfo("p/B")).data());
    out.add("class of a class", classOfClass);
    ClassFileBuilder classOfInteger;
    classOfInteger.rawConstant(
        ByteWriter().u1(7).u2(classOfInteger.rawConstant(ByteWriter().u1(3).u4(1).data())).data());
    out.add("class of an integer", classOfInteger);
    ClassFileBuilder classOfNothing;
    classOfNothing.rawConstant(ByteWriter().u1(7).u2(0).data());
    out.add("class of nothing", classOfNothing);
    ClassFileBuilder unknown;
    unknown.addClassAttribute(unknown.attribute("Foo", QByteArray(5, 'x')));
    out.add("unknown attribute", unknown);
    Golden::expectEqual("classfile/malformed.txt", out.text);
}

TEST(JavaClassFile, FileEndingEarlyOrClaimingMoreThanItHoldsIsTruncation)
{
    Outcomes out;
    ClassFileBuilder builder;
    builder.addField(0x0001, "f", "I");
    const QByteArray whole = builder.build();
    // Cut after the first pool entry (magic, versions, count, then the Utf8 "p/A"): the zeros that
    // follow read as tag 0. Cut inside that entry's text, its length reaches beyond the end. Cut in
    // the last count, the zeros would make a complete class. Bytes after the last attribute are no
    // concern.
    const int firstEntryEnd = 4 + 4 + 2 + 3 + 3;
    out.add("after the first entry", whole.left(firstEntryEnd));
    out.add("inside the first entry", whole.left(firstEntryEnd - 1));
    out.add("in the last count", whole.left(whole.size() - 1));
    out.add("trailing bytes", whole + "trailing");

    ClassFileBuilder utf8;
    utf8.rawConstant(ByteWriter().u1(1).u2(60000).bytes("abc").data());
    out.add("long text", utf8);
    ClassFileBuilder fields; // each field takes at least 8 bytes
    fields.fieldCount = 65535;
    out.add("many fields", fields);
    ClassFileBuilder code;
    const QByteArray huge = ByteWriter().u2(1).u2(1).u4(0xFFFFFFF0u).u1(0xb1).data();
    code.addMethod(0x0001, "m", "()V", { code.attribute("Code", huge) });
    out.add("long code", code);
    ClassFileBuilder skipped;
    skipped.addClassAttribute(ByteWriter().u2(skipped.utf8("StackMapTable")).u4(0x7FFFFFFF).data());
    out.add("long skipped attribute", skipped);
    ClassFileBuilder unknown;
    unknown.addClassAttribute(ByteWriter().u2(unknown.utf8("Bar")).u4(100).u2(0).data());
    out.add("long unknown attribute", unknown);
    ClassFileBuilder nested;
    QByteArray deep = nested.codeAttribute("\xb1");
    for (int depth = 0; depth < 50; ++depth)
        deep = nested.codeAttribute("\xb1", { deep });
    nested.addMethod(0x0001, "m", "()V", { deep });
    out.add("nested code", nested);
    Golden::expectEqual("classfile/truncated.txt", out.text);
}

// Bytes are read as a class file whether the array is const or not, and never taken for the path
// they might spell; a path is read from its file.
TEST(JavaClassFile, BytesAreReadAsAClassFileAndAPathAsItsFile)
{
    const QString path = JCT_FIXTURES_CLASSFILE "/classes/fixtures/Origins.class";
    QByteArray bytes = ClassFileBuilder().build();
    const QByteArray constBytes = bytes;
    const QByteArray pathBytes = path.toUtf8();
    const auto name = [](JavaClassFile *created) {
        const std::unique_ptr<JavaClassFile> file(created);
        return file->checkLog.hasErrors ? file->checkLog.messages.join(' ') : file->getName();
    };
    EXPECT_EQ(name(JavaClassFile::create(bytes)), "p/A");
    EXPECT_EQ(name(JavaClassFile::create(constBytes)), "p/A");
    EXPECT_EQ(name(JavaClassFile::create(pathBytes)),
              QString("Error - Not a Java class file - bad magic (0x%1)")
                  .arg(qFromBigEndian<quint32>(pathBytes.constData()), 0, 16));
    EXPECT_EQ(name(JavaClassFile::create(path)), "fixtures/Origins");
}

// Long and Double take two slots, the second a placeholder, also for a Long beyond the count. The
// kinds of strings and lambdas come from javac in the fixtures.
TEST(JavaClassFile, EveryPoolKindIsKeptWithItsPlaceholders)
{
    ClassFileBuilder builder;
    builder.rawConstant(ByteWriter().u1(3).u4(quint32(-5)).data());
    builder.rawConstant(ByteWriter().u1(4).u4(0x3fc00000).data());
    const quint16 longValue = builder.longConstant(-2);
    const quint16 last
        = builder.rawConstant(ByteWriter().u1(6).u8(0x4004000000000000ull).data(), 2);
    const auto file = parse(builder);
    ASSERT_TRUE(file->checkLog.messages.isEmpty())
        << file->checkLog.messages.join('\n').toStdString();
    EXPECT_EQ(file->getConstantInfo(longValue + 1)->tag, 255);
    EXPECT_EQ(file->getConstantInfo(last + 1)->tag, 255);
    EXPECT_EQ(file->constant_pool.size(), last + 1);
    EXPECT_FALSE(file->constantInfoContains(0));
    EXPECT_EQ(file->getConstantInfo(last + 2), nullptr);

    ClassFileBuilder lastLong;
    lastLong.poolCount = lastLong.longConstant(7) + 1;
    const auto withLong = parse(lastLong);
    EXPECT_FALSE(withLong->checkLog.hasErrors);
    EXPECT_EQ(withLong->constant_pool.size(), lastLong.poolCount);
    EXPECT_EQ(withLong->constant_pool.last()->tag, 255);
}

// Nothing downstream reads most kept attributes: what matters is that each kind consumes exactly
// its bytes, so that the reader stays in step for what follows. The kinds javac writes by default
// are read in the fixtures.
TEST(JavaClassFile, EveryKeptAttributeKindIsReadInStep)
{
    ClassFileBuilder builder;
    builder.addClassAttribute(builder.attribute("SourceDebugExtension", "smap"));
    builder.addClassAttribute(builder.attribute("RuntimeVisibleAnnotations", QByteArray(7, 'x')));
    const QByteArray types
        = builder.attribute("LocalVariableTypeTable", u2s({ 1, 61, 62, 63, 64, 65 }));
    // Code: stack, locals, length, return; one exception handler; one attribute.
    const QByteArray body = u2s({ 2, 3, 0, 1 }) + "\xb1" + u2s({ 1, 71, 72, 73, 74, 1 }) + types;
    builder.addMethod(0x0001, "m", "()V", { builder.attribute("Code", body) });
    const auto file = parse(builder);
    ASSERT_TRUE(file->checkLog.messages.isEmpty())
        << file->checkLog.messages.join(' ').toStdString();
    EXPECT_EQ(file->attributes.size(), 2);
    const Code_attribute *code = file->getMethodCodeAttr(file->methods.first());
    ASSERT_NE(code, nullptr);
    EXPECT_EQ(code->code, "\xb1");
    EXPECT_EQ(code->exception_table.size(), 1);
    EXPECT_EQ(code->attributes.size(), 1);
}

TEST(JavaClassFile, IndicesNobodyValidatesResolveToNothing)
{
    ClassFileBuilder builder;
    const quint16 integer = builder.rawConstant(ByteWriter().u1(3).u4(1).data());
    builder.addRawField(ByteWriter().u2(0).u2(builder.utf8("f")).u2(integer).u2(0).data());
    builder.thisClass = 900;
    builder.superClass = builder.utf8("java/lang/Object");
    const quint16 array = builder.methodRef("[I", "clone", "()Ljava/lang/Object;");
    const quint16 bad = builder.referenceOfIndices(9, builder.utf8("x"), 0);
    builder.addMethod(
        0x0401,
        "m",
        "()V",
        { builder.exceptionsAttribute({ builder.classInfo("q/E"), 0, integer, 500 }) });
    const auto file = parse(builder);
    // Only the reference made of a text and nothing is reported; the rest passes unchecked.
    ASSERT_EQ(file->checkLog.messages.size(), 1);
    EXPECT_EQ(file->getFieldDescriptor(file->fields.first()), "");
    EXPECT_EQ(file->getMethodExceptions(file->methods.first()), QStringList("q/E"));
    EXPECT_EQ(file->getName(), "");
    EXPECT_EQ(file->getParentName(), "");
    EXPECT_EQ(file->getInterfaceName(file->getConstantInfo(integer)), "");
    const auto &arrayRef
        = *static_cast<const CONSTANT_Fieldref_info *>(file->getConstantInfo(array));
    EXPECT_EQ(file->getMethodParentClassName(arrayRef), "[I");
    EXPECT_EQ(file->getMethodSignature(arrayRef).getReturnType().toString(), "java.lang.Object");
    const auto &badRef = *static_cast<const CONSTANT_Fieldref_info *>(file->getConstantInfo(bad));
    EXPECT_EQ(file->getFieldParentClassName(badRef), "INVALID");
    EXPECT_EQ(file->getMethodName(badRef), "INVALID");
    EXPECT_EQ(file->getFieldTypeDescriptor(badRef).getDescriptor(), "");
    EXPECT_EQ(file->getMethodSignature(badRef).getDescriptor(), "");
}
